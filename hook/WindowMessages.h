#pragma once
// What the subclassed taskbar and tray toolbar do with each message: each job of the library
// takes its own, and the rest goes on to the shell.
#include <windows.h>

namespace snarehook {

LRESULT TaskbarMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp);
// True when the message was answered here (result); otherwise it goes on to the shell.
bool ToolbarMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

}  // namespace snarehook
