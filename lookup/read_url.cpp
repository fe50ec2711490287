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

  ScopedNetHandle internet(os.InternetOpenA(
      kAgent, win::INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!internet) return {};
  ScopedNetHandle connection(os.InternetConnectA(
      internet.get(), parts.host, parts.port,
      parts.user[0] ? parts.user : nullptr,
      parts.password[0] ? parts.password : nullptr, win::INTERNET_SERVICE_HTTP,
      0, 0));
  if (!connection) return {};
  apply_timeouts(connection.get(), deadline);

  uint32_t flags = win::INTERNET_FLAG_RELOAD | win::INTERNET_FLAG_NO_CACHE_WRITE;
  if (parts.secure) flags |= win::INTERNET_FLAG_SECURE;
  const char* const accept[] = {"*/*", nullptr};
  ScopedNetHandle request(os.HttpOpenRequestA(
      connection.get(), "GET", parts.path[0] ? parts.path : "/", "HTTP/1.0",
      nullptr, accept, flags, 0));
  if (!request) return {};
  if (!os.HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return {};
  return read_body(request.get(), deadline, kPiece);
}

}  // namespace zl
