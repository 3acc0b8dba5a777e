#include "shell/ShellCommands.h"

#include <algorithm>

#include "shell/HookProtocol.h"

namespace cvl {

bool ShellCommands::Send(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) {
  LResult ignored = 0;
  return desktop_.SendMessageTimeoutA(window, msg, wParam, lParam, kHookAnswerTimeoutMs, &ignored);
}

void ShellCommands::Switch(Hwnd window, std::uint32_t msg, std::uint32_t value) {
  const auto key = std::make_pair(window, msg);
  switches_.erase(key);
  if (window == 0) return;  // no such window: nothing to reach, nothing to keep
  if (Send(window, msg, 0, static_cast<LParam>(value))) return;
  switches_[key] = value;
  if (OnKept) OnKept();
}

bool ShellCommands::SetButtonHidden(Hwnd toolbar, std::int32_t commandId, bool hidden,
                                    bool always) {
  buttons_.erase(commandId);
  if (toolbar == 0) return false;
  if (hidden)
    hidden_.insert({toolbar, commandId});
  else
    hidden_.erase({toolbar, commandId});
  const auto known = known_.find(commandId);
  if (!always && known != known_.end() && known->second == std::make_pair(toolbar, hidden))
    return false;
  if (!Send(toolbar, kTbHideButton, static_cast<WParam>(commandId), hidden ? kTbHide : kTbShow)) {
    known_.erase(commandId);
    buttons_[commandId] = {toolbar, hidden};
    if (OnKept) OnKept();
    return true;
  }
  known_[commandId] = {toolbar, hidden};
  return true;
}

void ShellCommands::ListingBegins(Hwnd toolbar) {
  listing_ = {toolbar, HiddenButtons(toolbar), {}};
}

void ShellCommands::ListingEnded(bool whole) {
  // A listing that left buttons out may have left out hidden ones: nothing is forgotten.
  if (!whole) {
    listing_ = {};
    return;
  }
  // Only what was hidden before the reading began: one hidden since may be newer than it.
  std::sort(listing_.listed.begin(), listing_.listed.end());
  for (const std::int32_t id : listing_.hiddenBefore)
    if (!std::binary_search(listing_.listed.begin(), listing_.listed.end(), id))
      hidden_.erase({listing_.toolbar, id});
  listing_ = {};
}

std::vector<std::int32_t> ShellCommands::HiddenButtons(Hwnd toolbar) const {
  std::vector<std::int32_t> ids;
  for (const auto& [window, id] : hidden_)
    if (window == toolbar) ids.push_back(id);
  return ids;
}

void ShellCommands::RetryPending() {
  while (!switches_.empty()) {
    const auto it = switches_.begin();
    const auto [window, msg] = it->first;
    if (!Send(window, msg, 0, static_cast<LParam>(it->second))) return;
    switches_.erase(it);
  }
  while (!buttons_.empty()) {
    const auto it = buttons_.begin();
    const auto [toolbar, hidden] = it->second;
    if (!Send(toolbar, kTbHideButton, static_cast<WParam>(it->first), hidden ? kTbHide : kTbShow))
      return;
    known_[it->first] = it->second;
    buttons_.erase(it);
  }
}

}  // namespace cvl
