// The one seam between the plug-in and the operating system.
//
// Every WinInet and code-page call the plug-in makes goes through the table
// returned by sys(). On Windows its entries forward to the real functions of
// wininet.dll and kernel32.dll (platform/win); in native builds they are a
// scripted stand-in (platform/native). A test may replace any single entry
// and must put the table back (see ScopedSys in platform/native/fake.h).
//
// The entries carry the real functions' names and argument order, with
// plain C types in place of the Windows typedefs: handles are void*, DWORD
// is uint32_t, BOOL is bool, and the wide-character type is char16_t.
#ifndef ZHILAN_PLATFORM_PLATFORM_H_
#define ZHILAN_PLATFORM_PLATFORM_H_

#include <cstdint>

namespace zl {

using NetHandle = void*;

// Values fixed by the WinInet and kernel32 interfaces. The SDK headers define
// the same names as macros: a file that needs both includes this header
// first and takes the values it needs before <windows.h> (platform/win).
namespace win {
inline constexpr uint32_t INTERNET_OPEN_TYPE_PRECONFIG = 0;
inline constexpr uint32_t INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr uint32_t INTERNET_OPEN_TYPE_PROXY = 3;
inline constexpr uint32_t INTERNET_SERVICE_HTTP = 3;
inline constexpr uint16_t INTERNET_DEFAULT_HTTP_PORT = 80;
inline constexpr uint16_t INTERNET_DEFAULT_HTTPS_PORT = 443;

inline constexpr uint32_t INTERNET_FLAG_RELOAD = 0x80000000u;
inline constexpr uint32_t INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000u;
inline constexpr uint32_t INTERNET_FLAG_SECURE = 0x00800000u;
inline constexpr uint32_t INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000u;
inline constexpr uint32_t INTERNET_FLAG_NO_COOKIES = 0x00080000u;
inline constexpr uint32_t INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000u;
inline constexpr uint32_t INTERNET_FLAG_NEED_FILE = 0x00000010u;

inline constexpr uint32_t HTTP_QUERY_RAW_HEADERS_CRLF = 22;

inline constexpr uint32_t INTERNET_OPTION_CONNECT_TIMEOUT = 2;
inline constexpr uint32_t INTERNET_OPTION_SEND_TIMEOUT = 5;
inline constexpr uint32_t INTERNET_OPTION_RECEIVE_TIMEOUT = 6;

inline constexpr uint32_t CP_UTF8 = 65001;
inline constexpr uint32_t CP_GBK = 936;
inline constexpr uint32_t WC_COMPOSITECHECK = 0x200;
}  // namespace win

// The parts of a URL as the platform's URL parser splits it. Empty fields
// are empty strings; the strings live in the caller's buffers.
struct UrlParts {
  bool secure = false;   // scheme is https
  uint16_t port = 0;     // explicit or the scheme's default
  char host[256] = {};
  char user[256] = {};
  char password[256] = {};
  char path[4096] = {};  // path, query included
};

struct SysCalls {
  NetHandle (*InternetOpenA)(const char* agent, uint32_t access_type,
                             const char* proxy, const char* proxy_bypass,
                             uint32_t flags);
  NetHandle (*InternetConnectA)(NetHandle internet, const char* server,
                                uint16_t port, const char* user,
                                const char* password, uint32_t service,
                                uint32_t flags, uintptr_t context);
  NetHandle (*HttpOpenRequestA)(NetHandle connection, const char* verb,
                                const char* object, const char* version,
                                const char* referrer,
                                const char* const* accept_types,
                                uint32_t flags, uintptr_t context);
  bool (*HttpSendRequestA)(NetHandle request, const char* headers,
                           uint32_t headers_length, const void* optional,
                           uint32_t optional_length);
  bool (*InternetReadFile)(NetHandle request, void* buffer,
                           uint32_t bytes_to_read, uint32_t* bytes_read);
  // Waits for at most one receive and tells how many bytes can be read at
  // once; 0 at the end of the body.
  bool (*InternetQueryDataAvailable)(NetHandle request, uint32_t* available,
                                     uint32_t flags, uintptr_t context);
  bool (*HttpQueryInfoA)(NetHandle request, uint32_t info_level,
                         void* buffer, uint32_t* buffer_length,
                         uint32_t* index);
  bool (*InternetCloseHandle)(NetHandle handle);
  bool (*InternetSetOptionA)(NetHandle handle, uint32_t option,
                             const void* buffer, uint32_t buffer_length);
  // InternetCrackUrlA, reduced to the fields the plug-in reads.
  bool (*InternetCrackUrlA)(const char* url, UrlParts* parts);
  int (*MultiByteToWideChar)(uint32_t code_page, uint32_t flags,
                             const char* input, int input_length,
                             char16_t* output, int output_length);
  int (*WideCharToMultiByte)(uint32_t code_page, uint32_t flags,
                             const char16_t* input, int input_length,
                             char* output, int output_length,
                             const char* default_char, bool* used_default);
  // Milliseconds since some start; wraps after 49 days (compare differences).
  uint32_t (*GetTickCount)();
};

// The table in force. Never null.
SysCalls& sys();

// The table as the platform layer set it up, for restoring entries.
const SysCalls& default_sys();

}  // namespace zl

#endif  // ZHILAN_PLATFORM_PLATFORM_H_
