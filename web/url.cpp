#include "web/url.h"

#include "text/extract.h"

namespace zl {
namespace {

// Where the host begins in the caller's URL when it starts with a scheme:
// 9 after "https://", 8 after "http://", otherwise 1.
int32_t host_search_start(std::string_view url) {
  const Text head = text_lower(text_left(url, 8));
  if (head == "https://") return 9;
  if (text_left(head, 7) == "http://") return 8;
  return 1;
}

}  // namespace

Text url_host(std::string_view url, bool two_labels, bool keep_port) {
  Text s = text_lower(url);
  if (text_right(s, 1) != "/") s += '/';
  std::string_view scheme = "https://";
  if (text_left(s, 8) != scheme) {
    scheme = "http://";
    if (text_find(s, scheme) == -1) s.insert(0, scheme);
  }
  Text h = text_between(s, scheme, "/");

  if (two_labels) {
    const TextArray labels = text_split(h, std::string_view("."));
    const size_t n = labels.size();
    if (n > 1) h = text_concat({labels[n - 2], ".", labels[n - 1]});
  }
  if (keep_port) return h;
  const int32_t colon = text_find(h, ":");
  return colon == -1 ? h : text_left(h, colon - 1);
}

int32_t url_port(std::string_view url) {
  const Text h = url_host(url, false, true);
  const int32_t colon = text_find_last(h, ":");
  if (colon != -1) return text_to_int(text_right(h, text_len(h) - colon));
  return text_left(text_lower(url), 5) == "https" ? 443 : 80;
}

Text url_path(std::string_view url) {
  const Text h = url_host(url);
  // The host is looked for after the scheme: a short host such as "t" or
  // "p" also occurs inside "http://", and the path would then start at the
  // scheme's own slashes.
  const int32_t a = text_find(url, h, host_search_start(url), true);
  const int32_t b = text_find(url, "/", a, true);
  if (b <= 0) return "/";
  return text_right(url, text_len(url) - b + 1);
}

Text url_escape_controls(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  Text out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace zl
