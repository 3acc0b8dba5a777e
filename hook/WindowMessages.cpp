#include "WindowMessages.h"

#include "Answers.h"
#include "Balloons.h"
#include "HiddenProcesses.h"
#include "IconStates.h"
#include "IconVersions.h"
#include "Pixels.h"
#include "Reports.h"
#include "SharedSection.h"
#include "ShellTray.h"
#include "Subclassing.h"
#include "TrayDecisions.h"
#include "Watchdog.h"

#include <commctrl.h>

#include <cstring>

#include "shell/HookProtocol.h"

#include "BenchStats.h"

namespace snarehook {

namespace {

bool g_shellChanging;  // the shell is taking a program's Shell_NotifyIcon record

// TB_HIDEBUTTON: true when the button keeps its state (TrayDecisions.h says when).
bool HideButton(int command, bool hide) {
  const HideVerdict v = JudgeHide(
      hide, InSendMessage() && !g_shellChanging, g_shared.serving,
      [command] { return ProgramHidButton(command); }, [command] { return CorvaletHid(command); });
  if (v.track != Track::None) TrackHidden(command, v.track == Track::Hidden);
  return v.keepsState;
}

// A shell may show a button by setting its whole state (TB_SETSTATE, or TB_SETBUTTONINFO with
// TBIF_STATE) instead of TB_HIDEBUTTON: a button Corvalet hid keeps its hidden bit then too,
// while Corvalet serves. True when the message was passed on changed (result).
bool KeepHiddenInState(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (!g_shared.serving || (InSendMessage() && !g_shellChanging)) return false;
  if (msg == TB_SETSTATE) {
    if ((LOWORD(lp) & TBSTATE_HIDDEN) || !CorvaletHid(static_cast<int>(wp))) return false;
    result = CallOld(g_shared.toolbar, msg, wp, MAKELONG(LOWORD(lp) | TBSTATE_HIDDEN, 0));
    return true;
  }
  // Both forms begin alike up to fsState; the text pointer is passed on untouched. Only a
  // button Corvalet hid is looked at (by index, wp is no command, and nothing is kept): the
  // shell sets its buttons' text and pictures this way for every change.
  TBBUTTONINFOA info;
  if (!CorvaletHid(static_cast<int>(wp)) ||
      !Readable(reinterpret_cast<const void*>(lp), sizeof info))
    return false;
  std::memcpy(&info, reinterpret_cast<const void*>(lp), sizeof info);
  if (info.cbSize < sizeof info || !(info.dwMask & TBIF_STATE) || (info.dwMask & TBIF_BYINDEX) ||
      (info.fsState & TBSTATE_HIDDEN))
    return false;
  info.fsState |= TBSTATE_HIDDEN;
  result = CallOld(g_shared.toolbar, msg, wp, reinterpret_cast<LPARAM>(&info));
  return true;
}

}  // namespace

LRESULT TaskbarMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  using namespace cvl;
#ifdef SNAREHOOK_BENCH
  if (LRESULT stats = 0; StatsMessage(msg, wp, stats)) return stats;
#endif
  if (msg == THM_HOOKSWITCH &&
      (static_cast<UINT>(lp) == THM_ON || static_cast<UINT>(lp) == THM_OFF)) {
    InterlockedIncrement(&g_shared.requested);
    g_shared.serving = static_cast<UINT>(lp) == THM_ON;
    g_shared.form = g_shared.serving ? FindWindowA(kMainFormClass, kMainFormCaption) : nullptr;
    ForgetSentPixels();
    ForgetMissedReports();
    // A switch on that came late (kept by a busy shell) must not hide an open panel from the
    // library; a Corvalet that died with its panel open is the watchdog's.
    if (!g_shared.serving) {
      g_shared.panelShown = 0;
      // Corvalet has shown what it placed; a button hidden ahead of a reading it never made
      // is given back here.
      ForgetHiddenProcesses();
      ShowHiddenButtons();
    }
    return 1;
  }
  if (msg == g_shared.pixelsMessage && msg != 0) {
    SNAREHOOK_BENCH_PART(kPartPixels);
    SendPendingIconBits();
    return 0;
  }
  if (WatchdogMessage(msg, wp)) return 0;
  if (ReportsMessage(msg, wp)) return 0;
  if (msg == WM_COPYDATA) {
    const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    // Read once: each check of the record's memory is a system call, under Wine two more
    // around it, on the shell's thread for every program's change.
    const auto n = ReadNotify(cds);
    {
      SNAREHOOK_BENCH_PART(kPartForget);
      ForgetChangedIcon(n);
    }
    // What the shell hides or shows while it takes a program's record is its own doing.
    g_shellChanging = true;
    bool relayed = false;
    LRESULT result = RelayBalloon(w, wp, cds, n, relayed);
    if (!relayed) result = CallOld(w, msg, wp, lp);
    g_shellChanging = false;
    if (!result) return result;
    {
      SNAREHOOK_BENCH_PART(kPartTrack);
      TrackCorvaletIcon(n);
    }
    bool stateChanged = false;
    {
      SNAREHOOK_BENCH_PART(kPartStates);
      // Both are noted, whichever changed.
      const bool hiddenChanged = n && NoteProgramState(*n);
      const bool versionChanged = n && NoteIconVersion(*n);
      stateChanged = hiddenChanged || versionChanged;
    }
    if (n) {
      SNAREHOOK_BENCH_PART(kPartHide);
      HideListedAdd(*n);
    }
    SNAREHOOK_BENCH_PART(kPartReport);
    if (g_shared.serving) Report(n, stateChanged);
    return result;
  }
  return CallOld(w, msg, wp, lp);
}

bool ToolbarMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  using namespace cvl;
  if (msg == THM_ENUMREQUEST || msg == THM_QUERYSETWND || msg == THM_QUERYREQUEST ||
      msg == TB_MOVEBUTTON)
    InterlockedIncrement(&g_shared.requested);
#ifdef SNAREHOOK_BENCH
  if (msg == THM_ENUMREQUEST) InterlockedIncrement(&g_shared.enumerations);
#endif
  SNAREHOOK_BENCH_PART(kPartAnswers);
  if (g_shared.serving && AnswerRequest(msg, wp, lp, result)) return true;
  if (msg == TB_DELETEBUTTON) ForgetIconOfButton(static_cast<int>(wp));
  if (msg == TB_HIDEBUTTON && HideButton(static_cast<int>(wp), LOWORD(lp) != 0)) {
    result = TRUE;
    return true;
  }
  if ((msg == TB_SETSTATE || msg == TB_SETBUTTONINFOA || msg == TB_SETBUTTONINFOW) &&
      KeepHiddenInState(msg, wp, lp, result))
    return true;
#ifdef SNAREHOOK_BENCH
  if (msg == TB_HIDEBUTTON) StampHide(wp, lp);
  if ((msg == TB_ADDBUTTONSA || msg == TB_ADDBUTTONSW) && wp == 1 &&
      Readable(reinterpret_cast<const void*>(lp), sizeof(TBBUTTON)))
    BenchAdded(reinterpret_cast<const TBBUTTON*>(lp)->idCommand);
  if ((msg == TB_INSERTBUTTONA || msg == TB_INSERTBUTTONW) &&
      Readable(reinterpret_cast<const void*>(lp), sizeof(TBBUTTON)))
    BenchAdded(reinterpret_cast<const TBBUTTON*>(lp)->idCommand);
#endif
  return false;
}

}  // namespace snarehook
