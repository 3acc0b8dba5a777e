#include "shell/ShellWindows.h"

#include "shell/TrayToolbarRule.h"

namespace cvl {

int WindowsVersionCode(const OsVersionInfo& v) {
  return WindowsVersionCode(v.dwPlatformId, v.dwMajorVersion, v.dwMinorVersion);
}

int WindowsVersionCode(Desktop& desktop) {
  OsVersionInfo info;
  if (!desktop.GetVersionExA(info)) return 0;
  return WindowsVersionCode(info);
}

namespace {

// A child of parent by class; a null parent finds nothing (Windows would search the top-level
// windows instead, and a stray top-level window of these classes is not the tray's).
Hwnd Child(Desktop& desktop, Hwnd parent, const char* className) {
  return parent == 0 ? 0 : desktop.FindWindowExA(parent, 0, className, nullptr);
}

}  // namespace

Hwnd FindTaskbar(Desktop& desktop) {
  return desktop.FindWindowA("Shell_TrayWnd", nullptr);
}

Hwnd FindNotifyArea(Desktop& desktop) {
  return Child(desktop, FindTaskbar(desktop), "TrayNotifyWnd");
}

Hwnd FindClock(Desktop& desktop) {
  return Child(desktop, FindNotifyArea(desktop), "TrayClockWClass");
}

Hwnd FindTrayToolbar(Desktop& desktop) {
  const Hwnd notifyArea = FindNotifyArea(desktop);
  if (notifyArea == 0) return 0;
  return TrayToolbarOf(
      notifyArea, WindowsVersionCode(desktop),
      [&](Hwnd parent, const char* className) { return Child(desktop, parent, className); });
}

ShellWindows FindShellWindows(Desktop& desktop) {
  ShellWindows w;
  w.NotifyArea = FindNotifyArea(desktop);
  w.Taskbar = FindTaskbar(desktop);
  w.Clock = FindClock(desktop);
  w.Toolbar = FindTrayToolbar(desktop);
  return w;
}

}  // namespace cvl
