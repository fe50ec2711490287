#include <string>

#include <gtest/gtest.h>

#include "text/text.h"

namespace zl {
namespace {

TEST(Bytes, TextConversions) {
  EXPECT_EQ(bytes_to_text(Bytes{0x41, 0x00, 0x42}), "A");
  EXPECT_EQ(bytes_to_text(Bytes{0xB0, 0xA1}), "\xB0\xA1");
  EXPECT_EQ(bytes_to_text(Bytes{}), "");
  EXPECT_EQ(bytes_to_text(Bytes{0x00, 0x41}), "");
  EXPECT_EQ(text_to_bytes("a\xB0"), (Bytes{'a', 0xB0}));
  EXPECT_TRUE(text_to_bytes("").empty());

  Bytes body{'h', 'i', 0, 'x'};
  EXPECT_EQ(bytes_to_text(std::move(body)), "hi");
  EXPECT_TRUE(body.empty());  // NOLINT(bugprone-use-after-move): released on purpose
}

TEST(Bytes, CutAndBlank) {
  const Bytes b{1, 2, 3};
  EXPECT_TRUE(bytes_left(b, -1).empty());
  EXPECT_TRUE(bytes_left(b, 0).empty());
  EXPECT_EQ(bytes_left(b, 2), (Bytes{1, 2}));
  EXPECT_EQ(bytes_left(b, 9), b);
  EXPECT_EQ(bytes_len(b), 3);
  EXPECT_EQ(blank_bytes(1024), Bytes(1024, 0));
  EXPECT_TRUE(blank_bytes(0).empty());
  EXPECT_TRUE(blank_bytes(-4).empty());
}

TEST(Bytes, ConcatAndAppend) {
  const Bytes a{1, 2};
  const Bytes empty;
  const Bytes c{0, 3};
  EXPECT_EQ(bytes_concat({&a, &empty, nullptr, &c}), (Bytes{1, 2, 0, 3}));
  EXPECT_TRUE(bytes_concat({&empty, &empty}).empty());

  Bytes grown;
  const unsigned char piece[] = {'a', 0, 'b'};
  bytes_append(grown, piece, 3);
  bytes_append(grown, piece, 0);
  bytes_append(grown, nullptr, 5);
  EXPECT_EQ(grown, (Bytes{'a', 0, 'b'}));
  // Appending part of itself must survive the buffer moving.
  for (int i = 0; i < 10; ++i) bytes_append(grown, grown.data(), bytes_len(grown));
  EXPECT_EQ(grown.size(), 3u << 10);
  EXPECT_EQ(grown[3 * 1023 + 2], 'b');
}

}  // namespace
}  // namespace zl
