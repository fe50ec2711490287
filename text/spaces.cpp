// Trimming and removing spaces: 0x20 and the full-width space A1 A1.
#include "text/text.h"

namespace zl {
namespace {

// Width of the space character at i (1 or 2), or 0 when none starts there.
size_t space_at(std::string_view t, size_t i) {
  const unsigned char c = static_cast<unsigned char>(t[i]);
  if (c == 0x20) return 1;
  if (c == 0xA1 && i + 1 < t.size() &&
      static_cast<unsigned char>(t[i + 1]) == 0xA1) {
    return 2;
  }
  return 0;
}

}  // namespace

Text text_trim(std::string_view t) {
  const size_t len = t.size();
  size_t begin = 0;
  while (begin < len) {
    const size_t w = space_at(t, begin);
    if (w == 0) break;
    begin += w;
  }
  // The trailing run can only be found walking forward: going backward, a
  // byte cannot tell whether it is the second half of a pair.
  size_t run = len;  // start of the current run of spaces, len when none
  size_t i = begin;
  while (i < len) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    if (c >= 0x80 && i + 1 == len) {
      // A dangling lead byte goes; what is in front of it stays.
      return Text(t.substr(begin, i - begin));
    }
    const size_t w = space_at(t, i);
    if (w != 0) {
      if (run == len) run = i;
      i += w;
    } else {
      run = len;
      i += c >= 0x80 ? 2 : 1;
    }
  }
  return Text(t.substr(begin, run - begin));
}

Text text_strip_spaces(std::string_view t) {
  const size_t len = t.size();
  Text out;
  out.reserve(len);
  size_t kept = 0;  // start of the bytes not yet copied
  size_t i = 0;
  while (i < len) {
    const unsigned char c = static_cast<unsigned char>(t[i]);
    if (c >= 0x80 && i + 1 == len) {
      out.append(t, kept, i - kept);
      return out;
    }
    const size_t w = space_at(t, i);
    if (w != 0) {
      out.append(t, kept, i - kept);
      i += w;
      kept = i;
    } else {
      i += c >= 0x80 ? 2 : 1;
    }
  }
  out.append(t, kept, len - kept);
  return out;
}

}  // namespace zl
