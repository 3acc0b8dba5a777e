#pragma once
// Language libraries: one INI section of captions, applied to the options dialog, the About
// box and the tray menu's fixed entries.
#include <string>

#include "localization/Captions.h"
#include "platform/Desktop.h"
#include "views/TrayMenu.h"

namespace cvl {

inline constexpr const char* kLanguageSection = "Localization library for Quillon Corvalet v2.0";

class TLocal {
 public:
  explicit TLocal(Desktop& desktop) : desktop_(desktop) {}

  // Applies the library at path, key by key in the library's order. A key the library lacks
  // keeps the caption as it is; a key with an empty value empties it. A file without the
  // section (or not a library at all) changes nothing: false then, true when it was applied.
  bool LoadLanguage(const std::string& path, Captions& captions, TrayMenu& menu);

 private:
  Desktop& desktop_;
};

}  // namespace cvl
