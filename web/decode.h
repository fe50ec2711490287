// Response text decoding: UTF-8 bodies to GBK, through UTF-16, with the
// platform's code-page conversion (one size query and one conversion each).
#ifndef ZHILAN_WEB_DECODE_H_
#define ZHILAN_WEB_DECODE_H_

#include "text/text.h"

namespace zl {

// UTF-16LE code units, two bytes each, no BOM handling and no terminator.
// Ill-formed input does not fail (no strict flag); what cannot be converted
// at all gives the empty result. A 0 byte converts to a 0 code unit.
Bytes utf8_to_utf16(const Bytes& input);

// GBK bytes; characters that code page 936 lacks become its default
// character, without a report.
Bytes utf8_to_gbk(const Bytes& input);

}  // namespace zl

#endif  // ZHILAN_WEB_DECODE_H_
