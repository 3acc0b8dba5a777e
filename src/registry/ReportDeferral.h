#pragma once
// Loops that let messages in, and what may run inside them.
//
// A tray menu (TrackPopupMenu), a modal box (the About box, the "*.lng" open dialog), a bounded
// send to another process (an owner's click, a command to the shell), a wait for the hook's
// answer and RefreshOwnIcon's pumping all dispatch messages while they run. Code after such a
// call must not trust what it read before it, so:
// - No reference, pointer or iterator into a list is held across one: copy the record first.
// - "TaskbarCreated" is never handled where it arrives: the main form posts itself one restart
//   (however many broadcasts came) and handles it from a plain dispatch, never inside a send.
// - While a Scope of this deferral is open (the waits, RefreshOwnIcon's pumping, the tray
//   menu), the hook's reports and the posted restart are held here and posted again, in their
//   order, when the outermost scope ends; so is a request to open the menu during a wait.
//   Each goes back as kHeldReportMessage with its place in the order, and while any is held or
//   on its way, a report that comes in is newer and waits behind it: a full queue that takes
//   only some of them, or a scope that opens before they come in, cannot reorder them. The
//   refresh's pumping holds nothing the menu reads: the menu opens there at once. The menu's
//   chosen entry is posted before what it held, and when it comes in inside such a scope it
//   is held ahead of everything, so it runs what the menu showed and never inside a wait or a
//   refresh. Reports about Corvalet's own icon during RefreshOwnIcon are its own doing and
//   dropped.
// - A report is handled only where nothing is held: the own icon's clicks, menu requests and a
//   restart that wait in the queue are served first, and the report checks again afterwards
//   whether Corvalet is still switched on.
// - The waits dispatch only the answer's messages; a send lets in only sent messages (an
//   answer's pixels, which are copied and drawn later; the own icon's callback, which posts).
// - A modal box reads no list: reports and the restart run inside it as in the main loop. What
//   would open a second menu or box while one is open brings the open one to the front instead.
// - The panel's timer pumps too; it holds nothing, and a timer that comes in while it pumps
//   does not pump again.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>

#include "platform/Desktop.h"

namespace cvl {

// A held report on its way back to the form: wParam is its ticket.
inline constexpr std::uint32_t kHeldReportMessage = kWmApp + 0x26;

class ReportDeferral {
 public:
  struct Report {
    std::uint32_t msg;
    WParam wParam;
    LParam lParam;
  };

  ReportDeferral(Desktop& desktop, const Hwnd& formWindow)
      : desktop_(desktop), formWindow_(formWindow) {}
  ReportDeferral(const ReportDeferral&) = delete;
  ReportDeferral& operator=(const ReportDeferral&) = delete;

  bool Busy() const { return depth_ > 0; }
  // Whether a report that comes in now must wait: inside a scope, or behind older ones that
  // are held or on their way back. The one being passed back is never held again, once; what
  // comes in while it is handled (a modal box's loop) is newer than those still held.
  bool Holds(std::uint32_t msg, WParam wParam, LParam lParam) {
    if (Busy()) return true;
    if (passing_ && passing_->msg == msg && passing_->wParam == wParam &&
        passing_->lParam == lParam) {
      passing_.reset();
      return false;
    }
    return !Idle();
  }
  // Nothing held and nothing on its way back.
  bool Idle() const { return held_.empty() && posted_.empty(); }
  void Defer(std::uint32_t msg, WParam wParam, LParam lParam) {
    held_.push_back({nextPlace_++, {msg, wParam, lParam}, true});
    Kick();
  }
  // Held ahead of everything held so far: what the user chose runs before what came after.
  // Like what is held once, it goes back as itself, to be taken out of the queue ahead of the
  // reports (TMainForm::TakeWaitingClicks) rather than in their order.
  void DeferFirst(std::uint32_t msg, WParam wParam, LParam lParam) {
    held_.push_front({--firstPlace_, {msg, wParam, lParam}, false});
    Kick();
  }
  // Held once, however often it is asked for: a restart, a request for the menu.
  void DeferOnce(std::uint32_t msg, WParam wParam, LParam lParam) {
    for (const Placed& p : held_)
      if (p.report.msg == msg) return;
    held_.push_back({nextPlace_++, {msg, wParam, lParam}, false});
    Kick();
  }
  std::size_t Held() const { return held_.size() + posted_.size(); }
  // Posts again what a full queue refused at the end of the last scope (nothing while one is
  // open); told when that happens, so that a timer can do so even if nothing else comes.
  void ReleaseHeld() { Kick(); }
  std::function<void()> OnHeldBack;
  void Forget() {
    held_.clear();
    posted_.clear();
  }

  // A held report back from the queue: handed out to be handled now when it is the oldest
  // and no scope is open, else held again in its place.
  std::optional<Report> Arrived(WParam ticket) {
    const auto it = posted_.find(static_cast<std::uint32_t>(ticket));
    if (it == posted_.end()) return std::nullopt;  // forgotten since
    const Placed p = it->second;
    posted_.erase(it);
    if (Busy() || !Oldest(p.place)) {
      Rehold(p);
      return std::nullopt;
    }
    return p.report;
  }
  // The next report on its way back, taken out of the queue to be handled with the one being
  // handled, when it is the oldest held and of the kinds asked for: a burst's held reports
  // are read together, once.
  std::optional<Report> TakeOnItsWay(std::uint32_t first, std::uint32_t last) {
    while (!Busy() && !posted_.empty()) {
      const auto next = posted_.begin();
      const Report r = next->second.report;
      if (r.msg < first || r.msg > last || !Oldest(next->second.place)) return std::nullopt;
      const auto m =
          desktop_.TakePostedMessage(formWindow_, kHeldReportMessage, kHeldReportMessage);
      if (!m) return std::nullopt;
      const auto taken = posted_.find(static_cast<std::uint32_t>(m->wParam));
      if (taken == posted_.end()) continue;  // forgotten since
      const bool expected = taken == next;   // the queue keeps the order of the posts
      const Placed p = taken->second;
      posted_.erase(taken);
      if (expected) return r;
      Rehold(p);
      return std::nullopt;
    }
    return std::nullopt;
  }
  // While a report handed out by Arrived is handled: it is not held again.
  class Passing {
   public:
    Passing(ReportDeferral& owner, const Report& report) : owner_(owner) {
      owner_.passing_ = report;
    }
    ~Passing() {
      owner_.passing_.reset();
      owner_.Kick();
    }
    Passing(const Passing&) = delete;
    Passing& operator=(const Passing&) = delete;

   private:
    ReportDeferral& owner_;
  };

  // Marks a scope in which reports are held back; leaving the outermost one posts them.
  class Scope {
   public:
    explicit Scope(ReportDeferral& owner) : owner_(owner) { ++owner_.depth_; }
    ~Scope() {
      if (--owner_.depth_ == 0) owner_.Kick();
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    ReportDeferral& owner_;
  };

 private:
  struct Placed {
    std::int64_t place;
    Report report;
    bool inOrder;  // goes back as a ticket; otherwise as itself
  };
  void Rehold(const Placed& p) {
    auto at = held_.begin();
    while (at != held_.end() && at->place < p.place) ++at;
    held_.insert(at, p);
    Kick();
  }
  // Older than every report held or on its way (posted in their order, the first ticket on
  // its way is the oldest of those).
  bool Oldest(std::int64_t place) const {
    for (const Placed& h : held_)
      if (h.inOrder) {
        if (h.place < place) return false;
        break;
      }
    return posted_.empty() || posted_.begin()->second.place >= place;
  }
  // Posts what is held once nothing is on its way: what comes back later then cannot overtake
  // what is already in the queue. What cannot be posted (a full queue) stays held, in its
  // order, for the next release.
  void Kick() {
    if (Busy() || !posted_.empty()) return;
    nextTicket_ = 0;
    while (!held_.empty()) {
      const Placed p = held_.front();
      const bool posted =
          p.inOrder
              ? desktop_.PostMessageA(formWindow_, kHeldReportMessage, nextTicket_, 0)
              : desktop_.PostMessageA(formWindow_, p.report.msg, p.report.wParam, p.report.lParam);
      if (!posted) {
        if (OnHeldBack) OnHeldBack();
        return;
      }
      if (p.inOrder) posted_.emplace(nextTicket_++, p);
      held_.pop_front();
    }
  }

  Desktop& desktop_;
  const Hwnd& formWindow_;
  int depth_ = 0;
  std::optional<Report> passing_;  // handed out by Arrived, not yet asked about
  std::int64_t nextPlace_ = 0;
  std::int64_t firstPlace_ = 0;
  std::uint32_t nextTicket_ = 0;            // from 0 whenever nothing is on its way
  std::deque<Placed> held_;                 // in their order
  std::map<std::uint32_t, Placed> posted_;  // on their way back, by ticket
};

}  // namespace cvl
