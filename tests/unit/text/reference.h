// A second, deliberately plain implementation of the text primitives that
// the production code optimises: byte at a time, step for step as the
// toolkit's rules read, with no search engine shared with production. The
// differential tests and the fuzzers compare production against it.
//
// Self-contained: it uses only the types of text/text.h, not its functions.
#ifndef ZHILAN_TESTS_UNIT_TEXT_REFERENCE_H_
#define ZHILAN_TESTS_UNIT_TEXT_REFERENCE_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "text/text.h"

namespace zl::ref {

int32_t text_find(std::string_view t, std::string_view what,
                  std::optional<int32_t> start = std::nullopt,
                  bool fold = false);
int32_t text_find_last(std::string_view t, std::string_view what,
                       std::optional<int32_t> start = std::nullopt,
                       bool fold = false);
Text text_left(std::string_view t, int32_t n);
Text text_right(std::string_view t, int32_t n);
Text text_mid(std::string_view t, int32_t start, int32_t n);
Text text_replace(std::string_view t, std::string_view what,
                  std::optional<std::string_view> with = std::nullopt,
                  std::optional<int32_t> start = std::nullopt,
                  std::optional<int32_t> count = std::nullopt,
                  bool case_sensitive = false);
TextArray text_split(std::string_view t,
                     std::optional<std::string_view> separator = std::nullopt,
                     std::optional<int32_t> count = std::nullopt);
Text text_trim(std::string_view t);
Text text_strip_spaces(std::string_view t);
Text text_lower(std::string_view t);
int32_t text_to_int(std::string_view t);
int32_t bytes_find(const Bytes& b, const Bytes& what,
                   std::optional<int32_t> start = std::nullopt);
Text bytes_to_text(const Bytes& b);
Text text_between(std::string_view source, std::string_view left,
                  std::string_view right,
                  std::optional<int32_t> start = std::nullopt,
                  bool case_sensitive = false);
Text header_value(std::string_view line);
Text cookie_name(std::string_view item);

}  // namespace zl::ref

#endif  // ZHILAN_TESTS_UNIT_TEXT_REFERENCE_H_
