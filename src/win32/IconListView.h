#pragma once
// The options dialog's list of tray icons (ListView1) as a Windows list view: it shows the
// core's OptionsList (rows, captions, pictures from Corvalet's icon copies) and hands the
// user's selection back to it.
#include <windows.h>

#include <commctrl.h>

#include "registry/OptionsList.h"
#include "win32/HandleOwner.h"
#include "win32/IconCopies.h"

namespace cvl::win32 {

class IconListView {
 public:
  IconListView(OptionsList& model, const IconCopies& copies) : model_(model), copies_(copies) {}
  IconListView(const IconListView&) = delete;
  IconListView& operator=(const IconListView&) = delete;

  bool Create(HWND parent, HINSTANCE instance, int id, RECT place, HICON missingPicture);
  // Shows the model again: rows, captions, pictures and selection.
  void Sync();
  // The parent's WM_NOTIFY for this control.
  void OnNotify(const NMHDR* header);
  int Id() const { return id_; }

 private:
  OptionsList& model_;
  const IconCopies& copies_;
  HWND list_ = nullptr;
  int id_ = 0;
  HICON missing_ = nullptr;
  ImageListOwner images_;
  bool syncing_ = false;  // our own changes are no user's selection
};

}  // namespace cvl::win32
