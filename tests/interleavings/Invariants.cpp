// What must hold once all is quiet. Each invariant says where its expectation comes from: the
// actors' record (what the programs, the shell and the user did) and the description's rules;
// Corvalet's own lists and files are what is judged, never what judges.
#include "interleavings/Play.h"

#include <algorithm>

#include "shell/HookProtocol.h"

namespace cvl::test {

namespace {

const char* const kSections[] = {"Panel items", "Menu items", "Tray items"};
const IconPlace kSectionPlaces[] = {IconPlace::Panel, IconPlace::Menu, IconPlace::Tray};

std::string Places(const std::set<IconPlace>& places) {
  std::string text;
  for (const IconPlace p : places)
    text += (text.empty() ? "" : "/") + std::to_string(static_cast<int>(p));
  return text;
}

template <typename T>
bool Holds(const std::vector<T>& values, const T& v) {
  return std::find(values.begin(), values.end(), v) != values.end();
}

}  // namespace

int Play::ProgramOf(Hwnd owner) const {
  for (std::size_t p = 0; p < owners.size(); ++p)
    if (owners[p]->Window() == owner) return static_cast<int>(p);
  return -1;
}

// The section of the settings file that holds the program, as the user would read the file.
IconPlace Play::InFile(int program, int* copies) {
  const std::string path = Path(program), cls = "W" + std::to_string(program);
  IconPlace place = IconPlace::Unplaced;
  *copies = 0;
  for (int s = 0; s < 3; ++s) {
    const int count = std::atoi(IniValue(kSections[s], "Count").c_str());
    for (int i = 0; i < count; ++i)
      if (IniValue(kSections[s], "IM_" + std::to_string(i)) == path &&
          IniValue(kSections[s], "ID_" + std::to_string(i)) == cls) {
        place = kSectionPlaces[s];
        ++*copies;
      }
  }
  return place;
}

void Play::Check() {
  Observe();
  const bool on = actors_.On();
  // A new program whose last add Corvalet was told of, with the icon still there and Corvalet
  // on and the same taskbar since, was placed by ApStyle (the description's new-icon rule).
  const IconPlace style = PlaceFromOption(s_.apStyle).value_or(IconPlace::Unplaced);
  for (std::size_t p = kRemembered; p < owners.size(); ++p) {
    const int program = static_cast<int>(p);
    const auto served = lastServedAdd_.find(program);
    auto& places = actors_.places[program];
    if (served != lastServedAdd_.end() && actors_.live.count({program, served->second.id}) &&
        served->second.offs == offs_ && served->second.restarts == restarts_ &&
        !actors_.minimizing && !actors_.chosen.count(program) && !returned_.count(program) &&
        std::all_of(places.begin(), places.end(),
                    [&](IconPlace x) { return x == IconPlace::Unplaced || x == style; }))
      places = {style};
  }
  CheckPlaces(on);
  CheckViews(on);
  CheckFile();
  if (!s_.queueLimit) CheckBalloons(on);
  CheckChoices();
  // No tip's atom is left (the protocol's rule: whoever reads a tip deletes it).
  if (desktop.AtomCount() != atomsAtStart_)
    failures_ << desktop.AtomCount() - atomsAtStart_ << " atoms left\n";
  // The minimizer's windows: each hidden one stands in the tray as one icon, across restarts
  // of the shell too; each press of the way back brings back one, however they went.
  if (on) {
    int hidden = 0;
    for (const Hwnd w : windows_) {
      if (desktop.Window(w)->visible) continue;
      ++hidden;
      int buttons = 0;
      for (const auto& b : taskbar->Buttons())
        buttons += b.owner == corvalet->MinWindow() && b.uID == w;
      if (buttons != 1) failures_ << "hidden window " << w << " has " << buttons << " icons\n";
    }
    for (int i = 0; i < hidden; ++i) {
      desktop.PressKey(kModControl | kModAlt | kModShift, 0x78);
      Quiet();
    }
    for (const Hwnd w : windows_)
      if (!desktop.Window(w)->visible) failures_ << "window " << w << " did not come back\n";
  }
  // The hook serves exactly while the user has Corvalet on and the session goes on.
  if (hook->Serving() != on)
    failures_ << "hook serving " << hook->Serving() << ", the user left it on " << on << "\n";
  // Two requests at once are one: one menu, one restart (at most one per request).
  if (corvalet->MenusOpened - menusAtStart_ > actors_.menuRequests)
    failures_ << corvalet->MenusOpened - menusAtStart_ << " menus for " << actors_.menuRequests
              << " requests\n";
  if (restartsHandled_ > actors_.restartRequests)
    failures_ << restartsHandled_ << " restarts for " << actors_.restartRequests << " requests\n";
}

// (a) every icon its program has stands in the tray as exactly one button; (b) the button is
// hidden exactly when its program hid it or, while on, the tray is folded or the program's
// place is the panel or the menu; (h) no dead program's icon is left in the tray.
void Play::CheckPlaces(bool on) {
  for (const auto& [icon, facts] : actors_.live) {
    const Hwnd w = owners[static_cast<std::size_t>(icon.first)]->Window();
    int buttons = 0;
    for (const auto& b : taskbar->Buttons()) buttons += b.owner == w && b.uID == icon.second;
    if (buttons != 1) failures_ << facts.tips.back() << " stands as " << buttons << " buttons\n";
  }
  // A fold, then a restart or a switch that took the button away: the fold is over or not yet.
  const bool foldKnown = folds_ == 0 || (!restarted_ && toggled_ == 0 && endings_ == 0);
  for (const auto& b : taskbar->Buttons()) {
    if (on && actors_.dead.count(b.owner) && !desktop.IsWindow(b.owner))
      failures_ << "the dead " << b.tip << " is still in the tray\n";
    const int p = ProgramOf(b.owner);
    const auto facts = actors_.live.find({p, b.uID});
    if (p < 0 || facts == actors_.live.end()) continue;
    const bool byProgram = facts->second.hiddenByProgram;
    // Switched off with a full queue, a show Corvalet sends again later may come after its
    // program hid the icon (left as it is).
    if (byProgram && !on && s_.queueLimit) continue;
    if (!byProgram && on && (!foldKnown || (!actors_.folded && actors_.HiddenUnsettled(p))))
      continue;
    const bool hidden =
        byProgram || (on && (actors_.folded || Actors::HiddenPlace(actors_.Place(p))));
    if (b.hidden != hidden)
      failures_ << "button " << b.tip << (b.hidden ? " hidden" : " shown") << ", p" << p << " at "
                << Places(actors_.places[p]) << (byProgram ? ", hidden by its program" : "")
                << (actors_.folded ? ", folded" : "") << "\n";
  }
}

// (c) the panel's cells show the panel's icons, the menu's entries the menu's icons, in the
// description's order (the toolbar's; the menu from the bottom up), with those icons' tips
// and pictures; a change made while the panel stood open shows at once.
void Play::CheckViews(bool on) {
  for (const IconPlace place : {IconPlace::Panel, IconPlace::Menu}) {
    std::vector<IconKey> want, got;
    std::set<IconKey> either;  // where the order of readings decides
    for (const auto& b : taskbar->Buttons()) {
      const int p = ProgramOf(b.owner);
      const auto facts = actors_.live.find({p, b.uID});
      if (p < 0 || facts == actors_.live.end() || facts->second.hiddenByProgram || !on) continue;
      if (!actors_.Settled(p) && actors_.places[p].count(place))
        either.insert(facts->first);
      else if (actors_.Settled(p) && actors_.Place(p) == place)
        want.push_back(facts->first);
    }
    if (place == IconPlace::Menu) std::reverse(want.begin(), want.end());
    std::vector<std::pair<std::string, Hicon>> shown;
    if (place == IconPlace::Panel)
      for (const PanelCell& c : panel->IconCells) shown.emplace_back(c.Hint, c.Picture);
    else
      for (const MenuItem& m : corvalet->Form().RxPopupMenu1.Items)
        if (m.Tag >= 0) shown.emplace_back(m.Caption, Hicon{0});
    const char* view = place == IconPlace::Panel ? "panel" : "menu";
    for (const auto& [tip, picture] : shown) {
      const auto owner = actors_.tipOwner.find(tip);
      const auto facts =
          owner == actors_.tipOwner.end() ? actors_.live.end() : actors_.live.find(owner->second);
      if (facts == actors_.live.end()) {
        failures_ << "the " << view << " shows " << tip << ", no icon a program has\n";
        continue;
      }
      const IconFacts& f = facts->second;
      if (!Holds(f.tips, tip)) failures_ << "the " << view << " shows " << tip << ", a tip gone\n";
      if (picture && !Holds(f.pictures, picture))
        failures_ << "the " << view << " shows " << tip << " with a picture it never had\n";
      if (place == IconPlace::Panel && panel->Visible && f.changedWhileShown &&
          (tip != f.tips.back() || picture != f.pictures.back()))
        failures_ << "the open panel shows " << tip << " after its change to " << f.tips.back()
                  << "\n";
      if (!either.count(facts->first)) got.push_back(facts->first);
    }
    if (got != want) {
      failures_ << "the " << view << " shows";
      for (const auto& [p, id] : got) failures_ << " p" << p << ":" << id;
      failures_ << "; its icons are";
      for (const auto& [p, id] : want) failures_ << " p" << p << ":" << id;
      failures_ << "\n";
    }
  }
}

// (e) the settings file holds each program once at most, in the section of a place the
// file at the start, the user's choices or the new-icon style gave it.
void Play::CheckFile() {
  for (std::size_t p = 0; p < owners.size(); ++p) {
    int copies = 0;
    const IconPlace place = InFile(static_cast<int>(p), &copies);
    if (copies > 1) failures_ << "p" << p << " remembered " << copies << " times\n";
    const auto& allowed = actors_.places[static_cast<int>(p)];
    if (!allowed.count(place))
      failures_ << "p" << p << " remembered at " << static_cast<int>(place) << ", put at "
                << Places(allowed) << "\n";
  }
}

// (f) each menu choice reached the icon whose tip its entry showed, before any reading of the
// tray that came after the menu (the description: the chosen entry runs what the user saw).
void Play::CheckChoices() {
  bool dialog = false;
  for (const Action& a : s_.actions) dialog |= a.kind == Kind::Options;
  for (const Choice& c : chosen_) {
    if (actors_.dead.count(c.owner)) continue;
    std::size_t read = 0;
    for (std::size_t i = c.from; i < desktop.Log.size() && !read; ++i)
      if (desktop.Log[i].msg == THM_ENUMREQUEST) read = i;
    const std::size_t clicked = ClickedSince(c, c.from);
    if (!clicked) failures_ << "the chosen " << c.tip << " was never clicked\n";
    // A restart or a switch reads the tray of its own, after a refresh a menu may open in;
    // so does the options dialog opened meanwhile.
    else if (read && read < clicked && !restarted_ && !broadcast_ && toggled_ == 0 && !dialog)
      failures_ << "the tray was read before the chosen " << c.tip << " ran\n";
  }
}

// (k) the balloon messages each program got make sense: a show, then one end. The last
// balloon of a hidden icon went to Corvalet's icon, and its program was told it showed,
// once; a click on a balloon there reached the program whose balloon it was.
void Play::CheckBalloons(bool on) {
  for (std::size_t p = 0; p < owners.size(); ++p) {
    std::map<std::uint32_t, bool> showing;  // by icon
    const auto& got = owners[p]->Received;
    for (std::size_t i = 0; i < got.size(); ++i) {
      const auto& m = got[i];
      // A shell that died took its balloons along unsaid; a balloon relayed to Corvalet's
      // icon before the restart may be told again after it (left as it is).
      if (shellDied_[p].count(i)) showing.clear();
      if (m.msg != sim::kOwnerCallback || m.lParam < static_cast<LParam>(kNinBalloonShow) ||
          m.lParam > static_cast<LParam>(kNinBalloonUserClick))
        continue;
      const bool show = m.lParam == static_cast<LParam>(kNinBalloonShow);
      // An icon removed and added again: Corvalet posts the old balloon's end, the shell
      // sends the new one's show, and the two may cross (left as it is).
      if (show == showing[m.wParam] && !restarted_ &&
          !removed_.count({static_cast<int>(p), static_cast<std::uint32_t>(m.wParam)}))
        failures_ << "p" << p << ":" << m.wParam << " told " << std::hex << m.lParam << std::dec
                  << (show ? " while its balloon showed\n" : " with no balloon shown\n");
      showing[m.wParam] = show;
    }
  }
  const Relay& last = lastRelay_;
  if (last.standing && on && last.record.szInfo[0] != '\0' && last.offs == offs_ &&
      last.restarts == restarts_ && !broadcast_ && !refused_ && folds_ == 0) {
    bool atOwnIcon = false;
    for (std::size_t i = last.shownAt; i < taskbar->BalloonsShown.size(); ++i)
      atOwnIcon |= taskbar->BalloonsShown[i].owner == corvalet->Host().window &&
                   taskbar->BalloonsShown[i].text == last.record.szInfo;
    if (!atOwnIcon) failures_ << "the balloon " << last.record.szInfo << " never showed\n";
    int shows = 0;
    for (const auto& m : owners[static_cast<std::size_t>(last.program)]->Received)
      shows += m.msg == sim::kOwnerCallback && m.wParam == last.record.uID &&
               m.lParam == static_cast<LParam>(kNinBalloonShow);
    if (atOwnIcon && shows == 0)
      failures_ << "p" << last.program << " was never told its balloon showed\n";
  }
  for (const auto& [record, relayedThen] : clicks_) {
    // Replaced while the click came, or gone with its icon or Corvalet's.
    if (hook->Relayed.size() != relayedThen || refused_ || restarted_) continue;
    const int p = ProgramOf(record.owner);
    if (p < 0 || !actors_.live.count({p, record.uID})) continue;
    bool told = false;
    for (const auto& m : owners[static_cast<std::size_t>(p)]->Received)
      told |= m.msg == sim::kOwnerCallback && m.wParam == record.uID &&
              m.lParam == static_cast<LParam>(kNinBalloonUserClick);
    if (!told) failures_ << "the click on " << record.szInfo << " never reached p" << p << "\n";
  }
}

// (g) exit gives every button, the clock and every hidden window back, never a button its
// program hid; the settings file keeps the user's last choice of Enabled (the end of a session
// saves nothing, exit saves the live settings).
void Play::CheckExit() {
  for (const auto& b : taskbar->Buttons()) {
    const int p = ProgramOf(b.owner);
    const auto facts = actors_.live.find({p, b.uID});
    const bool byProgram =
        facts != actors_.live.end() ? facts->second.hiddenByProgram : b.programHidden;
    if (b.hidden != byProgram && !(byProgram && s_.queueLimit && (toggled_ || endings_)))
      failures_ << "after exit " << b.tip << (b.hidden ? " is hidden" : " is shown") << "\n";
  }
  if (const sim::SimWindow* clock = desktop.Window(taskbar->Clock()); clock && !clock->visible)
    failures_ << "after exit the clock is hidden\n";
  for (const Hwnd w : windows_)
    if (!desktop.Window(w)->visible) failures_ << "after exit window " << w << " is hidden\n";
  if (desktop.AtomCount() != atomsAtStart_)
    failures_ << "after exit " << desktop.AtomCount() - atomsAtStart_ << " atoms left\n";
  if ((IniValue("Common", "Enabled") != "0") != actors_.enabled)
    failures_ << "after exit the file holds Enabled " << IniValue("Common", "Enabled")
              << "; the user chose " << actors_.enabled << "\n";
  CheckFile();
}

}  // namespace cvl::test
