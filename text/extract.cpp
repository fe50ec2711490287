// Cutting one value out of a larger text.
#include "text/extract.h"

namespace zl {
namespace {

// "#引号" in GBK: a marker spells a double quote this way.
constexpr std::string_view kQuoteToken = "#\xD2\xFD\xBA\xC5";

Text unquote_marker(std::string_view marker) {
  return text_replace(marker, kQuoteToken, std::string_view("\""), std::nullopt,
                      std::nullopt, true);
}

}  // namespace

Text text_between(std::string_view source, std::string_view left,
                  std::string_view right, std::optional<int32_t> start,
                  bool case_sensitive) {
  const Text l = unquote_marker(left);
  const Text r = unquote_marker(right);
  const bool fold = !case_sensitive;
  int32_t p = text_find(source, l, start, fold);
  if (p == -1) return Text();
  p += text_len(l);
  const int32_t q = text_find(source, r, p, fold);
  if (q == -1) return Text();
  return text_mid(source, p, q - p);
}

Text header_value(std::string_view line) {
  const int32_t p = text_find(line, ":");
  if (p == -1) return Text();
  return text_trim(line.substr(static_cast<size_t>(p)));
}

Text cookie_name(std::string_view item) {
  const int32_t p = text_find(item, "=");
  if (p == -1) return text_trim(item);
  return text_trim(item.substr(0, static_cast<size_t>(p) - 1));
}

}  // namespace zl
