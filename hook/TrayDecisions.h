#pragma once
// What the library decides, apart from how it reaches the shell's windows: which report a
// program's change gets, which requests it answers, and what a TB_HIDEBUTTON does to a button
// Corvalet or its program hid. Plain functions of what the library has read, with no Windows
// header, so that the simulated desktop of the native tests decides with this same code.
#include <cstdint>

#include "shell/HookProtocol.h"

namespace snarehook {

// The report for a program's Shell_NotifyIcon message (NIM_ADD 0, NIM_MODIFY 1, NIM_DELETE 2,
// NIM_SETVERSION 4) that the shell took, or 0 for none. A modify that changes neither the
// callback, the icon, the tip (changesShown) nor the hidden state or version (stateChanged)
// changes nothing Corvalet lists or draws: a balloon alone, say. A version set anew is read
// like a changed state; NIM_SETFOCUS changes nothing listed. A new picture or tip alone shows
// only in Corvalet's open panel: while it is hidden (panelShown), nobody is told, and the
// panel reads the tray when it opens after such a change.
constexpr std::uint32_t ReportFor(std::uint32_t message, bool changesShown, bool stateChanged,
                                  bool panelShown) {
  if (message == 4) return stateChanged ? cvl::THM_ICONSTATE : 0;
  if (message > 2 || (message == 1 && !stateChanged && (!changesShown || !panelShown))) return 0;
  return message == 0   ? cvl::THM_ICONADDED
         : message == 1 ? (stateChanged ? cvl::THM_ICONSTATE : cvl::THM_ICONMODIFIED)
                        : cvl::THM_ICONDELETED;
}

// A program's add (NIM_ADD 0) while Corvalet serves, from a process Corvalet has said it places
// out of the tray: its button is hidden on the shell's thread as soon as the shell has added
// it, not shown until Corvalet has read the tray and asked. An icon its program added hidden
// is the shell's to hide, and stays the program's.
constexpr bool HiddenOnAdd(std::uint32_t message, bool serving, bool processListed,
                           bool programHid) {
  return message == 0 && serving && processListed && !programHid;
}

// A change told to nobody only because the panel is hidden: the library counts these, so that
// Corvalet can tell whether its last reading of the tray missed one.
constexpr bool Untold(std::uint32_t message, bool changesShown, bool stateChanged,
                      bool panelShown) {
  return ReportFor(message, changesShown, stateChanged, panelShown) !=
         ReportFor(message, changesShown, stateChanged, true);
}

// Corvalet's requests at the tray toolbar, each with its check values.
enum class Request { None, Enumerate, SetWindow, SetId, Query };
constexpr Request RequestOf(std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam) {
  using namespace cvl;
  if (msg == THM_ENUMREQUEST && wParam == THM_ENUM_VALUE && lParam == THM_ENUM_VALUE)
    return Request::Enumerate;
  if (msg == THM_QUERYSETWND && wParam == THM_QUERYSETWND_VALUE) return Request::SetWindow;
  if (msg == THM_QUERYSETID && wParam == THM_QUERYSETID_VALUE) return Request::SetId;
  if (msg == THM_QUERYREQUEST && wParam == THM_QUERY_VALUE && lParam == THM_QUERY_VALUE)
    return Request::Query;
  return Request::None;
}

// TB_HIDEBUTTON at the tray toolbar. Only what another thread hides or shows (fromCorvalet) is
// Corvalet's doing, and the library tracks it; the shell hides and shows its own buttons too
// (for programs that hide their icons). A button stays hidden while either hides it: Corvalet's
// show does not show what the program hid, and while Corvalet serves, the shell's show does
// not show what Corvalet hid. keepsState: the message is not passed on. The two questions are
// asked only where the answer matters (each reads the toolbar).
enum class Track { None, Hidden, Shown };
struct HideVerdict {
  Track track;
  bool keepsState;
};
template <typename ProgramHid, typename CorvaletHid>
HideVerdict JudgeHide(bool hide, bool fromCorvalet, bool serving, ProgramHid programHid,
                      CorvaletHid corvaletHid) {
  if (hide) return {fromCorvalet ? Track::Hidden : Track::None, false};
  if (fromCorvalet) return {Track::Shown, programHid()};
  return {Track::None, serving && corvaletHid()};
}

}  // namespace snarehook
