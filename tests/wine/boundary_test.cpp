// The plug-in as the host sees it: the real DLL, loaded by path and called
// through its GBK export names with the host's calling conventions.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/plugin_api.h"

namespace {

using zl::host::call_info;
using zl::host::call_lookup;
using zl::host::call_nickname;
using zl::host::Plugin;

// UTF-8 in the source, GBK through the platform's own code page 936: proves
// the plug-in's literals are the GBK bytes of these characters.
std::string gbk(const char* utf8) {
  return zl::host::wide_to_gbk(zl::host::utf8_to_wide(utf8));
}

std::wstring dll_path() { return zl::host::utf8_to_wide(ZHILAN_DLL_PATH); }

class Boundary : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(zl::host::load_plugin(dll_path(), plugin_, error)) << error;
  }
  void TearDown() override { zl::host::unload_plugin(plugin_); }
  Plugin plugin_;
};

TEST_F(Boundary, DescriptionTextIsTheTenLines) {
  const std::string expected =
      gbk("知澜\r\n1.0\r\n苇舟\r\n#百科+内容\r\n#百科\r\n 内容\r\n\r\n"
          "知澜\r\n1\r\n假\r\n");
  const auto r = call_info(plugin_);
  ASSERT_NE(r.text, nullptr);
  EXPECT_EQ(std::string(r.text), expected);
  EXPECT_EQ(std::string(r.text).substr(0, 4), "\xd6\xaa\xc0\xbd");
}

TEST_F(Boundary, EachCallMovesTheStackAsItsConventionPromises) {
  const auto info = call_info(plugin_);
  EXPECT_EQ(info.stack_change, 0);
  const auto lookup = call_lookup(plugin_, "x");
  EXPECT_EQ(lookup.stack_change, 20);
  const auto nickname = call_nickname(plugin_, "10000");
  EXPECT_EQ(nickname.stack_change, 4);
}

TEST_F(Boundary, TwoInfoCallsGiveFreshPointersToEqualTexts) {
  const auto first = call_info(plugin_);
  const std::string first_text = first.text;
  const auto second = call_info(plugin_);
  EXPECT_NE(first.text, second.text);
  EXPECT_EQ(first_text, std::string(second.text));
}

TEST_F(Boundary, ACallLeavesTheOtherExportsResultsAlone) {
  const auto info = call_info(plugin_);
  const std::string info_text = info.text;
  const auto nickname = call_nickname(plugin_, "10000");
  ASSERT_NE(nickname.text, nullptr);
  const std::string nickname_text = nickname.text;

  call_lookup(plugin_, "x");
  EXPECT_EQ(std::string(info.text), info_text);
  EXPECT_EQ(std::string(nickname.text), nickname_text);

  const auto lookup = call_lookup(plugin_, "y");
  const std::string lookup_text = lookup.text;
  call_info(plugin_);
  call_nickname(plugin_, "10001");
  EXPECT_EQ(std::string(lookup.text), lookup_text);
}

TEST_F(Boundary, NullArgumentsReadAsTheEmptyText) {
  const std::string with_empty = call_lookup(plugin_, "").text;
  const auto with_null = call_lookup(plugin_, nullptr);
  ASSERT_NE(with_null.text, nullptr);
  EXPECT_EQ(std::string(with_null.text), with_empty);
  EXPECT_EQ(with_empty, gbk("[name]没有找到此内容\"\""));

  const auto nick_empty = call_nickname(plugin_, "");
  const std::string nick_empty_text = nick_empty.text ? nick_empty.text : "(null)";
  const auto nick_null = call_nickname(plugin_, nullptr);
  EXPECT_EQ(std::string(nick_null.text ? nick_null.text : "(null)"), nick_empty_text);
}

TEST_F(Boundary, OnlyTheKeywordIsRead) {
  const std::string alone = call_lookup(plugin_, "kw").text;
  const auto with_others = call_lookup(plugin_, "kw", "a", "bb", "", "ccc");
  EXPECT_EQ(std::string(with_others.text), alone);
}

TEST_F(Boundary, APreviousResultCanBePassedBackIn) {
  const auto first = call_lookup(plugin_, "kw");
  const std::string first_text = first.text;
  const auto second = call_lookup(plugin_, first.text);
  EXPECT_EQ(std::string(second.text),
            gbk("[name]没有找到此内容\"") + first_text + "\"");

  const auto nick = call_nickname(plugin_, "10000");
  ASSERT_NE(nick.text, nullptr);
  const auto again = call_nickname(plugin_, nick.text);
  EXPECT_NE(again.text, nullptr);
}

TEST(Lifecycle, UnloadWithEmptySlotsAndAfterCalls) {
  for (int calls = 0; calls <= 1; ++calls) {
    SCOPED_TRACE(calls ? "after calls" : "no calls");
    Plugin plugin;
    std::string error;
    ASSERT_TRUE(zl::host::load_plugin(dll_path(), plugin, error)) << error;
    if (calls) {
      call_info(plugin);
      call_lookup(plugin, "x");
      call_nickname(plugin, "1");
    }
    EXPECT_TRUE(FreeLibrary(plugin.module));
    EXPECT_EQ(GetModuleHandleW(dll_path().c_str()), nullptr);
  }
}

}  // namespace
