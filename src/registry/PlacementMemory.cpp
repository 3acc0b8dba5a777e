// The memory of each program's place, kept in the settings file.
#include <algorithm>

#include "registry/TrayRegistry.h"
#include "settings/IniFile.h"

namespace cvl {

namespace {

struct Section {
  const char* name;
  PlacementMemoryList TrayRegistry::*memory;
};

// Read and written in this order.
constexpr Section kSections[] = {{kPanelItems, &TrayRegistry::PanelMemory},
                                 {kMenuItems, &TrayRegistry::MenuMemory},
                                 {kTrayItems, &TrayRegistry::TrayMemory}};

}  // namespace

void TrayRegistry::LoadPlacementMemory() {
  const IniFile ini(desktop_, kSettingsFile);
  for (const Section& section : kSections) {
    // A negative count reads as an empty memory.
    const std::int32_t count =
        std::clamp(ini.ReadInteger(section.name, "Count", 0), 0, kMaxListEntries);
    std::vector<MemoryEntry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
      const std::string index = std::to_string(i);
      entries.push_back({ini.ReadString(section.name, "IM_" + index, ""),
                         ini.ReadString(section.name, "ID_" + index, "")});
    }
    (this->*section.memory).Assign(std::move(entries));
  }
  ApplyPlacementMemory();
}

void TrayRegistry::SavePlacementMemory() {
  UpdatePlacementMemory();
  IniFile ini(desktop_, kSettingsFile);
  for (const Section& section : kSections) {
    const auto& entries = (this->*section.memory).Entries();
    ini.WriteInteger(section.name, "Count", static_cast<std::int32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::string index = std::to_string(i);
      ini.WriteString(section.name, "IM_" + index, entries[i].ExePath);
      ini.WriteString(section.name, "ID_" + index, entries[i].ClassName);
    }
  }
}

void TrayRegistry::RemoveMemoryEntry(PlacementMemoryList& memory, const TIconInfo& record) {
  memory.RemoveFirst(record);
}

void TrayRegistry::UpdatePlacementMemory() {
  for (const TIconInfo& record : AllIcons) {
    switch (record.Place) {
      case IconPlace::Tray:
        TrayMemory.Hold(record);
        RemoveMemoryEntry(MenuMemory, record);
        RemoveMemoryEntry(PanelMemory, record);
        break;
      case IconPlace::Menu:
        MenuMemory.Hold(record);
        RemoveMemoryEntry(TrayMemory, record);
        RemoveMemoryEntry(PanelMemory, record);
        break;
      case IconPlace::Panel:
        PanelMemory.Hold(record);
        RemoveMemoryEntry(TrayMemory, record);
        RemoveMemoryEntry(MenuMemory, record);
        break;
      case IconPlace::Unplaced:
        break;
    }
  }
}

void TrayRegistry::PlaceNewIcon(int optionCode, int index) {
  const auto place = PlaceFromOption(optionCode);
  if (!place) return;
  AllIcons.SetPlace(index, *place);
  const TIconInfo& record = AllIcons[index];
  switch (*place) {
    case IconPlace::Tray:
      TrayList.Add(record);
      break;
    case IconPlace::Panel:
      PanelList.Add(record);
      break;
    case IconPlace::Menu:
      MenuList.Add(record);
      break;
    case IconPlace::Unplaced:
      break;
  }
}

void TrayRegistry::ApplyPlacementMemory() {
  for (int i = 0; i < AllIcons.Count(); ++i) {
    const TIconInfo& record = AllIcons[i];
    IconPlace place = IconPlace::Unplaced;
    if (MenuMemory.Contains(record))
      place = IconPlace::Menu;
    else if (PanelMemory.Contains(record))
      place = IconPlace::Panel;
    else if (TrayMemory.Contains(record))
      place = IconPlace::Tray;
    AllIcons.SetPlace(i, place);

    // An owner window of 0 with icon ID 0 means no icon is pending.
    const bool pending = NewIconWnd != 0 || NewIconId != 0;
    if (!pending || record.hWnd != NewIconWnd || record.uID != NewIconId) continue;
    if (PendingMinimizePlace != 0 && options_.IsRightClick) {
      PlaceNewIcon(PendingMinimizePlace, i);
      PendingMinimizePlace = 0;
    } else if (place == IconPlace::Unplaced) {
      PlaceNewIcon(options_.ApStyle, i);
    }
    UpdatePlacementMemory();
    SavePlacementMemory();
    NewIconWnd = 0;
    NewIconId = 0;
  }
}

}  // namespace cvl
