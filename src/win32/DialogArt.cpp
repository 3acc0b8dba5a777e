#include "win32/DialogArt.h"

#include <algorithm>

#include "settings/OptionsDialogState.h"
#include "win32/HandleOwner.h"

namespace cvl::win32 {

namespace {

constexpr COLORREF kWallTop = RGB(112, 128, 160);
constexpr COLORREF kWallBottom = RGB(52, 64, 96);
constexpr int kGlyphSize = 32;

int Blend(int from, int to, int step, int steps) {
  return steps <= 0 ? from : from + (to - from) * step / steps;
}

// A glyph colour, or its lightened grey while the button is inactive.
COLORREF Tone(COLORREF c, bool active) {
  if (active) return c;
  const int grey = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
  const int light = std::min(255, grey + (255 - grey) / 3);
  return RGB(light, light, light);
}

void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
  const RECT rc{l, t, r, b};
  ::SetBkColor(dc, c);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);  // a fill without a brush
}

void Frame(HDC dc, int l, int t, int r, int b, COLORREF c) {
  Fill(dc, l, t, r, t + 1, c);
  Fill(dc, l, b - 1, r, b, c);
  Fill(dc, l, t, l + 1, b, c);
  Fill(dc, r - 1, t, r, b, c);
}

void DrawGlyph(HDC dc, BarGlyph glyph, int x, int y, bool active) {
  const COLORREF ink = Tone(RGB(32, 32, 32), active);
  switch (glyph) {
    case BarGlyph::TrayIcons: {
      // A notification area with three icons and a clock.
      Fill(dc, x + 1, y + 18, x + 31, y + 29, Tone(RGB(212, 208, 200), active));
      Frame(dc, x + 1, y + 18, x + 31, y + 29, ink);
      const COLORREF icons[] = {RGB(40, 96, 208), RGB(208, 48, 40), RGB(232, 184, 32)};
      for (int i = 0; i < 3; ++i)
        Fill(dc, x + 4 + i * 7, y + 21, x + 9 + i * 7, y + 26, Tone(icons[i], active));
      Fill(dc, x + 25, y + 23, x + 29, y + 24, ink);
      Fill(dc, x + 8, y + 3, x + 24, y + 14, Tone(RGB(40, 96, 208), active));
      Frame(dc, x + 8, y + 3, x + 24, y + 14, ink);
      Fill(dc, x + 15, y + 14, x + 17, y + 18, ink);
      break;
    }
    case BarGlyph::Common: {
      // Three sliders.
      const COLORREF knobs[] = {RGB(40, 160, 72), RGB(40, 96, 208), RGB(208, 48, 40)};
      const int at[] = {20, 9, 15};
      for (int i = 0; i < 3; ++i) {
        const int row = y + 6 + i * 9;
        Fill(dc, x + 3, row, x + 29, row + 2, ink);
        Fill(dc, x + at[i], row - 3, x + at[i] + 5, row + 5, Tone(knobs[i], active));
        Frame(dc, x + at[i], row - 3, x + at[i] + 5, row + 5, ink);
      }
      break;
    }
    case BarGlyph::Minimizer: {
      // A window going down into the tray.
      Fill(dc, x + 3, y + 2, x + 25, y + 17, Tone(RGB(255, 255, 255), active));
      Fill(dc, x + 3, y + 2, x + 25, y + 6, Tone(RGB(10, 36, 106), active));
      Frame(dc, x + 3, y + 2, x + 25, y + 17, ink);
      for (int i = 0; i < 5; ++i)
        Fill(dc, x + 21 - i, y + 18 + i, x + 23 + i, y + 19 + i, Tone(RGB(40, 160, 72), active));
      Fill(dc, x + 1, y + 26, x + 31, y + 30, Tone(RGB(212, 208, 200), active));
      Frame(dc, x + 1, y + 26, x + 31, y + 30, ink);
      break;
    }
    case BarGlyph::Help: {
      // A question mark on a round blue sign.
      const COLORREF blue = Tone(RGB(40, 96, 208), active);
      const BitmapOwner brush(::CreateSolidBrush(blue));
      const BitmapOwner pen(::CreatePen(PS_SOLID, 1, ink));
      HGDIOBJ oldBrush = ::SelectObject(dc, brush.Get());
      HGDIOBJ oldPen = ::SelectObject(dc, pen.Get());
      ::Ellipse(dc, x + 3, y + 2, x + 29, y + 28);
      ::SelectObject(dc, oldPen);
      ::SelectObject(dc, oldBrush);
      const COLORREF white = RGB(255, 255, 255);
      Fill(dc, x + 12, y + 7, x + 20, y + 9, white);
      Fill(dc, x + 18, y + 9, x + 21, y + 14, white);
      Fill(dc, x + 15, y + 14, x + 19, y + 16, white);
      Fill(dc, x + 15, y + 16, x + 17, y + 19, white);
      Fill(dc, x + 15, y + 21, x + 17, y + 24, white);
      Fill(dc, x + 11, y + 9, x + 13, y + 11, white);
      break;
    }
  }
}

}  // namespace

void PaintWallpaper(HDC dc, RECT area, POINT origin, int barHeight) {
  // Horizontal bands of a vertical gradient, two pixels each.
  for (int y = area.top; y < area.bottom; y += 2) {
    const int barY = y + origin.y;
    const COLORREF c = RGB(Blend(GetRValue(kWallTop), GetRValue(kWallBottom), barY, barHeight),
                           Blend(GetGValue(kWallTop), GetGValue(kWallBottom), barY, barHeight),
                           Blend(GetBValue(kWallTop), GetBValue(kWallBottom), barY, barHeight));
    Fill(dc, area.left, y, area.right, std::min<LONG>(y + 2, area.bottom), c);
  }
}

void DrawBarButton(const DRAWITEMSTRUCT& item, BarGlyph glyph, const std::string& caption,
                   bool down, bool active, int barHeight) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  POINT origin{0, 0};
  ::MapWindowPoints(item.hwndItem, ::GetParent(item.hwndItem), &origin, 1);
  PaintWallpaper(dc, r, origin, barHeight);
  const bool pressed = down || (item.itemState & ODS_SELECTED) != 0;
  const int shift = pressed ? 1 : 0;
  const int w = r.right - r.left;
  DrawGlyph(dc, glyph, r.left + (w - kGlyphSize) / 2 + shift, r.top + 8 + shift, active || pressed);
  RECT text{r.left + 1 + shift, r.top + 8 + kGlyphSize + 4 + shift, r.right - 1 + shift,
            r.bottom - 2 + shift};
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, active || pressed ? RGB(255, 255, 255) : RGB(224, 228, 236));
  ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_CENTER | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  if (pressed) ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = r;
    ::InflateRect(&focus, -3, -3);
    ::DrawFocusRect(dc, &focus);
  }
}

void DrawArrowButton(const DRAWITEMSTRUCT& item, bool up) {
  RECT r = item.rcItem;
  UINT state = up ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
  if (item.itemState & ODS_DISABLED) state |= DFCS_INACTIVE;
  if (item.itemState & ODS_SELECTED) state |= DFCS_PUSHED;
  ::DrawFrameControl(item.hDC, &r, DFC_SCROLL, state);
  if (item.itemState & ODS_FOCUS) {
    ::InflateRect(&r, -3, -3);
    ::DrawFocusRect(item.hDC, &r);
  }
}

void PaintHeader(HDC dc, RECT box, const std::string& title, HFONT bold) {
  const int width = box.right - box.left;
  const std::vector<int> greys = HeaderGreys(width);
  for (int x = 0; x < static_cast<int>(greys.size()); ++x) {
    const int g = greys[static_cast<std::size_t>(x)];
    Fill(dc, box.left + x, box.top, box.left + x + 1, box.bottom, RGB(g, g, g));
  }
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, RGB(0, 0, 0));
  HGDIOBJ old = ::SelectObject(dc, bold);
  ::TextOutA(dc, box.left + 8, box.top + 1, title.c_str(), static_cast<int>(title.size()));
  ::SelectObject(dc, old);
}

}  // namespace cvl::win32
