#pragma once
// The options dialog's list of tray icons (ListView1) as a Windows list view: it shows the
// core's OptionsList (rows, captions, pictures from Corvalet's icon copies) and hands the
// user's selection back to it.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "registry/OptionsList.h"
#include "views/PictureSlots.h"
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
  bool SyncImages();  // true when a slot took another picture
  void SyncRows();
  static bool SameRow(const ListRow& a, const ListRow& b);

  OptionsList& model_;
  const IconCopies& copies_;
  HWND list_ = nullptr;
  HICON missing_ = nullptr;
  ImageListOwner images_;
  PictureSlots slots_;         // what images_ holds
  std::vector<ListRow> rows_;  // what the list shows, row by row
  bool syncing_ = false;       // our own changes are no user's selection
};

}  // namespace cvl::win32
