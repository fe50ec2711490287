// Replacing occurrences.
#include "text/search.h"
#include "text/text.h"

namespace zl {

using internal::kNpos;
using internal::Matcher;

Text text_replace(std::string_view t, std::string_view what,
                  std::optional<std::string_view> with,
                  std::optional<int32_t> start, std::optional<int32_t> count,
                  bool case_sensitive) {
  const size_t len = t.size();
  const size_t m = what.size();
  const size_t skip =
      (start && *start > 1) ? static_cast<size_t>(*start) - 1 : 0;
  if (len == 0 || m == 0 || skip >= len || (count && *count == 0)) {
    return Text(t);
  }
  const std::string_view replacement = with.value_or(std::string_view());
  // A negative count means no limit, like an omitted one.
  int64_t left = (count && *count > 0) ? *count : -1;

  Text out;
  out.reserve(len);
  size_t copied = skip;  // t[0, copied) is in the output
  out.append(t, 0, skip);
  Matcher matcher(t, skip, len, what, !case_sensitive);
  for (;;) {
    if (left == 0) {
      out.append(t, copied, len - copied);
      return out;
    }
    const size_t hit = matcher.next();
    if (hit == kNpos) break;
    out.append(t, copied, hit - copied);
    out.append(replacement);
    copied = hit + m;
    matcher.restart(copied);
    if (left > 0) --left;
  }
  // The scan steps onto the last byte only when `what` is one byte long; a
  // dangling lead byte it reaches there (unmatched) is dropped.
  if (m == 1 && copied < len && static_cast<unsigned char>(t[len - 1]) >= 0x80) {
    size_t i = copied;
    while (i + 1 < len) {
      i += static_cast<unsigned char>(t[i]) >= 0x80 ? 2 : 1;
    }
    if (i == len - 1) {
      out.append(t, copied, len - 1 - copied);
      return out;
    }
  }
  out.append(t, copied, len - copied);
  return out;
}

}  // namespace zl
