// The code-page calls of kernel32, done with the C library's iconv, with the
// Windows conventions the plug-in relies on: a size of 0 asks for the size,
// a buffer too small fails without writing, and bad input is replaced rather
// than refused unless the strict flag asks for it.
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/native/fake.h"

namespace zl {
namespace fake {

Log& mutable_log();

namespace {

constexpr uint32_t kMbErrInvalidChars = 0x8;

// glibc's name for the code page, or null when the stand-in lacks it.
const char* charset(uint32_t code_page) {
  switch (code_page) {
    case 0:  // CP_ACP: the operators' machines run code page 936
    case win::CP_GBK:
      return "CP936";
    case win::CP_UTF8:
      return "UTF-8";
    default:
      return nullptr;
  }
}

// Converts `in` from `from` to `to`. A sequence iconv refuses becomes
// `replacement` and `unit` input bytes are skipped; with `strict` it fails
// the whole conversion instead. `replaced` tells whether that happened.
bool convert(const char* from, const char* to, const char* in, size_t in_len,
             const std::string& replacement, size_t unit, bool strict,
             std::string* out, bool* replaced) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out->clear();
  *replaced = false;
  char* src = const_cast<char*>(in);
  size_t left = in_len;
  char chunk[4096];
  bool ok = true;
  while (left > 0) {
    char* dst = chunk;
    size_t room = sizeof chunk;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    out->append(chunk, dst);
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    if (errno != EILSEQ && errno != EINVAL) {
      ok = false;
      break;
    }
    if (strict) {
      ok = false;
      break;
    }
    // A bad sequence, or one cut off at the end of the input.
    out->append(replacement);
    *replaced = true;
    const size_t skip = left < unit ? left : unit;
    src += skip;
    left -= skip;
  }
  iconv_close(cd);
  return ok;
}

}  // namespace

int MultiByteToWideChar(uint32_t code_page, uint32_t flags, const char* input,
                        int input_length, char16_t* output,
                        int output_length) {
  mutable_log().sequence.emplace_back("MultiByteToWideChar");
  MultiByteCall call;
  call.code_page = code_page;
  call.flags = flags;
  call.input_null = input == nullptr;
  call.input_length = input_length;
  call.output_null = output == nullptr;
  call.output_length = output_length;
  auto finish = [&](int result) {
    call.result = result;
    mutable_log().multi_byte.push_back(call);
    return result;
  };
  const char* from = charset(code_page);
  if (!from || !input || input_length == 0 || input_length < -1 ||
      output_length < 0 || (!output && output_length > 0)) {
    return finish(0);
  }
  const size_t n = input_length == -1 ? std::strlen(input) + 1
                                      : static_cast<size_t>(input_length);
  call.input.assign(input, input + n);
  std::string wide;
  bool replaced = false;
  // U+FFFD, little-endian, for each byte that does not decode.
  if (!convert(from, "UTF-16LE", input, n, std::string("\xFD\xFF", 2), 1,
               (flags & kMbErrInvalidChars) != 0, &wide, &replaced)) {
    return finish(0);
  }
  const int units = static_cast<int>(wide.size() / 2);
  if (output_length == 0) return finish(units);
  if (units > output_length) return finish(0);
  std::memcpy(output, wide.data(), wide.size());
  return finish(units);
}

int WideCharToMultiByte(uint32_t code_page, uint32_t flags,
                        const char16_t* input, int input_length, char* output,
                        int output_length, const char* default_char,
                        bool* used_default) {
  mutable_log().sequence.emplace_back("WideCharToMultiByte");
  WideCharCall call;
  call.code_page = code_page;
  call.flags = flags;
  call.input_null = input == nullptr;
  call.input_length = input_length;
  call.output_null = output == nullptr;
  call.output_length = output_length;
  call.default_char_null = default_char == nullptr;
  call.used_default_null = used_default == nullptr;
  auto finish = [&](int result) {
    call.result = result;
    mutable_log().wide_char.push_back(call);
    return result;
  };
  const char* to = charset(code_page);
  if (!to || !input || input_length == 0 || input_length < -1 ||
      output_length < 0 || (!output && output_length > 0)) {
    return finish(0);
  }
  // UTF-8 takes no flags and no default character on Windows.
  if (code_page == win::CP_UTF8 && (flags != 0 || default_char || used_default)) {
    return finish(0);
  }
  size_t n = 0;
  if (input_length == -1) {
    while (input[n] != 0) ++n;
    ++n;
  } else {
    n = static_cast<size_t>(input_length);
  }
  call.input.assign(input, input + n);
  std::string narrow;
  bool replaced = false;
  const std::string fallback = default_char ? std::string(1, *default_char) : "?";
  if (!convert("UTF-16LE", to, reinterpret_cast<const char*>(input), 2 * n,
               fallback, 2, false, &narrow, &replaced)) {
    return finish(0);
  }
  if (used_default) *used_default = replaced;
  const int count = static_cast<int>(narrow.size());
  if (output_length == 0) return finish(count);
  if (count > output_length) return finish(0);
  std::memcpy(output, narrow.data(), narrow.size());
  return finish(count);
}

}  // namespace fake
}  // namespace zl
