// The cost of handling one added icon with N icons in the tray and M remembered programs.
// The per-unit column divides the time by N + M: when it stays flat while N and M grow
// tenfold, the handling is linear.
//
// Profile strings are kept in a plain map here: the simulated profile file re-parses the whole
// file on every key, which would measure the model instead of the program.
#include <benchmark/benchmark.h>

#include <map>

#include "sim/SimCorvalet.h"
#include "sim/SimHook.h"
#include "sim/SimProgram.h"
#include "sim/SimTaskbar.h"

namespace {

using namespace cvl;

class BenchDesktop : public sim::SimDesktop {
 public:
  std::string GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                       const std::string& defaultValue, int,
                                       const std::string&) override {
    const auto it = values_.find(section + '\n' + key);
    return it == values_.end() ? defaultValue : it->second;
  }
  bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                  const std::string& value, const std::string&) override {
    values_[section + '\n' + key] = value;
    ++writes;
    return true;
  }
  long writes = 0;

 private:
  std::map<std::string, std::string> values_;
};

void AddedIcon(benchmark::State& state) {
  const int listed = static_cast<int>(state.range(0));
  const int remembered = static_cast<int>(state.range(1));
  BenchDesktop desktop;
  sim::SimTaskbar taskbar(desktop, 90);
  sim::SimHook hook(desktop, taskbar);
  NoViews views;
  std::vector<std::unique_ptr<sim::SimProgram>> programs;
  // Half the remembered programs are running, in the panel.
  desktop.WritePrivateProfileStringA("Panel items", "Count", std::to_string(remembered),
                                     "QLCvl.ini");
  for (int i = 0; i < remembered; ++i) {
    desktop.WritePrivateProfileStringA("Panel items", "IM_" + std::to_string(i),
                                       "C:\\Apps\\p" + std::to_string(i * 2) + ".exe", "QLCvl.ini");
    desktop.WritePrivateProfileStringA("Panel items", "ID_" + std::to_string(i), "Wnd",
                                       "QLCvl.ini");
  }
  for (int i = 0; i < listed - 1; ++i) {
    programs.push_back(std::make_unique<sim::SimProgram>(
        desktop, "C:\\Apps\\p" + std::to_string(i) + ".exe", "Wnd"));
    programs.back()->AddIcon(1, "icon " + std::to_string(i));
  }
  sim::SimCorvalet corvalet(desktop, hook, views);
  corvalet.Start();
  sim::SimProgram newcomer(desktop, "C:\\Apps\\new.exe", "NewWnd");

  const long writesBefore = desktop.writes;
  std::size_t messagesBefore = desktop.Log.size();
  std::size_t messages = 0;
  for (auto _ : state) {
    newcomer.AddIcon(1, "new");
    desktop.ProcessMessages();
    state.PauseTiming();
    messages += desktop.Log.size() - messagesBefore;
    newcomer.DeleteIcon(1);
    desktop.ProcessMessages();
    desktop.Log.clear();
    messagesBefore = 0;
    state.ResumeTiming();
  }
  state.counters["per_unit"] =
      benchmark::Counter(listed + remembered, benchmark::Counter::kIsIterationInvariantRate |
                                                  benchmark::Counter::kInvert);
  state.counters["messages"] =
      benchmark::Counter(static_cast<double>(messages), benchmark::Counter::kAvgIterations);
  state.counters["profile_writes"] = benchmark::Counter(
      static_cast<double>(desktop.writes - writesBefore), benchmark::Counter::kAvgIterations);
  corvalet.Exit();
}

BENCHMARK(AddedIcon)
    ->ArgsProduct({{10, 100, 1000}, {10, 100, 1000}})
    ->ArgNames({"icons", "programs"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
