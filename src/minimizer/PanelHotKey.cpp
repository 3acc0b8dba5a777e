#include "minimizer/PanelHotKey.h"

namespace cvl {

void PanelHotKey::Register(Hwnd window, std::int32_t hotKey) {
  Unregister();
  window_ = window;
  tried_ = hotKey;
  // The same control makes both keys: the word means the same, Ctrl+Alt for a plain key too.
  if (const auto key = SendAwayKey(hotKey)) {
    held_ = desktop_.RegisterHotKey(window_, kPanelKeyId, key->modifiers, key->virtualKey);
    refused_ = !held_;
  }
}

void PanelHotKey::Unregister() {
  if (held_) desktop_.UnregisterHotKey(window_, kPanelKeyId);
  held_ = refused_ = false;
  tried_ = 0;
}

}  // namespace cvl
