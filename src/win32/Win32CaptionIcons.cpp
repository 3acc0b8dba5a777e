#include "win32/Win32CaptionIcons.h"

#include "win32/HandleOwner.h"
#include "win32/Handles.h"

namespace cvl::win32 {

Hicon Win32CaptionIcons::MakeCaptionIcon(Hwnd window) {
  const int w = ::GetSystemMetrics(SM_CXSIZE) - 2, h = ::GetSystemMetrics(SM_CYSIZE) - 2;
  if (w <= 0 || h <= 0) return 0;
  const ScreenDcOwner screen(::GetDC(nullptr));
  if (!screen) return 0;
  const DcOwner dc(::CreateCompatibleDC(screen.Get()));
  // Every mask bit 0: the icon is opaque everywhere.
  const BitmapOwner mask(::CreateBitmap(w, h, 1, 1, nullptr));
  const BitmapOwner colour(::CreateCompatibleBitmap(screen.Get(), w, h));
  if (!dc || !mask || !colour) return 0;
  const RECT r{0, 0, w, h};
  HGDIOBJ old = ::SelectObject(dc.Get(), mask.Get());
  ::FillRect(dc.Get(), &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  ::SelectObject(dc.Get(), colour.Get());
  ::FillRect(dc.Get(), &r, ::GetSysColorBrush(COLOR_INACTIVECAPTION));
  ::DrawCaption(ToHwnd(window), dc.Get(), &r, DC_ICON);
  // The background, whatever colour it came out, becomes the button face.
  const COLORREF background = ::GetPixel(dc.Get(), 0, 0);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y)
      if (::GetPixel(dc.Get(), x, y) == background) ::SetPixel(dc.Get(), x, y, face);
  ::SelectObject(dc.Get(), old);
  ICONINFO info{TRUE, 0, 0, static_cast<HBITMAP>(mask.Get()), static_cast<HBITMAP>(colour.Get())};
  // The icon has copies of both bitmaps; the owners free ours. The minimizer owns the icon.
  HICON icon = ::CreateIconIndirect(&info);
  if (icon != nullptr) CountAcquired<&release::Icon>();
  return FromHicon(icon);
}

void Win32CaptionIcons::DestroyIcon(Hicon icon) {
  if (icon == 0) return;
  ::DestroyIcon(ToHicon(icon));
  CountReleased<&release::Icon>();
}

}  // namespace cvl::win32
