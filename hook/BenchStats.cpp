#include "BenchStats.h"

#include "SharedSection.h"
#include "Subclassing.h"

#include <commctrl.h>

namespace snarehook {

// wParam 0 the messages told, 1 the requests taken; 2 arms the stamp of the next hide of the
// tray's last button, 3 and 4 read it (performance counter, low and high half; 0 while none);
// 5, 6, 7: microseconds from the report to the first request, to its answer's end, and to the
// hide; 8 the readings of the tray asked for.
bool StatsMessage(UINT msg, WPARAM wp, LRESULT& result) {
  if (msg != g_shared.statsMessage || msg == 0) return false;
  if (wp == 2) {
    g_shared.stamp.QuadPart = 0;
    g_shared.reported.QuadPart = g_shared.requested1.QuadPart = g_shared.answered.QuadPart = 0;
    g_shared.stampArmed = 1;
  }
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  const auto us = [&](const LARGE_INTEGER& t) -> LRESULT {
    return t.QuadPart && g_shared.reported.QuadPart
               ? static_cast<LRESULT>((t.QuadPart - g_shared.reported.QuadPart) * 1000000 /
                                      f.QuadPart)
               : -1;
  };
  result = wp == 0 ? g_shared.told : wp == 1 ? g_shared.requested : 0;
  if (wp == 3) result = static_cast<LRESULT>(g_shared.stamp.LowPart);
  if (wp == 4) result = static_cast<LRESULT>(g_shared.stamp.HighPart);
  if (wp == 5) result = us(g_shared.requested1);
  if (wp == 6) result = us(g_shared.answered);
  if (wp == 7) result = us(g_shared.stamp);
  if (wp == 8) result = g_shared.enumerations;
  return true;
}

void StampHide(WPARAM command, LPARAM lp) {
  if (LOWORD(lp) != 0 && g_shared.stampArmed &&
      CallOld(g_shared.toolbar, TB_COMMANDTOINDEX, command, 0) ==
          CallOld(g_shared.toolbar, TB_BUTTONCOUNT, 0, 0) - 1) {
    g_shared.stampArmed = 0;
    QueryPerformanceCounter(&g_shared.stamp);
  }
}

}  // namespace snarehook
