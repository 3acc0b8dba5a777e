#include "win32/IconListView.h"

#include "win32/Window.h"

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
  column.cx = ScreenPixels(kColumnWidth);
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
  const bool pictures = SyncImages();
  SyncRows();
  // A slot of the image list that took another picture keeps its index: only a repaint shows it.
  if (pictures) ::InvalidateRect(list_, nullptr, FALSE);
  syncing_ = false;
}

bool IconListView::SyncImages() {
  HIMAGELIST images = images_.Get();
  if (::ImageList_GetImageCount(images) != static_cast<int>(slots_.Count())) {
    ::ImageList_RemoveAll(images);
    slots_.Clear();
  }
  std::vector<Picture> wanted;
  std::vector<HICON> copies;
  for (const Hicon shellIcon : model_.TrayImages) {
    copies.push_back(copies_.Resolve(shellIcon));
    wanted.push_back({shellIcon, copies_.Serial(shellIcon)});
  }
  const std::vector<PictureSlots::Put> puts = slots_.Assign(wanted);
  for (const PictureSlots::Put& put : puts) {
    // An icon that cannot be drawn still fills its slot, so that the indices hold.
    const HICON copy = copies[put.image];
    if (!put.append) {
      if (::ImageList_ReplaceIcon(images, put.slot, copy) < 0)
        ::ImageList_ReplaceIcon(images, put.slot, missing_);
    } else if (::ImageList_AddIcon(images, copy) < 0 && ::ImageList_AddIcon(images, missing_) < 0) {
      slots_.Truncate(static_cast<std::size_t>(put.slot));
      break;
    }
  }
  return !puts.empty();
}

// Rows are set where they differ from what the list shows, not rebuilt: a hidden list is kept
// current through bursts of tray changes, and a shown one keeps its scroll position.
void IconListView::SyncRows() {
  const int shown = static_cast<int>(::SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
  if (shown != static_cast<int>(rows_.size())) {
    ::SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    rows_.clear();
  }
  const std::size_t count = model_.Rows.size();
  for (std::size_t i = 0; i < count; ++i) {
    ListRow row = model_.Rows[i];
    row.ImageIndex =
        row.ImageIndex < 0 ? -1 : slots_.SlotOf(static_cast<std::size_t>(row.ImageIndex));
    if (i < rows_.size() && SameRow(rows_[i], row)) continue;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<char*>(row.Caption.c_str());
    item.iImage = row.ImageIndex;
    item.lParam = row.Data;
    // The selected row is the focused one too, so that the arrow keys go on from it.
    item.state = row.Selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (i < rows_.size()) {
      ::SendMessageA(list_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      rows_[i] = row;
    } else {
      ::SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      rows_.push_back(row);
    }
  }
  while (rows_.size() > count) {
    ::SendMessageA(list_, LVM_DELETEITEM, rows_.size() - 1, 0);
    rows_.pop_back();
  }
}

bool IconListView::SameRow(const ListRow& a, const ListRow& b) {
  return a.ImageIndex == b.ImageIndex && a.Caption == b.Caption && a.Data == b.Data &&
         a.Selected == b.Selected;
}

void IconListView::OnNotify(const NMHDR* header) {
  if (syncing_ || header == nullptr || header->code != LVN_ITEMCHANGED) return;
  const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!(change->uChanged & LVIF_STATE) ||
      ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) == 0)
    return;
  const bool selected = (change->uNewState & LVIS_SELECTED) != 0;
  model_.SetSelected(change->iItem, selected);
  // The list shows it already: what it shows is remembered as such.
  if (change->iItem >= 0 && static_cast<std::size_t>(change->iItem) < rows_.size())
    rows_[static_cast<std::size_t>(change->iItem)].Selected = selected;
}

}  // namespace cvl::win32
