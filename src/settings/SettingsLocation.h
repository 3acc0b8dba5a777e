#pragma once
// Which copy of the settings file is read and written. The bare name keeps it in the Windows
// folder; where a limited account may not write there, it moves to the user's own
// "Application Data\Quillon" folder and stays there, and at the next start that copy is found
// first. The Windows folder's file is left as it was.
#include <string>

#include "platform/Desktop.h"

namespace cvl {

class SettingsLocation {
 public:
  SettingsLocation(Desktop& desktop, std::string name)
      : desktop_(desktop), name_(std::move(name)) {}

  // The name the profile functions get. Chosen at the first call: an existing copy in the
  // user's folder takes precedence over the Windows folder's.
  const std::string& Current();

  // After a write to Current() was refused: makes the folders, copies every section and key
  // of the Windows folder's file into the user's folder and makes that copy current. False,
  // and nothing current changed, when there is nowhere else to go.
  bool MoveToUserFolder();

 private:
  bool CopyInto(const std::string& target);

  Desktop& desktop_;
  std::string name_;
  std::string current_;  // empty until the first call chooses
};

}  // namespace cvl
