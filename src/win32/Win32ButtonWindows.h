#pragma once
// The button near the clock as a real window: class "QLTrayButton", a copy of the system's
// "BUTTON" class whose own procedure hands every message to the clock button first and then
// to the button's standard procedure.
#include <windows.h>

#include <functional>
#include <string>

#include "clockbutton/ButtonWindows.h"
#include "clockbutton/ClockButton.h"

namespace cvl::win32 {

class Win32ButtonWindows final : public ButtonWindows {
 public:
  explicit Win32ButtonWindows(HINSTANCE instance) : instance_(instance) {}
  ~Win32ButtonWindows() override;

  // Where the button's messages go; one button, one clock button, one process.
  void Route(ClockButton* clockButton) { clockButton_ = clockButton; }
  // The button's name for screen readers, in the language of the moment.
  static std::function<std::string()> Name;

  Hwnd CreateTrayButton(Hwnd parent, int x, int y, const std::string& text) override;
  void SetText(Hwnd button, const std::string& text) override;
  void Destroy(Hwnd button) override;
  void CloseOpenMenu() override;

 private:
  static LRESULT CALLBACK TrayButtonProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  static WNDPROC buttonDefProc_;
  static ClockButton* clockButton_;
  HINSTANCE instance_;
};

}  // namespace cvl::win32
