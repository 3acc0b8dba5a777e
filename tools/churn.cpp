// churn.exe: cycles of work against a running Corvalet, from one process, for the leak test.
//   churn icons N      N times: an icon of its own added, its tip changed, the icon removed
//   churn menu N       N times: Corvalet's menu opened through its icon's callback, closed again
//   churn panel N      N times: the panel opened through its icon's callback, and waited out
//   churn minimize N   N times: a window of its own hidden by a right click on its minimize
//                      button and brought back through its icon
// Every wait is bounded. Exit 0 when every cycle completed; 1, naming the cycle, otherwise.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "TrayTool.h"
#include "shell/HookProtocol.h"

namespace {

constexpr UINT kOwnIconCallback = WM_APP + 1;
constexpr UINT kMinIconMessageBase = 0x428;
// Each change costs Corvalet a re-reading of the tray: changes faster than that only pile up
// reports, and the test would measure the pile rather than the cycles.
constexpr DWORD kPaceMs = 40;

// Polls a condition for at most `ms`, pumping this process's messages meanwhile.
template <typename F>
bool Within(DWORD ms, F condition) {
  const DWORD end = GetTickCount() + ms;
  while (!condition()) {
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    Pump(20);
  }
  return true;
}

bool Shown(const char* cls, const char* title) {
  HWND w = FindWindowA(cls, title);
  return w != nullptr && IsWindowVisible(w);
}

HWND Form() {
  return FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption);
}

int Fail(const char* what, int cycle) {
  std::printf("churn: %s failed in cycle %d\n", what, cycle);
  return 1;
}

HWND MakeWindow(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &DefWindowProcA;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "ChurnWindow";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "ChurnWindow", "Churn window", WS_OVERLAPPEDWINDOW, 200, 150, 400, 300,
                         nullptr, nullptr, instance, nullptr);
}

int Icons(HWND window, int n) {
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = window;
  nid.uID = 1;
  nid.uCallbackMessage = WM_APP + 50;
  nid.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  for (int i = 0; i < n; ++i) {
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    std::snprintf(nid.szTip, sizeof nid.szTip, "Churn %d", i);
    if (!Shell_NotifyIconA(NIM_ADD, &nid)) return Fail("add", i);
    Pump(kPaceMs);
    nid.uFlags = NIF_TIP;
    std::snprintf(nid.szTip, sizeof nid.szTip, "Churn %d changed", i);
    if (!Shell_NotifyIconA(NIM_MODIFY, &nid)) return Fail("modify", i);
    Pump(kPaceMs);
    if (!Shell_NotifyIconA(NIM_DELETE, &nid)) return Fail("delete", i);
    Pump(kPaceMs);
  }
  return 0;
}

int Menu(int n) {
  for (int i = 0; i < n; ++i) {
    PostMessageA(Form(), kOwnIconCallback, 1, WM_RBUTTONUP);
    if (!Within(10000, [] { return Shown("#32768", nullptr); })) return Fail("opening the menu", i);
    PostMessageA(FindWindowA("#32768", nullptr), WM_KEYDOWN, VK_ESCAPE, 0);
    if (!Within(3000, [] { return !Shown("#32768", nullptr); })) return Fail("closing the menu", i);
    Pump(50);
  }
  return 0;
}

int Panel(int n) {
  SetCursorPos(20, 20);  // away from the panel, so that its timer closes it
  for (int i = 0; i < n; ++i) {
    PostMessageA(Form(), kOwnIconCallback, 1, WM_MOUSEMOVE);
    if (!Within(10000, [] { return Shown("THint", nullptr); })) return Fail("opening the panel", i);
    if (!Within(10000, [] { return !Shown("THint", nullptr); }))
      return Fail("the panel closing", i);
  }
  return 0;
}

int Minimize(HWND window, int n) {
  ShowWindow(window, SW_SHOW);
  Pump(200);
  for (int i = 0; i < n; ++i) {
    RECT r;
    GetWindowRect(window, &r);
    SetCursorPos(r.left + 350, r.top + 12);  // the minimize button of a 400-wide window
    PostMessageA(Form(), cvl::THM_MINBUTTONRCLICK, 0, reinterpret_cast<LPARAM>(window));
    if (!Within(3000, [window] { return !IsWindowVisible(window); })) return Fail("hiding", i);
    // The icon's callback number grows by one with each hiding; the numbers not in use are
    // ignored by the minimizer.
    HWND minimizer = FindWindowA("TMinForm", nullptr);
    for (UINT k = 0; k < static_cast<UINT>(2 * i + 16); ++k)
      PostMessageA(minimizer, kMinIconMessageBase + k, reinterpret_cast<WPARAM>(window),
                   WM_LBUTTONUP);
    if (!Within(3000, [window] { return IsWindowVisible(window) != FALSE; }))
      return Fail("bringing back", i);
    Pump(50);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: churn icons|menu|panel|minimize N\n");
    return 2;
  }
  const int n = std::atoi(argv[2]);
  if (Form() == nullptr) return Fail("finding Corvalet", 0);
  HWND window = MakeWindow(GetModuleHandleA(nullptr));
  int result = 2;
  if (std::strcmp(argv[1], "icons") == 0) result = Icons(window, n);
  if (std::strcmp(argv[1], "menu") == 0) result = Menu(n);
  if (std::strcmp(argv[1], "panel") == 0) result = Panel(n);
  if (std::strcmp(argv[1], "minimize") == 0) result = Minimize(window, n);
  DestroyWindow(window);
  if (result == 0) std::printf("churn: %s %d cycles done\n", argv[1], n);
  return result;
}
