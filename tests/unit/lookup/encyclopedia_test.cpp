// The encyclopedia lookup through the platform stand-in: the URL it asks
// for, and the reply it builds from the page.
#include "lookup/encyclopedia.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/native/fake.h"
#include "tests/unit/stand_in_test.h"
#include "tests/unit/text/test_util.h"

namespace {

using zl::testing::gbk;

class Encyclopedia : public zl::testing::StandInTest {
 protected:
  void serve(const std::string& body) {
    auto& e = zl::fake::add_exchange();
    e.headers = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n";
    e.body.assign(body.begin(), body.end());
  }
  std::string reply(const std::string& keyword) {
    const zl::Text none;
    return zl::format_lookup_reply(keyword, none, none, none, none);
  }
};

const std::string kPrefix = "http://" ZHILAN_ENCYCLOPEDIA_HOST "/search/word?word=";

TEST_F(Encyclopedia, UrlCarriesTheKeywordAsRawGbkWithControlBytesEscaped) {
  struct Case {
    const char* label;
    std::string keyword;
    std::string url;
  } cases[] = {
      {"plain", "abc", kPrefix + "abc&pic=1&sug=1&enc=utf8"},
      {"empty", "", kPrefix + "&pic=1&sug=1&enc=utf8"},
      {"double-byte, space, & and #", gbk("长城") + " a&b#c",
       kPrefix + gbk("长城") + " a&b#c&pic=1&sug=1&enc=utf8"},
      {"CR LF and header-like text", "x\r\nHost: evil\r\n\r\n",
       kPrefix + "x%0D%0AHost: evil%0D%0A%0D%0A&pic=1&sug=1&enc=utf8"},
      {"tab, DEL and 0x1F", "a\tb\x7f\x1f", kPrefix + "a%09b%7F%1F&pic=1&sug=1&enc=utf8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(zl::encyclopedia_url(c.keyword), c.url);
  }
}

TEST_F(Encyclopedia, ANastyKeywordCannotChangeTheServerContacted) {
  const char* keywords[] = {"/x", "http://evil:81/", "@evil:81", ":81", "\r\nHost: evil:81"};
  for (const char* k : keywords) {
    SCOPED_TRACE(k);
    zl::fake::reset();
    serve("");
    reply(k);
    ASSERT_EQ(zl::fake::log().connects.size(), 1u);
    const std::string host = ZHILAN_ENCYCLOPEDIA_HOST;
    EXPECT_EQ(*zl::fake::log().connects[0].server, host.substr(0, host.find(':')));
    const auto port = host.find(':') == std::string::npos ? 80 : std::stoi(host.substr(host.find(':') + 1));
    EXPECT_EQ(zl::fake::log().connects[0].port, port);
    EXPECT_EQ(zl::fake::log().requests[0].object->rfind("/search/word?word=", 0), 0u);
  }
}

TEST_F(Encyclopedia, ReplyByPage) {
  const std::string found = gbk("[name]百科结果为\r\n");
  struct Case {
    const char* label;
    std::string page;
    std::string reply;  // empty: the not-found reply
  } cases[] = {
      {"tag in lower case", "<meta name=\"description\" content=\"ABC\" /><meta name=\"k\">",
       found + "ABC"},
      {"UTF-8 summary comes back as GBK",
       "<meta charset=utf-8><meta name=\"description\" content=\"\xe9\x95\xbf\xe5\x9f\x8e\" /><meta>",
       found + gbk("长城")},
      {"summary kept untouched", "<meta name=\"description\" content=\"  a &amp; b \" /><meta>",
       found + "  a &amp; b "},
      {"empty content", "<meta name=\"description\" content=\"\" /><meta>", ""},
      {"the sentinel itself", "<meta name=\"description\" content=\"\xe6\x97\xa0\" /><meta>", ""},
      {"no end marker", "<meta name=\"description\" content=\"ABC\">", ""},
      {"no page", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    zl::fake::reset();
    serve(c.page);
    const std::string kw = gbk("长城");
    EXPECT_EQ(reply(kw), c.reply.empty() ? gbk("[name]没有找到此内容\"") + kw + "\"" : c.reply);
  }
}

TEST_F(Encyclopedia, FailedRequestGivesTheNotFoundReply) {
  zl::fake::add_exchange().fail_connect = true;
  EXPECT_EQ(reply("kw"), gbk("[name]没有找到此内容\"kw\""));
}

}  // namespace
