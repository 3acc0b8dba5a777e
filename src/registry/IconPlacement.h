#pragma once
// Making the places real: the tray, panel and menu lists rebuilt from the all-icons list, the
// toolbar buttons shown or hidden, Corvalet's own icon refreshed, and the options dialog's
// place and move commands.
#include <functional>

#include "platform/Desktop.h"
#include "registry/OwnIcon.h"
#include "registry/PlacementMemory.h"
#include "registry/PlacementViews.h"
#include "registry/RegistryState.h"
#include "registry/ReportDeferral.h"
#include "shell/ShellCommands.h"
#include "shell/ShellWindows.h"

namespace cvl {

class IconPlacement {
 public:
  IconPlacement(Desktop& desktop, const ShellWindows& shell, ShellCommands& commands,
                RegistryState& state, PlacementMemory& memory, PlacementViews& views,
                OwnIcon& ownIcon, ReportDeferral& deferral);
  IconPlacement(const IconPlacement&) = delete;
  IconPlacement& operator=(const IconPlacement&) = delete;

  void ApplyPlacementToTray();
  void ApplyPlacement();
  void ShowAllIcons();
  void RefreshOwnIcon();
  // After reports: the refresh waits while anything else waits to be handled (a burst), up to
  // five seconds from the last one. True when it ran now.
  bool RefreshOwnIconUnlessMoreCome();
  // Owed by the above; told so that a timer can run it should nothing else come.
  bool OwnIconOwed() const { return ownIconOwed_; }
  std::function<void()> OnOwnIconOwed;
  void SetSelectedPlace(IconPlace place);
  void SpeedButton3Click() { MoveSelected(-1); }
  void SpeedButton4Click() { MoveSelected(+1); }
  void ListView1SelectItem(int row, bool selected);
  void RadioButton10Click() { SetSelectedPlace(IconPlace::Tray); }
  void RadioButton11Click() { SetSelectedPlace(IconPlace::Panel); }
  void RadioButton12Click() { SetSelectedPlace(IconPlace::Menu); }

  // True while RefreshOwnIcon pumps: reports about Corvalet's own icon are dropped then.
  bool RefreshingOwnIcon() const { return refreshingOwnIcon_; }
  // Re-reads the tray and re-applies placement; the owner of the registry provides it.
  std::function<void()> RefreshIcons;
  // Runs after each button command of a placement pass, the lists already whole, and after the
  // own icon's re-adding: the user's menu request that waits may open there.
  std::function<void()> BetweenCommands;
  // Runs once a pass has given every icon its place, before its button commands.
  std::function<void()> Placed;
  // The user gave an icon another place while the panel shows.
  std::function<void()> PanelChanged;

 private:
  void MoveSelected(int step);
  // The button of an icon whose owner the last reading found gone.
  bool Dead(std::int32_t commandId) const;
  void UpdateMoveButtons();

  Desktop& desktop_;
  const ShellWindows& shell_;
  ShellCommands& commands_;
  RegistryState& state_;
  PlacementMemory& memory_;
  PlacementViews& views_;
  OwnIcon& ownIcon_;
  ReportDeferral& deferral_;
  bool refreshingOwnIcon_ = false;
  bool ownIconOwed_ = false;
  std::uint32_t ownIconRefreshedAt_ = 0;
};

}  // namespace cvl
