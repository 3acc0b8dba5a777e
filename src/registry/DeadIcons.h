#pragma once
// Icons whose program has gone without removing them. The shell drops such an icon only when
// the mouse passes over its button or it fails to reach the owner, and a button Corvalet hid
// is never passed over: the panel and the menu would keep it, and a click there goes nowhere.
// So the owners' processes are waited on (no polling: nothing wakes Corvalet while they live),
// and each reading of the tray takes out the icons of owners that are gone and asks the shell
// to remove them, as the mouse would. The place a program's icons were given stays remembered.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/Desktop.h"
#include "registry/RegistryState.h"

namespace cvl {

// Posted to the main form when a watched owner's process ends, wParam its ID; lParam 1 when
// the process could not be waited on (it may have ended before the wait began): the tray is
// read again either way.
inline constexpr std::uint32_t kOwnerEndedMessage = kWmApp + 0x25;

class DeadIcons {
 public:
  DeadIcons(Desktop& desktop, RegistryState& state) : desktop_(desktop), state_(state) {}
  DeadIcons(const DeadIcons&) = delete;
  DeadIcons& operator=(const DeadIcons&) = delete;

  // A watched process has ended: the next reading takes out its windows' icons, even where the
  // system has not destroyed the windows yet.
  void ProcessEnded(std::uint32_t processId) { ended_.insert(processId); }
  // After a reading: the icons of gone owners leave the all-icons list, and their buttons are
  // noted so that no pass shows them again.
  void TakeOut();
  // Asks the shell to remove what TakeOut took out (a send: called where nothing is held),
  // once for each icon, and waits on the processes of the owners listed now.
  void RemoveAndWatch();
  // More processes to wait on than the owners listed.
  std::function<std::vector<std::uint32_t>()> AlsoWatch;
  // Whether the owner of a listed icon is gone.
  bool Gone(Hwnd owner);
  void Reset();

 private:
  std::uint32_t ProcessOf(Hwnd owner);

  Desktop& desktop_;
  RegistryState& state_;
  std::map<Hwnd, std::uint32_t> processes_;  // the owners listed, and their processes
  std::set<std::uint32_t> ended_;            // ended, and not yet handled by a reading
  std::vector<std::pair<Hwnd, std::uint32_t>> toRemove_;
  std::set<std::pair<Hwnd, std::uint32_t>> removed_;  // asked of the shell already
  std::vector<std::uint32_t> watched_;
};

}  // namespace cvl
