#include "registry/HookReader.h"

#include <algorithm>

#include "shell/HookProtocol.h"

namespace cvl {

namespace {

// Tip atoms and class names are read into 254 characters: at most 253 of text.
constexpr int kTipBuffer = 254;
constexpr int kClassBuffer = 254;

}  // namespace

HookReader::HookReader(Desktop& desktop, const ShellWindows& shell, ShellCommands& commands,
                       const TOptions& options, RegistryState& state, ReportDeferral& deferral)
    : desktop_(desktop),
      shell_(shell),
      commands_(commands),
      options_(options),
      state_(state),
      deferral_(deferral),
      ownerPaths_(desktop),
      targetList_(&state.AllIcons) {}

HookReader::~HookReader() {
  DeleteHeldTips();
}

void HookReader::DeleteHeldTips() {
  for (const Atom atom : heldTips_) desktop_.GlobalDeleteAtom(atom);
  heldTips_.clear();
}

void HookReader::Reset() {
  DeleteHeldTips();
  abandoned_ = false;
  answerOwners_.clear();
  buffer_ = TIconInfo{};
  EnumDone = false;
  QueryDone = false;
  queryHasIcon_ = false;
  ScratchIcon = 0;
  ownerPaths_.Clear();
}

void HookReader::WaitForAnswer(const bool& flag, std::uint32_t start) {
  // Only the answer's own messages are taken while waiting: a click, a timer or a report
  // handled now could start another request whose begin would land in the middle of this
  // answer's posted rest. Everything else waits, in its order, until the answer is in.
  while (!flag) {
    desktop_.ProcessMessagesInRange(kFirstAnswerMessage, kLastAnswerMessage);
    if (flag) break;
    const std::uint32_t now = desktop_.GetTickCount();
    const std::uint32_t silent = now - lastAnswer_;
    const std::uint32_t elapsed = now - start;
    if (silent >= kHookAnswerTimeoutMs || elapsed >= kHookAnswerLimitMs) break;
    desktop_.WaitForPostedMessage(
        std::min(kHookAnswerTimeoutMs - silent, kHookAnswerLimitMs - elapsed));
  }
}

int HookReader::EnumerateIcons(TIconList& list) {
  lastWhole_ = false;
  if (!options_.Enabled) return 0;
  const ReportDeferral::Scope waiting(deferral_);
  commands_.RetryPending();  // a switch the shell missed goes before the request
  targetList_ = &list;
  const std::uint64_t beginsBefore = enumBegins_;
  NoteAnswer();
  const std::uint32_t start = lastAnswer_;
  // The begin empties the list; an answer that then never comes in whole must not leave it
  // (and the placement that follows) with part of the tray.
  const TIconList before = list;
  const std::vector<ListRow> rowsBefore = state_.ListView1.Rows;
  const std::vector<Hicon> imagesBefore = state_.ListView1.TrayImages;
  // Before the request: a change untold while it is answered may be missing from the answer.
  const std::uint32_t untold = UntoldChanges ? UntoldChanges() : untoldAtReading_;
  commands_.Send(shell_.Toolbar, THM_ENUMREQUEST, THM_ENUM_VALUE, THM_ENUM_VALUE);
  // The hook sends its begin message before the request returns; without it no answer is on
  // its way (no hook, no toolbar, or a hung one), and waiting would only freeze the program.
  if (enumBegins_ != beginsBefore) {
    WaitForAnswer(EnumDone, start);
    lastWhole_ = EnumDone;
    if (!EnumDone) {
      ++lostAnswers_;
      abandoned_ = true;
      list = before;
      state_.ListView1.Rows = rowsBefore;
      state_.ListView1.TrayImages = imagesBefore;
      if (state_.ListView1.OnChanged) state_.ListView1.OnChanged();
    }
  }
  if (lastWhole_) {
    untoldAtReading_ = untold;
    unseenChange_ = false;
  }
  return targetList_->Count();
}

TIconInfo HookReader::QueryIcon(Hwnd ownerWindow, std::uint32_t iconId) {
  const ReportDeferral::Scope waiting(deferral_);
  commands_.RetryPending();
  const std::uint64_t beginsBefore = queryBegins_;
  NoteAnswer();
  const std::uint32_t start = lastAnswer_;
  commands_.Send(shell_.Toolbar, THM_QUERYSETID, THM_QUERYSETID_VALUE, static_cast<LParam>(iconId));
  commands_.Send(shell_.Toolbar, THM_QUERYSETWND, THM_QUERYSETWND_VALUE,
                 static_cast<LParam>(ownerWindow));
  commands_.Send(shell_.Toolbar, THM_QUERYREQUEST, THM_QUERY_VALUE, THM_QUERY_VALUE);
  if (queryBegins_ == beginsBefore) return TIconInfo{};
  WaitForAnswer(QueryDone, start);
  // Begin and end alone: the icon has gone, and the buffer still holds another icon's record.
  if (!queryHasIcon_) return TIconInfo{};
  return buffer_;
}

void HookReader::OnRecordStart(WParam buttonIndex, LParam icon) {
  buffer_ = TIconInfo{};
  buffer_.cbSize = kIconInfoSize;
  buffer_.hIcon = static_cast<Hicon>(icon);
  buffer_.ButtonIndex = static_cast<std::int32_t>(buttonIndex);
  ScratchIcon = buffer_.hIcon;
}

void HookReader::OnTip(WParam commandId, LParam atomParam) {
  buffer_.CommandId = static_cast<std::int32_t>(commandId);
  const auto atom = static_cast<Atom>(static_cast<std::uint32_t>(atomParam) & 0xFFFFu);
  buffer_.TipText = desktop_.GlobalGetAtomNameA(atom, kTipBuffer).value_or("");
  if (HoldTipDeletes && atom != 0)
    heldTips_.push_back(atom);
  else
    desktop_.GlobalDeleteAtom(atom);
}

const HookReader::Owner& HookReader::OwnerOf(Hwnd window) {
  if (const auto it = answerOwners_.find(window); it != answerOwners_.end()) return it->second;
  Owner owner{ownerPaths_.Path(window), desktop_.GetClassNameA(window, kClassBuffer)};
  return answerOwners_.emplace(window, std::move(owner)).first->second;
}

bool HookReader::OnCommit(WParam state, LParam programState) {
  buffer_.State = static_cast<std::uint8_t>(state & 0xFFu);
  buffer_.ProgramHidden = (static_cast<std::uint32_t>(programState) & kCommitProgramHidden) != 0;
  buffer_.uVersion = VersionOfCommit(static_cast<std::uint32_t>(programState));
  // Bit 0 of the hook's state byte: the button is hidden now.
  commands_.NoteButtonState(shell_.Toolbar, buffer_.CommandId, (state & 1u) != 0);
  const Owner& owner = OwnerOf(buffer_.hWnd);
  buffer_.ExePath = owner.path;
  buffer_.ClassName = owner.className;
  return targetList_->Add(buffer_) != -1;
}

bool HookReader::HandleAnswer(std::uint32_t msg, WParam wParam, LParam lParam) {
  if (msg < THM_ENUMBEGIN || msg > THM_QUERYEND) return false;
  NoteAnswer();
  // The rest of an enumeration given up on would land on the list restored since: only its
  // tips are taken, to be deleted, until a new answer begins.
  if (abandoned_ && msg > THM_ENUMBEGIN && msg <= THM_ENUMEND) {
    if (msg == THM_ENUMTIP) desktop_.GlobalDeleteAtom(static_cast<Atom>(lParam & 0xFFFF));
    if (msg == THM_ENUMEND) abandoned_ = false;
    return true;
  }
  switch (msg) {
    case THM_ENUMBEGIN:
      abandoned_ = false;
      ++enumBegins_;
      ownerPaths_.NewEnumeration();
      answerOwners_.clear();
      commands_.ForgetButtonStates();
      commands_.ListingBegins(shell_.Toolbar);
      EnumDone = false;
      targetList_->Clear();
      // Emptied with the list, not before the request: an unanswered request keeps both, in
      // step, row i showing entry i.
      state_.ListView1.Clear();
      return true;
    case THM_ENUMICON:
      OnRecordStart(wParam, lParam);
      return true;
    case THM_QUERYICON:
      queryHasIcon_ = true;
      OnRecordStart(0, lParam);
      return true;
    case THM_ENUMOWNER:
    case THM_QUERYOWNER:
      buffer_.hWnd = wParam;
      buffer_.uID = static_cast<std::uint32_t>(lParam);
      return true;
    case THM_ENUMCALLBACK:
    case THM_QUERYCALLBACK:
      buffer_.uCallbackMessage = wParam;
      return true;
    case THM_ENUMTIP:
    case THM_QUERYTIP:
      OnTip(wParam, lParam);
      return true;
    case THM_ENUMCOMMIT:
      commands_.Listed(buffer_.CommandId);
      if (OnCommit(wParam, lParam))
        state_.ListView1.AddRow(ScratchIcon, buffer_.TipText, buffer_.ButtonIndex);
      return true;
    case THM_QUERYCOMMIT:
      OnCommit(wParam, lParam);
      return true;
    case THM_ENUMEND:
      EnumDone = true;
      commands_.ListingEnded(lParam == 0);  // the buttons the library could not read
      if (OnEnumerated) OnEnumerated(*targetList_);
      return true;
    case THM_QUERYBEGIN:
      ++queryBegins_;
      answerOwners_.clear();
      queryHasIcon_ = false;
      QueryDone = false;
      return true;
    case THM_QUERYEND:
      QueryDone = true;
      return true;
    default:
      return false;
  }
}

}  // namespace cvl
