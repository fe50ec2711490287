#include "web/request.h"

#include <cstdint>
#include <utility>

#include "platform/platform.h"
#include "text/extract.h"
#include "web/cookies.h"
#include "web/decode.h"
#include "web/limits.h"
#include "web/url.h"

namespace zl {
namespace {

constexpr char kDefaultAgent[] =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; KARVO; "
    ".NET CLR 2.0.50727; .NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
constexpr int32_t kPiece = 1024;
constexpr int32_t kHeaderBuffer = 5000;

// A Text goes to WinInet as a C string, the empty one as a null pointer.
const char* c_str_or_null(const Text& t) {
  return t.empty() ? nullptr : t.c_str();
}

// CR and LF in the address would split the request line and the Referer
// line (WinInet sends both raw), letting an address smuggle header lines or
// a second request. They are percent-encoded like any other unsafe byte.
Text escape_line_breaks(const Text& url) {
  if (url.find_first_of("\r\n") == Text::npos) return url;
  Text out;
  out.reserve(url.size() + 8);
  for (char c : url) {
    if (c == '\r') {
      out += "%0D";
    } else if (c == '\n') {
      out += "%0A";
    } else {
      out += c;
    }
  }
  return out;
}

// The user agent the caller's header lines name: the trimmed rest of the
// line that holds the name (found in any case), up to its line break or the
// end of the block. Only that line: a value must never carry a line break
// into the agent string.
Text caller_agent(const Text& headers) {
  constexpr char kName[] = "User-Agent:";
  const int32_t at = text_find(headers, kName, std::nullopt, true);
  Text value = text_mid(headers, at + text_len(kName), text_len(headers));
  const size_t line_end = value.find("\r\n");
  if (line_end != Text::npos) value.resize(line_end);
  return text_trim(value);
}

void add_default_headers(Text& block, const Text& url, const Text& cookies) {
  if (text_find(block, "Referer:") == -1) {
    block = block.empty() ? text_concat({"Referer: ", url})
                          : text_concat({block, "\r\nReferer: ", url});
  }
  if (text_find(block, "Accept:") == -1) block += "\r\nAccept: */*";
  if (text_find(block, "Accept-Language:") == -1) {
    block += "\r\nAccept-Language: zh-cn";
  }
  if (text_find(block, "Content-Type:") == -1) {
    block += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  if (!cookies.empty()) block += text_concat({"\r\nCookie: ", cookies});
}

bool names_utf8(const Bytes& body, const Text& raw_headers) {
  static const Bytes kUtf8 = text_to_bytes("utf-8");
  const int32_t at = bytes_find(body, kUtf8);
  if (at >= 1 && at <= 499) return true;
  return text_find(raw_headers, "utf-8", std::nullopt, true) != -1;
}

NetHandle open_internet(const Text& agent, bool proxy_given,
                        const Text& proxy) {
  SysCalls& os = sys();
  if (proxy_given) {
    const Text proxy_list = text_concat({"http=", proxy});
    return os.InternetOpenA(c_str_or_null(agent), win::INTERNET_OPEN_TYPE_PROXY,
                            proxy_list.c_str(), "", 0);
  }
  return os.InternetOpenA(c_str_or_null(agent), win::INTERNET_OPEN_TYPE_DIRECT,
                          nullptr, nullptr, 0);
}

}  // namespace

Text web_request(const Text& url_in, const RequestOptions& options) {
  // An omitted parameter is a variable of the routine's own; follow-ups keep
  // using the same variables, so they carry over from one answer to the next.
  const Text own_post_text;
  Text own_cookies, own_received, own_request_headers, own_location, own_raw;
  Bytes own_post_bytes;
  const Text own_proxy;
  const Text& post_text = options.post_text ? *options.post_text : own_post_text;
  Text& cookies = options.cookies ? *options.cookies : own_cookies;
  Text& received_cookies =
      options.received_cookies ? *options.received_cookies : own_received;
  Text& request_headers =
      options.request_headers ? *options.request_headers : own_request_headers;
  Text& location = options.location ? *options.location : own_location;
  Bytes& post_bytes = options.post_bytes ? *options.post_bytes : own_post_bytes;
  const Text& proxy = options.proxy ? *options.proxy : own_proxy;
  Text& raw_headers = options.raw_headers ? *options.raw_headers : own_raw;
  const bool cookies_given = options.cookies != nullptr;
  const bool proxy_given = options.proxy != nullptr;

  SysCalls& os = sys();
  const char* const verb = options.method == 1 ? "POST" : "GET";
  // A copy: the caller's url may be one of the variables written below.
  Text url = escape_line_breaks(url_in);
  // One deadline for the whole call: follow-ups must not add up.
  const Deadline deadline = start_deadline();

  for (int follow_ups = 0;; ++follow_ups) {
    const Text agent =
        text_find(request_headers, "User-Agent:", std::nullopt, true) == -1
            ? Text(kDefaultAgent)
            : caller_agent(request_headers);

    // Every handle is closed on every way out, an exception included; the
    // normal path closes them explicitly, request first.
    ScopedNetHandle internet(open_internet(agent, proxy_given, proxy));
    if (!internet) return Text();

    // A port outside 0..65535 would be cut to some other port; there is no
    // such server to reach. (0 is WinInet's "the service's default".)
    const int32_t port = url_port(url);
    const Text host = url_host(url);
    ScopedNetHandle connection(
        port >= 0 && port <= 65535
            ? os.InternetConnectA(internet.get(), c_str_or_null(host),
                                  static_cast<uint16_t>(port), nullptr,
                                  nullptr, win::INTERNET_SERVICE_HTTP, 0, 0)
            : nullptr);
    if (!connection) return Text();
    // Wine's WinInet waits for ever by default; a server that accepts and
    // never answers would otherwise hold the host's thread for good.
    apply_timeouts(connection.get(), deadline);

    uint32_t flags = win::INTERNET_FLAG_RELOAD | win::INTERNET_FLAG_NEED_FILE;
    if (cookies_given) flags |= win::INTERNET_FLAG_NO_COOKIES;
    if (options.no_redirect != 0) flags |= win::INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (text_lower(text_left(url, 5)) == "https") {
      flags |= win::INTERNET_FLAG_SECURE;
    } else {
      flags |= win::INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    }
    const Text path = url_path(url);
    ScopedNetHandle request(os.HttpOpenRequestA(connection.get(), verb,
                                                c_str_or_null(path), "HTTP/1.1",
                                                nullptr, nullptr, flags, 0));
    if (!request) return Text();

    add_default_headers(request_headers, url, cookies);

    const uint32_t block_length =
        static_cast<uint32_t>(text_len(request_headers));
    if (options.method == 0) {
      os.HttpSendRequestA(request.get(), c_str_or_null(request_headers),
                          block_length, nullptr, 0);
    } else {
      if (post_bytes.empty()) post_bytes = text_to_bytes(post_text);
      os.HttpSendRequestA(request.get(), c_str_or_null(request_headers),
                          block_length,
                          post_bytes.empty() ? nullptr : post_bytes.data(),
                          static_cast<uint32_t>(bytes_len(post_bytes)));
    }

    Bytes body = read_body(request.get(), deadline, kPiece);

    raw_headers = blank_text(kHeaderBuffer);
    uint32_t header_length = kHeaderBuffer;
    os.HttpQueryInfoA(request.get(), win::HTTP_QUERY_RAW_HEADERS_CRLF,
                      raw_headers.data(), &header_length, nullptr);
    // The block is what the buffer holds up to its first NUL; a query that
    // wrote nothing leaves the spaces.
    const size_t nul = raw_headers.find('\0');
    if (nul != Text::npos) raw_headers.resize(nul);

    request.close();
    connection.close();
    internet.close();

    received_cookies.clear();
    bool answer_has_location = false;
    for (const Text& line : text_split(raw_headers, "\r\n")) {
      if (text_find(line, "Location:") != -1) {
        location = header_value(line);
        answer_has_location = !location.empty();
      }
      if (text_find(line, "Set-Cookie") != -1) {
        received_cookies += text_trim(text_between(line, "Set-Cookie:", ";"));
        received_cookies += "; ";
      }
    }
    received_cookies =
        text_left(received_cookies, text_len(received_cookies) - 2);
    if (cookies_given) merge_cookies(cookies, received_cookies);
    if (location.empty()) location = raw_headers;

    // Only an answer that names where to go is followed: without a Location
    // line the "address" would be the header block itself (or whatever the
    // caller left in `location`). Past the deadline, or after the last
    // allowed follow-up, the answer is taken as it is.
    const bool moved =
        text_compare(text_between(raw_headers, "HTTP/1.1 ", " Moved"), "301") ==
        0;
    if (moved && answer_has_location && follow_ups < kMaxMovedFollowUps &&
        remaining_ms(deadline) > 0) {
      url = escape_line_breaks(text_concat({location, path}));
      location.clear();
      continue;
    }

    if (names_utf8(body, raw_headers)) {
      // Assigning frees the raw body as soon as the converted one exists.
      body = utf8_to_gbk(body);
    }
    return bytes_to_text(std::move(body));
  }
}

}  // namespace zl
