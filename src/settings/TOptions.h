#pragma once
// The one live settings object. Other parts read and write its fields directly.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "settings/SettingsLocation.h"

namespace cvl {

class IniFile;

inline constexpr const char* kSettingsFile = "QLCvl.ini";

// The sibling minimizer program told about every save.
inline constexpr const char* kDropsailClass = "TMinForm";
inline constexpr const char* kDropsailCaption = "Quillon Dropsail";
inline constexpr std::uint32_t kDropsailNotify = 0x401;
inline constexpr std::uint32_t kDropsailTimeoutMs = 2000;

class TOptions {
 public:
  explicit TOptions(Desktop& desktop) : desktop_(desktop), location_(desktop, kSettingsFile) {}

  bool NewInTray = false;
  bool NewInCorvalet = false;
  std::vector<std::string> TrayIconNames;
  std::vector<std::string> CvlIconNames;
  bool Enabled = false;
  std::int32_t ApStyle = 0;
  std::int32_t TrayButton = 0;
  bool LimitEnable = false;
  std::int32_t LimitCount = 0;
  std::string LangLib;
  std::string CurLang;
  bool IsRightClick = false;
  std::int32_t HotKey = 0;
  std::int32_t PanelHotKey = 0;  // opens the panel for the keyboard; 0 for none
  std::int32_t MinimizeTo = 0;

  // kSettingsFile names the file wherever its location keeps it.
  void Load(const std::string& fileName);
  // Throws SettingsWriteError at the first key that neither place takes; the keys after it are
  // not written and the sibling is not told.
  void Save(const std::string& fileName) const;
  void SetDefault();

  // Where kSettingsFile is now: where the file lives is no option, so a const object moves it.
  SettingsLocation& Location() const { return location_; }

 private:
  IniFile Open(const std::string& fileName) const;

  Desktop& desktop_;
  mutable SettingsLocation location_;
};

}  // namespace cvl
