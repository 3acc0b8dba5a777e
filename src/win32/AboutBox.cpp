#include "win32/AboutBox.h"

#include <shellapi.h>

#include "win32/Fonts.h"

namespace cvl::win32 {

namespace {

constexpr int kClientWidth = 424;
constexpr int kClientHeight = 220;
constexpr int kOkId = IDOK;
constexpr RECT kPicture{8, 8, 8 + 174, 8 + 204};
constexpr const char* kNotice = "Copyright (c) Quillon";

}  // namespace

bool AboutBox::Create(HWND owner) {
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const DWORD exStyle = WS_EX_DLGMODALFRAME;
  RECT r{0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int w = r.right - r.left, h = r.bottom - r.top;
  // Centred on the desktop the first time; later showings keep where the user left it.
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  if (!CreateWindowOf(instance_, kAboutClass, nullptr, exStyle, kAboutCaption, style, x, y, w, h,
                      owner))
    return false;
  small_ = FontOwner(MakeFont("Arial", 19, FW_BOLD, false));
  large_ = FontOwner(MakeFont("Arial", 32, FW_BOLD, false));
  link_ = FontOwner(MakeFont("MS Sans Serif", 11, FW_NORMAL, true));
  text_ = FontOwner(MakeFont("MS Sans Serif", 11, FW_NORMAL, false));
  HWND ok = ::CreateWindowExA(
      0, "BUTTON", "Ok", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 344, 188, 75, 25,
      window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOkId)), instance_, nullptr);
  ::SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(text_.Get()), TRUE);
  return true;
}

void AboutBox::ShowModal(HWND owner, const std::string& versionLabel) {
  version_ = versionLabel;
  if (window_ == nullptr && !Create(owner)) return;
  ::InvalidateRect(window_, nullptr, TRUE);
  ::EnableWindow(owner, FALSE);
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  shown_ = true;
  MSG m;
  while (shown_ && ::GetMessageA(&m, nullptr, 0, 0) > 0) {
    if (!::IsDialogMessageA(window_, &m)) {
      ::TranslateMessage(&m);
      ::DispatchMessageA(&m);
    }
  }
  if (shown_) ::PostQuitMessage(static_cast<int>(m.wParam));  // the program is ending
  shown_ = false;
  ::EnableWindow(owner, TRUE);
  ::ShowWindow(window_, SW_HIDE);
}

void AboutBox::Paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(window_, &ps);
  // The picture: the product's icon on a deep blue field, framed in grey just outside it.
  const BitmapOwner field(::CreateSolidBrush(RGB(16, 32, 96)));
  ::FillRect(dc, &kPicture, static_cast<HBRUSH>(field.Get()));
  ::DrawIconEx(dc, kPicture.left + (174 - 64) / 2, kPicture.top + (204 - 64) / 2, picture_, 64, 64,
               0, nullptr, DI_NORMAL);
  const BitmapOwner pen(::CreatePen(PS_SOLID, 1, RGB(128, 128, 128)));
  HGDIOBJ oldPen = ::SelectObject(dc, pen.Get());
  const POINT frame[] = {{kPicture.left - 1, kPicture.top - 1},
                         {kPicture.right, kPicture.top - 1},
                         {kPicture.right, kPicture.bottom},
                         {kPicture.left - 1, kPicture.bottom},
                         {kPicture.left - 1, kPicture.top - 1}};
  ::Polyline(dc, frame, 5);
  ::SelectObject(dc, oldPen);
  ::SetBkMode(dc, TRANSPARENT);
  const auto text = [&](int x, int y, HGDIOBJ font, COLORREF colour, const std::string& s) {
    HGDIOBJ old = ::SelectObject(dc, font);
    ::SetTextColor(dc, colour);
    ::TextOutA(dc, x, y, s.c_str(), static_cast<int>(s.size()));
    ::SelectObject(dc, old);
  };
  text(192, 8, small_.Get(), RGB(0, 0, 0), "Quillon");
  text(192, 24, large_.Get(), RGB(0, 0, 0), "Corvalet");
  text(192, 64, text_.Get(), RGB(0, 0, 0), version_);
  text(192, 80, text_.Get(), RGB(0, 0, 0), kNotice);
  text(192, 96, link_.Get(), RGB(0, 0, 255), kMakerPage);
  ::EndPaint(window_, &ps);
}

LRESULT AboutBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kOkId || LOWORD(wParam) == IDCANCEL) shown_ = false;
      return 0;
    case WM_CLOSE:
      shown_ = false;
      return 0;
    case WM_SETCURSOR: {
      POINT p;
      ::GetCursorPos(&p);
      ::ScreenToClient(window_, &p);
      const RECT link = LinkRect();
      if (::PtInRect(&link, p)) {
        ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
        return TRUE;
      }
      break;
    }
    case WM_LBUTTONUP: {
      const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      const RECT link = LinkRect();
      // Shown: the browser must come up where the user can see it.
      if (::PtInRect(&link, p))
        ::ShellExecuteA(window_, "open", kMakerPage, nullptr, nullptr, SW_SHOWNORMAL);
      return 0;
    }
    default:
      break;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace cvl::win32
