#include "shell/ShellWindows.h"

namespace cvl {

int WindowsVersionCode(const OsVersionInfo& v) {
  if (v.dwPlatformId == 1) {
    switch (v.dwMajorVersion) {
      case 2:
        return 10;
      case 3:
        return 20;
      case 4:
        return 30;
      case 5:
        return 40;
      default:
        return 0;
    }
  }
  if (v.dwPlatformId == 2) {
    switch (v.dwMajorVersion) {
      case 2:
        return 50;
      case 3:
        return 60;
      case 4:
        return 70;
      case 5:
        if (v.dwMinorVersion == 0) return 80;
        if (v.dwMinorVersion == 1) return 90;
        return 0;
      default:
        return 0;
    }
  }
  return 0;
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
  const auto underPager = [&] {
    const Hwnd pager = Child(desktop, notifyArea, "SysPager");
    return Child(desktop, pager, "ToolbarWindow32");
  };
  switch (WindowsVersionCode(desktop)) {
    case 80:
      return Child(desktop, notifyArea, "ToolbarWindow32");
    case 90:
      return underPager();
    case 0: {
      // Systems newer than XP build their tray like XP; the notification area itself
      // understands no toolbar message there.
      if (const Hwnd toolbar = underPager()) return toolbar;
      if (const Hwnd toolbar = Child(desktop, notifyArea, "ToolbarWindow32")) return toolbar;
      return notifyArea;
    }
    default:
      return notifyArea;
  }
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
