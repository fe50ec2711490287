#include "lookup/encyclopedia.h"

#include "text/extract.h"
#include "web/url.h"
#include "web/request.h"

namespace zl {
namespace {

// GBK literals; their UTF-8 reading is in the comment beside each.
constexpr char kNone[] = "\xce\xde";  // 无
constexpr char kFoundHeading[] =
    "[name]\xb0\xd9\xbf\xc6\xbd\xe1\xb9\xfb\xce\xaa\r\n";  // [name]百科结果为
constexpr char kNotFoundLead[] =
    "[name]\xc3\xbb\xd3\xd0\xd5\xd2\xb5\xbd\xb4\xcb\xc4\xda\xc8\xdd\"";  // [name]没有找到此内容"

}  // namespace

Text encyclopedia_url(const Text& keyword) {
  return text_concat({"http://" ZHILAN_ENCYCLOPEDIA_HOST "/search/word?word=",
                      url_escape_controls(keyword), "&pic=1&sug=1&enc=utf8"});
}

Text lookup_entry(const Text& keyword) {
  Text page;
  {
    const Text url = encyclopedia_url(keyword);
    page = web_request(url);
  }
  Text summary =
      text_between(page, "Description\" content=\"", "\" /><meta");
  if (text_compare(summary, "") == 0) return kNone;
  return summary;
}

Text not_found_reply(const Text& keyword) {
  return text_concat({kNotFoundLead, keyword, "\""});
}

Text format_lookup_reply(const Text& keyword, const Text&, const Text&,
                         const Text&, const Text&) {
  const Text entry = lookup_entry(keyword);
  if (text_compare(entry, kNone) == 0) return not_found_reply(keyword);
  return text_concat({kFoundHeading, entry});
}

}  // namespace zl
