#pragma once
// The captions a language library reaches, as the options dialog and the About box show them,
// with their built-in English texts. The tray menu's captions live in its own entries.
#include <string>

namespace cvl {

struct Captions {
  bool operator==(const Captions&) const = default;
  std::string VersionLabel = "Version 2.0";  // the About box
  std::string SpeedItem1 = "Tray Icons";
  std::string GroupBox1 = " Icons ";
  std::string ListView1Column = "Icons in system tray";
  std::string GroupBox7 = " Item options ";
  std::string RadioButton10 = "Set in system Tray";
  std::string RadioButton11 = "Set in Corvalet Panel";
  std::string RadioButton12 = "Set in Corvalet Menu";
  std::string SpeedItem2 = "Common";
  std::string GroupBox2 = "Style of Icons appearance ";
  std::string RadioButton1 = "Show all new icons in system tray";
  std::string RadioButton2 = "Show all new icons in Corvalet Panel";
  std::string RadioButton3 = "Show all new icons in Corvalet Menu";
  std::string GroupBox6 = " Button near the clock ";
  std::string RadioButton7 = "Set button near the clock for hiding the tray";
  std::string RadioButton8 = "Set button near the clock for hiding tray and clock";
  std::string RadioButton9 = "Do not set button near the clock";
  std::string GroupBox3 = " Number of icons in Tray ";
  std::string CheckBox3 = "Show no more then";
  std::string Label3 = "icons in Tray";
  std::string Label4 = "All others will appear in Corvalet ";
  std::string GroupBox4 = " Localization ";
  std::string Button1 = "Load language library";
  std::string Label5 = "Current language: English";
  std::string SpeedItem3 = "Minimizer";
  std::string GroupBox5 = " Options of minimization ";
  std::string CheckBox4 = "Minimize windows by right clicking on minimization button ";
  std::string RadioButton4 = "Minimize to Tray";
  std::string RadioButton5 = "Minimize to Corvalet's Panel";
  std::string RadioButton6 = "Minimize to Corvalet's Menu";
  std::string Label8 = "Key that minimizes the active window:";
  std::string HotKeyTaken = "Another program holds this key: it minimizes nothing now.";
  std::string ShiftKeyTaken = "Another program holds this key with Shift: it brings nothing back.";
  std::string PanelKeyLabel = "Key that opens the Corvalet Panel:";
  std::string PanelKeyTaken = "Another program holds this key: it opens nothing now.";
  std::string Button5 = "Set default";
  // Names a screen reader reads: the panel's window and the button near the clock.
  std::string PanelName = "Corvalet Panel";
  std::string TrayButtonName = "Hide or show the tray";
};

}  // namespace cvl
