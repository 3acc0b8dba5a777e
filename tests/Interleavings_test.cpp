// Programs, the shell and the user act at the same moment. A seeded scheduler runs their steps
// at every point where Windows could switch between processes, and once everything is quiet
// the invariants below hold for every seed. A failing seed is shrunk to the fewest steps that
// still fail and printed with its trace; such a seed becomes a named case at the end.
//   CVL_SEEDS=N runs N seeds (CVL_FIRST_SEED the first); CVL_TRACE=1 prints every trace.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "World.h"
#include "minimizer/HotKey.h"
#include "shell/HookProtocol.h"
#include "sim/SimScheduler.h"

namespace cvl::test {
namespace {

constexpr std::uint32_t kVkF9 = 0x78;
constexpr std::int32_t kCtrlAltF9 = ((kHotKeyfControl | kHotKeyfAlt) << 8) | kVkF9;
constexpr int kRemembered = 3;  // programs 0, 1 and 2 are in the panel, menu and tray memories
const char* const kSections[] = {"Panel items", "Menu items", "Tray items"};

enum class Kind {
  // a program
  Add,
  Modify,
  Delete,
  Die,
  Restart,
  // the user and Corvalet's timers
  RightClick,
  Hover,
  HintTimer,
  PanelTimer,
  MinClick,
  Shift,
  RefuseIcons,
  // the shell
  Broadcast,
  ShellRestart,
  Stall,
  HookTick,
  Unanswered,
  // icons as their programs mean them
  Balloon,
  Hide,
  BalloonClick,
  BalloonTimeout,
};
const char* const kKindNames[] = {"add",
                                  "modify",
                                  "delete",
                                  "dies",
                                  "restarts",
                                  "right click",
                                  "hover",
                                  "hint timer",
                                  "panel timer",
                                  "minimize",
                                  "shift key",
                                  "refuse icons",
                                  "TaskbarCreated",
                                  "shell restart",
                                  "stall",
                                  "hook timer",
                                  "answers nothing",
                                  "balloon",
                                  "hides or shows",
                                  "clicks the balloon",
                                  "balloon times out"};

struct Action {
  int actor;  // a program's index; kUser or kShell
  Kind kind;
  std::uint32_t id;
};
constexpr int kUser = -1;
constexpr int kShell = -2;

struct Scenario {
  std::uint32_t seed = 0;
  int programs = 4;
  int treeCode = 90;
  int apStyle = 2;
  std::size_t queueLimit = 0;
  sim::SimHook::Answer answer = sim::SimHook::Answer::Batched;
  int switchPercent = 30;
  bool toggles = false;      // the user may switch Corvalet off and on from the menu
  bool hiddenIcons = false;  // balloons, icons their programs hide, programs that die
  std::vector<Action> actions;
};

std::string Describe(const Action& a) {
  std::string who = a.actor == kUser    ? "user"
                    : a.actor == kShell ? "shell"
                                        : "p" + std::to_string(a.actor);
  return who + " " + kKindNames[static_cast<int>(a.kind)] + " " + std::to_string(a.id);
}

// Balloons, hiding and dying, put among a scenario's steps; from a stream of their own, so that
// the seeds kept below play as they did when they found their faults.
void AddHiddenIcons(Scenario& s) {
  std::mt19937 r(s.seed ^ 0x9E3779B9u);
  if (r() % 2 == 0) return;
  s.hiddenIcons = true;
  const int extra = 2 + static_cast<int>(r() % 10);
  for (int i = 0; i < extra; ++i) {
    const int p = static_cast<int>(r() % static_cast<unsigned>(s.programs));
    const std::uint32_t id = 1 + r() % 2;
    const Action options[] = {{p, Kind::Balloon, id},
                              {p, Kind::Balloon, id},
                              {p, Kind::Hide, id},
                              {p, Kind::Die, id},
                              {p, Kind::Add, id},
                              {kUser, Kind::BalloonClick, id},
                              {kShell, Kind::BalloonTimeout, id}};
    const auto at = s.actions.begin() + static_cast<std::ptrdiff_t>(r() % (s.actions.size() + 1));
    s.actions.insert(at, options[r() % 7]);
  }
}

Scenario Generate(std::uint32_t seed, bool hiddenIcons = true) {
  std::mt19937 r(seed);
  Scenario s;
  s.seed = seed;
  s.programs = 3 + static_cast<int>(r() % 4);
  s.treeCode = r() % 4 == 0 ? 80 : 90;
  s.apStyle = 1 + static_cast<int>(r() % 3);
  const sim::SimHook::Answer answers[] = {sim::SimHook::Answer::Batched,
                                          sim::SimHook::Answer::PostedAfterBegin,
                                          sim::SimHook::Answer::Sent};
  s.answer = answers[r() % 3];
  // A full queue; never one too small for a posted answer, which no reading could get past.
  s.queueLimit = r() % 2 == 0 ? 2 + r() % (r() % 2 ? 6 : 24) : 0;
  if (s.answer == sim::SimHook::Answer::PostedAfterBegin) s.queueLimit = 0;
  s.switchPercent = 10 + static_cast<int>(r() % 60);
  s.toggles = r() % 3 == 0;
  const bool userActs = r() % 2 == 0, shellActs = r() % 3 == 0, dies = r() % 3 == 0;
  const int steps = 4 + static_cast<int>(r() % 40);
  for (int i = 0; i < steps; ++i) {
    const int p = static_cast<int>(r() % static_cast<unsigned>(s.programs));
    const std::uint32_t id = 1 + r() % 2;
    const unsigned pick = r() % 20;
    if (userActs && pick < (s.toggles ? 7u : 4u)) {
      const Kind user[] = {Kind::RightClick, Kind::RightClick, Kind::Hover, Kind::HintTimer,
                           Kind::PanelTimer, Kind::MinClick,   Kind::Shift, Kind::RefuseIcons};
      s.actions.push_back({kUser, user[r() % 8], id});
    } else if (shellActs && pick == 4) {
      const Kind shell[] = {Kind::Broadcast, Kind::ShellRestart, Kind::Stall, Kind::HookTick,
                            Kind::Unanswered};
      s.actions.push_back({kShell, shell[r() % 5], id});
    } else if (dies && pick == 5) {
      s.actions.push_back({p, r() % 2 ? Kind::Die : Kind::Restart, id});
    } else {
      const Kind change[] = {Kind::Add, Kind::Add, Kind::Modify, Kind::Delete};
      s.actions.push_back({p, change[r() % 4], id});
    }
  }
  if (hiddenIcons) AddHiddenIcons(s);
  return s;
}

// A scenario played out, and what its invariants found.
class Play : public World {
 public:
  std::vector<sim::SimProgram*> owners;
  // What the shell took from the programs, in its order: the reference replays it.
  struct Call {
    int program;
    Kind kind;
    std::uint32_t id;
    std::string tip;
  };
  std::vector<Call> calls;
  bool restarted = false;  // a real shell restart happened
  int toggled = 0;         // Enabled chosen in the menu

  explicit Play(const Scenario& s) : World(s.treeCode, true), s_(s) {
    std::string ini = "[Common]\r\nApStyle=" + std::to_string(s.apStyle) +
                      "\r\n[MinOptions]\r\nHotKey=" + std::to_string(kCtrlAltF9) + "\r\n";
    for (int i = 0; i < kRemembered; ++i)
      ini += std::string("[") + kSections[i] + "]\r\nCount=1\r\nIM_0=" + Path(i) + "\r\nID_0=W" +
             std::to_string(i) + "\r\n";
    SetIni(ini);
    for (int i = 0; i < s.programs; ++i)
      owners.push_back(&Program(Path(i), "W" + std::to_string(i)));
    owners[0]->AddIcon(1, "p0 first");  // one remembered and one new icon before the start
    owners[static_cast<std::size_t>(s.programs - 1)]->AddIcon(1, "last first");
    live_.insert({0, 1});
    live_.insert({s.programs - 1, 1});
    editor_ = &Program("C:\\Apps\\editor.exe", "EditorWnd");
    for (int i = 0; i < 2; ++i) {
      windows_[i] =
          desktop.CreateWindow("EditorWnd", "Doc " + std::to_string(i), 0, editor_->ProcessId());
      desktop.Window(windows_[i])->rect = {200, 150, 600, 450};
      desktop.ShowWindow(windows_[i], kSwShow);
    }
    EXPECT_TRUE(corvalet->Start());
    Quiet();
    atomsAtStart_ = desktop.AtomCount();
    logSeen_ = desktop.Log.size();
    desktop.HomeProcess = corvalet->ProcessId();
    desktop.PostedQueueLimit = s.queueLimit;
    hook->AnswerMode = s.answer;
    corvalet->InsideMenu = [this](const TrayMenu& shown) { InsideMenu(shown); };
  }

  static std::string Path(int i) { return "C:\\Apps\\p" + std::to_string(i) + ".exe"; }

  // Runs the scenario with its scheduler; the failures, one a line, empty when all held.
  std::string Go(std::vector<std::string>* trace) {
    {
      sim::SimScheduler scheduler(desktop, s_.seed);
      scheduler_ = &scheduler;
      scheduler.SwitchPercent = s_.switchPercent;
      std::map<int, int> actors;
      for (const Action& a : s_.actions) {
        if (!actors.count(a.actor)) actors[a.actor] = scheduler.AddActor(Name(a.actor));
        const bool own = a.kind == Kind::HintTimer || a.kind == Kind::PanelTimer;
        scheduler.Add(
            actors[a.actor], Describe(a), [this, a] { Do(a); }, own);
      }
      actors_ = &actors;
      scheduler.Run([this] { Pump(); });
      Quiet();
      if (trace) *trace = scheduler.Trace;
      scheduler_ = nullptr;
    }
    Check();
    if (!restarted && toggled == 0) CompareWithOneAtATime();
    corvalet->Exit();
    CheckExit();
    return failures_.str();
  }

  // The same calls, each handled to the end before the shell takes the next.
  void Replay(const std::vector<Call>& taken) {
    for (const Call& c : taken) {
      sim::SimProgram& p = *owners[static_cast<std::size_t>(c.program)];
      if (c.kind == Kind::Add) p.AddIcon(c.id, c.tip, 0x5000);
      if (c.kind == Kind::Modify) p.ModifyIcon(c.id, c.tip, 0x5000);
      if (c.kind == Kind::Delete) p.DeleteIcon(c.id);
      if (c.kind == Kind::Die) p.End();
      if (c.kind == Kind::Restart) p.Restart();
      Quiet();
    }
  }

 private:
  std::string Name(int actor) {
    return actor == kUser ? "user" : actor == kShell ? "shell" : "p" + std::to_string(actor);
  }
  bool Serving() { return hook->Serving() && corvalet->Form().Options().Enabled; }

  // Counts each time Corvalet went off: a report on its way then is not one to place.
  void Observe() {
    // Every switch off, however quickly switched on again: an add marked meanwhile is not told.
    int offs = offs_;
    for (; logSeen_ < desktop.Log.size(); ++logSeen_)
      offs += desktop.Log[logSeen_].msg == THM_HOOKSWITCH &&
              static_cast<std::uint32_t>(desktop.Log[logSeen_].lParam) == THM_OFF;
    if (offs != offs_) {
      offs_ = offs;
      // What is remembered stays so; a program not yet is placed only by an add told later.
      for (std::size_t p = kRemembered; p < owners.size(); ++p) {
        int copies = 0;
        Remembered(static_cast<int>(p), &copies);
        if (copies > 0) mayBeRemembered_.insert(static_cast<int>(p));
      }
      for (const int p : servedSinceOff_) mayBeRemembered_.insert(p);
      servedSinceOff_.clear();
    }
  }

  void Do(const Action& a) {
    Observe();
    if (a.actor >= 0) return DoProgram(a);
    const Hwnd form = corvalet->Host().window;
    switch (a.kind) {
      case Kind::RightClick:
        desktop.PostMessageA(form, kOwnIconCallback, kOwnIconId, kWmRButtonUp);
        break;
      case Kind::Hover:
        desktop.PostMessageA(form, kOwnIconCallback, kOwnIconId, kWmMouseMove);
        break;
      case Kind::HintTimer:
        desktop.SetCursor({0, 0});
        if (corvalet->Form().HintTimerEnabled()) corvalet->Form().HintTimerTimer();
        break;
      case Kind::PanelTimer:
        if (panel->Timer1Enabled) panel->Timer1Timer();
        break;
      case Kind::MinClick:
        desktop.SetCursor({550, 163});
        desktop.PostMessageA(form, THM_MINBUTTONRCLICK, 0, static_cast<LParam>(windows_[a.id - 1]));
        break;
      case Kind::Shift:
        desktop.PressKey(kModControl | kModAlt | kModShift, kVkF9);
        break;
      case Kind::RefuseIcons:
        desktop.RefuseIcons = !desktop.RefuseIcons;
        refused_ = true;  // Corvalet's own icon may be gone, and a balloon with it
        break;
      case Kind::Broadcast:
        broadcast_ = true;
        Announce();
        break;
      case Kind::ShellRestart:
        ShellRestart();
        break;
      case Kind::Stall:
        // Longer than a command's bound: what is sent meanwhile is kept and sent again.
        desktop.StallProcess(taskbar->ProcessId(), 2000 + kHookAnswerTimeoutMs * a.id);
        break;
      case Kind::HookTick:
        hook->Tick();
        desktop.RetryWatchPosts();
        break;
      case Kind::BalloonClick:
      case Kind::BalloonTimeout:
        if (const auto& b = taskbar->Balloon()) {
          const auto& relayed = corvalet->Form().Balloons().Current();
          // Only the last balloon relayed: one still on its way may take this one down first.
          if (a.kind == Kind::BalloonClick && b->owner == corvalet->Host().window && relayed &&
              relayed->number == hook->Relayed.back().number)
            clicks_.push_back({*relayed, hook->Relayed.size()});
          taskbar->EndBalloon(a.kind == Kind::BalloonClick);
        }
        break;
      case Kind::Unanswered:
        // Requests go unanswered, or answered without their end, until the shell's next step.
        hook->AnswerMode = a.id == 1 ? sim::SimHook::Answer::Never : sim::SimHook::Answer::NoEnd;
        scheduler_->AddNext((*actors_)[kShell], "answers again",
                            [this] { hook->AnswerMode = s_.answer; });
        break;
      default:
        break;
    }
  }

  void DoProgram(const Action& a) {
    sim::SimProgram& p = *owners[static_cast<std::size_t>(a.actor)];
    if (!desktop.IsWindow(p.Window())) return;  // dead until it is started again
    const std::string tip = "p" + std::to_string(a.actor) + " " + std::to_string(++changes_);
    bool took = false;
    switch (a.kind) {
      case Kind::Add:
        took = p.AddIcon(a.id, tip, 0x5000 + changes_ % 4);
        if (took && returning_.erase({a.actor, a.id})) {
          // Its first add since the dead taskbar held it: Corvalet takes it for its return.
          live_.insert({a.actor, a.id});
          lastServedAdd_.erase(a.actor);
        } else if (took) {
          live_.insert({a.actor, a.id});
          // A new program's icon must be placed by ApStyle when the add was reported to a
          // Corvalet that stayed on.
          if (Serving()) servedSinceOff_.insert(a.actor);
          if (Serving())
            lastServedAdd_[a.actor] = {a.id, offs_, restarts_};
          else
            lastServedAdd_.erase(a.actor);
        }
        break;
      case Kind::Modify:
        took = p.ModifyIcon(a.id, tip, 0x5000 + changes_ % 4);
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
        const bool hidden = !programHidden_.count({a.actor, a.id});
        if (p.SetHidden(a.id, hidden)) {
          if (hidden)
            programHidden_.insert({a.actor, a.id});
          else
            programHidden_.erase({a.actor, a.id});
        }
        break;
      }
      case Kind::Delete:
        took = p.DeleteIcon(a.id);
        if (took) live_.erase({a.actor, a.id});
        if (took) programHidden_.erase({a.actor, a.id});
        if (lastRelay_.program == a.actor) lastRelay_.standing = false;
        // A delete Corvalet is not told of leaves the icon returning for it.
        if (Serving()) returning_.erase({a.actor, a.id});
        if (took) transient_.insert(a.actor);
        break;
      case Kind::Die:
      case Kind::Restart:
        // Its icons stay in the tray, as the shell keeps a dead program's buttons.
        dead_.insert(p.Window());
        transient_.insert(a.actor);
        for (auto it = live_.begin(); it != live_.end();)
          it = it->first == a.actor ? live_.erase(it) : std::next(it);
        lastServedAdd_.erase(a.actor);
        if (lastRelay_.program == a.actor) lastRelay_.standing = false;
        std::erase_if(programHidden_, [&](const auto& icon) { return icon.first == a.actor; });
        if (a.kind == Kind::Die)
          p.End();
        else
          p.Restart();
        took = true;
        break;
      default:
        break;
    }
    if (took) calls.push_back({a.actor, a.kind, a.id, tip});
  }

  // "TaskbarCreated" goes out with SendNotifyMessage: a sent message, which no full queue of
  // posted ones refuses.
  void Announce() {
    const std::size_t limit = desktop.PostedQueueLimit;
    desktop.PostedQueueLimit = 0;
    desktop.PostMessageA(corvalet->Host().window, desktop.RegisterWindowMessageA("TaskbarCreated"),
                         0, 0);
    desktop.PostedQueueLimit = limit;
  }

  // A new taskbar with an empty tray: the programs put their icons back when they hear of it.
  void ShellRestart() {
    restarted = true;
    ++restarts_;
    taskbar.reset();
    taskbar = std::make_unique<sim::SimTaskbar>(desktop, s_.treeCode);
    hook->ShellRestarted(*taskbar);
    Announce();
    returning_.insert(live_.begin(), live_.end());
    for (const auto& [program, id] : live_) {
      if (!actors_->count(program)) (*actors_)[program] = scheduler_->AddActor(Name(program));
      scheduler_->AddNext((*actors_)[program], "adds its icon again " + std::to_string(id),
                          [this, program, id] {
                            sim::SimProgram& p = *owners[static_cast<std::size_t>(program)];
                            if (desktop.IsWindow(p.Window()) &&
                                p.AddIcon(id, "p" + std::to_string(program) + " back", 0x5000))
                              returning_.erase({program, id});
                          });
    }
  }

  // The menu's own loop: the others go on, its messages are dispatched, then the user chooses.
  void InsideMenu(const TrayMenu& shown) {
    const std::vector<TIconInfo> listed(Registry().MenuList.begin(), Registry().MenuList.end());
    // What the last menu chose runs before another menu opens.
    for (const auto& [record, from] : chosen_)
      if (!dead_.count(record.hWnd) && !ClickedSince(record, from))
        failures_ << "a menu opened before the chosen " << record.TipText << " ran\n";
    std::mt19937& r = scheduler_ ? scheduler_->Random() : fallback_;
    if (scheduler_) scheduler_->RunSome(static_cast<int>(r() % 3));
    Pump();
    corvalet->MenuChoice.reset();
    std::vector<int> entries, enabled;
    for (int i = 0; i < shown.Count(); ++i) {
      const MenuItem& item = shown.Items[static_cast<std::size_t>(i)];
      if (item.Tag >= 0) entries.push_back(i);
      if (item.Name == "Enabled1") enabled.push_back(i);
    }
    const unsigned pick = r() % 4;
    if (pick < 2 && !entries.empty()) {
      const int at = entries[r() % entries.size()];
      const int tag = shown.Items[static_cast<std::size_t>(at)].Tag;
      if (tag < static_cast<int>(listed.size())) {
        corvalet->MenuChoice = at;
        chosen_.push_back({listed[static_cast<std::size_t>(tag)], desktop.Log.size()});
      }
    } else if (pick >= 2 && s_.toggles && !enabled.empty()) {
      corvalet->MenuChoice = enabled.front();
      ++toggled;
    }
  }

  std::size_t ClickedSince(const TIconInfo& record, std::size_t from) const {
    for (std::size_t i = from; i < desktop.Log.size(); ++i) {
      const sim::MessageRecord& m = desktop.Log[i];
      if (m.window == record.hWnd && m.msg == record.uCallbackMessage && m.wParam == record.uID)
        return i;
    }
    return 0;
  }

  void Quiet() {
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

  IconPlace Remembered(int program, int* copies) {
    const std::string path = Path(program), cls = "W" + std::to_string(program);
    IconPlace place = IconPlace::Unplaced;
    const IconPlace places[] = {IconPlace::Panel, IconPlace::Menu, IconPlace::Tray};
    *copies = 0;
    for (int s = 0; s < 3; ++s) {
      const int count = std::atoi(IniValue(kSections[s], "Count").c_str());
      for (int i = 0; i < count; ++i)
        if (IniValue(kSections[s], "IM_" + std::to_string(i)) == path &&
            IniValue(kSections[s], "ID_" + std::to_string(i)) == cls) {
          place = places[s];
          ++*copies;
        }
    }
    return place;
  }

  void Check() {
    Observe();
    TrayRegistry& reg = Registry();
    const bool on = corvalet->Form().Options().Enabled;
    // (a) every live icon where the memory says; a new program where ApStyle says, once.
    for (std::size_t p = 0; p < owners.size(); ++p) {
      int copies = 0;
      const IconPlace remembered = Remembered(static_cast<int>(p), &copies);
      if (copies > 1) failures_ << "p" << p << " remembered " << copies << " times\n";
      if (copies > 0 && p >= kRemembered && !servedSinceOff_.count(static_cast<int>(p)) &&
          !mayBeRemembered_.count(static_cast<int>(p)))
        failures_ << "p" << p << " remembered, though Corvalet was told of no add of it\n";
      const auto served = lastServedAdd_.find(static_cast<int>(p));
      // An icon added and gone before a reading held it is never placed; its program is placed
      // when an icon of it that a reading holds is added.
      const bool mustBeNew = static_cast<int>(p) >= kRemembered && served != lastServedAdd_.end() &&
                             live_.count({static_cast<int>(p), served->second.id}) &&
                             served->second.offs == offs_ && served->second.restarts == restarts_;
      for (const TIconInfo& icon : reg.AllIcons) {
        if (icon.hWnd != owners[p]->Window() || !on) continue;
        if (icon.Place != remembered)
          failures_ << "p" << p << ":" << icon.uID << " sits at " << static_cast<int>(icon.Place)
                    << ", remembered at " << static_cast<int>(remembered) << "\n";
      }
      bool shown = false;
      for (const auto& b : taskbar->Buttons()) shown |= b.owner == owners[p]->Window();
      if (mustBeNew && shown && on &&
          remembered != PlaceFromOption(s_.apStyle).value_or(IconPlace::Unplaced))
        failures_ << "new program p" << p << " not placed by ApStyle " << s_.apStyle << "\n";
    }
    // (b) the hidden buttons are exactly the panel's and the menu's icons and the ones their
    // programs hid; the panel and the menu leave the latter out.
    for (const auto& b : taskbar->Buttons()) {
      bool placed = false, listed = false;
      for (const TIconList* list : {&reg.PanelList, &reg.MenuList})
        for (const TIconInfo& i : *list) listed |= i.hWnd == b.owner && i.uID == b.uID;
      for (const TIconInfo& i : reg.AllIcons)
        placed |= i.hWnd == b.owner && i.uID == b.uID &&
                  (i.Place == IconPlace::Panel || i.Place == IconPlace::Menu);
      if (b.hidden != (b.programHidden || (placed && on)))
        failures_ << "button " << b.tip << (b.hidden ? " hidden" : " shown") << " but "
                  << (placed ? "placed" : "not placed")
                  << (b.programHidden ? ", hidden by its program" : "") << "\n";
      if (listed != (placed && on && !b.programHidden))
        failures_ << "button " << b.tip << (listed ? " listed" : " not listed")
                  << " in the panel or menu\n";
    }
    // (h) no dead program's icon in the lists or the tray.
    for (const Hwnd w : dead_) {
      if (!on || desktop.IsWindow(w)) continue;
      for (const auto& b : taskbar->Buttons())
        if (b.owner == w) failures_ << "the dead " << b.tip << " is still in the tray\n";
      for (const TIconInfo& i : reg.AllIcons)
        if (i.hWnd == w) failures_ << "the dead " << i.TipText << " is still listed\n";
    }
    if (!s_.queueLimit) CheckBalloons(on);
    // (c) the panel's cells and the menu's entries are the lists'.
    if (panel->IconCells.size() != static_cast<std::size_t>(reg.PanelList.Count()))
      failures_ << "panel shows " << panel->IconCells.size() << " cells for "
                << reg.PanelList.Count() << "\n";
    int entries = 0;
    for (const MenuItem& m : corvalet->Form().RxPopupMenu1.Items) {
      if (m.Tag < 0) continue;
      ++entries;
      if (m.Tag >= reg.MenuList.Count() || reg.MenuList[m.Tag].TipText != m.Caption)
        failures_ << "menu entry " << m.Caption << " is not its record\n";
    }
    if (entries != reg.MenuList.Count())
      failures_ << "menu lists " << entries << " for " << reg.MenuList.Count() << "\n";
    // (d) no tip's atom is left.
    if (desktop.AtomCount() != atomsAtStart_)
      failures_ << desktop.AtomCount() - atomsAtStart_ << " atoms left\n";
    // (f) each choice ran the entry it showed, before any reading that came after the menu.
    for (const auto& [record, from] : chosen_) {
      if (dead_.count(record.hWnd)) continue;
      std::size_t clicked = 0, read = 0;
      for (std::size_t i = from; i < desktop.Log.size(); ++i) {
        const sim::MessageRecord& m = desktop.Log[i];
        if (!clicked && m.window == record.hWnd && m.msg == record.uCallbackMessage &&
            m.wParam == record.uID)
          clicked = i;
        if (!read && m.msg == THM_ENUMREQUEST) read = i;
      }
      if (!clicked) failures_ << "the chosen " << record.TipText << " was never clicked\n";
      // A restart or a switch reads the tray of its own, after a refresh a menu may open in.
      else if (read && read < clicked && !restarted && !broadcast_ && toggled == 0)
        failures_ << "the tray was read before the chosen " << record.TipText << " ran\n";
    }
    // Each press of the way back brings back one hidden window, however they went.
    if (on) {
      int hidden = 0;
      for (const Hwnd w : windows_) hidden += !desktop.Window(w)->visible;
      for (int i = 0; i < hidden; ++i) {
        desktop.PressKey(kModControl | kModAlt | kModShift, kVkF9);
        Quiet();
      }
      for (const Hwnd w : windows_)
        if (!desktop.Window(w)->visible) failures_ << "window " << w << " did not come back\n";
    }
    // The hook serves exactly while Corvalet is on.
    if (hook->Serving() != on)
      failures_ << "hook serving " << hook->Serving() << ", on " << on << "\n";
    if (on != ((toggled % 2) == 0))
      failures_ << "Enabled chosen " << toggled << " times, on " << on << "\n";
  }

  // (e) the memory of every program with an icon at the end is what handling each call on its
  // own gives. Not byte for byte: the order of the entries differs where a program's first icon
  // went before a reading held it, and such a program is placed only when a reading holds one.
  void CompareWithOneAtATime() {
    Scenario none = s_;
    none.actions.clear();
    Play reference(none);
    reference.Replay(calls);
    for (std::size_t p = 0; p < owners.size(); ++p) {
      bool alive = false;
      for (const auto& [program, id] : live_) alive |= program == static_cast<int>(p);
      if (!alive || transient_.count(static_cast<int>(p))) continue;
      int copies = 0, copiesThere = 0;
      const IconPlace here = Remembered(static_cast<int>(p), &copies);
      const IconPlace there = reference.Remembered(static_cast<int>(p), &copiesThere);
      if (here != there)
        failures_ << "p" << p << " remembered at " << static_cast<int>(here)
                  << "; one at a time at " << static_cast<int>(there) << "\n";
    }
  }

  // (k) the balloon messages each program got make sense: a show, then one end. The last
  // balloon of a hidden icon went to Corvalet's icon, and its program was told it showed,
  // once; a click on a balloon there reached the program whose balloon it was.
  void CheckBalloons(bool on) {
    for (std::size_t p = 0; p < owners.size(); ++p) {
      std::map<std::uint32_t, bool> showing;  // by icon
      for (const auto& m : owners[p]->Received) {
        if (m.msg != sim::kOwnerCallback || m.lParam < static_cast<LParam>(kNinBalloonShow) ||
            m.lParam > static_cast<LParam>(kNinBalloonUserClick))
          continue;
        const bool show = m.lParam == static_cast<LParam>(kNinBalloonShow);
        if (show == showing[m.wParam])
          failures_ << "p" << p << ":" << m.wParam << " told " << std::hex << m.lParam << std::dec
                    << (show ? " while its balloon showed\n" : " with no balloon shown\n");
        showing[m.wParam] = show;
      }
    }
    const Relay& last = lastRelay_;
    if (last.standing && on && last.record.szInfo[0] != '\0' && last.offs == offs_ &&
        last.restarts == restarts_ && !broadcast_ && !refused_) {
      bool atOwnIcon = false;
      for (std::size_t i = last.shownAt; i < taskbar->BalloonsShown.size(); ++i)
        atOwnIcon |= taskbar->BalloonsShown[i].owner == corvalet->Host().window &&
                     taskbar->BalloonsShown[i].text == last.record.szInfo;
      if (!atOwnIcon) failures_ << "the balloon " << last.record.szInfo << " never showed\n";
      int shows = 0;
      const auto& got = owners[static_cast<std::size_t>(last.program)]->Received;
      for (std::size_t i = 0; i < got.size(); ++i)
        shows += got[i].msg == sim::kOwnerCallback && got[i].wParam == last.record.uID &&
                 got[i].lParam == static_cast<LParam>(kNinBalloonShow);
      if (atOwnIcon && shows == 0)
        failures_ << "p" << last.program << " was never told its balloon showed\n";
    }
    for (const auto& [record, relayedThen] : clicks_) {
      // Replaced while the click came, or gone with its icon or Corvalet's.
      if (hook->Relayed.size() != relayedThen || refused_) continue;
      for (std::size_t p = 0; p < owners.size(); ++p) {
        if (owners[p]->Window() != record.owner || !live_.count({static_cast<int>(p), record.uID}))
          continue;
        bool told = false;
        for (const auto& m : owners[p]->Received)
          told |= m.msg == sim::kOwnerCallback && m.wParam == record.uID &&
                  m.lParam == static_cast<LParam>(kNinBalloonUserClick);
        if (!told) failures_ << "the click on " << record.szInfo << " never reached p" << p << "\n";
      }
    }
  }

  void CheckExit() {
    // (g) exit gives every button, the clock and every hidden window back; never one its
    // program hid.
    for (const auto& b : taskbar->Buttons())
      if (b.hidden != b.programHidden)
        failures_ << "after exit " << b.tip << (b.hidden ? " is hidden" : " is shown") << "\n";
    if (const sim::SimWindow* clock = desktop.Window(taskbar->Clock()); clock && !clock->visible)
      failures_ << "after exit the clock is hidden\n";
    for (const Hwnd w : windows_)
      if (!desktop.Window(w)->visible) failures_ << "after exit window " << w << " is hidden\n";
    if (desktop.AtomCount() != atomsAtStart_)
      failures_ << "after exit " << desktop.AtomCount() - atomsAtStart_ << " atoms left\n";
  }

  const Scenario& s_;
  sim::SimScheduler* scheduler_ = nullptr;
  std::map<int, int>* actors_ = nullptr;
  std::mt19937 fallback_;
  sim::SimProgram* editor_ = nullptr;
  Hwnd windows_[2] = {};
  std::set<std::pair<int, std::uint32_t>> live_;
  std::set<std::pair<int, std::uint32_t>> returning_;  // held by a dead taskbar, not added since
  std::set<Hwnd> dead_;
  struct Served {
    std::uint32_t id;
    int offs, restarts;  // then
  };
  std::map<int, Served> lastServedAdd_;  // the program's last add Corvalet was told of
  std::set<int> servedSinceOff_, mayBeRemembered_;
  std::set<int> transient_;  // programs with an icon that went again
  int offs_ = 0, restarts_ = 0;
  bool broadcast_ = false;
  bool refused_ = false;
  std::size_t logSeen_ = 0;
  int changes_ = 0;
  int atomsAtStart_ = 0;
  std::vector<std::pair<TIconInfo, std::size_t>> chosen_;
  std::set<std::pair<int, std::uint32_t>> programHidden_;
  struct Relay {
    BalloonRecord record;
    int program = -1;
    std::size_t logAt = 0, shownAt = 0;
    int offs = 0, restarts = 0;
    bool standing = false;  // its icon has not gone since
  };
  Relay lastRelay_;
  std::vector<std::pair<BalloonRecord, std::size_t>> clicks_;  // and the balloons relayed then
  std::ostringstream failures_;
};

std::string RunOnce(const Scenario& s, std::vector<std::string>* trace = nullptr) {
  Play play(s);
  return play.Go(trace);
}

// Drops steps while the run still fails: the fewest steps that show the fault.
Scenario Shrink(Scenario s) {
  for (std::size_t chunk = s.actions.size() / 2; chunk >= 1; chunk /= 2) {
    for (std::size_t at = 0; at + chunk <= s.actions.size();) {
      Scenario fewer = s;
      fewer.actions.erase(fewer.actions.begin() + static_cast<std::ptrdiff_t>(at),
                          fewer.actions.begin() + static_cast<std::ptrdiff_t>(at + chunk));
      if (!RunOnce(fewer).empty())
        s = fewer;
      else
        at += chunk;
    }
  }
  return s;
}

std::string Report(const Scenario& s, const std::string& failures) {
  std::vector<std::string> trace;
  RunOnce(s, &trace);
  std::ostringstream out;
  out << "seed " << s.seed << " (" << s.programs << " programs, tree " << s.treeCode << ", ApStyle "
      << s.apStyle << ", queue " << s.queueLimit << ", answer " << static_cast<int>(s.answer)
      << ", switch " << s.switchPercent << "%, toggles " << s.toggles << ", hidden icons "
      << s.hiddenIcons << ")\nsteps:";
  for (const Action& a : s.actions) out << " {" << Describe(a) << "}";
  out << "\ntrace:\n";
  for (const std::string& line : trace) out << "  " << line << "\n";
  out << failures;
  return out.str();
}

unsigned FromEnvironment(const char* name, unsigned fallback) {
  const char* v = std::getenv(name);
  return v ? static_cast<unsigned>(std::strtoul(v, nullptr, 10)) : fallback;
}

TEST(Interleavings, EveryInvariantHoldsForEverySeed) {
  const unsigned first = FromEnvironment("CVL_FIRST_SEED", 1);
  const unsigned seeds = FromEnvironment("CVL_SEEDS", 1000);
  const auto start = std::chrono::steady_clock::now();
  int failed = 0;
  for (unsigned seed = first; seed < first + seeds && failed < 3; ++seed) {
    const Scenario s = Generate(seed);
    const std::string failures = RunOnce(s);
    if (failures.empty()) continue;
    ++failed;
    const Scenario small = Shrink(s);
    ADD_FAILURE() << Report(small, RunOnce(small));
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << seeds << " seeds in " << seconds << " s: " << seeds / seconds << " a second\n";
}

// Seeds that found a fault, each kept with what it found.
TEST(Interleavings, SeedsThatFoundFaults) {
  const std::pair<unsigned, const char*> found[] = {
      {9, "a program's first icon stayed in the tray after its second was placed"},
      {56, "a dead program's hidden button, now a duplicate, stayed hidden after exit"},
      {92, "the choice was lost where the queue refused its message"},
      {100, "a second menu took the place of the first one's choice"},
      {194, "an icon back from a dead taskbar, removed and added again, was no new icon"},
      {305, "the same, with the icon back before the new tray was read"},
      {438, "a menu opened in a restart's refresh ran its choice after the next reading"},
      {855, "a restart that came in during the menu ran before its choice"},
  };
  for (const auto& [seed, what] : found) {
    const std::string failures = RunOnce(Generate(seed, false));
    EXPECT_EQ(failures, "") << "seed " << seed << ": " << what;
  }
  // With balloons, icons their programs hide and programs that die among the steps.
  const std::pair<unsigned, const char*> foundAmongHidden[] = {
      {242, "the shell's NIN_BALLOONSHOW, taken while a pass waited, never reached the program"},
      {534, "a program that died before any change was never waited on"},
      {2267, "a program that died while its icon was being placed was never waited on"},
      {11164, "an add held during a refresh was lost where the queue refused it at the end"},
  };
  for (const auto& [seed, what] : foundAmongHidden) {
    const std::string failures = RunOnce(Generate(seed));
    EXPECT_EQ(failures, "") << "seed " << seed << ": " << what;
  }
}

}  // namespace
}  // namespace cvl::test
