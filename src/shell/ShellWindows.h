#pragma once
// The four windows of the shell's taskbar the program talks to, found once at start.
#include "platform/Desktop.h"

namespace cvl {

struct ShellWindows {
  Hwnd NotifyArea = 0;  // TrayNotifyWnd
  Hwnd Taskbar = 0;     // Shell_TrayWnd
  Hwnd Clock = 0;       // TrayClockWClass
  Hwnd Toolbar = 0;     // the tray toolbar
};

int WindowsVersionCode(const OsVersionInfo& version);
int WindowsVersionCode(Desktop& desktop);

Hwnd FindNotifyArea(Desktop& desktop);
Hwnd FindTaskbar(Desktop& desktop);
Hwnd FindClock(Desktop& desktop);
Hwnd FindTrayToolbar(Desktop& desktop);

// Looks the four up in the order notification area, taskbar, clock, toolbar.
ShellWindows FindShellWindows(Desktop& desktop);

}  // namespace cvl
