#include "host/plugin_api.h"

extern "C" const void* zl_call_checked(const void* fn, const void* const* args,
                                       int count, int* stack_change);

namespace zl::host {
namespace {

CallResult call(const void* fn, const void* const* args, int count) {
  CallResult r;
  r.text = static_cast<const char*>(
      zl_call_checked(fn, args, count, &r.stack_change));
  r.stack_ok = r.stack_change == 4 * count;
  return r;
}

std::wstring to_wide(const std::string& s, UINT code_page) {
  if (s.empty()) return {};
  const int n = MultiByteToWideChar(code_page, 0, s.data(),
                                    static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(code_page, 0, s.data(), static_cast<int>(s.size()),
                      w.data(), n);
  return w;
}

std::string from_wide(const std::wstring& w, UINT code_page) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(code_page, 0, w.data(),
                                    static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(code_page, 0, w.data(), static_cast<int>(w.size()),
                      s.data(), n, nullptr, nullptr);
  return s;
}

}  // namespace

bool load_plugin(const std::wstring& path, Plugin& plugin, std::string& error) {
  plugin = Plugin{};
  plugin.module = LoadLibraryW(path.c_str());
  if (plugin.module == nullptr) {
    error = "cannot load the plug-in (error " +
            std::to_string(GetLastError()) + ")";
    return false;
  }
  plugin.info = reinterpret_cast<const void*>(GetProcAddress(plugin.module, kInfoName));
  plugin.lookup = reinterpret_cast<const void*>(GetProcAddress(plugin.module, kLookupName));
  plugin.nickname = reinterpret_cast<const void*>(GetProcAddress(plugin.module, kNicknameName));
  if (!plugin.info || !plugin.lookup || !plugin.nickname) {
    error = "the plug-in lacks one of its exports";
    unload_plugin(plugin);
    return false;
  }
  return true;
}

void unload_plugin(Plugin& plugin) {
  if (plugin.module != nullptr) FreeLibrary(plugin.module);
  plugin = Plugin{};
}

CallResult call_info(const Plugin& plugin) {
  return call(plugin.info, nullptr, 0);
}

CallResult call_lookup(const Plugin& plugin, const char* keyword,
                       const char* arg2, const char* arg3, const char* arg4,
                       const char* arg5) {
  const void* const args[] = {keyword, arg2, arg3, arg4, arg5};
  return call(plugin.lookup, args, 5);
}

CallResult call_nickname(const Plugin& plugin, const char* number) {
  const void* const args[] = {number};
  return call(plugin.nickname, args, 1);
}

std::string gbk_to_utf8(const std::string& gbk) {
  return from_wide(to_wide(gbk, 936), CP_UTF8);
}

std::string wide_to_gbk(const std::wstring& wide) {
  return from_wide(wide, 936);
}

std::wstring utf8_to_wide(const std::string& utf8) {
  return to_wide(utf8, CP_UTF8);
}

}  // namespace zl::host
