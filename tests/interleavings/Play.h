#pragma once
// A scenario played out on a whole simulated desktop, and what its invariants found.
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "World.h"
#include "interleavings/Actors.h"
#include "interleavings/Scenario.h"
#include "sim/SimScheduler.h"

namespace cvl::test {

inline constexpr int kRemembered = 3;

// The orderings runs reached, each counted once a run: how often the search gets there.
inline std::map<std::string, int>& Reached() {
  static std::map<std::string, int> reached;
  return reached;
}  // programs 0, 1 and 2: in the panel, menu and tray memories

class Play : public World {
 public:
  explicit Play(const Scenario& s);
  static std::string Path(int i) { return "C:\\Apps\\p" + std::to_string(i) + ".exe"; }

  // Runs the scenario; the failures, one a line, empty when all held. The decisions taken
  // and the trace are kept in the scenario's decisions and in trace.
  std::string Go(std::vector<std::string>* trace, std::string* decisions, std::string* diverged);

 private:
  // The actions (PlayActions.cpp).
  bool Serving() { return hook->Serving() && corvalet->Form().Options().Enabled; }
  void Observe();
  void Do(const Action& a);
  void DoProgram(const Action& a);
  void DoOptions(const Action& a);
  void Announce();
  void ShellRestart();
  void InsideMenu(const TrayMenu& shown);
  void Quiet();
  void Minimized(Hwnd window);
  int Choose(const std::string& what, int n);

  // The invariants (Invariants.cpp).
  void Check();
  void CheckPlaces(bool on);
  void CheckViews(bool on);
  void CheckFile();
  void CheckBalloons(bool on);
  void CheckChoices();
  void CheckExit();
  IconPlace InFile(int program, int* copies);
  int ProgramOf(Hwnd owner) const;

  const Scenario& s_;
  std::vector<sim::SimProgram*> owners;
  Actors actors_;
  sim::SimScheduler* scheduler_ = nullptr;
  std::map<int, int>* actors_ids_ = nullptr;
  std::mt19937 fallback_;
  sim::SimProgram* editor_ = nullptr;
  Hwnd windows_[2] = {};
  std::set<IconKey> returning_;  // held by a dead taskbar, not added since
  // Added where the hook did not serve, with no switch-on (a reading) since.
  std::set<IconKey> unread_;
  // Held by a dead taskbar while unread: Corvalet may not know of them, and may take the next
  // add for a new icon's.
  std::set<IconKey> unknownReturns_;
  void NoteAdd(const IconKey& icon) {
    if (hook->Serving())
      unread_.erase(icon);
    else
      unread_.insert(icon);
  }
  struct Served {
    std::uint32_t id;
    int offs, restarts;  // then
  };
  std::map<int, Served> lastServedAdd_;  // the program's last add Corvalet was told of
  int offs_ = 0, restarts_ = 0;
  bool broadcast_ = false;
  bool restarted_ = false;
  bool refused_ = false;
  std::size_t logSeen_ = 0;
  int changes_ = 0;
  int atomsAtStart_ = 0;
  // What the user chose in a menu: the icon the entry's tip named, and when.
  struct Choice {
    IconKey icon;
    Hwnd owner;
    std::string tip;
    std::size_t from;
  };
  std::vector<Choice> chosen_;
  std::size_t ClickedSince(const Choice& c, std::size_t from) const;
  int toggled_ = 0, folds_ = 0, endings_ = 0;
  int menusAtStart_ = 0, restartsHandled_ = 0;
  std::map<int, std::set<std::size_t>> shellDied_;  // where in each program's messages
  std::set<int> everServed_;
  std::set<std::string> reached_;
  bool dialogOpen_ = false;
  std::map<IconKey, IconFacts> heldFacts_;  // icons a dead taskbar held, as they were
  std::set<int> returned_;
  std::set<IconKey>
      removed_;  // icons their programs removed at some time  // put an icon back after a restart:
                 // Corvalet may take a later add so // programs with an add Corvalet was told of
  struct Relay {
    BalloonRecord record;
    int program = -1;
    std::size_t logAt = 0, shownAt = 0;
    int offs = 0, restarts = 0;
    bool standing = false;  // its icon has not gone since
  };
  Relay lastRelay_;
  std::vector<std::pair<BalloonRecord, std::size_t>> clicks_;  // and the balloons relayed then
  std::ostringstream failures_;
};

}  // namespace cvl::test
