#include "settings/SettingsLocation.h"

namespace cvl {

namespace {

constexpr const char* kUserFolder = "\\Quillon";

// Values are read whole: a copy must not cut what a later version or the user wrote long.
constexpr int kFirstRead = 2048;
constexpr int kLongestRead = 65536;

}  // namespace

const std::string& SettingsLocation::Current() {
  if (current_.empty()) {
    current_ = name_;
    if (const std::string appData = desktop_.SHGetFolderPathA(kCsidlAppData); !appData.empty()) {
      const std::string copy = appData + kUserFolder + '\\' + name_;
      if (desktop_.FileExists(copy)) current_ = copy;
    }
  }
  return current_;
}

bool SettingsLocation::MoveToUserFolder() {
  const std::string appData = desktop_.SHGetFolderPathA(kCsidlAppData);
  if (Current() != name_ || appData.empty()) return false;
  const std::string folder = appData + kUserFolder;
  if (!desktop_.CreateDirectoryA(appData) || !desktop_.CreateDirectoryA(folder)) return false;
  const std::string target = folder + '\\' + name_;
  // Made under another name and given the settings file's name only when whole: a copy cut
  // short (a full disk, the session's end) must never be found first at the next start. It
  // stays under that name, and the next refused save copies again over it.
  const std::string partial = target + ".new";
  if (!CopyInto(partial) || !desktop_.MoveFileA(partial, target)) return false;
  current_ = target;
  return true;
}

bool SettingsLocation::CopyInto(const std::string& target) {
  // Through the profile functions, which see what the system may still hold unwritten, and
  // which write the copy in the file's own form, section by section and key by key in order.
  for (const std::string& section : desktop_.GetPrivateProfileSectionNamesA(name_)) {
    for (const std::string& key : desktop_.GetPrivateProfileKeyNamesA(section, name_)) {
      std::string value;
      for (int size = kFirstRead; size <= kLongestRead; size *= 2) {
        value = desktop_.GetPrivateProfileStringA(section, key, "", size, name_);
        if (value.size() + 1 < static_cast<std::size_t>(size)) break;
      }
      if (!desktop_.WritePrivateProfileStringA(section, key, value, target)) return false;
    }
  }
  return true;
}

}  // namespace cvl
