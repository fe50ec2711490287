#include "plugin/exports.h"

#include <string_view>
#include <utility>

#include "lookup/encyclopedia.h"
#include "lookup/nickname.h"
#include "plugin/description.h"
#include "plugin/slots.h"
#include "text/text.h"

namespace zl {
namespace {

// Handed back when not even the reply for a failure can be allocated: the
// host must never get a null pointer from info or the lookup.
char kEmptyReply[] = "";

Text copy_argument(const char* arg) { return arg ? Text(arg) : Text(); }

const char* store(ResultSlot& slot, std::string_view value) noexcept {
  char* copy = allocate_result(value);
  if (copy == nullptr) {
    release_result(slot);
    return kEmptyReply;
  }
  return replace_result(slot, copy);
}

}  // namespace
}  // namespace zl

extern "C" const char* ZL_STDCALL zhilan_info(void) {
  zl::Text reply;
  try {
    reply = zl::describe_plugin();
  } catch (...) {
    reply.clear();
  }
  return zl::store(zl::info_result, reply);
}

extern "C" const char* ZL_STDCALL zhilan_lookup(const char* keyword,
                                                const char* arg2,
                                                const char* arg3,
                                                const char* arg4,
                                                const char* arg5) {
  zl::Text reply;
  try {
    // The copies die at the end of this block, before the slot changes.
    zl::Text k = zl::copy_argument(keyword);
    zl::Text a2 = zl::copy_argument(arg2);
    zl::Text a3 = zl::copy_argument(arg3);
    zl::Text a4 = zl::copy_argument(arg4);
    zl::Text a5 = zl::copy_argument(arg5);
    reply = zl::format_lookup_reply(k, a2, a3, a4, a5);
  } catch (...) {
    try {
      reply = zl::not_found_reply(zl::copy_argument(keyword));
    } catch (...) {
      reply.clear();
    }
  }
  return zl::store(zl::lookup_result, reply);
}

extern "C" const char* ZL_STDCALL zhilan_nickname(const char* number) {
  zl::NicknameReply reply;
  try {
    zl::Text working = zl::copy_argument(number);
    reply = zl::fetch_nickname(working);
  } catch (...) {
    reply = zl::NicknameReply{};
  }
  if (reply.as_null) {
    zl::release_result(zl::nickname_result);
    return nullptr;
  }
  return zl::store(zl::nickname_result, reply.text);
}

namespace zl {
namespace {
void (*release_hook)() = nullptr;
}  // namespace

bool on_load() {
  release_hook = &on_unload;
  return true;
}

void on_unload() {
  release_result(info_result);
  release_result(nickname_result);
  release_result(lookup_result);
}

void run_release_hook() {
  void (*hook)() = release_hook;
  release_hook = nullptr;
  if (hook != nullptr) hook();
}

}  // namespace zl
