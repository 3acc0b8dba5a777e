#include "IconStates.h"

#include "ButtonFinder.h"

#include "SharedSection.h"
#include "ShellTray.h"
#include "Subclassing.h"

#include <commctrl.h>
#include <shellapi.h>

namespace snarehook {

namespace {

// Programs that hide their icons are few: past this many, the rest are not told apart.
constexpr int kMostHidden = 256;
SNAREHOOK_ZEROED TrackedIcon g_hiddenByProgram[kMostHidden];
int g_hiddenByProgramCount;

int IndexOf(HWND owner, UINT id) {
  for (int i = 0; i < g_hiddenByProgramCount; ++i)
    if (g_hiddenByProgram[i].owner == owner && g_hiddenByProgram[i].id == id) return i;
  return -1;
}

}  // namespace

void ForgetProgramStates() {
  g_hiddenByProgramCount = 0;
}

bool ProgramHid(HWND owner, UINT id) {
  return IndexOf(owner, id) >= 0;
}

bool ProgramHidButton(int command) {
  const LRESULT index =
      CallOld(g_shared.toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(command), 0);
  TBBUTTON b;
  TrayRecord r;
  return index >= 0 && ReadButton(static_cast<int>(index), &b, &r) && ProgramHid(r.hwnd, r.uID);
}

bool NoteProgramState(const cvl::NotifyCopyData& n) {
  const HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(n.owner));
  const int at = IndexOf(owner, n.uID);
  bool hidden = false;
  if (n.message == NIM_DELETE || !cvl::SetsHidden(n, &hidden)) {
    if (n.message == NIM_DELETE && at >= 0)
      g_hiddenByProgram[at] = g_hiddenByProgram[--g_hiddenByProgramCount];
    return false;
  }
  if (hidden == (at >= 0)) return false;
  if (hidden && g_hiddenByProgramCount < kMostHidden)
    g_hiddenByProgram[g_hiddenByProgramCount++] = {owner, n.uID};
  else if (!hidden)
    g_hiddenByProgram[at] = g_hiddenByProgram[--g_hiddenByProgramCount];
  return true;
}

bool CorvaletHid(int command) {
  for (int i = 0; i < g_shared.hiddenCount; ++i)
    if (g_shared.hidden[i] == command) return true;
  return false;
}

int CommandOf(HWND owner, UINT id, TrayRecord* record) {
  TBBUTTON b;
  return FindIconButton(owner, id, &b, record) >= 0 ? b.idCommand : -1;
}

}  // namespace snarehook
