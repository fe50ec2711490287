#include "web/cookies.h"

#include <unordered_set>

#include "text/extract.h"

namespace zl {
namespace {

constexpr std::string_view kDeleted = "=deleted";
constexpr std::string_view kJoin = "; ";

}  // namespace

Text merge_cookies(Text& cookies, Text& received) {
  cookies = text_strip_spaces(cookies);
  received = text_strip_spaces(received);

  const TextArray old = text_split(cookies, std::string_view(";"));
  TextArray merged = text_split(received, std::string_view(";"));
  // The names already in `merged`, kept in a set so that a long cookie
  // string is not compared item against item.
  std::unordered_set<Text> names;
  for (const Text& item : merged) names.insert(cookie_name(item));
  for (const Text& item : old) {
    if (names.insert(cookie_name(item)).second) merged.push_back(item);
  }

  Text joined;
  for (const Text& item : merged) {
    if (text_right(item, 8) == kDeleted) continue;
    joined.append(item);
    joined.append(kJoin);
  }
  joined = text_left(joined, text_len(joined) - 2);
  cookies = dedupe_items(joined, kJoin);
  return cookies;
}

bool has_cookie_name(const TextArray& items, std::string_view name) {
  for (const Text& item : items) {
    if (cookie_name(item) == name) return true;
  }
  return false;
}

Text dedupe_items(std::string_view text, std::string_view separator) {
  const TextArray parts = text_split(text, separator);
  std::unordered_set<std::string_view> seen;
  Text acc;
  acc.reserve(text.size() + separator.size());
  for (const Text& part : parts) {
    if (!seen.insert(part).second) continue;
    acc.append(part);
    acc.append(separator);
  }
  return text_left(acc, text_len(acc) - text_len(separator));
}

int32_t item_index(const TextArray& items, std::string_view item) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (text_compare(items[i], item) == 0) return static_cast<int32_t>(i + 1);
  }
  return -1;
}

}  // namespace zl
