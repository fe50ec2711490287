// The native stand-in for WinInet and the kernel32 code-page calls.
//
// Native builds point sys() at the functions below. The network part answers
// from a script of exchanges and records every call with copies of its
// arguments; the code-page part converts with iconv and records its calls as
// well. Tests drive it like this:
//
//   zl::fake::reset();                       // empty script, empty log
//   zl::fake::Exchange& e = zl::fake::add_exchange();
//   e.headers = "HTTP/1.1 200 OK\r\n\r\n";
//   e.body = {'h', 'i'};
//   ... run the code under test ...
//   const zl::fake::Log& log = zl::fake::log();
//   EXPECT_EQ(log.sends[0].headers, "...");
//   EXPECT_TRUE(zl::fake::problems().empty());
//
// Exchanges are taken in order, one per HttpOpenRequestA. When the script
// runs out, the last exchange answers again (a script of one 301 answer
// therefore redirects for ever); with no script at all every request gets
// default_exchange(). A failure of InternetOpenA or InternetConnectA uses up
// the exchange that would have come next, so a script can make the second
// of two lookups fail to connect.
//
// The stand-in checks how it is driven: a call on a handle that is unknown,
// already closed or of the wrong kind, a second close, a read or header
// query before the send, and a null count pointer are written to problems()
// (the call then fails as the real one would). Closing a handle closes the
// handles opened from it, as WinInet does.
#ifndef ZHILAN_PLATFORM_NATIVE_FAKE_H_
#define ZHILAN_PLATFORM_NATIVE_FAKE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace zl {

// Puts back, on destruction, the table that was in force on construction,
// so a test can replace single entries of sys() without leaking them.
class ScopedSys {
 public:
  ScopedSys() : saved_(sys()) {}
  ~ScopedSys() { sys() = saved_; }
  ScopedSys(const ScopedSys&) = delete;
  ScopedSys& operator=(const ScopedSys&) = delete;

 private:
  SysCalls saved_;
};

namespace fake {

using ByteString = std::vector<unsigned char>;
// A string argument as passed: nullopt for a null pointer.
using Arg = std::optional<std::string>;

// What one request meets, from opening the internet handle to the last read.
struct Exchange {
  bool fail_open = false;      // InternetOpenA gives null
  bool fail_connect = false;   // InternetConnectA gives null
  bool fail_request = false;   // HttpOpenRequestA gives null
  // HttpSendRequestA fails (host unreachable): every read then fails with a
  // count of 0 and the header query fails without writing.
  bool fail_send = false;
  // The raw header block (status line, lines ended by CR LF, empty line).
  // HTTP_QUERY_RAW_HEADERS_CRLF delivers it NUL-terminated when the buffer
  // holds it and its NUL; otherwise the query fails, writes nothing and sets
  // the length to the size needed. nullopt: the query fails.
  std::optional<std::string> headers = std::string("HTTP/1.1 200 OK\r\n\r\n");
  ByteString body;
  // Sizes of the successive reads; each is further cut to what the caller
  // asked for and to what is left. Once the list is used up (or when it is
  // empty) a read delivers as much as asked.
  std::vector<uint32_t> pieces;
  // The read with this 0-based number fails (false, count 0); -1: none.
  int fail_read_at = -1;
  // How far the stand-in's clock (GetTickCount) moves on during the send
  // and during each read, to play a slow server without waiting.
  uint32_t send_ms = 0;
  uint32_t read_ms = 0;
};

// The exchange a request gets when nothing is scripted: 200, empty body.
Exchange default_exchange();

// Clears the script, the log, the handle table and problems(), and puts the
// crack-fails switch back. Check open_handles() and problems() before it.
void reset();

// Appends an exchange to the script and returns it for filling in. The
// reference stays valid until the next add_exchange() or reset().
Exchange& add_exchange(Exchange exchange = default_exchange());

// InternetCrackUrlA fails for every URL while this is set.
void set_crack_fails(bool fails);

// The stand-in's clock, in milliseconds; reset() leaves it where it is, and
// it moves only through set_now() and the exchanges' send_ms and read_ms.
uint32_t now();
void set_now(uint32_t ms);

// --- The log ---------------------------------------------------------------

struct OpenCall {
  Arg agent;
  uint32_t access_type = 0;
  Arg proxy;
  Arg proxy_bypass;
  uint32_t flags = 0;
  NetHandle result = nullptr;
};

struct ConnectCall {
  NetHandle internet = nullptr;
  Arg server;
  uint16_t port = 0;
  Arg user;
  Arg password;
  uint32_t service = 0;
  uint32_t flags = 0;
  uintptr_t context = 0;
  NetHandle result = nullptr;
};

struct RequestCall {
  NetHandle connection = nullptr;
  Arg verb;
  Arg object;
  Arg version;
  Arg referrer;
  std::optional<std::vector<std::string>> accept_types;  // null list: nullopt
  uint32_t flags = 0;
  uintptr_t context = 0;
  NetHandle result = nullptr;
  int exchange = -1;  // 0-based script index answering it, -1 for default
};

struct SendCall {
  NetHandle request = nullptr;
  bool headers_null = true;
  std::string headers;  // the block as passed: its length, or up to NUL for -1
  uint32_t headers_length = 0;
  bool optional_null = true;
  ByteString optional;  // optional_length bytes
  uint32_t optional_length = 0;
  bool result = false;
};

struct ReadCall {
  NetHandle request = nullptr;
  uint32_t bytes_to_read = 0;
  uint32_t bytes_read = 0;
  bool result = false;
};

struct QueryCall {
  NetHandle request = nullptr;
  uint32_t info_level = 0;
  bool buffer_null = true;
  uint32_t length_in = 0;   // *buffer_length on entry (0 when null)
  uint32_t length_out = 0;  // *buffer_length on return
  bool index_null = true;
  bool result = false;
};

enum class HandleKind { kInternet, kConnection, kRequest, kUnknown };

struct CloseCall {
  NetHandle handle = nullptr;
  HandleKind kind = HandleKind::kUnknown;
  bool result = false;
};

struct SetOptionCall {
  NetHandle handle = nullptr;
  uint32_t option = 0;
  ByteString value;  // buffer_length bytes
  uint32_t buffer_length = 0;
  bool result = false;
};

struct CrackCall {
  Arg url;
  bool result = false;
  UrlParts parts;  // what was filled in on success
};

struct MultiByteCall {
  uint32_t code_page = 0;
  uint32_t flags = 0;
  bool input_null = true;
  ByteString input;  // the bytes read: input_length, or up to NUL incl. for -1
  int input_length = 0;
  bool output_null = true;
  int output_length = 0;
  int result = 0;
};

struct WideCharCall {
  uint32_t code_page = 0;
  uint32_t flags = 0;
  bool input_null = true;
  std::u16string input;
  int input_length = 0;
  bool output_null = true;
  int output_length = 0;
  bool default_char_null = true;
  bool used_default_null = true;
  int result = 0;
};

struct Log {
  // Names of all calls, in the order they were made.
  std::vector<std::string> sequence;
  std::vector<OpenCall> opens;
  std::vector<ConnectCall> connects;
  std::vector<RequestCall> requests;
  std::vector<SendCall> sends;
  std::vector<ReadCall> reads;
  // What each InternetQueryDataAvailable answered (0 after a failure too).
  std::vector<uint32_t> available;
  std::vector<QueryCall> queries;
  std::vector<CloseCall> closes;
  std::vector<SetOptionCall> options;
  std::vector<CrackCall> cracks;
  std::vector<MultiByteCall> multi_byte;
  std::vector<WideCharCall> wide_char;
};

const Log& log();

// Misuse seen since the last reset(), one sentence each.
const std::vector<std::string>& problems();

// Handles opened and not yet closed.
int open_handles();

// --- The stand-in functions (what the native table points at) --------------

NetHandle InternetOpenA(const char* agent, uint32_t access_type,
                        const char* proxy, const char* proxy_bypass,
                        uint32_t flags);
NetHandle InternetConnectA(NetHandle internet, const char* server,
                           uint16_t port, const char* user,
                           const char* password, uint32_t service,
                           uint32_t flags, uintptr_t context);
NetHandle HttpOpenRequestA(NetHandle connection, const char* verb,
                           const char* object, const char* version,
                           const char* referrer,
                           const char* const* accept_types, uint32_t flags,
                           uintptr_t context);
bool HttpSendRequestA(NetHandle request, const char* headers,
                      uint32_t headers_length, const void* optional,
                      uint32_t optional_length);
bool InternetReadFile(NetHandle request, void* buffer, uint32_t bytes_to_read,
                      uint32_t* bytes_read);
// The size of the next scripted piece (or the rest of the body); fails as
// the next read would.
bool InternetQueryDataAvailable(NetHandle request, uint32_t* available,
                                uint32_t flags, uintptr_t context);
bool HttpQueryInfoA(NetHandle request, uint32_t info_level, void* buffer,
                    uint32_t* buffer_length, uint32_t* index);
bool InternetCloseHandle(NetHandle handle);
bool InternetSetOptionA(NetHandle handle, uint32_t option, const void* buffer,
                        uint32_t buffer_length);
// scheme://[user[:password]@]host[:port][/path][?query][#fragment]; the
// fragment is dropped. Fails without "://", with an empty host, a port that
// is not a number in 1..65535, or a part too long for its UrlParts field.
bool InternetCrackUrlA(const char* url, UrlParts* parts);

// Code pages 65001 and 936 (CP_ACP, 0, is taken as 936). A null output or a
// size of 0 asks for the size; an output too small fails with 0 and writes
// nothing. Input length -1 means NUL-terminated, the NUL included.
// Ill-formed UTF-8 gives U+FFFD per bad byte; a character that 936 lacks
// gives '?'. WC_COMPOSITECHECK is accepted but no composition is done.
int MultiByteToWideChar(uint32_t code_page, uint32_t flags, const char* input,
                        int input_length, char16_t* output, int output_length);
int WideCharToMultiByte(uint32_t code_page, uint32_t flags,
                        const char16_t* input, int input_length, char* output,
                        int output_length, const char* default_char,
                        bool* used_default);

uint32_t GetTickCount();

}  // namespace fake
}  // namespace zl

#endif  // ZHILAN_PLATFORM_NATIVE_FAKE_H_
