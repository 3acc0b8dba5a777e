#include "sim/SimScheduler.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace cvl::sim {

namespace {

// Passes of Corvalet's loop without the next kept decision: it will not come.
constexpr int kMostIdlePasses = 2000;

}  // namespace

std::string DecisionsText(const std::vector<Decision>& decisions) {
  std::string text;
  for (const Decision& d : decisions)
    text += (text.empty() ? "" : ";") + d.where + "@" + std::to_string(d.nth) + "=" + d.what;
  return text;
}

std::vector<Decision> ParseDecisions(const std::string& text) {
  std::vector<Decision> decisions;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ';');) {
    const auto at = item.find('@'), is = item.find('=');
    if (at == std::string::npos || is == std::string::npos || is < at) continue;
    decisions.push_back({item.substr(0, at), std::atoi(item.substr(at + 1, is - at - 1).c_str()),
                         item.substr(is + 1)});
  }
  return decisions;
}

SimScheduler::SimScheduler(SimDesktop& desktop, std::uint32_t seed)
    : desktop_(desktop), random_(seed) {
  desktop_.SwitchPoint = [this](const char* where) { OnSwitch(where); };
}

SimScheduler::SimScheduler(SimDesktop& desktop, std::vector<Decision> replay)
    : SimScheduler(desktop, 0) {
  replay_ = std::move(replay);
}

SimScheduler::~SimScheduler() {
  desktop_.SwitchPoint = nullptr;
}

int SimScheduler::AddActor(std::string name) {
  actors_.push_back({std::move(name), {}});
  return static_cast<int>(actors_.size()) - 1;
}

void SimScheduler::Add(int actor, std::string what, std::function<void()> run, bool ownLoop) {
  actors_[static_cast<std::size_t>(actor)].steps.push_back(
      {std::move(what), std::move(run), ownLoop});
}

void SimScheduler::AddNext(int actor, std::string what, std::function<void()> run, bool ownLoop) {
  actors_[static_cast<std::size_t>(actor)].steps.push_front(
      {std::move(what), std::move(run), ownLoop});
}

bool SimScheduler::Pending() const {
  for (const Actor& a : actors_)
    if (!a.steps.empty()) return true;
  return false;
}

void SimScheduler::Diverge(const std::string& why) {
  if (Diverged.empty())
    Diverged =
        "decision " + std::to_string(next_) + " of " + std::to_string(replay_->size()) + ": " + why;
  replay_.reset();  // the rest runs as the seed would, so that the run still ends
}

void SimScheduler::RunStep(Actor& actor, const std::string& where) {
  Step step = std::move(actor.steps.front());
  actor.steps.pop_front();
  Decisions.push_back({where, passed_[where], actor.name + ": " + step.what});
  passed_.clear();
  passedKind_.clear();
  Trace.push_back("[" + std::to_string(Trace.size()) + "] " + actor.name + ": " + step.what + " (" +
                  where + ")");
  // Corvalet's own timers let the others in wherever they let messages in.
  running_ = !step.ownLoop;
  step.run();
  running_ = false;
}

bool SimScheduler::RunOne(const char* where) {
  const bool fromLoop = where == nullptr;
  std::vector<std::size_t> ready;
  for (std::size_t i = 0; i < actors_.size(); ++i) {
    const auto& steps = actors_[i].steps;
    if (!steps.empty() && (fromLoop || !steps.front().ownLoop)) ready.push_back(i);
  }
  if (ready.empty()) return false;
  RunStep(actors_[ready[random_() % ready.size()]], fromLoop ? "loop" : where);
  return true;
}

bool SimScheduler::ReplayAt(const std::string& where) {
  if (next_ >= replay_->size()) return false;
  const Decision& d = (*replay_)[next_];
  const auto kindOf = [](const std::string& w) { return w.substr(0, w.find('/')); };
  const bool moved = Lenient && kindOf(d.where) == kindOf(where) &&
                     passedKind_[kindOf(where)] >= d.nth && d.where != "loop";
  if (!moved && (d.where != where || d.nth != passed_[where])) return false;
  for (Actor& a : actors_) {
    if (a.steps.empty() || d.what != a.name + ": " + a.steps.front().what) continue;
    if (a.steps.front().ownLoop && where != "loop") break;
    ++next_;
    RunStep(a, where);
    return true;
  }
  Diverge("\"" + d.what + "\" at " + where + " #" + std::to_string(d.nth) +
          " is no actor's next step there");
  return false;
}

void SimScheduler::OnSwitch(const char* kind) {
  if (running_ || !Pending()) return;
  // The point is known by its kind and by the last message on the desktop before it: a send
  // or a pump added to the product before a kept decision moves it, and the replay says so.
  char last[16] = "";
  if (!desktop_.Log.empty())
    std::snprintf(last, sizeof last, "/%x", static_cast<unsigned>(desktop_.Log.back().msg));
  const std::string where = kind + std::string(last);
  ++passed_[where];
  ++passedKind_[kind];
  if (replay_) {
    ReplayAt(where);
    return;
  }
  // A loop that finds nothing to do comes round again at once: others get a smaller share.
  const int chance = std::strcmp(kind, "idle pump") == 0 ? SwitchPercent / 8 : SwitchPercent;
  if (static_cast<int>(random_() % 100) >= chance) return;
  RunOne(where.c_str());
}

void SimScheduler::RunSome(int count) {
  if (running_) return;
  for (int i = 0; i < count; ++i) {
    ++passed_["inside"];
    if (replay_ ? !ReplayAt("inside") : !RunOne("inside")) return;
  }
}

int SimScheduler::Choose(const std::string& what, int n) {
  int value = 0;
  if (replay_) {
    const Decision* d = next_ < replay_->size() ? &(*replay_)[next_] : nullptr;
    if (d && d->where == "choice" && d->what == what && d->nth < n) {
      value = d->nth;
      ++next_;
    } else if (Lenient) {
      Decisions.push_back({"choice", 0, what});
      passed_.clear();
      passedKind_.clear();
      return 0;
    } else {
      Diverge("the choice \"" + what + "\" came where the kept decisions had " +
              (d ? "\"" + d->what + "\"" : "none"));
    }
  }
  if (!replay_) value = static_cast<int>(random_() % static_cast<unsigned>(n));
  Decisions.push_back({"choice", value, what});
  passed_.clear();
  return value;
}

void SimScheduler::Run(const std::function<void()>& loopPass) {
  while (Pending() || (replay_ && next_ < replay_->size())) {
    const int passes = ++passed_["loop"];
    if (!replay_) {
      if (random_() % 3 == 0)
        loopPass();
      else
        RunOne(nullptr);
    } else if (next_ >= replay_->size()) {
      Diverge("steps are left that the kept decisions never ran");
    } else if (!ReplayAt("loop") && replay_) {
      if (passes > kMostIdlePasses && Lenient) {
        const Decision& d = (*replay_)[next_];
        for (Actor& a : actors_)
          if (!a.steps.empty() && d.what == a.name + ": " + a.steps.front().what) {
            ++next_;
            RunStep(a, "loop");
            break;
          }
        if (passed_["loop"] != 0) Diverge("\"" + d.what + "\" is no actor's next step");
      } else if (passes > kMostIdlePasses) {
        const Decision& d = (*replay_)[next_];
        Diverge("\"" + d.what + "\" at " + d.where + " #" + std::to_string(d.nth) + " never came");
      } else {
        loopPass();
      }
    }
  }
}

}  // namespace cvl::sim
