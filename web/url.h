// URL decomposition for the request routine. Works on the text alone and
// never fails: any text yields a host, a port and a path. A URL that does not
// start with "https://" (any case) is read as "http://".
#ifndef ZHILAN_WEB_URL_H_
#define ZHILAN_WEB_URL_H_

#include <cstdint>
#include <string_view>

#include "text/text.h"

namespace zl {

// Lower-case host: what lies between the scheme and the next '/'. A query
// not preceded by '/' stays part of the host ("http://a.b?x=1" -> "a.b?x=1").
// Without a scheme the text is prefixed with "http://" only when it holds no
// "http://" anywhere, so "a.b/?u=http://c.d/x" gives "c.d".
//   two_labels: keep only the last two dot-separated labels (textual, so
//   "10.0.0.1" gives "0.1"); done before the port is cut.
//   keep_port: keep ":port" after the name.
Text url_host(std::string_view url, bool two_labels = false,
              bool keep_port = false);

// The number after the last ':' of the host (with its port), read by
// text_to_int; otherwise 443 when the URL starts with "https" (any case)
// and 80.
int32_t url_port(std::string_view url);

// From the first '/' at or after the host to the end, in the URL's own case;
// "/" when there is none. The host is looked for (case ignored) after a
// leading "http://" or "https://", so a host that also occurs inside the
// scheme ("http://t/x") still gives its own path ("/x").
Text url_path(std::string_view url);

// `text` with every control byte (0x00-0x1F and 0x7F) written as "%XX"
// (upper-case hex); every other byte, GBK pairs included, unchanged. Text
// from the chat goes through this before it becomes part of a URL, so that a
// CR or LF cannot add, split or end a line of the request. GBK second bytes
// are never control bytes, so no character is cut.
Text url_escape_controls(std::string_view text);

}  // namespace zl

#endif  // ZHILAN_WEB_URL_H_
