#include "ButtonFinder.h"

#include "SharedSection.h"
#include "ShellTray.h"
#include "Subclassing.h"

namespace snarehook {

namespace {

// Programs that change their icons at once are few; the oldest hint gives way.
constexpr int kHints = 64;
struct Hint {
  HWND owner;
  UINT id;
  int command;
};
SNAREHOOK_ZEROED Hint g_hints[kHints];
int g_nextHint;

Hint* HintOf(HWND owner, UINT id) {
  for (Hint& h : g_hints)
    if (h.owner == owner && h.id == id && owner != nullptr) return &h;
  return nullptr;
}

bool Fits(int index, HWND owner, UINT id, TBBUTTON* button, TrayRecord* record) {
  return index >= 0 && ReadButton(index, button, record) && record->hwnd == owner &&
         record->uID == id;
}

}  // namespace

int FindIconButton(HWND owner, UINT id, TBBUTTON* button, TrayRecord* record) {
  Hint* hint = HintOf(owner, id);
  if (hint != nullptr) {
    const int index = static_cast<int>(
        CallOld(g_shared.toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(hint->command), 0));
    if (Fits(index, owner, id, button, record)) return index;
  }
  const int count = static_cast<int>(CallOld(g_shared.toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (!Fits(i, owner, id, button, record)) continue;
    if (hint == nullptr) {
      hint = &g_hints[g_nextHint];
      g_nextHint = (g_nextHint + 1) % kHints;
    }
    *hint = {owner, id, button->idCommand};
    return i;
  }
  if (hint != nullptr) *hint = {};
  return -1;
}

}  // namespace snarehook
