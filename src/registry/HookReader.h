#pragma once
// Reading the tray through the hook: the enumeration and single-icon query requests, the
// answers assembled record by record into the target list and the options list, and the
// bounded waits for them.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

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
  ~HookReader();

  int EnumerateIcons(TIconList& list);
  // The last enumeration's answer came in whole: the list shows the tray at one moment.
  bool LastReadingWhole() const { return lastWhole_; }
  // Enumerations whose begin came but whose answer never came in whole.
  std::uint64_t LostAnswers() const { return lostAnswers_; }
  // An empty record when the hook reported no icon for the pair.
  TIconInfo QueryIcon(Hwnd ownerWindow, std::uint32_t iconId);
  // True when msg belongs to an enumeration or query answer.
  bool HandleAnswer(std::uint32_t msg, WParam wParam, LParam lParam);
  // Forgets the protocol state (record buffer, done flags, owners) and deletes the tips held.
  void Reset();
  // Learns an added icon's owner ahead of the reading: the walk then runs while the shell is
  // still drawing the new button, not after the answer has come.
  void KnowOwner(Hwnd window) { ownerPaths_.Path(window); }
  // Deletes the tip atoms read while HoldTipDeletes was set.
  void DeleteHeldTips();

  // While set, the tip atoms read are deleted by DeleteHeldTips instead of at once: each
  // deletion is a trip to the system, and a new icon's button should be placed first.
  bool HoldTipDeletes = false;

  bool EnumDone = false;
  bool QueryDone = false;
  Hicon ScratchIcon = 0;
  // The library's count of pictures and tips it told nobody of (the panel was hidden), read
  // before each reading.
  std::function<std::uint32_t()> UntoldChanges;
  // The lists may miss a new picture or tip: one untold since the last whole reading began,
  // or one told while the panel was hidden.
  bool ListsBehind() const {
    return unseenChange_ || (UntoldChanges && UntoldChanges() != untoldAtReading_);
  }
  void NoteUnseenChange() { unseenChange_ = true; }
  // Told when an enumeration has ended, with the list it filled.
  std::function<void(const TIconList& listed)> OnEnumerated;

 private:
  void OnRecordStart(WParam buttonIndex, LParam icon);
  void OnTip(WParam commandId, LParam atom);
  bool OnCommit(WParam state, LParam programState);  // true when the record was added
  // Pumps messages until flag is set, until the hook has been silent for the answer's bound,
  // or until the answer's whole time, counted from start, is up.
  void WaitForAnswer(const bool& flag, std::uint32_t start);
  void NoteAnswer() { lastAnswer_ = desktop_.GetTickCount(); }
  struct Owner {
    std::string path;
    std::string className;
  };
  // Asked once per window and answer: an answer shows the tray at one moment, and each
  // question about another process's window is a trip to the system.
  const Owner& OwnerOf(Hwnd window);

  Desktop& desktop_;
  const ShellWindows& shell_;
  ShellCommands& commands_;
  const TOptions& options_;
  RegistryState& state_;
  ReportDeferral& deferral_;
  OwnerPathCache ownerPaths_;
  std::map<Hwnd, Owner> answerOwners_;
  std::vector<Atom> heldTips_;
  TIconInfo buffer_;
  TIconList* targetList_;
  std::uint64_t lostAnswers_ = 0;
  std::uint64_t enumBegins_ = 0;  // begin messages seen, to tell whether a request was taken
  std::uint64_t queryBegins_ = 0;
  bool queryHasIcon_ = false;  // an icon message arrived since the last query's begin
  std::uint32_t lastAnswer_ = 0;
  bool lastWhole_ = false;
  bool abandoned_ = false;  // an enumeration was given up on; its rest may still come
  std::uint32_t untoldAtReading_ = 0;
  bool unseenChange_ = false;
};

}  // namespace cvl
