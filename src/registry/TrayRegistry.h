#pragma once
// The tray icon registry: the owner of the hook reader, the placement and the placement memory
// with the state they share. The main form forwards the hook's notifications to
// HandleHookMessage; the reports of tray changes are handled here.
#include <cstdint>

#include "platform/Desktop.h"
#include "registry/HookReader.h"
#include "registry/IconPlacement.h"
#include "registry/OwnIcon.h"
#include "registry/PlacementMemory.h"
#include "registry/PlacementViews.h"
#include "registry/RegistryState.h"
#include "registry/ReportDeferral.h"
#include "settings/TOptions.h"
#include "shell/ShellCommands.h"
#include "shell/ShellWindows.h"

namespace cvl {

class TrayRegistry : public RegistryState {
 public:
  TrayRegistry(Desktop& desktop, const ShellWindows& shell, ShellCommands& commands,
               TOptions& options, PlacementViews& views, OwnIcon& ownIcon);
  TrayRegistry(const TrayRegistry&) = delete;
  TrayRegistry& operator=(const TrayRegistry&) = delete;

  ReportDeferral Deferral;
  PlacementMemory Memory;
  HookReader Reader;
  IconPlacement Placement;

  // EnumerateIcons on the all-icons list, then ApplyPlacementMemory, then ApplyPlacement.
  void RefreshIcons();
  // True when msg is one of the hook's notifications handled here.
  bool HandleHookMessage(std::uint32_t msg, WParam wParam, LParam lParam);
  // Empties the memories and the lists and forgets the protocol state.
  void Reset();

 private:
  void OnIconAdded(WParam ownerWindow, LParam iconId);
  void OnIconDeleted();
  void OnIconModified(WParam ownerWindow, LParam iconId);
  // A report about Corvalet's own icon; a delete that names no owner may be one.
  bool AboutOwnIcon(std::uint32_t msg, WParam ownerWindow, LParam iconId) const;

  const OwnIcon& ownIcon_;
  PlacementViews& views_;
};

}  // namespace cvl
