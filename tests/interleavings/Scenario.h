#pragma once
// A run of the interleaving search: the programs, the shell and the user, and their steps in
// each actor's order. Where the steps run among Corvalet's sends and pumps is the scheduler's
// business: a seed draws it, or a kept list of decisions replays it.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimHook.h"

namespace cvl::test {

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
  // the options dialog, the button near the clock, the session, requests twice
  Options,
  Fold,
  EndSession,
  RightClickTwice,
  BroadcastTwice,
};

inline constexpr int kUser = -1;
inline constexpr int kShell = -2;

struct Action {
  int actor;  // a program's index; kUser or kShell
  Kind kind;
  std::uint32_t id;
};

struct Scenario {
  std::uint32_t seed = 0;
  int programs = 4;
  int treeCode = 90;
  int apStyle = 2;
  std::size_t queueLimit = 0;
  sim::SimHook::Answer answer = sim::SimHook::Answer::Batched;
  int switchPercent = 30;
  bool toggles = false;  // the user may switch Corvalet off and on from the menu
  std::vector<Action> actions;
  std::string decisions;  // kept decisions to replay; empty: the seed draws them
};

std::string Describe(const Action& a);
// extras: 0 the plain steps, 1 with balloons, hidden icons and deaths, 2 also the rare
// orderings (as every seed runs now; the lower ones made the schedules kept before).
Scenario Generate(std::uint32_t seed, int extras = 2);
// One line that Parse reads back: the settings, the steps and the decisions.
std::string ToText(const Scenario& s);
bool Parse(const std::string& text, Scenario* s);

}  // namespace cvl::test
