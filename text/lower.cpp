// Case lowering by characters.
#include "text/text.h"

namespace zl {

Text text_lower(std::string_view t) {
  Text out(t);
  const size_t len = out.size();
  size_t i = 0;
  while (i < len) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (c >= 0x80) {
      // The second byte of a pair keeps its case, even when it is A-Z.
      i += 2;
    } else {
      if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + 32);
      ++i;
    }
  }
  return out;
}

}  // namespace zl
