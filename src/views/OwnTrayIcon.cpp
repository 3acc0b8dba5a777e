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

void OwnTrayIcon::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  desktop_.Shell_NotifyIconA(active ? kNimAdd : kNimDelete, Data());
}

}  // namespace cvl
