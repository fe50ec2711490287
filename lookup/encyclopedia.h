// Encyclopedia lookup: keyword in, chat-ready reply out.
#ifndef ZHILAN_LOOKUP_ENCYCLOPEDIA_H_
#define ZHILAN_LOOKUP_ENCYCLOPEDIA_H_

#include "text/text.h"

namespace zl {

// The search URL for `keyword`: "http://" + the encyclopedia host +
// "/search/word?word=" + keyword + "&pic=1&sug=1&enc=utf8". The keyword goes
// in as raw GBK; only its control bytes are percent-encoded
// (url_escape_controls).
Text encyclopedia_url(const Text& keyword);

// The entry's summary: what the fetched search page holds between
// `Description" content="` and `" /><meta` (ASCII case ignored), untouched.
// "无" (GBK CE DE) when the summary is empty or cannot be had.
Text lookup_entry(const Text& keyword);

// The reply for a keyword without an entry:
// "[name]没有找到此内容\"" + keyword + "\"". No line break.
Text not_found_reply(const Text& keyword);

// "[name]百科结果为\r\n" + summary, or, when lookup_entry gives "无",
// "[name]没有找到此内容\"" + keyword + "\"". Only `keyword` is read.
Text format_lookup_reply(const Text& keyword, const Text& unused2,
                         const Text& unused3, const Text& unused4,
                         const Text& unused5);

}  // namespace zl

#endif  // ZHILAN_LOOKUP_ENCYCLOPEDIA_H_
