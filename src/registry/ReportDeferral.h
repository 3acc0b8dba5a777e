#pragma once
// Reports of tray changes that arrive while Corvalet waits for the hook or refreshes its own
// icon are held back and posted to the main form again when the outermost such scope ends,
// so that they run afterwards, in their order, and never start a nested enumeration.
#include <cstdint>
#include <deque>

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
  std::size_t Held() const { return held_.size(); }
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
  void Release() {
    while (!held_.empty()) {
      const Report r = held_.front();
      held_.pop_front();
      desktop_.PostMessageA(formWindow_, r.msg, r.wParam, r.lParam);
    }
  }

  Desktop& desktop_;
  const Hwnd& formWindow_;
  int depth_ = 0;
  std::deque<Report> held_;
};

}  // namespace cvl
