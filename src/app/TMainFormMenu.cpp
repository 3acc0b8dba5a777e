// The own icon's panel and menu, and the menu's commands.
#include "app/TMainForm.h"

#include "app/InvalidOperation.h"
#include "registry/FlagScope.h"
#include "views/IconMessages.h"

namespace cvl {

void TMainForm::SetHintTimer(bool enabled) {
  hintTimer_ = enabled;
  if (OnHintTimer) OnHintTimer(enabled);
}

void TMainForm::PanelShown(bool shown) {
  hook_.SetPanelShown(shown);
  if (shown && registry_) registry_->PanelOpening();
}

void TMainForm::TellPanelShown() {
  if (panel_ != nullptr && panel_->Visible) hook_.SetPanelShown(true);
}

void TMainForm::RxTrayIcon1MouseMove() {
  if (panel_ == nullptr || panel_->Visible || registry_->PanelList.Count() == 0) return;
  try {
    panel_->Show();
  } catch (const InvalidOperation&) {
  }
  SetHintTimer(false);
  SetHintTimer(true);
}

void TMainForm::HintTimerTimer() {
  if (panel_ == nullptr) return;
  // The keyboard's panel stays until Escape or until it loses the focus.
  if (panel_->OpenedFromKeyboard()) {
    SetHintTimer(false);
    return;
  }
  const Point p = desktop_.GetCursorPos();
  const THint& h = *panel_;
  if (h.Left < p.x && p.x < h.Left + h.Width && h.Top < p.y && p.y < h.Top + h.Height) return;
  SetHintTimer(false);
  panel_->Hide();
}

bool TMainForm::OwnIconMessage(std::uint32_t message) {
  const std::uint32_t last = lastOwnIconMessage_;
  lastOwnIconMessage_ = message;
  // The shell's balloon messages come the same way, and are the program's to hear.
  if (message >= kNinBalloonShow && message <= kNinBalloonUserClick)
    balloons_.OwnIconMessage(message);
  if (message == kWmMouseMove) RxTrayIcon1MouseMove();
  // The keyboard's activation, where the shell took the icon's version 3: the panel.
  if (message == kNinKeySelect) ShowPanelFromKeyboard(desktop_.GetForegroundWindow());
  // The menu: at a right-button release, or at the keyboard's shortcut-menu key (version 3),
  // which the shell of later versions also sends after the mouse's release.
  return message == kWmRButtonUp || (message == kWmContextMenu && last != kWmRButtonUp);
}

void TMainForm::ShowPanelFromKeyboard(Hwnd returnTo) {
  if (panel_ == nullptr) return;
  // Corvalet's own windows, the panel's among them, are no place to give the focus back to.
  if (returnTo != 0 && desktop_.GetWindowThreadProcessId(returnTo) ==
                           desktop_.GetWindowThreadProcessId(host_.Window()))
    returnTo = 0;
  // No hint timer: the cursor is not where the keyboard works.
  if (panel_->ShowFromKeyboard(returnTo)) SetHintTimer(false);
}

void TMainForm::RxPopupMenu1Popup() {
  views_.RebuildMenu();
  // The entries name records by position: what the menu lists now is what they mean.
  shownEntries_.assign(registry_->MenuList.begin(), registry_->MenuList.end());
}

void TMainForm::PopupTrayMenu(Point at) {
  if (!NoModalOpen()) return;
  TrayRegistry& registry = *registry_;
  if (!chosen_.empty()) {
    // The last menu's choice runs before another menu opens: from a plain dispatch.
    if (registry.Deferral.Busy())
      registry.Deferral.DeferOnce(kOpenMenuMessage, static_cast<WParam>(at.x),
                                  static_cast<LParam>(at.y));
    else
      desktop_.PostMessageA(host_.Window(), kOpenMenuMessage, static_cast<WParam>(at.x),
                            static_cast<LParam>(at.y));
    return;
  }
  if (registry.Deferral.Busy() && !registry.Placement.RefreshingOwnIcon() &&
      !registry.Gathering()) {
    // Inside a wait for the hook: the menu opens once the answer is in. The own icon's refresh
    // and the gathering of a burst's reports only pump, hold nothing the menu could change, and
    // during a burst they are most of the time: the menu opens there at once, and what comes in
    // meanwhile stays held.
    registry.Deferral.DeferOnce(kOpenMenuMessage, static_cast<WParam>(at.x),
                                static_cast<LParam>(at.y));
    return;
  }
  foregroundBeforeMenu_ = desktop_.GetForegroundWindow();
  RxPopupMenu1Popup();
  shownMenu_ = RxPopupMenu1;
  const ReportDeferral::Scope holding(registry.Deferral);
  std::optional<int> chosen;
  const int endsBefore = sessionEnds_;
  {
    const FlagScope open(menuOpen_, true);
    if (OpenMenu) chosen = OpenMenu(shownMenu_, at);
  }
  if (!chosen || *chosen < 0 || *chosen >= shownMenu_.Count()) return;
  const MenuItem& item = shownMenu_.Items[static_cast<std::size_t>(*chosen)];
  if (item.IsSeparator()) return;
  // Handled after the menu has closed, behind what its loop posted and ahead of what it held.
  // The choice carries what its entry named: another menu may open before it runs. Where the
  // queue is full it still runs, at the next report or choice.
  Chosen choice{item, std::nullopt, sessionEnds_ != endsBefore};
  if (item.Tag >= 0 && item.Tag < static_cast<int>(shownEntries_.size()))
    choice.record = shownEntries_[static_cast<std::size_t>(item.Tag)];
  chosen_.push_back(std::move(choice));
  desktop_.PostMessageA(host_.Window(), kMenuChosenMessage, 0, 0);
}

void TMainForm::RunChosen() {
  // Each runs once, in the order the menus closed; what one runs may open another menu.
  while (!chosen_.empty()) {
    const Chosen choice = std::move(chosen_.front());
    chosen_.pop_front();
    ++choicesRun_;
    if (choice.beforeSessionEnd && choice.item.Name == "Enabled1")
      Enabled1Click(false);
    else
      MenuItemClick(choice.item, choice.record);
  }
}

void TMainForm::TakeWaitingClicks() {
  // Reports keep coming during a burst, and every batch of them pumps messages: a click that
  // waited for a quiet moment would wait for the burst's end.
  RunChosen();
  TakeWaitingMenu();
  RunChosen();
  // A new taskbar does not wait for the burst's end either.
  if (desktop_.TakePostedMessage(host_.Window(), kShellRestartMessage, kShellRestartMessage))
    RunShellRestart();
  // What was chosen in a menu opened just now, here or in the restart's refresh, runs before
  // the reports that waited for it.
  while (desktop_.TakePostedMessage(host_.Window(), kMenuChosenMessage, kMenuChosenMessage)) {
  }
  RunChosen();
}

void TMainForm::TakeWaitingMenu() {
  const Hwnd form = host_.Window();
  // Right clicks that waited together ask for one menu, as they would while it is open.
  bool menu = false;
  while (const auto m = desktop_.TakePostedMessage(form, kOwnIconCallback, kOwnIconCallback)) {
    menu |= OwnIconMessage(static_cast<std::uint32_t>(m->lParam));
  }
  if (menu) PopupTrayMenu(desktop_.GetCursorPos());
  // Once a menu here has chosen, the next one waits for that choice to run.
  while (chosen_.empty()) {
    const auto m = desktop_.TakePostedMessage(form, kOpenMenuMessage, kOpenMenuMessage);
    if (!m) break;
    PopupTrayMenu({static_cast<int>(m->wParam), static_cast<int>(m->lParam)});
  }
}

void TMainForm::MenuItemClick(const MenuItem& item) {
  if (item.Tag >= 0) {
    if (item.Tag < static_cast<int>(shownEntries_.size()))
      MenuItemClick(item, shownEntries_[static_cast<std::size_t>(item.Tag)]);
    return;
  }
  MenuItemClick(item, std::nullopt);
}

void TMainForm::MenuItemClick(const MenuItem& item, const std::optional<TIconInfo>& record) {
  if (item.Tag >= 0) {
    if (panel_ != nullptr && record) panel_->MenuEntryClick(*record);
    return;
  }
  if (item.Name == "About1") About1Click();
  if (item.Name == "Help1") Help1Click();
  if (item.Name == "Options1") Options1Click();
  if (item.Name == "Panel1") ShowPanelFromKeyboard(foregroundBeforeMenu_);
  if (item.Name == "Enabled1") Enabled1Click();
  if (item.Name == "Exit1") host_.Terminate();
}

bool TMainForm::NoModalOpen() {
  if (!ModalOpen()) return true;
  host_.BringModalToFront();
  return false;
}

void TMainForm::About1Click() {
  if (!NoModalOpen()) return;
  const FlagScope open(boxOpen_, true);
  host_.ShowAbout(DialogCaptions.VersionLabel);
}

void TMainForm::Help1Click() {
  OpenHelp(desktop_, host_, help_, HelpTopic::Contents);
}

}  // namespace cvl
