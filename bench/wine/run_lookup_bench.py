#!/usr/bin/env python3
"""Serves encyclopedia-like UTF-8 pages on 127.0.0.1 and runs the Wine
end-to-end program against them: alternating timed rounds of the lookup and
the reference job, then one fresh process each for the memory peak of the
largest page. Writes the raw samples as JSON."""
import argparse
import json
import os
import random
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "fixtures"))

from httpfixture import FixtureServer, response  # noqa: E402

KEYWORD_LEAD = "测试".encode("gbk")
WORDS = ["the", "entry", "history", "content", "page", "index", "section",
         "name", "summary", "link", "list", "table", "image", "title",
         "article", "source", "reference", "edit", "version", "search"]
HANZI = "知澜百科词条历史文化地理人物科学技术艺术语言城市山川河流年代名称资料介绍"


def make_block(rng):
    text = "".join(rng.choice(HANZI) for _ in range(rng.randint(4, 16)))
    words = " ".join(rng.choice(WORDS) for _ in range(rng.randint(6, 16)))
    return (f'<div class="para" data-idx="{rng.randint(0, 99999)}">'
            f'<a href="/item/{rng.choice(WORDS)}?fr={rng.randint(0, 999)}" '
            f'target="_blank">{text[:4]}</a> {words} {text}'
            f'<span style="color:#333">{rng.choice(WORDS)}</span></div>\n')


def make_page(size, keyword):
    """A UTF-8 page of exactly `size` bytes, the summary in its head."""
    rng = random.Random(size)
    summary = f"{keyword}是一个用于测量的词条，这里是它的摘要：知澜百科结果。"
    head = ('<!DOCTYPE html>\n<html><head><meta charset="utf-8">'
            f'<title>{keyword}_百科</title>'
            f'<meta name="description" content="{summary}" />'
            '<meta name="keywords" content="x"></head><body>\n').encode()
    blocks = [make_block(rng).encode() for _ in range(512)]
    parts, n, i = [head], len(head), 0
    while n < size:
        b = blocks[i % len(blocks)]
        parts.append(b)
        n += len(b)
        i += 1
    page = b"".join(parts)[:size]
    cut = page.rfind(b"\n") + 1  # no UTF-8 sequence split
    return page[:cut] + b"\n" * (size - cut)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--wine-run", required=True)
    ap.add_argument("--exe", required=True)
    ap.add_argument("--dll", required=True)
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--rounds", default="1024:40,65536:30,1048576:12,16777216:7")
    ap.add_argument("--memory-size", type=int, default=16 << 20)
    ap.add_argument("--out", required=True)
    args = ap.parse_args()

    size_rounds = [s.split(":") for s in args.rounds.split(",")]
    sizes = sorted({int(s) for s, _ in size_rounds} | {1024, args.memory_size})
    pages = {}
    for size in sizes:
        kw = KEYWORD_LEAD + str(size).encode()
        pages[kw] = make_page(size, kw.decode("gbk"))

    def responder(req):
        word = b""
        for item in req.query().split(b"&"):
            if item.startswith(b"word="):
                word = item[5:]
        body = pages.get(word)
        if body is None:
            return response(404, "Not Found", body=b"no such entry")
        return response(headers=["Content-Type: text/html; charset=utf-8"],
                        body=body)

    endpoint = f"127.0.0.1:{args.port}"
    result = {"samples": [], "memory": []}
    with FixtureServer(responder, port=args.port, read_timeout=30):
        cmd = [args.wine_run, args.exe, args.dll, endpoint, "time"]
        cmd += [f"{s}:{r}" for s, r in size_rounds]
        out = subprocess.run(cmd, stdout=subprocess.PIPE, timeout=1800)
        if out.returncode != 0:
            sys.exit(f"timed rounds failed ({out.returncode})")
        for line in out.stdout.decode().splitlines():
            f = line.split()
            if f and f[0] == "sample":
                result["samples"].append(
                    {"size": int(f[1]), "who": f[2], "seconds": float(f[3])})
        for who in ("lookup", "reference"):  # fresh processes, one each
            cmd = [args.wine_run, args.exe, args.dll, endpoint, "memory", who,
                   str(args.memory_size)]
            out = subprocess.run(cmd, stdout=subprocess.PIPE, timeout=600)
            if out.returncode != 0:
                sys.exit(f"memory run of the {who} failed ({out.returncode})")
            for line in out.stdout.decode().splitlines():
                f = line.split()
                if f and f[0] == "memory":
                    result["memory"].append({
                        "who": f[1], "size": int(f[2]),
                        "idle_private": int(f[3]), "peak_private": int(f[4]),
                        "idle_peak_ws": int(f[5]), "peak_ws": int(f[6])})
    with open(args.out, "w") as fh:
        json.dump(result, fh, indent=1)


if __name__ == "__main__":
    main()
