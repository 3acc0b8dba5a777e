#pragma once
// The button near the clock on the simulated desktop: a "QLTrayButton" child window of the
// taskbar, in Corvalet's process, whose messages go to the main form's clock button.
#include <string>
#include <vector>

#include "clockbutton/ButtonWindows.h"
#include "sim/SimDesktop.h"

namespace cvl::sim {

class SimButtonWindows : public ButtonWindows {
 public:
  SimButtonWindows(SimDesktop& desktop, std::uint32_t processId)
      : desktop_(desktop), processId_(processId) {}

  Hwnd CreateTrayButton(Hwnd parent, int x, int y, const std::string& text) override {
    if (desktop_.Window(parent) == nullptr) return 0;
    ++Created;
    const Hwnd button = desktop_.CreateWindow(kTrayButtonClass, text, parent, processId_);
    const Rect p = desktop_.Window(parent)->rect;
    desktop_.Window(button)->rect = {p.left + x, p.top + y, p.left + x + kTrayButtonSize,
                                     p.top + y + kTrayButtonSize};
    desktop_.ShowWindow(button, kSwShow);
    Positions.push_back({x, y});
    return button;
  }
  void SetText(Hwnd button, const std::string& text) override {
    if (SimWindow* w = desktop_.Window(button)) w->title = text;
  }
  void Destroy(Hwnd button) override { desktop_.DestroyWindow(button); }
  void CloseOpenMenu() override { ++MenusClosed; }

  int Created = 0;
  int MenusClosed = 0;
  std::vector<Point> Positions;  // client coordinates asked for, in order

 private:
  SimDesktop& desktop_;
  std::uint32_t processId_;
};

}  // namespace cvl::sim
