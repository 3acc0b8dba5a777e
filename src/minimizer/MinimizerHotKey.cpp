#include "minimizer/MinimizerHotKey.h"

namespace cvl {

bool MinimizerHotKey::Take(int id, const KeyChord& key) {
  return desktop_.RegisterHotKey(window_, id, key.modifiers, key.virtualKey);
}

void MinimizerHotKey::Register(Hwnd window, std::int32_t hotKey) {
  Unregister();
  window_ = window;
  tried_ = hotKey;
  if (const auto key = SendAwayKey(hotKey)) {
    sendAway_ = Take(kSendAwayKeyId, *key);
    sendAwayRefused_ = !sendAway_;
  }
  if (const auto key = BringBackKey(hotKey)) {
    bringBack_ = Take(kBringBackKeyId, *key);
    bringBackRefused_ = !bringBack_;
  }
}

void MinimizerHotKey::Unregister() {
  if (sendAway_) desktop_.UnregisterHotKey(window_, kSendAwayKeyId);
  if (bringBack_) desktop_.UnregisterHotKey(window_, kBringBackKeyId);
  sendAway_ = bringBack_ = false;
  sendAwayRefused_ = bringBackRefused_ = false;
  tried_ = 0;
}

}  // namespace cvl
