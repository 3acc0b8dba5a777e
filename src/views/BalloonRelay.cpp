#include "views/BalloonRelay.h"

namespace cvl {

void BalloonRelay::Tell(std::uint32_t message) {
  if (!current_) return;
  // As the shell tells an icon's program: posted, so that a program that does not answer
  // holds nothing up.
  desktop_.PostMessageA(current_->owner, current_->uCallbackMessage, current_->uID,
                        static_cast<LParam>(message));
}

void BalloonRelay::TakeAway() {
  if (shown_) Tell(kNinBalloonHide);
  current_.reset();
  shown_ = false;
  settled_ = false;
  ownIcon_.ShowBalloon("", "", 0, 0);
}

void BalloonRelay::Show(const BalloonRecord& balloon) {
  // Corvalet's own icons' balloons are its own doing: passing one on would only ask again.
  if (balloon.owner == ownIcon_.Owner()) return;
  BalloonRecord b = balloon;  // terminated, whatever came
  b.szInfo[sizeof b.szInfo - 1] = '\0';
  b.szInfoTitle[sizeof b.szInfoTitle - 1] = '\0';
  if (b.szInfo[0] == '\0') {
    if (current_ && current_->owner == b.owner && current_->uID == b.uID) TakeAway();
    return;
  }
  if (shown_) Tell(kNinBalloonHide);
  current_ = b;
  shown_ = false;
  settled_ = false;
  if (Ask(b)) return;
  if (current_ && current_->number == b.number) current_.reset();
}

bool BalloonRelay::Ask(const BalloonRecord& b) {
  if (!ownIcon_.ShowBalloon(b.szInfoTitle, b.szInfo, b.uTimeout, b.dwInfoFlags)) return false;
  ++showsOwed_;
  return true;
}

void BalloonRelay::OwnIconMessage(std::uint32_t message) {
  // Counted whatever is current: a show of an earlier ask may still be on its way, and the
  // hide of Corvalet's own change comes after it.
  if (message == kNinBalloonShow && showsOwed_ > 0) --showsOwed_;
  if (!current_) return;
  if (message == kNinBalloonShow) {
    if (!shown_) Tell(kNinBalloonShow);
    shown_ = true;
    settled_ = showsOwed_ == 0;
  }
  // Taken down by the shell with nothing of Corvalet's in between (another icon's balloon
  // replaced it): its program hears it as the shell would have told it.
  if (message == kNinBalloonHide && shown_ && settled_) {
    Tell(message);
    current_.reset();
    shown_ = false;
  }
  if ((message == kNinBalloonTimeout || message == kNinBalloonUserClick) && shown_) {
    Tell(message);
    current_.reset();
    shown_ = false;
  }
}

void BalloonRelay::OwnIconReadded() {
  if (!current_) return;
  settled_ = false;
  const BalloonRecord b = *current_;
  Ask(b);
}

void BalloonRelay::Clear() {
  if (!current_) return;
  TakeAway();
}

}  // namespace cvl
