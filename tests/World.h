#pragma once
// A whole desktop for flow tests: a classic taskbar with its hook, programs that own icons,
// and Corvalet itself.
#include <memory>
#include <string>
#include <vector>

#include "sim/SimCorvalet.h"
#include "sim/SimDesktop.h"
#include "sim/SimHook.h"
#include "sim/SimPanelWindow.h"
#include "sim/SimProgram.h"
#include "sim/SimTaskbar.h"

namespace cvl::test {

// Panel and menu stand-ins that record what placement asks of them.
class RecordingViews : public PlacementViews {
 public:
  bool panelVisible = false;
  int panelRebuilds = 0, menuRebuilds = 0, showAgain = 0, clears = 0;
  std::vector<std::pair<int, TIconInfo>> updates;
  void RebuildPanel() override { ++panelRebuilds; }
  void RebuildMenu() override { ++menuRebuilds; }
  bool PanelVisible() override { return panelVisible; }
  void PanelShowAgain() override { ++showAgain; }
  bool PanelHasImageAt(int) override { return true; }
  void UpdateCell(int position, const TIconInfo& record) override {
    updates.emplace_back(position, record);
  }
  void ClearCells() override { ++clears; }
};

inline OsVersionInfo VersionFor(int code) {
  switch (code) {
    case 80:
      return {5, 0, 2195, 2};
    case 30:
      return {4, 10, 2222, 1};
    case 0:
      return {5, 2, 3790, 2};
    default:
      return {5, 1, 2600, 2};
  }
}

// A settings file that remembers program a (C:\Apps\a.exe, window class AWnd) in the panel.
inline constexpr const char* kAInPanel =
    "[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n";

// The entry of the all-icons list with that tip, if any.
inline const TIconInfo* Find(TrayRegistry& r, const std::string& tip) {
  for (const TIconInfo& i : r.AllIcons)
    if (i.TipText == tip) return &i;
  return nullptr;
}

inline IconPlace PlaceOf(TrayRegistry& r, const std::string& tip) {
  const TIconInfo* i = Find(r, tip);
  return i ? i->Place : IconPlace::Unplaced;
}

// The options list's row with that caption, -1 for none.
inline int RowOf(TrayRegistry& r, const std::string& tip) {
  for (int i = 0; i < r.ListView1.RowCount(); ++i)
    if (r.ListView1.Rows[static_cast<std::size_t>(i)].Caption == tip) return i;
  return -1;
}

// Listed icons other than Corvalet's own, which is listed like any other.
inline int ForeignCount(TrayRegistry& r) {
  int n = 0;
  for (const TIconInfo& i : r.AllIcons) n += i.ExePath.find("Corvalet.exe") == std::string::npos;
  return n;
}

struct World {
  // With realPanel the Corvalet Panel is the real one (THint) over a recording window, and it
  // is the views placement drives; otherwise the recording views stand in.
  explicit World(int versionCode = 90, bool realPanel = false)
      : World(VersionFor(versionCode), versionCode, realPanel) {}
  // A system that reports version, with a taskbar built as the tree of treeCode.
  World(const OsVersionInfo& version, int treeCode, bool realPanel = false) : treeCode_(treeCode) {
    desktop.SetVersion(version);
    taskbar = std::make_unique<sim::SimTaskbar>(desktop, treeCode);
    hook = std::make_unique<sim::SimHook>(desktop, *taskbar);
    if (realPanel) panel = std::make_unique<THint>(desktop, panelWindow);
    corvalet = std::make_unique<sim::SimCorvalet>(
        desktop, *hook, realPanel ? static_cast<PlacementViews&>(*panel) : views,
        "C:\\Program Files\\Corvalet\\Corvalet.exe", panel.get());
  }

  sim::SimProgram& Program(const std::string& exePath, const std::string& className,
                           bool dllFirst = false) {
    programs.push_back(std::make_unique<sim::SimProgram>(desktop, exePath, className, dllFirst));
    return *programs.back();
  }

  void SetIni(const std::string& text) { desktop.Profile().SetFileText("QLCvl.ini", text); }
  std::string Ini() { return desktop.Profile().FileText("QLCvl.ini").value_or(""); }
  std::string IniValue(const std::string& section, const std::string& key) {
    return desktop.Profile().Get(section, key, "<missing>", 2048, "QLCvl.ini");
  }

  // The shell dies and a new one starts with an empty tray and announces itself to every
  // top-level window; the programs' windows get it too but put nothing back on their own.
  void RestartShell() {
    taskbar.reset();
    taskbar = std::make_unique<sim::SimTaskbar>(desktop, treeCode_);
    hook->ShellRestarted(*taskbar);
    const std::uint32_t created = desktop.RegisterWindowMessageA("TaskbarCreated");
    desktop.PostMessageA(corvalet->Host().window, created, 0, 0);
    Pump();  // the broadcast, which posts the restart
    Pump();  // the restart
  }

  // Delivers what the hook has posted, as Corvalet's message loop would.
  void Pump() { desktop.ProcessMessages(); }

  bool Hidden(const sim::SimProgram& p, std::uint32_t uID) const {
    const auto b = taskbar->Button(p.Window(), uID);
    return b && b->hidden;
  }

  TrayRegistry& Registry() { return corvalet->Registry(); }
  // The requests of one kind (THM_ENUMREQUEST, THM_QUERYREQUEST) sent to the tray so far.
  int Requests(std::uint32_t msg) const {
    int n = 0;
    for (const auto& m : desktop.Log) n += m.msg == msg && m.window == taskbar->Toolbar();
    return n;
  }

  sim::SimDesktop desktop;
  std::unique_ptr<sim::SimTaskbar> taskbar;
  std::unique_ptr<sim::SimHook> hook;
  RecordingViews views;
  sim::SimPanelWindow panelWindow;
  std::unique_ptr<THint> panel;
  std::unique_ptr<sim::SimCorvalet> corvalet;
  std::vector<std::unique_ptr<sim::SimProgram>> programs;

 private:
  int treeCode_;
};

}  // namespace cvl::test
