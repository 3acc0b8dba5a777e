#pragma once
// How the library gets into the shell: a WH_CALLWNDPROC hook on the taskbar's thread attaches
// it there, it subclasses the taskbar, the notification area and the tray toolbar and keeps
// itself loaded, and the hook goes again. From then on the subclass procedures carry every
// message, the detach too: a hook left on the thread would run for every message sent there,
// the shell's own toolbar calls included.
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
// True when a copy of the library in the shell has subclassed this taskbar, which lives on
// thread, and waits there for its detach: no hook is needed to reach it.
bool AttachedTo(HWND taskbar, DWORD thread);

}  // namespace snarehook
