#pragma once
// The options dialog's list of tray icons (ListView1 with its image list TrayImages), the two
// move buttons beside it and the three item-place radio buttons, as state the window mirrors.
// The list view's selection event and the radio buttons' click rule are modelled here so that
// the handlers run exactly as the framework would run them.
#include <functional>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "registry/IconPlace.h"

namespace cvl {

struct ListRow {
  int ImageIndex = -1;
  std::string Caption;
  std::int32_t Data = 0;
  bool Selected = false;
};

class OptionsList {
 public:
  std::vector<Hicon> TrayImages;
  std::vector<ListRow> Rows;
  bool SpeedButton3Enabled = true;
  bool SpeedButton4Enabled = true;

  // ListView1SelectItem(row, selected) runs on every change of a row's selection.
  std::function<void(int row, bool selected)> OnSelectItem;
  // The click handler of an item-place radio button, run when code checks an unchecked one.
  std::function<void(IconPlace place)> OnRadioClick;
  // Told after rows or images were added or cleared, so that a window can show them again.
  std::function<void()> OnChanged;

  void Clear();  // TrayImages and every row
  void AddRow(Hicon image, std::string caption, std::int32_t data);
  void RemoveRow(int row);
  int RowCount() const { return static_cast<int>(Rows.size()); }
  void SetSelected(int row, bool selected);
  // -1 when none.
  int FirstSelected() const;

  // The checked radio button's place: Tray (RadioButton10), Panel (RadioButton11),
  // Menu (RadioButton12); Unplaced when none is checked.
  IconPlace CheckedPlace() const { return checked_; }
  bool IsChecked(IconPlace place) const {
    return place != IconPlace::Unplaced && checked_ == place;
  }
  // Checks one button (and unchecks the others); runs its click handler when it was unchecked.
  void CheckRadio(IconPlace place);
  void UncheckRadios() { checked_ = IconPlace::Unplaced; }

 private:
  IconPlace checked_ = IconPlace::Unplaced;
};

}  // namespace cvl
