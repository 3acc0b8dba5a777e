#pragma once
// The Corvalet Panel's key: one key, read from the hotkey control's word as the minimizer's
// is, registered on the main form's window while Corvalet is on. A key another program holds
// is kept for the options page to tell, as the minimizer's.
#include <cstdint>

#include "minimizer/HotKey.h"
#include "platform/Desktop.h"

namespace cvl {

class PanelHotKey {
 public:
  explicit PanelHotKey(Desktop& desktop) : desktop_(desktop) {}
  PanelHotKey(const PanelHotKey&) = delete;
  PanelHotKey& operator=(const PanelHotKey&) = delete;

  // What is held goes first, so that a changed key never leaves the old one registered.
  void Register(Hwnd window, std::int32_t hotKey);
  void Unregister();

  std::int32_t Tried() const { return tried_; }
  bool Refused() const { return refused_; }
  // A WM_HOTKEY queued before its key went is no press of ours.
  bool Holds(int id) const { return id == kPanelKeyId && held_; }

 private:
  Desktop& desktop_;
  Hwnd window_ = 0;
  std::int32_t tried_ = 0;
  bool held_ = false;
  bool refused_ = false;
};

}  // namespace cvl
