#include "plugin/slots.h"

#include <cstring>
#include <new>

namespace zl {

ResultSlot info_result;
ResultSlot lookup_result;
ResultSlot nickname_result;

char* allocate_result(std::string_view value) noexcept {
  char* p = new (std::nothrow) char[value.size() + 1];
  if (p == nullptr) return nullptr;
  std::memcpy(p, value.data(), value.size());
  p[value.size()] = '\0';
  return p;
}

const char* replace_result(ResultSlot& slot, char* result) noexcept {
  release_result(slot);
  slot.text = result;
  return result;
}

void release_result(ResultSlot& slot) noexcept {
  delete[] slot.text;
  slot.text = nullptr;
}

}  // namespace zl
