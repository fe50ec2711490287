// The Windows table: thin wrappers over wininet.dll and kernel32.dll that
// only translate between the seam's plain types and the SDK's typedefs.
// The seam's constants carry the SDK's names, which the SDK headers define
// as macros; take their values before those headers are read.
#include "platform/platform.h"

namespace zl {
namespace seam {
#define ZL_SEAM_VALUE(name) inline constexpr auto name##_ = win::name;
ZL_SEAM_VALUE(INTERNET_OPEN_TYPE_PRECONFIG)
ZL_SEAM_VALUE(INTERNET_OPEN_TYPE_DIRECT)
ZL_SEAM_VALUE(INTERNET_OPEN_TYPE_PROXY)
ZL_SEAM_VALUE(INTERNET_SERVICE_HTTP)
ZL_SEAM_VALUE(INTERNET_DEFAULT_HTTP_PORT)
ZL_SEAM_VALUE(INTERNET_DEFAULT_HTTPS_PORT)
ZL_SEAM_VALUE(INTERNET_FLAG_RELOAD)
ZL_SEAM_VALUE(INTERNET_FLAG_NO_CACHE_WRITE)
ZL_SEAM_VALUE(INTERNET_FLAG_SECURE)
ZL_SEAM_VALUE(INTERNET_FLAG_NO_AUTO_REDIRECT)
ZL_SEAM_VALUE(INTERNET_FLAG_NO_COOKIES)
ZL_SEAM_VALUE(INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS)
ZL_SEAM_VALUE(INTERNET_FLAG_NEED_FILE)
ZL_SEAM_VALUE(HTTP_QUERY_RAW_HEADERS_CRLF)
ZL_SEAM_VALUE(INTERNET_OPTION_CONNECT_TIMEOUT)
ZL_SEAM_VALUE(INTERNET_OPTION_SEND_TIMEOUT)
ZL_SEAM_VALUE(INTERNET_OPTION_RECEIVE_TIMEOUT)
ZL_SEAM_VALUE(CP_UTF8)
ZL_SEAM_VALUE(WC_COMPOSITECHECK)
#undef ZL_SEAM_VALUE
}  // namespace seam
}  // namespace zl

#include <windows.h>
#include <wininet.h>

#include <cstring>

namespace zl {

static_assert(seam::INTERNET_OPEN_TYPE_PRECONFIG_ == INTERNET_OPEN_TYPE_PRECONFIG);
static_assert(seam::INTERNET_OPEN_TYPE_DIRECT_ == INTERNET_OPEN_TYPE_DIRECT);
static_assert(seam::INTERNET_OPEN_TYPE_PROXY_ == INTERNET_OPEN_TYPE_PROXY);
static_assert(seam::INTERNET_SERVICE_HTTP_ == INTERNET_SERVICE_HTTP);
static_assert(seam::INTERNET_DEFAULT_HTTP_PORT_ == INTERNET_DEFAULT_HTTP_PORT);
static_assert(seam::INTERNET_DEFAULT_HTTPS_PORT_ == INTERNET_DEFAULT_HTTPS_PORT);
static_assert(seam::INTERNET_FLAG_RELOAD_ == INTERNET_FLAG_RELOAD);
static_assert(seam::INTERNET_FLAG_NO_CACHE_WRITE_ == INTERNET_FLAG_NO_CACHE_WRITE);
static_assert(seam::INTERNET_FLAG_SECURE_ == INTERNET_FLAG_SECURE);
static_assert(seam::INTERNET_FLAG_NO_AUTO_REDIRECT_ == INTERNET_FLAG_NO_AUTO_REDIRECT);
static_assert(seam::INTERNET_FLAG_NO_COOKIES_ == INTERNET_FLAG_NO_COOKIES);
static_assert(seam::INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS_ == INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS);
static_assert(seam::INTERNET_FLAG_NEED_FILE_ == INTERNET_FLAG_NEED_FILE);
static_assert(seam::HTTP_QUERY_RAW_HEADERS_CRLF_ == HTTP_QUERY_RAW_HEADERS_CRLF);
static_assert(seam::INTERNET_OPTION_CONNECT_TIMEOUT_ == INTERNET_OPTION_CONNECT_TIMEOUT);
static_assert(seam::INTERNET_OPTION_SEND_TIMEOUT_ == INTERNET_OPTION_SEND_TIMEOUT);
static_assert(seam::INTERNET_OPTION_RECEIVE_TIMEOUT_ == INTERNET_OPTION_RECEIVE_TIMEOUT);
static_assert(seam::CP_UTF8_ == CP_UTF8);
static_assert(seam::WC_COMPOSITECHECK_ == WC_COMPOSITECHECK);
static_assert(sizeof(wchar_t) == sizeof(char16_t),
              "UTF-16 code units pass as WCHAR");
static_assert(sizeof(DWORD) == sizeof(uint32_t));
static_assert(sizeof(DWORD_PTR) == sizeof(uintptr_t));

namespace {

NetHandle open_internet(const char* agent, uint32_t access_type,
                        const char* proxy, const char* proxy_bypass,
                        uint32_t flags) {
  return ::InternetOpenA(agent, access_type, proxy, proxy_bypass, flags);
}

NetHandle connect(NetHandle internet, const char* server, uint16_t port,
                  const char* user, const char* password, uint32_t service,
                  uint32_t flags, uintptr_t context) {
  return ::InternetConnectA(static_cast<HINTERNET>(internet), server, port,
                            user, password, service, flags, context);
}

NetHandle open_request(NetHandle connection, const char* verb,
                       const char* object, const char* version,
                       const char* referrer, const char* const* accept_types,
                       uint32_t flags, uintptr_t context) {
  // The SDK takes the list as non-const but only reads it.
  return ::HttpOpenRequestA(static_cast<HINTERNET>(connection), verb, object,
                            version, referrer,
                            const_cast<LPCSTR*>(accept_types), flags, context);
}

bool send_request(NetHandle request, const char* headers,
                  uint32_t headers_length, const void* optional,
                  uint32_t optional_length) {
  return ::HttpSendRequestA(static_cast<HINTERNET>(request), headers,
                            headers_length, const_cast<void*>(optional),
                            optional_length) != FALSE;
}

bool read_file(NetHandle request, void* buffer, uint32_t bytes_to_read,
               uint32_t* bytes_read) {
  DWORD read = 0;
  const BOOL ok = ::InternetReadFile(static_cast<HINTERNET>(request), buffer,
                                     bytes_to_read, &read);
  if (bytes_read) *bytes_read = read;
  return ok != FALSE;
}

bool query_available(NetHandle request, uint32_t* available, uint32_t flags,
                     uintptr_t context) {
  DWORD n = 0;
  const BOOL ok = ::InternetQueryDataAvailable(static_cast<HINTERNET>(request),
                                               &n, flags, context);
  if (available) *available = n;
  return ok != FALSE;
}

bool query_info(NetHandle request, uint32_t info_level, void* buffer,
                uint32_t* buffer_length, uint32_t* index) {
  DWORD length = buffer_length ? *buffer_length : 0;
  DWORD at = index ? *index : 0;
  const BOOL ok =
      ::HttpQueryInfoA(static_cast<HINTERNET>(request), info_level, buffer,
                       buffer_length ? &length : nullptr, index ? &at : nullptr);
  if (buffer_length) *buffer_length = length;
  if (index) *index = at;
  return ok != FALSE;
}

bool close_handle(NetHandle handle) {
  return ::InternetCloseHandle(static_cast<HINTERNET>(handle)) != FALSE;
}

bool set_option(NetHandle handle, uint32_t option, const void* buffer,
                uint32_t buffer_length) {
  return ::InternetSetOptionA(static_cast<HINTERNET>(handle), option,
                              const_cast<void*>(buffer),
                              buffer_length) != FALSE;
}

bool crack_url(const char* url, UrlParts* parts) {
  if (!url || !parts) return false;
  UrlParts out;
  char extra[sizeof out.path] = {};
  URL_COMPONENTSA c;
  std::memset(&c, 0, sizeof c);
  c.dwStructSize = sizeof c;
  c.lpszHostName = out.host;
  c.dwHostNameLength = sizeof out.host;
  c.lpszUserName = out.user;
  c.dwUserNameLength = sizeof out.user;
  c.lpszPassword = out.password;
  c.dwPasswordLength = sizeof out.password;
  c.lpszUrlPath = out.path;
  c.dwUrlPathLength = sizeof out.path;
  c.lpszExtraInfo = extra;
  c.dwExtraInfoLength = sizeof extra;
  // Fields longer than their buffers make the call fail, so each one comes
  // back NUL-terminated.
  if (!::InternetCrackUrlA(url, 0, 0, &c)) return false;
  const size_t path_len = std::strlen(out.path);
  const size_t extra_len = std::strlen(extra);
  if (path_len + extra_len + 1 > sizeof out.path) return false;
  std::memcpy(out.path + path_len, extra, extra_len + 1);
  out.port = c.nPort;
  out.secure = c.nScheme == INTERNET_SCHEME_HTTPS;
  *parts = out;
  return true;
}

int multi_byte_to_wide(uint32_t code_page, uint32_t flags, const char* input,
                       int input_length, char16_t* output, int output_length) {
  return ::MultiByteToWideChar(code_page, flags, input, input_length,
                               reinterpret_cast<LPWSTR>(output),
                               output_length);
}

int wide_to_multi_byte(uint32_t code_page, uint32_t flags,
                       const char16_t* input, int input_length, char* output,
                       int output_length, const char* default_char,
                       bool* used_default) {
  BOOL used = FALSE;
  const int n = ::WideCharToMultiByte(
      code_page, flags, reinterpret_cast<LPCWSTR>(input), input_length, output,
      output_length, default_char, used_default ? &used : nullptr);
  if (used_default) *used_default = used != FALSE;
  return n;
}

uint32_t tick_count() { return ::GetTickCount(); }

SysCalls windows_table() {
  SysCalls t{};
  t.InternetOpenA = open_internet;
  t.InternetConnectA = connect;
  t.HttpOpenRequestA = open_request;
  t.HttpSendRequestA = send_request;
  t.InternetReadFile = read_file;
  t.InternetQueryDataAvailable = query_available;
  t.HttpQueryInfoA = query_info;
  t.InternetCloseHandle = close_handle;
  t.InternetSetOptionA = set_option;
  t.InternetCrackUrlA = crack_url;
  t.MultiByteToWideChar = multi_byte_to_wide;
  t.WideCharToMultiByte = wide_to_multi_byte;
  t.GetTickCount = tick_count;
  return t;
}

}  // namespace

const SysCalls& default_sys() {
  static const SysCalls table = windows_table();
  return table;
}

SysCalls& sys() {
  static SysCalls table = default_sys();
  return table;
}

}  // namespace zl
