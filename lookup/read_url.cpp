// A plain GET that hands back the body bytes as they arrived.
#include <string_view>

#include "lookup/nickname.h"
#include "platform/platform.h"
#include "web/limits.h"

namespace zl {
namespace {

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr int32_t kPiece = 4096;

}  // namespace

Bytes read_url(const Text& url) {
  if (url.empty()) return {};
  // A fragment is never sent; WinInet would otherwise put it in the request.
  const std::string_view whole(url);
  const Text target(whole.substr(0, whole.find('#')));
  if (target.empty()) return {};

  SysCalls& os = sys();
  UrlParts parts;
  if (!os.InternetCrackUrlA(target.c_str(), &parts)) return {};
  const Deadline deadline = start_deadline();

  Bytes body;
  ScopedNetHandle internet(os.InternetOpenA(
      kAgent, win::INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!internet) return body;
  ScopedNetHandle connection(os.InternetConnectA(
      internet.get(), parts.host, parts.port,
      parts.user[0] ? parts.user : nullptr,
      parts.password[0] ? parts.password : nullptr, win::INTERNET_SERVICE_HTTP,
      0, 0));
  if (!connection) return body;
  apply_timeouts(connection.get(), deadline);

  uint32_t flags = win::INTERNET_FLAG_RELOAD | win::INTERNET_FLAG_NO_CACHE_WRITE;
  if (parts.secure) flags |= win::INTERNET_FLAG_SECURE;
  const char* const accept[] = {"*/*", nullptr};
  ScopedNetHandle request(os.HttpOpenRequestA(
      connection.get(), "GET", parts.path[0] ? parts.path : "/", "HTTP/1.0",
      nullptr, accept, flags, 0));
  if (!request) return body;
  if (!os.HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return body;

  unsigned char piece[kPiece];
  while (remaining_ms(deadline) > 0) {
    // One receive at a time, so that the deadline is looked at between them.
    uint32_t ready = 0;
    if (!os.InternetQueryDataAvailable(request.get(), &ready, 0, 0) ||
        ready == 0)
      break;
    uint32_t got = 0;
    if (!os.InternetReadFile(request.get(), piece,
                             ready < kPiece ? ready : kPiece, &got) ||
        got == 0)
      break;
    const int32_t room = kMaxBodyBytes - bytes_len(body);
    const int32_t n = static_cast<int32_t>(got < kPiece ? got : kPiece);
    bytes_append(body, piece, n < room ? n : room);
    if (n >= room) break;
  }
  return body;
}

}  // namespace zl
