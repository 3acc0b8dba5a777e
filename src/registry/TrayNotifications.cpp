// Reading the tray through the hook and reacting to its reports.
#include <algorithm>

#include "registry/OwnerExecutablePath.h"
#include "registry/TrayRegistry.h"
#include "shell/HookProtocol.h"

namespace cvl {

namespace {

// Tip atoms are read into 254 characters: at most 253 of text.
constexpr int kTipBuffer = 254;
constexpr int kClassBuffer = 254;

}  // namespace

TrayRegistry::TrayRegistry(Desktop& desktop, const ShellWindows& shell, TOptions& options,
                           PlacementViews& views, OwnTrayIcon& ownIcon)
    : desktop_(desktop), shell_(shell), options_(options), views_(views), ownIcon_(ownIcon) {
  ListView1.OnSelectItem = [this](int row, bool selected) { ListView1SelectItem(row, selected); };
  ListView1.OnRadioClick = [this](IconPlace place) { SetSelectedPlace(place); };
}

void TrayRegistry::WaitForAnswer(const bool& flag, std::uint32_t start) {
  while (!flag) {
    desktop_.ProcessMessages();
    if (flag) break;
    const std::uint32_t now = desktop_.GetTickCount();
    const std::uint32_t silent = now - lastAnswer_;
    const std::uint32_t elapsed = now - start;
    if (silent >= kHookAnswerTimeoutMs || elapsed >= kHookAnswerLimitMs) break;
    desktop_.WaitForMessage(std::min(kHookAnswerTimeoutMs - silent, kHookAnswerLimitMs - elapsed));
  }
}

std::string TrayRegistry::OwnerPath(Hwnd window) {
  const std::uint32_t processId = desktop_.GetWindowThreadProcessId(window);
  if (processId == 0) return {};
  // A window stays in its process, so while the handle names the same process the path holds.
  for (const OwnerPaths* known : {&ownerPaths_, &previousOwnerPaths_}) {
    const auto it = known->find(window);
    if (it != known->end() && it->second.first == processId) {
      if (known != &ownerPaths_) ownerPaths_[window] = it->second;
      return it->second.second;
    }
  }
  std::string path = OwnerExecutablePath(desktop_, window);
  ownerPaths_[window] = {processId, path};
  return path;
}

int TrayRegistry::EnumerateIcons(TIconList& list) {
  if (!options_.Enabled) return 0;
  targetList_ = &list;
  ListView1.Clear();
  const std::uint64_t beginsBefore = enumBegins_;
  NoteAnswer();
  const std::uint32_t start = lastAnswer_;
  LResult ignored = 0;
  desktop_.SendMessageTimeoutA(shell_.Toolbar, THM_ENUMREQUEST, THM_ENUM_VALUE, THM_ENUM_VALUE,
                               kHookAnswerTimeoutMs, &ignored);
  // The hook sends its begin message before the request returns; without it no answer is on
  // its way (no hook, no toolbar, or a hung one), and waiting would only freeze the program.
  if (enumBegins_ != beginsBefore) WaitForAnswer(EnumDone, start);
  return targetList_->Count();
}

TIconInfo TrayRegistry::QueryIcon(Hwnd ownerWindow, std::uint32_t iconId) {
  const std::uint64_t beginsBefore = queryBegins_;
  NoteAnswer();
  const std::uint32_t start = lastAnswer_;
  SendToToolbar(THM_QUERYSETID, THM_QUERYSETID_VALUE, static_cast<LParam>(iconId));
  SendToToolbar(THM_QUERYSETWND, THM_QUERYSETWND_VALUE, static_cast<LParam>(ownerWindow));
  LResult ignored = 0;
  desktop_.SendMessageTimeoutA(shell_.Toolbar, THM_QUERYREQUEST, THM_QUERY_VALUE, THM_QUERY_VALUE,
                               kHookAnswerTimeoutMs, &ignored);
  if (queryBegins_ == beginsBefore) return TIconInfo{};
  WaitForAnswer(QueryDone, start);
  return buffer_;
}

void TrayRegistry::RefreshIcons() {
  EnumerateIcons(AllIcons);
  ApplyPlacementMemory();
  ApplyPlacement();
}

void TrayRegistry::OnIconRecordStart(WParam buttonIndex, LParam icon) {
  buffer_ = TIconInfo{};
  buffer_.cbSize = kIconInfoSize;
  buffer_.hIcon = static_cast<Hicon>(icon);
  buffer_.ButtonIndex = static_cast<std::int32_t>(buttonIndex);
  ScratchIcon = buffer_.hIcon;
}

void TrayRegistry::OnIconTip(WParam commandId, LParam atomParam) {
  buffer_.CommandId = static_cast<std::int32_t>(commandId);
  const auto atom = static_cast<Atom>(static_cast<std::uint32_t>(atomParam) & 0xFFFFu);
  buffer_.TipText = desktop_.GlobalGetAtomNameA(atom, kTipBuffer).value_or("");
  desktop_.GlobalDeleteAtom(atom);
}

bool TrayRegistry::OnIconCommit(WParam state) {
  buffer_.State = static_cast<std::uint8_t>(state & 0xFFu);
  buffer_.ExePath = OwnerPath(buffer_.hWnd);
  buffer_.ClassName = desktop_.GetClassNameA(buffer_.hWnd, kClassBuffer);
  return targetList_->Add(buffer_) != -1;
}

void TrayRegistry::OnIconAdded(WParam ownerWindow, LParam iconId) {
  if (!HandlingFlag) return;
  NewIconWnd = ownerWindow;
  NewIconId = static_cast<std::uint32_t>(iconId);
  RefreshIcons();
  RefreshOwnIcon();
}

void TrayRegistry::OnIconDeleted() {
  if (!HandlingFlag) return;
  RefreshIcons();
  RefreshOwnIcon();
}

void TrayRegistry::OnIconModified(WParam ownerWindow, LParam iconId) {
  if (!views_.PanelVisible() || !HandlingFlag) return;
  // Queries pump messages, and what runs meanwhile may rebuild the panel list: index it anew
  // on every step.
  for (int i = 0; i < PanelList.Count(); ++i) {
    const TIconInfo& entry = PanelList[i];
    if (entry.hWnd != ownerWindow || entry.uID != static_cast<std::uint32_t>(iconId)) continue;
    if (!views_.PanelHasImageAt(i)) continue;
    const TIconInfo fresh = QueryIcon(ownerWindow, static_cast<std::uint32_t>(iconId));
    views_.UpdateCell(i, fresh);
  }
}

bool TrayRegistry::HandleHookMessage(std::uint32_t msg, WParam wParam, LParam lParam) {
  if (msg >= THM_ENUMBEGIN && msg <= THM_QUERYEND) NoteAnswer();
  switch (msg) {
    case THM_ENUMBEGIN:
      ++enumBegins_;
      previousOwnerPaths_ = std::move(ownerPaths_);
      ownerPaths_.clear();
      EnumDone = false;
      targetList_->Clear();
      return true;
    case THM_ENUMICON:
      OnIconRecordStart(wParam, lParam);
      return true;
    case THM_QUERYICON:
      OnIconRecordStart(0, lParam);
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
      OnIconTip(wParam, lParam);
      return true;
    case THM_ENUMCOMMIT:
      if (OnIconCommit(wParam)) ListView1.AddRow(ScratchIcon, buffer_.TipText, buffer_.ButtonIndex);
      return true;
    case THM_QUERYCOMMIT:
      OnIconCommit(wParam);
      return true;
    case THM_ENUMEND:
      EnumDone = true;
      return true;
    case THM_QUERYBEGIN:
      ++queryBegins_;
      QueryDone = false;
      return true;
    case THM_QUERYEND:
      QueryDone = true;
      return true;
    case THM_ICONADDED:
      OnIconAdded(wParam, lParam);
      return true;
    case THM_ICONMODIFIED:
      OnIconModified(wParam, lParam);
      return true;
    case THM_ICONDELETED:
      OnIconDeleted();
      return true;
    case THM_MENULEFTBUTTON:
      MenuButtonState = MenuButton::Left;
      return true;
    case THM_MENURIGHTBUTTON:
      MenuButtonState = MenuButton::Right;
      return true;
    default:
      return false;
  }
}

}  // namespace cvl
