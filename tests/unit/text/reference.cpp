#include "tests/unit/text/reference.h"

#include <string>

namespace zl::ref {
namespace {

// Byte i of t, 0-based, as an unsigned value.
unsigned byte_at(std::string_view t, int64_t i) {
  return static_cast<unsigned char>(t[static_cast<size_t>(i)]);
}

bool high(unsigned c) { return c >= 0x80; }

unsigned fold(unsigned c) { return (c >= 0x41 && c <= 0x5A) ? c + 0x20 : c; }

// Do the m bytes of t at p equal `what`?
bool same_at(std::string_view t, int64_t p, std::string_view what, bool folded) {
  for (size_t k = 0; k < what.size(); ++k) {
    unsigned a = byte_at(t, p + static_cast<int64_t>(k));
    unsigned b = static_cast<unsigned char>(what[k]);
    if (folded) {
      a = fold(a);
      b = fold(b);
    }
    if (a != b) return false;
  }
  return true;
}

bool is_space_at(std::string_view t, int64_t i) {
  const int64_t len = static_cast<int64_t>(t.size());
  if (byte_at(t, i) == 0x20) return true;
  return byte_at(t, i) == 0xA1 && i + 1 < len && byte_at(t, i + 1) == 0xA1;
}

// Scans region [first, last) for `what`, stepping by characters from first;
// returns the first (find_first) or last 1-based position, or -1.
int32_t scan(std::string_view t, std::string_view what, int64_t first,
             int64_t last, bool folded, bool find_first) {
  const int64_t len = static_cast<int64_t>(t.size());
  const int64_t m = static_cast<int64_t>(what.size());
  if (m == 0) return first < last ? 1 : -1;
  int32_t found = -1;
  int64_t p = first;
  while (last - p >= m) {
    if (same_at(t, p, what, folded)) {
      found = static_cast<int32_t>(p + 1);
      if (find_first) return found;
    }
    if (high(byte_at(t, p))) {
      if (p == len - 1) break;
      p += 2;
    } else {
      p += 1;
    }
  }
  return found;
}

}  // namespace

int32_t text_find(std::string_view t, std::string_view what,
                  std::optional<int32_t> start, bool fold) {
  const int64_t len = static_cast<int64_t>(t.size());
  int64_t first = 0;
  if (start && *start > 1) first = *start > len ? len : *start - 1;
  return scan(t, what, first, len, fold, true);
}

int32_t text_find_last(std::string_view t, std::string_view what,
                       std::optional<int32_t> start, bool fold) {
  const int64_t len = static_cast<int64_t>(t.size());
  int64_t last = len;
  if (start) {
    if (*start <= 1) {
      last = 0;
    } else if (*start - 1 < len) {
      last = *start - 1;
    }
  }
  return scan(t, what, 0, last, fold, false);
}

Text text_left(std::string_view t, int32_t n) {
  const int64_t len = static_cast<int64_t>(t.size());
  Text out;
  for (int64_t i = 0; i < n && i < len; ++i) out.push_back(t[static_cast<size_t>(i)]);
  return out;
}

Text text_right(std::string_view t, int32_t n) {
  const int64_t len = static_cast<int64_t>(t.size());
  const int64_t k = n <= 0 ? 0 : (n < len ? n : len);
  Text out;
  for (int64_t i = len - k; i < len; ++i) out.push_back(t[static_cast<size_t>(i)]);
  return out;
}

Text text_mid(std::string_view t, int32_t start, int32_t n) {
  const int64_t len = static_cast<int64_t>(t.size());
  const int64_t i = static_cast<int64_t>(start) - 1;
  Text out;
  if (i < 0 || i >= len || n <= 0) return out;
  for (int64_t k = 0; k < n && i + k < len; ++k) {
    out.push_back(t[static_cast<size_t>(i + k)]);
  }
  return out;
}

Text text_replace(std::string_view t, std::string_view what,
                  std::optional<std::string_view> with,
                  std::optional<int32_t> start, std::optional<int32_t> count,
                  bool case_sensitive) {
  const std::string_view w = with ? *with : std::string_view();
  const int64_t st = start ? *start : 1;
  const bool limited = count && *count >= 0;
  int64_t left = limited ? *count : 0;
  const int64_t len = static_cast<int64_t>(t.size());
  const int64_t m = static_cast<int64_t>(what.size());
  const int64_t s = st - 1 > 0 ? st - 1 : 0;
  if (len == 0 || m == 0 || s >= len || (limited && left == 0)) return Text(t);

  Text out;
  for (int64_t i = 0; i < s; ++i) out.push_back(t[static_cast<size_t>(i)]);
  int64_t p = s;
  while (len - p >= m) {
    if (same_at(t, p, what, !case_sensitive)) {
      out.append(w);
      p += m;
      if (limited && --left == 0) break;
      continue;
    }
    if (high(byte_at(t, p))) {
      if (p == len - 1) return out;  // dangling lead byte dropped
      out.push_back(t[static_cast<size_t>(p)]);
      out.push_back(t[static_cast<size_t>(p + 1)]);
      p += 2;
    } else {
      out.push_back(t[static_cast<size_t>(p)]);
      p += 1;
    }
  }
  for (; p < len; ++p) out.push_back(t[static_cast<size_t>(p)]);
  return out;
}

TextArray text_split(std::string_view t, std::optional<std::string_view> separator,
                     std::optional<int32_t> count) {
  const std::string_view sep = separator ? *separator : std::string_view(",");
  const bool limited = count.has_value();
  int64_t left = limited ? (*count < 0 ? 0 : *count) : 0;
  TextArray out;
  if (t.empty() || (limited && left == 0)) return out;
  if (sep.empty()) {
    out.push_back(Text(t));
    return out;
  }
  const int64_t len = static_cast<int64_t>(t.size());
  const int64_t m = static_cast<int64_t>(sep.size());
  int64_t q = 0;
  int64_t p = 0;
  while (len - p >= m) {
    if (same_at(t, p, sep, false)) {
      out.push_back(Text(t.substr(static_cast<size_t>(q), static_cast<size_t>(p - q))));
      p += m;
      q = p;
      if (limited && --left == 0) return out;
      continue;
    }
    if (high(byte_at(t, p))) {
      if (p == len - 1) break;
      p += 2;
    } else {
      p += 1;
    }
  }
  if (q < len) out.push_back(Text(t.substr(static_cast<size_t>(q))));
  return out;
}

Text text_trim(std::string_view t) {
  const int64_t len = static_cast<int64_t>(t.size());
  int64_t b = 0;
  while (b < len && is_space_at(t, b)) b += byte_at(t, b) == 0x20 ? 1 : 2;
  int64_t run = -1;
  int64_t p = b;
  int64_t cut = len;
  while (p < len) {
    const unsigned c = byte_at(t, p);
    if (high(c) && p == len - 1) {
      cut = p;
      run = -1;
      break;
    }
    if (is_space_at(t, p)) {
      if (run < 0) run = p;
    } else {
      run = -1;
    }
    p += high(c) ? 2 : 1;
  }
  if (run >= 0) cut = run;
  return Text(t.substr(static_cast<size_t>(b), static_cast<size_t>(cut - b)));
}

Text text_strip_spaces(std::string_view t) {
  const int64_t len = static_cast<int64_t>(t.size());
  Text out;
  int64_t p = 0;
  while (p < len) {
    const unsigned c = byte_at(t, p);
    if (high(c) && p == len - 1) break;
    const int64_t w = high(c) ? 2 : 1;
    if (!is_space_at(t, p)) out.append(t.substr(static_cast<size_t>(p), static_cast<size_t>(w)));
    p += w;
  }
  return out;
}

Text text_lower(std::string_view t) {
  const int64_t len = static_cast<int64_t>(t.size());
  Text out;
  int64_t p = 0;
  while (p < len) {
    const unsigned c = byte_at(t, p);
    if (high(c)) {
      out.push_back(t[static_cast<size_t>(p)]);
      if (p == len - 1) break;
      out.push_back(t[static_cast<size_t>(p + 1)]);
      p += 2;
    } else {
      out.push_back(static_cast<char>(fold(c)));
      p += 1;
    }
  }
  return out;
}

int32_t text_to_int(std::string_view t) {
  const int64_t len = static_cast<int64_t>(t.size());
  std::string f;
  int64_t p = 0;
  while (p < len) {
    const unsigned c = byte_at(t, p);
    if (high(c) && p + 1 < len) {
      const unsigned d = byte_at(t, p + 1);
      if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) {
        f.push_back(static_cast<char>(d - 0x80));
      } else if (c == 0xA1 && d == 0xA1) {
        f.push_back(' ');
      } else {
        f.push_back(static_cast<char>(c));
        f.push_back(static_cast<char>(d));
      }
      p += 2;
    } else {
      f.push_back(static_cast<char>(c));
      p += 1;
    }
  }
  size_t i = 0;
  while (i < f.size() && (f[i] == ' ' || (f[i] >= 0x09 && f[i] <= 0x0D))) ++i;
  bool negative = false;
  if (i < f.size() && (f[i] == '+' || f[i] == '-')) negative = f[i++] == '-';
  uint32_t v = 0;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') v = v * 10u + static_cast<uint32_t>(f[i++] - '0');
  if (negative) v = 0u - v;
  return static_cast<int32_t>(v);
}

int32_t bytes_find(const Bytes& b, const Bytes& what, std::optional<int32_t> start) {
  const int64_t len = static_cast<int64_t>(b.size());
  const int64_t m = static_cast<int64_t>(what.size());
  if (m == 0) return -1;
  int64_t first = 0;
  if (start && *start > 1) first = *start > len ? len : *start - 1;
  for (int64_t p = first; p < len; ++p) {
    if (b[static_cast<size_t>(p)] != what[0] || len - p < m) continue;
    bool all = true;
    for (int64_t k = 1; k < m; ++k) {
      if (b[static_cast<size_t>(p + k)] != what[static_cast<size_t>(k)]) {
        all = false;
        break;
      }
    }
    if (all) return static_cast<int32_t>(p + 1);
  }
  return -1;
}

Text bytes_to_text(const Bytes& b) {
  Text out;
  for (unsigned char c : b) {
    if (c == 0) break;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

Text text_between(std::string_view source, std::string_view left,
                  std::string_view right, std::optional<int32_t> start,
                  bool case_sensitive) {
  const std::string_view token = "#\xD2\xFD\xBA\xC5";  // "#引号"
  const Text l = ref::text_replace(left, token, std::string_view("\""), std::nullopt,
                                   std::nullopt, true);
  const Text r = ref::text_replace(right, token, std::string_view("\""), std::nullopt,
                                   std::nullopt, true);
  int32_t p = ref::text_find(source, l, start, !case_sensitive);
  if (p == -1) return Text();
  p += static_cast<int32_t>(l.size());
  const int32_t q = ref::text_find(source, r, p, !case_sensitive);
  if (q == -1) return Text();
  // text_mid(source, p, q - p)
  const int64_t i = p - 1;
  const int64_t n = q - p;
  if (i < 0 || i >= static_cast<int64_t>(source.size()) || n <= 0) return Text();
  return Text(source.substr(static_cast<size_t>(i), static_cast<size_t>(n)));
}

Text header_value(std::string_view line) {
  const int32_t p = ref::text_find(line, ":");
  if (p == -1) return Text();
  return ref::text_trim(ref::text_right(line, static_cast<int32_t>(line.size()) - p));
}

Text cookie_name(std::string_view item) {
  const int32_t p = ref::text_find(item, "=");
  if (p == -1) return ref::text_trim(item);
  return ref::text_trim(ref::text_left(item, p - 1));
}

}  // namespace zl::ref
