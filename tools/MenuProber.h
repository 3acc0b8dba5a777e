#pragma once
// The benchmarks' menu prober: while g_bursting is set, it opens Corvalet's menu as the shell
// does (the own icon's callback with a right button release, posted), times it until the popup
// menu shows, and closes it again.
#include <windows.h>

#include <vector>

#include "TrayTool.h"

inline volatile LONG g_bursting = 0;
inline std::vector<double> g_menuTimes;

// A thread procedure; its argument is Corvalet's main form.
inline DWORD WINAPI MenuProber(void* mainForm) {
  const HWND form = static_cast<HWND>(mainForm);
  DWORD corvalet = 0;
  GetWindowThreadProcessId(form, &corvalet);
  const auto open = [&]() -> HWND {
    HWND menu = FindWindowA("#32768", nullptr);
    DWORD pid = 0;
    if (menu) GetWindowThreadProcessId(menu, &pid);
    return menu && pid == corvalet && IsWindowVisible(menu) ? menu : nullptr;
  };
  while (g_bursting) {
    const double t0 = NowMs();
    PostMessageA(form, WM_APP + 1, 1, WM_RBUTTONUP);
    HWND menu = nullptr;
    while (!(menu = open()) && NowMs() - t0 < 20000) Sleep(1);
    if (!menu) break;
    g_menuTimes.push_back(NowMs() - t0);
    for (int i = 0; i < 500 && open(); ++i) {
      PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
      Sleep(10);
    }
    Sleep(300);
  }
  return 0;
}
