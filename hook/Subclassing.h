#pragma once
// How the library gets into the shell: the WH_CALLWNDPROC hook on the taskbar's thread attaches
// it there, and it subclasses the taskbar, the notification area and the tray toolbar.
#include <windows.h>

namespace snarehook {

// A zero-filled array of this copy of the library: in .bss, which takes no room in the file.
// (With a section of its own per object, mingw-w64 puts zero-filled objects in .data.)
#define SNAREHOOK_ZEROED __attribute__((section(".bss")))

// This copy of the library.
extern HMODULE g_module;

// The procedure a subclassed window had before ours, or Windows' default.
LRESULT CallOld(HWND w, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK CallWndProc(int code, WPARAM wp, LPARAM lp);

}  // namespace snarehook
