// Made-up but realistic inputs for the native benchmarks: an HTML page of
// mostly ASCII markup with runs of GBK text, a raw response header block,
// and cookie strings. Everything is generated from a fixed seed, so every
// run measures the same bytes.
#ifndef ZHILAN_BENCH_NATIVE_PAGE_H_
#define ZHILAN_BENCH_NATIVE_PAGE_H_

#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace zl::bench {

class Lcg {
 public:
  explicit Lcg(uint32_t seed) : s_(seed) {}
  uint32_t next() {
    s_ = s_ * 1664525u + 1013904223u;
    return s_ >> 8;
  }
  uint32_t below(uint32_t n) { return next() % n; }

 private:
  uint32_t s_;
};

// GBK "#引号": the token that stands for a double quote in markers.
inline constexpr char kQuoteToken[] = "#\xd2\xfd\xba\xc5";

// A run of `chars` two-byte GB2312 ideographs (lead B0-D6, trail A1-FE).
inline void append_gbk(std::string& out, Lcg& rng, int chars) {
  for (int i = 0; i < chars; ++i) {
    out.push_back(static_cast<char>(0xB0 + rng.below(0x27)));
    out.push_back(static_cast<char>(0xA1 + rng.below(0x5E)));
  }
}

inline void append_word(std::string& out, Lcg& rng) {
  static const char* const kWords[] = {
      "the",     "entry",   "history", "Content", "page",   "index",
      "section", "Meta",    "name",    "summary", "link",   "list",
      "table",   "image",   "Title",   "article", "source", "reference",
      "edit",    "version", "search",  "word",    "DESC",   "item"};
  out += kWords[rng.below(sizeof kWords / sizeof kWords[0])];
}

// One block of markup: a paragraph with attributes, a link, English words
// and GBK text, and now and then a meta line and a quote token, so that
// searches for meta markers meet many near misses.
inline void append_block(std::string& out, Lcg& rng) {
  out += "<div class=\"para\" data-idx=\"";
  out += std::to_string(rng.below(100000));
  out += "\"><a href=\"/item/";
  append_word(out, rng);
  out += "?fr=";
  out += std::to_string(rng.below(1000));
  out += "\" target=\"_blank\">";
  append_gbk(out, rng, 2 + static_cast<int>(rng.below(4)));
  out += "</a>";
  const int words = 6 + static_cast<int>(rng.below(10));
  for (int i = 0; i < words; ++i) {
    out += ' ';
    append_word(out, rng);
  }
  out += ' ';
  append_gbk(out, rng, 3 + static_cast<int>(rng.below(8)));
  out += "<span style=\"color:#333\">";
  append_word(out, rng);
  out += "</span></div>\n";
  switch (rng.below(16)) {
    case 0:
      out += "<meta name=\"keywords\" content=\"";
      append_gbk(out, rng, 4);
      out += "\" /><meta property=\"og:type\" content=\"article\">\n";
      break;
    case 1:
      out += "<p>";
      out += kQuoteToken;
      append_gbk(out, rng, 2);
      out += kQuoteToken;
      out += "</p>\n";
      break;
    default:
      break;
  }
}

// About `size` bytes of page (cut to exactly `size`), then `tail`. The cut
// never splits a two-byte character: blocks end in ASCII.
inline std::string make_page(size_t size, const std::string& tail = {},
                             uint32_t seed = 20240601u) {
  Lcg rng(seed);
  std::string out;
  out.reserve(size + tail.size() + 512);
  out += "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\">"
         "<title>";
  append_gbk(out, rng, 6);
  out += "</title></head><body>\n";
  while (out.size() + tail.size() < size) append_block(out, rng);
  out.resize(size > tail.size() ? size - tail.size() : 0);
  // Step back to the end of the last block so no character is split.
  const size_t nl = out.rfind('\n');
  if (nl != std::string::npos) out.resize(nl + 1);
  while (out.size() + tail.size() < size) out.push_back('\n');
  out += tail;
  return out;
}

// The description meta line as an encyclopedia page carries it.
inline std::string description_line() {
  Lcg rng(7);
  std::string out = "<meta name=\"description\" content=\"";
  append_gbk(out, rng, 60);
  out += "\" /><meta name=\"keywords\" content=\"x\">\n";
  return out;
}

// A raw response header block of `lines` lines (status line included),
// ended by an empty line.
inline std::string make_header_block(int lines) {
  Lcg rng(99);
  std::string out = "HTTP/1.1 200 OK\r\n";
  for (int i = 1; i < lines; ++i) {
    switch (i % 5) {
      case 0:
        out += "Set-Cookie: c" + std::to_string(i) + "=" +
               std::to_string(rng.next()) +
               "; expires=Thu, 31-Dec-37 23:55:55 GMT; path=/; domain=.example\r\n";
        break;
      case 1:
        out += "X-Trace-" + std::to_string(i) + ": " +
               std::to_string(rng.next()) + "-" + std::to_string(rng.next()) +
               "\r\n";
        break;
      case 2:
        out += "Cache-Control: private, max-age=0, no-cache\r\n";
        break;
      case 3:
        out += "Content-Type: text/html; charset=utf-8\r\n";
        break;
      default:
        out += "Date: Sat, 01 Jun 2024 08:00:00 GMT\r\n";
        break;
    }
  }
  out += "\r\n";
  return out;
}

// `n` cookie items "name=value" joined by "; ", names c<first>..; every
// seventh item is a deletion.
inline std::string make_cookies(int n, int first, uint32_t seed) {
  Lcg rng(seed);
  std::string out;
  for (int i = 0; i < n; ++i) {
    if (!out.empty()) out += "; ";
    out += "c" + std::to_string(first + i) + "=";
    if (i % 7 == 6) {
      out += "deleted";
    } else {
      out += std::to_string(rng.next()) + "x" + std::to_string(rng.next());
    }
  }
  return out;
}

// glibc iconv over a whole buffer; throws on failure.
inline std::string iconv_all(const char* from, const char* to,
                             const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
  std::string out(in.size() * 2 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  char* dst = out.data();
  size_t room = out.size();
  const size_t r = iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) throw std::runtime_error("iconv");
  out.resize(out.size() - room);
  return out;
}

}  // namespace zl::bench

#endif  // ZHILAN_BENCH_NATIVE_PAGE_H_
