#include "web/decode.h"

#include <cstring>
#include <string>

#include "platform/platform.h"

namespace zl {
namespace {

// The UTF-16 form as code units. utf8_to_gbk works on this directly, so the
// units are never read through byte storage and no extra copy is made.
std::u16string to_units(const Bytes& input) {
  const int n = bytes_len(input);
  const char* in = reinterpret_cast<const char*>(input.data());
  const int w = sys().MultiByteToWideChar(win::CP_UTF8, 0, in, n, nullptr, 0);
  std::u16string units(w > 0 ? static_cast<size_t>(w) : 0, u'\0');
  // The conversion runs even when the query gave 0; it then converts into
  // nothing. Its result is not needed: the buffer is exactly w units.
  sys().MultiByteToWideChar(win::CP_UTF8, 0, in, n,
                            units.empty() ? nullptr : units.data(),
                            static_cast<int>(units.size()));
  return units;
}

}  // namespace

Bytes utf8_to_utf16(const Bytes& input) {
  const std::u16string units = to_units(input);
  Bytes out(units.size() * 2);
  if (!out.empty()) std::memcpy(out.data(), units.data(), out.size());
  return out;
}

Bytes utf8_to_gbk(const Bytes& input) {
  const std::u16string units = to_units(input);
  const int u = static_cast<int>(units.size());
  const char16_t* in = units.empty() ? nullptr : units.data();
  const int m = sys().WideCharToMultiByte(win::CP_GBK, win::WC_COMPOSITECHECK,
                                          in, u, nullptr, 0, nullptr, nullptr);
  Bytes out = blank_bytes(m);
  sys().WideCharToMultiByte(win::CP_GBK, win::WC_COMPOSITECHECK, in, u,
                            out.empty() ? nullptr
                                        : reinterpret_cast<char*>(out.data()),
                            bytes_len(out), nullptr, nullptr);
  return out;
}

}  // namespace zl
