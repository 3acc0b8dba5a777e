#include "views/THint.h"

#include "registry/DeadIcons.h"
#include "registry/FlagScope.h"
#include "views/IconMessages.h"
#include "views/OwnerClicks.h"

namespace cvl {

namespace {

constexpr int kBorderWidth = 3;  // Panel2's
constexpr int kCellGap = 3;
constexpr int kTimer1Pumps = 100;

}  // namespace

void THint::Attach(const RegistryState& lists, TrayMenu& menu) {
  lists_ = &lists;
  menu_ = &menu;
}

void THint::FormCreate() {
  IconWidth = desktop_.GetSystemMetrics(kSmCxSmIcon);
}

void THint::Show() {
  if (Visible) return;
  if (OnShown) OnShown(true);
  Visible = true;
  window_.SetVisible(true);
  FormShow();
}

void THint::Hide() {
  if (!Visible) return;
  Visible = false;
  keyboardOpened_ = false;
  returnTo_ = 0;
  FocusedCell = -1;
  window_.ShowFocus(-1);
  window_.SetVisible(false);
  FormHide();
  if (OnShown) OnShown(false);
}

void THint::FormShow() {
  RebuildPanel();
  Height = desktop_.GetSystemMetrics(kSmCySmIcon) + 2 * kBorderWidth +
           desktop_.GetSystemMetrics(kSmCyDlgFrame) + 6;
  const Rect work = desktop_.GetWorkArea();
  Top = work.bottom - Height;
  Left = work.right - Width;
  window_.SetBounds(Left, Top, Width, Height);
  window_.Activate();
  Timer1Enabled = true;
  window_.SetTimer1(true);
}

void THint::FormHide() {
  Timer1Enabled = false;
  window_.SetTimer1(false);
}

void THint::FormDestroy() {
  ClearCells();
  FormHide();
}

void THint::Timer1Timer() {
  // Its own next tick may come in while it pumps: that one pumps no more.
  if (pumping_ || (ModalLoopRunning && ModalLoopRunning())) return;
  const FlagScope pumping(pumping_, true);
  for (int i = 0; i < kTimer1Pumps; ++i) desktop_.ProcessMessages();
}

void THint::ClearCells() {
  IconCells.clear();
  window_.ShowCells(IconCells);
  if (FocusedCell >= 0) FocusCell(-1);
}

void THint::RebuildPanel() {
  IconCells.clear();
  if (lists_ == nullptr || lists_->PanelList.Count() == 0) Width = 0;
  if (lists_ != nullptr)
    for (int i = 0; i < lists_->PanelList.Count(); ++i) AddCell(lists_->PanelList[i], i);
  window_.ShowCells(IconCells);
  // The focus stays at its position, on the last cell where the list got shorter.
  if (FocusedCell >= 0) FocusCell(FocusedCell);
}

void THint::AddCell(const TIconInfo& record, int index) {
  PanelCell cell;
  cell.Left = kCellGap + index * (IconWidth + kCellGap);
  cell.Top = kCellGap;
  cell.Width = desktop_.GetSystemMetrics(kSmCxSmIcon);
  cell.Height = desktop_.GetSystemMetrics(kSmCySmIcon);
  cell.Picture = record.hIcon;
  cell.Hint = record.TipText;
  cell.Tag = index;
  IconCells.push_back(cell);
  const int n = static_cast<int>(IconCells.size());
  Width = n * (IconWidth + kCellGap) + 2 * kBorderWidth + 6;
}

bool THint::PanelHasImageAt(int position) {
  return position >= 0 && position < static_cast<int>(IconCells.size());
}

void THint::UpdateCell(int index, const TIconInfo& record) {
  for (std::size_t k = 0; k < IconCells.size(); ++k) {
    PanelCell& cell = IconCells[k];
    if (cell.Tag != index) continue;
    // The old picture belongs to the shell or to Corvalet's icon copies: it is only replaced.
    cell.Picture = record.hIcon;
    cell.Hint = record.TipText;
    window_.ShowCell(static_cast<int>(k), cell);
    return;
  }
}

void THint::Click(ClickTarget target, std::initializer_list<std::uint32_t> mouseMessages) {
  Send(target, MouseMessages(target.uVersion, mouseMessages));
}

void THint::Send(ClickTarget target, const std::vector<std::uint32_t>& messages) {
  // A click that finds its owner gone is what makes the shell drop an icon: the tray is read
  // again, and the icon goes.
  if (!SendOwnerClicks(desktop_, target, messages) && !desktop_.IsWindow(target.hWnd) &&
      lists_ != nullptr)
    desktop_.PostMessageA(lists_->FormWindow, kOwnerEndedMessage, 0, 1);
}

std::optional<ClickTarget> THint::PanelRecord(int tag) const {
  if (lists_ == nullptr || tag < 0 || tag >= lists_->PanelList.Count()) return std::nullopt;
  return ClickTargetOf(lists_->PanelList[tag]);
}

void THint::CellMouseDown(int tag, MouseButton button) {
  const auto record = PanelRecord(tag);
  if (!record) return;
  if (button == MouseButton::Left) Click(*record, {kWmLButtonDown});
  if (button == MouseButton::Right) Click(*record, {kWmRButtonDown, kWmContextMenu});
}

void THint::CellMouseUp(int tag, MouseButton button) {
  const auto record = PanelRecord(tag);
  if (!record) return;
  if (button == MouseButton::Left) Click(*record, {kWmLButtonUp});
  if (button == MouseButton::Right) Click(*record, {kWmRButtonUp, kWmContextMenu});
}

void THint::CellDblClick(int tag) {
  if (const auto record = PanelRecord(tag)) Click(*record, {kWmLButtonDblClk});
}

void THint::CellLeftPress(int tag, bool doubleClick) {
  // Taken before the first send: the owner may take the mouse while it handles it.
  captured_ = PanelRecord(tag);
  if (!captured_) return;
  const ClickTarget pressed = *captured_;
  // The double-click comes first, then the press it also is.
  if (doubleClick) Click(pressed, {kWmLButtonDblClk});
  Click(pressed, {kWmLButtonDown});
}

void THint::CellLeftRelease() {
  if (!captured_) return;
  const ClickTarget pressed = *captured_;
  captured_.reset();
  Click(pressed, {kWmLButtonUp});
}

void THint::RebuildMenu() {
  if (menu_ == nullptr) return;
  std::erase_if(menu_->Items, [](const MenuItem& item) { return item.Tag >= 0; });
  menu_->ImageList1.resize(kFixedImages);
  if (lists_ != nullptr)
    for (int i = 0; i < lists_->MenuList.Count(); ++i) AddMenuEntry(lists_->MenuList[i], i);
}

void THint::AddMenuEntry(const TIconInfo& record, int index) {
  if (menu_ == nullptr) return;
  menu_->ImageList1.push_back(record.hIcon);
  MenuItem entry;
  entry.Caption = record.TipText;
  entry.Tag = index;
  entry.ImageIndex = static_cast<int>(menu_->ImageList1.size()) - 1;
  menu_->Items.insert(menu_->Items.begin() + kIconEntriesAt, entry);
}

void THint::MenuEntryClick(const TIconInfo& record) {
  if (lists_ == nullptr) return;
  if (lists_->MenuButtonState == MenuButton::Left)
    Click(ClickTargetOf(record), {kWmLButtonDown, kWmLButtonUp});
  else
    Click(ClickTargetOf(record), {kWmRButtonDown, kWmRButtonUp, kWmContextMenu});
}

}  // namespace cvl
