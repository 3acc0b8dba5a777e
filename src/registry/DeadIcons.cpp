#include "registry/DeadIcons.h"

#include <algorithm>

namespace cvl {

std::uint32_t DeadIcons::ProcessOf(Hwnd owner) {
  // Learnt while the window lives: once it is gone the system no longer tells.
  const auto it = processes_.find(owner);
  if (it != processes_.end()) return it->second;
  const std::uint32_t process = desktop_.GetWindowThreadProcessId(owner);
  if (process != 0) processes_[owner] = process;
  return process;
}

bool DeadIcons::Gone(Hwnd owner) {
  if (!desktop_.IsWindow(owner)) return true;
  const auto it = processes_.find(owner);
  return it != processes_.end() && ended_.count(it->second) != 0;
}

void DeadIcons::TakeOut() {
  state_.DeadButtons.clear();
  // An icon the shell kept after it was asked to remove it is not asked again each reading.
  std::set<std::pair<Hwnd, std::uint32_t>> stillHeld;
  for (int i = state_.AllIcons.Count() - 1; i >= 0; --i) {
    const TIconInfo& icon = state_.AllIcons[i];
    if (!Gone(icon.hWnd)) {
      ProcessOf(icon.hWnd);  // learnt while the window lives
      continue;
    }
    const std::pair<Hwnd, std::uint32_t> key{icon.hWnd, icon.uID};
    state_.DeadButtons.push_back(icon.CommandId);
    if (removed_.count(key))
      stillHeld.insert(key);
    else
      toRemove_.push_back(key);
    // The options list shows the all-icons list row for row: it loses the icon too.
    if (state_.ListView1.RowCount() == state_.AllIcons.Count()) state_.ListView1.RemoveRow(i);
    state_.AllIcons.Delete(i + 1);
  }
  removed_ = std::move(stillHeld);
  ended_.clear();
}

void DeadIcons::RemoveAndWatch() {
  // Copied first: each call is a send that lets messages in.
  const auto remove = std::exchange(toRemove_, {});
  for (const auto& [owner, id] : remove) {
    removed_.insert({owner, id});
    NotifyIconData data;
    data.hWnd = owner;
    data.uID = id;
    desktop_.Shell_NotifyIconA(kNimDelete, data);
  }
  // What is not listed any more needs no memory: a window handle may come back for another.
  std::map<Hwnd, std::uint32_t> listed;
  const std::uint32_t own = desktop_.GetWindowThreadProcessId(state_.FormWindow);
  std::vector<std::uint32_t> watch;
  bool goneMeanwhile = false;
  for (const TIconInfo& icon : state_.AllIcons) {
    const std::uint32_t process = ProcessOf(icon.hWnd);
    listed[icon.hWnd] = process;
    // Gone since the reading (the sends above let the world go on): no wait can tell of it.
    goneMeanwhile |= !desktop_.IsWindow(icon.hWnd);
    // Corvalet's own icons and the minimizer's go with Corvalet.
    if (process != 0 && process != own) watch.push_back(process);
  }
  processes_ = std::move(listed);
  if (AlsoWatch)
    for (const std::uint32_t process : AlsoWatch())
      if (process != own) watch.push_back(process);
  std::sort(watch.begin(), watch.end());
  watch.erase(std::unique(watch.begin(), watch.end()), watch.end());
  if (watch != watched_) {
    watched_ = watch;
    desktop_.WatchProcesses(state_.FormWindow, kOwnerEndedMessage, watched_);
  }
  if (goneMeanwhile) desktop_.PostMessageA(state_.FormWindow, kOwnerEndedMessage, 0, 1);
}

void DeadIcons::Reset() {
  processes_.clear();
  ended_.clear();
  toRemove_.clear();
  removed_.clear();
  state_.DeadButtons.clear();
}

}  // namespace cvl
