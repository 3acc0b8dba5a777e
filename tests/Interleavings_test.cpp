// Programs, the shell and the user act at the same moment. A seeded scheduler runs their steps
// at every point where Windows could switch between processes, and once everything is quiet
// the invariants (interleavings/Invariants.cpp) hold for every seed. A failing seed is shrunk
// to the fewest steps that still fail and printed with its trace, its decisions and the one
// command that replays them step by step; a fault found is kept in interleavings/found.txt.
//   CVL_FIRST_SEED=N (scripts/test takes it from the commit), CVL_SEEDS=N the number of seeds;
//   CVL_REPLAY='<schedule>' replays one schedule; CVL_TRACE=1 prints every trace.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "interleavings/Play.h"

namespace cvl::test {
namespace {

struct Outcome {
  std::string failures, decisions, diverged;
  std::vector<std::string> trace;
};

Outcome RunOnce(const Scenario& s) {
  Outcome o;
  Play play(s);
  o.failures = play.Go(&o.trace, &o.decisions, &o.diverged);
  return o;
}

// Drops steps while the run still fails: the fewest steps that show the fault.
Scenario Shrink(Scenario s) {
  for (std::size_t chunk = s.actions.size() / 2; chunk >= 1; chunk /= 2) {
    for (std::size_t at = 0; at + chunk <= s.actions.size();) {
      Scenario fewer = s;
      fewer.actions.erase(fewer.actions.begin() + static_cast<std::ptrdiff_t>(at),
                          fewer.actions.begin() + static_cast<std::ptrdiff_t>(at + chunk));
      if (!RunOnce(fewer).failures.empty())
        s = fewer;
      else
        at += chunk;
    }
  }
  return s;
}

std::string Report(Scenario s) {
  const Outcome o = RunOnce(s);
  s.decisions = o.decisions;
  std::ostringstream out;
  out << "trace:\n";
  for (const std::string& line : o.trace) out << "  " << line << "\n";
  out << o.failures << "replay it step by step with:\n  CVL_REPLAY='" << ToText(s)
      << "' build/native/tests/corvalet_tests --gtest_filter=Interleavings.Replay\n";
  return out.str();
}

unsigned FromEnvironment(const char* name, unsigned fallback) {
  const char* v = std::getenv(name);
  return v && *v ? static_cast<unsigned>(std::strtoul(v, nullptr, 10)) : fallback;
}

TEST(Interleavings, EveryInvariantHoldsForEverySeed) {
  const unsigned first = FromEnvironment("CVL_FIRST_SEED", 1);
  const unsigned seeds = FromEnvironment("CVL_SEEDS", 1000);
  std::cout << "seeds " << first << " to " << first + seeds - 1 << "\n";
  const auto start = std::chrono::steady_clock::now();
  Reached().clear();
  int failed = 0;
  for (unsigned seed = first; seed < first + seeds && failed < 3; ++seed) {
    const Scenario s = Generate(seed);
    const Outcome o = RunOnce(s);
    if (std::getenv("CVL_TRACE"))
      for (const std::string& line : o.trace) std::cout << line << "\n";
    if (o.failures.empty()) continue;
    ++failed;
    ADD_FAILURE() << "seed " << seed << "\n" << Report(Shrink(s));
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << seeds << " seeds in " << seconds << " s: " << seeds / seconds << " a second\n";
  for (const auto& [what, runs] : Reached())
    std::cout << "  " << what << ": one run in " << seeds / std::max(runs, 1) << "\n";
}

TEST(Interleavings, Replay) {
  const char* text = std::getenv("CVL_REPLAY");
  if (!text) GTEST_SKIP() << "CVL_REPLAY names no schedule";
  Scenario s;
  ASSERT_TRUE(Parse(text, &s)) << text;
  const Outcome o = RunOnce(s);
  for (const std::string& line : o.trace) std::cout << "  " << line << "\n";
  // CVL_REANCHOR: the schedule as it ran, placed anew where its points moved.
  if (std::getenv("CVL_REANCHOR")) {
    s.decisions = o.decisions;
    std::cout << ToText(s) << "\n";
  }
  EXPECT_EQ(o.diverged, "");
  EXPECT_EQ(o.failures, "");
}

// Faults found before, each kept as its schedule: the steps and the decisions that placed
// them, replayed step by step. A schedule the product no longer follows (a decision whose
// point never comes, a step that stands elsewhere) fails: it would otherwise pass without
// reaching its fault.
TEST(Interleavings, FaultsFoundBefore) {
  std::ifstream in(CORVALET_SOURCE_DIR "/tests/interleavings/found.txt");
  ASSERT_TRUE(in) << "tests/interleavings/found.txt";
  std::string what, line;
  int cases = 0;
  while (std::getline(in, line)) {
    if (line.rfind("# ", 0) == 0) what = line.substr(2);
    if (line.empty() || line[0] == '#') continue;
    Scenario s;
    ASSERT_TRUE(Parse(line, &s)) << what;
    const Outcome o = RunOnce(s);
    ++cases;
    EXPECT_EQ(o.diverged, "") << what << ": the schedule no longer replays";
    EXPECT_EQ(o.failures, "") << what;
  }
  EXPECT_GT(cases, 0);
}

// Writes the schedules of seeds as found.txt keeps them: CVL_KEEP="extras:seed ...".
TEST(Interleavings, KeepSchedules) {
  const char* keep = std::getenv("CVL_KEEP");
  if (!keep) GTEST_SKIP() << "CVL_KEEP names no seeds";
  std::istringstream seeds(keep);
  for (std::string item; seeds >> item;) {
    Scenario s = Generate(static_cast<std::uint32_t>(std::atol(item.c_str() + 2)), item[0] - '0');
    s.decisions = RunOnce(s).decisions;
    std::cout << ToText(s) << "\n";
  }
}

}  // namespace
}  // namespace cvl::test
