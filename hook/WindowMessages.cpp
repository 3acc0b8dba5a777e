#include "WindowMessages.h"

#include "Answers.h"
#include "Pixels.h"
#include "Reports.h"
#include "SharedSection.h"
#include "Subclassing.h"
#include "Watchdog.h"

#include <commctrl.h>

#include "shell/HookProtocol.h"

#ifdef SNAREHOOK_BENCH
#include "BenchStats.h"
#endif

namespace snarehook {

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
    return 1;
  }
  if (msg == g_shared.pixelsMessage && msg != 0) {
    SendPendingIconBits();
    return 0;
  }
  if (WatchdogMessage(msg, wp)) return 0;
  if (ReportsMessage(msg, wp)) return 0;
  if (msg == WM_COPYDATA) {
    ForgetChangedIcon(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    const LRESULT result = CallOld(w, msg, wp, lp);
    if (result) TrackCorvaletIcon(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    if (result && g_shared.serving) Report(reinterpret_cast<const COPYDATASTRUCT*>(lp));
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
  if (g_shared.serving && AnswerRequest(msg, wp, lp, result)) return true;
  if (msg == TB_DELETEBUTTON) ForgetIconOfButton(static_cast<int>(wp));
  // Only what another thread hides is Corvalet's doing; the shell hides its own buttons too
  // (XP's inactive icons), and those are not ours to show again.
  if (msg == TB_HIDEBUTTON && InSendMessage()) TrackHidden(static_cast<int>(wp), LOWORD(lp) != 0);
#ifdef SNAREHOOK_BENCH
  if (msg == TB_HIDEBUTTON) StampHide(wp, lp);
#endif
  return false;
}

}  // namespace snarehook
