#pragma once
// The About box (TForm3): the product picture in a grey frame, the name, the version, the
// maker's notice and a link that opens the maker's page; modal, centred at its first showing.
#include <windows.h>

#include <string>

#include "win32/HandleOwner.h"
#include "win32/Window.h"

namespace cvl::win32 {

inline constexpr const char* kAboutClass = "TForm3";
inline constexpr const char* kAboutCaption = "About Corvalet";
inline constexpr const char* kMakerPage = "http://www.quillon.example/corvalet/";

class AboutBox final : public Window {
 public:
  AboutBox(HINSTANCE instance, HICON picture) : instance_(instance), picture_(picture) {}
  // Shows the box and returns when it is closed; the owner takes no input meanwhile.
  void ShowModal(HWND owner, const std::string& versionLabel);

 private:
  bool Create(HWND owner);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Paint();
  RECT LinkRect() const { return {192, 96, 192 + 220, 96 + 14}; }

  HINSTANCE instance_;
  HICON picture_;
  std::string version_;
  bool shown_ = false;
  FontOwner small_, large_, link_, text_;
};

}  // namespace cvl::win32
