#include "sim/SimTaskbar.h"

#include "shell/BalloonRecord.h"
#include "shell/HookProtocol.h"

namespace cvl::sim {

SimTaskbar::SimTaskbar(SimDesktop& desktop, int versionCode) : desktop_(desktop) {
  processId_ =
      desktop.CreateProcess({{0x400000, "EXPLORER.EXE", "C:\\WINDOWS\\EXPLORER.EXE"},
                             {0x77e00000, "USER32.dll", "C:\\WINDOWS\\system32\\USER32.dll"}});
  const auto toolbarProc = [this](std::uint32_t m, WParam w, LParam l) {
    return ToolbarProc(m, w, l);
  };
  taskbar_ =
      desktop.CreateWindow("Shell_TrayWnd", "", 0, processId_, [](auto, auto, auto) { return 0; });
  const bool noToolbar = versionCode != 80 && versionCode != 90 && versionCode != 0;
  notifyArea_ = desktop.CreateWindow(
      "TrayNotifyWnd", "", taskbar_, processId_,
      noToolbar ? Handler(toolbarProc) : Handler([](auto, auto, auto) { return 0; }));
  clock_ = desktop.CreateWindow("TrayClockWClass", "12:00", notifyArea_, processId_,
                                [](auto, auto, auto) { return 0; });
  // A 30-pixel taskbar along the bottom of a 1024 x 768 screen, all of it shown.
  desktop.Window(taskbar_)->rect = {0, 738, 1024, 768};
  desktop.Window(notifyArea_)->rect = {900, 740, 1020, 766};
  desktop.Window(clock_)->rect = {970, 740, 1020, 766};
  desktop.ShowWindow(taskbar_, kSwShow);
  desktop.ShowWindow(notifyArea_, kSwShow);
  desktop.ShowWindow(clock_, kSwShow);
  if (noToolbar) {
    toolbar_ = notifyArea_;
  } else if (versionCode == 80) {
    toolbar_ = desktop.CreateWindow("ToolbarWindow32", "", notifyArea_, processId_, toolbarProc);
  } else {
    pager_ = desktop.CreateWindow("SysPager", "", notifyArea_, processId_,
                                  [](auto, auto, auto) { return 0; });
    toolbar_ = desktop.CreateWindow("ToolbarWindow32", "", pager_, processId_, toolbarProc);
  }
  desktop.NotifyIconSink = [this](std::uint32_t m, const NotifyIconData& d) {
    return NotifyIcon(m, d);
  };
}

SimTaskbar::~SimTaskbar() {
  desktop_.NotifyIconSink = nullptr;
  desktop_.DestroyWindow(taskbar_);
}

int SimTaskbar::IndexOf(Hwnd owner, std::uint32_t uID) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i].owner == owner && buttons_[i].uID == uID) return static_cast<int>(i);
  return -1;
}

std::optional<TrayButton> SimTaskbar::Button(Hwnd owner, std::uint32_t uID) const {
  const int i = IndexOf(owner, uID);
  if (i < 0) return std::nullopt;
  return buttons_[static_cast<std::size_t>(i)];
}

void SimTaskbar::TellBalloon(std::uint32_t message) {
  if (balloon_)
    desktop_.SendNotifyMessageA(balloon_->owner, balloon_->uCallbackMessage, balloon_->uID,
                                static_cast<LParam>(message));
}

void SimTaskbar::EndBalloon(bool clicked) {
  TellBalloon(clicked ? kNinBalloonUserClick : kNinBalloonTimeout);
  balloon_.reset();
}

void SimTaskbar::SetBalloon(const TrayButton& b, const NotifyIconData& data) {
  if (!(data.uFlags & kNifInfo)) return;
  const bool same = balloon_ && balloon_->owner == b.owner && balloon_->uID == b.uID;
  if (data.szInfo.empty()) {
    if (same) {
      TellBalloon(kNinBalloonHide);
      balloon_.reset();
    }
    return;
  }
  if (b.hidden) return;
  TellBalloon(kNinBalloonHide);
  balloon_ = ShownBalloon{b.owner, b.uID, b.uCallbackMessage, data.szInfoTitle, data.szInfo};
  BalloonsShown.push_back(*balloon_);
  TellBalloon(kNinBalloonShow);
}

void SimTaskbar::SetProgramHidden(TrayButton& b, const NotifyIconData& data) {
  lastSetState_ = false;
  if (!(data.uFlags & kNifState) || !(data.dwStateMask & kNisHidden)) return;
  const bool hidden = (data.dwState & kNisHidden) != 0;
  lastSetState_ = hidden != b.programHidden;
  b.programHidden = hidden;
  // The shell hides and shows the button from its own thread.
  if (hidden)
    b.hidden = true;
  else if (!(KeepHidden && KeepHidden(b.idCommand)))
    b.hidden = false;
}

bool SimTaskbar::NotifyIcon(std::uint32_t message, const NotifyIconData& given) {
  NotifyIconData data = given;
  if (BeforeChange) BeforeChange(message, data);
  const int index = IndexOf(data.hWnd, data.uID);
  lastSetState_ = false;
  lastFlags_ = data.uFlags;
  switch (message) {
    case kNimAdd: {
      if (index >= 0) return false;
      TrayButton b;
      b.idCommand = nextCommand_++;
      b.owner = data.hWnd;
      b.uID = data.uID;
      if (data.uFlags & kNifMessage) b.uCallbackMessage = data.uCallbackMessage;
      if (data.uFlags & kNifIcon) b.hIcon = data.hIcon;
      if (data.uFlags & kNifTip) b.tip = data.szTip;
      SetProgramHidden(b, data);
      buttons_.push_back(b);
      SetBalloon(b, data);
      break;
    }
    case kNimModify: {
      if (index < 0) return false;
      TrayButton& b = buttons_[static_cast<std::size_t>(index)];
      if (data.uFlags & kNifMessage) b.uCallbackMessage = data.uCallbackMessage;
      if (data.uFlags & kNifIcon) b.hIcon = data.hIcon;
      if (data.uFlags & kNifTip) b.tip = data.szTip;
      SetProgramHidden(b, data);
      SetBalloon(b, data);
      break;
    }
    case kNimDelete:
      if (index < 0) return false;
      if (balloon_ && balloon_->owner == data.hWnd && balloon_->uID == data.uID) {
        TellBalloon(kNinBalloonHide);
        balloon_.reset();
      }
      buttons_.erase(buttons_.begin() + index);
      break;
    case kNimSetVersion: {
      if (index < 0) return false;
      TrayButton& b = buttons_[static_cast<std::size_t>(index)];
      lastSetState_ = b.version != data.uTimeout;
      b.version = data.uTimeout;
      break;
    }
    default:
      return false;
  }
  if (OnTrayChange) OnTrayChange(message, data.hWnd, data.uID);
  return true;
}

LResult SimTaskbar::ToolbarProc(std::uint32_t msg, WParam wParam, LParam lParam) {
  switch (msg) {
    case kTbHideButton:
      for (TrayButton& b : buttons_) {
        if (b.idCommand == static_cast<std::int32_t>(wParam)) {
          b.hidden = (lParam & 0xFFFF) != 0;
          // A balloon does not point at a button that is gone from sight.
          if (b.hidden && balloon_ && balloon_->owner == b.owner && balloon_->uID == b.uID) {
            TellBalloon(kNinBalloonHide);
            balloon_.reset();
          }
          return 1;
        }
      }
      return 0;
    case kTbMoveButton: {
      const auto from = static_cast<std::size_t>(wParam);
      const auto to = static_cast<std::size_t>(lParam);
      if (from >= buttons_.size() || to >= buttons_.size()) return 0;
      const TrayButton moved = buttons_[from];
      buttons_.erase(buttons_.begin() + static_cast<std::ptrdiff_t>(from));
      buttons_.insert(buttons_.begin() + static_cast<std::ptrdiff_t>(to), moved);
      return 1;
    }
    case kTbButtonCount:
      return static_cast<LResult>(buttons_.size());
    case kTbIsButtonHidden:
      for (const TrayButton& b : buttons_)
        if (b.idCommand == static_cast<std::int32_t>(wParam)) return b.hidden ? 8 : 0;
      return 0;
    default:
      return 0;
  }
}

}  // namespace cvl::sim
