#pragma once
// What the main form asks of the window that shows it.
#include <optional>
#include <string>

#include "about/HelpHost.h"
#include "platform/Types.h"

namespace cvl {

class FormHost : public HelpHost {
 public:
  virtual Hwnd Window() = 0;
  virtual std::string ExeDirectory() = 0;  // with a trailing backslash
  virtual Hicon ApplicationIcon() = 0;
  virtual Hicon DisabledIcon() = 0;
  virtual void HideApplicationButton() = 0;
  virtual void MoveForm(int left, int top) = 0;
  // The application's general error handler: shows the message in a message box.
  virtual void ShowError(const std::string& message) = 0;
  // The menu's fixed entries that open windows of their own, and the orderly end.
  // The options dialog: shown centred on the desktop (its showing runs FormShow), and hidden.
  virtual void ShowOptions() = 0;
  virtual void HideOptions() = 0;
  // The About box, modal, with its version label.
  virtual void ShowAbout(const std::string& versionLabel) = 0;
  // The open menu or modal box comes to the front (a second one is not opened).
  virtual void BringModalToFront() = 0;
  virtual void Terminate() = 0;
  // The "*.lng" open dialog, starting in a folder; nothing when the user cancels.
  virtual std::optional<std::string> OpenLanguageFile(const std::string& initialDirectory) = 0;
};

}  // namespace cvl
