// Length, joining, comparing, cutting by position and blank text.
#include <algorithm>
#include <cstring>

#include "text/text.h"

namespace zl {

int32_t text_len(std::string_view t) { return static_cast<int32_t>(t.size()); }

Text text_concat(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (std::string_view p : parts) total += p.size();
  Text out;
  out.reserve(total);
  for (std::string_view p : parts) out.append(p);
  return out;
}

int text_compare(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  // memcmp compares as unsigned char, which is the order wanted here.
  const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Text text_left(std::string_view t, int32_t n) {
  if (n <= 0) return Text();
  return Text(t.substr(0, static_cast<size_t>(n)));
}

Text text_right(std::string_view t, int32_t n) {
  if (n <= 0) return Text();
  const size_t k = std::min(static_cast<size_t>(n), t.size());
  return Text(t.substr(t.size() - k));
}

Text text_mid(std::string_view t, int32_t start, int32_t n) {
  // 64-bit so that start - 1 and start + n cannot overflow.
  const int64_t i = static_cast<int64_t>(start) - 1;
  if (i < 0 || i >= static_cast<int64_t>(t.size()) || n <= 0) return Text();
  return Text(t.substr(static_cast<size_t>(i), static_cast<size_t>(n)));
}

Text blank_text(int32_t n) {
  if (n <= 0) return Text();
  return Text(static_cast<size_t>(n), ' ');
}

}  // namespace zl
