#include "interleavings/Scenario.h"

#include <cctype>
#include <cstdlib>
#include <random>
#include <sstream>

namespace cvl::test {

namespace {

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
                                  "balloon times out",
                                  "options",
                                  "folds",
                                  "session ends",
                                  "right click twice",
                                  "TaskbarCreated twice"};
constexpr int kKinds = static_cast<int>(sizeof kKindNames / sizeof *kKindNames);

std::string Who(int actor) {
  return actor == kUser ? "user" : actor == kShell ? "shell" : "p" + std::to_string(actor);
}

// Balloons, hiding and dying, put among a scenario's steps.
void AddHiddenIcons(Scenario& s, std::mt19937& r) {
  if (r() % 2 == 0) return;
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

// The orderings the steps above reach too rarely: the options dialog used during a burst, the
// tray folded (and across a restart), the session's end, the same request twice, the
// minimizer's icons across a restart; each in more than one run in ten.
void AddRareOrderings(Scenario& s, std::mt19937& r) {
  const Action none{kUser, Kind::Hover, 0};
  const std::pair<Action, Action> rare[] = {
      {{kUser, Kind::Options, 1}, none},
      {{kUser, Kind::Options, 2}, none},
      {{kUser, Kind::Fold, 1}, {kShell, Kind::ShellRestart, 1}},
      {{kUser, Kind::Fold, 1}, {kShell, Kind::ShellRestart, 1}},
      {{kShell, Kind::EndSession, 1}, none},
      {{kUser, Kind::RightClickTwice, 1}, none},
      {{kShell, Kind::BroadcastTwice, 1}, none},
      {{kUser, Kind::MinClick, 2}, {kShell, Kind::ShellRestart, 1}},
      {{kUser, Kind::MinClick, 1}, {kShell, Kind::ShellRestart, 1}},
      {{kUser, Kind::Options, 1}, none},
      {{kUser, Kind::Hover, 1}, {0, Kind::Modify, 1}},
      {{kUser, Kind::Hover, 2}, {0, Kind::Modify, 2}}};
  const int extra = 1 + static_cast<int>(r() % 5);
  for (int i = 0; i < extra; ++i) {
    const auto& [first, then] = rare[r() % 12];
    const std::size_t at = r() % (s.actions.size() + 1);
    s.actions.insert(s.actions.begin() + static_cast<std::ptrdiff_t>(at), first);
    if (then.id == 0) continue;
    const std::size_t later = at + 1 + r() % (s.actions.size() - at);
    s.actions.insert(s.actions.begin() + static_cast<std::ptrdiff_t>(later), then);
  }
}

}  // namespace

std::string Describe(const Action& a) {
  return Who(a.actor) + " " + kKindNames[static_cast<int>(a.kind)] + " " + std::to_string(a.id);
}

Scenario Generate(std::uint32_t seed, int extras) {
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
  std::mt19937 hidden(seed ^ 0x9E3779B9u);
  if (extras >= 1) AddHiddenIcons(s, hidden);
  std::mt19937 rare(seed ^ 0x5bd1e995u);
  if (extras >= 2) AddRareOrderings(s, rare);
  return s;
}

std::string ToText(const Scenario& s) {
  std::ostringstream out;
  out << "seed=" << s.seed << " programs=" << s.programs << " tree=" << s.treeCode
      << " apstyle=" << s.apStyle << " queue=" << s.queueLimit
      << " answer=" << static_cast<int>(s.answer) << " switch=" << s.switchPercent
      << " toggles=" << s.toggles << " |";
  for (const Action& a : s.actions) out << " " << Describe(a) << ";";
  out << " | " << s.decisions;
  return out.str();
}

bool Parse(const std::string& text, Scenario* s) {
  const auto bar = text.find('|'), bar2 = text.find('|', bar + 1);
  if (bar == std::string::npos || bar2 == std::string::npos) return false;
  std::istringstream head(text.substr(0, bar));
  for (std::string field; head >> field;) {
    const auto is = field.find('=');
    if (is == std::string::npos) return false;
    const std::string key = field.substr(0, is);
    const long v = std::atol(field.c_str() + is + 1);
    if (key == "seed") s->seed = static_cast<std::uint32_t>(v);
    if (key == "programs") s->programs = static_cast<int>(v);
    if (key == "tree") s->treeCode = static_cast<int>(v);
    if (key == "apstyle") s->apStyle = static_cast<int>(v);
    if (key == "queue") s->queueLimit = static_cast<std::size_t>(v);
    if (key == "answer") s->answer = static_cast<sim::SimHook::Answer>(v);
    if (key == "switch") s->switchPercent = static_cast<int>(v);
    if (key == "toggles") s->toggles = v != 0;
  }
  s->actions.clear();
  std::istringstream steps(text.substr(bar + 1, bar2 - bar - 1));
  for (std::string step; std::getline(steps, step, ';');) {
    std::istringstream words(step);
    std::string who;
    if (!(words >> who)) continue;
    std::string rest;
    std::getline(words, rest);
    rest = rest.substr(rest.find_first_not_of(' '));
    const auto last = rest.rfind(' ');
    const std::string kind = rest.substr(0, last);
    Action a{who == "user"    ? kUser
             : who == "shell" ? kShell
                              : std::atoi(who.c_str() + 1),
             Kind::Add, static_cast<std::uint32_t>(std::atoi(rest.c_str() + last + 1))};
    int k = 0;
    while (k < kKinds && kind != kKindNames[k]) ++k;
    if (k == kKinds) return false;
    a.kind = static_cast<Kind>(k);
    s->actions.push_back(a);
  }
  s->decisions = text.substr(text.find_first_not_of(' ', bar2 + 1) == std::string::npos
                                 ? text.size()
                                 : text.find_first_not_of(' ', bar2 + 1));
  while (!s->decisions.empty() && std::isspace(static_cast<unsigned char>(s->decisions.back())))
    s->decisions.pop_back();
  return true;
}

}  // namespace cvl::test
