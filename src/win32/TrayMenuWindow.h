#pragma once
// The Corvalet Menu as a real popup menu: built from the core's TrayMenu each time it opens,
// every entry drawn by us so that tips show literally, with the painted left margin (gradient,
// raised edge, rotated "Corvalet"). It opens as a tray menu must: the owner comes to the
// foreground first, and a click elsewhere closes it.
#include <windows.h>
// windows.h first
#include <oleacc.h>

#include <optional>
#include <string>
#include <vector>

#include "views/TrayMenu.h"
#include "win32/HandleOwner.h"
#include "win32/IconCopies.h"

namespace cvl::win32 {

class TrayMenuWindow {
 public:
  TrayMenuWindow(const IconCopies& copies, HICON placeholder);

  // Shows the menu at a screen point and returns the position of the chosen entry, if any. The
  // menu is drawn from `menu` while it is open: it must not change until this returns.
  std::optional<int> Track(const TrayMenu& menu, HWND owner, POINT at);
  // The owner window's WM_MEASUREITEM and WM_DRAWITEM for menu items; false for others.
  bool OnMeasureItem(MEASUREITEMSTRUCT* measure);
  bool OnDrawItem(const DRAWITEMSTRUCT* draw);

 private:
  // Each entry's item data: the name that accessibility tools read from an owner-drawn entry
  // (MSAAMENUINFO, which must come first), then the entry's position.
  struct EntryData {
    MSAAMENUINFO msaa;
    std::wstring name;
    std::size_t index;
  };
  // The entry's position from its item data, if the data is one of ours.
  std::optional<std::size_t> EntryIndex(ULONG_PTR itemData) const;
  int ItemHeight(const MenuItem& item) const;
  HICON Picture(int imageIndex) const;
  void DrawMargin(HDC dc, const RECT& item) const;

  const IconCopies& copies_;
  HICON placeholder_;
  IconOwner fixedPictures_[kFixedImages];
  const TrayMenu* menu_ = nullptr;
  std::vector<EntryData> entries_;  // while the menu is open; never grows meanwhile
  int menuHeight_ = 0;
};

}  // namespace cvl::win32
