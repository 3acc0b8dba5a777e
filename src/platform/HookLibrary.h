#pragma once
// The exports of Snarehook.dll. Their results are not used, but for ClaimAnswer's.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Types.h"
#include "shell/BalloonRecord.h"

namespace cvl {

class HookLibrary {
 public:
  virtual ~HookLibrary() = default;
  virtual void SetTrayHook() = 0;
  virtual void DeleteTrayHook() = 0;
  // Tells the library which windows Corvalet hid, so that its watchdog shows them again if
  // Corvalet dies with them hidden.
  virtual void NoteHiddenWindow(Hwnd window, bool hidden) = 0;
  // Corvalet has taken every report that waited for it: the library, which stops posting
  // reports when too many are on their way and tells them again later, counts afresh.
  virtual void ReportsTaken() = 0;
  // Corvalet's panel is shown or hidden: a program's new picture or tip is told only while it
  // is shown. Those made while it is hidden are counted (the count wraps).
  virtual void SetPanelShown(bool shown) = 0;
  virtual std::uint32_t UntoldChanges() = 0;
  // Before an answer carried in one piece is read: true when it and its tips are Corvalet's,
  // false when the library took them back because its send gave up first (0: unnumbered).
  virtual bool ClaimAnswer(std::uint32_t number) = 0;
  // The balloon THM_ICONBALLOON numbered, while the library still keeps it; taken once.
  virtual std::optional<BalloonRecord> TakeBalloon(std::uint32_t number) = 0;
  // The processes whose icons Corvalet places in its panel or menu: while it serves, the shell
  // hides such a process's newly added button at once.
  virtual void SetHiddenProcesses(const std::vector<std::uint32_t>& processes) = 0;
};

}  // namespace cvl
