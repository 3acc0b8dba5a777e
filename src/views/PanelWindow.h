#pragma once
// What the Corvalet Panel asks of its window: the frame, the cells and the 50 ms timer. The
// Windows adapter implements it with a real window; tests record the calls.
#include <string>
#include <vector>

#include "platform/Types.h"

namespace cvl {

struct PanelCell {
  int Left = 0;  // inside Panel1
  int Top = 0;
  int Width = 0;
  int Height = 0;
  Hicon Picture = 0;
  std::string Hint;  // the cell's own tooltip
  int Tag = 0;       // index of its record in the panel list
};

class PanelWindow {
 public:
  virtual ~PanelWindow() = default;
  // Every cell anew, in order.
  virtual void ShowCells(const std::vector<PanelCell>& cells) = 0;
  virtual void ShowCell(int position, const PanelCell& cell) = 0;
  virtual void SetBounds(int left, int top, int width, int height) = 0;
  virtual void SetVisible(bool visible) = 0;
  // SetForegroundWindow, then SetActiveWindow.
  virtual void Activate() = 0;
  virtual void SetTimer1(bool enabled) = 0;
  // clInactiveCaption instead of clBtnFace for the form and both panels.
  virtual void UseInactiveCaptionColour() = 0;
  // The focus mark around the cell at a position; -1 takes it away.
  virtual void ShowFocus(int position) = 0;
};

}  // namespace cvl
