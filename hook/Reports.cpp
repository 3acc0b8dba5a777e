#include "Reports.h"

#include "SharedSection.h"
#include "Snarehook.h"

#include "shell/HookProtocol.h"

namespace snarehook {

namespace {

constexpr UINT_PTR kReportsTimer = 0x5352;
constexpr UINT kRetryMs = 250;
// Posted and not yet taken: past this, Corvalet is so far behind that a mark serves it better.
constexpr LONG kMostReportsInFlight = 2000;

bool Post(HWND form, UINT msg, WPARAM wp, LPARAM lp) {
  if (g_shared.reportsInFlight >= kMostReportsInFlight) return false;
  if (!PostMessageA(form, msg, wp, lp)) return false;
  InterlockedIncrement(&g_shared.reportsInFlight);
  return true;
}

bool AnythingMarked() {
  return g_shared.missedAddCount > 0 || g_shared.missedChange != 0;
}

void ArmTimer() {
  SetTimer(g_shared.taskbar, kReportsTimer, kRetryMs, nullptr);
}

// The last balloon whose report could not go; an earlier one has been replaced by it anyway.
bool TellOwedBalloon(HWND form) {
  const LONG number = g_shared.balloonOwed;
  if (number == 0) return true;
  const cvl::BalloonRecord& r = g_shared.balloons[static_cast<UINT>(number) % kBalloonsKept];
  if (static_cast<LONG>(r.number) != number) {
    g_shared.balloonOwed = 0;  // no longer kept
    return true;
  }
  if (!PostMessageA(form, cvl::THM_ICONBALLOON, r.owner, number)) return false;
  InterlockedCompareExchange(&g_shared.balloonOwed, 0, number);
  return true;
}

void Mark(UINT report, DWORD owner, UINT id) {
  // Armed once: setting it again would restart its count, and a program that changes its
  // icon more often than the timer's period would keep it from ever firing.
  if (!AnythingMarked() && g_shared.balloonOwed == 0) ArmTimer();
  if (report == cvl::THM_ICONADDED && g_shared.missedAddCount < kMaxMissedAdds)
    g_shared.missedAdds[g_shared.missedAddCount++] = {owner, id};
  else
    g_shared.missedChange = 1;  // an add past the marks is still listed by the reading
}

// Tells what was marked, in its order, as far as the posts go; true when all went.
bool TellMarked(HWND form) {
  int told = 0;
  while (told < g_shared.missedAddCount &&
         Post(form, cvl::THM_ICONADDED, g_shared.missedAdds[told].owner,
              static_cast<LPARAM>(g_shared.missedAdds[told].id)))
    ++told;
  for (int i = told; i < g_shared.missedAddCount; ++i)
    g_shared.missedAdds[i - told] = g_shared.missedAdds[i];
  g_shared.missedAddCount -= told;
  if (g_shared.missedAddCount > 0) return false;
  if (g_shared.missedChange &&
      !Post(form, cvl::THM_ICONDELETED, reinterpret_cast<WPARAM>(g_shared.toolbar), 0))
    return false;
  g_shared.missedChange = 0;
  return true;
}

}  // namespace

void TellBalloon(HWND form, HWND owner, LONG number) {
  if (PostMessageA(form, cvl::THM_ICONBALLOON, reinterpret_cast<WPARAM>(owner), number)) return;
  if (!AnythingMarked() && g_shared.balloonOwed == 0) ArmTimer();
  g_shared.balloonOwed = number;
}

void TellReport(HWND form, UINT report, DWORD owner, UINT id) {
  // What happened after a marked change waits behind it, so that adds keep their order.
  if (AnythingMarked() || !Post(form, report, owner, id)) Mark(report, owner, id);
}

bool ReportsMessage(UINT msg, WPARAM wp) {
  if (msg != WM_TIMER || wp != kReportsTimer) return false;
  // A report posted to a form that had gone is told to the one up now.
  if (g_shared.serving && (g_shared.form == nullptr || !IsWindow(g_shared.form)))
    g_shared.form = FindWindowA(cvl::kMainFormClass, cvl::kMainFormCaption);
  const HWND form = g_shared.form;
  if (!g_shared.serving || form == nullptr || !IsWindow(form))
    ForgetMissedReports();
  else if (TellMarked(form) && TellOwedBalloon(form))
    KillTimer(g_shared.taskbar, kReportsTimer);
  return true;
}

void ForgetMissedReports() {
  g_shared.missedAddCount = 0;
  g_shared.missedChange = 0;
  g_shared.reportsInFlight = 0;
  g_shared.balloonOwed = 0;
  KillTimer(g_shared.taskbar, kReportsTimer);
}

}  // namespace snarehook

BOOL ReportsTaken(void) {
  snarehook::g_shared.reportsInFlight = 0;
  return TRUE;
}

BOOL SetPanelShown(BOOL shown) {
  InterlockedExchange(&snarehook::g_shared.panelShown, shown ? 1 : 0);
  return TRUE;
}

DWORD UntoldChanges(void) {
  return static_cast<DWORD>(snarehook::g_shared.untoldChanges);
}
