// Runs one web_request over the real WinInet, for the end-to-end tests.
//
// Input (argv[1], a file): lines "name=HEX" giving the parameters; a name
// that is absent is an omitted parameter. Names: url, method, post_text,
// cookies, received_cookies, request_headers, location, no_redirect,
// post_bytes, proxy, raw_headers (integers in hex too).
// Output (stdout): "result=HEX" and "name=HEX" for every given variable,
// as the routine left it.
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include "web/request.h"

namespace {

std::string unhex(const std::string& h) {
  std::string out;
  for (size_t i = 0; i + 1 < h.size(); i += 2)
    out.push_back(static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16)));
  return out;
}

std::string hex(const std::string& s) {
  static const char d[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    out.push_back(d[c >> 4]);
    out.push_back(d[c & 15]);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: request_driver CASE-FILE\n");
    return 2;
  }
  std::map<std::string, std::string> in;
  std::ifstream f(argv[1]);
  for (std::string line; std::getline(f, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t eq = line.find('=');
    if (eq != std::string::npos) in[line.substr(0, eq)] = unhex(line.substr(eq + 1));
  }
  auto has = [&](const char* k) { return in.count(k) != 0; };
  auto get = [&](const char* k) { return has(k) ? in.at(k) : std::string(); };
  auto num = [&](const char* k) {
    const std::string v = get(k);
    return v.empty() ? 0 : std::stoi(v);
  };

  zl::Text url = get("url"), post_text = get("post_text"), cookies = get("cookies"),
           received = get("received_cookies"), headers = get("request_headers"),
           location = get("location"), proxy = get("proxy"), raw = get("raw_headers");
  const std::string post = get("post_bytes");
  zl::Bytes post_bytes(post.begin(), post.end());

  zl::RequestOptions o;
  o.method = num("method");
  o.no_redirect = num("no_redirect");
  if (has("post_text")) o.post_text = &post_text;
  if (has("cookies")) o.cookies = &cookies;
  if (has("received_cookies")) o.received_cookies = &received;
  if (has("request_headers")) o.request_headers = &headers;
  if (has("location")) o.location = &location;
  if (has("post_bytes")) o.post_bytes = &post_bytes;
  if (has("proxy")) o.proxy = &proxy;
  if (has("raw_headers")) o.raw_headers = &raw;

  const zl::Text result = zl::web_request(url, o);

  printf("result=%s\n", hex(result).c_str());
  if (has("cookies")) printf("cookies=%s\n", hex(cookies).c_str());
  if (has("received_cookies")) printf("received_cookies=%s\n", hex(received).c_str());
  if (has("request_headers")) printf("request_headers=%s\n", hex(headers).c_str());
  if (has("location")) printf("location=%s\n", hex(location).c_str());
  if (has("post_bytes"))
    printf("post_bytes=%s\n", hex(std::string(post_bytes.begin(), post_bytes.end())).c_str());
  if (has("raw_headers")) printf("raw_headers=%s\n", hex(raw).c_str());
  return 0;
}
