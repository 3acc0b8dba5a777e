#pragma once
// What opening help asks of the window that shows it.
#include <cstdint>
#include <string>

namespace cvl {

class HelpHost {
 public:
  virtual ~HelpHost() = default;
  // WinHelpA on the main form's window; false when it failed.
  virtual bool WinHelp(const std::string& file, std::uint32_t command, const std::string& data) = 0;
  // HTML Help's window at a topic, "FILE.chm::/PAGE>WINDOW"; false when HTML Help is not
  // installed or showed no window.
  virtual bool HtmlHelp(const std::string& topic) = 0;
  // A document in the program the system opens it with, shown.
  virtual void OpenDocument(const std::string& path) = 0;
};

}  // namespace cvl
