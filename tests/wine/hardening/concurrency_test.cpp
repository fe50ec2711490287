// The three exports called from three threads at once, as a host with one
// worker per kind of event might. Each export never overlaps itself (its
// slot is its own); different exports must not disturb each other. Runs
// against the servers of with_servers.py, which echo what was asked.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "host/plugin_api.h"

namespace {

constexpr int kCalls = 1000;

std::string gbk(const char* utf8) {
  return zl::host::wide_to_gbk(zl::host::utf8_to_wide(utf8));
}

TEST(Concurrency, ThreeExportsFromThreeThreads) {
  zl::host::Plugin plugin;
  std::string error;
  ASSERT_TRUE(zl::host::load_plugin(zl::host::utf8_to_wide(ZHILAN_DLL_PATH), plugin, error))
      << error;
  const std::string description = zl::host::call_info(plugin).text;
  const std::string found = gbk("[name]百科结果为\r\n");

  std::atomic<int> wrong{0}, bad_stack{0};
  std::thread info([&] {
    for (int i = 0; i < kCalls; ++i) {
      const auto r = zl::host::call_info(plugin);
      if (!r.stack_ok) ++bad_stack;
      if (r.text == nullptr || description != r.text) ++wrong;
    }
  });
  std::thread lookup([&] {
    for (int i = 0; i < kCalls; ++i) {
      const std::string kw = "kw" + std::to_string(i);
      const auto r = zl::host::call_lookup(plugin, kw.c_str());
      if (!r.stack_ok) ++bad_stack;
      if (r.text == nullptr || found + kw != r.text) ++wrong;
    }
  });
  std::thread nickname([&] {
    for (int i = 0; i < kCalls; ++i) {
      const std::string number = std::to_string(10000 + i);
      const auto r = zl::host::call_nickname(plugin, number.c_str());
      if (!r.stack_ok) ++bad_stack;
      if (r.text == nullptr || "n" + number != r.text) ++wrong;
    }
  });
  info.join();
  lookup.join();
  nickname.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(bad_stack.load(), 0);
  zl::host::unload_plugin(plugin);
}

}  // namespace
