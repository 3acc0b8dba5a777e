#include "HiddenProcesses.h"

#include "IconStates.h"
#include "SharedSection.h"
#include "ShellTray.h"
#include "Snarehook.h"
#include "Subclassing.h"
#include "TrayDecisions.h"
#include "TrayRecord.h"
#include "Watchdog.h"

#include <commctrl.h>

#ifdef SNAREHOOK_BENCH
#include "BenchStats.h"
#endif

namespace snarehook {

namespace {

// Read without a lock: a read that overlaps two of Corvalet's writes may judge one add
// wrongly, which Corvalet's reading of that add puts right.
bool Listed(DWORD process) {
  const LONG half = g_shared.hiddenProcessesHalf & 1;
  LONG count = g_shared.hiddenProcessCount[half];
  if (count > kMostHiddenProcesses) count = kMostHiddenProcesses;
  for (LONG i = 0; i < count; ++i)
    if (g_shared.hiddenProcesses[half][i] == process) return true;
  return false;
}

}  // namespace

void ForgetHiddenProcesses() {
  g_shared.hiddenProcessCount[0] = 0;
  g_shared.hiddenProcessCount[1] = 0;
}

void HideListedAdd(const cvl::NotifyCopyData& n) {
  // Nothing listed, nothing asked: the common case costs no call.
  if (n.message != NIM_ADD || !g_shared.serving ||
      g_shared.hiddenProcessCount[g_shared.hiddenProcessesHalf & 1] == 0)
    return;
  const HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(n.owner));
  DWORD process = 0;
  if (!GetWindowThreadProcessId(owner, &process)) return;
  if (!HiddenOnAdd(0, true, Listed(process), ProgramHid(owner, n.uID))) return;
  TrayRecord record;
  const int command = CommandOf(owner, n.uID, &record);
  if (command < 0) return;
  // Corvalet's hide, as if it had asked: tracked, so that the shell's own show keeps it hidden
  // while Corvalet serves and the watchdog gives it back.
  TrackHidden(command, true);
  if (!CorvaletHid(command)) return;  // the list is full: nothing would give it back
  CallOld(g_shared.toolbar, TB_HIDEBUTTON, static_cast<WPARAM>(command), MAKELONG(TRUE, 0));
#ifdef SNAREHOOK_BENCH
  StampHide(static_cast<WPARAM>(command), MAKELONG(TRUE, 0));
#endif
}

}  // namespace snarehook

BOOL SetHiddenProcesses(const DWORD* processes, int count) {
  using namespace snarehook;
  if (count < 0) return FALSE;
  if (count > kMostHiddenProcesses) count = kMostHiddenProcesses;
  if (count > 0 && !Readable(processes, static_cast<SIZE_T>(count) * sizeof *processes))
    return FALSE;
  const LONG next = (g_shared.hiddenProcessesHalf + 1) & 1;
  for (int i = 0; i < count; ++i) g_shared.hiddenProcesses[next][i] = processes[i];
  g_shared.hiddenProcessCount[next] = count;
  InterlockedExchange(&g_shared.hiddenProcessesHalf, next);
  return TRUE;
}
