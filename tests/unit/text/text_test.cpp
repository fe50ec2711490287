// Cutting, comparing, joining, lowering, spaces and numbers.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "tests/unit/text/test_util.h"
#include "text/text.h"

namespace zl {
namespace {

using testing::gbk;

TEST(TextCut, LeftRightMid) {
  // B0 A1 is one character: a cut by bytes may split it.
  const std::string t = "\xB0\xA1" "abc";
  struct Case {
    const char* name;
    Text got;
    Text want;
  };
  const Case cases[] = {
      {"left 0", text_left(t, 0), ""},
      {"left negative", text_left(t, -3), ""},
      {"left splits a pair", text_left(t, 1), "\xB0"},
      {"left beyond the length", text_left(t, 99), t},
      {"right 0", text_right(t, 0), ""},
      {"right negative", text_right(t, -1), ""},
      {"right", text_right(t, 2), "bc"},
      {"right beyond the length", text_right(t, 99), t},
      {"mid start 0 is empty", text_mid(t, 0, 3), ""},
      {"mid start negative", text_mid(t, -2, 5), ""},
      {"mid from the second byte of a pair", text_mid(t, 2, 2), "\xA1" "a"},
      {"mid start at the length", text_mid(t, 5, 3), "c"},
      {"mid start past the length", text_mid(t, 6, 1), ""},
      {"mid n 0", text_mid(t, 1, 0), ""},
      {"mid stops at the end", text_mid(t, 4, 10), "bc"},
      {"mid extreme arguments", text_mid(t, INT32_MIN, INT32_MAX), ""},
      {"mid extreme length", text_mid(t, 3, INT32_MAX), "abc"},
      {"empty text", text_mid("", 1, 1), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got, c.want);
  }
}

TEST(TextCompare, Order) {
  struct Case {
    std::string a;
    std::string b;
    int want;
  };
  const Case cases[] = {
      {"", "", 0},       {"abc", "abc", 0}, {"a", "", 1},      {"", "a", -1},
      {"ab", "abc", -1}, {"abd", "abc", 1}, {"\xB0", "A", 1},  {"A", "\xB0", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " vs " + c.b);
    EXPECT_EQ(text_compare(c.a, c.b), c.want);
  }
}

TEST(TextConcat, JoinsInOrder) {
  EXPECT_EQ(text_concat({"a", "", "bc", std::string_view()}), "abc");
  EXPECT_EQ(text_concat({"", ""}), "");
  EXPECT_EQ(text_len(text_concat({"\xB0\xA1", "x"})), 3);
}

TEST(BlankText, Sizes) {
  EXPECT_EQ(blank_text(5000), std::string(5000, ' '));
  EXPECT_EQ(blank_text(0), "");
  EXPECT_EQ(blank_text(-1), "");
}

TEST(TextLower, Cases) {
  struct Case {
    const char* name;
    std::string t;
    std::string want;
  };
  const Case cases[] = {
      {"ASCII", "AbC-Z@[", "abc-z@["},
      {"second byte in A-Z kept", "\xB0" "A", "\xB0" "A"},
      {"after a pair", "\xB0" "AB", "\xB0" "Ab"},
      {"dangling lead byte copied", "A\xB0", "a\xB0"},
      {"high bytes untouched", "\xC1\xDA", "\xC1\xDA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(text_lower(c.t), c.want);
  }
}

TEST(TextSpaces, FullWidthSpaceBytes) {
  EXPECT_EQ(gbk(u8"\u3000"), "\xA1\xA1");  // ideographic space
}

TEST(TextSpaces, Trim) {
  struct Case {
    const char* name;
    std::string t;
    std::string want;
  };
  const Case cases[] = {
      {"both ends", "  a b  ", "a b"},
      {"full-width spaces", "\xA1\xA1" "a\xA1\xA1 ", "a"},
      {"tab, CR and LF stay", "\ta\r\n", "\ta\r\n"},
      {"only spaces", " \xA1\xA1 ", ""},
      {"empty", "", ""},
      {"dangling lead byte removed, spaces before it stay", "a  \xB0", "a  "},
      {"only a dangling lead byte", "\xA1", ""},
      // B0 A1 | A1 B0: no full-width space although A1 A1 occurs.
      {"A1 A1 across characters is no space", "\xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0"},
      {"pair ending in A1 before a space", "\xB0\xA1 ", "\xB0\xA1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(text_trim(c.t), c.want);
  }
}

TEST(TextSpaces, Strip) {
  struct Case {
    const char* name;
    std::string t;
    std::string want;
  };
  const Case cases[] = {
      {"all kinds", " a b\xA1\xA1" "c\t\r\n ", "abc\t\r\n"},
      {"dangling lead byte dropped", "a \xB0", "a"},
      {"A1 A1 across characters is no space", "\xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0"},
      {"nothing to strip", "abc", "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(text_strip_spaces(c.t), c.want);
  }
}

TEST(TextToInt, Cases) {
  struct Case {
    const char* name;
    std::string t;
    int32_t want;
  };
  const Case cases[] = {
      {"plain", "8080", 8080},
      {"leading white space and sign", " \t\n\v\f\r-17x", -17},
      {"plus sign", "+5", 5},
      {"stops at a slash", "81/x", 81},
      {"empty", "", 0},
      {"no digits", "abc", 0},
      {"no other bases", "0x50", 0},
      {"sign then space", "- 5", 0},
      {"two signs", "--5", 0},
      {"full-width digits", "\xA3\xB1\xA3\xB2", 12},       // "１２"
      {"full-width minus", "\xA3\xAD" "5", -5},            // "－5"
      {"full-width space skipped", "\xA1\xA1" "7", 7},    // "　7"
      {"other pair stops", "\xB0" "12", 0},
      {"wraps modulo 2^32", "4294967297", 1},
      {"wraps into the sign bit", "2147483648", INT32_MIN},
      {"most negative", "-2147483648", INT32_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(text_to_int(c.t), c.want);
  }
  EXPECT_EQ(gbk(u8"１２－"), "\xA3\xB1\xA3\xB2\xA3\xAD");
}

}  // namespace
}  // namespace zl
