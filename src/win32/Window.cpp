#include "win32/Window.h"

#include <exception>

namespace cvl::win32 {

int ScreenPixels(int pixels) {
  // The system's resolution is fixed for the session: read it once.
  static const int dpi = [] {
    HDC screen = ::GetDC(nullptr);
    const int d = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return ::MulDiv(pixels, dpi, 96);
}

RECT ScreenPixels(const RECT& r) {
  return RECT{ScreenPixels(r.left), ScreenPixels(r.top), ScreenPixels(r.right),
              ScreenPixels(r.bottom)};
}

Window::~Window() {
  if (window_ != nullptr && ::IsWindow(window_)) {
    // The window may outlive this object only without a way back to it.
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    ::DestroyWindow(window_);
  }
}

bool Window::CreateWindowOf(HINSTANCE instance, const char* className, HICON classIcon,
                            DWORD exStyle, const char* title, DWORD style, int x, int y, int width,
                            int height, HWND parent, UINT classStyle) {
  WNDCLASSA existing{};
  if (!::GetClassInfoA(instance, className, &existing)) {
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hIcon = classIcon;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    if (!::RegisterClassA(&wc)) return false;
  }
  window_ = ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent,
                              nullptr, instance, this);
  return window_ != nullptr;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(window_, msg, wParam, lParam);
}

void Window::ReportError(const std::string& message) {
  ::MessageBoxA(window_, message.c_str(), "Corvalet", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* self = static_cast<Window*>(create->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcA(window, msg, wParam, lParam);
  try {
    return self->HandleMessage(msg, wParam, lParam);
  } catch (const std::exception& error) {
    self->ReportError(error.what());
  } catch (...) {
    self->ReportError("Unexpected error");
  }
  return 0;
}

Dialog::~Dialog() {
  if (dialog_ != nullptr && ::IsWindow(dialog_)) {
    ::SetWindowLongPtrA(dialog_, DWLP_USER, 0);
    ::DestroyWindow(dialog_);
  }
}

bool Dialog::CreateModeless(HINSTANCE instance, int templateId, HWND owner) {
  dialog_ = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), owner, &Dialog::Procedure,
                                 reinterpret_cast<LPARAM>(this));
  return dialog_ != nullptr;
}

void Dialog::ReportError(const std::string& message) {
  ::MessageBoxA(dialog_, message.c_str(), "Corvalet", MB_OK | MB_ICONERROR);
}

INT_PTR CALLBACK Dialog::Procedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<Dialog*>(lParam);
    self->dialog_ = dialog;
    ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  }
  auto* self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  try {
    return self->HandleMessage(msg, wParam, lParam);
  } catch (const std::exception& error) {
    self->ReportError(error.what());
  } catch (...) {
    self->ReportError("Unexpected error");
  }
  return FALSE;
}

}  // namespace cvl::win32
