// The Corvalet Panel from the keyboard: a focused cell, moved by the arrow keys, Home and End,
// and the keys the tray passes on to an icon's program.
#include <algorithm>

#include "views/IconMessages.h"
#include "views/THint.h"

namespace cvl {

bool THint::ShowFromKeyboard(Hwnd returnTo) {
  if (lists_ == nullptr || lists_->PanelList.Count() == 0) return false;
  // Shown again while open from the keyboard, the panel keeps the window it first came from:
  // the foreground now is the panel itself.
  if (!(keyboardOpened_ && Visible)) returnTo_ = returnTo;
  keyboardOpened_ = true;
  Show();
  FocusCell(0);
  window_.Activate();  // also when it was up already: the keys come here
  return true;
}

void THint::FocusCell(int position) {
  const int count = static_cast<int>(IconCells.size());
  FocusedCell = count == 0 ? -1 : std::clamp(position, 0, count - 1);
  window_.ShowFocus(FocusedCell);
}

void THint::KeyDown(PanelKey key) {
  if (!Visible) return;
  if (key == PanelKey::Escape) {
    const Hwnd back = returnTo_;
    Hide();
    if (back != 0 && desktop_.IsWindow(back)) desktop_.SetForegroundWindow(back);
    return;
  }
  // A panel the mouse opened takes the keys too, from its first cell on.
  if (FocusedCell < 0) {
    FocusCell(0);
    if (key != PanelKey::Activate && key != PanelKey::ContextMenu) return;
  }
  const int last = static_cast<int>(IconCells.size()) - 1;
  switch (key) {
    case PanelKey::Left:
      FocusCell(FocusedCell - 1);
      return;
    case PanelKey::Right:
      FocusCell(FocusedCell + 1);
      return;
    case PanelKey::Home:
      FocusCell(0);
      return;
    case PanelKey::End:
      FocusCell(last);
      return;
    case PanelKey::Activate:
    case PanelKey::ContextMenu:
      if (FocusedCell < 0) return;
      if (const auto record = PanelRecord(IconCells[static_cast<std::size_t>(FocusedCell)].Tag))
        Send(*record,
             KeyMessages(record->uVersion,
                         key == PanelKey::Activate ? IconKey::Activate : IconKey::ContextMenu));
      return;
    case PanelKey::Escape:
      return;
  }
}

void THint::Deactivated() {
  // Opened from the keyboard, it goes with the focus as a popup does; the mouse's panel waits
  // for the hint timer.
  if (keyboardOpened_) Hide();
}

}  // namespace cvl
