// Cookie strings: items "name=value" joined by "; ".
#ifndef ZHILAN_WEB_COOKIES_H_
#define ZHILAN_WEB_COOKIES_H_

#include <cstdint>
#include <string_view>

#include "text/text.h"

namespace zl {

// Folds `received` into `cookies`; returns a copy of the new `cookies`.
//   Both variables first lose every space (also inside values) and are
//   written back at once, so `received` ends as its items joined by ';'.
//   Result order: received items as received, then old items whose name
//   (cookie_name) is not yet present, the first old item of a name winning.
//   Items ending in "=deleted" are dropped (and, when received, keep old
//   items of that name out). Exact duplicate items are removed; the output
//   joins items with "; " and has no trailing separator.
Text merge_cookies(Text& cookies, Text& received);

// True when some item's cookie_name equals `name` byte for byte.
bool has_cookie_name(const TextArray& items, std::string_view name);

// `text` split at `separator` with later exact copies of an item removed,
// rejoined with `separator`.
Text dedupe_items(std::string_view text, std::string_view separator);

// 1-based index of the first item equal to `item`, or -1.
int32_t item_index(const TextArray& items, std::string_view item);

}  // namespace zl

#endif  // ZHILAN_WEB_COOKIES_H_
