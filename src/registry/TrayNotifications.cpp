// The hook's reports of tray changes, and the registry that owns the parts they drive.
#include <algorithm>

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
      Dead(desktop, *this),
      Hidden(desktop),
      desktop_(desktop),
      ownIcon_(ownIcon),
      views_(views) {
  Placement.RefreshIcons = [this] { RefreshIcons(); };
  // A process hidden ahead is kept after its icons have gone: its end is watched too.
  Dead.AlsoWatch = [this] { return Hidden.Listed(); };
  Placement.PanelChanged = [this] { PanelOpening(); };
  Placement.Placed = [this] {
    Hidden.Note(AllIcons, desktop_.GetWindowThreadProcessId(FormWindow));
  };
}

namespace {

// Bounds one batch; the thread's queue holds at most 10,000 posted messages anyway.
constexpr std::size_t kMostReportsInBatch = 10000;
constexpr int kReadingsTriedAgain = 3;
// Owners add their icons again when the new taskbar announces itself; an add much later is a
// program's own doing.
constexpr std::uint32_t kReturningIconsMs = 60000;
constexpr int kReadingsOwedAtMost = 10;
// How long a burst's reports are gathered after a reading before the next one.
constexpr std::uint32_t kGatherMs = 100;
constexpr std::uint32_t kGatherPasses = 64;
// Adds kept for a later reading; past this the oldest goes (its owner flooded the tray).
constexpr std::size_t kMostAddsKept = 512;

}  // namespace

void TrayRegistry::RefreshIcons(const std::vector<AddedIcon>& added) {
  // Switched off, no hook gives back a button hidden now; the switch may even come in while
  // the tray is read.
  if (SwitchedOff) {
    ForgetAdds();
    return;
  }
  for (const AddedIcon& icon : added) {
    KeepAdded(icon);
    // A window the lists hold is known already; during a burst its adds come by the hundred.
    if (!std::any_of(AllIcons.begin(), AllIcons.end(),
                     [&](const TIconInfo& listed) { return listed.hWnd == icon.window; }))
      Reader.KnowOwner(icon.window);
  }
  // A new icon's button is placed first: deleting the tips read and writing its place can wait.
  const bool outerTips = Reader.HoldTipDeletes;
  const bool outerSaves = Memory.HoldSaves;
  {
    const FlagScope holdTips(Reader.HoldTipDeletes, true, outerTips);
    Reader.EnumerateIcons(AllIcons);
    NoteReading(Reader.LastReadingWhole());
    if (Reader.LastReadingWhole()) deleted_.clear();
    Dead.TakeOut();
    if (!SwitchedOff) {
      const FlagScope holdSaves(Memory.HoldSaves, true, outerSaves);
      Memory.ApplyPlacementMemory();
      if (Reader.LastReadingWhole()) PlaceAddedIcons();
      Placement.ApplyPlacement();
    } else {
      // Switched off while the answer came in: what was given back then was only what the
      // list held at that moment.
      Placement.ShowAllIcons();
    }
  }
  if (!outerTips) Reader.DeleteHeldTips();
  if (!outerSaves) Memory.SaveHeld();
  if (outerTips) return;
  Dead.RemoveAndWatch();
  if (AfterReading) AfterReading();
}

void TrayRegistry::NoteReading(bool whole) {
  if (whole) {
    readingsOwed_ = 0;
    panelReadingOwed_ = false;
    return;
  }
  // Not taken or not whole (the shell busy with an answer, or hung): read again a little later,
  // a few times at most, so that what the missed reading was for is not left for the next
  // program's change.
  if (++readingsOwed_ <= kReadingsOwedAtMost && OnReadingOwed) OnReadingOwed();
}

void TrayRegistry::PanelOpening() {
  if (!Reader.ListsBehind() || SwitchedOff) return;
  panelReadingOwed_ = true;
  if (OnReadingOwed) OnReadingOwed();
}

bool TrayRegistry::ReadForPanel() {
  if (!panelReadingOwed_ || Deferral.Busy()) return false;
  panelReadingOwed_ = false;
  // A reading of its own: no icon was added, and the own icon, under the user's mouse while
  // the panel shows, stays where it is.
  if (HandlingFlag && !SwitchedOff && views_.PanelVisible()) RefreshIcons();
  return true;
}

bool TrayRegistry::ReadingOwed() const {
  return (panelReadingOwed_ || (readingsOwed_ > 0 && readingsOwed_ <= kReadingsOwedAtMost)) &&
         !SwitchedOff;
}

void TrayRegistry::KeepAdded(const AddedIcon& icon) {
  for (const AddedIcon& kept : added_)
    if (kept.window == icon.window && kept.id == icon.id) return;
  if (added_.size() >= kMostAddsKept) added_.erase(added_.begin());
  added_.push_back(icon);
}

void TrayRegistry::PlaceAddedIcons() {
  // Each added icon as if its add had been handled on its own against this reading, in their
  // order. One this reading does not hold has gone again, or comes after it: it gets its
  // first place from the reading that holds it, and waits while its owner lives.
  std::vector<AddedIcon> waiting;
  for (const AddedIcon& icon : added_) {
    const bool held = std::any_of(AllIcons.begin(), AllIcons.end(), [&](const TIconInfo& i) {
      return i.hWnd == icon.window && i.uID == icon.id;
    });
    if (!held) {
      if (desktop_.IsWindow(icon.window)) waiting.push_back(icon);
      continue;
    }
    NewIconWnd = icon.window;
    NewIconId = icon.id;
    Memory.ApplyPlacementMemory();
  }
  ClearNewIcon();
  added_ = std::move(waiting);
}

void TrayRegistry::Reset() {
  returning_.clear();
  added_.clear();
  deleted_.clear();
  Memory.Clear();
  Reader.Reset();
  Dead.Reset();
  Hidden.Forget();
  Deferral.Forget();
  AllIcons.Clear();
  TrayList.Clear();
  PanelList.Clear();
  MenuList.Clear();
  MinimizedList.Clear();
}

void TrayRegistry::ExpectReturningIcons() {
  // Icons still awaited from the taskbar before (an add the shell refused, or one not made yet)
  // come back to this one too, though no reading since has held them.
  if (desktop_.GetTickCount() - returningSince_ > kReturningIconsMs) returning_.clear();
  std::erase_if(returning_, [&](const AddedIcon& icon) { return !desktop_.IsWindow(icon.window); });
  added_.clear();  // the dead tray's adds come again from their owners
  for (const TIconInfo& icon : AllIcons) {
    const auto same = [&](const AddedIcon& d) { return d.window == icon.hWnd && d.id == icon.uID; };
    if (std::none_of(deleted_.begin(), deleted_.end(), same) &&
        std::none_of(returning_.begin(), returning_.end(), same))
      returning_.push_back({icon.hWnd, icon.uID});
  }
  returningSince_ = desktop_.GetTickCount();
}

bool TrayRegistry::Returning(Hwnd window, std::uint32_t id) {
  if (returning_.empty()) return false;
  if (desktop_.GetTickCount() - returningSince_ > kReturningIconsMs) {
    returning_.clear();
    return false;
  }
  const auto it = std::find_if(returning_.begin(), returning_.end(), [&](const AddedIcon& icon) {
    return icon.window == window && icon.id == id;
  });
  if (it == returning_.end()) return false;
  returning_.erase(it);
  return true;
}

void TrayRegistry::OnIconAdded(WParam ownerWindow, LParam iconId) {
  const AddedIcon icon{ownerWindow, static_cast<std::uint32_t>(iconId)};
  // Corvalet's own icon, told late (its refresh was over): it stays in the tray, no new icon.
  if (Returning(icon.window, icon.id) || AboutOwnIcon(THM_ICONADDED, ownerWindow, iconId))
    RefreshIcons();
  else
    RefreshIcons({icon});
  Placement.RefreshOwnIconUnlessMoreCome();
}

void TrayRegistry::OnIconDeleted(WParam ownerWindow, LParam iconId) {
  Deleted(ownerWindow, iconId);
  RefreshIcons();
  Placement.RefreshOwnIconUnlessMoreCome();
}

void TrayRegistry::Deleted(WParam ownerWindow, LParam iconId) {
  // Once its program has removed it, the icon's next add is the program's own, not its return
  // to a new taskbar. The hook names the icon; a delete that names none changes nothing here.
  const auto named = [&](const AddedIcon& icon) {
    return icon.window == ownerWindow && icon.id == static_cast<std::uint32_t>(iconId);
  };
  std::erase_if(returning_, named);
  if (ownerWindow == 0 || std::any_of(deleted_.begin(), deleted_.end(), named)) return;
  if (deleted_.size() >= kMostAddsKept) deleted_.erase(deleted_.begin());
  deleted_.push_back({ownerWindow, static_cast<std::uint32_t>(iconId)});
}

void TrayRegistry::HandleReports(const std::vector<PostedMessage>& reports) {
  const std::uint64_t lostBefore = Reader.LostAnswers();
  if (reports.size() > 1) {
    OnReports(reports);
  } else {
    const PostedMessage& r = reports.front();
    if (r.msg == THM_ICONADDED) OnIconAdded(r.wParam, r.lParam);
    if (r.msg == THM_ICONMODIFIED) OnIconModified(r.wParam, r.lParam);
    if (r.msg == THM_ICONDELETED) OnIconDeleted(r.wParam, r.lParam);
    // A program hid or showed its icon, or an owner's process ended: the tray is read again,
    // and, as after every reading placed on its own, the own icon goes back to the tray's end
    // (a folded tray hides every listed button, the own icon's too).
    if (r.msg == THM_ICONSTATE || r.msg == kOwnerEndedMessage) {
      RefreshIcons();
      Placement.RefreshOwnIconUnlessMoreCome();
    }
  }
  // Owed by an earlier batch, and these were the last for now; or more are still coming.
  if (Placement.OwnIconOwed() && !Placement.RefreshOwnIconUnlessMoreCome()) GatherReports();
  // A reading whose answer never came in listed nothing new: the reports go again, so that
  // their icons are listed and placed, a few times at most.
  if (Reader.LostAnswers() == lostBefore) {
    lostReadings_ = 0;
  } else if (++lostReadings_ <= kReadingsTriedAgain) {
    for (const PostedMessage& r : reports)
      desktop_.PostMessageA(FormWindow, r.msg, r.wParam, r.lParam);
  }
}

void TrayRegistry::GatherReports() {
  // The next moments of a burst are held and read together, once, rather than each batch
  // that arrives during a reading with a reading of its own: every reading waits behind every
  // program's call on the shell's thread, and answers there for every icon.
  const FlagScope gathering(gathering_, true);
  const ReportDeferral::Scope holding(Deferral);
  const std::uint32_t start = desktop_.GetTickCount();
  for (std::uint32_t waited = 0, pass = 0;
       waited < kGatherMs && pass < kGatherPasses && !SwitchedOff;
       waited = desktop_.GetTickCount() - start, ++pass) {
    if (Placement.BetweenCommands) Placement.BetweenCommands();
    desktop_.WaitForPostedMessage(kGatherMs - waited);
    desktop_.ProcessMessages();
  }
}

void TrayRegistry::OnReports(const std::vector<PostedMessage>& reports) {
  int rereadings = 0;  // the reports that would each have read the tray again
  for (const PostedMessage& r : reports) rereadings += r.msg != THM_ICONMODIFIED;
  if (rereadings == 0) {
    // Only pictures and tips changed: each icon is asked for once.
    std::vector<PostedMessage> asked;
    for (const PostedMessage& r : reports) {
      const bool again = std::any_of(asked.begin(), asked.end(), [&](const PostedMessage& a) {
        return a.wParam == r.wParam && a.lParam == r.lParam;
      });
      if (again) continue;
      asked.push_back(r);
      OnIconModified(r.wParam, r.lParam);
    }
    return;
  }
  // One reading serves them all, the changes of pictures and tips with them.
  // After what the user did meanwhile: it may have switched off, and with it forgotten adds.
  std::vector<AddedIcon> added;
  for (const PostedMessage& r : reports) {
    // In their order: an icon back from a dead taskbar, removed and added again, is new again.
    if (r.msg == THM_ICONADDED && !Returning(r.wParam, static_cast<std::uint32_t>(r.lParam)) &&
        !AboutOwnIcon(r.msg, r.wParam, r.lParam))
      added.push_back({r.wParam, static_cast<std::uint32_t>(r.lParam)});
    if (r.msg == THM_ICONDELETED) Deleted(r.wParam, r.lParam);
  }
  RefreshIcons(added);
  Placement.RefreshOwnIconUnlessMoreCome();
}

void TrayRegistry::OnIconModified(WParam ownerWindow, LParam iconId) {
  // Told while the panel showed, and it has hidden since: it is read when the panel opens.
  if (!views_.PanelVisible()) {
    Reader.NoteUnseenChange();
    return;
  }
  // Only an icon the panel shows is asked for. Another's change is read when a pick in the
  // options brings it into the open panel, or when the panel opens next.
  const auto id = static_cast<std::uint32_t>(iconId);
  if (const int at = PanelList.IndexOf(ownerWindow, id); at < 0 || !views_.PanelHasImageAt(at)) {
    Reader.NoteUnseenChange();
    return;
  }
  const TIconInfo fresh = Reader.QueryIcon(ownerWindow, id);
  if (fresh.hWnd == 0 && fresh.hIcon == 0) return;  // gone before it could be asked for
  // The lists take it as well as the cell: the open panel is built again from them without a
  // reading (a place chosen in the options). The query pumps, and what runs meanwhile may
  // rebuild the lists: each is indexed anew.
  for (TIconList* list : {&AllIcons, &PanelList})
    if (const int i = list->IndexOf(ownerWindow, id); i >= 0)
      list->SetShown(i, fresh.hIcon, fresh.TipText);
  if (const int i = PanelList.IndexOf(ownerWindow, id); i >= 0 && views_.PanelHasImageAt(i))
    views_.UpdateCell(i, fresh);
}

bool TrayRegistry::AboutOwnIcon(std::uint32_t msg, WParam ownerWindow, LParam iconId) const {
  if (msg == THM_ICONDELETED && ownerWindow == 0) return true;
  return ownerWindow == ownIcon_.Owner() && static_cast<std::uint32_t>(iconId) == kOwnIconId;
}

bool TrayRegistry::HandleHookMessage(std::uint32_t msg, WParam wParam, LParam lParam) {
  if (Reader.HandleAnswer(msg, wParam, lParam)) return true;
  switch (msg) {
    case kOwnerEndedMessage:
      if (lParam == 0) Dead.ProcessEnded(static_cast<std::uint32_t>(wParam));
      // One that cannot be waited on is no longer hidden ahead either: it may have ended.
      if (wParam != 0) Hidden.Ended(static_cast<std::uint32_t>(wParam));
      [[fallthrough]];
    case THM_ICONADDED:
    case THM_ICONMODIFIED:
    case THM_ICONDELETED:
    case THM_ICONSTATE:
      if (Deferral.Holds(msg, wParam, lParam)) {
        // While the own icon is refreshed its reports are dropped; every other report waits
        // until the wait or the refresh is over.
        if (!(Placement.RefreshingOwnIcon() && AboutOwnIcon(msg, wParam, lParam)))
          Deferral.Defer(msg, wParam, lParam);
        return true;
      }
      // Switched off, nothing is placed: a report still on its way would hide buttons that no
      // hook gives back. A process's end is told once: while handling is held for a moment,
      // it comes again.
      if (msg == kOwnerEndedMessage && !HandlingFlag && !SwitchedOff) {
        desktop_.PostMessageA(FormWindow, msg, wParam, lParam);
        return true;
      }
      if (!HandlingFlag || SwitchedOff) return true;
      if (BeforeReports) BeforeReports();
      // What the user did meanwhile may have switched Corvalet off or ended it.
      if (!HandlingFlag || SwitchedOff) return true;
      if (Deferral.Busy()) {
        Deferral.Defer(msg, wParam, lParam);
        return true;
      }
      {
        std::vector<PostedMessage> reports{{msg, wParam, lParam}};
        // The held ones on their way back first; those waiting in the queue are newer than
        // any held, and are taken along only once none is.
        while (TakeWaitingReports && reports.size() < kMostReportsInBatch) {
          if (const auto held = Deferral.TakeOnItsWay(kFirstReport, kLastReport)) {
            reports.push_back({held->msg, held->wParam, held->lParam});
            continue;
          }
          if (!Deferral.Idle()) break;
          const auto next = desktop_.TakePostedMessage(FormWindow, kFirstReport, kLastReport);
          if (!next) break;
          reports.push_back(*next);
        }
        if (OnReportsTaken) OnReportsTaken();
        HandleReports(reports);
      }
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
