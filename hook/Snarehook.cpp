// Snarehook.dll: lives inside the shell's taskbar process. This build carries the exported
// entry points; the hook that serves the protocol arrives with the taskbar work.
#include "Snarehook.h"

BOOL SetTrayHook(void) {
  return TRUE;
}

BOOL DeleteTrayHook(void) {
  return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
