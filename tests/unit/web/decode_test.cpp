// UTF-8 to UTF-16 / GBK through the code-page calls of the platform seam.
#include "web/decode.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/native/fake.h"
#include "platform/platform.h"

namespace zl {
namespace {

Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

class DecodeTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }
  ScopedSys restore_;
};

TEST_F(DecodeTest, ConvertsThroughUtf16ToGbk) {
  struct Case {
    const char* name;
    std::string utf8, utf16, gbk;
  };
  const Case cases[] = {
      {"empty", "", "", ""},
      {"ascii", "Hi!", std::string("H\0i\0!\0", 6), "Hi!"},
      {"ideograph U+4E2D", "\xE4\xB8\xAD", "\x2D\x4E", "\xD6\xD0"},
      // The zero byte is data: what follows it is converted as well.
      {"embedded zero", std::string("a\0\xE4\xB8\xAD", 5),
       std::string("a\0\0\0\x2D\x4E", 6), std::string("a\0\xD6\xD0", 4)},
      // Ill-formed input is converted, not refused (no strict flag).
      {"ill-formed byte", "a\xFF" "b", std::string("a\0\xFD\xFF" "b\0", 6),
       "a?b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(utf8_to_utf16(bytes(c.utf8)), bytes(c.utf16));
    EXPECT_EQ(utf8_to_gbk(bytes(c.utf8)), bytes(c.gbk));
  }
}

TEST_F(DecodeTest, AsksForTheSizeThenConvertsIntoExactlyThatMuch) {
  const Bytes input = bytes("\xE4\xB8\xAD" "x");
  EXPECT_EQ(utf8_to_gbk(input), bytes("\xD6\xD0" "x"));

  const fake::Log& log = fake::log();
  EXPECT_EQ(log.sequence,
            (std::vector<std::string>{"MultiByteToWideChar",
                                      "MultiByteToWideChar",
                                      "WideCharToMultiByte",
                                      "WideCharToMultiByte"}));
  ASSERT_EQ(log.multi_byte.size(), 2u);
  for (const fake::MultiByteCall& c : log.multi_byte) {
    EXPECT_EQ(c.code_page, 65001u);
    EXPECT_EQ(c.flags, 0u);
    EXPECT_EQ(c.input, input);
    EXPECT_EQ(c.input_length, 4);
  }
  EXPECT_TRUE(log.multi_byte[0].output_null);
  EXPECT_EQ(log.multi_byte[0].output_length, 0);
  EXPECT_EQ(log.multi_byte[0].result, 2);
  EXPECT_FALSE(log.multi_byte[1].output_null);
  EXPECT_EQ(log.multi_byte[1].output_length, 2);

  ASSERT_EQ(log.wide_char.size(), 2u);
  for (const fake::WideCharCall& c : log.wide_char) {
    EXPECT_EQ(c.code_page, 936u);
    EXPECT_EQ(c.flags, 0x200u);
    EXPECT_EQ(c.input, u"\u4E2Dx");
    EXPECT_EQ(c.input_length, 2);
    EXPECT_TRUE(c.default_char_null);
    EXPECT_TRUE(c.used_default_null);
  }
  EXPECT_TRUE(log.wide_char[0].output_null);
  EXPECT_EQ(log.wide_char[0].output_length, 0);
  EXPECT_EQ(log.wide_char[0].result, 3);
  EXPECT_FALSE(log.wide_char[1].output_null);
  EXPECT_EQ(log.wide_char[1].output_length, 3);
}

// The output is the zero-filled buffer of the reported size as the
// conversion left it; its return value is not what sizes the result.
TEST_F(DecodeTest, ResultHasTheQueriedSize) {
  sys().WideCharToMultiByte = [](uint32_t, uint32_t, const char16_t*, int,
                                 char* out, int out_len, const char*,
                                 bool*) -> int {
    if (out_len == 0) return 4;
    out[0] = 'x';
    return 0;
  };
  EXPECT_EQ(utf8_to_gbk(bytes("ab")), bytes(std::string("x\0\0\0", 4)));
}

}  // namespace
}  // namespace zl
