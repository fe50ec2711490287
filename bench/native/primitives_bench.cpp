// Throughput of the toolkit primitives, each beside the C library routine
// that does the same physical work (memmem/memchr for a search, a copy into a
// new buffer for a function that builds a new text, iconv alone for the code
// page conversion).
//
// Every figure is registered twice, as "<figure>|zl" (this project) and
// "<figure>|ref" (the reference). The label of the first says what the
// reference is and the target, "ref=...;target=..."; tools/bench pairs the
// two, takes medians over the repetitions and prints the table. Run with
// --benchmark_enable_random_interleaving=true so that the pairs alternate.
#include <benchmark/benchmark.h>
#include <string.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "bench/native/page.h"
#include "platform/native/fake.h"
#include "text/extract.h"
#include "text/text.h"
#include "web/cookies.h"
#include "web/decode.h"

namespace {

using zl::bench::make_page;

constexpr size_t kMB = 1 << 20;

// The marker pair of the encyclopedia summary, as the lookup searches it.
constexpr char kLeft[] = "Description\" content=\"";
constexpr char kLeftLower[] = "description\" content=\"";
constexpr char kRight[] = "\" /><meta";
// An exact needle present once, at the end of the "late" pages.
constexpr char kExact[] = "name=\"description\" content=\"";
// Present once, near the start of every page.
constexpr char kEarly[] = "<meta charset=\"gbk\">";

const std::string& page_late(size_t size) {
  static std::string p1 = make_page(kMB, zl::bench::description_line());
  static std::string p8 = make_page(8 * kMB, zl::bench::description_line());
  return size == kMB ? p1 : p8;
}

const std::string& page_plain(size_t size) {
  static std::string p1 = make_page(kMB);
  static std::string p8 = make_page(8 * kMB);
  return size == kMB ? p1 : p8;
}

const std::string& page_padded(size_t size) {
  static std::string pad = std::string("  \xa1\xa1 ");
  static std::string p1 = pad + make_page(kMB - 2 * pad.size()) + pad;
  static std::string p8 = pad + make_page(8 * kMB - 2 * pad.size()) + pad;
  return size == kMB ? p1 : p8;
}

const std::string& page_utf8(size_t size) {
  static std::string p1 = zl::bench::iconv_all("GBK", "UTF-8", page_late(kMB));
  static std::string p8 =
      zl::bench::iconv_all("GBK", "UTF-8", page_late(8 * kMB));
  return size == kMB ? p1 : p8;
}

const char* size_name(size_t size) { return size == kMB ? "1 MB" : "8 MB"; }

void must(bool ok, benchmark::State& state, const char* what) {
  if (!ok) state.SkipWithError(what);
}

// memmem from the start; the 1-based position or -1, like text_find.
int32_t memmem_pos(std::string_view hay, std::string_view needle) {
  const void* p = memmem(hay.data(), hay.size(), needle.data(), needle.size());
  return p ? static_cast<int32_t>(static_cast<const char*>(p) - hay.data()) + 1
           : -1;
}

// The last occurrence by repeated memmem: one pass over the whole text.
int32_t memmem_last(std::string_view hay, std::string_view needle) {
  int32_t last = -1;
  size_t from = 0;
  while (from + needle.size() <= hay.size()) {
    const void* p = memmem(hay.data() + from, hay.size() - from, needle.data(),
                           needle.size());
    if (!p) break;
    const size_t at = static_cast<const char*>(p) - hay.data();
    last = static_cast<int32_t>(at) + 1;
    from = at + 1;
  }
  return last;
}

using Body = std::function<void(benchmark::State&)>;

void pair(const std::string& figure, const std::string& ref_name,
          const std::string& target, Body zl_body, Body ref_body) {
  const std::string label = "ref=" + ref_name + ";target=" + target;
  benchmark::RegisterBenchmark((figure + "|zl").c_str(),
                               [zl_body, label](benchmark::State& st) {
                                 zl_body(st);
                                 st.SetLabel(label);
                               });
  benchmark::RegisterBenchmark((figure + "|ref").c_str(),
                               [ref_body, ref_name](benchmark::State& st) {
                                 ref_body(st);
                                 st.SetLabel(ref_name);
                               });
}

void bytes(benchmark::State& st, size_t n) {
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations()) *
                       static_cast<int64_t>(n));
}

void register_page_figures(size_t size) {
  const std::string sz = size_name(size);

  // --- searches --------------------------------------------------------
  pair("text_find exact, late match, " + sz, "memmem", ">=0.5x",
       [size](benchmark::State& st) {
         const std::string& p = page_late(size);
         int32_t r = 0;
         for (auto _ : st) benchmark::DoNotOptimize(r = zl::text_find(p, kExact));
         must(r == memmem_pos(p, kExact) && r > 0, st, "wrong position");
         bytes(st, p.size());
       },
       [size](benchmark::State& st) {
         const std::string& p = page_late(size);
         for (auto _ : st) benchmark::DoNotOptimize(memmem_pos(p, kExact));
         bytes(st, p.size());
       });

  pair("text_find exact, no match, " + sz, "memmem", ">=0.5x",
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         int32_t r = 0;
         for (auto _ : st) benchmark::DoNotOptimize(r = zl::text_find(p, kExact));
         must(r == -1, st, "unexpected match");
         bytes(st, p.size());
       },
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         for (auto _ : st) benchmark::DoNotOptimize(memmem_pos(p, kExact));
         bytes(st, p.size());
       });

  pair("text_find folded, late match, " + sz, "memmem", ">=1GB/s",
       [size](benchmark::State& st) {
         const std::string& p = page_late(size);
         int32_t r = 0;
         for (auto _ : st)
           benchmark::DoNotOptimize(r = zl::text_find(p, kLeft, std::nullopt, true));
         must(r == memmem_pos(p, kLeftLower) && r > 0, st, "wrong position");
         bytes(st, p.size());
       },
       [size](benchmark::State& st) {
         const std::string& p = page_late(size);
         for (auto _ : st) benchmark::DoNotOptimize(memmem_pos(p, kLeftLower));
         bytes(st, p.size());
       });

  pair("text_find folded, no match, " + sz, "memmem", ">=1GB/s",
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         int32_t r = 0;
         for (auto _ : st)
           benchmark::DoNotOptimize(r = zl::text_find(p, kLeft, std::nullopt, true));
         must(r == -1, st, "unexpected match");
         bytes(st, p.size());
       },
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         for (auto _ : st) benchmark::DoNotOptimize(memmem_pos(p, kLeftLower));
         bytes(st, p.size());
       });

  pair("text_find_last, only match near the start, " + sz, "memmem (all)", "-",
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         int32_t r = 0;
         for (auto _ : st)
           benchmark::DoNotOptimize(r = zl::text_find_last(p, kEarly));
         must(r == memmem_last(p, kEarly) && r > 0, st, "wrong position");
         bytes(st, p.size());
       },
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         for (auto _ : st) benchmark::DoNotOptimize(memmem_last(p, kEarly));
         bytes(st, p.size());
       });

  pair("text_between, left marker absent, " + sz, "memmem", ">=1GB/s",
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         zl::Text r;
         for (auto _ : st) {
           r = zl::text_between(p, kLeft, kRight);
           benchmark::DoNotOptimize(r.data());
         }
         must(r.empty(), st, "unexpected value");
         bytes(st, p.size());
       },
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         for (auto _ : st) benchmark::DoNotOptimize(memmem_pos(p, kLeftLower));
         bytes(st, p.size());
       });

  // --- builders: the reference is a copy into a new buffer -------------
  pair("text_lower, " + sz, "memcpy", "-",
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         for (auto _ : st) {
           zl::Text r = zl::text_lower(p);
           benchmark::DoNotOptimize(r.data());
         }
         bytes(st, p.size());
       },
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         for (auto _ : st) {
           std::string r(p);
           benchmark::DoNotOptimize(r.data());
         }
         bytes(st, p.size());
       });

  pair("text_trim, " + sz, "memcpy", "-",
       [size](benchmark::State& st) {
         const std::string& p = page_padded(size);
         size_t n = 0;
         for (auto _ : st) {
           zl::Text r = zl::text_trim(p);
           n = r.size();
           benchmark::DoNotOptimize(r.data());
         }
         must(n + 10 == p.size(), st, "wrong trim");
         bytes(st, p.size());
       },
       [size](benchmark::State& st) {
         const std::string& p = page_padded(size);
         for (auto _ : st) {
           std::string r(p);
           benchmark::DoNotOptimize(r.data());
         }
         bytes(st, p.size());
       });

  pair("text_replace of the quote token, " + sz, "memcpy", "-",
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         size_t n = 0;
         for (auto _ : st) {
           zl::Text r = zl::text_replace(p, zl::bench::kQuoteToken, "\"");
           n = r.size();
           benchmark::DoNotOptimize(r.data());
         }
         must(n < p.size(), st, "nothing replaced");
         bytes(st, p.size());
       },
       [size](benchmark::State& st) {
         const std::string& p = page_plain(size);
         for (auto _ : st) {
           std::string r(p);
           benchmark::DoNotOptimize(r.data());
         }
         bytes(st, p.size());
       });

  // --- conversion --------------------------------------------------------
  pair("utf8_to_gbk via the native stand-in, " + sz, "iconv", "-",
       [size](benchmark::State& st) {
         const std::string& u = page_utf8(size);
         const zl::Bytes in(u.begin(), u.end());
         size_t n = 0;
         for (auto _ : st) {
           zl::Bytes r = zl::utf8_to_gbk(in);
           n = r.size();
           benchmark::DoNotOptimize(r.data());
           // The stand-in logs a copy of every argument; keep the log short.
           st.PauseTiming();
           zl::fake::reset();
           st.ResumeTiming();
         }
         must(n == page_late(size).size(), st, "wrong length");
         bytes(st, u.size());
       },
       [size](benchmark::State& st) {
         const std::string& u = page_utf8(size);
         iconv_t cd = iconv_open("GBK", "UTF-8");
         std::string out(u.size() + 16, '\0');
         for (auto _ : st) {
           char* src = const_cast<char*>(u.data());
           size_t left = u.size();
           char* dst = out.data();
           size_t room = out.size();
           iconv(cd, nullptr, nullptr, nullptr, nullptr);
           iconv(cd, &src, &left, &dst, &room);
           benchmark::DoNotOptimize(out.data());
         }
         iconv_close(cd);
         bytes(st, u.size());
       });
}

void register_small_figures() {
  pair("text_split of a 50-line header block", "memmem (all)", "-",
       [](benchmark::State& st) {
         static const std::string block = zl::bench::make_header_block(50);
         size_t n = 0;
         for (auto _ : st) {
           zl::TextArray r = zl::text_split(block, "\r\n");
           n = r.size();
           benchmark::DoNotOptimize(r.data());
         }
         must(n == 51, st, "wrong piece count");
         bytes(st, block.size());
       },
       [](benchmark::State& st) {
         static const std::string block = zl::bench::make_header_block(50);
         for (auto _ : st) {
           size_t from = 0, pieces = 0;
           while (const void* p = memmem(block.data() + from, block.size() - from,
                                         "\r\n", 2)) {
             from = static_cast<const char*>(p) - block.data() + 2;
             ++pieces;
           }
           benchmark::DoNotOptimize(pieces);
         }
         bytes(st, block.size());
       });

  pair("merge_cookies, 50 + 50 cookies", "memcpy", "-",
       [](benchmark::State& st) {
         static const std::string old_c = zl::bench::make_cookies(50, 0, 1);
         static const std::string new_c = zl::bench::make_cookies(50, 25, 2);
         size_t n = 0;
         for (auto _ : st) {
           zl::Text cookies = old_c, received = new_c;
           zl::Text r = zl::merge_cookies(cookies, received);
           n = r.size();
           benchmark::DoNotOptimize(r.data());
         }
         must(n > old_c.size() / 2, st, "short merge");
         bytes(st, old_c.size() + new_c.size());
       },
       [](benchmark::State& st) {
         static const std::string old_c = zl::bench::make_cookies(50, 0, 1);
         static const std::string new_c = zl::bench::make_cookies(50, 25, 2);
         for (auto _ : st) {
           std::string a(old_c), b(new_c);
           benchmark::DoNotOptimize(a.data());
           benchmark::DoNotOptimize(b.data());
         }
         bytes(st, old_c.size() + new_c.size());
       });
}

}  // namespace

int main(int argc, char** argv) {
  register_page_figures(kMB);
  register_page_figures(8 * kMB);
  register_small_figures();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
