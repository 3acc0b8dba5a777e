#include "BenchStats.h"

#include "SharedSection.h"
#include "Subclassing.h"

#include <commctrl.h>

#include "shell/HookProtocol.h"

namespace snarehook {

namespace {

// What came into the shell's thread since the last reset, for every process to read.
// Counted: hook calls; programs' WM_COPYDATA; Corvalet's requests (enumerations and the
// query's three messages); TB_HIDEBUTTON and TB_MOVEBUTTON from another thread; pixel jobs;
// timers; any other message another thread sent the three windows.
enum Counted {
  kHookCalls,
  kChanges,
  kReadings,
  kCommands,
  kPixelJobs,
  kTimers,
  kOtherSent,
  kKinds
};
struct Account {
  LONG counts[kKinds];
  LONGLONG ownTicks;
  LONGLONG partTicks[kBenchParts];
  LONG hiddenAdds;  // added buttons hidden afterwards
  LONG shownLong;   // of them, shown for more than a frame
  LONGLONG longestShown;
};
__attribute__((section(".shr"), shared)) Account g_account = {};

// The shell's thread only: the message being handled and what it cost so far.
int g_depth;
HWND g_outerWindow;
UINT g_outerMessage;
WPARAM g_outerW;
LPARAM g_outerL;
bool g_outerPassed;
LARGE_INTEGER g_outerStart;
LONGLONG g_shellTicks;

// The last buttons added, with when.
struct Added {
  int command;
  LONGLONG at;
};
constexpr int kAddsKept = 64;
Added g_added[kAddsKept];
int g_nextAdded;

LONGLONG Ticks() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

void Classify(HWND w, UINT msg, WPARAM wp) {
  using namespace cvl;
  if (w == g_shared.taskbar && msg == WM_COPYDATA)
    InterlockedIncrement(&g_account.counts[kChanges]);
  else if (w == g_shared.toolbar && ((msg == THM_ENUMREQUEST && wp == THM_ENUM_VALUE) ||
                                     (msg == THM_QUERYREQUEST && wp == THM_QUERY_VALUE) ||
                                     (msg == THM_QUERYSETWND && wp == THM_QUERYSETWND_VALUE) ||
                                     (msg == THM_QUERYSETID && wp == THM_QUERYSETID_VALUE)))
    InterlockedIncrement(&g_account.counts[kReadings]);
  else if (w == g_shared.toolbar && (msg == TB_HIDEBUTTON || msg == TB_MOVEBUTTON))
    InterlockedIncrement(&g_account.counts[kCommands]);
  else if (w == g_shared.taskbar && msg == g_shared.pixelsMessage)
    InterlockedIncrement(&g_account.counts[kPixelJobs]);
  else if (w == g_shared.taskbar && msg == WM_TIMER)
    InterlockedIncrement(&g_account.counts[kTimers]);
  // The benchmark's own questions to the tray (WM_APP and up) and its readings of the buttons
  // are not Corvalet's doing.
  else if (InSendMessage() && msg != g_shared.statsMessage && msg < WM_APP &&
           msg != TB_BUTTONCOUNT && msg != TB_GETBUTTON && msg != TB_GETBUTTONTEXTA &&
           msg != TB_GETBUTTONTEXTW && msg != TB_GETITEMRECT)
    InterlockedIncrement(&g_account.counts[kOtherSent]);
}

}  // namespace

BenchPart::BenchPart(int part) : part_(part), start_(Ticks()) {}

BenchPart::~BenchPart() {
  if (part_ >= 0 && part_ < kBenchParts) g_account.partTicks[part_] += Ticks() - start_;
}

void BenchAdded(int command) {
  g_added[g_nextAdded] = {command, Ticks()};
  g_nextAdded = (g_nextAdded + 1) % kAddsKept;
}

void BenchHidden(int command) {
  for (Added& a : g_added) {
    if (a.at == 0 || a.command != command) continue;
    const LONGLONG shown = Ticks() - a.at;
    a.at = 0;
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    ++g_account.hiddenAdds;
    if (shown * 1000 > 16 * f.QuadPart) ++g_account.shownLong;
    if (shown > g_account.longestShown) g_account.longestShown = shown;
  }
}

void CountHookCall() {
  InterlockedIncrement(&g_account.counts[kHookCalls]);
}

void BenchEnter(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (g_depth++ > 0) return;
  Classify(w, msg, wp);
  g_outerWindow = w;
  g_outerMessage = msg;
  g_outerW = wp;
  g_outerL = lp;
  g_outerPassed = false;
  g_shellTicks = 0;
  g_outerStart.QuadPart = Ticks();
}

void BenchLeave() {
  if (--g_depth > 0) return;
  if (g_outerMessage != g_shared.statsMessage)
    g_account.ownTicks += Ticks() - g_outerStart.QuadPart - g_shellTicks;
}

bool BenchShellBegin(HWND w, UINT msg, WPARAM wp, LPARAM lp, LARGE_INTEGER& start) {
  if (g_depth != 1 || g_outerPassed || w != g_outerWindow || msg != g_outerMessage ||
      wp != g_outerW || lp != g_outerL)
    return false;
  g_outerPassed = true;
  start.QuadPart = Ticks();
  return true;
}

void BenchShellEnd(const LARGE_INTEGER& start) {
  g_shellTicks += Ticks() - start.QuadPart;
}

// wParam 0 the messages told, 1 the requests taken; 2 arms the stamp of the next hide of the
// tray's last button, 3 and 4 read it (performance counter, low and high half; 0 while none);
// 5, 6, 7: microseconds from the report to the first request, to its answer's end, and to the
// hide; 8 the readings of the tray asked for. The account since its reset (17): 9 hook
// procedure calls; messages into the thread: 10 programs' changes, 11 readings and queries,
// 12 button commands, 13 pixel jobs, 14 timers, 15 other sends; 16 the library's own time
// there in microseconds, and from 20 on by part (BenchPartId); 30 added buttons hidden
// afterwards, 31 of them shown for more than 16 ms, 32 the longest shown in microseconds.
bool StatsMessage(UINT msg, WPARAM wp, LRESULT& result) {
  if (msg != g_shared.statsMessage || msg == 0) return false;
  if (wp == 2) {
    g_shared.stamp.QuadPart = 0;
    g_shared.reported.QuadPart = g_shared.requested1.QuadPart = g_shared.answered.QuadPart = 0;
    g_shared.stampArmed = 1;
  }
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  const auto us = [&](const LARGE_INTEGER& t) -> LRESULT {
    return t.QuadPart && g_shared.reported.QuadPart
               ? static_cast<LRESULT>((t.QuadPart - g_shared.reported.QuadPart) * 1000000 /
                                      f.QuadPart)
               : -1;
  };
  result = wp == 0 ? g_shared.told : wp == 1 ? g_shared.requested : 0;
  if (wp == 3) result = static_cast<LRESULT>(g_shared.stamp.LowPart);
  if (wp == 4) result = static_cast<LRESULT>(g_shared.stamp.HighPart);
  if (wp == 5) result = us(g_shared.requested1);
  if (wp == 6) result = us(g_shared.answered);
  if (wp == 7) result = us(g_shared.stamp);
  if (wp == 8) result = g_shared.enumerations;
  if (wp >= 9 && wp < 9 + kKinds) result = g_account.counts[wp - 9];
  if (wp == 16) result = static_cast<LRESULT>(g_account.ownTicks * 1000000 / f.QuadPart);
  if (wp == 30) result = g_account.hiddenAdds;
  if (wp == 31) result = g_account.shownLong;
  if (wp == 32) result = static_cast<LRESULT>(g_account.longestShown * 1000000 / f.QuadPart);
  if (wp >= 20 && wp < 20 + kBenchParts)
    result = static_cast<LRESULT>(g_account.partTicks[wp - 20] * 1000000 / f.QuadPart);
  if (wp == 17) {
    g_account = {};
    g_shared.told = 0;
  }
  return true;
}

void StampHide(WPARAM command, LPARAM lp) {
  if (LOWORD(lp) != 0) BenchHidden(static_cast<int>(command));
  if (LOWORD(lp) != 0 && g_shared.stampArmed &&
      CallOld(g_shared.toolbar, TB_COMMANDTOINDEX, command, 0) ==
          CallOld(g_shared.toolbar, TB_BUTTONCOUNT, 0, 0) - 1) {
    g_shared.stampArmed = 0;
    QueryPerformanceCounter(&g_shared.stamp);
  }
}

}  // namespace snarehook
