// The nickname lookup and its plain GET, through the platform stand-in.
#include "lookup/nickname.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/native/fake.h"
#include "tests/unit/stand_in_test.h"
#include "platform/platform.h"
#include "tests/unit/text/test_util.h"

namespace {

using zl::testing::gbk;

class Nickname : public zl::testing::StandInTest {
 protected:
  static zl::fake::Exchange& serve(const std::string& body) {
    auto& e = zl::fake::add_exchange();
    e.body.assign(body.begin(), body.end());
    return e;
  }
};

TEST_F(Nickname, FieldByAnswer) {
  auto cb = [](const std::string& field) {
    return "portraitCallBack({\"10000\":[\"http://q/1\",0,0,0,0,0,\"" + field + "\",0]})";
  };
  struct Case {
    const char* label;
    std::string answer;
    std::string text;
    bool as_null;
  } cases[] = {
      {"five letters", cb("abcde"), "abcde", false},
      {"23 bytes", cb(std::string(23, 'x')), std::string(23, 'x'), false},
      {"24 bytes give the number", cb(std::string(24, 'x')), "10000", false},
      {"11 double-byte characters", cb(gbk("澜澜澜澜澜澜澜澜澜澜澜")), gbk("澜澜澜澜澜澜澜澜澜澜澜"), false},
      {"12 double-byte characters give the number", cb(gbk("澜澜澜澜澜澜澜澜澜澜澜澜")), "10000", false},
      {"adjacent markers", "a,\"\",b", "", true},
      {"no markers", "portraitCallBack({})", "", false},
      {"no end marker", "a,\"bcd", "", false},
      {"an end marker only before the start", "\",a,\"b", "", false},
      {"a NUL byte hides the markers", std::string("x\0,\"abc\",", 9), "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    zl::fake::reset();
    serve(c.answer);
    zl::Text number = "10000";
    const zl::NicknameReply r = zl::fetch_nickname(number);
    EXPECT_EQ(r.text, c.text);
    EXPECT_EQ(r.as_null, c.as_null);
  }
}

TEST_F(Nickname, UnreachableEndpointGivesTheEmptyText) {
  zl::fake::add_exchange().fail_send = true;
  zl::Text number = "10000";
  const zl::NicknameReply r = zl::fetch_nickname(number);
  EXPECT_EQ(r.text, "");
  EXPECT_FALSE(r.as_null);
}

TEST_F(Nickname, TheWorkingVariableEndsAsTheField) {
  serve(std::string("a,\"") + std::string(30, 'n') + "\",");
  zl::Text number = "123";
  EXPECT_EQ(zl::fetch_nickname(number).text, "123");
  EXPECT_EQ(number, std::string(30, 'n'));
}

TEST_F(Nickname, ReadUrlMakesOnePlainGet) {
  struct Case {
    const char* label;
    std::string url;
    std::string host;
    uint16_t port;
    std::string object;
    uint32_t flags;
    const char* user;
    const char* password;
  } cases[] = {
      {"http", "http://h.example/p?q=1", "h.example", 80, "/p?q=1", 0x84000000u, nullptr, nullptr},
      {"https", "https://h.example:8443/p", "h.example", 8443, "/p", 0x84800000u, nullptr, nullptr},
      {"fragment cut", "http://h/p?uins=1#2", "h", 80, "/p?uins=1", 0x84000000u, nullptr, nullptr},
      {"user and password", "http://me:pw@h/x", "h", 80, "/x", 0x84000000u, "me", "pw"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    zl::fake::reset();
    serve("body");
    const zl::Bytes body = zl::read_url(c.url);
    EXPECT_EQ(std::string(body.begin(), body.end()), "body");
    const auto& log = zl::fake::log();
    ASSERT_EQ(log.opens.size(), 1u);
    EXPECT_EQ(*log.opens[0].agent, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(log.opens[0].access_type, zl::win::INTERNET_OPEN_TYPE_PRECONFIG);
    EXPECT_FALSE(log.opens[0].proxy.has_value());
    ASSERT_EQ(log.connects.size(), 1u);
    EXPECT_EQ(*log.connects[0].server, c.host);
    EXPECT_EQ(log.connects[0].port, c.port);
    EXPECT_EQ(log.connects[0].user, c.user ? zl::fake::Arg(c.user) : std::nullopt);
    EXPECT_EQ(log.connects[0].password, c.password ? zl::fake::Arg(c.password) : std::nullopt);
    ASSERT_EQ(log.requests.size(), 1u);
    EXPECT_EQ(*log.requests[0].verb, "GET");
    EXPECT_EQ(*log.requests[0].object, c.object);
    EXPECT_EQ(*log.requests[0].version, "HTTP/1.0");
    EXPECT_EQ(log.requests[0].accept_types, std::vector<std::string>{"*/*"});
    EXPECT_EQ(log.requests[0].flags, c.flags);
    EXPECT_EQ(log.requests[0].flags & zl::win::INTERNET_FLAG_NO_AUTO_REDIRECT, 0u);
  }
}

TEST_F(Nickname, ReadUrlEdges) {
  EXPECT_TRUE(zl::read_url("").empty());
  EXPECT_TRUE(zl::read_url("#only").empty());
  EXPECT_TRUE(zl::fake::log().sequence.empty()) << "no network for an empty URL";

  zl::fake::set_crack_fails(true);
  EXPECT_TRUE(zl::read_url("http://h/").empty());
  EXPECT_TRUE(zl::fake::log().opens.empty());
  zl::fake::set_crack_fails(false);

  // A read that fails part-way keeps what was read before it.
  auto& e = serve("abcdefgh");
  e.pieces = {3, 3};
  e.fail_read_at = 1;
  const zl::Bytes partial = zl::read_url("http://h/");
  EXPECT_EQ(std::string(partial.begin(), partial.end()), "abc");

  // The status is never looked at: an error page is a body like any other.
  auto& err = serve("oops");
  err.headers = "HTTP/1.1 500 Internal Server Error\r\n\r\n";
  const zl::Bytes page = zl::read_url("http://h/");
  EXPECT_EQ(std::string(page.begin(), page.end()), "oops");
}

}  // namespace
