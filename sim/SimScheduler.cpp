#include "sim/SimScheduler.h"

#include <cstring>

namespace cvl::sim {

SimScheduler::SimScheduler(SimDesktop& desktop, std::uint32_t seed)
    : desktop_(desktop), random_(seed) {
  desktop_.SwitchPoint = [this](const char* where) { OnSwitch(where); };
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

void SimScheduler::AddNext(int actor, std::string what, std::function<void()> run) {
  actors_[static_cast<std::size_t>(actor)].steps.push_front(
      {std::move(what), std::move(run), false});
}

bool SimScheduler::Pending() const {
  for (const Actor& a : actors_)
    if (!a.steps.empty()) return true;
  return false;
}

bool SimScheduler::RunOne(const char* where) {
  const bool fromLoop = where == nullptr;
  std::vector<std::size_t> ready;
  for (std::size_t i = 0; i < actors_.size(); ++i) {
    const auto& steps = actors_[i].steps;
    if (!steps.empty() && (fromLoop || !steps.front().ownLoop)) ready.push_back(i);
  }
  if (ready.empty()) return false;
  Actor& actor = actors_[ready[random_() % ready.size()]];
  Step step = std::move(actor.steps.front());
  actor.steps.pop_front();
  Trace.push_back("[" + std::to_string(Trace.size()) + "] " + actor.name + ": " + step.what + " (" +
                  (fromLoop ? "loop" : where) + ")");
  // Corvalet's own timers let the others in wherever they let messages in.
  running_ = !step.ownLoop;
  step.run();
  running_ = false;
  return true;
}

void SimScheduler::OnSwitch(const char* where) {
  if (running_ || !Pending()) return;
  // A loop that finds nothing to do comes round again at once: others get a smaller share.
  const int chance = std::strcmp(where, "idle pump") == 0 ? SwitchPercent / 8 : SwitchPercent;
  if (static_cast<int>(random_() % 100) >= chance) return;
  RunOne(where);
}

void SimScheduler::RunSome(int count) {
  if (running_) return;
  for (int i = 0; i < count; ++i)
    if (!RunOne("inside")) return;
}

void SimScheduler::Run(const std::function<void()>& loopPass) {
  while (Pending()) {
    if (random_() % 3 == 0) {
      loopPass();
    } else {
      RunOne(nullptr);
    }
  }
}

}  // namespace cvl::sim
