// The request routine's bounds: time, body size, and handles on every way
// out. The stand-in's clock plays slow servers without waiting.
#include "web/limits.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "platform/native/fake.h"
#include "platform/platform.h"
#include "tests/unit/stand_in_test.h"
#include "web/request.h"

namespace zl {
namespace {

constexpr char kUrl[] = "http://a.example/p";

uint32_t option_value(const fake::SetOptionCall& o) {
  return o.value[0] | o.value[1] << 8 | o.value[2] << 16 | uint32_t{o.value[3]} << 24;
}

class Limits : public testing::StandInTest {
 protected:
  void SetUp() override {
    StandInTest::SetUp();
    fake::set_now(0xFFFFF000u);  // the tick counter wraps during the call
  }
};

TEST_F(Limits, SlowBodyStopsAtTheDeadlineKeepingWhatArrived) {
  fake::Exchange& e = fake::add_exchange();
  e.body.assign(100, 'x');
  e.pieces.assign(100, 1);
  e.read_ms = 1000;  // one byte a second
  const Text body = web_request(kUrl);
  EXPECT_EQ(body, std::string(kCallBudgetMs / 1000, 'x'));
}

TEST_F(Limits, FollowUpsShareOneDeadline) {
  fake::Exchange& e = fake::add_exchange();
  e.headers = "HTTP/1.1 301 Moved Permanently\r\nLocation: http://b.example\r\n\r\n";
  e.send_ms = 7000;  // each answer takes 7 s
  RequestOptions no_redirect;
  no_redirect.no_redirect = 1;
  web_request(kUrl, no_redirect);
  // 0 s, 7, 14, 21, 28: the fifth answer arrives past the deadline.
  EXPECT_EQ(fake::log().requests.size(), 5u);
  // Each exchange's timeouts shrink to what is left, never below the floor.
  const auto& opts = fake::log().options;
  ASSERT_EQ(opts.size(), 15u);
  EXPECT_EQ(option_value(opts[0]), kConnectTimeoutMs);
  EXPECT_EQ(option_value(opts[2]), kSendReceiveTimeoutMs);
  EXPECT_EQ(option_value(opts[12]), kCallBudgetMs - 28000);  // 2 s left
}

TEST_F(Limits, TimeoutsNeverDropToZero) {
  fake::set_now(1000);
  const Deadline d{0, 1000};  // spent
  EXPECT_EQ(remaining_ms(d), 0u);
  apply_timeouts(reinterpret_cast<NetHandle>(1), d);
  ASSERT_EQ(fake::log().options.size(), 3u);
  for (const auto& o : fake::log().options) EXPECT_EQ(option_value(o), kMinTimeoutMs);
  fake::reset();  // the handle above is not the stand-in's
}

TEST_F(Limits, BodyIsKeptToItsLimit) {
  fake::Exchange& e = fake::add_exchange();
  e.body.assign(kMaxBodyBytes + 5000, 'y');
  const Text body = web_request(kUrl);
  EXPECT_EQ(text_len(body), kMaxBodyBytes);
  // Reading stopped there rather than draining the rest.
  EXPECT_EQ(fake::log().reads.size(), static_cast<size_t>(kMaxBodyBytes / 1024));
}

TEST_F(Limits, AnExceptionMidExchangeStillClosesEveryHandle) {
  fake::add_exchange().body.assign(10, 'z');
  sys().InternetReadFile = [](NetHandle, void*, uint32_t, uint32_t*) -> bool {
    throw std::bad_alloc();
  };
  EXPECT_THROW(web_request(kUrl), std::bad_alloc);
  EXPECT_EQ(fake::log().closes.size(), 3u);
}

}  // namespace
}  // namespace zl
