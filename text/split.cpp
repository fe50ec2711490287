// Splitting at a separator.
#include "text/search.h"
#include "text/text.h"

namespace zl {

using internal::kNpos;
using internal::Matcher;

TextArray text_split(std::string_view t,
                     std::optional<std::string_view> separator,
                     std::optional<int32_t> count) {
  const std::string_view sep = separator.value_or(",");
  // A negative count is taken as 0; omitted means no limit.
  int64_t left = count ? (*count > 0 ? *count : 0) : -1;
  TextArray out;
  if (t.empty() || left == 0) return out;
  if (sep.empty()) {
    out.emplace_back(t);
    return out;
  }
  size_t piece = 0;
  Matcher matcher(t, 0, t.size(), sep, false);
  for (size_t hit = matcher.next(); hit != kNpos; hit = matcher.next()) {
    out.emplace_back(t.substr(piece, hit - piece));
    piece = hit + sep.size();
    matcher.restart(piece);
    if (left > 0 && --left == 0) return out;
  }
  if (piece < t.size()) out.emplace_back(t.substr(piece));
  return out;
}

}  // namespace zl
