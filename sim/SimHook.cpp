#include "sim/SimHook.h"

#include <algorithm>

#include "hook/TrayDecisions.h"
#include "shell/AnswerBatch.h"
#include "shell/HookProtocol.h"

namespace cvl::sim {

void SimHook::SetTrayHook() {
  ++SetCalls;
  desktop_.Log.push_back({MessageRecord::Sent, 0, kLogSetTrayHook, 0, 0});
  if (installed_) return;
  installed_ = true;
  oldTaskbar_ = desktop_.Subclass(taskbar_->Taskbar(), [this](std::uint32_t m, WParam w, LParam l) {
    return TaskbarProc(m, w, l);
  });
  oldToolbar_ = desktop_.Subclass(taskbar_->Toolbar(), [this](std::uint32_t m, WParam w, LParam l) {
    return ToolbarProc(m, w, l);
  });
  taskbar_->OnTrayChange = [this](std::uint32_t message, Hwnd owner, std::uint32_t uID) {
    if (!serving_) return;
    if (message == kNimAdd) HideListedAdd(owner, uID);
    const Hwnd form = MainForm();
    if (form == 0) return;
    // Corvalet sends its own icons nothing: their version is no news to it.
    if (message == kNimSetVersion &&
        desktop_.GetWindowThreadProcessId(owner) == desktop_.GetWindowThreadProcessId(form))
      return;
    // Decided by the library's own code.
    const bool shown = (taskbar_->LastChangeFlags() & (kNifMessage | kNifIcon | kNifTip)) != 0;
    const bool state = taskbar_->LastChangeSetState();
    if (snarehook::Untold(message, shown, state, panelShown_)) ++untoldChanges_;
    const std::uint32_t report = snarehook::ReportFor(message, shown, state, panelShown_);
    if (report == 0) return;
    TellReport(form, report, owner, uID);
  };
  taskbar_->BeforeChange = [this](std::uint32_t message, NotifyIconData& data) {
    if (message == kNimAdd || message == kNimModify) KeepBalloon(data);
  };
  // While Corvalet serves, a button it hid stays hidden when the program shows its icon.
  taskbar_->KeepHidden = [this](std::int32_t id) {
    return snarehook::JudgeHide(
               false, false, serving_, [] { return false; },
               [this, id] { return corvaletHidden_.count(id) != 0; })
        .keepsState;
  };
}

namespace {

constexpr std::size_t kBalloonsKept = 16;

void CopyText(char* to, std::size_t size, const std::string& from) {
  const std::size_t n = std::min(size - 1, from.size());
  from.copy(to, n);
  to[n] = '\0';
}

}  // namespace

void SimHook::KeepBalloon(NotifyIconData& data) {
  // Only a balloon of a button Corvalet hid, which its program still shows: the shell would
  // point it at a hidden button.
  if (!serving_ || !(data.uFlags & kNifInfo)) return;
  const auto b = taskbar_->Button(data.hWnd, data.uID);
  if (!b || !corvaletHidden_.count(b->idCommand) || b->programHidden) return;
  const Hwnd form = MainForm();
  if (desktop_.GetWindowThreadProcessId(data.hWnd) == desktop_.GetWindowThreadProcessId(form))
    return;  // Corvalet's own icons' balloons are its own
  data.uFlags &= ~kNifInfo;
  BalloonRecord r;
  r.number = ++balloonNumber_;
  r.owner = data.hWnd;
  r.uID = data.uID;
  r.uCallbackMessage = (data.uFlags & kNifMessage) ? data.uCallbackMessage : b->uCallbackMessage;
  r.uTimeout = data.uTimeout;
  r.dwInfoFlags = data.dwInfoFlags;
  CopyText(r.szInfoTitle, sizeof r.szInfoTitle, data.szInfoTitle);
  CopyText(r.szInfo, sizeof r.szInfo, data.szInfo);
  Relayed.push_back(r);
  balloons_.emplace_back(r, false);
  if (balloons_.size() > kBalloonsKept) balloons_.erase(balloons_.begin());
  if (form == 0 ||
      !desktop_.PostMessageA(form, THM_ICONBALLOON, r.owner, static_cast<LParam>(r.number)))
    balloonOwed_ = r.number;  // the last one goes again from the timer
}

std::optional<BalloonRecord> SimHook::TakeBalloon(std::uint32_t number) {
  for (auto& [record, taken] : balloons_) {
    if (record.number != number || taken) continue;
    taken = true;
    return record;
  }
  return std::nullopt;
}

namespace {

// As the library: past this many reports on their way it marks instead of posting.
constexpr int kMostReportsInFlight = 2000;
constexpr std::size_t kMaxMissedAdds = 512;

}  // namespace

bool SimHook::Post(Hwnd form, std::uint32_t msg, WParam wParam, LParam lParam) {
  if (reportsInFlight_ >= kMostReportsInFlight || !desktop_.PostMessageA(form, msg, wParam, lParam))
    return false;
  ++reportsInFlight_;
  return true;
}

void SimHook::TellReport(Hwnd form, std::uint32_t report, Hwnd owner, std::uint32_t uID) {
  if (Marked() == 0 && Post(form, report, owner, static_cast<LParam>(uID))) return;
  if (report == THM_ICONADDED && missedAdds_.size() < kMaxMissedAdds)
    missedAdds_.emplace_back(owner, uID);
  else
    missedChange_ = true;
}

void SimHook::Tick() {
  const Hwnd form = MainForm();
  if (!serving_ || form == 0) {
    missedAdds_.clear();
    missedChange_ = false;
    return;
  }
  std::size_t told = 0;
  while (told < missedAdds_.size() && Post(form, THM_ICONADDED, missedAdds_[told].first,
                                           static_cast<LParam>(missedAdds_[told].second)))
    ++told;
  missedAdds_.erase(missedAdds_.begin(), missedAdds_.begin() + static_cast<std::ptrdiff_t>(told));
  if (missedAdds_.empty() && missedChange_ && Post(form, THM_ICONDELETED, taskbar_->Toolbar(), 0))
    missedChange_ = false;
  if (balloonOwed_ != 0 && !balloons_.empty() &&
      desktop_.PostMessageA(form, THM_ICONBALLOON, balloons_.back().first.owner,
                            static_cast<LParam>(balloonOwed_)))
    balloonOwed_ = 0;
}

void SimHook::DeleteTrayHook() {
  ++DeleteCalls;
  desktop_.Log.push_back({MessageRecord::Sent, 0, kLogDeleteTrayHook, 0, 0});
  if (!installed_) return;
  installed_ = false;
  serving_ = false;
  // As the library's detach: a switch-off the shell missed (stalled past its bound) leaves
  // buttons hidden ahead that only the library knows of.
  hiddenProcesses_.clear();
  ShowHiddenButtons();
  desktop_.Subclass(taskbar_->Taskbar(), oldTaskbar_);
  desktop_.Subclass(taskbar_->Toolbar(), oldToolbar_);
  taskbar_->OnTrayChange = nullptr;
  taskbar_->BeforeChange = nullptr;
  taskbar_->KeepHidden = nullptr;
}

void SimHook::HideListedAdd(Hwnd owner, std::uint32_t uID) {
  const auto b = taskbar_->Button(owner, uID);
  if (!b) return;
  const bool listed = std::count(hiddenProcesses_.begin(), hiddenProcesses_.end(),
                                 desktop_.GetWindowThreadProcessId(owner)) != 0;
  if (!snarehook::HiddenOnAdd(0, serving_, listed, b->programHidden)) return;
  corvaletHidden_.insert(b->idCommand);
  if (oldToolbar_) oldToolbar_(kTbHideButton, static_cast<WParam>(b->idCommand), kTbHide);
}

void SimHook::ShowHiddenButtons() {
  for (const std::int32_t id : corvaletHidden_)
    for (const TrayButton& b : taskbar_->Buttons())
      if (b.idCommand == id && !b.programHidden && oldToolbar_)
        oldToolbar_(kTbHideButton, static_cast<WParam>(id), kTbShow);
  corvaletHidden_.clear();
}

Hwnd SimHook::MainForm() {
  return desktop_.FindWindowA(kMainFormClass, kMainFormCaption);
}

LResult SimHook::TaskbarProc(std::uint32_t msg, WParam wParam, LParam lParam) {
  if (msg == THM_HOOKSWITCH) {
    if (static_cast<std::uint32_t>(lParam) == THM_ON) serving_ = true;
    if (static_cast<std::uint32_t>(lParam) == THM_OFF) {
      serving_ = false;
      hiddenProcesses_.clear();
      ShowHiddenButtons();
      panelShown_ = false;
    }
    // A new reading covers whatever was marked.
    missedAdds_.clear();
    missedChange_ = false;
    reportsInFlight_ = 0;
    return 1;
  }
  return oldTaskbar_ ? oldTaskbar_(msg, wParam, lParam) : 0;
}

LResult SimHook::ToolbarProc(std::uint32_t msg, WParam wParam, LParam lParam) {
  if (msg == kTbHideButton) {
    // Every hide in the simulation comes from Corvalet; the shell hides its own directly.
    const auto id = static_cast<std::int32_t>(wParam);
    const snarehook::HideVerdict v =
        snarehook::JudgeHide((lParam & 0xFFFF) != 0, true, serving_,
                             [this, id] {
                               for (const TrayButton& b : taskbar_->Buttons())
                                 if (b.idCommand == id) return b.programHidden;
                               return false;
                             },
                             [this, id] { return corvaletHidden_.count(id) != 0; });
    if (v.track == snarehook::Track::Hidden) corvaletHidden_.insert(id);
    if (v.track == snarehook::Track::Shown) corvaletHidden_.erase(id);
    if (v.keepsState) return 1;
  }
  if (serving_) {
    switch (snarehook::RequestOf(msg, wParam, static_cast<std::uint32_t>(lParam))) {
      case snarehook::Request::Enumerate:
        AnswerEnumeration();
        return 1;
      case snarehook::Request::SetWindow:
        queryWindow_ = static_cast<Hwnd>(lParam);
        return 1;
      case snarehook::Request::SetId:
        queryId_ = static_cast<std::uint32_t>(lParam);
        return 1;
      case snarehook::Request::Query:
        AnswerQuery();
        return 1;
      case snarehook::Request::None:
        break;
    }
  }
  return oldToolbar_ ? oldToolbar_(msg, wParam, lParam) : 0;
}

bool SimHook::Tell(Hwnd form, bool first, std::uint32_t msg, WParam wParam, LParam lParam) {
  if (batching_) {
    for (const std::uint32_t v : {msg, wParam, static_cast<std::uint32_t>(lParam)})
      for (int shift = 0; shift < 32; shift += 8)
        batch_.push_back(static_cast<std::uint8_t>(v >> shift));
    return true;
  }
  if (first || AnswerMode == Answer::Sent || AnswerMode == Answer::NoEnd) {
    LResult reply = 0;
    const bool taken = desktop_.SendMessageTimeoutA(form, msg, wParam, lParam, 1000, &reply);
    batching_ = first && taken && AnswerMode == Answer::Batched && reply == kTakesAnswerBatch;
    batch_.clear();
    return taken;
  }
  return desktop_.PostMessageA(form, msg, wParam, lParam);
}

bool SimHook::TellIcon(Hwnd form, bool enumeration, std::size_t index, const TrayButton& b) {
  if (!Tell(form, false, enumeration ? THM_ENUMICON : THM_QUERYICON,
            enumeration ? static_cast<WParam>(index) : 0, static_cast<LParam>(b.hIcon)) ||
      !Tell(form, false, enumeration ? THM_ENUMOWNER : THM_QUERYOWNER, b.owner,
            static_cast<LParam>(b.uID)) ||
      !Tell(form, false, enumeration ? THM_ENUMCALLBACK : THM_QUERYCALLBACK, b.uCallbackMessage, 0))
    return false;
  const Atom tip = desktop_.GlobalAddAtomA(b.tip);
  if (!Tell(form, false, enumeration ? THM_ENUMTIP : THM_QUERYTIP, static_cast<WParam>(b.idCommand),
            tip)) {
    if (tip != 0) desktop_.GlobalDeleteAtom(tip);
    return false;
  }
  return Tell(
      form, false, enumeration ? THM_ENUMCOMMIT : THM_QUERYCOMMIT, b.hidden ? 1 : 0,
      static_cast<LParam>((b.programHidden ? kCommitProgramHidden : 0) | CommitVersion(b.version)));
}

void SimHook::SendBatch(Hwnd form) {
  if (!batching_) return;
  batching_ = false;
  // Numbered in the end's wParam: whoever claims the number, Corvalet or the hook after its
  // send, deletes the tips.
  const std::uint32_t number = ++answerNumber_;
  for (int shift = 0; shift < 32; shift += 8)
    batch_[batch_.size() - 8 + static_cast<std::size_t>(shift / 8)] =
        static_cast<std::uint8_t>(number >> shift);
  answerInFlight_ = number;
  LResult taken = 0;
  const bool sent = desktop_.SendCopyDataTimeout(form, kAnswerBatchTag, batch_, 1000, &taken);
  if ((sent && taken) || answerInFlight_ != number) return;
  answerInFlight_ = 0;
  // Not taken and never to be read: the tips are the hook's to delete.
  if (const auto batch = ParseAnswerBatch(batch_.data(), batch_.size()))
    for (std::size_t i = 0; i < batch->Count(); ++i)
      if ((*batch)[i].msg == THM_ENUMTIP || (*batch)[i].msg == THM_QUERYTIP)
        desktop_.GlobalDeleteAtom(static_cast<Atom>((*batch)[i].lParam));
}

void SimHook::AnswerEnumeration() {
  const Hwnd form = MainForm();
  if (form == 0 || AnswerMode == Answer::Never) return;
  if (!Tell(form, true, THM_ENUMBEGIN, 0, 0)) return;
  // A copy: the answer may run code that changes the tray.
  const std::vector<TrayButton> buttons = taskbar_->Buttons();
  bool told = true;
  LParam skipped = 0;
  for (std::size_t i = 0; i < buttons.size() && told; ++i) {
    if (Unreadable.count(buttons[i].idCommand)) {
      ++skipped;
      continue;
    }
    told = TellIcon(form, true, i, buttons[i]);
  }
  if (told && AnswerMode != Answer::NoEnd) Tell(form, false, THM_ENUMEND, 0, skipped);
  SendBatch(form);
}

void SimHook::AnswerQuery() {
  const Hwnd form = MainForm();
  if (form == 0 || AnswerMode == Answer::Never) return;
  if (!Tell(form, true, THM_QUERYBEGIN, 0, 0)) return;
  bool told = true;
  if (const auto b = taskbar_->Button(queryWindow_, queryId_)) told = TellIcon(form, false, 0, *b);
  if (told && AnswerMode != Answer::NoEnd) Tell(form, false, THM_QUERYEND, 0, 0);
  SendBatch(form);
}

}  // namespace cvl::sim
