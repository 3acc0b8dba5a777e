#pragma once
// The tray icon registry: the owner of the hook reader, the placement and the placement memory
// with the state they share. The main form forwards the hook's notifications to
// HandleHookMessage; the reports of tray changes are handled here.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Desktop.h"
#include "registry/DeadIcons.h"
#include "registry/HiddenProcesses.h"
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
  DeadIcons Dead;
  HiddenProcesses Hidden;

  // EnumerateIcons on the all-icons list, then ApplyPlacementMemory, then ApplyPlacement.
  void RefreshIcons() { RefreshIcons({}); }
  // The same, with ApplyPlacementMemory once for each added icon, in their order, as if each
  // add had been handled on its own against this one reading of the tray. An added icon that
  // the reading does not hold (or a reading whose answer was lost) is kept, and gets its
  // first place from the reading that holds it.
  struct AddedIcon {
    Hwnd window = 0;
    std::uint32_t id = 0;
  };
  void RefreshIcons(const std::vector<AddedIcon>& added);
  // A report of a tray change takes the reports already waiting behind it, and the tray is
  // read once for all of them; off, each is handled on its own (the reference for tests).
  bool TakeWaitingReports = true;
  // Told when the waiting reports have been taken.
  std::function<void()> OnReportsTaken;
  // Runs before a report is handled, at a point where nothing is held: the user's clicks that
  // wait behind reports go first.
  std::function<void()> BeforeReports;
  // The shell died: the icons its tray held, and those still awaited from a taskbar before it,
  // come back from their owners as added icons, some after the new tray has been read, and
  // such a re-add is no new icon for the new-icon style.
  void ExpectReturningIcons();
  // A reading was not taken or did not come in whole: one is owed, and told so that a timer
  // can ask for it (with nothing owed, nothing needs to wake Corvalet).
  bool ReadingOwed() const;
  std::function<void()> OnReadingOwed;
  // After a reading made outside RefreshIcons: one not whole is owed as well.
  void NoteReading(bool whole);
  // The panel opens: where the lists may miss a picture or tip changed since the last whole
  // reading, a reading is owed (and asked for from the timer, not inside the show).
  void PanelOpening();
  // That reading, where nothing is held: true when it was owed (and is no longer).
  bool ReadForPanel();
  // Told after a reading of the tray has been placed, where nothing is held.
  std::function<void()> AfterReading;
  // True while reports are gathered after a reading during a burst: like the own icon's
  // refresh, it only pumps, and the user's menu opens there at once.
  bool Gathering() const { return gathering_; }
  // True when msg is one of the hook's notifications handled here (and kOwnerEndedMessage).
  bool HandleHookMessage(std::uint32_t msg, WParam wParam, LParam lParam);
  // Switched off, no add is reported: what an add kept from before means nothing after.
  void ForgetAdds() { added_.clear(); }
  // Empties the memories and the lists and forgets the protocol state.
  void Reset();

 private:
  void OnIconAdded(WParam ownerWindow, LParam iconId);
  void OnIconDeleted(WParam ownerWindow, LParam iconId);
  void Deleted(WParam ownerWindow, LParam iconId);
  void OnIconModified(WParam ownerWindow, LParam iconId);
  // The reports taken together: one on its own as ever, several with one reading.
  void HandleReports(const std::vector<PostedMessage>& reports);
  void OnReports(const std::vector<PostedMessage>& reports);
  void GatherReports();
  // A report about Corvalet's own icon; a delete that names no owner may be one.
  bool AboutOwnIcon(std::uint32_t msg, WParam ownerWindow, LParam iconId) const;

  // True, once, for an icon the dead shell's tray held, added again soon after.
  bool Returning(Hwnd window, std::uint32_t id);
  void KeepAdded(const AddedIcon& icon);
  void PlaceAddedIcons();

  Desktop& desktop_;
  std::vector<AddedIcon> returning_;
  std::vector<AddedIcon> added_;  // adds no whole reading has held yet, in their order
  // Deletes no whole reading has seen yet: the list may still hold those icons, which no
  // owner puts back for a new taskbar.
  std::vector<AddedIcon> deleted_;
  std::uint32_t returningSince_ = 0;
  int lostReadings_ = 0;  // readings in a row whose answer never came in
  int readingsOwed_ = 0;  // readings in a row not taken or not whole
  bool panelReadingOwed_ = false;
  bool gathering_ = false;
  const OwnIcon& ownIcon_;
  PlacementViews& views_;
};

}  // namespace cvl
