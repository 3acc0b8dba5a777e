#pragma once
// What the tray tools share: an icon of their own in the tray, a pump of their own messages for
// a while, and a clock in milliseconds.
#include <windows.h>

#include <shellapi.h>

// Shell_NotifyIconA for an icon with a callback, a picture and a tip, as every shell takes it.
inline BOOL NotifyTrayIcon(HWND owner, DWORD message, UINT id, HICON icon, const char* tip,
                           UINT callback = WM_APP + 1) {
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = owner;
  nid.uID = id;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = callback;
  nid.hIcon = icon;
  lstrcpynA(nid.szTip, tip, sizeof nid.szTip);
  return Shell_NotifyIconA(message, &nid);
}

// The shell's tray toolbar: under SysPager on XP, straight under the notification area on
// 2000; null when there is none.
inline HWND TrayToolbar() {
  const HWND notify =
      FindWindowExA(FindWindowA("Shell_TrayWnd", nullptr), nullptr, "TrayNotifyWnd", nullptr);
  const HWND toolbar = FindWindowExA(FindWindowExA(notify, nullptr, "SysPager", nullptr), nullptr,
                                     "ToolbarWindow32", nullptr);
  return toolbar ? toolbar : FindWindowExA(notify, nullptr, "ToolbarWindow32", nullptr);
}

// Dispatches this thread's messages for `ms` milliseconds.
inline void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  do {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    Sleep(1);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// The performance counter in milliseconds.
inline double NowMs() {
  LARGE_INTEGER frequency, t;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}
