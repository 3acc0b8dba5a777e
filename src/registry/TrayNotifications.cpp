// The hook's reports of tray changes, and the registry that owns the parts they drive.
#include "registry/FlagScope.h"
#include "registry/TrayRegistry.h"
#include "shell/HookProtocol.h"

namespace cvl {

TrayRegistry::TrayRegistry(Desktop& desktop, const ShellWindows& shell, ShellCommands& commands,
                           TOptions& options, PlacementViews& views, OwnIcon& ownIcon)
    : Deferral(desktop, FormWindow),
      Memory(desktop, options, *this),
      Reader(desktop, shell, commands, options, *this, Deferral),
      Placement(desktop, shell, commands, *this, Memory, views, ownIcon, Deferral),
      ownIcon_(ownIcon),
      views_(views) {
  Placement.RefreshIcons = [this] { RefreshIcons(); };
}

void TrayRegistry::RefreshIcons() {
  // A new icon's button is placed first: deleting the tips read and writing its place can wait.
  const bool outerTips = Reader.HoldTipDeletes;
  const bool outerSaves = Memory.HoldSaves;
  {
    const FlagScope holdTips(Reader.HoldTipDeletes, true, outerTips);
    Reader.EnumerateIcons(AllIcons);
    const FlagScope holdSaves(Memory.HoldSaves, true, outerSaves);
    Memory.ApplyPlacementMemory();
    Placement.ApplyPlacement();
  }
  if (!outerTips) Reader.DeleteHeldTips();
  if (!outerSaves) Memory.SaveHeld();
}

void TrayRegistry::Reset() {
  Memory.Clear();
  Reader.Reset();
  Deferral.Forget();
  AllIcons.Clear();
  TrayList.Clear();
  PanelList.Clear();
  MenuList.Clear();
  MinimizedList.Clear();
}

void TrayRegistry::OnIconAdded(WParam ownerWindow, LParam iconId) {
  NewIconWnd = ownerWindow;
  NewIconId = static_cast<std::uint32_t>(iconId);
  RefreshIcons();
  Placement.RefreshOwnIcon();
}

void TrayRegistry::OnIconDeleted() {
  RefreshIcons();
  Placement.RefreshOwnIcon();
}

void TrayRegistry::OnIconModified(WParam ownerWindow, LParam iconId) {
  if (!views_.PanelVisible()) return;
  // Queries pump messages, and what runs meanwhile may rebuild the panel list: index it anew
  // on every step.
  for (int i = 0; i < PanelList.Count(); ++i) {
    const TIconInfo& entry = PanelList[i];
    if (entry.hWnd != ownerWindow || entry.uID != static_cast<std::uint32_t>(iconId)) continue;
    if (!views_.PanelHasImageAt(i)) continue;
    const TIconInfo fresh = Reader.QueryIcon(ownerWindow, static_cast<std::uint32_t>(iconId));
    if (fresh.hWnd == 0 && fresh.hIcon == 0) continue;  // gone before it could be asked for
    if (i < PanelList.Count()) views_.UpdateCell(i, fresh);
  }
}

bool TrayRegistry::AboutOwnIcon(std::uint32_t msg, WParam ownerWindow, LParam iconId) const {
  if (msg == THM_ICONDELETED && ownerWindow == 0) return true;
  return ownerWindow == ownIcon_.Owner() && static_cast<std::uint32_t>(iconId) == kOwnIconId;
}

bool TrayRegistry::HandleHookMessage(std::uint32_t msg, WParam wParam, LParam lParam) {
  if (Reader.HandleAnswer(msg, wParam, lParam)) return true;
  switch (msg) {
    case THM_ICONADDED:
    case THM_ICONMODIFIED:
    case THM_ICONDELETED:
      if (Deferral.Busy()) {
        // While the own icon is refreshed its reports are dropped; every other report waits
        // until the wait or the refresh is over.
        if (!(Placement.RefreshingOwnIcon() && AboutOwnIcon(msg, wParam, lParam)))
          Deferral.Defer(msg, wParam, lParam);
        return true;
      }
      if (!HandlingFlag) return true;
      if (msg == THM_ICONADDED) OnIconAdded(wParam, lParam);
      if (msg == THM_ICONMODIFIED) OnIconModified(wParam, lParam);
      if (msg == THM_ICONDELETED) OnIconDeleted();
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
