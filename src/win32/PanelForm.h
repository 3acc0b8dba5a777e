#pragma once
// The Corvalet Panel's window: borderless and topmost, a raised frame around a sunken inner
// panel, one cell per icon with its own tooltip, and the mouse handed to THint by cell.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "views/PanelWindow.h"
#include "views/THint.h"
#include "win32/HandleOwner.h"
#include "win32/IconCopies.h"
#include "win32/PanelAccessible.h"
#include "win32/Window.h"

namespace cvl::win32 {

inline constexpr const char* kPanelClass = "THint";
inline constexpr const char* kPanelCaption = "Tray Icons";

class PanelForm final : public Window, public PanelWindow, public AccessibleCells {
 public:
  PanelForm(HINSTANCE instance, const IconCopies& copies) : instance_(instance), copies_(copies) {}
  ~PanelForm() override;
  PanelForm(const PanelForm&) = delete;
  PanelForm& operator=(const PanelForm&) = delete;
  // The panel's name for screen readers, in the language of the moment.
  std::function<std::string()> Name;
  bool Create();
  void Bind(THint& hint) { hint_ = &hint; }

  // PanelWindow
  void ShowCells(const std::vector<PanelCell>& cells) override;
  void ShowCell(int position, const PanelCell& cell) override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool visible) override;
  void Activate() override;
  void SetTimer1(bool enabled) override;
  void UseInactiveCaptionColour() override;
  void ShowFocus(int position) override;
  // AccessibleCells
  HWND AccessibleWindow() const override { return window_; }
  std::string AccessibleName() const override { return Name ? Name() : kPanelCaption; }
  int CellCount() const override { return static_cast<int>(cells_.size()); }
  std::string CellName(int position) const override;
  RECT CellScreenRect(int position) const override;
  int FocusedPosition() const override { return focus_; }
  // Pixels for a shell icon have come: cells drawn before are drawn again.
  void Redraw() {
    if (window_ != nullptr && ::IsWindowVisible(window_)) ::InvalidateRect(window_, nullptr, TRUE);
  }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Paint();
  // The Tag of the cell under a client point, -1 for none.
  int CellAt(int x, int y) const;
  RECT CellRect(const PanelCell& cell) const;
  void UpdateTooltips();

  HINSTANCE instance_;
  const IconCopies& copies_;
  THint* hint_ = nullptr;
  std::vector<PanelCell> cells_;
  HWND tooltip_ = nullptr;
  int tools_ = 0;
  bool releasing_ = false;
  int colour_ = COLOR_BTNFACE;
  int focus_ = -1;                         // the cell with the focus mark
  PanelAccessible* accessible_ = nullptr;  // made at the first query, one reference ours
  LRESULT AnswerGetObject(WPARAM wParam, LPARAM lParam);
  // Screen readers follow the focus mark through these events.
  void TellFocus();
};

}  // namespace cvl::win32
