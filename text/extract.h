// Marker-based extraction: cutting one value out of a larger Text.
#ifndef ZHILAN_TEXT_EXTRACT_H_
#define ZHILAN_TEXT_EXTRACT_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "text/text.h"

namespace zl {

// The bytes between the first `left` marker at or after `start` and the
// first `right` marker that begins after it; empty when either is missing or
// they are adjacent.
//   In both markers every "#引号" (GBK 23 D2 FD BA C5) stands for one '"'.
//   start is handed to text_find unchanged (omitted, 0, 1 or negative: the
//   first byte). case_sensitive false (the default) folds A-Z in both
//   searches. An empty right marker always gives the empty text; an empty
//   left marker matches at 1.
Text text_between(std::string_view source, std::string_view left,
                  std::string_view right,
                  std::optional<int32_t> start = std::nullopt,
                  bool case_sensitive = false);

// The trimmed bytes after the first ':' of `line`; empty without a ':'.
Text header_value(std::string_view line);

// The trimmed bytes before the first '=' of `item`; the whole item, trimmed,
// without an '='.
Text cookie_name(std::string_view item);

}  // namespace zl

#endif  // ZHILAN_TEXT_EXTRACT_H_
