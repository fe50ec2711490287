// URL decomposition: never fails, and what it gives back keeps its shape.
// Raw inputs check the shape of any answer; URLs assembled from a known
// scheme, host, port and path must give those parts back.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/input.h"
#include "tests/unit/text/reference.h"
#include "text/text.h"
#include "web/url.h"

namespace {

using zl::fuzz::Input;
using zl::fuzz::check;
using zl::fuzz::hex;

bool high(unsigned char c) { return c >= 0x80; }

// Does `t` hold the one-byte character `c`, stepping by characters?
bool has_char(std::string_view t, char c) {
  for (size_t p = 0; p < t.size(); p += high(t[p]) ? 2 : 1) {
    if (t[p] == c) return true;
  }
  return false;
}

size_t count_char(std::string_view t, char c) {
  size_t n = 0;
  for (size_t p = 0; p < t.size(); p += high(t[p]) ? 2 : 1) n += t[p] == c;
  return n;
}

bool ends_with(std::string_view t, std::string_view tail) {
  return t.size() >= tail.size() && t.substr(t.size() - tail.size()) == tail;
}

int32_t default_port(std::string_view url) {
  return zl::ref::text_lower(zl::ref::text_left(url, 5)) == "https" ? 443 : 80;
}

void check_shape(const std::string& url) {
  const auto where = [&](const char* what) {
    return std::string(what) + "\n  url: " + hex(url);
  };
  const zl::Text with_port = zl::url_host(url, false, true);
  for (int flags = 0; flags < 4; ++flags) {
    const bool two_labels = flags & 1;
    const bool keep_port = flags & 2;
    const zl::Text h = zl::url_host(url, two_labels, keep_port);
    const auto about = [&](const char* what) {
      return where(what) + "\n  two_labels " + std::to_string(two_labels) +
             " keep_port " + std::to_string(keep_port) + "\n  host: " + hex(h);
    };
    check(zl::ref::text_lower(h) == h, [&] { return about("url_host is not lower-case"); });
    check(!has_char(h, '/'), [&] { return about("url_host holds a '/'"); });
    if (!keep_port) {
      check(!has_char(h, ':'), [&] { return about("url_host kept a port"); });
    }
    if (two_labels) {
      check(count_char(h, '.') <= 1, [&] { return about("url_host kept more than two labels"); });
    }
  }
  const zl::Text host = zl::url_host(url);
  check(with_port.compare(0, host.size(), host) == 0, [&] {
    return where("the host without its port is not a prefix of the host with it") +
           "\n  host: " + hex(host) + "\n  with port: " + hex(with_port);
  });

  const int32_t port = zl::url_port(url);
  if (!has_char(with_port, ':')) {
    check(port == default_port(url), [&] {
      return where("url_port without an explicit port") + "\n  port: " + std::to_string(port);
    });
  }

  const zl::Text path = zl::url_path(url);
  check(!path.empty() && path[0] == '/', [&] {
    return where("url_path does not start with '/'") + "\n  path: " + hex(path);
  });
  check(path == "/" || ends_with(url, path), [&] {
    return where("url_path is not a tail of the url") + "\n  path: " + hex(path);
  });
  if (url.find('/') == std::string::npos) {
    check(path == "/", [&] { return where("url_path of a url without '/'") + "\n  path: " + hex(path); });
  }
}

// A host the rules read back as it is: ASCII letters, digits, '.' and '-'.
std::string host_part(Input& in) {
  static const char kAlphabet[] = "abcXYZ019.-";
  std::string h = in.text(40);
  for (char& c : h) c = kAlphabet[static_cast<unsigned char>(c) % (sizeof kAlphabet - 1)];
  if (h.empty()) h = "h";
  return h;
}

void check_assembled(Input& in) {
  static const char* const kSchemes[] = {"", "http://", "https://", "HTTP://", "HtTpS://"};
  const std::string scheme = kSchemes[in.choice() % 5];
  const std::string host = host_part(in);
  const bool has_port = in.flag();
  const int32_t port_value = in.number() & 0xFFFF;
  const std::string port_text = has_port ? ":" + std::to_string(port_value) : "";
  std::string path;
  if (in.flag()) path = "/" + in.text(200);
  const std::string url = scheme + host + port_text + path;
  // Without a scheme, a later "http://" is where the host is looked for.
  if (scheme.empty() && zl::ref::text_find(url, "http://", std::nullopt, true) != -1) return;

  const std::string lower_host = zl::ref::text_lower(host);
  // The labels are reduced before the port is cut off.
  const std::string with_port = lower_host + port_text;
  const zl::TextArray labels = zl::ref::text_split(with_port, std::string_view("."));
  std::string two_with_port = with_port;
  if (labels.size() > 1) two_with_port = labels[labels.size() - 2] + "." + labels.back();
  const std::string two = two_with_port.substr(0, two_with_port.find(':'));
  const int32_t want_port = has_port ? port_value : default_port(url);
  const std::string want_path = path.empty() ? "/" : path;

  const auto differs = [&](const char* what, const std::string& got, const std::string& want) {
    check(got == want, [&] {
      return std::string(what) + " of an assembled url\n  url: " + hex(url) +
             "\n  got:  " + hex(got) + "\n  want: " + hex(want);
    });
  };
  differs("url_host", zl::url_host(url), lower_host);
  differs("url_host, keep_port", zl::url_host(url, false, true), with_port);
  differs("url_host, two_labels", zl::url_host(url, true), two);
  differs("url_host, both", zl::url_host(url, true, true), two_with_port);
  differs("url_port", std::to_string(zl::url_port(url)), std::to_string(want_port));
  differs("url_path", zl::url_path(url), want_path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  if (in.flag()) {
    check_assembled(in);
  } else {
    check_shape(in.text(4096));
  }
  return 0;
}
