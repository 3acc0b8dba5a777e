#pragma once
// The tray icon registry: the icon lists, the hook's reports turned into records, the places
// of the icons and the memory of each program's place. The main form owns one and forwards
// the hook's notifications to HandleHookMessage.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/Desktop.h"
#include "registry/OptionsList.h"
#include "registry/PlacementMemoryList.h"
#include "registry/TIconList.h"
#include "settings/TOptions.h"
#include "shell/ShellWindows.h"
#include "views/OwnTrayIcon.h"
#include "views/PlacementViews.h"

namespace cvl {

enum class MenuButton { Left, Right };

// The sections of the placement memory, in the order they are read and written.
inline constexpr const char* kPanelItems = "Panel items";
inline constexpr const char* kMenuItems = "Menu items";
inline constexpr const char* kTrayItems = "Tray items";

class TrayRegistry {
 public:
  TrayRegistry(Desktop& desktop, const ShellWindows& shell, TOptions& options,
               PlacementViews& views, OwnTrayIcon& ownIcon);
  TrayRegistry(const TrayRegistry&) = delete;
  TrayRegistry& operator=(const TrayRegistry&) = delete;

  // The five lists, in the order the main form creates them.
  TIconList AllIcons;
  TIconList TrayList;
  TIconList PanelList;
  TIconList MenuList;
  TIconList MinimizedList;

  // The three memories.
  PlacementMemoryList TrayMemory;
  PlacementMemoryList PanelMemory;
  PlacementMemoryList MenuMemory;

  bool HandlingFlag = true;
  bool EnumDone = false;
  bool QueryDone = false;
  Hwnd NewIconWnd = 0;  // the newly added icon; both 0 when none is pending
  std::uint32_t NewIconId = 0;
  int PendingMinimizePlace = 0;
  MenuButton MenuButtonState = MenuButton::Right;
  bool TrayFolded = false;  // the button near the clock has folded the tray away
  Hicon ScratchIcon = 0;
  OptionsList ListView1;

  // Reading the tray.
  int EnumerateIcons(TIconList& list);
  TIconInfo QueryIcon(Hwnd ownerWindow, std::uint32_t iconId);
  void RefreshIcons();
  // True when msg is one of the hook's notifications handled here.
  bool HandleHookMessage(std::uint32_t msg, WParam wParam, LParam lParam);

  // Placing the icons.
  void ApplyPlacementToTray();
  void ApplyPlacement();
  void ShowAllIcons();
  void RefreshOwnIcon();
  void SetSelectedPlace(IconPlace place);
  void SpeedButton3Click();
  void SpeedButton4Click();
  void ListView1SelectItem(int row, bool selected);
  void RadioButton10Click() { SetSelectedPlace(IconPlace::Tray); }
  void RadioButton11Click() { SetSelectedPlace(IconPlace::Panel); }
  void RadioButton12Click() { SetSelectedPlace(IconPlace::Menu); }

  // The placement memory.
  void LoadPlacementMemory();
  void SavePlacementMemory();
  void UpdatePlacementMemory();
  void ApplyPlacementMemory();
  static void RemoveMemoryEntry(PlacementMemoryList& memory, const TIconInfo& record);
  // Gives the entry at index of the all-icons list the place of an option code.
  void PlaceNewIcon(int optionCode, int index);

 private:
  void OnIconRecordStart(WParam buttonIndex, LParam icon);
  void OnIconTip(WParam commandId, LParam atom);
  bool OnIconCommit(WParam state);  // true when the record was added
  void OnIconAdded(WParam ownerWindow, LParam iconId);
  void OnIconDeleted();
  void OnIconModified(WParam ownerWindow, LParam iconId);
  // Pumps messages until flag is set, until the hook has been silent for the answer's bound,
  // or until the answer's whole time, counted from start, is up.
  void WaitForAnswer(const bool& flag, std::uint32_t start);
  void NoteAnswer() { lastAnswer_ = desktop_.GetTickCount(); }
  // OwnerExecutablePath of a record's owner; one walk per owner process and enumeration.
  std::string OwnerPath(Hwnd window);
  void SendToToolbar(std::uint32_t msg, WParam wParam, LParam lParam);
  void MoveSelected(int step);
  void UpdateMoveButtons();

  Desktop& desktop_;
  const ShellWindows& shell_;
  TOptions& options_;
  PlacementViews& views_;
  OwnTrayIcon& ownIcon_;
  TIconInfo buffer_;
  TIconList* targetList_ = &AllIcons;
  std::uint64_t enumBegins_ = 0;  // begin messages seen, to tell whether a request was taken
  std::uint64_t queryBegins_ = 0;
  std::uint32_t lastAnswer_ = 0;
  // Owner window -> (process, path), for this enumeration and the one before.
  using OwnerPaths = std::unordered_map<Hwnd, std::pair<std::uint32_t, std::string>>;
  OwnerPaths ownerPaths_;
  OwnerPaths previousOwnerPaths_;
};

}  // namespace cvl
