#include "lookup/nickname.h"

#include <utility>

#include "text/extract.h"
#include "web/url.h"

namespace zl {

Text profile_url(const Text& number) {
  return text_concat(
      {"http://" ZHILAN_PROFILE_HOST "/fcg-bin/cgi_get_score.fcg?mask=7&uins=",
       url_escape_controls(number)});
}

NicknameReply fetch_nickname(Text& number) {
  const Text as_passed = number;
  Bytes answer;
  {
    const Text url = profile_url(number);
    answer = read_url(url);
  }
  number = bytes_to_text(std::move(answer));
  // Only a start marker followed by an end marker, with nothing between
  // them, is "present but empty"; that is told apart from "missing".
  const int32_t start = text_find(number, ",\"");
  const bool adjacent =
      start != -1 && text_find(number, "\",", start + 2) == start + 2;
  number = text_between(number, ",\"", "\",");

  NicknameReply reply;
  if (text_len(number) > kMaxNicknameBytes) {
    reply.text = as_passed;
  } else {
    reply.text = number;
    reply.as_null = adjacent;
  }
  return reply;
}

}  // namespace zl
