#include "settings/TOptions.h"

#include <algorithm>

#include "settings/IniFile.h"

namespace cvl {

namespace {

constexpr const char* kTrayIcons = "Tray Icons";
constexpr const char* kCommon = "Common";
constexpr const char* kMinOptions = "MinOptions";

std::vector<std::string> ReadList(const IniFile& ini, const char* countKey, const char* prefix) {
  std::vector<std::string> list;
  const std::int32_t count = std::min(ini.ReadInteger(kTrayIcons, countKey, 0), kMaxListEntries);
  for (std::int32_t i = 0; i < count; ++i)
    list.push_back(ini.ReadString(kTrayIcons, prefix + std::to_string(i), ""));
  return list;
}

void WriteList(IniFile& ini, const char* countKey, const char* prefix,
               const std::vector<std::string>& list) {
  ini.WriteInteger(kTrayIcons, countKey, static_cast<std::int32_t>(list.size()));
  for (std::size_t i = 0; i < list.size(); ++i)
    ini.WriteString(kTrayIcons, prefix + std::to_string(i), list[i]);
}

}  // namespace

IniFile TOptions::Open(const std::string& fileName) const {
  return fileName == kSettingsFile ? IniFile(desktop_, location_) : IniFile(desktop_, fileName);
}

void TOptions::Load(const std::string& fileName) {
  const IniFile ini = Open(fileName);
  NewInTray = ini.ReadBool(kTrayIcons, "NewInTray", false);
  NewInCorvalet = ini.ReadBool(kTrayIcons, "NewInCorvalet", true);
  TrayIconNames = ReadList(ini, "IconsTrayLength", "TrayIcon");
  CvlIconNames = ReadList(ini, "IconsCvlLength", "CvlIcon");
  Enabled = ini.ReadBool(kCommon, "Enabled", true);
  ApStyle = ini.ReadInteger(kCommon, "ApStyle", 1);
  TrayButton = ini.ReadInteger(kCommon, "TrayButton", 1);
  LimitEnable = ini.ReadBool(kCommon, "LimitEnable", false);
  LimitCount = ini.ReadInteger(kCommon, "LimitCount", 16);
  LangLib = ini.ReadString(kCommon, "LangLib", "");
  CurLang = ini.ReadString(kCommon, "CurLang", "English");
  PanelHotKey = ini.ReadInteger(kCommon, "PanelHotKey", 0);
  IsRightClick = ini.ReadBool(kMinOptions, "IsRightClick", true);
  HotKey = ini.ReadInteger(kMinOptions, "HotKey", 0);
  MinimizeTo = ini.ReadInteger(kMinOptions, "MinimizeTo", 1);
}

void TOptions::Save(const std::string& fileName) const {
  IniFile ini = Open(fileName);
  ini.WriteBool(kTrayIcons, "NewInTray", NewInTray);
  ini.WriteBool(kTrayIcons, "NewInCorvalet", NewInCorvalet);
  WriteList(ini, "IconsTrayLength", "TrayIcon", TrayIconNames);
  WriteList(ini, "IconsCvlLength", "CvlIcon", CvlIconNames);
  ini.WriteBool(kCommon, "Enabled", Enabled);
  ini.WriteInteger(kCommon, "ApStyle", ApStyle);
  ini.WriteInteger(kCommon, "TrayButton", TrayButton);
  ini.WriteBool(kCommon, "LimitEnable", LimitEnable);
  ini.WriteInteger(kCommon, "LimitCount", LimitCount);
  ini.WriteString(kCommon, "LangLib", LangLib);
  ini.WriteString(kCommon, "CurLang", CurLang);
  ini.WriteInteger(kCommon, "PanelHotKey", PanelHotKey);
  ini.WriteBool(kMinOptions, "IsRightClick", IsRightClick);
  ini.WriteInteger(kMinOptions, "HotKey", HotKey);
  ini.WriteInteger(kMinOptions, "MinimizeTo", MinimizeTo);

  // Synchronous as before, but bounded: a hung sibling must not hang this program.
  if (const Hwnd sibling = desktop_.FindWindowA(kDropsailClass, kDropsailCaption)) {
    LResult ignored = 0;
    desktop_.SendMessageTimeoutA(sibling, kDropsailNotify, 1, 1, kDropsailTimeoutMs, &ignored);
  }
}

void TOptions::SetDefault() {
  NewInTray = false;
  NewInCorvalet = false;
  ApStyle = 1;
  TrayButton = 1;
  LimitEnable = false;
  LimitCount = 16;
  IsRightClick = true;
  HotKey = 0;
  PanelHotKey = 0;
  MinimizeTo = 1;
  Enabled = true;
}

}  // namespace cvl
