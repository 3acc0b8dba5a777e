#include "localization/TLocal.h"

#include <optional>
#include <utility>
#include <vector>

#include "settings/IniFile.h"

namespace cvl {

namespace {

// A missing key gives back whichever default it is read with, a present key its value both
// times: the second read settles a value that equals the first default.
constexpr const char* kFirstDefault = "-";
constexpr const char* kSecondDefault = "+";

}  // namespace

bool TLocal::LoadLanguage(const std::string& path, Captions& captions, TrayMenu& menu) {
  const IniFile file(desktop_, path);
  const auto read = [&](const char* key) -> std::optional<std::string> {
    std::string value = file.ReadString(kLanguageSection, key, kFirstDefault);
    if (value == kFirstDefault &&
        file.ReadString(kLanguageSection, key, kSecondDefault) == kSecondDefault)
      return std::nullopt;
    return value;
  };
  // The menu's fixed entries, counted at this moment: icon entries stand between them.
  const int count = menu.Count();
  std::vector<std::pair<const char*, std::string*>> keys = {
      {"TrayIcons", &captions.SpeedItem1},
      {"Icons", &captions.GroupBox1},
      {"IconsInTray", &captions.ListView1Column},
      {"ItemOptions", &captions.GroupBox7},
      {"InTray", &captions.RadioButton10},
      {"InPanel", &captions.RadioButton11},
      {"InMenu", &captions.RadioButton12},
      {"Common", &captions.SpeedItem2},
      {"ApStyle", &captions.GroupBox2},
      {"ApInTray", &captions.RadioButton1},
      {"ApInPanel", &captions.RadioButton2},
      {"ApInMenu", &captions.RadioButton3},
      {"TrayButton", &captions.GroupBox6},
      {"ForTray", &captions.RadioButton7},
      {"ForClock", &captions.RadioButton8},
      {"NotButton", &captions.RadioButton9},
      {"INumber", &captions.GroupBox3},
      {"ShowNoMore", &captions.CheckBox3},
      {"IInTray", &captions.Label3},
      {"AllOther", &captions.Label4},
      {"Localization", &captions.GroupBox4},
      {"Load", &captions.Button1}};
  const std::vector<std::pair<const char*, std::string*>> later = {
      {"Minimizer", &captions.SpeedItem3},
      {"MinOptions", &captions.GroupBox5},
      {"MinWindows", &captions.CheckBox4},
      {"MinToTray", &captions.RadioButton4},
      {"MinToPanel", &captions.RadioButton5},
      {"MinToMenu", &captions.RadioButton6},
      {"MinHotKey", &captions.Label8},
      {"HotKeyTaken", &captions.HotKeyTaken},
      {"ShiftKeyTaken", &captions.ShiftKeyTaken},
      {"PanelHotKey", &captions.PanelKeyLabel},
      {"PanelKeyTaken", &captions.PanelKeyTaken},
      {"SetDef", &captions.Button5},
      {"AboutStr", &menu.Items[0].Caption},
      {"HelpStr", &menu.Items[1].Caption},
      {"OptionsStr", &menu.Items[3].Caption},
      {"PanelStr", &menu.Items[kMenuPanel].Caption},
      {"PanelName", &captions.PanelName},
      {"ButtonName", &captions.TrayButtonName},
      {"EnabledStr", &menu.Items[static_cast<std::size_t>(count - 2)].Caption},
      {"ExitStr", &menu.Items[static_cast<std::size_t>(count - 1)].Caption}};

  // Every value first: a file that holds none of the keys is no library, and changes nothing.
  std::vector<std::pair<std::string*, std::string>> assignments;
  bool any = false;
  const auto take = [&](const char* key, std::string* caption) {
    if (const auto value = read(key)) {
      assignments.emplace_back(caption, *value);
      any = true;
    }
  };
  if (const auto version = read("Version")) {
    assignments.emplace_back(&captions.VersionLabel, *version + " 2.0");
    any = true;
  }
  for (const auto& [key, caption] : keys) take(key, caption);
  // The two parts of "Current language: English", the first read first.
  const auto current = read("CurrentLang");
  const auto language = read("Language");
  if (current || language) {
    any = true;
    const std::string old = captions.Label5;
    const auto blank = old.find(' ', old.find(':'));
    const std::string oldCurrent = blank == std::string::npos ? old : old.substr(0, blank);
    const std::string oldLanguage = blank == std::string::npos ? "" : old.substr(blank + 1);
    assignments.emplace_back(&captions.Label5,
                             current.value_or(oldCurrent) + " " + language.value_or(oldLanguage));
  }
  for (const auto& [key, caption] : later) take(key, caption);
  if (!any) return false;
  for (auto& [caption, value] : assignments) *caption = std::move(value);
  return true;
}

}  // namespace cvl
