#include "win32/IconListView.h"

namespace cvl::win32 {

namespace {
constexpr int kColumnWidth = 221;
}

bool IconListView::Attach(HWND list, HICON missingPicture) {
  list_ = list;
  missing_ = missingPicture;
  if (list_ == nullptr) return false;
  ::SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  LVCOLUMNA column{};
  column.mask = LVCF_WIDTH | LVCF_TEXT;
  column.cx = kColumnWidth;
  column.pszText = const_cast<char*>("");
  ::SendMessageA(list_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  // The list shares the image list (LVS_SHAREIMAGELISTS): it is ours to destroy, once.
  images_ = ImageListOwner(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8));
  ::SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.Get()));
  return true;
}

void IconListView::SetColumnCaption(const std::string& caption) {
  if (list_ == nullptr) return;
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT;
  column.pszText = const_cast<char*>(caption.c_str());
  ::SendMessageA(list_, LVM_SETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
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
    // The selected row is the focused one too, so that the arrow keys go on from it.
    item.state = row.Selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
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
