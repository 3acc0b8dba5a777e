#pragma once
// Reading the tray through the hook: the enumeration and single-icon query requests, the
// answers assembled record by record into the target list and the options list, and the
// bounded waits for them.
#include <cstdint>
#include <functional>

#include "platform/Desktop.h"
#include "registry/OwnerPathCache.h"
#include "registry/RegistryState.h"
#include "registry/ReportDeferral.h"
#include "settings/TOptions.h"
#include "shell/ShellCommands.h"
#include "shell/ShellWindows.h"

namespace cvl {

class HookReader {
 public:
  HookReader(Desktop& desktop, const ShellWindows& shell, ShellCommands& commands,
             const TOptions& options, RegistryState& state, ReportDeferral& deferral);
  HookReader(const HookReader&) = delete;
  HookReader& operator=(const HookReader&) = delete;

  int EnumerateIcons(TIconList& list);
  // An empty record when the hook reported no icon for the pair.
  TIconInfo QueryIcon(Hwnd ownerWindow, std::uint32_t iconId);
  // True when msg belongs to an enumeration or query answer.
  bool HandleAnswer(std::uint32_t msg, WParam wParam, LParam lParam);
  // Forgets the protocol state: record buffer, done flags, owner paths.
  void Reset();

  bool EnumDone = false;
  bool QueryDone = false;
  Hicon ScratchIcon = 0;
  // Told when an enumeration has ended, with the list it filled.
  std::function<void(const TIconList& listed)> OnEnumerated;

 private:
  void OnRecordStart(WParam buttonIndex, LParam icon);
  void OnTip(WParam commandId, LParam atom);
  bool OnCommit(WParam state);  // true when the record was added
  // Pumps messages until flag is set, until the hook has been silent for the answer's bound,
  // or until the answer's whole time, counted from start, is up.
  void WaitForAnswer(const bool& flag, std::uint32_t start);
  void NoteAnswer() { lastAnswer_ = desktop_.GetTickCount(); }

  Desktop& desktop_;
  const ShellWindows& shell_;
  ShellCommands& commands_;
  const TOptions& options_;
  RegistryState& state_;
  ReportDeferral& deferral_;
  OwnerPathCache ownerPaths_;
  TIconInfo buffer_;
  TIconList* targetList_;
  std::uint64_t enumBegins_ = 0;  // begin messages seen, to tell whether a request was taken
  std::uint64_t queryBegins_ = 0;
  bool queryHasIcon_ = false;  // an icon message arrived since the last query's begin
  std::uint32_t lastAnswer_ = 0;
};

}  // namespace cvl
