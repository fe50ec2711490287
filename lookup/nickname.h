// Nickname lookup: QQ number in, nickname out.
#ifndef ZHILAN_LOOKUP_NICKNAME_H_
#define ZHILAN_LOOKUP_NICKNAME_H_

#include "text/text.h"

namespace zl {

// The longest field returned as a nickname; longer ones give the number.
inline constexpr int32_t kMaxNicknameBytes = 23;

// What the nickname export hands back. An empty field found between two
// adjacent markers goes back as a null pointer (as_null); a missing field
// as a pointer to an empty string.
struct NicknameReply {
  Text text;
  bool as_null = false;
};

// The profile URL: "http://" + the profile host +
// "/fcg-bin/cgi_get_score.fcg?mask=7&uins=" + number, with only the
// number's control bytes percent-encoded (url_escape_controls).
Text profile_url(const Text& number);

// Reads the profile answer for `number` and takes the field between the
// first `,"` and the next `",` (ASCII case ignored) from the bytes before
// any 0 byte. A field of more than kMaxNicknameBytes bytes gives the number
// as passed in. `number` is the working variable: on return it holds the
// extracted field.
NicknameReply fetch_nickname(Text& number);

// The body of a GET of `url` as it arrived, or empty bytes.
//   Empty url: empty at once, no network. Everything from the first '#' is
//   cut off. HTTP/1.0, user agent "Mozilla/4.0 (compatible; MSIE 6.0;
//   Windows NT 5.0)", "Accept: */*", fetched afresh and not cached, TLS for
//   https, the system's proxy settings, user and password from the URL,
//   redirects followed by WinInet, status never examined. A read failing
//   part-way keeps what was read.
Bytes read_url(const Text& url);

}  // namespace zl

#endif  // ZHILAN_LOOKUP_NICKNAME_H_
