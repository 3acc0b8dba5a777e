#pragma once
// Simulated processes acting at the same moment. Each actor (a program, the shell, the user)
// has its steps, run in their order; Corvalet runs its message loop. At every point where
// Windows could switch to another process (the desktop's switch points) and between passes of
// Corvalet's loop, a seeded choice decides whether another actor's next step runs there and
// whose. The same seed and steps give the same run, step for step.
#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "sim/SimDesktop.h"

namespace cvl::sim {

class SimScheduler {
 public:
  SimScheduler(SimDesktop& desktop, std::uint32_t seed);
  ~SimScheduler();
  SimScheduler(const SimScheduler&) = delete;
  SimScheduler& operator=(const SimScheduler&) = delete;

  int AddActor(std::string name);
  // A step at the end of the actor's steps; a timer of Corvalet's own (ownLoop) runs only
  // from its loop, never inside another of its calls.
  void Add(int actor, std::string what, std::function<void()> run, bool ownLoop = false);
  // A step the actor takes next, ahead of the rest: what it does in answer to something.
  void AddNext(int actor, std::string what, std::function<void()> run);

  // The chance, in percent, that a switch point lets another actor's step run.
  int SwitchPercent = 30;
  // Runs Corvalet's loop (one pass per call) and every actor's steps, interleaved, until no
  // actor has a step left.
  void Run(const std::function<void()>& loopPass);
  // Lets at most count steps run now, as a loop of Corvalet's that lets messages in would.
  void RunSome(int count);
  bool Pending() const;
  // False while a step runs: nothing is interleaved into an actor's own step.
  bool Idle() const { return !running_; }
  std::mt19937& Random() { return random_; }

  // Every step as it ran: "[n] actor: what (where)".
  std::vector<std::string> Trace;

 private:
  struct Step {
    std::string what;
    std::function<void()> run;
    bool ownLoop = false;
  };
  struct Actor {
    std::string name;
    std::deque<Step> steps;
  };
  void OnSwitch(const char* where);
  // Runs one step of an actor chosen at random among those that may run here.
  bool RunOne(const char* where);

  SimDesktop& desktop_;
  std::mt19937 random_;
  std::vector<Actor> actors_;
  bool running_ = false;
};

}  // namespace cvl::sim
