// The result-slot discipline, with the exports called directly.
#include <gtest/gtest.h>

#include <string>

#include "plugin/exports.h"
#include "plugin/slots.h"

namespace {

class Slots : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(zl::on_load()); }
  void TearDown() override { zl::run_release_hook(); }
};

TEST_F(Slots, StartEmptyAndAreReleasedByTheHookOnce) {
  EXPECT_EQ(zl::info_result.text, nullptr);
  EXPECT_EQ(zl::lookup_result.text, nullptr);
  EXPECT_EQ(zl::nickname_result.text, nullptr);
  const char* info = zhilan_info();
  EXPECT_EQ(zl::info_result.text, info);
  zhilan_lookup("x", nullptr, nullptr, nullptr, nullptr);
  zhilan_nickname("1");
  zl::run_release_hook();
  EXPECT_EQ(zl::info_result.text, nullptr);
  EXPECT_EQ(zl::lookup_result.text, nullptr);
  EXPECT_EQ(zl::nickname_result.text, nullptr);
  zl::run_release_hook();  // a second detach finds no hook
}

TEST_F(Slots, EachExportReplacesOnlyItsOwnSlot) {
  const char* info = zhilan_info();
  const std::string info_text = info;
  const char* nick = zhilan_nickname("1");
  const char* lookup = zhilan_lookup("x", nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(zl::info_result.text, info);
  EXPECT_EQ(zl::nickname_result.text, nick);
  EXPECT_EQ(zl::lookup_result.text, lookup);
  EXPECT_EQ(std::string(info), info_text);

  const char* info2 = zhilan_info();
  EXPECT_EQ(zl::info_result.text, info2);
  EXPECT_EQ(zl::lookup_result.text, lookup);
  EXPECT_EQ(zl::nickname_result.text, nick);
}

TEST_F(Slots, APreviousResultPassedBackInIsCopiedFirst) {
  const char* first = zhilan_lookup("kw", nullptr, nullptr, nullptr, nullptr);
  const std::string first_text = first;
  // The argument is the slot's own text, released during this very call.
  const char* second = zhilan_lookup(first, first, first, first, first);
  const std::string lead =
      "[name]\xc3\xbb\xd3\xd0\xd5\xd2\xb5\xbd\xb4\xcb\xc4\xda\xc8\xdd\"";
  EXPECT_EQ(std::string(second), lead + first_text + "\"");
}

}  // namespace
