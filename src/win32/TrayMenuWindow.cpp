#include "win32/TrayMenuWindow.h"

#include <cstddef>

namespace cvl::win32 {

namespace {

constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 9;
constexpr int kPictureSize = 16;
constexpr UINT kFirstCommand = 1;

// The menu font, with the structure's size as Windows 2000 and XP know it.
FontOwner MenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
  if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
    return FontOwner();  // the DC's own font stays selected
  return FontOwner(::CreateFontIndirectA(&metrics.lfMenuFont));
}

// ANSI text, as the entries hold it, for the names accessibility tools read.
std::wstring WideText(const std::string& text) {
  if (text.empty()) return {};
  const int n =
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// A small picture for each fixed entry, from the system's stock icons.
HICON StockPicture(LPCSTR id) {
  return ::CopyIcon(::LoadIconA(nullptr, id));
}

}  // namespace

TrayMenuWindow::TrayMenuWindow(const IconCopies& copies, HICON placeholder)
    : copies_(copies), placeholder_(placeholder) {
  fixedPictures_[0] = IconOwner(StockPicture(IDI_INFORMATION));  // About
  fixedPictures_[1] = IconOwner(StockPicture(IDI_QUESTION));     // Help
  fixedPictures_[2] = IconOwner(StockPicture(IDI_APPLICATION));  // Options
  fixedPictures_[3] = IconOwner(::CopyIcon(placeholder));        // Enabled: Corvalet's own
  fixedPictures_[4] = IconOwner(StockPicture(IDI_HAND));         // Exit
}

int TrayMenuWindow::ItemHeight(const MenuItem& item) const {
  return item.IsSeparator() ? kSeparatorHeight : kItemHeight;
}

HICON TrayMenuWindow::Picture(int imageIndex) const {
  if (menu_ == nullptr || imageIndex < 0 ||
      imageIndex >= static_cast<int>(menu_->ImageList1.size()))
    return nullptr;
  if (imageIndex < kFixedImages) return fixedPictures_[imageIndex].Get();
  return copies_.Resolve(menu_->ImageList1[static_cast<std::size_t>(imageIndex)]);
}

std::optional<int> TrayMenuWindow::Track(const TrayMenu& menu, HWND owner, POINT at) {
  menu_ = &menu;
  menuHeight_ = 0;
  const MenuOwner popup(::CreatePopupMenu());
  if (!popup) return std::nullopt;
  entries_.assign(menu.Items.size(), EntryData{});
  for (std::size_t i = 0; i < menu.Items.size(); ++i) {
    const MenuItem& item = menu.Items[i];
    menuHeight_ += ItemHeight(item);
    EntryData& data = entries_[i];
    data.index = i;
    data.name = item.IsSeparator() ? std::wstring() : WideText(item.Caption);
    data.msaa.dwMSAASignature = static_cast<DWORD>(MSAA_MENU_SIG);
    data.msaa.cchWText = static_cast<DWORD>(data.name.size());
    data.msaa.pszWText = data.name.empty() ? nullptr : data.name.data();
    // Every entry is drawn by us, separators too: a tip of "-" or with "&" stays text.
    const UINT flags = MF_OWNERDRAW | (item.IsSeparator() ? MF_DISABLED : 0);
    ::AppendMenuA(popup.Get(), flags, kFirstCommand + i, reinterpret_cast<LPCSTR>(&data));
  }
  // A tray menu: the owner first comes to the foreground, so that a click elsewhere closes
  // the menu, and a message after it lets the next click work at once.
  ::SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(::TrackPopupMenu(
      popup.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, at.x, at.y, 0, owner, nullptr));
  ::PostMessageA(owner, WM_NULL, 0, 0);
  menu_ = nullptr;
  entries_.clear();
  if (chosen < kFirstCommand || chosen - kFirstCommand >= menu.Items.size()) return std::nullopt;
  return static_cast<int>(chosen - kFirstCommand);
}

std::optional<std::size_t> TrayMenuWindow::EntryIndex(ULONG_PTR itemData) const {
  if (menu_ == nullptr) return std::nullopt;
  for (const EntryData& data : entries_)
    if (reinterpret_cast<ULONG_PTR>(&data) == itemData && data.index < menu_->Items.size())
      return data.index;
  return std::nullopt;
}

bool TrayMenuWindow::OnMeasureItem(MEASUREITEMSTRUCT* measure) {
  if (measure == nullptr || measure->CtlType != ODT_MENU) return false;
  const auto index = EntryIndex(measure->itemData);
  if (!index) return false;
  const MenuItem& item = menu_->Items[*index];
  measure->itemHeight = static_cast<UINT>(ItemHeight(item));
  int textWidth = 0;
  if (const ScreenDcOwner screen(::GetDC(nullptr)); screen) {
    HDC dc = screen.Get();
    const FontOwner font = MenuFont();
    HGDIOBJ old = font ? ::SelectObject(dc, font.Get()) : nullptr;
    SIZE size{};
    ::GetTextExtentPoint32A(dc, item.Caption.c_str(), static_cast<int>(item.Caption.size()), &size);
    if (old != nullptr) ::SelectObject(dc, old);
    textWidth = size.cx;
  }
  measure->itemWidth = static_cast<UINT>(kMarginWidth + 4 + kPictureSize + 8 + textWidth + 16);
  return true;
}

void TrayMenuWindow::DrawMargin(HDC dc, const RECT& item) const {
  const Rect margin{item.left, 0, item.left + kMarginWidth, menuHeight_};
  const int saved = ::SaveDC(dc);
  // This entry paints its own slice of the one margin that runs down the whole menu.
  ::IntersectClipRect(dc, margin.left, item.top, margin.right, item.bottom);
  for (const ColourBand& band : MarginGradient(margin)) {
    const RECT r{band.Area.left, band.Area.top, band.Area.right, band.Area.bottom};
    const BitmapOwner brush(::CreateSolidBrush(band.Colour));
    ::FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
  }
  const RECT shadow{margin.right - 2, margin.top, margin.right - 1, margin.bottom};
  const RECT light{margin.right - 1, margin.top, margin.right, margin.bottom};
  const RECT gap{margin.right - 3, margin.top, margin.right - 2, margin.bottom};
  ::FillRect(dc, &gap, ::GetSysColorBrush(COLOR_MENU));
  ::FillRect(dc, &shadow, ::GetSysColorBrush(COLOR_BTNSHADOW));
  ::FillRect(dc, &light, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));

  const LogFontSpec rotated = MakeRotatedFont(MarginFont(), 90);
  LOGFONTA lf{};
  lf.lfHeight = rotated.lfHeight;
  lf.lfEscapement = rotated.lfEscapement;
  lf.lfWeight = rotated.lfWeight;
  lf.lfItalic = rotated.lfItalic;
  lf.lfUnderline = rotated.lfUnderline;
  lf.lfStrikeOut = rotated.lfStrikeOut;
  lf.lfCharSet = rotated.lfCharSet;
  lf.lfPitchAndFamily = rotated.lfPitchAndFamily;
  lstrcpynA(lf.lfFaceName, rotated.lfFaceName.c_str(), LF_FACESIZE);
  // Made and freed for each paint.
  const FontOwner font(::CreateFontIndirectA(&lf));
  ::SelectObject(dc, font.Get());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, kMarginTextColour);
  const std::string text = menu_->MarginText();
  const RECT clip{margin.left, margin.top, margin.right, margin.bottom};
  ::ExtTextOutA(dc, margin.left, margin.bottom - 5, ETO_CLIPPED, &clip, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
  ::RestoreDC(dc, saved);  // deselects the font before its owner frees it
}

bool TrayMenuWindow::OnDrawItem(const DRAWITEMSTRUCT* draw) {
  if (draw == nullptr || draw->CtlType != ODT_MENU) return false;
  const auto index = EntryIndex(draw->itemData);
  if (!index) return false;
  const MenuItem& item = menu_->Items[*index];
  HDC dc = draw->hDC;
  RECT body = draw->rcItem;
  body.left += kMarginWidth;
  const bool selected = (draw->itemState & ODS_SELECTED) && !item.IsSeparator();
  ::FillRect(dc, &body, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  DrawMargin(dc, draw->rcItem);
  if (item.IsSeparator()) {
    RECT line{body.left + 2, (body.top + body.bottom) / 2 - 1, body.right - 2, 0};
    line.bottom = line.top + 2;
    ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return true;
  }
  if (item.ImageIndex >= 0) {
    HICON picture = Picture(item.ImageIndex);
    const int top = body.top + (body.bottom - body.top - kPictureSize) / 2;
    // A picture that cannot be drawn gets the placeholder, never another entry's.
    if (picture == nullptr || !::DrawIconEx(dc, body.left + 4, top, picture, kPictureSize,
                                            kPictureSize, 0, nullptr, DI_NORMAL))
      ::DrawIconEx(dc, body.left + 4, top, placeholder_, kPictureSize, kPictureSize, 0, nullptr,
                   DI_NORMAL);
  }
  RECT text = body;
  text.left += 4 + kPictureSize + 8;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  const FontOwner font = MenuFont();
  HGDIOBJ old = font ? ::SelectObject(dc, font.Get()) : nullptr;
  ::DrawTextA(dc, item.Caption.c_str(), static_cast<int>(item.Caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  if (old != nullptr) ::SelectObject(dc, old);
  return true;
}

}  // namespace cvl::win32
