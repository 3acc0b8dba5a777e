#pragma once
// Balloons of icons whose buttons Corvalet hid. The shell would point such a balloon at a
// hidden button, so the library keeps it from the shell and Corvalet shows it at its own icon,
// as that icon's balloon. The shell then sends its balloon messages for Corvalet's icon; they
// are passed on to the program whose balloon is shown, with its icon's ID and callback
// message, as the shell would have sent them for its own button.
//
// The shell tells no balloon from another in its messages. What Corvalet asked for itself is
// answered here: a balloon Corvalet replaces or takes away gets its NIN_BALLOONHIDE from
// Corvalet, and the shell's NIN_BALLOONHIDE for Corvalet's icon that follows such a change of
// Corvalet's (a replacement, a removal, the icon re-added) is not passed on; one that comes
// after the shell has shown the balloon and nothing since (another icon's balloon took its
// place) is. Each ask the shell takes brings one NIN_BALLOONSHOW, the last of them that
// balloon's; its timeout or a click on it ends it.
#include <cstdint>
#include <optional>

#include "platform/Desktop.h"
#include "shell/BalloonRecord.h"
#include "views/OwnTrayIcon.h"

namespace cvl {

class BalloonRelay {
 public:
  BalloonRelay(Desktop& desktop, OwnTrayIcon& ownIcon) : desktop_(desktop), ownIcon_(ownIcon) {}
  BalloonRelay(const BalloonRelay&) = delete;
  BalloonRelay& operator=(const BalloonRelay&) = delete;

  // A balloon the library kept: shown at the own icon, replacing the one shown; an empty text
  // takes the icon's balloon away.
  void Show(const BalloonRecord& balloon);
  // A balloon message of the shell for the own icon (its callback's lParam).
  void OwnIconMessage(std::uint32_t message);
  // After a reading: a balloon whose icon has gone goes with it.
  template <typename Icons>
  void KeepIcons(const Icons& icons) {
    if (!current_) return;
    for (const auto& icon : icons)
      if (icon.hWnd == current_->owner && icon.uID == current_->uID) return;
    TakeAway();
  }
  // The own icon was added again (it goes back to the tray's end): its balloon is asked for
  // again, and its messages are not told twice.
  void OwnIconReadded();
  // Switched off or ended: the balloon goes, its program is told.
  void Clear();
  const std::optional<BalloonRecord>& Current() const { return current_; }

 private:
  void Tell(std::uint32_t message);
  void TakeAway();
  // Asks the shell to show it at the own icon; false when refused.
  bool Ask(const BalloonRecord& b);

  Desktop& desktop_;
  OwnTrayIcon& ownIcon_;
  std::optional<BalloonRecord> current_;
  bool shown_ = false;    // its program has been told NIN_BALLOONSHOW
  bool settled_ = false;  // the shell has shown it, and Corvalet changed nothing since
  int showsOwed_ = 0;     // asks taken whose NIN_BALLOONSHOW has not come yet
};

}  // namespace cvl
