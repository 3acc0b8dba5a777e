#pragma once
// The minimizer's two keys, registered on the main form's window while Corvalet is on and a
// key is set. A key another program holds is not ours: the refusal is kept for the options
// page to tell, and the stored setting stays as the user chose it.
#include <cstdint>

#include "minimizer/HotKey.h"
#include "platform/Desktop.h"

namespace cvl {

class MinimizerHotKey {
 public:
  explicit MinimizerHotKey(Desktop& desktop) : desktop_(desktop) {}
  MinimizerHotKey(const MinimizerHotKey&) = delete;
  MinimizerHotKey& operator=(const MinimizerHotKey&) = delete;

  // What is held goes first, so that a changed key never leaves the old one registered.
  void Register(Hwnd window, std::int32_t hotKey);
  void Unregister();

  // The setting the refusals below belong to.
  std::int32_t Tried() const { return tried_; }
  bool SendAwayRefused() const { return sendAwayRefused_; }
  bool BringBackRefused() const { return bringBackRefused_; }
  // A WM_HOTKEY queued before its key went is no press of ours.
  bool Holds(int id) const {
    return id == kSendAwayKeyId ? sendAway_ : id == kBringBackKeyId && bringBack_;
  }

 private:
  // False when the desktop refuses the key.
  bool Take(int id, const KeyChord& key);

  Desktop& desktop_;
  Hwnd window_ = 0;
  std::int32_t tried_ = 0;
  bool sendAway_ = false;
  bool bringBack_ = false;
  bool sendAwayRefused_ = false;
  bool bringBackRefused_ = false;
};

}  // namespace cvl
