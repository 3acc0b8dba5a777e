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
//   order, when the outermost scope ends; so is a request to open the menu during a wait. The
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

#include "platform/Desktop.h"

namespace cvl {

class ReportDeferral {
 public:
  ReportDeferral(Desktop& desktop, const Hwnd& formWindow)
      : desktop_(desktop), formWindow_(formWindow) {}
  ReportDeferral(const ReportDeferral&) = delete;
  ReportDeferral& operator=(const ReportDeferral&) = delete;

  bool Busy() const { return depth_ > 0; }
  void Defer(std::uint32_t msg, WParam wParam, LParam lParam) {
    held_.push_back({msg, wParam, lParam});
  }
  // Held ahead of everything held so far: what the user chose runs before what came after.
  void DeferFirst(std::uint32_t msg, WParam wParam, LParam lParam) {
    held_.push_front({msg, wParam, lParam});
  }
  // Held once, however often it is asked for.
  void DeferOnce(std::uint32_t msg, WParam wParam, LParam lParam) {
    for (const Report& r : held_)
      if (r.msg == msg) return;
    Defer(msg, wParam, lParam);
  }
  std::size_t Held() const { return held_.size(); }
  // Posts again what a full queue refused at the end of the last scope (nothing while one is
  // open); told when that happens, so that a timer can do so even if nothing else comes.
  void ReleaseHeld() {
    if (!Busy()) Release();
  }
  std::function<void()> OnHeldBack;
  void Forget() { held_.clear(); }

  // Marks a scope in which reports are held back; leaving the outermost one posts them.
  class Scope {
   public:
    explicit Scope(ReportDeferral& owner) : owner_(owner) { ++owner_.depth_; }
    ~Scope() {
      if (--owner_.depth_ == 0) owner_.Release();
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    ReportDeferral& owner_;
  };

 private:
  struct Report {
    std::uint32_t msg;
    WParam wParam;
    LParam lParam;
  };
  // What cannot be posted (a full queue) stays held, in its order, for the next release.
  void Release() {
    while (!held_.empty()) {
      const Report r = held_.front();
      if (!desktop_.PostMessageA(formWindow_, r.msg, r.wParam, r.lParam)) {
        if (OnHeldBack) OnHeldBack();
        return;
      }
      held_.pop_front();
    }
  }

  Desktop& desktop_;
  const Hwnd& formWindow_;
  int depth_ = 0;
  std::deque<Report> held_;
};

}  // namespace cvl
