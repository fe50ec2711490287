#include <string>

#include <gtest/gtest.h>

#include "web/cookies.h"

namespace zl {
namespace {

TEST(CookieMerge, Table) {
  struct Case {
    const char* cookies_in;
    const char* received_in;
    const char* cookies_out;
    const char* received_out;
  };
  const Case cases[] = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4"},
      {"sid=1; u=2", "sid=deleted", "u=2", "sid=deleted"},
      {"a=1", "b=2;a=deleted", "b=2", "b=2;a=deleted"},
      {"a=1; a=2", "", "a=1", ""},
      {"", "x=1; x=1; x=2", "x=1; x=2", "x=1;x=1;x=2"},
      {"msg=hello world", "", "msg=helloworld", ""},
      {"flag; a=1", "flag=on", "flag=on; a=1", "flag=on"},
      {"A=1", "a=2", "a=2; A=1", "a=2"},
      {"a=1; b=2; a=3", "c=9", "c=9; a=1; b=2", "c=9"},
      {"a=1;", "", "a=1", ""},
      {"a=1;;b=2", "", "a=1; ; b=2", ""},
      {"=deleted", "", "", ""},
      {"", "", "", ""},
      {"a=1\xA1\xA1; b=2", "", "a=1; b=2", ""},  // full-width space inside
      {"a=deleted; b=2", "", "b=2", ""},
      {"x=Deleted", "", "x=Deleted", ""},       // only the lower-case marker
      {"a=1", "a=1", "a=1", "a=1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cookies_in) + " + " + c.received_in);
    Text cookies = c.cookies_in;
    Text received = c.received_in;
    const Text result = merge_cookies(cookies, received);
    EXPECT_EQ(cookies, c.cookies_out);
    EXPECT_EQ(received, c.received_out);
    EXPECT_EQ(result, cookies);
  }
}

TEST(CookieMerge, ManyCookies) {
  // Later old items of a name lose to the first; order is kept throughout.
  Text cookies;
  Text want_tail;
  for (int i = 0; i < 2000; ++i) {
    cookies += "k" + std::to_string(i) + "=" + std::to_string(i) + "; ";
    if (i % 2 == 1) want_tail += "; k" + std::to_string(i) + "=" + std::to_string(i);
  }
  cookies += "k1=late";
  Text received;
  for (int i = 0; i < 2000; i += 2) {
    received += (i ? ";k" : "k") + std::to_string(i) + "=new";
  }
  merge_cookies(cookies, received);
  Text want;
  for (int i = 0; i < 2000; i += 2) want += (i ? "; k" : "k") + std::to_string(i) + "=new";
  EXPECT_EQ(cookies, want + want_tail);
}

TEST(CookieItems, Helpers) {
  const TextArray items = {"a=1", " b = 2", "flag", "a=1"};
  EXPECT_TRUE(has_cookie_name(items, "b"));
  EXPECT_TRUE(has_cookie_name(items, "flag"));
  EXPECT_FALSE(has_cookie_name(items, "A"));
  EXPECT_FALSE(has_cookie_name({}, ""));
  EXPECT_TRUE(has_cookie_name({"=v"}, ""));

  EXPECT_EQ(item_index(items, "a=1"), 1);
  EXPECT_EQ(item_index(items, "flag"), 3);
  EXPECT_EQ(item_index(items, "b = 2"), -1);
  EXPECT_EQ(item_index({}, ""), -1);

  EXPECT_EQ(dedupe_items("x; y; x; ; ", "; "), "x; y; ");
  EXPECT_EQ(dedupe_items("a,b,a,A", ","), "a,b,A");
  EXPECT_EQ(dedupe_items("", "; "), "");
  EXPECT_EQ(dedupe_items("a;a", ""), "a;a");
}

}  // namespace
}  // namespace zl
