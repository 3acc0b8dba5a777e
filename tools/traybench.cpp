// traybench.exe: measures, under a running stand-in taskbar and Corvalet placing new icons out
// of the tray, how long after an owner's Shell_NotifyIconA(NIM_ADD) returns its button is
// hidden, beside the cost of one bare Shell_NotifyIconA call and of one cross-process
// SendMessageA round trip, and the messages exchanged per added icon. Two owners: a process
// Corvalet has placed before (this one, whose fillers went to the panel), whose button the
// library may hide before the call returns (0 then), and a new process each round (this
// program again, with --owner), whose button waits for Corvalet's reading.
//
//   traybench.exe ICONS ROUNDS
//
// Prints one line: icons=N add_to_hidden_ms=M new_add_to_hidden_ms=W hidden_before_return=K/R
// notify_ms=S roundtrip_ms=R told=T requested=Q (told and requested: per new process's icon)
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

LRESULT CALLBACK OwnerProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(w, msg, wp, lp);
}

// --owner: adds one icon, writes when the call returned (the performance counter) to standard
// output, and removes the icon when its window is closed.
int OwnerMain() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = OwnerProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TrayBenchOwner";
  RegisterClassA(&wc);
  g_window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                             nullptr);
  g_icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  Notify(NIM_ADD, 1, "new icon");
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  std::printf("%lld\n", static_cast<long long>(t.QuadPart));
  std::fflush(stdout);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  Notify(NIM_DELETE, 1, "");
  return 0;
}

// One round's owner as a process of its own: the moment its add returned, in milliseconds (0
// when it could not be had), and the process.
double StartOwner(PROCESS_INFORMATION& pi) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return 0;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  char command[MAX_PATH + 16];
  std::snprintf(command, sizeof command, "\"%s\" --owner", self);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  const BOOL started =
      CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);  // its end only: a child that dies ends the read
  char text[64] = {};
  DWORD got = 0, n = 0;
  while (started && got < sizeof text - 1 && ReadFile(readEnd, text + got, 1, &n, nullptr) &&
         n == 1 && text[got] != '\n')
    ++got;
  CloseHandle(readEnd);
  if (!started) return 0;
  return 1000.0 * static_cast<double>(std::atoll(text)) / static_cast<double>(g_frequency.QuadPart);
}

// Arms the hook's stamp of the next hide of the last button; after add, the milliseconds from
// the add's return (t0) to that hide, or -1 when none came.
double AddToHidden(HWND taskbar, UINT stats, double t0) {
  WaitIdle(taskbar, stats);
  LARGE_INTEGER stamp;
  stamp.LowPart = static_cast<DWORD>(SendMessageA(taskbar, stats, 3, 0));
  stamp.HighPart = static_cast<LONG>(SendMessageA(taskbar, stats, 4, 0));
  if (stamp.QuadPart == 0 || t0 <= 0) return -1;
  const double t1 =
      1000.0 * static_cast<double>(stamp.QuadPart) / static_cast<double>(g_frequency.QuadPart);
  return t1 > t0 ? t1 - t0 : 0;  // hidden before the call returned
}

}  // namespace

int main(int argc, char** argv) {
  QueryPerformanceFrequency(&g_frequency);
  if (argc > 1 && std::strcmp(argv[1], "--owner") == 0) return OwnerMain();
  const int icons = argc > 1 ? std::atoi(argv[1]) : 10;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 15;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TrayBench";
  RegisterClassA(&wc);
  g_window =
      CreateWindowExA(0, "TrayBench", "", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  g_icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));

  const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  const HWND toolbar = TrayToolbar();
  if (!toolbar) return 1;
  const UINT stats = RegisterWindowMessageA("Snarehook.Stats");

  // The tray holds ICONS icons while the new one is handled: its own, Corvalet's and ours.
  const int existing = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < icons - existing - 1; ++i) Notify(NIM_ADD, 1000 + i, "filler");
  WaitIdle(taskbar, stats);

  std::vector<double> addToHidden, newAddToHidden;
  int beforeReturn = 0;
  double told = 0, requested = 0;
  for (int r = 0; r < rounds; ++r) {
    // This process, placed before.
    SendMessageA(taskbar, stats, 2, 0);
    Notify(NIM_ADD, 1, "new icon");
    const double t0 = NowMs();
    Pump(50);
    const double ms = AddToHidden(taskbar, stats, t0);
    if (ms >= 0) addToHidden.push_back(ms);
    beforeReturn += ms == 0;
    Notify(NIM_DELETE, 1, "");
    WaitIdle(taskbar, stats);

    // A new process. The hook stamps the moment its (last) button is hidden; nothing here
    // asks the shell's thread anything until the work is done, so the measurement does not
    // slow it.
    const LRESULT told0 = SendMessageA(taskbar, stats, 0, 0);
    const LRESULT requested0 = SendMessageA(taskbar, stats, 1, 0);
    SendMessageA(taskbar, stats, 2, 0);
    PROCESS_INFORMATION pi{};
    const double owned = StartOwner(pi);
    Pump(50);
    const double newMs = AddToHidden(taskbar, stats, owned);
    if (std::getenv("TRAYBENCH_VERBOSE"))
      std::fprintf(stderr,
                   "round %d: %.1f ms, a new process %.1f ms; from its report: request %ld us, "
                   "answered %ld us, hidden %ld us; told %ld, requested %ld\n",
                   r, ms, newMs, static_cast<long>(SendMessageA(taskbar, stats, 5, 0)),
                   static_cast<long>(SendMessageA(taskbar, stats, 6, 0)),
                   static_cast<long>(SendMessageA(taskbar, stats, 7, 0)),
                   static_cast<long>(SendMessageA(taskbar, stats, 0, 0) - told0),
                   static_cast<long>(SendMessageA(taskbar, stats, 1, 0) - requested0));
    told += static_cast<double>(SendMessageA(taskbar, stats, 0, 0) - told0);
    requested += static_cast<double>(SendMessageA(taskbar, stats, 1, 0) - requested0);
    if (newMs >= 0) newAddToHidden.push_back(newMs);
    if (pi.hProcess) {
      const HWND owner = FindWindowA("TrayBenchOwner", nullptr);
      if (owner) PostMessageA(owner, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
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
      "icons=%d add_to_hidden_ms=%.3f new_add_to_hidden_ms=%.3f hidden_before_return=%d/%d "
      "notify_ms=%.3f roundtrip_ms=%.4f told=%.1f requested=%.1f hidden=%d/%d new_hidden=%d/%d\n",
      icons, Median(addToHidden), Median(newAddToHidden), beforeReturn, rounds, Median(notifyCost),
      Median(roundTrip), told / rounds, requested / rounds, static_cast<int>(addToHidden.size()),
      rounds, static_cast<int>(newAddToHidden.size()), rounds);
  return 0;
}
