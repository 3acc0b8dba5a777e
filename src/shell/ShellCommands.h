#pragma once
// Commands to the shell's windows, each bounded so that a hung shell cannot freeze Corvalet.
// A busy shell can still miss one: a switch that did not arrive, or a button shown or hidden
// outside a placement pass, is kept and sent again at the next event or request. Placement
// passes send every button's state that is not already so, so a pass makes the kept button
// commands moot.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/Desktop.h"

namespace cvl {

class ShellCommands {
 public:
  explicit ShellCommands(Desktop& desktop) : desktop_(desktop) {}
  ShellCommands(const ShellCommands&) = delete;
  ShellCommands& operator=(const ShellCommands&) = delete;

  // A plain bounded send; false when it did not arrive.
  bool Send(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam);
  // THM_HOOKSWITCH or THM_BUTTONSWITCH with THM_ON or THM_OFF; kept when it did not arrive.
  void Switch(Hwnd window, std::uint32_t msg, std::uint32_t value);
  // TB_HIDEBUTTON for one button, unless the button is known to be so already (or always,
  // when asked to); kept when it did not arrive. True when it was sent.
  bool SetButtonHidden(Hwnd toolbar, std::int32_t commandId, bool hidden, bool always = false);
  // A placement pass sends every button's state: the kept button commands are superseded.
  void ForgetButtons() { buttons_.clear(); }
  // What a button shows, as the hook reported it (each enumeration reports every button, so
  // it forgets what was known before it begins). A command that did not arrive leaves its
  // button unknown: it may still land, so the next pass sends again.
  void NoteButtonState(Hwnd toolbar, std::int32_t commandId, bool hidden) {
    known_[commandId] = {toolbar, hidden};
  }
  void ForgetButtonStates() { known_.clear(); }
  // The buttons of the toolbar that Corvalet has asked hidden and not shown since: an icon the
  // lists no longer hold (a duplicate of another, say) still has its button given back.
  std::vector<std::int32_t> HiddenButtons(Hwnd toolbar) const;
  bool HidButton(Hwnd toolbar, std::int32_t commandId) const {
    return hidden_.count({toolbar, commandId}) != 0;
  }
  // A new taskbar: the old buttons went with it.
  void ForgetHiddenButtons() {
    hidden_.clear();
    listing_ = {};
  }
  // A whole reading of the toolbar's buttons, duplicates too: a button hidden before it began
  // that it does not list has been deleted since. Giving it back would only wait behind every
  // program that is changing its icon, and a burst deletes them by the hundred.
  void ListingBegins(Hwnd toolbar);
  void Listed(std::int32_t commandId) { listing_.listed.push_back(commandId); }
  // Not whole when the library left out buttons whose record it could not read.
  void ListingEnded(bool whole);
  // Once the hook is gone the switches mean nothing to the shell's windows, and an unhooked
  // shell may give those numbers meanings of its own: they must not go late.
  void ForgetSwitches() { switches_.clear(); }
  // Sends what was kept, in the order switches then buttons; stops at the first that still
  // does not arrive, so a shell that stays busy costs one bound, not one per command.
  void RetryPending();
  bool HasPending() const { return !switches_.empty() || !buttons_.empty(); }
  // Told each time a command is kept, so that a timer can retry it even while no event comes;
  // with nothing kept, nothing needs to wake Corvalet.
  std::function<void()> OnKept;

 private:
  Desktop& desktop_;
  // (window, message) -> value: a later switch replaces an earlier one that never arrived.
  std::map<std::pair<Hwnd, std::uint32_t>, std::uint32_t> switches_;
  // command identifier -> (toolbar, hidden)
  std::map<std::int32_t, std::pair<Hwnd, bool>> buttons_;
  std::map<std::int32_t, std::pair<Hwnd, bool>> known_;  // the same, for what is so
  std::set<std::pair<Hwnd, std::int32_t>> hidden_;       // toolbar, command identifier
  struct Listing {
    Hwnd toolbar = 0;
    std::vector<std::int32_t> hiddenBefore, listed;
  } listing_;
};

}  // namespace cvl
