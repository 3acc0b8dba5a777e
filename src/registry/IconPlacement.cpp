// Making the places real: the place lists, the toolbar buttons' visibility and the options
// dialog's place and move commands.
#include "registry/TrayRegistry.h"
#include "shell/HookProtocol.h"

namespace cvl {

namespace {

// Pumps after re-adding the own icon, so that the shell's reports about it arrive and are
// dropped while the handling flag is off.
constexpr int kOwnIconPumps = 255;

// Clears the handling flag for a scope and sets it again however the scope is left: a flag
// left off by an error would silently end all handling of the tray.
class HandlingOff {
 public:
  explicit HandlingOff(bool& flag) : flag_(flag) { flag_ = false; }
  ~HandlingOff() { flag_ = true; }
  HandlingOff(const HandlingOff&) = delete;
  HandlingOff& operator=(const HandlingOff&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void TrayRegistry::SendToToolbar(std::uint32_t msg, WParam wParam, LParam lParam) {
  LResult ignored = 0;
  desktop_.SendMessageTimeoutA(shell_.Toolbar, msg, wParam, lParam, kHookAnswerTimeoutMs, &ignored);
}

void TrayRegistry::ApplyPlacementToTray() {
  PanelList.Clear();
  MenuList.Clear();
  TrayList.Clear();
  for (const TIconInfo& entry : AllIcons) {
    bool hidden = TrayFolded;
    switch (entry.Place) {
      case IconPlace::Tray:
        TrayList.Add(entry);
        break;
      case IconPlace::Menu:
        MenuList.Add(entry);
        hidden = true;
        break;
      case IconPlace::Panel:
        PanelList.Add(entry);
        hidden = true;
        break;
      case IconPlace::Unplaced:
        break;
    }
    SendToToolbar(kTbHideButton, static_cast<WParam>(entry.CommandId), hidden ? kTbHide : kTbShow);
  }
}

void TrayRegistry::ApplyPlacement() {
  ApplyPlacementToTray();
  views_.RebuildPanel();
  views_.RebuildMenu();
  if (views_.PanelVisible()) views_.PanelShowAgain();
}

void TrayRegistry::ShowAllIcons() {
  for (const TIconInfo& entry : AllIcons)
    SendToToolbar(kTbHideButton, static_cast<WParam>(entry.CommandId), kTbShow);
}

void TrayRegistry::RefreshOwnIcon() {
  const HandlingOff off(HandlingFlag);
  ownIcon_.SetActive(!ownIcon_.Active());
  ownIcon_.SetActive(!ownIcon_.Active());
  for (int i = 0; i < kOwnIconPumps; ++i) desktop_.ProcessMessages();
}

void TrayRegistry::SetSelectedPlace(IconPlace place) {
  IconPlace oldPlace = IconPlace::Unplaced;
  {
    const HandlingOff off(HandlingFlag);
    const int row = ListView1.FirstSelected();
    if (ListView1.IsChecked(place) && row >= 0 && row < AllIcons.Count()) {
      oldPlace = AllIcons[row].Place;
      AllIcons.SetPlace(row, place);
      if (oldPlace != place) UpdatePlacementMemory();
    }
    ApplyPlacement();
  }
  if (oldPlace != place) RefreshOwnIcon();
}

void TrayRegistry::UpdateMoveButtons() {
  const int rows = ListView1.RowCount();
  if (rows == 0) return;
  ListView1.SpeedButton3Enabled = !ListView1.Rows.front().Selected;
  ListView1.SpeedButton4Enabled = !ListView1.Rows[static_cast<std::size_t>(rows - 1)].Selected;
}

void TrayRegistry::MoveSelected(int step) {
  const int rows = ListView1.RowCount();
  if (rows == 0) return;
  const int edge = step < 0 ? 0 : rows - 1;
  int found = -1;
  for (int i = 0; i < rows; ++i) {
    if (ListView1.Rows[static_cast<std::size_t>(i)].Selected && i != edge) {
      found = i;
      break;
    }
  }
  if (found >= 0) {
    const auto from = static_cast<WParam>(ListView1.Rows[static_cast<std::size_t>(found)].Data);
    const LParam to = ListView1.Rows[static_cast<std::size_t>(found + step)].Data;
    SendToToolbar(kTbMoveButton, from, to);
    RefreshIcons();
    ListView1.SetSelected(found, false);
    ListView1.SetSelected(found + step, true);
  }
  UpdateMoveButtons();
}

void TrayRegistry::SpeedButton3Click() {
  MoveSelected(-1);
}

void TrayRegistry::SpeedButton4Click() {
  MoveSelected(+1);
}

void TrayRegistry::ListView1SelectItem(int row, bool selected) {
  UpdateMoveButtons();
  if (!selected) return;
  const IconPlace place =
      row >= 0 && row < AllIcons.Count() ? AllIcons[row].Place : IconPlace::Unplaced;
  ListView1.CheckRadio(place);
}

}  // namespace cvl
