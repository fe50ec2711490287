// Searching: text_find, text_find_last, bytes_find.
#include <algorithm>

#include "text/search.h"
#include "text/text.h"

namespace zl {

using internal::kNpos;
using internal::Matcher;

int32_t text_find(std::string_view t, std::string_view what,
                  std::optional<int32_t> start, bool fold) {
  const size_t len = t.size();
  size_t begin = 0;
  if (start && *start > 1) begin = std::min(static_cast<size_t>(*start) - 1, len);
  if (what.empty()) return begin < len ? 1 : -1;
  Matcher matcher(t, begin, len, what, fold);
  const size_t hit = matcher.next();
  return hit == kNpos ? -1 : static_cast<int32_t>(hit + 1);
}

int32_t text_find_last(std::string_view t, std::string_view what,
                       std::optional<int32_t> start, bool fold) {
  size_t end = t.size();
  if (start) {
    end = *start <= 1 ? 0 : std::min(static_cast<size_t>(*start) - 1, end);
  }
  if (what.empty()) return end > 0 ? 1 : -1;
  // Characters are only known stepping forward from the first byte, so the
  // last match is the last one of a forward scan (linear all the same).
  Matcher matcher(t, 0, end, what, fold);
  size_t last = kNpos;
  for (size_t hit = matcher.next(); hit != kNpos; hit = matcher.next()) {
    last = hit;
  }
  return last == kNpos ? -1 : static_cast<int32_t>(last + 1);
}

int32_t bytes_find(const Bytes& b, const Bytes& what,
                   std::optional<int32_t> start) {
  const size_t len = b.size();
  size_t begin = 0;
  if (start && *start > 1) begin = std::min(static_cast<size_t>(*start) - 1, len);
  if (what.empty()) return -1;
  const std::string_view hay(reinterpret_cast<const char*>(b.data()), len);
  const std::string_view needle(reinterpret_cast<const char*>(what.data()),
                                what.size());
  Matcher matcher(hay, begin, len, needle, false, Matcher::Step::kBytes);
  const size_t hit = matcher.next();
  return hit == kNpos ? -1 : static_cast<int32_t>(hit + 1);
}

}  // namespace zl
