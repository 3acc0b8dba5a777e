#pragma once
// The memory of each program's place: the tray, panel and menu memories, read from and written
// to the settings file, updated from the icons' places and applied to freshly read icons.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "registry/PlacementMemoryList.h"
#include "registry/RegistryState.h"
#include "settings/TOptions.h"

namespace cvl {

// The sections of the placement memory, in the order they are read and written.
inline constexpr const char* kPanelItems = "Panel items";
inline constexpr const char* kMenuItems = "Menu items";
inline constexpr const char* kTrayItems = "Tray items";

class PlacementMemory {
 public:
  PlacementMemory(Desktop& desktop, const TOptions& options, RegistryState& state)
      : desktop_(desktop), options_(options), state_(state) {}
  PlacementMemory(const PlacementMemory&) = delete;
  PlacementMemory& operator=(const PlacementMemory&) = delete;

  PlacementMemoryList TrayMemory;
  PlacementMemoryList PanelMemory;
  PlacementMemoryList MenuMemory;

  void LoadPlacementMemory();
  // Writes only what differs from what the file is known to hold (every key when that is not
  // known). Throws SettingsWriteError when the file refuses a write.
  void SavePlacementMemory();
  void UpdatePlacementMemory();
  void ApplyPlacementMemory();
  // While set, the save after a new icon waits for SaveHeld.
  bool HoldSaves = false;
  void SaveHeld();
  static void RemoveMemoryEntry(PlacementMemoryList& memory, const TIconInfo& record);
  // Gives the entry at index of the all-icons list the place of an option code.
  void PlaceNewIcon(int optionCode, int index);
  void Clear();

  // Told once when the file refuses the save after a new icon, and again only after a save
  // has succeeded in between: a limited user must not get one message box per tray change.
  std::function<void(const std::string& message)> OnWriteRefused;

 private:
  void SaveAfterNewIcon();

  Desktop& desktop_;
  const TOptions& options_;
  RegistryState& state_;
  bool refusalReported_ = false;
  bool saveHeld_ = false;
  // What the file holds, section by section, as last read or written: a save after each new
  // icon then writes the few keys that changed instead of the whole memory.
  struct OnFile {
    std::int32_t count = 0;
    std::vector<MemoryEntry> entries;
  };
  std::optional<std::array<OnFile, 3>> onFile_;
};

}  // namespace cvl
