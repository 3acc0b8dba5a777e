#include "registry/PlacementMemory.h"

#include <algorithm>

#include "settings/IniFile.h"

namespace cvl {

namespace {

struct Section {
  const char* name;
  PlacementMemoryList PlacementMemory::*memory;
};

// Read and written in this order.
constexpr Section kSections[] = {{kPanelItems, &PlacementMemory::PanelMemory},
                                 {kMenuItems, &PlacementMemory::MenuMemory},
                                 {kTrayItems, &PlacementMemory::TrayMemory}};

}  // namespace

void PlacementMemory::LoadPlacementMemory() {
  const IniFile ini(desktop_, options_.Location());
  std::array<OnFile, 3> read;
  for (std::size_t s = 0; s < std::size(kSections); ++s) {
    const Section& section = kSections[s];
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
    read[s] = {count, entries};
    (this->*section.memory).Assign(std::move(entries));
  }
  onFile_ = std::move(read);
  ApplyPlacementMemory();
}

void PlacementMemory::SavePlacementMemory() {
  UpdatePlacementMemory();
  IniFile ini(desktop_, options_.Location());
  // Unknown until every write has landed: a refused one leaves the file as it may be.
  std::optional<std::array<OnFile, 3>> known = std::move(onFile_);
  onFile_.reset();
  std::array<OnFile, 3> written;
  for (std::size_t s = 0; s < std::size(kSections); ++s) {
    const Section& section = kSections[s];
    const auto& entries = (this->*section.memory).Entries();
    const auto count = static_cast<std::int32_t>(entries.size());
    // A section changed behind Corvalet's back (removed, emptied, another count) or one that
    // says its count otherwise than it is written here is written whole.
    const OnFile* held = nullptr;
    if (known && ini.ReadString(section.name, "Count", "") == std::to_string((*known)[s].count))
      held = &(*known)[s];
    if (held == nullptr || held->count != count) ini.WriteInteger(section.name, "Count", count);
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::string index = std::to_string(i);
      const bool had = held != nullptr && i < held->entries.size();
      if (!had || held->entries[i].ExePath != entries[i].ExePath)
        ini.WriteString(section.name, "IM_" + index, entries[i].ExePath);
      if (!had || held->entries[i].ClassName != entries[i].ClassName)
        ini.WriteString(section.name, "ID_" + index, entries[i].ClassName);
    }
    // Entries past a shrunk count stay in the file, unread; only the counted ones are known.
    written[s] = {count, entries};
  }
  onFile_ = std::move(written);
}

void PlacementMemory::RemoveMemoryEntry(PlacementMemoryList& memory, const TIconInfo& record) {
  memory.RemoveFirst(record);
}

void PlacementMemory::UpdatePlacementMemory() {
  for (const TIconInfo& record : state_.AllIcons) {
    // An owner whose path could not be read is no program to remember: an entry with an empty
    // path would match every other such owner of the same class.
    if (record.ExePath.empty()) continue;
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

void PlacementMemory::PlaceNewIcon(int optionCode, int index) {
  const auto place = PlaceFromOption(optionCode);
  if (!place) return;
  state_.AllIcons.SetPlace(index, *place);
  const TIconInfo& record = state_.AllIcons[index];
  switch (*place) {
    case IconPlace::Tray:
      state_.TrayList.Add(record);
      break;
    case IconPlace::Panel:
      state_.PanelList.Add(record);
      break;
    case IconPlace::Menu:
      state_.MenuList.Add(record);
      break;
    case IconPlace::Unplaced:
      break;
  }
}

namespace {

IconPlace RememberedPlace(const PlacementMemory& memory, const TIconInfo& record) {
  if (memory.MenuMemory.Contains(record)) return IconPlace::Menu;
  if (memory.PanelMemory.Contains(record)) return IconPlace::Panel;
  if (memory.TrayMemory.Contains(record)) return IconPlace::Tray;
  return IconPlace::Unplaced;
}

}  // namespace

void PlacementMemory::ApplyPlacementMemory() {
  TIconList& icons = state_.AllIcons;
  for (int i = 0; i < icons.Count(); ++i) {
    const TIconInfo& record = icons[i];
    const IconPlace place = RememberedPlace(*this, record);
    icons.SetPlace(i, place);

    if (!state_.NewIconPending() || record.hWnd != state_.NewIconWnd ||
        record.uID != state_.NewIconId)
      continue;
    // The pending place is the minimizer's, for its own icon: another program's icon that
    // happens to be reported first keeps its own place.
    if (state_.PendingMinimizePlace != 0 && options_.IsRightClick &&
        record.hWnd == state_.MinimizerWindow) {
      PlaceNewIcon(state_.PendingMinimizePlace, i);
      state_.PendingMinimizePlace = 0;
    } else if (place == IconPlace::Unplaced) {
      PlaceNewIcon(options_.ApStyle, i);
    }
    // Cleared before the save: a refused write must not leave the icon pending for ever.
    state_.ClearNewIcon();
    UpdatePlacementMemory();
    // The place is the program's: its other icons listed before this one follow it now, not
    // at the next reading.
    for (int j = 0; j < i; ++j) icons.SetPlace(j, RememberedPlace(*this, icons[j]));
    if (HoldSaves)
      saveHeld_ = true;
    else
      SaveAfterNewIcon();
  }
}

void PlacementMemory::SaveHeld() {
  if (!saveHeld_) return;
  saveHeld_ = false;
  SaveAfterNewIcon();
}

void PlacementMemory::SaveAfterNewIcon() {
  try {
    SavePlacementMemory();
    refusalReported_ = false;
  } catch (const SettingsWriteError& error) {
    // The memory stays in memory and is written by the next save that succeeds.
    if (!refusalReported_ && OnWriteRefused) OnWriteRefused(error.what());
    refusalReported_ = true;
  }
}

void PlacementMemory::Clear() {
  PanelMemory.Clear();
  MenuMemory.Clear();
  TrayMemory.Clear();
}

}  // namespace cvl
