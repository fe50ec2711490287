// Loading a plug-in DLL and calling its three exports the way the chat-robot
// host does, with a check of each call's effect on the stack pointer.
#ifndef ZHILAN_HOST_PLUGIN_API_H_
#define ZHILAN_HOST_PLUGIN_API_H_

#include <windows.h>

#include <string>

namespace zl::host {

// The export names as the host looks them up (GBK).
inline constexpr char kInfoName[] = "info";
inline constexpr char kLookupName[] = "\xd6\xaa\xc0\xbd";  // 知澜
inline constexpr char kNicknameName[] =
    "\xbb\xf1\xc8\xa1\xea\xc7\xb3\xc6";  // 获取昵称

struct Plugin {
  HMODULE module = nullptr;
  const void* info = nullptr;
  const void* lookup = nullptr;
  const void* nickname = nullptr;
};

// Loads the DLL at `path` and finds the three exports. On failure returns
// false and says why in `error`.
bool load_plugin(const std::wstring& path, Plugin& plugin, std::string& error);

// Frees the module: its detach handler runs.
void unload_plugin(Plugin& plugin);

// One export call. `stack_ok` tells whether the stack pointer moved exactly
// as the export's calling convention promises (info: not at all; the
// lookup: up by 20 bytes; the nickname: up by 4).
struct CallResult {
  const char* text = nullptr;
  bool stack_ok = false;
  int stack_change = 0;
};

CallResult call_info(const Plugin& plugin);
CallResult call_lookup(const Plugin& plugin, const char* keyword,
                       const char* arg2 = nullptr, const char* arg3 = nullptr,
                       const char* arg4 = nullptr, const char* arg5 = nullptr);
CallResult call_nickname(const Plugin& plugin, const char* number);

// Text conversions for the console: GBK <-> UTF-16 <-> UTF-8.
std::string gbk_to_utf8(const std::string& gbk);
std::string wide_to_gbk(const std::wstring& wide);
std::wstring utf8_to_wide(const std::string& utf8);

}  // namespace zl::host

#endif  // ZHILAN_HOST_PLUGIN_API_H_
