// The encyclopedia lookup over a 1 MB UTF-8 page served by the native
// stand-in, for counting instructions under callgrind:
//
//   valgrind --tool=callgrind --collect-atstart=no ./zl_lookup_instructions
//
// Two dumps are written, "lookup" (format_lookup_reply, the whole path) and
// "reference" (the physical minimum: the body copied out in 1024-byte
// pieces and converted once with iconv, UTF-8 to GBK). Warm-up runs of both
// come first, so one-time costs (iconv's module loading) stay out. Outside
// valgrind the program just runs both once and checks the reply.
#include <iconv.h>
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/native/page.h"
#include "lookup/encyclopedia.h"
#include "platform/native/fake.h"

namespace {

constexpr size_t kPageBytes = 1 << 20;

std::string utf8_page() {
  std::string gbk = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">";
  gbk += zl::bench::description_line();
  gbk += zl::bench::make_page(kPageBytes);
  std::string utf8 = zl::bench::iconv_all("GBK", "UTF-8", gbk);
  utf8.resize(kPageBytes);  // the page tail is ASCII: no character is cut
  return utf8;
}

void script(const std::string& page) {
  zl::fake::reset();
  zl::fake::Exchange& e = zl::fake::add_exchange();
  e.headers =
      "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
      "Content-Length: " + std::to_string(page.size()) + "\r\n\r\n";
  e.body.assign(page.begin(), page.end());
}

__attribute__((noinline)) zl::Text run_lookup() {
  const zl::Text keyword = "\xb2\xe2\xca\xd4";  // 测试
  return zl::format_lookup_reply(keyword, "", "", "", "");
}

__attribute__((noinline)) std::string run_reference(const std::string& page) {
  std::vector<char> body;
  for (size_t at = 0; at < page.size(); at += 1024) {
    const size_t n = std::min<size_t>(1024, page.size() - at);
    body.insert(body.end(), page.data() + at, page.data() + at + n);
  }
  iconv_t cd = iconv_open("GBK", "UTF-8");
  std::string out(body.size(), '\0');
  char* src = body.data();
  size_t left = body.size();
  char* dst = out.data();
  size_t room = out.size();
  iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  out.resize(out.size() - room);
  return out;
}

}  // namespace

int main() {
  const std::string page = utf8_page();

  script(page);
  const zl::Text warm = run_lookup();
  const std::string warm_ref = run_reference(page);
  if (warm.compare(0, 6, "[name]") != 0 || warm.size() < 100 ||
      warm_ref.empty()) {
    std::fprintf(stderr, "lookup_instructions: unexpected reply (%zu bytes: %.40s), reference %zu bytes\n",
                 warm.size(), warm.c_str(), warm_ref.size());
    return 1;
  }

  script(page);
  CALLGRIND_ZERO_STATS;
  CALLGRIND_TOGGLE_COLLECT;
  const zl::Text reply = run_lookup();
  CALLGRIND_TOGGLE_COLLECT;
  CALLGRIND_DUMP_STATS_AT("lookup");

  CALLGRIND_ZERO_STATS;
  CALLGRIND_TOGGLE_COLLECT;
  const std::string ref = run_reference(page);
  CALLGRIND_TOGGLE_COLLECT;
  CALLGRIND_DUMP_STATS_AT("reference");

  if (reply != warm || ref != warm_ref) {
    std::fprintf(stderr, "lookup_instructions: runs differ\n");
    return 1;
  }
  std::printf("page_bytes %zu\nreply_bytes %zu\nreference_bytes %zu\n",
              page.size(), reply.size(), ref.size());
  return 0;
}
