#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tests/unit/text/test_util.h"
#include "text/text.h"

namespace zl {
namespace {

using testing::show;

struct FindCase {
  const char* name;
  std::string t;
  std::string what;
  std::optional<int32_t> start;
  bool fold;
  int32_t want;
};

TEST(TextFind, Cases) {
  const FindCase cases[] = {
      {"empty needle", "abc", "", std::nullopt, false, 1},
      {"empty needle answers 1, not the start", "abc", "", 3, false, 1},
      {"empty needle in empty text", "", "", std::nullopt, false, -1},
      {"empty needle beyond the end", "abc", "", 4, false, -1},
      {"start omitted", "abcabc", "bc", std::nullopt, false, 2},
      {"start 0", "abcabc", "bc", 0, false, 2},
      {"start negative", "abcabc", "bc", -5, false, 2},
      {"start 1", "abcabc", "bc", 1, false, 2},
      {"position counts from the first byte", "abcabc", "bc", 3, false, 5},
      {"start just past the end", "abcabc", "c", 7, false, -1},
      {"needle longer than the region", "abcabc", "bc", 6, false, -1},
      {"needle longer than the text", "ab", "abc", std::nullopt, false, -1},
      // B0 A1 | A1 B0: the A1 A1 in the middle straddles two characters.
      {"no match on a second byte", "\xB0\xA1\xA1\xB0", "\xA1\xA1", std::nullopt, false,
       -1},
      {"a start on a second byte is a character start", "\xB0\xA1\xA1\xB0", "\xA1\xA1", 2,
       false, 2},
      {"match right after a pair", "\xB0" "aa", "a", std::nullopt, false, 3},
      {"dangling lead byte still compared", "a\xB0", "\xB0", std::nullopt, false, 2},
      {"folded header name", "Host: h\r\nuser-agent: x", "User-Agent:", std::nullopt,
       true, 10},
      {"exact header name", "Host: h\r\nuser-agent: x", "User-Agent:", std::nullopt,
       false, -1},
      {"folding reaches second bytes", "\xB0" "A", "\xB0" "a", std::nullopt, true, 1},
      {"folding is A-Z only", "\xC1", "\xE1", std::nullopt, true, -1},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(text_find(c.t, c.what, c.start, c.fold), c.want);
  }
}

TEST(TextFind, LargeInputs) {
  // Every 'a' but the last is the second byte of a pair.
  std::string hidden;
  for (int i = 0; i < 40000; ++i) hidden += "\xB0" "a";
  hidden += "a";
  EXPECT_EQ(text_find(hidden, "A", std::nullopt, true), 80001);
  EXPECT_EQ(text_find(hidden, "a"), 80001);

  // A folded match that crosses the point where the lowered copy is cut.
  std::string page(65533, 'x');
  page += "NeedLE";
  EXPECT_EQ(text_find(page, "needle", std::nullopt, true), 65534);
  EXPECT_EQ(text_find(page, "needle"), -1);
  EXPECT_EQ(text_find(page, "needle", 65535, true), -1);
}

TEST(TextFindLast, Cases) {
  const FindCase cases[] = {
      {"last of two colons", "a:b:c", ":", std::nullopt, false, 4},
      {"overlapping matches count", "aaa", "aa", std::nullopt, false, 2},
      {"start 1 is an empty region", "aaa", "a", 1, false, -1},
      {"start 0 is an empty region", "aaa", "a", 0, false, -1},
      {"match must lie inside the region", "aaa", "aa", 3, false, 1},
      {"start beyond the end is the whole text", "a:b:c", ":", 99, false, 4},
      {"empty needle", "abc", "", std::nullopt, false, 1},
      {"empty needle, empty region", "abc", "", 1, false, -1},
      {"empty needle, empty text", "", "", std::nullopt, false, -1},
      {"steps by characters", "\xB0\xA1x", "\xA1", std::nullopt, false, -1},
      {"folded", "aXbx", "X", std::nullopt, true, 4},
      {"none", "abc", "d", std::nullopt, false, -1},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(text_find_last(c.t, c.what, c.start, c.fold), c.want);
  }
}

TEST(BytesFind, Cases) {
  struct Case {
    const char* name;
    Bytes b;
    Bytes what;
    std::optional<int32_t> start;
    int32_t want;
  };
  const Case cases[] = {
      {"empty needle is never found", {1, 2}, {}, std::nullopt, -1},
      {"any byte offset, second bytes too", {0xB0, 0xA1, 0xA1, 0xB0}, {0xA1, 0xA1},
       std::nullopt, 2},
      {"zero bytes are ordinary", {'a', 0, 'b', 0, 'c'}, {0, 'c'}, std::nullopt, 4},
      {"start", {'a', 'b', 'a', 'b'}, {'a', 'b'}, 2, 3},
      {"start beyond the end", {'a', 'b'}, {'b'}, 3, -1},
      {"empty bytes", {}, {'a'}, std::nullopt, -1},
      {"partial match at the end", {'a', 'b', 'a'}, {'a', 'b', 'c'}, std::nullopt, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(bytes_find(c.b, c.what, c.start), c.want);
  }
}

}  // namespace
}  // namespace zl
