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
  const bool pictures = SyncImages();
  SyncRows();
  // A slot of the image list that took another picture keeps its index: only a repaint shows it.
  if (pictures) ::InvalidateRect(list_, nullptr, FALSE);
  syncing_ = false;
}

// The image list is a pool of pictures that stay in their slots: a picture goes in once, when
// an icon first needs it, into a slot that no listed icon uses any more or at the end. Under
// Wine each picture put in costs calls to the server, and rebuilding the whole list on every
// refresh of a hidden list kept Corvalet from the hook's reports for most of a second with a
// few hundred icons in the tray; icons removed ahead of others no longer move every picture.
bool IconListView::SyncImages() {
  HIMAGELIST images = images_.Get();
  if (::ImageList_GetImageCount(images) != static_cast<int>(slots_.size())) {
    ::ImageList_RemoveAll(images);
    slots_.clear();
  }
  const std::size_t count = model_.TrayImages.size();
  // Looked for slot by slot: with a thousand icons a million comparisons cost less than one
  // picture put in.
  const auto find = [this](const Picture& picture) {
    for (std::size_t slot = 0; slot < slots_.size(); ++slot)
      if (slots_[slot] == picture) return static_cast<int>(slot);
    return -1;
  };
  std::vector<Picture> wanted(count);
  std::vector<char> used(slots_.size(), 0);
  slotOfImage_.assign(count, -1);
  for (std::size_t i = 0; i < count; ++i) {
    wanted[i] = {model_.TrayImages[i], copies_.Resolve(model_.TrayImages[i])};
    slotOfImage_[i] = find(wanted[i]);
    if (slotOfImage_[i] >= 0) used[static_cast<std::size_t>(slotOfImage_[i])] = 1;
  }
  bool changed = false;
  std::size_t free = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (slotOfImage_[i] >= 0) continue;
    if (const int same = find(wanted[i]); same >= 0) {  // a picture two icons share
      slotOfImage_[i] = same;
      continue;
    }
    while (free < used.size() && used[free]) ++free;
    // An icon that cannot be drawn still gets a slot, so that the indices hold.
    int slot = -1;
    if (free < used.size()) {
      slot = static_cast<int>(free);
      if (::ImageList_ReplaceIcon(images, slot, wanted[i].copy) < 0)
        ::ImageList_ReplaceIcon(images, slot, missing_);
      used[free] = 1;
      slots_[free] = wanted[i];
    } else {
      slot = ::ImageList_AddIcon(images, wanted[i].copy);
      if (slot < 0) slot = ::ImageList_AddIcon(images, missing_);
      if (slot < 0) break;  // the count no longer matches: the next refresh starts again
      slots_.push_back(wanted[i]);
      used.push_back(1);
    }
    changed = true;
    slotOfImage_[i] = slot;
  }
  return changed;
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
        row.ImageIndex >= 0 && static_cast<std::size_t>(row.ImageIndex) < slotOfImage_.size()
            ? slotOfImage_[static_cast<std::size_t>(row.ImageIndex)]
            : -1;
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
