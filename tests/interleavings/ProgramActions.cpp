// The programs' steps, the shell's restart, the options dialog and the menu's own loop, and
// what the actors' record keeps of them.
#include "interleavings/Play.h"

#include "shell/HookProtocol.h"

namespace cvl::test {

void Play::DoProgram(const Action& a) {
  sim::SimProgram& p = *owners[static_cast<std::size_t>(a.actor)];
  if (!desktop.IsWindow(p.Window())) return;  // dead until it is started again
  const std::string tip = "p" + std::to_string(a.actor) + " " + std::to_string(++changes_);
  const Hicon picture = 0x5000 + static_cast<Hicon>(changes_ % 4);
  const IconKey icon{a.actor, a.id};
  if (dialogOpen_) reached_.insert("options dialog during a burst");
  if (endings_ > 0) reached_.insert("session's end during a burst");
  switch (a.kind) {
    case Kind::Add:
      if (!p.AddIcon(a.id, tip, picture)) break;
      actors_.Gave(icon, p.Window(), tip, picture, panel->Visible);
      if (const bool unknown = unknownReturns_.erase(icon) != 0;
          returning_.erase(icon) && !unknown) {
        // Its first add since the dead taskbar held it: Corvalet takes it for its return.
        lastServedAdd_.erase(a.actor);
      } else if (hook->Serving()) {
        // Reported: a program the memory does not know may go where ApStyle says, once a
        // reading holds the icon; it must when Corvalet stays on (Check says when).
        everServed_.insert(a.actor);
        if (a.actor >= kRemembered && !actors_.chosen.count(a.actor))
          actors_.places[a.actor].insert(PlaceFromOption(s_.apStyle).value_or(IconPlace::Unplaced));
        if (actors_.minimizing) actors_.places[a.actor].insert(IconPlace::Tray);
        if (Serving() && !unknown)
          lastServedAdd_[a.actor] = {a.id, offs_, restarts_};
        else
          lastServedAdd_.erase(a.actor);
      } else {
        lastServedAdd_.erase(a.actor);
      }
      NoteAdd(icon);
      break;
    case Kind::Modify:
      if (p.ModifyIcon(a.id, tip, picture) && actors_.live.count(icon)) {
        actors_.Gave(icon, p.Window(), tip, picture, panel->Visible);
        if (panel->Visible) reached_.insert("panel open while its icons change");
      }
      break;
    case Kind::Balloon: {
      const std::size_t before = hook->Relayed.size();
      // Every third clears the icon's balloon.
      p.ShowBalloon(a.id, "t" + tip, changes_ % 3 == 0 ? "" : "b" + tip);
      if (hook->Relayed.size() > before)
        lastRelay_ = {hook->Relayed.back(),
                      a.actor,
                      desktop.Log.size(),
                      taskbar->BalloonsShown.size(),
                      offs_,
                      restarts_,
                      true};
      break;
    }
    case Kind::Hide: {
      const auto it = actors_.live.find(icon);
      const bool hidden = it == actors_.live.end() || !it->second.hiddenByProgram;
      if (p.SetHidden(a.id, hidden) && it != actors_.live.end())
        it->second.hiddenByProgram = hidden;
      break;
    }
    case Kind::Delete:
      if (p.DeleteIcon(a.id)) {
        actors_.live.erase(icon);
        removed_.insert(icon);
      }
      if (lastRelay_.program == a.actor) lastRelay_.standing = false;
      // A delete Corvalet is not told of leaves the icon returning for it.
      if (Serving()) {
        returning_.erase(icon);
        unknownReturns_.erase(icon);
      }
      break;
    case Kind::Die:
    case Kind::Restart:
      // Its icons stay in the tray, as the shell keeps a dead program's buttons.
      actors_.dead.insert(p.Window());
      std::erase_if(actors_.live, [&](const auto& i) { return i.first.first == a.actor; });
      lastServedAdd_.erase(a.actor);
      if (lastRelay_.program == a.actor) lastRelay_.standing = false;
      if (a.kind == Kind::Die)
        p.End();
      else
        p.Restart();
      break;
    default:
      break;
  }
}

// The options dialog during a burst: opened (a reading), a row selected, a place chosen or the
// icon moved, then OK (id 1) or Cancel; the others act between these steps.
void Play::DoOptions(const Action& a) {
  if (!actors_.On()) return;  // switched off, the dialog shows the last reading only
  TMainForm& f = corvalet->Form();
  f.Options1Click();
  dialogOpen_ = true;
  f.FormShow();
  scheduler_->AddNext(
      (*actors_ids_)[kUser], "picks in the options",
      [this, a] {
        if (endings_ > 0) return;  // the session is over
        TrayRegistry& r = Registry();
        struct Pick {
          int program;
          IconPlace place;
          bool several;  // the program had other icons the dialog's list or the tray held
        };
        std::optional<Pick> choice;
        if (const int rows = r.ListView1.RowCount(); rows > 0 && corvalet->Form().Dialog.Visible) {
          const int row = Choose("row", rows);
          for (int i = 0; i < rows; ++i) r.ListView1.SetSelected(i, i == row);
          // The user reads the row's tip: a program's icon, or one of Corvalet's own.
          const auto owner =
              actors_.tipOwner.find(r.ListView1.Rows[static_cast<std::size_t>(row)].Caption);
          const int op = Choose("options step", owner == actors_.tipOwner.end() ? 2 : 5);
          const IconPlace places[] = {IconPlace::Tray, IconPlace::Panel, IconPlace::Menu};
          if (op == 0) r.Placement.SpeedButton3Click();
          if (op == 1) r.Placement.SpeedButton4Click();
          if (op >= 2) {
            r.ListView1.CheckRadio(places[op - 2]);
            const int p = owner->second.first;
            // The memory took its place from all the rows then listed, gone icons' rows too.
            int icons = 0, listed = 0;
            for (const auto& [icon, facts] : actors_.live) icons += icon.first == p;
            for (const ListRow& row : r.ListView1.Rows) {
              const auto o = actors_.tipOwner.find(row.Caption);
              listed += o != actors_.tipOwner.end() && o->second.first == p;
            }
            choice = Pick{p, places[op - 2], icons > 1 || listed > 1};
          }
        }
        scheduler_->AddNext((*actors_ids_)[kUser], a.id == 1 ? "presses OK" : "presses Cancel",
                            [this, a, choice] {
                              dialogOpen_ = false;
                              if (endings_ > 0) {
                                // The pick changed the memory at once: a new icon's save before
                                // the end wrote it.
                                if (choice) actors_.places[choice->program].insert(choice->place);
                                return;
                              }
                              if (a.id == 1) {
                                corvalet->Form().Button3Click();
                              } else {
                                corvalet->Form().Button2Click();
                              }
                              if (!choice) return;
                              auto& places = actors_.places[choice->program];
                              // One icon's place of a program with several, at the pick or now:
                              // the memory takes the place of its last icon in the list. A
                              // program whose icon went while the dialog showed it may keep its
                              // place.
                              int icons = 0;
                              for (const auto& [icon, facts] : actors_.live)
                                icons += icon.first == choice->program;
                              // A restart or switching on, asked for before (and run at any
                              // time until now), reads the file again: the choice may be gone.
                              if (a.id == 1 && !actors_.minimizing && icons == 1 &&
                                  !choice->several && actors_.restartRequests + toggled_ == 0) {
                                places = {choice->place};  // written at once
                                actors_.chosen.insert(choice->program);
                              } else {
                                // In memory only: the next new icon writes it, the next opening
                                // reads the file again.
                                places.insert(choice->place);
                              }
                            },
                            true);
      },
      true);
}

// "TaskbarCreated" goes out with SendNotifyMessage: a sent message, which no full queue of
// posted ones refuses.
void Play::Announce() {
  const std::size_t limit = desktop.PostedQueueLimit;
  desktop.PostedQueueLimit = 0;
  desktop.PostMessageA(corvalet->Host().window, desktop.RegisterWindowMessageA("TaskbarCreated"), 0,
                       0);
  desktop.PostedQueueLimit = limit;
}

// A new taskbar with an empty tray: the programs put their icons back when they hear of it.
void Play::ShellRestart() {
  restarted_ = true;
  ++restarts_;
  if (folds_ > 0) reached_.insert("fold across a shell restart");
  for (const Hwnd w : windows_)
    if (!desktop.Window(w)->visible) reached_.insert("minimizer's icons across a restart");
  ++actors_.restartRequests;
  actors_.folded = false;  // the new taskbar has no button near the clock yet
  for (std::size_t p = 0; p < owners.size(); ++p)
    shellDied_[static_cast<int>(p)].insert(owners[p]->Received.size());
  taskbar.reset();
  taskbar = std::make_unique<sim::SimTaskbar>(desktop, s_.treeCode);
  hook->ShellRestarted(*taskbar);
  Announce();
  // The icons stand in no tray until their programs add them again.
  std::map<IconKey, IconFacts> held;
  held.swap(actors_.live);
  for (auto& [icon, facts] : held) {
    facts.hiddenByProgram = false;  // the program adds it again as it first did
    heldFacts_[icon] = facts;
    returning_.insert(icon);
    if (unread_.count(icon))
      unknownReturns_.insert(icon);
    else
      unknownReturns_.erase(icon);
    const auto [program, id] = icon;
    if (!actors_ids_->count(program))
      (*actors_ids_)[program] = scheduler_->AddActor("p" + std::to_string(program));
    scheduler_->AddNext(
        (*actors_ids_)[program], "adds its icon again " + std::to_string(id), [this, program, id] {
          sim::SimProgram& p = *owners[static_cast<std::size_t>(program)];
          const std::string tip = "p" + std::to_string(program) + " back " + std::to_string(id);
          if (desktop.IsWindow(p.Window()) && p.AddIcon(id, tip, 0x5000)) {
            NoteAdd({program, id});
            returning_.erase({program, id});
            unknownReturns_.erase({program, id});
            returned_.insert(program);
            // The same icon: what it showed before may still stand in a view until a reading.
            if (const auto kept = heldFacts_.find({program, id}); kept != heldFacts_.end())
              actors_.live[{program, id}] = kept->second;
            // Corvalet may take an add that comes back before it knows of the new taskbar
            // for a new icon.
            if (program >= kRemembered && !actors_.chosen.count(program))
              actors_.places[program].insert(
                  PlaceFromOption(s_.apStyle).value_or(IconPlace::Unplaced));
            actors_.Gave({program, id}, p.Window(), tip, 0x5000, panel->Visible);
          }
        });
  }
}

// The menu's own loop: the others go on, its messages are dispatched, then the user chooses.
void Play::InsideMenu(const TrayMenu& shown) {
  // What the last menu chose runs before another menu opens.
  for (const Choice& c : chosen_)
    if (!actors_.dead.count(c.owner) && !ClickedSince(c, c.from))
      failures_ << "a menu opened before the chosen " << c.tip << " ran\n";
  // The session's end told before the menu opened and still waiting, or come while it is
  // open, comes before whatever the user picks in it.
  const bool endFirst = desktop.Waiting(corvalet->Host().window, kWmEndSession);
  const int endings = endings_;
  if (scheduler_) scheduler_->RunSome(Choose("lets in", 3));
  Pump();
  corvalet->MenuChoice.reset();
  std::vector<int> entries, enabled;
  for (int i = 0; i < shown.Count(); ++i) {
    const MenuItem& item = shown.Items[static_cast<std::size_t>(i)];
    if (item.Tag >= 0) entries.push_back(i);
    if (item.Name == "Enabled1") enabled.push_back(i);
  }
  const int pick = Choose("menu pick", 4);
  if (pick < 2 && !entries.empty()) {
    // The user takes the entry by the tip it shows: the icon that had that tip.
    const int at =
        entries[static_cast<std::size_t>(Choose("entry", static_cast<int>(entries.size())))];
    const auto owner = actors_.tipOwner.find(shown.Items[static_cast<std::size_t>(at)].Caption);
    corvalet->MenuChoice = at;
    if (owner != actors_.tipOwner.end())
      chosen_.push_back(
          {owner->second, actors_.tipWindow[owner->first], owner->first, desktop.Log.size()});
  } else if (pick >= 2 && s_.toggles && !enabled.empty()) {
    corvalet->MenuChoice = enabled.front();
    ++toggled_;
    actors_.enabled = !actors_.enabled;
    if (actors_.enabled && !endFirst && endings_ == endings) actors_.sessionEnded = false;
  }
}

std::size_t Play::ClickedSince(const Choice& c, std::size_t from) const {
  for (std::size_t i = from; i < desktop.Log.size(); ++i) {
    const sim::MessageRecord& m = desktop.Log[i];
    if (m.window == c.owner && m.msg == sim::kOwnerCallback && m.wParam == c.icon.second) return i;
  }
  return 0;
}

void Play::Quiet() {
  for (int round = 0; round < 40; ++round) {
    for (int i = 0; i < 50 && desktop.QueueLength() > 0; ++i) Pump();
    hook->Tick();
    desktop.RetryWatchPosts();  // the watcher's thread tries a refused post again
    corvalet->Form().RetryTimerTimer();
    desktop.AdvanceTime(300);
    if (desktop.QueueLength() == 0 && hook->Marked() == 0) return;
  }
  failures_ << "never quiet: " << desktop.QueueLength() << " waiting\n";
}

}  // namespace cvl::test
