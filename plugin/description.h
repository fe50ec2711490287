// The description text that `info` hands to the host.
#ifndef ZHILAN_PLUGIN_DESCRIPTION_H_
#define ZHILAN_PLUGIN_DESCRIPTION_H_

#include "text/text.h"

namespace zl {

// Ten GBK lines, each ended by "\r\n": the plug-in's name, "1.0", the
// author, the usage "#百科+内容", the keyword "#百科", " 内容", an empty line,
// the lookup export's name, "1", "假".
Text describe_plugin();

}  // namespace zl

#endif  // ZHILAN_PLUGIN_DESCRIPTION_H_
