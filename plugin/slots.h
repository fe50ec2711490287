// Result slots: each export's last returned text, owned by the plug-in.
//
// The host may read a slot's text until the next call of the same export or
// until unload. A slot is only touched by its own export and by on_unload.
#ifndef ZHILAN_PLUGIN_SLOTS_H_
#define ZHILAN_PLUGIN_SLOTS_H_

#include <string_view>

namespace zl {

struct ResultSlot {
  char* text = nullptr;  // NUL-terminated GBK, or null
};

extern ResultSlot info_result;
extern ResultSlot lookup_result;
extern ResultSlot nickname_result;

// A fresh NUL-terminated copy of `value`, or null when memory runs out.
char* allocate_result(std::string_view value) noexcept;

// Releases what `slot` holds, stores `result` (which may be null) and
// returns it. The old text is released only after the new one exists, so an
// argument that pointed at it has been copied already.
const char* replace_result(ResultSlot& slot, char* result) noexcept;

// Releases what `slot` holds and leaves it null.
void release_result(ResultSlot& slot) noexcept;

}  // namespace zl

#endif  // ZHILAN_PLUGIN_SLOTS_H_
