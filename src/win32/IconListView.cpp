#include "win32/IconListView.h"

namespace cvl::win32 {

bool IconListView::Create(HWND parent, HINSTANCE instance, int id, RECT place,
                          HICON missingPicture) {
  id_ = id;
  missing_ = missingPicture;
  list_ = ::CreateWindowExA(
      WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
      WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER |
          LVS_SHAREIMAGELISTS,  // the image list is ours to destroy, once
      place.left, place.top, place.right - place.left, place.bottom - place.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (list_ == nullptr) return false;
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH;
  column.cx = place.right - place.left - 30;
  ::SendMessageA(list_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  images_ = ImageListOwner(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8));
  ::SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.Get()));
  return true;
}

void IconListView::Sync() {
  if (list_ == nullptr) return;
  syncing_ = true;
  ::SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
  ImageList_RemoveAll(images_.Get());
  for (const Hicon image : model_.TrayImages) {
    // An icon that cannot be drawn still takes its place, so that the indices hold.
    if (ImageList_AddIcon(images_.Get(), copies_.Resolve(image)) < 0)
      ImageList_AddIcon(images_.Get(), missing_);
  }
  for (int i = 0; i < model_.RowCount(); ++i) {
    const ListRow& row = model_.Rows[static_cast<std::size_t>(i)];
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = i;
    item.pszText = const_cast<char*>(row.Caption.c_str());
    item.iImage = row.ImageIndex;
    item.lParam = row.Data;
    item.state = row.Selected ? LVIS_SELECTED : 0;
    item.stateMask = LVIS_SELECTED;
    ::SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  syncing_ = false;
}

void IconListView::OnNotify(const NMHDR* header) {
  if (syncing_ || header == nullptr || header->code != LVN_ITEMCHANGED) return;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!(change->uChanged & LVIF_STATE) ||
      ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) == 0)
    return;
  model_.SetSelected(change->iItem, (change->uNewState & LVIS_SELECTED) != 0);
}

}  // namespace cvl::win32
