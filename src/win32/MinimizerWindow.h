#pragma once
// The minimizer's hidden window (class "TMinForm", never shown): it owns the icons of hidden
// windows and hands their tray callbacks to TMinForm.
#include <windows.h>

#include "minimizer/TMinForm.h"
#include "win32/Window.h"

namespace cvl::win32 {

class MinimizerWindow final : public Window {
 public:
  bool Create(HINSTANCE instance) {
    return CreateWindowOf(instance, "TMinForm", nullptr, WS_EX_TOOLWINDOW, "", WS_POPUP, 0, 0, 0, 0,
                          nullptr);
  }
  void Bind(TMinForm* form) { form_ = form; }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (form_ != nullptr && msg >= WM_USER)
      form_->WndProc(msg, static_cast<WParam>(wParam), static_cast<LParam>(lParam));
    return Window::HandleMessage(msg, wParam, lParam);
  }
  TMinForm* form_ = nullptr;
};

}  // namespace cvl::win32
