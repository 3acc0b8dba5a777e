#pragma once
// The Corvalet Panel (THint): a row of cells, one per icon of the panel list, in the bottom-
// right corner of the work area, passing presses, releases and double-clicks on to the icons'
// owners. The same form builds the Corvalet Menu's icon entries and handles their clicks.
#include <functional>
#include <optional>
#include <vector>

#include "platform/Desktop.h"
#include "registry/PlacementViews.h"
#include "registry/RegistryState.h"
#include "views/OwnerClicks.h"
#include "views/PanelKeys.h"
#include "views/PanelWindow.h"
#include "views/TrayMenu.h"

namespace cvl {

enum class MouseButton { Left, Right, Middle };

class THint final : public PlacementViews {
 public:
  THint(Desktop& desktop, PanelWindow& window) : desktop_(desktop), window_(window) {}
  THint(const THint&) = delete;
  THint& operator=(const THint&) = delete;

  // The lists and the menu it draws from; the main form hands them over once they exist.
  void Attach(const RegistryState& lists, TrayMenu& menu);

  std::vector<PanelCell> IconCells;
  int IconWidth = 0;
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Visible = false;
  bool Timer1Enabled = false;  // runs only while the panel is shown

  void FormCreate();
  // Windows XP: the form and both panels take the inactive-caption colour.
  void UseInactiveCaptionColour() {
    InactiveCaptionColour = true;
    window_.UseInactiveCaptionColour();
  }
  bool InactiveCaptionColour = false;
  // Visible := true / false, running FormShow or FormHide as the form would.
  void Show();
  void Hide();
  // Told true before the panel shows and false once it is hidden, so that changes of what it
  // draws are told while it shows and not otherwise.
  std::function<void(bool shown)> OnShown;
  void FormShow();
  void FormHide();
  void FormDestroy();
  // Lets the application process its pending messages, except while a menu or a modal loop of
  // ours runs: there the tick comes from inside that loop, and a pump would take the user input
  // the loop waits for.
  void Timer1Timer();
  std::function<bool()> ModalLoopRunning;
  void AddCell(const TIconInfo& record, int index);
  void CellMouseDown(int tag, MouseButton button);
  void CellMouseUp(int tag, MouseButton button);
  void CellDblClick(int tag);
  // A left press captures the mouse, so that its release goes to the same cell; the release
  // goes nowhere once another window took the capture.
  void CellLeftPress(int tag, bool doubleClick);
  void CellLeftRelease();
  void CaptureLost() { captured_.reset(); }

  // From the keyboard (views/THintKeyboard.cpp): the panel opens with the focus on its first
  // cell and takes the keys until Escape, which gives the foreground back to returnTo. False
  // when there is nothing to show.
  bool ShowFromKeyboard(Hwnd returnTo);
  void KeyDown(PanelKey key);
  // The panel lost the activation.
  void Deactivated();
  bool OpenedFromKeyboard() const { return keyboardOpened_; }
  int FocusedCell = -1;  // the position of the cell with the focus mark, -1 for none

  // The menu's icon entries.
  void AddMenuEntry(const TIconInfo& record, int index);
  void MenuEntryClick(const TIconInfo& record);

  // PlacementViews
  void RebuildPanel() override;
  void RebuildMenu() override;
  bool PanelVisible() override { return Visible; }
  void PanelShowAgain() override { FormShow(); }
  bool PanelHasImageAt(int position) override;
  void UpdateCell(int index, const TIconInfo& record) override;
  void ClearCells() override;

 private:
  // Where the clicks of the panel-list record a cell's Tag names now go; none when the list
  // changed under it.
  std::optional<ClickTarget> PanelRecord(int tag) const;

  Desktop& desktop_;
  PanelWindow& window_;
  const RegistryState* lists_ = nullptr;
  // Mouse messages, with what the icon's version adds after them.
  void Click(ClickTarget target, std::initializer_list<std::uint32_t> mouseMessages);
  void Send(ClickTarget target, const std::vector<std::uint32_t>& messages);
  TrayMenu* menu_ = nullptr;
  // The pressed cell's record: its release goes to that owner, however the list changed since.
  std::optional<ClickTarget> captured_;
  bool pumping_ = false;
  void FocusCell(int position);
  bool keyboardOpened_ = false;
  Hwnd returnTo_ = 0;
};

}  // namespace cvl
