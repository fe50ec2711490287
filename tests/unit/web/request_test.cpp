// The request routine against the scripted WinInet: what it passes to each
// call, what it leaves in the caller's variables, and how it reads answers.
#include "web/request.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/native/fake.h"
#include "platform/platform.h"
#include "tests/unit/stand_in_test.h"
#include "web/cookies.h"

namespace zl {
namespace {

using fake::Exchange;

constexpr char kUrl[] = "http://a.example/search/word?word=x";
constexpr char kAgent[] =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; KARVO; "
    ".NET CLR 2.0.50727; .NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
constexpr char kDefaults[] =
    "\r\nAccept: */*\r\nAccept-Language: zh-cn"
    "\r\nContent-Type: application/x-www-form-urlencoded";
constexpr uint32_t kHttpFlags = 0x80004010u;  // RELOAD|NEED_FILE|IGNORE_..._HTTPS
constexpr uint32_t kHttpsFlags = 0x80800010u;  // RELOAD|NEED_FILE|SECURE

Text default_block(const Text& url) {
  return "Referer: " + url + kDefaults;
}

Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

Exchange answer(const std::string& headers, const std::string& body = "") {
  Exchange e;
  e.headers = headers;
  e.body = bytes(body);
  return e;
}

// Every caller variable, filled with a value that a write would change.
struct Vars {
  Text post_text = "pt";
  Text cookies = "c=1";
  Text received = "r=1";
  Text headers = "X-Mine: 1";
  Text location = "loc";
  Text proxy = "p:1";
  Text raw = "raw";
  Bytes post_bytes = bytes("pb");

  RequestOptions all() {
    RequestOptions o;
    o.method = 1;
    o.post_text = &post_text;
    o.cookies = &cookies;
    o.received_cookies = &received;
    o.request_headers = &headers;
    o.location = &location;
    o.post_bytes = &post_bytes;
    o.proxy = &proxy;
    o.raw_headers = &raw;
    return o;
  }
};

class RequestTest : public testing::StandInTest {
 protected:
  const fake::Log& log_ = fake::log();
};

// The lookup's call: the URL alone.
TEST_F(RequestTest, UrlOnlyCallPassesTheFixedArguments) {
  fake::add_exchange(answer("HTTP/1.1 200 OK\r\n\r\n", "page"));
  EXPECT_EQ(web_request(kUrl), "page");

  EXPECT_EQ(log_.sequence,
            (std::vector<std::string>{
                "InternetOpenA", "InternetConnectA", "InternetSetOptionA",
                "InternetSetOptionA", "InternetSetOptionA", "HttpOpenRequestA",
                "HttpSendRequestA", "InternetQueryDataAvailable",
                "InternetReadFile", "InternetQueryDataAvailable",
                "HttpQueryInfoA",
                "InternetCloseHandle", "InternetCloseHandle",
                "InternetCloseHandle"}));

  const fake::OpenCall& open = log_.opens.at(0);
  EXPECT_EQ(open.agent, kAgent);
  EXPECT_EQ(open.access_type, win::INTERNET_OPEN_TYPE_DIRECT);
  EXPECT_EQ(open.proxy, std::nullopt);
  EXPECT_EQ(open.proxy_bypass, std::nullopt);
  EXPECT_EQ(open.flags, 0u);

  const fake::ConnectCall& connect = log_.connects.at(0);
  EXPECT_EQ(connect.internet, open.result);
  EXPECT_EQ(connect.server, "a.example");
  EXPECT_EQ(connect.port, 80);
  EXPECT_EQ(connect.user, std::nullopt);
  EXPECT_EQ(connect.password, std::nullopt);
  EXPECT_EQ(connect.service, win::INTERNET_SERVICE_HTTP);
  EXPECT_EQ(connect.flags, 0u);
  EXPECT_EQ(connect.context, 0u);

  // A server that accepts and never answers must not hold the thread for
  // good: connect, send and receive time out on the connection.
  ASSERT_EQ(log_.options.size(), 3u);
  EXPECT_EQ(log_.options[0].option, win::INTERNET_OPTION_CONNECT_TIMEOUT);
  EXPECT_EQ(log_.options[0].value, Bytes({0x10, 0x27, 0, 0}));  // 10000 ms
  EXPECT_EQ(log_.options[1].option, win::INTERNET_OPTION_SEND_TIMEOUT);
  EXPECT_EQ(log_.options[2].option, win::INTERNET_OPTION_RECEIVE_TIMEOUT);
  for (const fake::SetOptionCall& o : log_.options) {
    EXPECT_EQ(o.handle, connect.result);
    if (o.option != win::INTERNET_OPTION_CONNECT_TIMEOUT) {
      EXPECT_EQ(o.value, Bytes({0x98, 0x3a, 0, 0}));  // 15000 ms
    }
  }

  const fake::RequestCall& request = log_.requests.at(0);
  EXPECT_EQ(request.connection, connect.result);
  EXPECT_EQ(request.verb, "GET");
  EXPECT_EQ(request.object, "/search/word?word=x");
  EXPECT_EQ(request.version, "HTTP/1.1");
  EXPECT_EQ(request.referrer, std::nullopt);
  EXPECT_EQ(request.accept_types, std::nullopt);
  EXPECT_EQ(request.flags, kHttpFlags);
  EXPECT_EQ(request.context, 0u);

  const fake::SendCall& send = log_.sends.at(0);
  EXPECT_EQ(send.request, request.result);
  EXPECT_EQ(send.headers, default_block(kUrl));
  EXPECT_EQ(send.headers_length, default_block(kUrl).size());
  EXPECT_TRUE(send.optional_null);
  EXPECT_EQ(send.optional_length, 0u);

  ASSERT_EQ(log_.reads.size(), 1u);
  EXPECT_EQ(log_.reads[0].bytes_to_read, 4u);  // what was ready of "page"

  const fake::QueryCall& query = log_.queries.at(0);
  EXPECT_EQ(query.info_level, win::HTTP_QUERY_RAW_HEADERS_CRLF);
  EXPECT_FALSE(query.buffer_null);
  EXPECT_EQ(query.length_in, 5000u);
  EXPECT_TRUE(query.index_null);

  ASSERT_EQ(log_.closes.size(), 3u);
  EXPECT_EQ(log_.closes[0].handle, request.result);
  EXPECT_EQ(log_.closes[1].handle, connect.result);
  EXPECT_EQ(log_.closes[2].handle, open.result);
}

TEST_F(RequestTest, RequestFlags) {
  struct Case {
    const char* url;
    bool cookies_given;
    int32_t no_redirect;
    uint32_t flags;
  };
  const Case cases[] = {
      {"http://h/", false, 0, kHttpFlags},
      {"https://h/", false, 0, kHttpsFlags},
      {"HTTPS://h/", false, 0, kHttpsFlags},
      {"hTtPs://h/", false, 0, kHttpsFlags},
      {"http://h/", true, 0, kHttpFlags | win::INTERNET_FLAG_NO_COOKIES},
      {"http://h/", false, 7, kHttpFlags | win::INTERNET_FLAG_NO_AUTO_REDIRECT},
      {"https://h/", true, 1,
       kHttpsFlags | win::INTERNET_FLAG_NO_COOKIES |
           win::INTERNET_FLAG_NO_AUTO_REDIRECT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.url) + (c.cookies_given ? " cookies" : "") +
                 " no_redirect=" + std::to_string(c.no_redirect));
    next_case();
    Text cookies;  // given but empty still asks WinInet to keep out
    RequestOptions o;
    o.cookies = c.cookies_given ? &cookies : nullptr;
    o.no_redirect = c.no_redirect;
    web_request(c.url, o);
    ASSERT_EQ(log_.requests.size(), 1u);
    EXPECT_EQ(log_.requests[0].flags, c.flags);
    // An empty cookie string adds no Cookie line.
    EXPECT_EQ(log_.sends.at(0).headers.find("Cookie"), std::string::npos);
  }
}

TEST_F(RequestTest, DirectOrProxyConnection) {
  struct Case {
    const char* name;
    std::optional<Text> proxy;
    uint32_t access_type;
    fake::Arg proxy_list, bypass;
  };
  const Case cases[] = {
      {"omitted", std::nullopt, win::INTERNET_OPEN_TYPE_DIRECT, std::nullopt,
       std::nullopt},
      {"given", Text("127.0.0.1:8888"), win::INTERNET_OPEN_TYPE_PROXY,
       "http=127.0.0.1:8888", ""},
      {"given empty", Text(), win::INTERNET_OPEN_TYPE_PROXY, "http=", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    next_case();
    RequestOptions o;
    o.proxy = c.proxy ? &*c.proxy : nullptr;
    web_request(kUrl, o);
    ASSERT_EQ(log_.opens.size(), 1u);
    EXPECT_EQ(log_.opens[0].access_type, c.access_type);
    EXPECT_EQ(log_.opens[0].proxy, c.proxy_list);
    EXPECT_EQ(log_.opens[0].proxy_bypass, c.bypass);
  }
}

// The caller's lines come first, unchanged; defaults are added only where
// their exact name (case included) is missing anywhere in the block. The
// block as sent is written back.
TEST_F(RequestTest, HeaderBlockAndUserAgent) {
  const Text referer = Text("\r\nReferer: ") + kUrl;
  struct Case {
    const char* name;
    Text lines;
    Text cookies;
    Text block;   // as sent and as written back
    fake::Arg agent;
  };
  const Case cases[] = {
      {"no lines", "", "", default_block(kUrl), kAgent},
      {"lower-case referer is not the Referer line", "referer: http://r/", "",
       "referer: http://r/" + referer + kDefaults, kAgent},
      {"all but Referer present", "Accept: a\r\nAccept-Language: en\r\n"
       "Content-Type: text/plain", "",
       "Accept: a\r\nAccept-Language: en\r\nContent-Type: text/plain" +
           referer,
       kAgent},
      {"a name inside another counts", "X-Accept: 1", "",
       "X-Accept: 1" + referer +
           "\r\nAccept-Language: zh-cn"
           "\r\nContent-Type: application/x-www-form-urlencoded",
       kAgent},
      {"cookie line last, without presence test", "Cookie: old=1",
       "a=1; b=2", "Cookie: old=1" + referer + kDefaults + "\r\nCookie: a=1; b=2",
       kAgent},
      {"user agent, the only line", "user-agent:  Bot/1 ", "",
       "user-agent:  Bot/1 " + referer + kDefaults, "Bot/1"},
      {"user agent, first of several lines", "User-Agent: Bot/2\r\nX: y", "",
       "User-Agent: Bot/2\r\nX: y" + referer + kDefaults, "Bot/2"},
      // Only the user-agent line's own value: a line break must never reach
      // the agent string.
      {"user agent, last of several lines", "X: y\r\nUSER-AGENT: Bot/3", "",
       "X: y\r\nUSER-AGENT: Bot/3" + referer + kDefaults, "Bot/3"},
      {"user agent, empty value", "User-Agent: \r\nX: y", "",
       "User-Agent: \r\nX: y" + referer + kDefaults, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    next_case();
    Text headers = c.lines;
    Text cookies = c.cookies;
    RequestOptions o;
    o.request_headers = &headers;
    o.cookies = &cookies;
    web_request(kUrl, o);
    EXPECT_EQ(headers, c.block);
    ASSERT_EQ(log_.sends.size(), 1u);
    EXPECT_EQ(log_.sends[0].headers, c.block);
    EXPECT_EQ(log_.sends[0].headers_length, c.block.size());
    EXPECT_EQ(log_.opens.at(0).agent, c.agent);
  }
}

TEST_F(RequestTest, PostBody) {
  struct Case {
    const char* name;
    int32_t method;
    Text post_text;
    Bytes post_bytes;
    const char* verb;
    fake::ByteString sent;  // empty: no optional data at all
    Bytes post_bytes_after;
  };
  const Case cases[] = {
      {"text written back and sent", 1, "a=b", {}, "POST", bytes("a=b"),
       bytes("a=b")},
      {"bytes win over text", 1, "a=b", bytes(std::string("x\0y", 3)), "POST",
       bytes(std::string("x\0y", 3)), bytes(std::string("x\0y", 3))},
      {"nothing to send", 1, "", {}, "POST", {}, {}},
      {"GET sends no body", 0, "a=b", bytes("zz"), "GET", {}, bytes("zz")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    next_case();
    Text post_text = c.post_text;
    Bytes post_bytes = c.post_bytes;
    RequestOptions o;
    o.method = c.method;
    o.post_text = &post_text;
    o.post_bytes = &post_bytes;
    web_request(kUrl, o);
    EXPECT_EQ(post_bytes, c.post_bytes_after);
    EXPECT_EQ(log_.requests.at(0).verb, c.verb);
    const fake::SendCall& send = log_.sends.at(0);
    EXPECT_EQ(send.optional_null, c.sent.empty());
    EXPECT_EQ(send.optional, c.sent);
    EXPECT_EQ(send.optional_length, c.sent.size());
  }
}

// Open, connect and request failures return at once and write nothing.
TEST_F(RequestTest, FailuresBeforeTheSendWriteNoVariable) {
  struct Case {
    const char* name;
    const char* url;
    Exchange script;
    std::vector<fake::HandleKind> closed;
  };
  Exchange open_fails, connect_fails, request_fails;
  open_fails.fail_open = true;
  connect_fails.fail_connect = true;
  request_fails.fail_request = true;
  const Case cases[] = {
      {"internet handle", kUrl, open_fails, {}},
      {"connection", kUrl, connect_fails, {fake::HandleKind::kInternet}},
      // No server listens on a port that does not exist.
      {"port out of range", "http://a.example:65616/", Exchange(),
       {fake::HandleKind::kInternet}},
      {"request", kUrl, request_fails,
       {fake::HandleKind::kConnection, fake::HandleKind::kInternet}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    next_case();
    fake::add_exchange(c.script);
    Vars v;
    const Vars before = v;
    EXPECT_EQ(web_request(c.url, v.all()), "");
    EXPECT_EQ(v.post_text, before.post_text);
    EXPECT_EQ(v.cookies, before.cookies);
    EXPECT_EQ(v.received, before.received);
    EXPECT_EQ(v.headers, before.headers);
    EXPECT_EQ(v.location, before.location);
    EXPECT_EQ(v.raw, before.raw);
    EXPECT_EQ(v.post_bytes, before.post_bytes);
    EXPECT_TRUE(log_.sends.empty());
    std::vector<fake::HandleKind> closed;
    for (const fake::CloseCall& call : log_.closes) closed.push_back(call.kind);
    EXPECT_EQ(closed, c.closed);
    EXPECT_EQ(fake::open_handles(), 0);
  }
}

TEST_F(RequestTest, FailedSendLeavesTheBlankHeaderBuffer) {
  Exchange e;
  e.fail_send = true;
  fake::add_exchange(e);
  Text headers, location, raw, received = "old=1";
  RequestOptions o;
  o.request_headers = &headers;
  o.location = &location;
  o.raw_headers = &raw;
  o.received_cookies = &received;
  EXPECT_EQ(web_request(kUrl, o), "");
  EXPECT_EQ(raw, std::string(5000, ' '));
  EXPECT_EQ(location, std::string(5000, ' '));
  EXPECT_EQ(received, "");
  EXPECT_EQ(headers, default_block(kUrl));
  EXPECT_EQ(log_.requests.size(), 1u);
}

// The query gets 5000 bytes: a block and its NUL fit up to 4999 bytes. A
// larger block is as good as none, whatever it says.
TEST_F(RequestTest, HeaderBlockMustFitTheBuffer) {
  const std::string head =
      "HTTP/1.1 301 Moved Permanently\r\nLocation: http://b.example\r\n"
      "Set-Cookie: a=1; path=/\r\nContent-Type: text/html; charset=UTF-8\r\n"
      "X-Pad: ";
  for (size_t size : {4999u, 5000u, 6000u}) {
    SCOPED_TRACE(size);
    next_case();
    std::string block = head + std::string(size - head.size() - 4, 'p');
    block += "\r\n\r\n";
    ASSERT_EQ(block.size(), size);
    Exchange first = answer(block, "\xE4\xB8\xAD");
    fake::add_exchange(first);
    fake::add_exchange(answer("HTTP/1.1 200 OK\r\n\r\n", "moved on"));
    Text location, raw, received;
    RequestOptions o;
    o.location = &location;
    o.raw_headers = &raw;
    o.received_cookies = &received;
    const Text result = web_request(kUrl, o);
    if (size < 5000) {
      EXPECT_EQ(result, "moved on");
      EXPECT_EQ(log_.requests.size(), 2u);
    } else {
      EXPECT_EQ(result, "\xE4\xB8\xAD");  // not converted either
      EXPECT_EQ(log_.requests.size(), 1u);
      EXPECT_EQ(raw, std::string(5000, ' '));
      EXPECT_EQ(location, std::string(5000, ' '));
      EXPECT_EQ(received, "");
    }
  }
}

TEST_F(RequestTest, BodyIsReadWholeWhateverThePieces) {
  std::string body;
  for (int i = 0; i < 3000; ++i) body += static_cast<char>('a' + i % 26);
  struct Case {
    const char* name;
    std::vector<uint32_t> pieces;
    int fail_read_at;
    size_t expected;
  };
  const Case cases[] = {
      {"full pieces", {}, -1, 3000},
      {"small and odd pieces", {1, 7, 1024, 1, 1000, 513}, -1, 3000},
      {"read fails part-way", {1024, 100}, 2, 1124},
      {"first read fails", {}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    next_case();
    Exchange e = answer("HTTP/1.1 200 OK\r\n\r\n", body);
    e.pieces = c.pieces;
    e.fail_read_at = c.fail_read_at;
    fake::add_exchange(e);
    EXPECT_EQ(web_request(kUrl), body.substr(0, c.expected));
    // Pieces of 1024 bytes, or less when less is ready: a read never waits
    // for more than has arrived.
    ASSERT_LE(log_.reads.size(), log_.available.size());
    for (size_t k = 0; k < log_.reads.size(); ++k) {
      EXPECT_EQ(log_.reads[k].bytes_to_read, std::min(log_.available[k], 1024u));
    }
  }
}

TEST_F(RequestTest, LargeBodyArrivesIntact) {
  std::string body(3 << 20, '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>('!' + i % 90);
  fake::add_exchange(answer("HTTP/1.1 200 OK\r\n\r\n", body));
  EXPECT_EQ(web_request(kUrl), body);
}

TEST_F(RequestTest, SetCookieLines) {
  struct Case {
    const char* name;
    std::string lines;
    Text received;
  };
  const Case cases[] = {
      {"none", "Content-Type: text/html\r\n", ""},
      {"pairs up to the first ';'",
       "Set-Cookie: a=1; path=/\r\nSet-Cookie: c=3\r\n"
       "Set-Cookie:  b=2 ; path=/x\r\n",
       "a=1; ; b=2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    next_case();
    fake::add_exchange(answer("HTTP/1.1 200 OK\r\n" + c.lines + "\r\n"));
    Text received = "stale=1";
    RequestOptions o;
    o.received_cookies = &received;
    web_request(kUrl, o);
    EXPECT_EQ(received, c.received);
  }
}

// Given cookies are sent and then merged with what the answer set; omitted
// ones are neither sent nor merged.
TEST_F(RequestTest, CookiesAreMergedOnlyWhenGiven) {
  const std::string head =
      "HTTP/1.1 200 OK\r\nSet-Cookie: x=2; path=/\r\nSet-Cookie: y=3;\r\n\r\n";
  for (const Text& start : {Text("sid=1"), Text()}) {
    SCOPED_TRACE("cookies given: '" + start + "'");
    next_case();
    fake::add_exchange(answer(head));
    Text cookies = start, received;
    RequestOptions o;
    o.cookies = &cookies;
    o.received_cookies = &received;
    web_request(kUrl, o);
    Text expected_cookies = start, expected_received = "x=2; y=3";
    merge_cookies(expected_cookies, expected_received);
    EXPECT_EQ(cookies, expected_cookies);
    EXPECT_EQ(received, expected_received);
  }
  next_case();
  fake::add_exchange(answer(head));
  Text received;
  RequestOptions o;
  o.received_cookies = &received;
  web_request(kUrl, o);
  EXPECT_EQ(received, "x=2; y=3");
  EXPECT_EQ(log_.requests.at(0).flags, kHttpFlags);
}

TEST_F(RequestTest, LocationValue) {
  struct Case {
    const char* name;
    std::string lines;
    Text before;
    Text after;  // "*" stands for the whole raw header block
  };
  const Case cases[] = {
      {"Location line", "Location:  http://x/y \r\n", "", "http://x/y"},
      {"Content-Location counts", "Content-Location: /c\r\n", "", "/c"},
      {"the last one wins", "Location: /1\r\nContent-Location: /2\r\n", "",
       "/2"},
      {"none: the raw block", "Server: s\r\n", "", "*"},
      {"none: the caller's value stays", "Server: s\r\n", "mine", "mine"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    next_case();
    const std::string block = "HTTP/1.1 200 OK\r\n" + c.lines + "\r\n";
    fake::add_exchange(answer(block));
    Text location = c.before, raw;
    RequestOptions o;
    o.location = &location;
    o.raw_headers = &raw;
    web_request(kUrl, o);
    EXPECT_EQ(raw, block);
    EXPECT_EQ(location, c.after == "*" ? block : c.after);
  }
}

TEST_F(RequestTest, OnlyHttp11MovedIsFollowed) {
  struct Case {
    const char* status;
    size_t requests;
  };
  const Case cases[] = {
      {"HTTP/1.1 301 Moved Permanently", 2},
      {"HTTP/1.1 301 moved permanently", 2},
      {"HTTP/1.1 301 Moved", 2},
      {"HTTP/1.1 302 Found", 1},
      {"HTTP/1.1 302 Moved Temporarily", 1},
      {"HTTP/1.0 301 Moved Permanently", 1},
      {"HTTP/1.1 301 OK", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    next_case();
    fake::add_exchange(
        answer(std::string(c.status) + "\r\nLocation: http://b.example\r\n\r\n",
               "first"));
    fake::add_exchange(answer("HTTP/1.1 200 OK\r\n\r\n", "second"));
    EXPECT_EQ(web_request(kUrl), c.requests == 2 ? "second" : "first");
    EXPECT_EQ(log_.requests.size(), c.requests);
  }
}

// The follow-up goes to the Location value plus the old path and query,
// with the same variables: the completed block is sent again with the
// merged cookies appended once more, and the Referer stays the first one.
TEST_F(RequestTest, MovedFollowUpReusesTheVariables) {
  fake::add_exchange(answer(
      "HTTP/1.1 301 Moved Permanently\r\nLocation: https://b.example\r\n"
      "Set-Cookie: s=2; path=/\r\n\r\n",
      "moved"));
  fake::add_exchange(answer("HTTP/1.1 200 OK\r\n\r\n", "here"));
  Text cookies = "k=1", headers, location;
  RequestOptions o;
  o.cookies = &cookies;
  o.request_headers = &headers;
  o.location = &location;
  EXPECT_EQ(web_request(kUrl, o), "here");

  ASSERT_EQ(log_.requests.size(), 2u);
  EXPECT_EQ(log_.connects[1].server, "b.example");
  EXPECT_EQ(log_.connects[1].port, 443);
  EXPECT_EQ(log_.requests[1].object, "/search/word?word=x");
  EXPECT_EQ(log_.requests[1].flags, kHttpsFlags | win::INTERNET_FLAG_NO_COOKIES);
  // The proxy was omitted and stays omitted.
  EXPECT_EQ(log_.opens[1].access_type, win::INTERNET_OPEN_TYPE_DIRECT);

  Text merged = "k=1", set = "s=2";
  merge_cookies(merged, set);
  const Text first = default_block(kUrl) + "\r\nCookie: k=1";
  EXPECT_EQ(log_.sends[0].headers, first);
  EXPECT_EQ(log_.sends[1].headers, first + "\r\nCookie: " + merged);
  EXPECT_EQ(headers, log_.sends[1].headers);
  // The second answer has no Location line.
  EXPECT_EQ(location, "HTTP/1.1 200 OK\r\n\r\n");
}

TEST_F(RequestTest, MovedFollowUpOfTheUrlOnlyCallStaysPlain) {
  fake::add_exchange(answer(
      "HTTP/1.1 301 Moved Permanently\r\nLocation: http://b.example\r\n"
      "Set-Cookie: s=2\r\n\r\n"));
  fake::add_exchange(answer("HTTP/1.1 200 OK\r\n\r\n", "here"));
  EXPECT_EQ(web_request(kUrl), "here");
  ASSERT_EQ(log_.requests.size(), 2u);
  EXPECT_EQ(log_.opens[1].access_type, win::INTERNET_OPEN_TYPE_DIRECT);
  EXPECT_EQ(log_.opens[1].proxy, std::nullopt);
  EXPECT_EQ(log_.requests[1].flags, kHttpFlags);
  EXPECT_EQ(log_.sends[1].headers, default_block(kUrl));
}

// Without a Location line there is nowhere to go: the answer is the result.
TEST_F(RequestTest, MovedWithoutLocationIsNotFollowed) {
  const std::string block = "HTTP/1.1 301 Moved Permanently\r\n\r\n";
  for (const Text& before : {Text(), Text("http://c.example")}) {
    SCOPED_TRACE("location before: '" + before + "'");
    next_case();
    fake::add_exchange(answer(block, "gone"));
    Text location = before;
    RequestOptions o;
    o.location = &location;
    EXPECT_EQ(web_request(kUrl, o), "gone");
    EXPECT_EQ(log_.requests.size(), 1u);
    EXPECT_EQ(location, before.empty() ? block : before);
  }
}

// A server that always answers 301 is followed ten times; the eleventh
// answer is taken as it is, UTF-8 detection included.
TEST_F(RequestTest, MovedFollowUpsAreBounded) {
  const std::string block =
      "HTTP/1.1 301 Moved Permanently\r\nLocation: http://b.example\r\n"
      "Content-Type: text/html; charset=utf-8\r\n\r\n";
  fake::add_exchange(answer(block, "\xE4\xB8\xAD"));  // answers every time
  Text location;
  RequestOptions o;
  o.location = &location;
  EXPECT_EQ(web_request(kUrl, o), "\xD6\xD0");
  ASSERT_EQ(log_.requests.size(), 1u + kMaxMovedFollowUps);
  for (size_t i = 1; i < log_.requests.size(); ++i) {
    EXPECT_EQ(log_.connects[i].server, "b.example");
    EXPECT_EQ(log_.requests[i].object, "/search/word?word=x");
  }
  EXPECT_EQ(location, "http://b.example");
}

TEST_F(RequestTest, Utf8Detection) {
  const std::string zhong = "\xE4\xB8\xAD";  // GBK D6 D0
  struct Case {
    const char* name;
    size_t at;  // 1-based position of the marker in the body
    std::string marker;
    std::string header_lines;
    bool converted;
  };
  const Case cases[] = {
      {"marker at byte 1", 1, "utf-8", "", true},
      {"marker at byte 499", 499, "utf-8", "", true},
      {"marker at byte 500", 500, "utf-8", "", false},
      {"late marker, charset in the headers in capitals", 500, "utf-8",
       "Content-Type: text/html; charset=UTF-8\r\n", true},
      {"capitals in the body only", 1, "UTF-8", "", false},
      {"capitals in the body, charset in the headers", 1, "UTF-8",
       "Content-Type: text/html; charset=Utf-8\r\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    next_case();
    const std::string body = std::string(c.at - 1, 'x') + c.marker + zhong;
    fake::add_exchange(
        answer("HTTP/1.1 200 OK\r\n" + c.header_lines + "\r\n", body));
    const std::string expected =
        c.converted ? std::string(c.at - 1, 'x') + c.marker + "\xD6\xD0"
                    : body;
    EXPECT_EQ(web_request(kUrl), expected);
  }
}

// A line break in the address must not become a line of the request: WinInet
// sends the object name and the header block raw.
TEST_F(RequestTest, LineBreaksInTheAddressAreEscaped) {
  web_request("http://a.example/s?word=a\r\nX-Injected: 1");
  ASSERT_EQ(log_.requests.size(), 1u);
  EXPECT_EQ(log_.requests[0].object, "/s?word=a%0D%0AX-Injected: 1");
  EXPECT_EQ(log_.sends[0].headers,
            default_block("http://a.example/s?word=a%0D%0AX-Injected: 1"));
}

TEST_F(RequestTest, BodyEndsAtItsFirstZeroByte) {
  fake::add_exchange(answer("HTTP/1.1 200 OK\r\n\r\n", std::string("ab\0cd", 5)));
  EXPECT_EQ(web_request(kUrl), "ab");
}

}  // namespace
}  // namespace zl
