// burstbench.exe: a burst of tray changes against the stand-in taskbar with Corvalet placing new
// icons into the panel (ApStyle 2) and the benchmark build of the hook. OWNERS windows of their
// own classes (each a program to Corvalet) remove, add again and change their icon CYCLES times
// each, as fast as Shell_NotifyIconA returns, beside FILLERS icons that stay. Meanwhile a second
// thread opens Corvalet's menu as the shell does (the own icon's callback with a right button
// release, posted) and times it until the popup menu shows, then closes it.
//
//   burstbench.exe OWNERS CYCLES [FILLERS] [--no-menu]
//
// Prints one line: changes=N burst_ms=B settled_ms=S menu_worst_ms=M menu_median_ms=D menus=K
// rereadings=R memory_before_kb=A memory_after_kb=Z atoms_left=T placed=P/O
// settled_ms is the time from the last change returning to the moment after which every
// owner's button stayed hidden until Corvalet fell quiet; -1 when that never came.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "MenuProber.h"
#include "RemoteMemory.h"
#include "TrayRecord.h"
#include "TrayTool.h"

namespace {

HICON g_icon;

BOOL Notify(HWND owner, DWORD message, UINT id, const char* tip) {
  return NotifyTrayIcon(owner, message, id, g_icon, tip);
}

HWND g_taskbar, g_toolbar;
UINT g_stats;

LRESULT Stat(WPARAM which) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(g_taskbar, g_stats, which, 0, SMTO_NORMAL, 5000, &result);
  return static_cast<LRESULT>(result);
}

// Quiet: nothing passed between the hook and Corvalet for 1.5 s (bounded: two minutes).
bool Quiet(double since) {
  static LRESULT last = -1;
  static double stableFrom = 0;
  const LRESULT now = Stat(0) + Stat(1);
  if (now != last) {
    last = now;
    stableFrom = since;
  }
  return since - stableFrom >= 1500;
}

// Every owner's button is there and hidden.
bool AllPlaced(const std::vector<HWND>& owners, RemoteMemory& remote, int* placed) {
  int hidden = 0;
  ForEachTrayButton<TrayRecord>(g_toolbar, remote, [&](const TBBUTTON& b, const TrayRecord& r) {
    if (std::find(owners.begin(), owners.end(), r.hwnd) != owners.end() &&
        (b.fsState & TBSTATE_HIDDEN))
      ++hidden;
  });
  *placed = hidden;
  return hidden == static_cast<int>(owners.size());
}

SIZE_T MemoryKb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS c{};
  c.cb = sizeof c;
  if (!process || !GetProcessMemoryInfo(process, &c, sizeof c)) return 0;
  return c.PagefileUsage / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const int ownerCount = std::atoi(argv[1]);
  const int cycles = std::atoi(argv[2]);
  const int fillers = argc > 3 ? std::atoi(argv[3]) : 9;
  const bool menus = !(argc > 4 && std::strcmp(argv[4], "--no-menu") == 0);
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  g_icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  g_taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  g_toolbar = TrayToolbar();
  const HWND form = FindWindowA("TMainForm", "Quillon Corvalet");
  if (!g_toolbar || !form) return 1;
  g_stats = RegisterWindowMessageA("Snarehook.Stats");
  RemoteMemory remote(g_toolbar);
  if (!remote.base) return 1;
  DWORD corvaletPid = 0;
  GetWindowThreadProcessId(form, &corvaletPid);
  const HANDLE corvalet =
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, corvaletPid);

  // One window class per owner: each is a program of its own to Corvalet.
  const auto window = [&](const std::string& cls) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = cls.c_str();
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls.c_str(), "", 0, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
  };
  const HWND filler = window("BurstFiller");
  for (int i = 0; i < fillers; ++i) Notify(filler, NIM_ADD, 100 + i, "filler");
  std::vector<HWND> owners;
  for (int i = 0; i < ownerCount; ++i) {
    owners.push_back(window("BurstOwner" + std::to_string(i)));
    Notify(owners.back(), NIM_ADD, 1, ("owner " + std::to_string(i)).c_str());
  }
  for (double t = NowMs(); !Quiet(NowMs() - t);) Pump(100);
  const SIZE_T before = MemoryKb(corvalet);
  const LRESULT rereadings0 = Stat(8);

  g_bursting = menus ? 1 : 0;
  HANDLE prober = menus ? CreateThread(nullptr, 0, MenuProber,
                                       FindWindowA("TMainForm", "Quillon Corvalet"), 0, nullptr)
                        : nullptr;
  std::vector<std::string> tips;
  const double start = NowMs();
  for (int c = 0; c < cycles; ++c)
    for (int o = 0; o < ownerCount; ++o) {
      const HWND owner = owners[static_cast<std::size_t>(o)];
      const std::string tip = "burst " + std::to_string(o) + " " + std::to_string(c);
      Notify(owner, NIM_DELETE, 1, "");
      Notify(owner, NIM_ADD, 1, tip.c_str());
      Notify(owner, NIM_MODIFY, 1, (tip + " m").c_str());
      tips.push_back(tip);
      tips.push_back(tip + " m");
    }
  const double lastChange = NowMs();
  g_bursting = 0;
  if (prober) {
    WaitForSingleObject(prober, 30000);
    CloseHandle(prober);
  }

  // Until Corvalet falls quiet, the moment after which every owner's button stayed hidden.
  double settledAt = -1;
  int placed = 0;
  for (double t0 = NowMs(); NowMs() - t0 < 120000;) {
    const double now = NowMs();
    if (AllPlaced(owners, remote, &placed)) {
      if (settledAt < 0) settledAt = now;
    } else {
      settledAt = -1;
    }
    if (Quiet(now) && settledAt >= 0) break;
    Pump(20);
  }
  AllPlaced(owners, remote, &placed);
  const SIZE_T after = MemoryKb(corvalet);
  int atomsLeft = 0;
  for (const std::string& tip : tips) atomsLeft += GlobalFindAtomA(tip.c_str()) != 0;
  std::vector<double> menu = g_menuTimes;
  std::sort(menu.begin(), menu.end());

  std::printf(
      "changes=%d burst_ms=%.0f settled_ms=%.0f menu_worst_ms=%.0f menu_median_ms=%.0f menus=%d "
      "rereadings=%ld memory_before_kb=%lu memory_after_kb=%lu atoms_left=%d placed=%d/%d\n",
      3 * cycles * ownerCount, lastChange - start, settledAt < 0 ? -1.0 : settledAt - lastChange,
      menu.empty() ? -1.0 : menu.back(), menu.empty() ? -1.0 : menu[menu.size() / 2],
      static_cast<int>(menu.size()), static_cast<long>(Stat(8) - rereadings0),
      static_cast<unsigned long>(before), static_cast<unsigned long>(after), atomsLeft, placed,
      ownerCount);

  for (const HWND owner : owners) Notify(owner, NIM_DELETE, 1, "");
  for (int i = 0; i < fillers; ++i) Notify(filler, NIM_DELETE, 100 + i, "");
  if (corvalet) CloseHandle(corvalet);
  return 0;
}
