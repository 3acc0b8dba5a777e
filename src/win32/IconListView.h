#pragma once
// The options dialog's list of tray icons (ListView1) as a Windows list view: it shows the
// core's OptionsList (rows, captions, pictures from Corvalet's icon copies) and hands the
// user's selection back to it.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "registry/OptionsList.h"
#include "win32/HandleOwner.h"
#include "win32/IconCopies.h"

namespace cvl::win32 {

class IconListView {
 public:
  IconListView(OptionsList& model, const IconCopies& copies) : model_(model), copies_(copies) {}
  IconListView(const IconListView&) = delete;
  IconListView& operator=(const IconListView&) = delete;

  // Takes the list view made from the dialog's template: one column, whole-row selection.
  bool Attach(HWND list, HICON missingPicture);
  void SetColumnCaption(const std::string& caption);
  // Shows the model again: rows, captions, pictures and selection.
  void Sync();
  // The parent's WM_NOTIFY for this control.
  void OnNotify(const NMHDR* header);
  HWND Handle() const { return list_; }

 private:
  // What the image list holds at an index: the shell's icon and the copy drawn for it (a copy
  // comes later than the listing that named the icon).
  struct Picture {
    Hicon shellIcon;
    HICON copy;
    bool operator==(const Picture&) const = default;
  };
  bool SyncImages();  // true when a slot took another picture
  void SyncRows();
  static bool SameRow(const ListRow& a, const ListRow& b);

  OptionsList& model_;
  const IconCopies& copies_;
  HWND list_ = nullptr;
  HICON missing_ = nullptr;
  ImageListOwner images_;
  std::vector<Picture> slots_;    // what images_ holds, slot by slot
  std::vector<int> slotOfImage_;  // the slot of each of the model's TrayImages
  std::vector<ListRow> rows_;     // what the list shows, row by row
  bool syncing_ = false;          // our own changes are no user's selection
};

}  // namespace cvl::win32
