#pragma once
// The options dialog's controls as state the dialog window shows: the three pages' choices,
// the page bar and the header. Radio groups hold the number of their checked button (1 to 3,
// 0 for none), counted as the settings count.
#include <cmath>
#include <string>
#include <vector>

namespace cvl {

struct OptionsDialogState {
  bool Visible = false;
  int Page = 0;            // 0 "Tray icons", 1 "Common", 2 "Minimizer"
  std::string Label7;      // the header's text: the current page button's caption
  int ApStyle = 1;         // RadioButton1..3; RadioButton1 checked in the form
  int TrayButton = 1;      // RadioButton7..9
  bool CheckBox3 = false;  // LimitEnable (its group is disabled)
  int SpinEdit1 = 16;      // LimitCount
  bool CheckBox4 = true;   // IsRightClick
  int MinimizeTo = 3;      // RadioButton4..6; RadioButton6 checked in the form
  int HotKey1 = 0;         // HotKey: the hotkey control's word, disabled while CheckBox4 is off
  std::string HotKeyNote;  // beside it: why the stored key does not work, if it does not
  // The user's key: a note about another key no longer applies.
  void SetHotKey1(int value) {
    if (value != HotKey1) HotKeyNote.clear();
    HotKey1 = value;
  }
  int PanelHotKey1 = 0;         // PanelHotKey: the Common page's hotkey control's word
  std::string PanelHotKeyNote;  // beside it, as HotKeyNote
  void SetPanelHotKey1(int value) {
    if (value != PanelHotKey1) PanelHotKeyNote.clear();
    PanelHotKey1 = value;
  }
};

// The header's grey gradient (PaintBox1Paint): for each x from 0 to width - 1 the grey level
// 255 - level drawn there, level = round-half-even(60 / width * k) + 40 with k = width - x.
inline std::vector<int> HeaderGreys(int width) {
  std::vector<int> greys;
  for (int k = width; k >= 1; --k) {
    const double level = std::nearbyint(60.0 / width * k) + 40;  // the default mode: half to even
    greys.push_back(255 - static_cast<int>(level));
  }
  return greys;
}

}  // namespace cvl
