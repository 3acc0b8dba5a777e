#include "views/OwnTrayIcon.h"

namespace cvl {

NotifyIconData OwnTrayIcon::Data() const {
  NotifyIconData data;
  data.hWnd = owner_;
  data.uID = kOwnIconId;
  data.uFlags = kNifMessage | kNifIcon | kNifTip;
  data.uCallbackMessage = kOwnIconCallback;
  const auto index = static_cast<std::size_t>(pictureIndex_);
  data.hIcon = index < pictures_.size() ? pictures_[index] : 0;
  data.szTip = kOwnIconHint;
  return data;
}

void OwnTrayIcon::SetPictureIndex(int index) {
  pictureIndex_ = index;
  if (active_) desktop_.Shell_NotifyIconA(kNimModify, Data());
}

bool OwnTrayIcon::ShowBalloon(const std::string& title, const std::string& text,
                              std::uint32_t timeoutMs, std::uint32_t infoFlags) {
  if (!active_) return false;
  NotifyIconData data;
  data.hWnd = owner_;
  data.uID = kOwnIconId;
  data.uFlags = kNifInfo;
  data.szInfoTitle = title.substr(0, 63);
  data.szInfo = text.substr(0, 255);
  data.uTimeout = timeoutMs;
  data.dwInfoFlags = infoFlags;
  return desktop_.Shell_NotifyIconA(kNimModify, data);
}

void OwnTrayIcon::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (!desktop_.Shell_NotifyIconA(active ? kNimAdd : kNimDelete, Data()) || !active) return;
  // Version 3 where the shell has it (2000 and later), after every add as the shell asks: the
  // keyboard's Enter then comes as NIN_KEYSELECT, which opens the panel, and its shortcut-menu
  // key as WM_CONTEXTMENU. Older shells refuse it and send a right click for both.
  NotifyIconData version;
  version.hWnd = owner_;
  version.uID = kOwnIconId;
  version.uTimeout = kOwnIconVersion;
  desktop_.Shell_NotifyIconA(kNimSetVersion, version);
  if (OnAdded) OnAdded();
}

}  // namespace cvl
