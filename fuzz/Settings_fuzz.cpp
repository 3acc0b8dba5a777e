// Any settings file: the settings and the three placement memories load without harm, and what
// one save writes reads back the same after the first load has normalised it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "registry/PlacementMemory.h"
#include "registry/RegistryState.h"
#include "settings/TOptions.h"
#include "sim/SimDesktop.h"

namespace {

bool Same(const cvl::TOptions& a, const cvl::TOptions& b) {
  return a.NewInTray == b.NewInTray && a.NewInCorvalet == b.NewInCorvalet &&
         a.TrayIconNames == b.TrayIconNames && a.CvlIconNames == b.CvlIconNames &&
         a.Enabled == b.Enabled && a.ApStyle == b.ApStyle && a.TrayButton == b.TrayButton &&
         a.LimitEnable == b.LimitEnable && a.LimitCount == b.LimitCount && a.LangLib == b.LangLib &&
         a.CurLang == b.CurLang && a.IsRightClick == b.IsRightClick && a.HotKey == b.HotKey &&
         a.MinimizeTo == b.MinimizeTo;
}

bool Same(const cvl::PlacementMemory& a, const cvl::PlacementMemory& b) {
  return a.TrayMemory.Entries() == b.TrayMemory.Entries() &&
         a.PanelMemory.Entries() == b.PanelMemory.Entries() &&
         a.MenuMemory.Entries() == b.MenuMemory.Entries();
}

// The settings and memories read from the file as it stands.
struct Loaded {
  explicit Loaded(cvl::sim::SimDesktop& desktop)
      : options(desktop), memory(desktop, options, state) {
    options.Load("QLCvl.ini");
    memory.LoadPlacementMemory();
  }
  // Writes them into an empty file.
  void SaveFresh(cvl::sim::SimDesktop& desktop) {
    desktop.Profile().SetFileText("QLCvl.ini", "");
    options.Save("QLCvl.ini");
    memory.SavePlacementMemory();
  }
  cvl::TOptions options;
  cvl::RegistryState state;
  cvl::PlacementMemory memory;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cvl::sim::SimDesktop desktop;
  desktop.Profile().SetFileText("QLCvl.ini",
                                std::string(reinterpret_cast<const char*>(data), size));
  Loaded first(desktop);
  // Written to a fresh file and read twice: the second reading must equal the first.
  first.SaveFresh(desktop);
  Loaded second(desktop);
  second.SaveFresh(desktop);
  const Loaded third(desktop);
  if (!Same(second.options, third.options) || !Same(second.memory, third.memory)) __builtin_trap();
  return 0;
}
