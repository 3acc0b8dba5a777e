#pragma once
// A hook library that answers the protocol the way Snarehook.dll does: it subclasses the
// taskbar and the tray toolbar, serves enumerations and queries while switched on, and posts
// a report after each change of the tray.
#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/HookLibrary.h"
#include "sim/SimTaskbar.h"

namespace cvl::sim {

// SetTrayHook and DeleteTrayHook are entered in the desktop's message log with these numbers
// (window 0), so that tests can place the calls among the messages.
inline constexpr std::uint32_t kLogSetTrayHook = 0xFFFF0001;
inline constexpr std::uint32_t kLogDeleteTrayHook = 0xFFFF0002;

class SimHook : public HookLibrary {
 public:
  enum class Answer {
    Sent,              // the whole answer sent while the request is handled
    PostedAfterBegin,  // begin sent, the rest posted in order
    Never,             // the request is taken and never answered
    NoEnd,             // everything but the end message
    Batched,           // begin sent, the rest in one batch when Corvalet takes batches
  };

  SimHook(SimDesktop& desktop, SimTaskbar& taskbar) : desktop_(desktop), taskbar_(&taskbar) {}
  ~SimHook() override { DeleteTrayHook(); }

  void SetTrayHook() override;
  void DeleteTrayHook() override;
  void NoteHiddenWindow(Hwnd window, bool hidden) override {
    if (hidden)
      HiddenWindows.insert(window);
    else
      HiddenWindows.erase(window);
  }
  std::set<Hwnd> HiddenWindows;  // what the watchdog would show again
  void ReportsTaken() override { reportsInFlight_ = 0; }
  void SetPanelShown(bool shown) override { panelShown_ = shown; }
  std::uint32_t UntoldChanges() override { return untoldChanges_; }
  // The library's timer: what could not be posted is told again.
  void Tick();
  std::size_t Marked() const { return missedAdds_.size() + (missedChange_ ? 1 : 0); }
  std::optional<BalloonRecord> TakeBalloon(std::uint32_t number) override;
  // Every balloon kept from the shell for Corvalet, in order.
  std::vector<BalloonRecord> Relayed;
  // The buttons Corvalet hid, as the library tracks them.
  const std::set<std::int32_t>& CorvaletHidden() const { return corvaletHidden_; }
  void SetHiddenProcesses(const std::vector<std::uint32_t>& processes) override {
    hiddenProcesses_ = processes;
  }
  const std::vector<std::uint32_t>& HiddenProcesses() const { return hiddenProcesses_; }
  bool ClaimAnswer(std::uint32_t number) override {
    if (number != 0 && number != answerInFlight_) return false;
    answerInFlight_ = 0;
    return true;
  }
  // The shell died with the hook in it and a new taskbar runs: nothing is installed there.
  void ShellRestarted(SimTaskbar& fresh) {
    installed_ = false;
    serving_ = false;
    corvaletHidden_.clear();
    oldTaskbar_ = nullptr;
    oldToolbar_ = nullptr;
    taskbar_ = &fresh;
  }

  Answer AnswerMode = Answer::Batched;  // as Snarehook.dll answers
  // Buttons whose record cannot be read: a reading leaves them out and counts them.
  std::set<std::int32_t> Unreadable;
  bool Installed() const { return installed_; }
  bool Serving() const { return serving_; }
  int SetCalls = 0;
  int DeleteCalls = 0;

 private:
  LResult TaskbarProc(std::uint32_t msg, WParam wParam, LParam lParam);
  LResult ToolbarProc(std::uint32_t msg, WParam wParam, LParam lParam);
  void AnswerEnumeration();
  void AnswerQuery();
  // False when Corvalet did not take the message: the rest of the answer is dropped, as the
  // library drops it, and a tip that can never be read is deleted.
  bool Tell(Hwnd form, bool first, std::uint32_t msg, WParam wParam, LParam lParam);
  bool TellIcon(Hwnd form, bool enumeration, std::size_t index, const TrayButton& b);
  void SendBatch(Hwnd form);
  Hwnd MainForm();

  SimDesktop& desktop_;
  SimTaskbar* taskbar_;
  Handler oldTaskbar_;
  Handler oldToolbar_;
  bool installed_ = false;
  bool serving_ = false;
  bool panelShown_ = false;
  std::uint32_t untoldChanges_ = 0;
  Hwnd queryWindow_ = 0;
  std::uint32_t queryId_ = 0;
  bool batching_ = false;
  // Reports that could not be posted, as the library marks them.
  bool Post(Hwnd form, std::uint32_t msg, WParam wParam, LParam lParam);
  void TellReport(Hwnd form, std::uint32_t report, Hwnd owner, std::uint32_t uID);
  int reportsInFlight_ = 0;
  std::vector<std::pair<Hwnd, std::uint32_t>> missedAdds_;
  bool missedChange_ = false;
  std::vector<std::uint8_t> batch_;
  std::uint32_t answerNumber_ = 0;
  std::uint32_t answerInFlight_ = 0;  // handed over, until Corvalet claims it
  void KeepBalloon(NotifyIconData& data);
  void HideListedAdd(Hwnd owner, std::uint32_t uID);
  void ShowHiddenButtons();
  std::set<std::int32_t> corvaletHidden_;
  std::vector<std::uint32_t> hiddenProcesses_;            // in the shared section: outlives a shell
  std::vector<std::pair<BalloonRecord, bool>> balloons_;  // the last few, and whether taken
  std::uint32_t balloonNumber_ = 0;
  std::uint32_t balloonOwed_ = 0;  // a balloon whose report could not be posted
};

}  // namespace cvl::sim
