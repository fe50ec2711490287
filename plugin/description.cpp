#include "plugin/description.h"

namespace zl {

Text describe_plugin() {
  // GBK bytes; the UTF-8 reading of each line is in the comment beside it.
  Text t;
  t = text_concat({t, "\xd6\xaa\xc0\xbd", "\r\n"});            // 知澜
  t = text_concat({t, "1.0", "\r\n"});
  t = text_concat({t, "\xce\xad\xd6\xdb", "\r\n"});            // 苇舟
  t = text_concat({t, "#\xb0\xd9\xbf\xc6+\xc4\xda\xc8\xdd", "\r\n"});  // #百科+内容
  t = text_concat({t, "#\xb0\xd9\xbf\xc6", "\r\n"});           // #百科
  t = text_concat({t, " \xc4\xda\xc8\xdd", "\r\n"});           // " 内容"
  t = text_concat({t, "", "\r\n"});
  t = text_concat({t, "\xd6\xaa\xc0\xbd", "\r\n"});            // 知澜
  t = text_concat({t, "1", "\r\n"});
  t = text_concat({t, "\xbc\xd9", "\r\n"});                    // 假
  return t;
}

}  // namespace zl
