#pragma once
// What the parts of the registry share: the five icon lists, the options list they fill, and
// the flags and pending values that the hook's reports, placement and memory all read.
#include <cstdint>
#include <vector>

#include "platform/Types.h"
#include "registry/OptionsList.h"
#include "registry/TIconList.h"

namespace cvl {

enum class MenuButton { Left, Right };

struct RegistryState {
  // The five lists, in the order the main form creates them.
  TIconList AllIcons;
  TIconList TrayList;
  TIconList PanelList;
  TIconList MenuList;
  TIconList MinimizedList;
  OptionsList ListView1;

  bool HandlingFlag = true;
  // Switched off or ended: the buttons are given back and no hook would give back what a
  // report handled now hid.
  bool SwitchedOff = false;
  Hwnd NewIconWnd = 0;  // the newly added icon; both 0 when none is pending
  std::uint32_t NewIconId = 0;
  int PendingMinimizePlace = 0;
  MenuButton MenuButtonState = MenuButton::Right;
  bool TrayFolded = false;   // the button near the clock has folded the tray away
  Hwnd FormWindow = 0;       // where reports held back during a wait are posted again
  Hwnd MinimizerWindow = 0;  // owner of the minimizer's icons: the only ones a pending place is for
  // The buttons of the icons the last reading found with their owner gone: never shown again.
  std::vector<std::int32_t> DeadButtons;

  bool NewIconPending() const { return NewIconWnd != 0 || NewIconId != 0; }
  void ClearNewIcon() {
    NewIconWnd = 0;
    NewIconId = 0;
  }
};

}  // namespace cvl
