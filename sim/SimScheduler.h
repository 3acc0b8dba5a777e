#pragma once
// Simulated processes acting at the same moment. Each actor (a program, the shell, the user)
// has its steps, run in their order; Corvalet runs its message loop. At every point where
// Windows could switch to another process (the desktop's switch points) and between passes of
// Corvalet's loop, a seeded choice decides whether another actor's next step runs there and
// whose. Every such choice is kept as a decision: which step ran, at which kind of point, and
// how many points of that kind had passed since the decision before. Replaying the decisions
// runs the same steps at the same points without the seed; where a decision can no longer be
// taken (its point never comes, another step stands first) the replay says so in Diverged.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sim/SimDesktop.h"

namespace cvl::sim {

struct Decision {
  std::string where;  // a switch point and the last message before it, "loop", "inside", "choice"
  int nth = 0;        // the where-th point of its kind since the last decision; a choice's value
  std::string what;   // "actor: step", or what a choice chose
};
// "where@nth=what" joined by ';', and back.
std::string DecisionsText(const std::vector<Decision>& decisions);
std::vector<Decision> ParseDecisions(const std::string& text);

class SimScheduler {
 public:
  SimScheduler(SimDesktop& desktop, std::uint32_t seed);
  // Replays decisions instead of drawing them.
  SimScheduler(SimDesktop& desktop, std::vector<Decision> replay);
  ~SimScheduler();
  SimScheduler(const SimScheduler&) = delete;
  SimScheduler& operator=(const SimScheduler&) = delete;

  int AddActor(std::string name);
  // A step at the end of the actor's steps; a timer of Corvalet's own (ownLoop) runs only
  // from its loop, never inside another of its calls.
  void Add(int actor, std::string what, std::function<void()> run, bool ownLoop = false);
  // A step the actor takes next, ahead of the rest: what it does in answer to something.
  void AddNext(int actor, std::string what, std::function<void()> run, bool ownLoop = false);

  // The chance, in percent, that a switch point lets another actor's step run.
  int SwitchPercent = 30;
  // Runs Corvalet's loop (one pass per call) and every actor's steps, interleaved, until no
  // actor has a step left.
  void Run(const std::function<void()>& loopPass);
  // Lets at most count steps run now, as a loop of Corvalet's that lets messages in would.
  void RunSome(int count);
  // A choice among n (what an actor decides, such as the menu entry the user takes), kept
  // as a decision.
  int Choose(const std::string& what, int n);
  bool Pending() const;
  // False while a step runs: nothing is interleaved into an actor's own step.
  bool Idle() const { return !running_; }

  // Every step as it ran: "[n] actor: what (where)".
  std::vector<std::string> Trace;
  std::vector<Decision> Decisions;
  // Why the replay could not go on as kept; empty while it could.
  std::string Diverged;
  // A replay that takes a decision whose point moved at the next point of its kind (a pump,
  // a send), runs it from the loop where its point never comes, and lets a new choice take
  // its first value: for placing a kept schedule anew after the product changed its points.
  bool Lenient = false;

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
  void OnSwitch(const char* kind);
  // Runs one step of an actor chosen at random among those that may run here.
  bool RunOne(const char* where);
  // Replaying: counts the point and runs the next kept step if it was taken here.
  bool ReplayAt(const std::string& where);
  void RunStep(Actor& actor, const std::string& where);
  void Diverge(const std::string& why);

  SimDesktop& desktop_;
  std::mt19937 random_;
  std::vector<Actor> actors_;
  bool running_ = false;
  std::map<std::string, int> passed_;      // points of each kind since the last decision
  std::map<std::string, int> passedKind_;  // the same, whatever the message before them
  std::optional<std::vector<Decision>> replay_;
  std::size_t next_ = 0;
};

}  // namespace cvl::sim
