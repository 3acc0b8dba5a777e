#include "win32/Win32ButtonWindows.h"

#include <exception>

#include "win32/Handles.h"
#include "win32/NamedAccessible.h"

namespace cvl::win32 {

WNDPROC Win32ButtonWindows::buttonDefProc_ = nullptr;
std::function<std::string()> Win32ButtonWindows::Name;
ClockButton* Win32ButtonWindows::clockButton_ = nullptr;

Win32ButtonWindows::~Win32ButtonWindows() {
  clockButton_ = nullptr;
  Name = nullptr;
}

LRESULT CALLBACK Win32ButtonWindows::TrayButtonProc(HWND window, UINT msg, WPARAM wParam,
                                                    LPARAM lParam) {
  if (clockButton_ != nullptr &&
      (msg == WM_RBUTTONUP || msg == WM_LBUTTONUP || msg == WM_MOUSEMOVE)) {
    try {
      clockButton_->TrayButtonProc(msg);
    } catch (const std::exception& error) {
      ::MessageBoxA(nullptr, error.what(), "Corvalet", MB_OK | MB_ICONERROR);
    } catch (...) {
    }
  }
  if (!::IsWindow(window)) return 0;  // a click that removed the button
  if (msg == WM_GETOBJECT && Name)
    return NamedAccessible::Answer(window, wParam, lParam, Name(), buttonDefProc_);
  return buttonDefProc_ != nullptr ? ::CallWindowProcA(buttonDefProc_, window, msg, wParam, lParam)
                                   : ::DefWindowProcA(window, msg, wParam, lParam);
}

Hwnd Win32ButtonWindows::CreateTrayButton(Hwnd parent, int x, int y, const std::string& text) {
  WNDCLASSA wc{};
  if (!::GetClassInfoA(instance_, kTrayButtonClass, &wc)) {
    if (!::GetClassInfoA(instance_, "BUTTON", &wc)) return 0;
    buttonDefProc_ = wc.lpfnWndProc;
    wc.lpfnWndProc = &Win32ButtonWindows::TrayButtonProc;
    wc.hInstance = instance_;
    wc.lpszClassName = kTrayButtonClass;
    ::RegisterClassA(&wc);
  }
  HWND button = ::CreateWindowExA(0, kTrayButtonClass, text.c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_BORDER, x, y, kTrayButtonSize,
                                  kTrayButtonSize, ToHwnd(parent), nullptr, instance_, nullptr);
  if (button == nullptr) return 0;
  // Above the notification area and every other sibling, so that it gets its clicks.
  ::SetWindowPos(button, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return FromHwnd(button);
}

void Win32ButtonWindows::SetText(Hwnd button, const std::string& text) {
  ::SetWindowTextA(ToHwnd(button), text.c_str());
}

void Win32ButtonWindows::Destroy(Hwnd button) {
  ::DestroyWindow(ToHwnd(button));
}

void Win32ButtonWindows::CloseOpenMenu() {
  // Another program's menu runs on its own thread: ask it to close, never wait for it.
  if (HWND menu = ::FindWindowA("#32768", nullptr)) ::PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace cvl::win32
