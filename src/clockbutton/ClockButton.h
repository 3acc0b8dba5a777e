#pragma once
// The button near the clock: a "QLTrayButton" child of the taskbar that folds the tray icons
// (mode 1) or the icons and the clock (mode 2) away and back, opens the Corvalet Menu on a
// right click and the Corvalet Panel on hover. Folding is a view state and saves nothing.
#include <functional>
#include <string>

#include "clockbutton/ButtonWindows.h"
#include "platform/Desktop.h"
#include "registry/IconPlacement.h"
#include "registry/RegistryState.h"
#include "settings/TOptions.h"
#include "shell/ShellCommands.h"
#include "shell/ShellWindows.h"

namespace cvl {

class ClockButton {
 public:
  ClockButton(Desktop& desktop, const ShellWindows& shell, ShellCommands& commands,
              TOptions& options, RegistryState& state, IconPlacement& placement,
              ButtonWindows& windows, int versionCode);
  ClockButton(const ClockButton&) = delete;
  ClockButton& operator=(const ClockButton&) = delete;

  Hwnd ButtonWnd = 0;
  std::string ButtonState;  // ">" unfolded, "<" folded, empty before the first button

  void ApplyTrayButton();
  // A new taskbar: the old button went with it, and a clock hidden there is not ours to show.
  void ShellRestarted() {
    ButtonWnd = 0;
    ButtonState.clear();
    clockHiddenByUs_ = false;
  }
  void CreateTrayButton();
  void RemoveTrayButton();
  void ReserveButtonRoom();
  void ReleaseButtonRoom();
  // The button's messages; every one then goes on to the button's own procedure.
  void TrayButtonProc(std::uint32_t msg);
  void TrayButtonToggle();
  void TrayButtonMenu();
  void HideTrayIcons();
  void ShowTrayIcons();
  void HideClock();
  void ShowClock();
  // The options dialog's clock-button choices.
  void RadioButton7Click(bool checked) { Choose(checked, 1); }
  void RadioButton8Click(bool checked) { Choose(checked, 2); }
  void RadioButton9Click(bool checked) { Choose(checked, 3); }

  // The button's position in the taskbar's client area for its rectangle: at the right end of a
  // horizontal bar, at the bottom end of a vertical one.
  static Point Position(const Rect& taskbar, int versionCode);

  // Opens the Corvalet Menu at a screen point; shows the panel on hover (the main form's).
  std::function<void(Point at)> OpenMenu;
  std::function<void()> HoverPanel;

 private:
  void Choose(bool checked, int mode);

  Desktop& desktop_;
  const ShellWindows& shell_;
  ShellCommands& commands_;
  TOptions& options_;
  RegistryState& state_;
  IconPlacement& placement_;
  ButtonWindows& windows_;
  int versionCode_;
  // Only a clock Corvalet hid is shown again: one the user hid in the shell stays hidden.
  bool clockHiddenByUs_ = false;
};

}  // namespace cvl
