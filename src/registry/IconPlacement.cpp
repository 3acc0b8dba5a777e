#include "registry/IconPlacement.h"

#include <algorithm>
#include <vector>

#include "registry/FlagScope.h"
#include "shell/HookProtocol.h"

namespace cvl {

namespace {

// Pumps after re-adding the own icon, so that the shell's reports about it arrive and are
// dropped while the handling flag is off.
constexpr int kOwnIconPumps = 255;
// During a burst the own icon goes back to the tray's end at least this often.
constexpr std::uint32_t kOwnIconOwedMs = 5000;

}  // namespace

IconPlacement::IconPlacement(Desktop& desktop, const ShellWindows& shell, ShellCommands& commands,
                             RegistryState& state, PlacementMemory& memory, PlacementViews& views,
                             OwnIcon& ownIcon, ReportDeferral& deferral)
    : desktop_(desktop),
      shell_(shell),
      commands_(commands),
      state_(state),
      memory_(memory),
      views_(views),
      ownIcon_(ownIcon),
      deferral_(deferral) {
  state_.ListView1.OnSelectItem = [this](int row, bool selected) {
    ListView1SelectItem(row, selected);
  };
  state_.ListView1.OnRadioClick = [this](IconPlace place) { SetSelectedPlace(place); };
}

void IconPlacement::ApplyPlacementToTray() {
  // Switched off, no button is hidden and neither panel nor menu is filled: no hook gives a
  // hidden button back (a place chosen in a dialog left open waits for switching on).
  if (state_.SwitchedOff) return;
  state_.PanelList.Clear();
  state_.MenuList.Clear();
  state_.TrayList.Clear();
  commands_.ForgetButtons();
  // The lists are whole before the first send: a menu opened between the sends shows them.
  struct Command {
    std::int32_t commandId;
    bool hidden;
  };
  std::vector<Command> commands;
  commands.reserve(static_cast<std::size_t>(state_.AllIcons.Count()));
  for (const TIconInfo& entry : state_.AllIcons) {
    bool hidden = state_.TrayFolded;
    switch (entry.Place) {
      case IconPlace::Tray:
        state_.TrayList.Add(entry);
        break;
      case IconPlace::Menu:
        // While its program hides it, the panel and the menu leave it out.
        if (!entry.ProgramHidden) state_.MenuList.Add(entry);
        hidden = true;
        break;
      case IconPlace::Panel:
        if (!entry.ProgramHidden) state_.PanelList.Add(entry);
        hidden = true;
        break;
      case IconPlace::Unplaced:
        break;
    }
    // A button its program hid is not Corvalet's to show: only Corvalet's own hiding is
    // taken back (the library keeps the button hidden for the program).
    if (entry.ProgramHidden && !hidden && !commands_.HidButton(shell_.Toolbar, entry.CommandId))
      continue;
    commands.push_back({entry.CommandId, hidden});
  }
  // A button hidden before whose icon the list no longer holds is shown: nothing else would.
  // Not one whose owner has gone: that icon is being removed.
  if (!state_.TrayFolded)
    for (const std::int32_t id : commands_.HiddenButtons(shell_.Toolbar))
      if (!Dead(id) && std::none_of(commands.begin(), commands.end(),
                                    [&](const Command& c) { return c.commandId == id; }))
        commands.push_back({id, false});
  if (Placed) Placed();
  // The sends let the shell's own sends in, and each waits behind every program that is
  // changing its icon at that moment: during a burst the user's menu does not wait for them
  // all.
  for (const Command& command : commands) {
    // Switched off from a menu opened between the commands: the rest is no longer wanted.
    if (state_.SwitchedOff) break;
    if (commands_.SetButtonHidden(shell_.Toolbar, command.commandId, command.hidden) &&
        BetweenCommands)
      BetweenCommands();
  }
}

void IconPlacement::ApplyPlacement() {
  ApplyPlacementToTray();
  views_.RebuildPanel();
  views_.RebuildMenu();
  if (views_.PanelVisible()) views_.PanelShowAgain();
}

void IconPlacement::ShowAllIcons() {
  const std::vector<TIconInfo> icons(state_.AllIcons.begin(), state_.AllIcons.end());
  // Always sent: what is known may be out of date, and a button left hidden here is lost.
  // A dead program's icon is removed instead, as the shell would on a mouse pass; one its
  // program hid stays hidden.
  std::vector<std::int32_t> shown;
  for (const TIconInfo& entry : icons) {
    shown.push_back(entry.CommandId);
    if (!desktop_.IsWindow(entry.hWnd)) {
      NotifyIconData data;
      data.hWnd = entry.hWnd;
      data.uID = entry.uID;
      desktop_.Shell_NotifyIconA(kNimDelete, data);
      continue;
    }
    if (entry.ProgramHidden && !commands_.HidButton(shell_.Toolbar, entry.CommandId)) continue;
    commands_.SetButtonHidden(shell_.Toolbar, entry.CommandId, false, true);
  }
  for (const std::int32_t id : commands_.HiddenButtons(shell_.Toolbar))
    if (!Dead(id) && std::find(shown.begin(), shown.end(), id) == shown.end())
      commands_.SetButtonHidden(shell_.Toolbar, id, false, true);
}

bool IconPlacement::Dead(std::int32_t commandId) const {
  return std::find(state_.DeadButtons.begin(), state_.DeadButtons.end(), commandId) !=
         state_.DeadButtons.end();
}

void IconPlacement::RefreshOwnIcon() {
  ownIconOwed_ = false;
  ownIconRefreshedAt_ = desktop_.GetTickCount();
  const FlagScope off(state_.HandlingFlag, false);
  const FlagScope refreshing(refreshingOwnIcon_, true);
  // Other programs' reports that arrive meanwhile are held back and handled afterwards.
  const ReportDeferral::Scope holding(deferral_);
  // A click that waits opens its menu before the sends, and one that came during them right
  // after, not behind every report the pumps hold again.
  if (BetweenCommands) BetweenCommands();
  ownIcon_.SetActive(!ownIcon_.Active());
  ownIcon_.SetActive(!ownIcon_.Active());
  if (BetweenCommands) BetweenCommands();
  for (int i = 0; i < kOwnIconPumps; ++i) desktop_.ProcessMessages();
}

bool IconPlacement::RefreshOwnIconUnlessMoreCome() {
  // Each refresh is three calls the shell's thread serves behind every program's, and Corvalet
  // takes no posted message (the user's click among them) until they return: while reports
  // still come, or anything else waits, a later one moves the own icon to the end as well.
  // Held reports go back posted, and a queue full enough to refuse one is not empty.
  if (desktop_.PostedMessageWaiting() &&
      desktop_.GetTickCount() - ownIconRefreshedAt_ < kOwnIconOwedMs) {
    if (!ownIconOwed_ && OnOwnIconOwed) OnOwnIconOwed();
    ownIconOwed_ = true;
    return false;
  }
  RefreshOwnIcon();
  return true;
}

void IconPlacement::SetSelectedPlace(IconPlace place) {
  IconPlace oldPlace = IconPlace::Unplaced;
  {
    const FlagScope off(state_.HandlingFlag, false);
    const int row = state_.ListView1.FirstSelected();
    if (state_.ListView1.IsChecked(place) && row >= 0 && row < state_.AllIcons.Count()) {
      oldPlace = state_.AllIcons[row].Place;
      state_.AllIcons.SetPlace(row, place);
      if (oldPlace != place) memory_.UpdatePlacementMemory();
    }
    ApplyPlacement();
  }
  // An icon brought into the open panel shows what the lists hold of it, which may be behind.
  if (oldPlace != place && views_.PanelVisible() && PanelChanged) PanelChanged();
  if (oldPlace != place) RefreshOwnIcon();
}

void IconPlacement::UpdateMoveButtons() {
  OptionsList& list = state_.ListView1;
  const int rows = list.RowCount();
  if (rows == 0) return;
  list.SpeedButton3Enabled = !list.Rows.front().Selected;
  list.SpeedButton4Enabled = !list.Rows[static_cast<std::size_t>(rows - 1)].Selected;
}

void IconPlacement::MoveSelected(int step) {
  OptionsList& list = state_.ListView1;
  const int rows = list.RowCount();
  if (rows == 0) return;
  const int edge = step < 0 ? 0 : rows - 1;
  int found = -1;
  for (int i = 0; i < rows; ++i) {
    if (list.Rows[static_cast<std::size_t>(i)].Selected && i != edge) {
      found = i;
      break;
    }
  }
  if (found >= 0) {
    const auto from = static_cast<WParam>(list.Rows[static_cast<std::size_t>(found)].Data);
    const LParam to = list.Rows[static_cast<std::size_t>(found + step)].Data;
    commands_.Send(shell_.Toolbar, kTbMoveButton, from, to);
    if (RefreshIcons) RefreshIcons();
    list.SetSelected(found, false);
    list.SetSelected(found + step, true);
  }
  UpdateMoveButtons();
}

void IconPlacement::ListView1SelectItem(int row, bool selected) {
  UpdateMoveButtons();
  if (!selected) return;
  const IconPlace place =
      row >= 0 && row < state_.AllIcons.Count() ? state_.AllIcons[row].Place : IconPlace::Unplaced;
  state_.ListView1.CheckRadio(place);
}

}  // namespace cvl
