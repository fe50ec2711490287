// Module attach and detach. The C runtime is initialised before DllMain runs
// on attach and torn down after it returns on detach, so the allocator that
// made the slot texts still works in the release hook.
#include <windows.h>

#include "plugin/exports.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(module);
      return zl::on_load() ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
      zl::run_release_hook();
      return TRUE;
    default:
      return TRUE;
  }
}
