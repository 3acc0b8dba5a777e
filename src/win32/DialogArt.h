#pragma once
// The options dialog's drawn parts: the page bar's wallpaper and its four buttons with their
// glyphs, the small arrow buttons beside the icon list, and the header above the pages.
#include <windows.h>

#include <string>

namespace cvl::win32 {

inline constexpr int kPageBarWidth = 66;

// The bar's wallpaper over `area`, given in the coordinates of a window whose top-left corner
// is `origin` in the bar's coordinates, so that pieces painted by different windows meet.
void PaintWallpaper(HDC dc, RECT area, POINT origin, int barHeight);

enum class BarGlyph { TrayIcons, Common, Minimizer, Help };

// One of the bar's flat buttons: the wallpaper, the glyph (in colour when `active`, grey
// otherwise), the caption beneath, and a sunken edge while it is down.
void DrawBarButton(const DRAWITEMSTRUCT& item, BarGlyph glyph, const std::string& caption,
                   bool down, bool active, int barHeight);

// A small push button with an up or down arrow, greyed while disabled.
void DrawArrowButton(const DRAWITEMSTRUCT& item, bool up);

// The header: the grey gradient of the given levels, one line each from left to right, and the
// title in bold at (8, 1).
void PaintHeader(HDC dc, RECT box, const std::string& title, HFONT bold);

}  // namespace cvl::win32
