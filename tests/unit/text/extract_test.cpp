#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tests/unit/text/test_util.h"
#include "text/extract.h"

namespace zl {
namespace {

using testing::gbk;

TEST(TextBetween, Cases) {
  struct Case {
    const char* name;
    std::string source;
    std::string left;
    std::string right;
    std::optional<int32_t> start;
    bool case_sensitive;
    std::string want;
  };
  const std::nullopt_t none = std::nullopt;
  const Case cases[] = {
      {"first markers", "a[1]b[2]", "[", "]", none, false, "1"},
      {"right marker only before the left", "]x[", "[", "]", none, false, ""},
      {"adjacent markers", "ab", "a", "b", none, false, ""},
      {"left marker ends the source", "xa", "a", "b", none, false, ""},
      {"right search starts after the left marker", "a::b", ":", ":", none, false, ""},
      {"case ignored by default", "ID=7;", "id=", ";", none, false, "7"},
      {"case sensitive", "ID=7;", "id=", ";", none, true, ""},
      {"empty source", "", "a", "b", none, false, ""},
      {"empty right marker", "abc", "a", "", none, false, ""},
      {"empty left marker", "abc;def", "", ";", none, false, "abc"},
      {"start skips a pair of markers", "a[1]b[2]", "[", "]", 3, false, "2"},
      {"start 0 is the first byte", "a[1]b[2]", "[", "]", 0, false, "1"},
      {"start beyond the source", "a[1]", "[", "]", 9, false, ""},
      {"right marker missing", "a[1", "[", "]", none, false, ""},
      {"markers step by characters", "\xB0[x[y]", "[", "]", none, false, "y"},
      {"multi-byte content", "<\xD6\xAA\xC0\xBD>", "<", ">", none, false,
       "\xD6\xAA\xC0\xBD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(text_between(c.source, c.left, c.right, c.start, c.case_sensitive),
              c.want);
  }
}

TEST(TextBetween, QuoteToken) {
  const std::string token = gbk(u8"#引号");
  ASSERT_EQ(token, "#\xD2\xFD\xBA\xC5");
  const std::string page = "<meta title=\"x\" a=\"y\">";
  EXPECT_EQ(text_between(page, "title=" + token, token), "x");
  EXPECT_EQ(text_between(page, "a=" + token, token + ">"), "y");
  // The token stands for a quote only in the markers, not in the source.
  EXPECT_EQ(text_between("k=" + token + "v" + token, "k=" + token, token), "");
  EXPECT_EQ(text_between("k=" + token + "v;", "k=" + token, ";"), "");
}

TEST(HeaderValue, Cases) {
  struct Case {
    std::string line;
    std::string want;
  };
  const Case cases[] = {
      {"Location: /a/b", "/a/b"},
      {"Set-Cookie:  x=1 ", "x=1"},
      {"Host: h:81", "h:81"},
      {"a line without a colon", ""},
      {"Empty:", ""},
      {"", ""},
      {"X:\xA1\xA1v\xA1\xA1", "v"},  // full-width spaces around the value
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(header_value(c.line), c.want);
  }
}

TEST(CookieName, Cases) {
  struct Case {
    std::string item;
    std::string want;
  };
  const Case cases[] = {
      {" sid = 5", "sid"}, {"flag", "flag"}, {"=v", ""},
      {"a=b=c", "a"},      {"", ""},         {" flag ", "flag"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    EXPECT_EQ(cookie_name(c.item), c.want);
  }
}

}  // namespace
}  // namespace zl
