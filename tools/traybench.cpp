// traybench.exe: measures, under a running stand-in taskbar and Corvalet placing new icons out
// of the tray, how long after an owner's Shell_NotifyIconA(NIM_ADD) returns Corvalet has hidden
// that owner's button, beside the cost of one bare Shell_NotifyIconA call and of one
// cross-process SendMessageA round trip, and the messages exchanged per added icon.
//
//   traybench.exe ICONS ROUNDS
//
// Prints one line: icons=N add_to_hidden_ms=M notify_ms=S roundtrip_ms=R told=T requested=Q
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "TrayTool.h"

namespace {

LARGE_INTEGER g_frequency;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

HWND g_window;
HICON g_icon;

BOOL Notify(DWORD message, UINT id, const char* tip) {
  return NotifyTrayIcon(g_window, message, id, g_icon, tip);
}

// Waits until nothing has passed between the hook and Corvalet for 1.5 s. Corvalet ignores
// reports while it refreshes its own icon, which ends with a quiet stretch of message pumping.
void WaitIdle(HWND taskbar, UINT stats) {
  for (int i = 0; i < 120; ++i) {
    const LRESULT before = SendMessageA(taskbar, stats, 0, 0) + SendMessageA(taskbar, stats, 1, 0);
    Pump(1500);
    if (SendMessageA(taskbar, stats, 0, 0) + SendMessageA(taskbar, stats, 1, 0) == before) return;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int icons = argc > 1 ? std::atoi(argv[1]) : 10;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 15;
  QueryPerformanceFrequency(&g_frequency);
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TrayBench";
  RegisterClassA(&wc);
  g_window =
      CreateWindowExA(0, "TrayBench", "", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  g_icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));

  const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  const HWND notify = FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr);
  HWND toolbar = FindWindowExA(FindWindowExA(notify, nullptr, "SysPager", nullptr), nullptr,
                               "ToolbarWindow32", nullptr);
  if (!toolbar) toolbar = FindWindowExA(notify, nullptr, "ToolbarWindow32", nullptr);
  if (!toolbar) return 1;
  const UINT stats = RegisterWindowMessageA("Snarehook.Stats");

  // The tray holds ICONS icons while the new one is handled: its own, Corvalet's and ours.
  const int existing = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < icons - existing - 1; ++i) Notify(NIM_ADD, 1000 + i, "filler");
  WaitIdle(taskbar, stats);

  std::vector<double> addToHidden;
  double told = 0, requested = 0;
  for (int r = 0; r < rounds; ++r) {
    const LRESULT told0 = SendMessageA(taskbar, stats, 0, 0);
    const LRESULT requested0 = SendMessageA(taskbar, stats, 1, 0);
    // The hook stamps the moment the new (last) button is hidden; nothing here asks the
    // shell's thread anything until the work is done, so the measurement does not slow it.
    SendMessageA(taskbar, stats, 2, 0);
    Notify(NIM_ADD, 1, "new icon");
    const double t0 = NowMs();
    double t1 = 0;
    Pump(50);
    WaitIdle(taskbar, stats);
    LARGE_INTEGER stamp;
    stamp.LowPart = static_cast<DWORD>(SendMessageA(taskbar, stats, 3, 0));
    stamp.HighPart = static_cast<LONG>(SendMessageA(taskbar, stats, 4, 0));
    if (stamp.QuadPart != 0)
      t1 = 1000.0 * static_cast<double>(stamp.QuadPart) / static_cast<double>(g_frequency.QuadPart);
    if (std::getenv("TRAYBENCH_VERBOSE"))
      std::fprintf(stderr,
                   "round %d: %.1f ms; from the report: request %ld us, answered %ld us, hidden "
                   "%ld us; told %ld, requested %ld\n",
                   r, t1 > 0 ? t1 - t0 : -1.0,
                   static_cast<long>(SendMessageA(taskbar, stats, 5, 0)),
                   static_cast<long>(SendMessageA(taskbar, stats, 6, 0)),
                   static_cast<long>(SendMessageA(taskbar, stats, 7, 0)),
                   static_cast<long>(SendMessageA(taskbar, stats, 0, 0) - told0),
                   static_cast<long>(SendMessageA(taskbar, stats, 1, 0) - requested0));
    told += static_cast<double>(SendMessageA(taskbar, stats, 0, 0) - told0);
    requested += static_cast<double>(SendMessageA(taskbar, stats, 1, 0) - requested0);
    if (t1 > 0) addToHidden.push_back(t1 - t0);
    Notify(NIM_DELETE, 1, "");
    WaitIdle(taskbar, stats);
  }

  Notify(NIM_ADD, 1, "probe");
  Pump(300);
  std::vector<double> notifyCost, roundTrip;
  for (int i = 0; i < 40; ++i) {
    const double t0 = NowMs();
    Notify(NIM_MODIFY, 1, i % 2 ? "probe a" : "probe b");
    notifyCost.push_back(NowMs() - t0);
  }
  for (int i = 0; i < 200; ++i) {
    const double t0 = NowMs();
    SendMessageA(taskbar, WM_NULL, 0, 0);
    roundTrip.push_back(NowMs() - t0);
  }
  Notify(NIM_DELETE, 1, "");
  for (int i = 0; i < icons - existing - 1; ++i) Notify(NIM_DELETE, 1000 + i, "");

  std::printf(
      "icons=%d add_to_hidden_ms=%.3f notify_ms=%.3f roundtrip_ms=%.4f told=%.1f requested=%.1f "
      "hidden=%d/%d\n",
      icons, Median(addToHidden), Median(notifyCost), Median(roundTrip), told / rounds,
      requested / rounds, static_cast<int>(addToHidden.size()), rounds);
  return 0;
}
