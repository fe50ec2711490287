// One HTTP or HTTPS exchange through WinInet (or the native stand-in).
#ifndef ZHILAN_WEB_REQUEST_H_
#define ZHILAN_WEB_REQUEST_H_

#include <cstdint>

#include "text/text.h"

namespace zl {

// The optional parameters of web_request. A pointer parameter that is null
// was omitted; a non-null one is "given" and refers to the caller's variable,
// which the routine reads and, for out and in/out parameters, writes. An
// omitted parameter acts as an empty variable of the routine's own.
// Only the given-marks of `cookies` and `proxy` change what is done.
struct RequestOptions {
  int32_t method = 0;                 // 1: POST; anything else: GET
  const Text* post_text = nullptr;    // in: body, when *post_bytes is empty
  Text* cookies = nullptr;            // in/out: sent; then merged (given)
  Text* received_cookies = nullptr;   // out: what the responses set
  Text* request_headers = nullptr;    // in/out: caller's lines; the sent block
  Text* location = nullptr;           // in/out: Location value, see below
  int32_t no_redirect = 0;            // non-zero: WinInet must not follow
  Bytes* post_bytes = nullptr;        // in/out: body as bytes
  const Text* proxy = nullptr;        // in: HTTP proxy (given: proxy mode)
  Text* raw_headers = nullptr;        // out: raw response header block
};

// Fetches `url` and returns its body, converted from UTF-8 to GBK when the
// body names "utf-8" at byte 1..499 or the headers name it in any case.
//   Returns the empty text, writing no caller variable, when the internet
//   handle, the connection or the request cannot be opened. A failed send or
//   read is not reported: the body ends where it stands.
//   A "HTTP/1.1 301 Moved" answer that carries a Location line is followed
//   at `location` + the old path with the same variables (and given-marks),
//   at most 10 times in a row; the 11th such answer is handled as an
//   ordinary one. An empty `location` that no header line set receives a
//   copy of the raw header block.
//   The user agent is the default one, or the value of the caller's
//   "User-Agent:" line (name in any case). CR and LF in the address go out
//   percent-encoded.
//   Limits (web/limits.h): connect, send and receive timeouts on every
//   exchange; one deadline of kCallBudgetMs for the whole call, past which
//   the body stops growing and no follow-up starts; at most kMaxBodyBytes of
//   a body kept. Handles are closed on every way out, exceptions included.
Text web_request(const Text& url, const RequestOptions& options = {});

// The most consecutive "301" follow-ups of one web_request call.
inline constexpr int kMaxMovedFollowUps = 10;

}  // namespace zl

#endif  // ZHILAN_WEB_REQUEST_H_
