// The three functions the host calls, and the module's load and unload.
//
// In the DLL they are exported under the host-facing names (exports.def.in):
//   ordinal 1  "info"      zhilan_info      no arguments
//   ordinal 2  "知澜"      zhilan_lookup    stdcall, 5 pointers (20 bytes)
//   ordinal 3  "获取昵称"  zhilan_nickname  stdcall, 1 pointer (4 bytes)
// Every argument is a NUL-terminated GBK text; a null pointer is the empty
// text. Arguments are copied before anything else, so a host may pass an
// export's previous result back in. The returned text stays valid until the
// next call of the same export or until unload; only zhilan_nickname ever
// returns null (an empty field found between adjacent markers). No
// exception leaves an export: when a result cannot be built, the export
// answers as for a failed request.
#ifndef ZHILAN_PLUGIN_EXPORTS_H_
#define ZHILAN_PLUGIN_EXPORTS_H_

#if defined(_WIN32) && defined(__i386__)
#define ZL_STDCALL __attribute__((stdcall))
#else
#define ZL_STDCALL
#endif

extern "C" {
const char* ZL_STDCALL zhilan_info(void);
const char* ZL_STDCALL zhilan_lookup(const char* keyword, const char* arg2,
                                     const char* arg3, const char* arg4,
                                     const char* arg5);
const char* ZL_STDCALL zhilan_nickname(const char* number);
}

namespace zl {

// Start-up: registers on_unload as the release hook; nothing else. Always
// succeeds.
bool on_load();

// Releases the three result slots: info, then nickname, then lookup.
void on_unload();

// Runs the registered release hook, at most once per on_load.
void run_release_hook();

}  // namespace zl

#endif  // ZHILAN_PLUGIN_EXPORTS_H_
