// burstprograms.exe: programs acting on the tray at once, each a process of its own, against the
// stand-in taskbar (started with --count) and Corvalet with the hook as it ships, new icons going
// to the panel (ApStyle 2).
//
//   burstprograms.exe burst OWNERS CYCLES [--fillers N] [--no-menu] [--corvalet EXE]
//                     [--hook callwndproc|getmessage|callwndproc-removed]
//   burstprograms.exe ten [OWNERS] [--fillers N] [--corvalet EXE] [--before-ms MS] [--after-ms MS]
//   burstprograms.exe animate [OWNERS] [--seconds S] [--fillers N] [--corvalet EXE]
//   burstprograms.exe owner INDEX CYCLES RUN [now|animate]   (one program; the above start it)
//
// burst: FILLERS icons (9) that stay go into the tray first. OWNERS programs, started and held
// by a manual-reset event, are let go at one moment; each adds its first icon, then CYCLES times
// removes it, adds it again and changes it, as fast as Shell_NotifyIconA returns. That burst
// runs once without Corvalet, then Corvalet is started (EXE, or an instance already running is
// an error) and the same burst runs again with a thread opening Corvalet's menu as the shell
// does (the own icon's callback with a right button release, posted) and timing it until the
// popup shows. One line:
//   changes=N burst_bare_ms=B burst_ms=C ratio=R settled_ms=S menu_worst_ms=M menu_median_ms=D
//   menus=K readings=E memory_before_kb=A memory_after_kb=Z atoms_left=T placed=P/O
//   shell_cpu_bare_ms=X shell_cpu_ms=Y [unplaced=I:why,...] [placed_after_modify=Q/U]
// shell_cpu: the CPU time the shell's process took during each burst (less shaken by other
// work on the machine than the burst's own time).
// settled_ms: from the last change returning until every owner's button stayed hidden (-1:
// never). Placed: the owner's button is hidden and its program is in [Panel items]. An owner not
// placed is asked to change its icon once more (NIM_MODIFY), and counted again.
//
// With the benchmark build of the hook, the line goes on with what Corvalet made the shell's
// thread do during the burst until the tray settled, per change: hook=H (hook procedure calls)
// in_readings=R in_commands=C in_pixels=X in_timers=T in_other=O in_all=A (messages into the
// thread besides the programs' own) told=K (messages to Corvalet) own_us=U (the library's own
// time there, per change in microseconds, then by part: forget_us track_us states_us report_us
// answers_us pixels_us hide_us), and hidden_adds=N shown_over_16ms=M longest_shown_ms=L: added
// buttons hidden afterwards (ahead of Corvalet's reading or by it), how many of them were
// shown for more than 16 ms first, and the longest shown.
//
// --hook: instead of Corvalet, nullhook.dll's procedure that only calls the next hook goes on the
// taskbar's thread for the second burst (callwndproc, getmessage), or goes on and off again
// before it (callwndproc-removed); the line has no placement then:
//   hook=KIND changes=N burst_bare_ms=B burst_ms=C ratio=R
//
// ten: FILLERS icons in the tray, Corvalet started and left alone for BEFORE_MS (8 s), then
// OWNERS (10) programs start at one moment and each adds one icon as soon as its window is up;
// AFTER_MS (20 s) later one line:
//   ten placed=P/O atoms_left=T [unplaced=...]
// atoms_left counts the global atoms named after any tip used, the fillers' included.
//
// animate: FILLERS icons in the tray; OWNERS (10) programs add an icon each and change its
// picture and tip ten times a second for S (20) seconds, first without Corvalet, then with it
// (its new icons go where the settings file's ApStyle says). One line:
//   animate seconds=S shell_bare_ms=A shell_ms=B shell_ratio=R corvalet_ms=C corvalet_core_pct=P
//     server_bare_ms=D server_ms=E server_ratio=Q [the account per change, as a burst's]
// the CPU time of the shell's process (--shell NAME: what it runs as, leantray.exe by default)
// and of the Wine server during each animation, and Corvalet's during the second. --control:
// the second animation runs without Corvalet too (control=1 in the line); --pair DIR: a run and
// its control, each in a Wine session of its own, start each animation together (see Meet).
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
#include "StandInCommands.h"
#include "TrayRecord.h"
#include "TrayTool.h"

namespace {

constexpr UINT kModifyAgain = WM_APP + 2;
constexpr UINT kOwnerId = 1;
constexpr UINT kFillerId = 100;

HICON g_icon, g_otherIcon;
HWND g_taskbar, g_toolbar;

std::string EventName(const char* what, const std::string& run, int index = -1) {
  return std::string("CvlBurst.") + what + "." + run +
         (index >= 0 ? "." + std::to_string(index) : "");
}

std::string OwnerClass(int index) {
  return "BurstOwner" + std::to_string(index);
}
std::string FirstTip(const std::string& run, int o) {
  return run + " " + std::to_string(o) + " first";
}
std::string CycleTip(const std::string& run, int o, int c) {
  return run + " " + std::to_string(o) + " " + std::to_string(c);
}
std::string FillerTip(int i) {
  return "Filler " + std::to_string(i);
}

HWND MakeWindow(const std::string& cls) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = cls.c_str();
  RegisterClassA(&wc);
  return CreateWindowExA(0, cls.c_str(), "", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

// One program: its window, its icon, its burst.
// Ten changes of picture and tip a second, on the clock, for cycles changes.
void Animate(HWND window, int index, int cycles, const std::string& run) {
  const DWORD start = GetTickCount();
  for (int c = 0; c < cycles; ++c) {
    const LONG wait = static_cast<LONG>(start + 100 * (c + 1) - GetTickCount());
    if (wait > 0) Sleep(static_cast<DWORD>(wait));
    NotifyTrayIcon(window, NIM_MODIFY, kOwnerId, c % 2 ? g_icon : g_otherIcon,
                   CycleTip(run, index, c).c_str());
  }
}

int Owner(int index, int cycles, const std::string& run, bool now, bool animate) {
  const HWND window = MakeWindow(OwnerClass(index));
  const HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, EventName("Go", run).c_str());
  const HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, EventName("Quit", run).c_str());
  const HANDLE ready =
      OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName("Ready", run, index).c_str());
  const HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName("Done", run, index).c_str());
  if (!window || !go || !quit || !ready || !done) return 1;
  SetEvent(ready);
  if (!now && WaitForSingleObject(go, 120000) != WAIT_OBJECT_0) return 1;
  std::string tip = FirstTip(run, index);
  NotifyTrayIcon(window, NIM_ADD, kOwnerId, g_icon, tip.c_str());
  if (animate) Animate(window, index, cycles, run);
  for (int c = 0; c < cycles && !animate; ++c) {
    tip = CycleTip(run, index, c);
    NotifyTrayIcon(window, NIM_DELETE, kOwnerId, g_icon, "");
    NotifyTrayIcon(window, NIM_ADD, kOwnerId, g_icon, tip.c_str());
    tip += " m";
    NotifyTrayIcon(window, NIM_MODIFY, kOwnerId, g_icon, tip.c_str());
  }
  SetEvent(done);
  // The icon stays until the driver has looked; a late change may be asked for meanwhile.
  for (DWORD waited = 0; waited < 600000;) {
    const DWORD r = MsgWaitForMultipleObjects(1, &quit, FALSE, 1000, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) break;
    if (r == WAIT_TIMEOUT) waited += 1000;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == kModifyAgain) {
        tip += " again";
        NotifyTrayIcon(window, NIM_MODIFY, kOwnerId, g_icon, tip.c_str());
      }
      DispatchMessageA(&m);
    }
  }
  NotifyTrayIcon(window, NIM_DELETE, kOwnerId, g_icon, "");
  return 0;
}

// A program of its own, its output to NUL: one that outlives this driver must not hold the pipe
// a script reads this driver's line from.
HANDLE Spawn(const char* exe, std::string line) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE nul =
      CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                  OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = si.hStdOutput = si.hStdError = nul;
  PROCESS_INFORMATION pi{};
  const BOOL started =
      CreateProcessA(exe, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

// The programs of one run, started and waiting at their event.
struct Run {
  std::string name;
  HANDLE go = nullptr, quit = nullptr;
  std::vector<HANDLE> ready, done, processes;

  // With now, each adds its icon as soon as it is up, without waiting for the others.
  bool Start(const std::string& runName, int owners, int cycles, const char* mode = "") {
    const bool now = std::strcmp(mode, "now") == 0;
    name = runName;
    go = CreateEventA(nullptr, TRUE, FALSE, EventName("Go", name).c_str());
    quit = CreateEventA(nullptr, TRUE, FALSE, EventName("Quit", name).c_str());
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    for (int i = 0; i < owners; ++i) {
      ready.push_back(CreateEventA(nullptr, TRUE, FALSE, EventName("Ready", name, i).c_str()));
      done.push_back(CreateEventA(nullptr, TRUE, FALSE, EventName("Done", name, i).c_str()));
      std::string line = "\"" + std::string(self) + "\" owner " + std::to_string(i) + " " +
                         std::to_string(cycles) + " " + name + " " + mode;
      const HANDLE process = Spawn(self, line);
      if (!process) return false;
      processes.push_back(process);
    }
    if (now) return true;
    for (const HANDLE h : ready)
      if (WaitForSingleObject(h, 60000) != WAIT_OBJECT_0) return false;
    return true;
  }
  // Lets them go; the time until the last one is through, in ms (-1: not within the bound).
  double Burst(DWORD boundMs) {
    const double start = NowMs();
    SetEvent(go);
    for (const HANDLE h : done)
      if (WaitForSingleObject(h, boundMs) != WAIT_OBJECT_0) return -1;
    return NowMs() - start;
  }
  void End() {
    if (quit) SetEvent(quit);
    for (const HANDLE p : processes) {
      WaitForSingleObject(p, 30000);
      CloseHandle(p);
    }
    for (const HANDLE h : ready) CloseHandle(h);
    for (const HANDLE h : done) CloseHandle(h);
    if (go) CloseHandle(go);
    if (quit) CloseHandle(quit);
    processes.clear();
    ready.clear();
    done.clear();
    go = quit = nullptr;
  }
};

LONG Count(WPARAM which) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(g_taskbar, standin::kCounts, which, 0, SMTO_NORMAL, 5000, &result);
  return static_cast<LONG>(result);
}

// Quiet: nobody sent the tray a change, a reading or a command for this long.
class Quiet {
 public:
  double For(double now) {
    const LONG sends = Count(standin::kTrayWork);
    if (sends != last_) {
      last_ = sends;
      since_ = now;
    }
    return now - since_;
  }

 private:
  LONG last_ = -1;
  double since_ = 0;
};

struct OwnerState {
  HWND window;
  bool hidden = false;
  bool remembered = false;
};

// Whose button is there and hidden.
void ReadButtons(std::vector<OwnerState>& owners, RemoteMemory& remote) {
  for (OwnerState& o : owners) o.hidden = false;
  ForEachTrayButton<TrayRecord>(g_toolbar, remote, [&](const TBBUTTON& b, const TrayRecord& r) {
    for (OwnerState& o : owners)
      if (o.window == r.hwnd && (b.fsState & TBSTATE_HIDDEN)) o.hidden = true;
  });
}

int HiddenCount(const std::vector<OwnerState>& owners) {
  return static_cast<int>(
      std::count_if(owners.begin(), owners.end(), [](const OwnerState& o) { return o.hidden; }));
}

// Whose program [Panel items] of the settings file holds.
void ReadMemory(std::vector<OwnerState>& owners) {
  char dir[MAX_PATH];
  GetWindowsDirectoryA(dir, MAX_PATH);
  const std::string ini = std::string(dir) + "\\QLCvl.ini";
  const int count = static_cast<int>(GetPrivateProfileIntA("Panel items", "Count", 0, ini.c_str()));
  for (OwnerState& o : owners) o.remembered = false;
  for (int i = 0; i < count; ++i) {
    char path[MAX_PATH] = {}, cls[256] = {};
    const std::string k = std::to_string(i);
    GetPrivateProfileStringA("Panel items", ("IM_" + k).c_str(), "", path, sizeof path,
                             ini.c_str());
    GetPrivateProfileStringA("Panel items", ("ID_" + k).c_str(), "", cls, sizeof cls, ini.c_str());
    for (std::size_t j = 0; j < owners.size(); ++j)
      if (path[0] != '\0' && OwnerClass(static_cast<int>(j)) == cls) owners[j].remembered = true;
  }
}

int Placed(std::vector<OwnerState>& owners, RemoteMemory& remote, std::string* unplaced) {
  ReadButtons(owners, remote);
  ReadMemory(owners);
  int placed = 0;
  for (std::size_t i = 0; i < owners.size(); ++i) {
    const OwnerState& o = owners[i];
    if (o.hidden && o.remembered) {
      ++placed;
      continue;
    }
    if (unplaced != nullptr)
      *unplaced += (unplaced->empty() ? "" : ",") + std::to_string(i) + ":" +
                   (o.hidden ? "" : "shown") + (o.hidden || o.remembered ? "" : "+") +
                   (o.remembered ? "" : "unremembered");
  }
  return placed;
}

std::vector<OwnerState> OwnersOf(int count) {
  std::vector<OwnerState> owners;
  for (int i = 0; i < count; ++i) owners.push_back({FindWindowA(OwnerClass(i).c_str(), nullptr)});
  return owners;
}

int AtomsLeft(const std::vector<std::string>& tips) {
  int left = 0;
  for (const std::string& tip : tips) left += GlobalFindAtomA(tip.c_str()) != 0;
  return left;
}

SIZE_T MemoryKb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS c{};
  c.cb = sizeof c;
  if (!process || !GetProcessMemoryInfo(process, &c, sizeof c)) return 0;
  return c.PagefileUsage / 1024;
}

// The CPU time, in ms, of this Wine session's processes whose command line holds name, as
// Linux counts it (/proc through drive Z:): Wine tells another process's times as none.
double CpuMs(const char* name) {
  char prefix[MAX_PATH] = {};
  GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  const std::string ours = std::string("WINEPREFIX=") + prefix;
  const auto read = [](const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      char buffer[4096];
      for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        text.append(buffer, n);
      std::fclose(f);
    }
    for (char& c : text)
      if (c == '\0') c = '\n';
    return "\n" + text + "\n";
  };
  double ms = 0;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    if (found.cFileName[0] < '1' || found.cFileName[0] > '9') continue;
    const std::string dir = std::string("Z:\\proc\\") + found.cFileName + "\\";
    if (read(dir + "cmdline").find(name) == std::string::npos ||
        read(dir + "environ").find("\n" + ours + "\n") == std::string::npos)
      continue;
    // The fields after the command's closing parenthesis: utime and stime are the 12th and 13th.
    const std::string stat = read(dir + "stat");
    const std::size_t close = stat.rfind(')');
    unsigned long long utime = 0, stime = 0;
    if (close != std::string::npos &&
        std::sscanf(stat.c_str() + close + 1,
                    " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) == 2)
      ms += 10.0 * static_cast<double>(utime + stime);  // clock ticks of 10 ms
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return ms;
}

// What the shell runs as.
const char* g_shellName = "leantray.exe";

HWND MainForm() {
  return FindWindowA("TMainForm", "Quillon Corvalet");
}

// Corvalet, started and its main form up; its process handle.
HANDLE StartCorvalet(const char* exe) {
  const HANDLE process = Spawn(exe, std::string("\"") + exe + "\"");
  if (!process) return nullptr;
  for (int i = 0; i < 400 && !MainForm(); ++i) Sleep(50);
  return MainForm() ? process : nullptr;
}

struct Options {
  int fillers = 9;
  bool menus = true;
  const char* corvalet = "Corvalet.exe";
  const char* hook = nullptr;
  DWORD beforeMs = 8000, afterMs = 20000;
  bool control = false;        // animate: the second animation without Corvalet as well
  const char* pair = nullptr;  // animate: the folder where this run and its twin meet
};

Options ParseOptions(int argc, char** argv, int from) {
  Options o;
  for (int i = from; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-menu") == 0) o.menus = false;
    if (std::strcmp(argv[i], "--control") == 0) o.control = true;
    if (i + 1 >= argc) continue;
    if (std::strcmp(argv[i], "--fillers") == 0)
      o.fillers = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--corvalet") == 0)
      o.corvalet = argv[++i];
    else if (std::strcmp(argv[i], "--hook") == 0)
      o.hook = argv[++i];
    else if (std::strcmp(argv[i], "--shell") == 0)
      g_shellName = argv[++i];
    else if (std::strcmp(argv[i], "--before-ms") == 0)
      o.beforeMs = std::strtoul(argv[++i], nullptr, 10);
    else if (std::strcmp(argv[i], "--after-ms") == 0)
      o.afterMs = std::strtoul(argv[++i], nullptr, 10);
    else if (std::strcmp(argv[i], "--pair") == 0)
      o.pair = argv[++i];
  }
  return o;
}

std::vector<std::string> AddFillers(HWND filler, int fillers) {
  std::vector<std::string> tips;
  for (int i = 0; i < fillers; ++i) {
    tips.push_back(FillerTip(i));
    NotifyTrayIcon(filler, NIM_ADD, kFillerId + i, g_icon, tips.back().c_str());
  }
  return tips;
}

void RemoveFillers(HWND filler, int fillers) {
  for (int i = 0; i < fillers; ++i) NotifyTrayIcon(filler, NIM_DELETE, kFillerId + i, g_icon, "");
}

// The benchmark build's statistics (0 from the hook as it ships).
LONG Stat(WPARAM which) {
  static const UINT message = RegisterWindowMessageA("Snarehook.Stats");
  DWORD_PTR result = 0;
  SendMessageTimeoutA(g_taskbar, message, which, 0, SMTO_NORMAL, 5000, &result);
  return static_cast<LONG>(result);
}

// What came into the shell's thread per change since the statistics were reset.
std::string Account(int changes) {
  if (Stat(10) == 0) return "";  // not the benchmark build
  const auto per = [&](LONG n) { return static_cast<double>(n) / changes; };
  LONG in = 0;
  for (WPARAM k = 11; k <= 15; ++k) in += Stat(k);
  char line[400];
  std::snprintf(line, sizeof line,
                " hook=%.2f in_readings=%.2f in_commands=%.2f in_pixels=%.2f in_timers=%.2f "
                "in_other=%.2f in_all=%.2f told=%.2f own_us=%.1f",
                per(Stat(9)), per(Stat(11)), per(Stat(12)), per(Stat(13)), per(Stat(14)),
                per(Stat(15)), per(in), per(Stat(0)), per(Stat(16)));
  // The library's own time by part (hook/BenchStats.h).
  const char* const parts[] = {"forget", "track", "states", "report", "answers", "pixels", "hide"};
  std::string line2 = line;
  for (WPARAM k = 0; k < 7; ++k) {
    char part[40];
    std::snprintf(part, sizeof part, " %s_us=%.1f", parts[k], per(Stat(20 + k)));
    line2 += part;
  }
  // Added buttons hidden afterwards, and how long the longest was shown first.
  char shown[120];
  std::snprintf(shown, sizeof shown, " hidden_adds=%ld shown_over_16ms=%ld longest_shown_ms=%.1f",
                Stat(30), Stat(31), Stat(32) / 1000.0);
  return line2 + shown;
}

// nullhook.dll's procedure on the taskbar's thread, loaded there by a message it sees; true
// when it went on (and, with removed, off again).
bool NullHook(const char* kind) {
  const bool getMessage = std::strcmp(kind, "getmessage") == 0;
  const bool removed = std::strcmp(kind, "callwndproc-removed") == 0;
  const HMODULE dll = LoadLibraryA("nullhook.dll");
  const auto proc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(dll ? GetProcAddress(dll, "NullHook") : nullptr));
  if (!proc) return false;
  const HHOOK hook = SetWindowsHookExA(getMessage ? WH_GETMESSAGE : WH_CALLWNDPROC, proc, dll,
                                       GetWindowThreadProcessId(g_taskbar, nullptr));
  if (!hook) return false;
  if (getMessage) PostMessageA(g_taskbar, WM_NULL, 0, 0);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(g_taskbar, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  if (removed) UnhookWindowsHookEx(hook);
  return true;
}

int HookedBurst(int ownerCount, int cycles, double bareMs, double bareCpu, const char* kind) {
  if (!NullHook(kind)) return 1;
  Run run;
  if (!run.Start("hooked", ownerCount, cycles)) return 1;
  const double cpu = CpuMs(g_shellName);
  const double burstMs = run.Burst(900000);
  std::printf(
      "hook=%s changes=%d burst_bare_ms=%.0f burst_ms=%.0f ratio=%.2f shell_cpu_bare_ms=%.0f "
      "shell_cpu_ms=%.0f\n",
      kind, 3 * cycles * ownerCount + ownerCount, bareMs, burstMs,
      bareMs > 0 ? burstMs / bareMs : -1.0, bareCpu, CpuMs(g_shellName) - cpu);
  std::fflush(stdout);
  run.End();
  return 0;
}

int BurstMain(int ownerCount, int cycles, const Options& opt) {
  if (MainForm()) {
    std::fprintf(stderr, "Corvalet is running already: the first burst runs without it\n");
    return 1;
  }
  const HWND filler = MakeWindow("BurstFiller");
  std::vector<std::string> tips = AddFillers(filler, opt.fillers);

  Run bare;
  if (!bare.Start("bare", ownerCount, cycles)) return 1;
  double shellCpu = CpuMs(g_shellName);
  const double bareMs = bare.Burst(900000);
  const double shellBareCpu = CpuMs(g_shellName) - shellCpu;
  bare.End();
  if (opt.hook) {
    const int result = HookedBurst(ownerCount, cycles, bareMs, shellBareCpu, opt.hook);
    RemoveFillers(filler, opt.fillers);
    return result;
  }

  const HANDLE corvalet = StartCorvalet(opt.corvalet);
  if (!corvalet) return 1;
  Quiet quiet;
  for (const double t = NowMs(); quiet.For(NowMs()) < 1500 && NowMs() - t < 60000;) Pump(50);

  Run run;
  if (!run.Start("cv", ownerCount, cycles)) return 1;
  for (int o = 0; o < ownerCount; ++o) {
    tips.push_back(FirstTip(run.name, o));
    for (int c = 0; c < cycles; ++c) {
      tips.push_back(CycleTip(run.name, o, c));
      tips.push_back(CycleTip(run.name, o, c) + " m");
    }
  }
  const SIZE_T before = MemoryKb(corvalet);
  const LONG readings0 = Count(standin::kReadings) >= 0 ? Count(standin::kReadings) : Stat(8);
  Stat(17);
  g_bursting = opt.menus ? 1 : 0;
  const HANDLE prober =
      opt.menus ? CreateThread(nullptr, 0, MenuProber, MainForm(), 0, nullptr) : nullptr;
  shellCpu = CpuMs(g_shellName);
  const double burstMs = run.Burst(900000);
  shellCpu = CpuMs(g_shellName) - shellCpu;
  const double lastChange = NowMs();
  g_bursting = 0;
  if (prober) {
    WaitForSingleObject(prober, 30000);
    CloseHandle(prober);
  }

  // The moment after which every owner's button stayed hidden, until the tray fell quiet; ten
  // quiet seconds with one still shown end the wait.
  RemoteMemory remote(g_toolbar);
  std::vector<OwnerState> owners = OwnersOf(ownerCount);
  double settledAt = -1;
  for (const double t0 = NowMs(); NowMs() - t0 < 120000;) {
    const double now = NowMs();
    ReadButtons(owners, remote);
    const bool all = HiddenCount(owners) == ownerCount;
    if (all && settledAt < 0) settledAt = now;
    if (!all) settledAt = -1;
    const double q = quiet.For(now);
    if ((all && q >= 1500) || q >= 10000) break;
    Pump(20);
  }
  std::string unplaced;
  const int placed = Placed(owners, remote, &unplaced);
  const std::string account = Account(3 * cycles * ownerCount + ownerCount);
  const LONG readings =
      (Count(standin::kReadings) >= 0 ? Count(standin::kReadings) : Stat(8)) - readings0;
  const SIZE_T after = MemoryKb(corvalet);
  const int atomsLeft = AtomsLeft(tips);
  std::vector<double> menu = g_menuTimes;
  std::sort(menu.begin(), menu.end());

  // An owner left in the tray changes its icon once more: does that place it?
  std::string again;
  if (placed < ownerCount) {
    int asked = 0;
    for (std::size_t i = 0; i < owners.size(); ++i)
      if (!(owners[i].hidden && owners[i].remembered)) {
        PostMessageA(owners[i].window, kModifyAgain, 0, 0);
        ++asked;
      }
    for (const double t = NowMs();
         NowMs() - t < 5000 || (quiet.For(NowMs()) < 1500 && NowMs() - t < 30000);)
      Pump(50);
    again = " placed_after_modify=" + std::to_string(Placed(owners, remote, nullptr) - placed) +
            "/" + std::to_string(asked);
  }

  std::printf(
      "changes=%d burst_bare_ms=%.0f burst_ms=%.0f ratio=%.2f settled_ms=%.0f menu_worst_ms=%.0f "
      "menu_median_ms=%.0f menus=%d readings=%ld memory_before_kb=%lu memory_after_kb=%lu "
      "atoms_left=%d placed=%d/%d shell_cpu_bare_ms=%.0f shell_cpu_ms=%.0f%s%s%s%s\n",
      3 * cycles * ownerCount + ownerCount, bareMs, burstMs, bareMs > 0 ? burstMs / bareMs : -1.0,
      settledAt < 0 ? -1.0 : std::max(0.0, settledAt - lastChange),
      menu.empty() ? -1.0 : menu.back(), menu.empty() ? -1.0 : menu[menu.size() / 2],
      static_cast<int>(menu.size()), static_cast<long>(readings),
      static_cast<unsigned long>(before), static_cast<unsigned long>(after), atomsLeft, placed,
      ownerCount, shellBareCpu, shellCpu, unplaced.empty() ? "" : " unplaced=", unplaced.c_str(),
      again.c_str(), account.c_str());
  std::fflush(stdout);

  run.End();
  RemoveFillers(filler, opt.fillers);
  CloseHandle(corvalet);
  return 0;
}

int TenMain(int ownerCount, const Options& opt) {
  const HWND filler = MakeWindow("BurstFiller");
  std::vector<std::string> tips = AddFillers(filler, opt.fillers);
  HANDLE corvalet = nullptr;
  if (!MainForm() && !(corvalet = StartCorvalet(opt.corvalet))) return 1;
  Pump(opt.beforeMs);
  Run run;
  if (!run.Start("ten", ownerCount, 0, "now")) return 1;
  for (int o = 0; o < ownerCount; ++o) tips.push_back(FirstTip(run.name, o));
  if (run.Burst(60000) < 0) return 1;
  Pump(opt.afterMs);
  RemoteMemory remote(g_toolbar);
  std::vector<OwnerState> owners = OwnersOf(ownerCount);
  std::string unplaced;
  const int placed = Placed(owners, remote, &unplaced);
  std::printf("ten placed=%d/%d atoms_left=%d%s%s\n", placed, ownerCount, AtomsLeft(tips),
              unplaced.empty() ? "" : " unplaced=", unplaced.c_str());
  std::fflush(stdout);
  run.End();
  RemoveFillers(filler, opt.fillers);
  if (corvalet) CloseHandle(corvalet);
  return 0;
}

// Two animation runs in Wine sessions of their own, one with Corvalet and its control without,
// meet before each step in a shared folder: each leaves a file and waits for its twin's
// (boundMs at most), so both measure at the same moments and whatever else slows the machine
// then weighs on both. False when the twin never came.
bool Meet(const Options& opt, const std::string& step, DWORD boundMs) {
  if (!opt.pair) return true;
  const std::string dir = std::string(opt.pair) + "\\";
  const std::string mine = dir + (opt.control ? "control." : "with.") + step;
  const std::string twin = dir + (opt.control ? "with." : "control.") + step;
  if (FILE* f = std::fopen(mine.c_str(), "wb")) std::fclose(f);
  for (const double t = NowMs(); NowMs() - t < boundMs; Pump(20))
    if (GetFileAttributesA(twin.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  return false;
}

// One animation of the owners; the CPU time the shell and Corvalet took meanwhile, and the
// shell's account, taken before the owners end: their deletes and the readings after them are
// no part of the animation.
bool Animation(const char* name, int owners, int seconds, const Options& opt, double* shellMs,
               double* corvaletMs, double* serverMs, std::string* account = nullptr) {
  // Once both sessions are up (a new prefix takes minutes), then with the owners ready, within
  // the two minutes they wait to be let go.
  if (!Meet(opt, std::string(name) + "-up", 300000)) return false;
  Run run;
  if (!run.Start(name, owners, 10 * seconds, "animate")) return false;
  if (!Meet(opt, name, 90000)) return false;
  const double shell0 = CpuMs(g_shellName), corvalet0 = CpuMs("Corvalet.exe"),
               server0 = CpuMs("wineserver");
  Stat(17);  // the account from here
  if (run.Burst(60000 + 2000 * seconds) < 0) return false;
  *shellMs = CpuMs(g_shellName) - shell0;
  *corvaletMs = CpuMs("Corvalet.exe") - corvalet0;
  *serverMs = CpuMs("wineserver") - server0;
  if (account) *account = Account(owners * 10 * seconds);
  run.End();
  return true;
}

int AnimateMain(int owners, int seconds, const Options& opt) {
  if (MainForm()) return 1;
  const HWND filler = MakeWindow("BurstFiller");
  AddFillers(filler, opt.fillers);
  double bare = 0, with = 0, corvaletMs = 0, ignored = 0, serverBare = 0, server = 0;
  if (!Animation("still", owners, seconds, opt, &bare, &ignored, &serverBare)) return 1;
  HANDLE corvalet = nullptr;
  if (!opt.control && !(corvalet = StartCorvalet(opt.corvalet))) return 1;
  Pump(3000);
  std::string account;
  if (!Animation("moving", owners, seconds, opt, &with, &corvaletMs, &server, &account)) return 1;
  std::printf(
      "animate seconds=%d%s shell_bare_ms=%.0f shell_ms=%.0f shell_ratio=%.2f corvalet_ms=%.0f "
      "corvalet_core_pct=%.2f server_bare_ms=%.0f server_ms=%.0f server_ratio=%.2f%s\n",
      seconds, opt.control ? " control=1" : "", bare, with, bare > 0 ? with / bare : -1.0,
      corvaletMs, corvaletMs / (10.0 * seconds), serverBare, server,
      serverBare > 0 ? server / serverBare : -1.0, opt.control ? "" : account.c_str());
  std::fflush(stdout);
  RemoveFillers(filler, opt.fillers);
  if (corvalet) CloseHandle(corvalet);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  g_icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  g_otherIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_INFORMATION));
  if (argc >= 5 && std::strcmp(argv[1], "owner") == 0)
    return Owner(std::atoi(argv[2]), std::atoi(argv[3]), argv[4],
                 argc >= 6 && std::strcmp(argv[5], "now") == 0,
                 argc >= 6 && std::strcmp(argv[5], "animate") == 0);
  g_taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  g_toolbar = TrayToolbar();
  if (!g_toolbar) return 1;
  if (argc >= 4 && std::strcmp(argv[1], "burst") == 0)
    return BurstMain(std::atoi(argv[2]), std::atoi(argv[3]), ParseOptions(argc, argv, 4));
  if (argc >= 2 && std::strcmp(argv[1], "animate") == 0) {
    const bool counted = argc >= 3 && argv[2][0] != '-';
    int seconds = 20;
    for (int i = 2; i + 1 < argc; ++i)
      if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atoi(argv[i + 1]);
    return AnimateMain(counted ? std::atoi(argv[2]) : 10, seconds,
                       ParseOptions(argc, argv, counted ? 3 : 2));
  }
  if (argc >= 2 && std::strcmp(argv[1], "ten") == 0) {
    const bool counted = argc >= 3 && argv[2][0] != '-';
    return TenMain(counted ? std::atoi(argv[2]) : 10, ParseOptions(argc, argv, counted ? 3 : 2));
  }
  return 2;
}
