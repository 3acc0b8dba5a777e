#include "clockbutton/ClockButton.h"

#include "shell/HookProtocol.h"

namespace cvl {

ClockButton::ClockButton(Desktop& desktop, const ShellWindows& shell, ShellCommands& commands,
                         TOptions& options, RegistryState& state, IconPlacement& placement,
                         ButtonWindows& windows, int versionCode)
    : desktop_(desktop),
      shell_(shell),
      commands_(commands),
      options_(options),
      state_(state),
      placement_(placement),
      windows_(windows),
      versionCode_(versionCode) {}

Point ClockButton::Position(const Rect& taskbar, int versionCode) {
  // From the taskbar's own width: a taskbar that does not start at screen x 0 (docked at the
  // right, or on a second monitor) still has the button inside it.
  const int along = versionCode == 90 ? 14 : 17;
  const int across = versionCode == 90 ? 10 : 5;
  // A bar at the left or right edge has its clock at the bottom and the start button at the top
  // right: the button goes to the bottom end, beside the clock, where the hook makes its room,
  // with the same offsets along and across the bar.
  if (taskbar.Height() > taskbar.Width()) return Point{across, taskbar.Height() - along};
  return Point{taskbar.Width() - along, across};
}

void ClockButton::ApplyTrayButton() {
  const bool wanted = (options_.TrayButton == 1 || options_.TrayButton == 2) && options_.Enabled;
  if (wanted) {
    if (ButtonWnd != 0) return;
    ReserveButtonRoom();
    CreateTrayButton();
    return;
  }
  RemoveTrayButton();
  ReleaseButtonRoom();
  ButtonWnd = 0;
}

void ClockButton::CreateTrayButton() {
  const Rect r = desktop_.GetWindowRect(shell_.Taskbar);
  const Point at = Position(r, versionCode_);
  ButtonWnd = windows_.CreateTrayButton(shell_.Taskbar, at.x, at.y, ">");
  ButtonState = ">";
}

void ClockButton::RemoveTrayButton() {
  if (ButtonState == "<") TrayButtonToggle();
  if (ButtonWnd != 0 && desktop_.IsWindow(ButtonWnd)) windows_.Destroy(ButtonWnd);
}

void ClockButton::ReserveButtonRoom() {
  commands_.Switch(shell_.NotifyArea, THM_BUTTONSWITCH, THM_ON);
  ShowClock();
}

void ClockButton::ReleaseButtonRoom() {
  commands_.Switch(shell_.NotifyArea, THM_BUTTONSWITCH, THM_OFF);
  ShowClock();
}

void ClockButton::TrayButtonProc(std::uint32_t msg) {
  if (msg == kWmRButtonUp) TrayButtonMenu();
  if (msg == kWmLButtonUp) TrayButtonToggle();
  if (msg == kWmMouseMove && HoverPanel) HoverPanel();
}

void ClockButton::TrayButtonToggle() {
  if (ButtonState == ">") {
    ButtonState = "<";
    state_.TrayFolded = true;
    windows_.SetText(ButtonWnd, ButtonState);
    if (options_.TrayButton == 1) HideTrayIcons();
    if (options_.TrayButton == 2) {
      HideTrayIcons();
      HideClock();
    }
  } else if (ButtonState == "<") {
    ButtonState = ">";
    state_.TrayFolded = false;
    windows_.SetText(ButtonWnd, ButtonState);
    ShowTrayIcons();
    ShowClock();
  }
}

void ClockButton::TrayButtonMenu() {
  windows_.CloseOpenMenu();
  if (OpenMenu) OpenMenu(desktop_.GetCursorPos());
}

void ClockButton::HideTrayIcons() {
  const std::vector<TIconInfo> icons(state_.AllIcons.begin(), state_.AllIcons.end());
  for (const TIconInfo& entry : icons)
    commands_.SetButtonHidden(shell_.Toolbar, entry.CommandId, true);
  placement_.RefreshOwnIcon();
}

void ClockButton::ShowTrayIcons() {
  const std::vector<TIconInfo> icons(state_.AllIcons.begin(), state_.AllIcons.end());
  for (const TIconInfo& entry : icons)
    if (entry.Place == IconPlace::Tray || entry.Place == IconPlace::Unplaced)
      commands_.SetButtonHidden(shell_.Toolbar, entry.CommandId, false);
  placement_.RefreshOwnIcon();
}

void ClockButton::HideClock() {
  if (shell_.Clock != 0 && desktop_.IsWindowVisible(shell_.Clock)) {
    clockHiddenByUs_ = true;
    desktop_.ShowWindowAsync(shell_.Clock, kSwHide);
  }
  placement_.RefreshOwnIcon();
}

void ClockButton::ShowClock() {
  if (clockHiddenByUs_) {
    clockHiddenByUs_ = false;
    desktop_.ShowWindowAsync(shell_.Clock, kSwShow);
  }
  placement_.RefreshOwnIcon();
}

void ClockButton::Choose(bool checked, int mode) {
  if (checked) options_.TrayButton = mode;
  ApplyTrayButton();
}

}  // namespace cvl
