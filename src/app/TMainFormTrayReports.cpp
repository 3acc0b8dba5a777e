// The hook's reports and answers, the tray's readings and the shell's restart.
#include "app/TMainForm.h"

#include "app/InvalidOperation.h"
#include "shell/HookProtocol.h"

namespace cvl {

std::optional<LResult> TMainForm::WndProc(std::uint32_t msg, WParam wParam, LParam lParam) {
  if (msg == kWmEndSession) {
    WMEndSession(wParam != 0);
    return 0;
  }
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    // It may come inside a send or a menu: one restart is posted, and runs from a dispatch.
    if (!restartPosted_ && desktop_.PostMessageA(host_.Window(), kShellRestartMessage, 0, 0))
      restartPosted_ = true;
    return 0;
  }
  if (msg == kHeldReportMessage) {
    if (!registry_) return 0;
    if (const auto r = registry_->Deferral.Arrived(wParam)) {
      const ReportDeferral::Passing passing(registry_->Deferral, *r);
      WndProc(r->msg, r->wParam, r->lParam);
    }
    return 0;
  }
  if (msg == kShellRestartMessage) {
    // Not behind held reports: a new taskbar reads everything afresh.
    if (registry_ && registry_->Deferral.Busy()) {
      registry_->Deferral.DeferOnce(msg, wParam, lParam);
    } else {
      RunChosen();  // chosen before the restart came in, or while it waited behind the menu
      RunShellRestart();
    }
    return 0;
  }
  if (msg == kOwnIconCallback) {
    // The own tray icon: hovering shows the panel, a right-button release opens the menu;
    // left clicks do nothing. The callback may be sent while Corvalet itself waits in a send:
    // the menu, a loop of its own, opens from a posted message.
    if (OwnIconMessage(static_cast<std::uint32_t>(lParam))) {
      const Point at = desktop_.GetCursorPos();
      desktop_.PostMessageA(host_.Window(), kOpenMenuMessage, static_cast<WParam>(at.x),
                            static_cast<LParam>(at.y));
    }
    return 0;
  }
  if (msg == kOpenMenuMessage) {
    // Requests that waited together (right clicks while a menu was open) open one menu.
    while (desktop_.TakePostedMessage(host_.Window(), kOpenMenuMessage, kOpenMenuMessage)) {
    }
    if (registry_ && !registry_->Deferral.Busy()) RunChosen();
    PopupTrayMenu({static_cast<int>(wParam), static_cast<int>(lParam)});
    return 0;
  }
  if (msg == kMenuChosenMessage) {
    if (registry_ && registry_->Deferral.Busy()) {
      // Come in while reports are held (a refresh after a menu opened ahead of them): the
      // choice runs once that is over, still before what was held.
      registry_->Deferral.DeferFirst(msg, wParam, lParam);
      return 0;
    }
    RunChosen();
    return 0;
  }
  if (msg == kWmHotKey) {
    HotKeyPressed(static_cast<int>(wParam));
    return 0;
  }
  if (msg == THM_ICONBALLOON) {
    // Shown with a send to the shell: not inside a wait, and not while off (the library kept
    // it from the shell only while Corvalet served).
    if (registry_ && registry_->Deferral.Holds(msg, wParam, lParam)) {
      registry_->Deferral.Defer(msg, wParam, lParam);
    } else if (registry_ && !registry_->SwitchedOff) {
      if (const auto balloon = hook_.TakeBalloon(static_cast<std::uint32_t>(lParam)))
        balloons_.Show(*balloon);
    }
    return 0;
  }
  if (msg == THM_MINBUTTONRCLICK) {
    if (MinButtonRightClick) MinButtonRightClick(static_cast<Hwnd>(lParam));
    return 0;
  }
  // Something the shell missed while it was busy goes again now that there is news from it.
  if (msg >= kFirstReport && msg <= kLastReport) commands_.RetryPending();
  if (registry_ && registry_->HandleHookMessage(msg, wParam, lParam))
    return msg == THM_ENUMBEGIN || msg == THM_QUERYBEGIN ? kTakesAnswerBatch : 0;
  return std::nullopt;
}

void TMainForm::RunShellRestart() {
  // A restart that runs now covers every "TaskbarCreated" that came before it: one still
  // waiting in the queue (the same broadcast twice, the restart taken early) would run another.
  while (desktop_.TakePostedMessage(host_.Window(), taskbarCreated_, taskbarCreated_)) {
  }
  restartPosted_ = false;
  ShellRestarted();
}

bool TMainForm::ClaimAnswerBatch(const AnswerBatch& batch) {
  // The end, last in every batch, carries the answer's number.
  return registry_ && hook_.ClaimAnswer(batch[batch.Count() - 1].wParam);
}

void TMainForm::TakeAnswerBatch(const AnswerBatch& batch) {
  if (!registry_) return;
  for (std::size_t i = 0; i < batch.Count(); ++i) {
    const AnswerMessage m = batch[i];
    registry_->Reader.HandleAnswer(m.msg, m.wParam, m.lParam);
  }
}

void TMainForm::RetryTimerTimer() {
  commands_.RetryPending();
  TellPanelShown();  // a switch kept until now has just said otherwise
  if (registry_) registry_->Deferral.ReleaseHeld();
  if (registry_) registry_->ReadForPanel();
  // Owed by a burst whose last report came with something else waiting.
  if (registry_ && registry_->Placement.OwnIconOwed() && !registry_->Deferral.Busy())
    registry_->Placement.RefreshOwnIconUnlessMoreCome();
  // Reports that wait together are read once: one more costs nothing.
  if (registry_ && registry_->ReadingOwed() && !registry_->Deferral.Busy())
    desktop_.PostMessageA(host_.Window(), THM_ICONDELETED, static_cast<WParam>(shell_.Toolbar), 0);
}

bool TMainForm::RetryPending() const {
  return commands_.HasPending() ||
         (registry_ && (registry_->ReadingOwed() || registry_->Deferral.Held() > 0 ||
                        registry_->Placement.OwnIconOwed()));
}

void TMainForm::ReloadTray() {
  try {
    registry_->Reader.EnumerateIcons(registry_->AllIcons);
    // Icons put back before the hook came are told by no report: only a reading finds them.
    registry_->NoteReading(registry_->Reader.LastReadingWhole());
    registry_->Dead.TakeOut();
    registry_->Memory.LoadPlacementMemory();
  } catch (const InvalidOperation&) {
  }
  OptionsToDialog();
  registry_->Placement.ApplyPlacement();
  registry_->Dead.RemoveAndWatch();
  registry_->Placement.RefreshOwnIcon();
}

void TMainForm::ShellRestarted() {
  if (!created_ || destroyed_) return;
  // Switched off by the user or by the end of the session (which leaves Enabled as it was):
  // a restart asked for before then takes nothing back from the shell.
  const bool on = !registry_->SwitchedOff;
  const ShellWindows found = FindShellWindows(desktop_);
  // A window handle is not used again while its window lives; the process tells a handle
  // that came back for another taskbar.
  if (found.Taskbar != 0 && found.Taskbar == shell_.Taskbar &&
      desktop_.GetWindowThreadProcessId(found.Taskbar) == taskbarProcess_) {
    // Only a broadcast: the hook, the room, the button and the icons are all still there.
    if (OnShellRestarted) OnShellRestarted(true);
    if (on)
      ReloadTray();
    else
      registry_->Placement.RefreshOwnIcon();
    return;
  }
  // What was kept for the old windows can never arrive; the old button went with its parent.
  commands_.ForgetSwitches();
  commands_.ForgetButtons();
  commands_.ForgetHiddenButtons();
  shell_ = found;
  taskbarProcess_ = desktop_.GetWindowThreadProcessId(shell_.Taskbar);
  clockButton_->ShellRestarted();
  registry_->TrayFolded = false;
  if (on) {
    hook_.SetTrayHook();
    SwitchServingOn();
    clockButton_->ApplyTrayButton();
  }
  if (OnShellRestarted) OnShellRestarted(false);
  if (on) {
    registry_->ExpectReturningIcons();
    ReloadTray();  // the owners' icons that are back already; the rest come as reports
  } else {
    registry_->Placement.RefreshOwnIcon();
  }
}

}  // namespace cvl
