#include "registry/OptionsList.h"

namespace cvl {

void OptionsList::Clear() {
  TrayImages.clear();
  Rows.clear();
  if (OnChanged) OnChanged();
}

void OptionsList::AddRow(Hicon image, std::string caption, std::int32_t data) {
  TrayImages.push_back(image);
  Rows.push_back({static_cast<int>(TrayImages.size()) - 1, std::move(caption), data, false});
  if (OnChanged) OnChanged();
}

void OptionsList::RemoveRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  Rows.erase(Rows.begin() + row);
  if (OnChanged) OnChanged();
}

void OptionsList::SetSelected(int row, bool selected) {
  if (row < 0 || row >= RowCount()) return;
  auto& r = Rows[static_cast<std::size_t>(row)];
  if (r.Selected == selected) return;
  r.Selected = selected;
  if (OnSelectItem) OnSelectItem(row, selected);
}

int OptionsList::FirstSelected() const {
  for (int i = 0; i < RowCount(); ++i)
    if (Rows[static_cast<std::size_t>(i)].Selected) return i;
  return -1;
}

void OptionsList::CheckRadio(IconPlace place) {
  if (place == IconPlace::Unplaced) {
    UncheckRadios();
    return;
  }
  const bool wasChecked = checked_ == place;
  checked_ = place;
  if (!wasChecked && OnRadioClick) OnRadioClick(place);
}

}  // namespace cvl
