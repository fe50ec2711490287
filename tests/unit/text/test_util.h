// Helpers shared by the toolkit's tests.
#ifndef ZHILAN_TESTS_UNIT_TEXT_TEST_UTIL_H_
#define ZHILAN_TESTS_UNIT_TEXT_TEST_UTIL_H_

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace zl::testing {

// The GBK form of a UTF-8 literal, so that the hex escapes used elsewhere in
// the tests can be checked against an independent converter. Empty when the
// conversion fails.
inline std::string gbk(std::string_view utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string in(utf8);
  std::string out(in.size() * 2 + 8, '\0');
  char* src = in.data();
  size_t src_left = in.size();
  char* dst = out.data();
  size_t dst_left = out.size();
  const size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return std::string();
  out.resize(out.size() - dst_left);
  return out;
}

// Printable form of arbitrary bytes for failure messages.
inline std::string show(std::string_view s) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
      out.push_back(static_cast<char>(c));
    } else {
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out + "\"";
}

inline std::string show(std::optional<int32_t> v) {
  return v ? std::to_string(*v) : std::string("omitted");
}

}  // namespace zl::testing

#endif  // ZHILAN_TESTS_UNIT_TEXT_TEST_UTIL_H_
