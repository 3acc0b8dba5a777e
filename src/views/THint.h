#pragma once
// The Corvalet Panel (THint): a row of cells, one per icon of the panel list, in the bottom-
// right corner of the work area, passing presses, releases and double-clicks on to the icons'
// owners. The same form builds the Corvalet Menu's icon entries and handles their clicks.
#include <optional>
#include <vector>

#include "platform/Desktop.h"
#include "registry/PlacementViews.h"
#include "registry/RegistryState.h"
#include "views/OwnerClicks.h"
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
  void FormShow();
  void FormHide();
  void FormDestroy();
  void Timer1Timer();
  void AddCell(const TIconInfo& record, int index);
  void CellMouseDown(int tag, MouseButton button);
  void CellMouseUp(int tag, MouseButton button);
  void CellDblClick(int tag);
  // A left press captures the mouse, so that its release goes to the same cell; the release
  // goes nowhere once another window took the capture.
  void CellLeftPress(int tag, bool doubleClick);
  void CellLeftRelease();
  void CaptureLost() { captured_.reset(); }

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
  void Click(ClickTarget target, std::initializer_list<std::uint32_t> mouseMessages);
  TrayMenu* menu_ = nullptr;
  // The pressed cell's record: its release goes to that owner, however the list changed since.
  std::optional<ClickTarget> captured_;
  bool pumping_ = false;
};

}  // namespace cvl
