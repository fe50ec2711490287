#include <string>

#include <gtest/gtest.h>

#include "web/url.h"

namespace zl {
namespace {

TEST(UrlParts, Table) {
  struct Case {
    std::string url;
    std::string host;
    std::string host_two_labels;
    std::string host_with_port;
    int32_t port;
    std::string path;
  };
  const Case cases[] = {
      {"HTTP://Srv.A.B:81/X/y?Q=1", "srv.a.b", "a.b", "srv.a.b:81", 81, "/X/y?Q=1"},
      {"srv.a.b", "srv.a.b", "a.b", "srv.a.b", 80, "/"},
      {"HTTPS://Srv.A.B", "srv.a.b", "a.b", "srv.a.b", 443, "/"},
      {"a.b/x/y", "a.b", "a.b", "a.b", 80, "/x/y"},
      {"http://a.b?x=1", "a.b?x=1", "a.b?x=1", "a.b?x=1", 80, "/"},
      {"a.b/?u=http://c.d/x", "c.d", "c.d", "c.d", 80, "/x"},
      {"https://p.q.a.b:81/x", "p.q.a.b", "a.b", "p.q.a.b:81", 81, "/x"},
      {"http://10.0.0.1/x", "10.0.0.1", "0.1", "10.0.0.1", 80, "/x"},
      {"localhost", "localhost", "localhost", "localhost", 80, "/"},
      {"", "", "", "", 80, "/"},
      {"https://", "", "", "", 443, "//"},
      {"http://h:8080", "h", "h", "h:8080", 8080, "/"},
      {"http://h:/x", "h", "h", "h:", 0, "/x"},
      {"https://h:x/", "h", "h", "h:x", 0, "/"},
      {"HTTPS://h/", "h", "h", "h", 443, "/"},
      {"http://a.b/", "a.b", "a.b", "a.b", 80, "/"},
      // Hosts that also occur inside the scheme.
      {"http://t/x", "t", "t", "t", 80, "/x"},
      {"https://s:81/a?b", "s", "s", "s:81", 81, "/a?b"},
      {"HTTP://P/Y", "p", "p", "p", 80, "/Y"},
      {"http://http/x", "http", "http", "http", 80, "/x"},
      {"t/x", "t", "t", "t", 80, "/x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(url_host(c.url), c.host);
    EXPECT_EQ(url_host(c.url, true), c.host_two_labels);
    EXPECT_EQ(url_host(c.url, false, true), c.host_with_port);
    EXPECT_EQ(url_port(c.url), c.port);
    EXPECT_EQ(url_path(c.url), c.path);
  }
}

TEST(UrlHost, BothFlagsReduceLabelsFirst) {
  EXPECT_EQ(url_host("https://p.q.a.b:81/x", true, true), "a.b:81");
  EXPECT_EQ(url_host("http://a.b./x", true), "a.b");  // no empty trailing label
}

TEST(UrlPath, KeepsCaseAndQuery) {
  // The host is found in the caller's URL with case ignored; the path is cut
  // from that URL as given.
  EXPECT_EQ(url_path("Http://WWW.Example.COM:8080/Search/Word?Word=X&Pic=1"),
            "/Search/Word?Word=X&Pic=1");
  EXPECT_EQ(url_path("http://a.b/x?u=http://c.d/e"), "/x?u=http://c.d/e");
}

}  // namespace
}  // namespace zl
