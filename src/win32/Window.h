#pragma once
// The one shape of every window Corvalet creates: `this` kept in the window's user data,
// messages routed to a virtual handler, and a try/catch where Windows calls in, so that no
// error unwinds through a Windows frame. Dialog is the twin for dialog templates.
#include <windows.h>

#include <string>

namespace cvl::win32 {

// A length that the layout gives in pixels of a 96 DPI screen, at this screen's resolution: the
// same at 96 DPI, a quarter more with large fonts (120 DPI), where the system's text is a quarter
// larger and would not fit the smaller place.
int ScreenPixels(int pixels);
RECT ScreenPixels(const RECT& r);

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return window_; }

 protected:
  // Registers the class (once per process) and creates the window.
  bool CreateWindowOf(HINSTANCE instance, const char* className, HICON classIcon, DWORD exStyle,
                      const char* title, DWORD style, int x, int y, int width, int height,
                      HWND parent, UINT classStyle = 0);
  // Unhandled messages go to DefWindowProc.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Where an error that reached the window procedure ends.
  virtual void ReportError(const std::string& message);

  HWND window_ = nullptr;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
};

class Dialog {
 public:
  Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  virtual ~Dialog();

  HWND Handle() const { return dialog_; }
  // A modeless dialog from the template with that resource ID.
  bool CreateModeless(HINSTANCE instance, int templateId, HWND owner);

 protected:
  // TRUE when handled; FALSE lets the dialog manager do its default.
  virtual INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
  virtual void ReportError(const std::string& message);

  HWND dialog_ = nullptr;

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
};

}  // namespace cvl::win32
