#include "OwnerProcesses.h"

#include "SharedSection.h"
#include "Subclassing.h"

namespace snarehook {

namespace {

// Windows seen to be another process's, for the Corvalet in g_foreignFor; the oldest gives way.
// A handle carries a use count besides its slot, so the same value names another window only
// after its slot has been used tens of thousands of times.
constexpr int kForeign = 64;
SNAREHOOK_ZEROED HWND g_foreign[kForeign];
int g_nextForeign;
DWORD g_foreignFor;

}  // namespace

bool OwnedByCorvalet(HWND owner) {
  if (g_foreignFor != g_shared.installer) {
    for (HWND& w : g_foreign) w = nullptr;
    g_foreignFor = g_shared.installer;
  }
  if (owner == nullptr) return false;
  for (const HWND w : g_foreign)
    if (w == owner) return false;
  DWORD process = 0;
  if (!GetWindowThreadProcessId(owner, &process)) return false;
  if (process == g_shared.installer) return true;
  g_foreign[g_nextForeign] = owner;
  g_nextForeign = (g_nextForeign + 1) % kForeign;
  return false;
}

}  // namespace snarehook
