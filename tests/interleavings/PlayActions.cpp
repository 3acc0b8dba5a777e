// The actors' steps: what each program, the shell and the user does, and what the actors'
// record keeps of it.
#include "interleavings/Play.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "minimizer/HotKey.h"
#include "shell/HookProtocol.h"

namespace cvl::test {

namespace {

constexpr std::uint32_t kVkF9 = 0x78;
constexpr std::int32_t kCtrlAltF9 = ((kHotKeyfControl | kHotKeyfAlt) << 8) | kVkF9;
const char* const kSections[] = {"Panel items", "Menu items", "Tray items"};
const IconPlace kSeeded[] = {IconPlace::Panel, IconPlace::Menu, IconPlace::Tray};

std::string Name(int actor) {
  return actor == kUser ? "user" : actor == kShell ? "shell" : "p" + std::to_string(actor);
}

}  // namespace

Play::Play(const Scenario& s) : World(s.treeCode, true), s_(s) {
  std::string ini = "[Common]\r\nApStyle=" + std::to_string(s.apStyle) +
                    "\r\n[MinOptions]\r\nHotKey=" + std::to_string(kCtrlAltF9) + "\r\n";
  for (int i = 0; i < kRemembered; ++i) {
    ini += std::string("[") + kSections[i] + "]\r\nCount=1\r\nIM_0=" + Path(i) + "\r\nID_0=W" +
           std::to_string(i) + "\r\n";
    actors_.places[i] = {kSeeded[i]};  // the file the user starts with
  }
  SetIni(ini);
  for (int i = 0; i < s.programs; ++i) {
    owners.push_back(&Program(Path(i), "W" + std::to_string(i)));
    if (i >= kRemembered) actors_.places[i] = {IconPlace::Unplaced};
  }
  // One remembered and one new icon before the start: read, not added, so not placed as new.
  const int last = s.programs - 1;
  owners[0]->AddIcon(1, "p0 first");
  owners[static_cast<std::size_t>(last)]->AddIcon(1, "last first");
  actors_.Gave({0, 1}, owners[0]->Window(), "p0 first", 0x5000, false);
  actors_.Gave({last, 1}, owners[static_cast<std::size_t>(last)]->Window(), "last first", 0x5000,
               false);
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
  menusAtStart_ = corvalet->MenusOpened;
  const auto told = corvalet->Form().OnShellRestarted;
  corvalet->Form().OnShellRestarted = [this, told](bool same) {
    ++restartsHandled_;
    if (told) told(same);
  };
}

std::string Play::Go(std::vector<std::string>* trace, std::string* decisions,
                     std::string* diverged) {
  {
    auto scheduler = s_.decisions.empty() ? std::make_unique<sim::SimScheduler>(desktop, s_.seed)
                                          : std::make_unique<sim::SimScheduler>(
                                                desktop, sim::ParseDecisions(s_.decisions));
    scheduler_ = scheduler.get();
    scheduler->SwitchPercent = s_.switchPercent;
    scheduler->Lenient = std::getenv("CVL_REANCHOR") != nullptr;
    std::map<int, int> ids;
    for (const Action& a : s_.actions) {
      if (!ids.count(a.actor)) ids[a.actor] = scheduler->AddActor(Name(a.actor));
      // Corvalet's timers and the dialog's buttons act from its loop (the dialog's clicks are
      // its messages), never inside another of its calls.
      const bool own =
          a.kind == Kind::HintTimer || a.kind == Kind::PanelTimer || a.kind == Kind::Options;
      scheduler->Add(
          ids[a.actor], Describe(a), [this, a] { Do(a); }, own);
    }
    actors_ids_ = &ids;
    scheduler->Run([this] { Pump(); });
    Quiet();
    if (trace) *trace = scheduler->Trace;
    if (decisions) *decisions = sim::DecisionsText(scheduler->Decisions);
    if (diverged) *diverged = scheduler->Diverged;
    scheduler_ = nullptr;
  }
  for (const std::string& r : reached_) ++Reached()[r];
  Check();
  corvalet->Exit();
  CheckExit();
  return failures_.str();
}

int Play::Choose(const std::string& what, int n) {
  if (n <= 0) return 0;
  return scheduler_ ? scheduler_->Choose(what, n)
                    : static_cast<int>(fallback_() % static_cast<unsigned>(n));
}

// Counts each time Corvalet went off, as the shell saw the hook switched: a report on its way
// then is not one to place.
void Play::Observe() {
  int offs = offs_;
  for (; logSeen_ < desktop.Log.size(); ++logSeen_) {
    const sim::MessageRecord& m = desktop.Log[logSeen_];
    if (m.msg != THM_HOOKSWITCH) continue;
    offs += static_cast<std::uint32_t>(m.lParam) == THM_OFF;
    // Switched on, Corvalet reads the tray.
    if (static_cast<std::uint32_t>(m.lParam) == THM_ON) unread_.clear();
  }
  offs_ = offs;
}

void Play::Minimized(Hwnd) {
  // The next added icon whose report is handled takes MinimizeTo (1, the tray): any program
  // told of meanwhile may go there, its memory with it.
  actors_.minimizing = true;
  for (auto& [program, places] : actors_.places)
    if (lastServedAdd_.count(program) || everServed_.count(program)) places.insert(IconPlace::Tray);
}

void Play::Do(const Action& a) {
  Observe();
  if (!panel->Visible)
    for (auto& [icon, facts] : actors_.live) facts.changedWhileShown = false;
  if (a.actor >= 0) return DoProgram(a);
  // The session is over: only the programs of the burst go on.
  if (endings_ > 0) return;
  const Hwnd form = corvalet->Host().window;
  switch (a.kind) {
    case Kind::RightClick:
    case Kind::RightClickTwice:
      ++actors_.menuRequests;
      desktop.PostMessageA(form, kOwnIconCallback, kOwnIconId, kWmRButtonUp);
      if (a.kind == Kind::RightClickTwice) {
        desktop.PostMessageA(form, kOwnIconCallback, kOwnIconId, kWmRButtonUp);
        if (corvalet->Registry().Deferral.Busy())
          reached_.insert("the same request twice in a wait");
      }
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
      if (actors_.On()) Minimized(windows_[a.id - 1]);
      if (!everServed_.empty()) reached_.insert("a minimize after another program's add");
      break;
    case Kind::Shift:
      desktop.PressKey(kModControl | kModAlt | kModShift, kVkF9);
      break;
    case Kind::RefuseIcons:
      desktop.RefuseIcons = !desktop.RefuseIcons;
      refused_ = true;  // Corvalet's own icon may be gone, and a balloon with it
      break;
    case Kind::Broadcast:
    case Kind::BroadcastTwice:
      broadcast_ = true;
      ++actors_.restartRequests;
      Announce();
      if (a.kind == Kind::BroadcastTwice) {
        Announce();
        if (corvalet->Registry().Deferral.Busy())
          reached_.insert("the same request twice in a wait");
      }
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
      scheduler_->AddNext((*actors_ids_)[kShell], "answers again",
                          [this] { hook->AnswerMode = s_.answer; });
      break;
    case Kind::Options:
      DoOptions(a);
      break;
    case Kind::Fold:
      // The user clicks the button near the clock where it stands; its caption shows the fold.
      if (const Hwnd b = corvalet->Form().TrayButton().ButtonWnd; b && desktop.IsWindow(b)) {
        desktop.Window(b)->handler = [this](std::uint32_t m, WParam, LParam) {
          corvalet->Form().TrayButton().TrayButtonProc(m);
          return LResult{0};
        };
        if (desktop.PostMessageA(b, kWmLButtonUp, 0, 0)) {
          actors_.folded = !actors_.folded;
          ++folds_;
          reached_.insert("the tray folded or unfolded");
        }
      }
      break;
    case Kind::EndSession:
      // The session ends while everything goes on: Corvalet gives the tray back, saves nothing.
      actors_.sessionEnded = true;
      ++endings_;
      {
        const std::size_t limit = desktop.PostedQueueLimit;
        desktop.PostedQueueLimit = 0;
        desktop.PostMessageA(form, kWmEndSession, 1, 0);
        desktop.PostedQueueLimit = limit;
      }
      break;
    default:
      break;
  }
}

}  // namespace cvl::test
