#!/usr/bin/env python3
"""Turns the raw results of tools/bench into one table: figure, this project,
reference, ratio, target. Medians throughout.

Inputs (each optional): Google Benchmark JSON of zl_primitives_bench, the
callgrind dumps of zl_lookup_instructions, the JSON of run_lookup_bench.py.
"""
import argparse
import datetime
import glob
import json
import os
import platform
import re
import statistics
import subprocess

MIB = 1 << 20


def fmt_rate(bps):
    return f"{bps / 1e9:.2f} GB/s" if bps >= 1e8 else f"{bps / 1e6:.1f} MB/s"


def primitive_rows(path):
    with open(path) as fh:
        data = json.load(fh)
    runs = {}
    labels = {}
    for b in data["benchmarks"]:
        if b.get("run_type") != "iteration" or "error_occurred" in b and b["error_occurred"]:
            continue
        m = re.match(r"^(.*)\|(zl|ref)", b["name"])
        if not m:
            continue
        runs.setdefault((m.group(1), m.group(2)), []).append(b["bytes_per_second"])
        if m.group(2) == "zl":
            labels[m.group(1)] = b.get("label", "")
    errors = [b["name"] for b in data["benchmarks"] if b.get("error_occurred")]
    rows = []
    order = []
    for b in data["benchmarks"]:
        m = re.match(r"^(.*)\|zl", b["name"])
        if m and m.group(1) not in order:
            order.append(m.group(1))
    # Interleaving shuffles the output; sorting keeps sizes of one figure
    # together.
    for fig in sorted(order):
        zl, ref = runs.get((fig, "zl")), runs.get((fig, "ref"))
        if not zl or not ref:
            rows.append([fig, "ERROR", "", "", "", "no"])
            continue
        zl_m, ref_m = statistics.median(zl), statistics.median(ref)
        label = dict(kv.split("=", 1) for kv in labels[fig].split(";") if "=" in kv)
        target = label.get("target", "-")
        ratio = zl_m / ref_m
        met = ""
        if target.endswith("x"):
            met = "yes" if ratio >= float(target[2:-1]) else "NO"
            target_text = f">= {target[2:]} {label.get('ref', 'ref')}"
        elif target.endswith("GB/s"):
            met = "yes" if zl_m >= float(target[2:-4]) * 1e9 else "NO"
            target_text = f">= {target[2:]}"
        else:
            target_text = "-"
        rows.append([fig, fmt_rate(zl_m), f"{fmt_rate(ref_m)} ({label.get('ref', 'ref')})",
                     f"{ratio:.2f}x", target_text, met])
    for name in errors:
        rows.append([name, "ERROR", "", "", "", "no"])
    return rows


def callgrind_total(path):
    with open(path) as fh:
        for line in fh:
            if line.startswith("totals:") or line.startswith("summary:"):
                return int(line.split()[1])
    raise ValueError(f"no totals in {path}")


STAND_IN_ENTRIES = ("InternetOpenA", "InternetConnectA", "HttpOpenRequestA",
                    "HttpSendRequestA", "InternetReadFile", "HttpQueryInfoA",
                    "InternetCloseHandle", "InternetSetOptionA",
                    "InternetCrackUrlA", "MultiByteToWideChar",
                    "WideCharToMultiByte")


def stand_in_share(path):
    """Instructions spent inside the stand-in's entry points (inclusive)."""
    out = subprocess.run(["callgrind_annotate", "--inclusive=yes", "--threshold=100", path],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout
    total = 0
    for line in out.splitlines():
        m = re.match(r"^\s*([\d,]+)\s.*?zl::fake::(\w+)\(", line)
        if m and m.group(2) in STAND_IN_ENTRIES:
            total += int(m.group(1).replace(",", ""))
    return total


def callgrind_rows(directory, page_bytes):
    dumps = {}
    for path in glob.glob(os.path.join(directory, "callgrind.out.*")):
        with open(path) as fh:
            head = fh.read(4096)
        m = re.search(r"^desc: Trigger: Client Request: (\w+)", head, re.M)
        if m:
            dumps[m.group(1)] = path
    if "lookup" not in dumps or "reference" not in dumps:
        return [["instructions per byte (callgrind)", "ERROR", "", "", "", "no"]]
    lookup = callgrind_total(dumps["lookup"])
    ref = callgrind_total(dumps["reference"])
    stand_in = stand_in_share(dumps["lookup"])
    return [
        ["lookup path, 1 MB page via the stand-in: Ir/byte",
         f"{lookup / page_bytes:.1f}", f"{ref / page_bytes:.1f} (copy + one iconv)",
         f"{lookup / ref:.2f}x", "-", ""],
        ["  of which the stand-in's calls (fake WinInet, iconv x4)",
         f"{stand_in / page_bytes:.1f}", "", "", "-", ""],
        ["  of which the project's own code",
         f"{(lookup - stand_in) / page_bytes:.1f}", "", "", "-", ""],
    ]


def wine_rows(path):
    with open(path) as fh:
        data = json.load(fh)
    med = {}
    for s in data["samples"]:
        med.setdefault((s["size"], s["who"]), []).append(s["seconds"])
    med = {k: statistics.median(v) for k, v in med.items()}
    counts = {}
    for s in data["samples"]:
        counts[(s["size"], s["who"])] = counts.get((s["size"], s["who"]), 0) + 1
    sizes = sorted({k[0] for k in med})
    rows = []

    def size_name(n):
        return f"{n // MIB} MB" if n >= MIB else f"{n // 1024} KB"

    for n in sizes:
        lk, rf = med[(n, "lookup")], med[(n, "reference")]
        ratio = lk / rf
        rows.append([f"lookup under Wine, {size_name(n)} page (median of {counts[(n, 'lookup')]})",
                     f"{lk * 1e3:.1f} ms", f"{rf * 1e3:.1f} ms (same WinInet calls + conversion)",
                     f"{ratio:.2f}x", "<= 1.10x", "yes" if ratio <= 1.10 else "NO"])
    for n in sizes:
        lk, rp = med[(n, "lookup")], med.get((n, "reference-plain"))
        if rp:
            rows.append([f"  {size_name(n)}: beside the job converting with flags 0",
                         f"{lk * 1e3:.1f} ms", f"{rp * 1e3:.1f} ms", f"{lk / rp:.2f}x", "-", ""])
    big = [n for n in sizes if n >= MIB]
    for n in big:
        lk, rf = med[(n, "lookup")], med[(n, "reference")]
        rows.append([f"time per MB, {size_name(n)} page", f"{lk / (n / MIB) * 1e3:.1f} ms/MB",
                     f"{rf / (n / MIB) * 1e3:.1f} ms/MB", f"{lk / rf:.2f}x", "-", ""])
    if len(big) >= 2:
        lo, hi = big[0], big[-1]
        lin_l = (med[(hi, "lookup")] / hi) / (med[(lo, "lookup")] / lo)
        lin_r = (med[(hi, "reference")] / hi) / (med[(lo, "reference")] / lo)
        rows.append([f"linearity: per-MB time {size_name(hi)} / {size_name(lo)}",
                     f"{lin_l:.2f}", f"{lin_r:.2f}", f"{lin_l / lin_r:.2f}x",
                     "~1 (linear)", ""])
    mem = {m["who"]: m for m in data["memory"]}
    if "lookup" in mem:
        m = mem["lookup"]
        size = m["size"]
        peak = m["peak_private"] - m["idle_private"]
        ws = m["peak_ws"] - m["idle_peak_ws"]
        r = mem.get("reference")
        ref_peak = (r["peak_private"] - r["idle_private"]) if r else None
        ref_ws = (r["peak_ws"] - r["idle_peak_ws"]) if r else None
        rows.append([f"peak private bytes above idle, {size_name(size)} page",
                     f"{peak / MIB:.1f} MiB ({peak / size:.2f}x page)",
                     f"{ref_peak / MIB:.1f} MiB" if r else "",
                     f"{peak / ref_peak:.2f}x" if r else "",
                     f"<= {4 * size // MIB} MiB (4x page)",
                     "yes" if peak <= 4 * size else "NO"])
        rows.append([f"  cross-check: peak working set above idle",
                     f"{ws / MIB:.1f} MiB ({ws / size:.2f}x page)",
                     f"{ref_ws / MIB:.1f} MiB" if r else "",
                     f"{ws / ref_ws:.2f}x" if r else "", "-", ""])
    return rows


HEAD = ["figure", "this project", "reference", "ratio", "target", "met"]


def render_text(rows):
    widths = [max(len(str(r[i])) for r in rows + [HEAD]) for i in range(len(HEAD))]
    line = lambda r: "  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip()
    out = [line(HEAD), "  ".join("-" * w for w in widths)]
    out += [line(r) for r in rows]
    return "\n".join(out)


def render_markdown(rows):
    out = ["| " + " | ".join(HEAD) + " |", "|" + "---|" * len(HEAD)]
    for r in rows:
        out.append("| " + " | ".join(str(c).replace("|", "\\|") for c in r) + " |")
    return "\n".join(out)


def machine():
    model = "?"
    try:
        with open("/proc/cpuinfo") as fh:
            for line in fh:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return (f"{os.cpu_count()} CPUs (nproc), {model}, {platform.system()} "
            f"{platform.release()}, {datetime.datetime.now().astimezone():%Y-%m-%d %H:%M %Z}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--primitives")
    ap.add_argument("--callgrind-dir")
    ap.add_argument("--page-bytes", type=int, default=MIB)
    ap.add_argument("--wine")
    ap.add_argument("--markdown")
    ap.add_argument("--command", default="tools/bench")
    args = ap.parse_args()
    rows = []
    if args.primitives:
        rows += primitive_rows(args.primitives)
    if args.callgrind_dir:
        rows += callgrind_rows(args.callgrind_dir, args.page_bytes)
    if args.wine:
        rows += wine_rows(args.wine)
    print(render_text(rows))
    where = machine()
    print(f"\n{where}")
    if args.markdown:
        with open(args.markdown, "w") as fh:
            fh.write(f"Machine: {where}\n\nCommand: `{args.command}`\n\n")
            fh.write(render_markdown(rows) + "\n")
    missed = [r for r in rows if r[5] == "NO" or r[1] == "ERROR"]
    return 1 if any(r[1] == "ERROR" for r in missed) else 0


if __name__ == "__main__":
    raise SystemExit(main())
