// text_replace and text_split.
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tests/unit/text/test_util.h"
#include "text/text.h"

namespace zl {
namespace {

using testing::gbk;

TEST(TextReplace, QuoteTokenInMarkers) {
  const std::string token = gbk(u8"#引号");
  ASSERT_EQ(token, "#\xD2\xFD\xBA\xC5");
  EXPECT_EQ(text_replace("title=" + token + "x" + token, token, std::string_view("\""),
                         std::nullopt, std::nullopt, true),
            "title=\"x\"");
}

TEST(TextReplace, Cases) {
  struct Case {
    const char* name;
    std::string t;
    std::string what;
    std::optional<std::string_view> with;
    std::optional<int32_t> start;
    std::optional<int32_t> count;
    bool case_sensitive;
    std::string want;
  };
  const std::nullopt_t none = std::nullopt;
  const Case cases[] = {
      {"every occurrence", "a-b-c", "-", "+", none, none, true, "a+b+c"},
      {"with omitted deletes", "a-b-c", "-", none, none, none, true, "abc"},
      {"empty needle", "abc", "", "x", none, none, true, "abc"},
      {"empty text", "", "a", "x", none, none, true, ""},
      {"bytes before start are kept", "aXaXa", "a", "b", 2, none, true, "aXbXb"},
      {"start at or past the end", "aXa", "a", "b", 4, none, true, "aXa"},
      {"count limits", "aaa", "a", "b", none, 2, true, "bba"},
      {"count 0 replaces nothing", "aaa", "a", "b", none, 0, true, "aaa"},
      {"negative count is no limit", "aaa", "a", "b", none, -1, true, "bbb"},
      {"folded by default", "aA", "a", "b", none, none, false, "bb"},
      {"case sensitive", "aA", "a", "b", none, none, true, "bA"},
      {"matches do not overlap", "aaa", "aa", "b", none, none, true, "ba"},
      {"output is not scanned again", "aab", "ab", "b", none, none, true, "ab"},
      {"second bytes are not matched", "\xB0" "aa", "a", "b", none, none, true,
       "\xB0" "ab"},
      {"start on a second byte", "\xB0" "aa", "a", "b", 2, none, true, "\xB0" "bb"},
      {"dangling lead byte reached by the scan is dropped", "x\xB0", "y", "z", none,
       none, true, "x"},
      {"dangling lead byte after the scan stays", "x\xB0", "yz", "w", none, none, true,
       "x\xB0"},
      {"dangling lead byte kept once the count is used", "ax\xB0", "a", "b", none, 1,
       true, "bx\xB0"},
      {"dangling lead byte itself replaced", "x\xB0", "\xB0", "y", none, none, true,
       "xy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(text_replace(c.t, c.what, c.with, c.start, c.count, c.case_sensitive),
              c.want);
  }
}

TEST(TextSplit, Cases) {
  struct Case {
    const char* name;
    std::string t;
    std::optional<std::string_view> sep;
    std::optional<int32_t> count;
    TextArray want;
  };
  const std::nullopt_t none = std::nullopt;
  const Case cases[] = {
      {"empty text", "", none, none, {}},
      {"no separator in the text", "abc", none, none, {"abc"}},
      {"adjacent separators", "a,,b", none, none, {"a", "", "b"}},
      {"leading separator", ",a", none, none, {"", "a"}},
      {"trailing separator", "a,", none, none, {"a"}},
      {"lone separator", ",", none, none, {""}},
      {"header block ending in an empty line", "A: 1\r\nB: 2\r\n\r\n", "\r\n", none,
       {"A: 1", "B: 2", ""}},
      {"explicitly empty separator", "a,b", "", none, {"a,b"}},
      {"empty separator, empty text", "", "", none, {}},
      {"count stops the scan, rest dropped", "a,b,c", none, 2, {"a", "b"}},
      {"count above the pieces", "a,b", none, 5, {"a", "b"}},
      {"count 0", "a,b", none, 0, {}},
      {"negative count is 0", "a,b", none, -1, {}},
      {"exact comparison", "aXbxc", "x", none, {"aXb", "c"}},
      {"separator inside a pair is not one", "\xB0,a,b", none, none, {"\xB0,a", "b"}},
      {"dangling lead byte stays in the last piece", "a,\xB0", none, none,
       {"a", "\xB0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(text_split(c.t, c.sep, c.count), c.want);
  }
}

}  // namespace
}  // namespace zl
