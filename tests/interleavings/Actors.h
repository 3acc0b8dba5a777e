#pragma once
// What the programs, the shell and the user did, as they themselves would tell it: which icons
// stand in the tray and with which tips and pictures, which ones their programs hid, where the
// settings file at the start, the user's choices and the new-icon style put each program, and
// whether the user left Corvalet on. The invariants take their expectations from this record
// and from the description's rules, never from Corvalet's lists or files.
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "registry/IconPlace.h"
#include "sim/SimDesktop.h"

namespace cvl::test {

using IconKey = std::pair<int, std::uint32_t>;  // a program's index and its icon's ID

struct IconFacts {
  std::vector<std::string> tips;  // every tip since it was added, the current one last
  std::vector<Hicon> pictures;
  bool hiddenByProgram = false;
  bool changedWhileShown = false;  // changed while the panel stood open, open since
};

struct Actors {
  std::map<IconKey, IconFacts> live;        // icons their programs added and still have
  std::map<std::string, IconKey> tipOwner;  // each tip ever given, whose it was
  std::map<std::string, Hwnd> tipWindow;    // and the window that gave it
  // Where each program may stand: one place, or several where the order of Corvalet's
  // readings decides (an icon gone before any reading held it, a choice left with Cancel, a
  // minimize's place that the next added icon takes).
  std::map<int, std::set<IconPlace>> places;
  std::set<int> chosen;  // placed by the user's OK: no new-icon style applies any more
  std::set<Hwnd> dead;
  bool enabled = true;        // what the user chose in the menu
  bool sessionEnded = false;  // since the user last switched on
  bool folded = false;        // the button near the clock, as the user last clicked it
  bool minimizing = false;    // a window went while on: the next added icon takes its place
  int menuRequests = 0;       // right clicks on the own icon, two at once counted once
  int restartRequests = 0;    // "TaskbarCreated" and restarts, two at once counted once
  bool On() const { return enabled && !sessionEnded; }

  // A single place when the program's place is settled.
  bool Settled(int program) const {
    const auto it = places.find(program);
    return it != places.end() && it->second.size() == 1;
  }
  IconPlace Place(int program) const {
    const auto it = places.find(program);
    return it == places.end() || it->second.empty() ? IconPlace::Unplaced : *it->second.begin();
  }
  // Hidden in the tray for its place: the panel's and the menu's icons.
  static bool HiddenPlace(IconPlace p) { return p == IconPlace::Panel || p == IconPlace::Menu; }
  // The places may differ in whether the button is hidden.
  bool HiddenUnsettled(int program) const {
    const auto it = places.find(program);
    if (it == places.end()) return false;
    bool hidden = false, shown = false;
    for (const IconPlace p : it->second) (HiddenPlace(p) ? hidden : shown) = true;
    return hidden && shown;
  }
  void Gave(const IconKey& icon, Hwnd window, const std::string& tip, Hicon picture,
            bool panelShown) {
    IconFacts& f = live[icon];
    f.tips.push_back(tip);
    f.pictures.push_back(picture);
    f.changedWhileShown = panelShown;
    tipOwner[tip] = icon;
    tipWindow[tip] = window;
  }
};

}  // namespace cvl::test
