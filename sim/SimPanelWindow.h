#pragma once
// The panel's window on the simulated desktop: it records what THint asks of it.
#include <vector>

#include "views/PanelWindow.h"

namespace cvl::sim {

class SimPanelWindow : public PanelWindow {
 public:
  void ShowCells(const std::vector<PanelCell>& cells) override { Cells = cells; }
  void ShowCell(int position, const PanelCell& cell) override {
    if (position >= 0 && position < static_cast<int>(Cells.size()))
      Cells[static_cast<std::size_t>(position)] = cell;
    ++CellUpdates;
  }
  void SetBounds(int left, int top, int width, int height) override {
    Bounds = {left, top, left + width, top + height};
  }
  void SetVisible(bool visible) override { Visible = visible; }
  void Activate() override { ++Activations; }
  void SetTimer1(bool enabled) override { Timer1 = enabled; }
  void UseInactiveCaptionColour() override { InactiveCaption = true; }
  void ShowFocus(int position) override { Focus = position; }

  std::vector<PanelCell> Cells;
  Rect Bounds;
  bool Visible = false;
  bool Timer1 = false;
  bool InactiveCaption = false;
  int Activations = 0;
  int Focus = -1;
  int CellUpdates = 0;
};

}  // namespace cvl::sim
