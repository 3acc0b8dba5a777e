#pragma once
// What the button near the clock asks of the system: its window of class "QLTrayButton" in
// the taskbar, and a way to close another program's open menu. The Windows adapter routes the
// window's messages to ClockButton::TrayButtonProc.
#include <string>

#include "platform/Types.h"

namespace cvl {

inline constexpr const char* kTrayButtonClass = "QLTrayButton";
inline constexpr int kTrayButtonSize = 12;

class ButtonWindows {
 public:
  virtual ~ButtonWindows() = default;
  // Registers the class once (a copy of "BUTTON" with its own procedure in front), creates the
  // button at x, y in the parent's client area, and keeps it above its siblings. 0 on failure.
  virtual Hwnd CreateTrayButton(Hwnd parent, int x, int y, const std::string& text) = 0;
  virtual void SetText(Hwnd button, const std::string& text) = 0;
  virtual void Destroy(Hwnd button) = 0;
  // Closes the open menu window ("#32768") of any program, without waiting on its thread.
  virtual void CloseOpenMenu() = 0;
};

}  // namespace cvl
