// The Corvalet Menu: fixed entries, icon entries in reverse order with their images, the clicks
// passed on by the menu-button state, the margin and its rotated font.
#include <gtest/gtest.h>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

struct MenuWorld : World {
  explicit MenuWorld(int icons) : World(90, true) {
    std::string ini = "[Menu items]\r\nCount=" + std::to_string(icons) + "\r\n";
    for (int i = 0; i < icons; ++i)
      ini += "IM_" + std::to_string(i) + "=C:\\Apps\\m" + std::to_string(i) + ".exe\r\nID_" +
             std::to_string(i) + "=W\r\n";
    SetIni(ini);
    const char* names[] = {"P", "Q", "R"};
    for (int i = 0; i < icons; ++i) {
      owners.push_back(&Program("C:\\Apps\\m" + std::to_string(i) + ".exe", "W"));
      owners.back()->AddIcon(1, names[i], static_cast<Hicon>(0x5100 + i));
    }
    EXPECT_TRUE(corvalet->Start());
  }
  TrayMenu& Menu() { return corvalet->Form().RxPopupMenu1; }
  std::vector<std::string> Captions() {
    std::vector<std::string> c;
    for (const MenuItem& i : Menu().Items) c.push_back(i.Caption);
    return c;
  }
  std::vector<sim::SimProgram*> owners;
};

using Strings = std::vector<std::string>;

TEST(TrayMenu, WithoutIconEntriesTheFixedNineAndTheShortMarginText) {
  MenuWorld w(0);
  w.corvalet->Form().RxPopupMenu1Popup();
  EXPECT_EQ(w.Captions(), (Strings{"About", "Help", "-", "Options", "Corvalet Panel", "-", "-",
                                   "Enabled", "Exit"}));
  for (const MenuItem& i : w.Menu().Items) EXPECT_EQ(i.Tag, -1);
  EXPECT_EQ(w.Menu().Items[0].ImageIndex, 0);
  EXPECT_EQ(w.Menu().Items[1].ImageIndex, 1);
  EXPECT_EQ(w.Menu().Items[3].ImageIndex, 2);
  EXPECT_EQ(w.Menu().Items[8].ImageIndex, 4);
  EXPECT_EQ(w.Menu().ImageList1.size(), 5u);
  EXPECT_EQ(w.Menu().MarginText(), "Corvalet");
}

TEST(TrayMenu, IconEntriesStandInReverseOrderBetweenTheSeparatorsWithTheirImages) {
  MenuWorld w(3);
  w.corvalet->Form().RxPopupMenu1Popup();
  w.corvalet->Form().RxPopupMenu1Popup();  // twice: still one entry per icon
  EXPECT_EQ(w.Captions(), (Strings{"About", "Help", "-", "Options", "Corvalet Panel", "-", "R", "Q",
                                   "P", "-", "Enabled", "Exit"}));
  const auto& items = w.Menu().Items;
  EXPECT_EQ(items[6].Tag, 2);
  EXPECT_EQ(items[8].Tag, 0);
  EXPECT_EQ(items[6].ImageIndex, 7);
  EXPECT_EQ(items[7].ImageIndex, 6);
  EXPECT_EQ(items[8].ImageIndex, 5);
  ASSERT_EQ(w.Menu().ImageList1.size(), 8u);
  EXPECT_EQ(w.Menu().ImageList1[5], 0x5100u);  // P's picture, appended first
  EXPECT_EQ(w.Menu().ImageList1[7], 0x5102u);
  EXPECT_EQ(w.Menu().MarginText(), "Corvalet  2.0");
  // "Enabled" keeps its place second to last, whatever stands above it.
  EXPECT_EQ(w.Menu().Enabled1().Name, "Enabled1");
}

TEST(TrayMenu, AChosenEntryClicksByTheMenuButtonState) {
  MenuWorld w(1);
  TMainForm& f = w.corvalet->Form();
  f.RxPopupMenu1Popup();
  const MenuItem entry = w.Menu().Items[kIconEntriesAt];
  const auto clicks = [&] {
    std::vector<std::uint32_t> m;
    for (const auto& r : w.owners[0]->Received)
      if (r.msg == sim::kOwnerCallback) m.push_back(static_cast<std::uint32_t>(r.lParam));
    w.owners[0]->Received.clear();
    return m;
  };
  f.MenuItemClick(entry);  // right at start
  EXPECT_EQ(clicks(), (std::vector<std::uint32_t>{0x204, 0x205, 0x7B}));
  f.WndProc(THM_MENULEFTBUTTON, 0, 0);
  f.MenuItemClick(entry);
  EXPECT_EQ(clicks(), (std::vector<std::uint32_t>{0x201, 0x202}));
  f.WndProc(THM_MENURIGHTBUTTON, 0, 0);
  f.MenuItemClick(entry);
  EXPECT_EQ(clicks(), (std::vector<std::uint32_t>{0x204, 0x205, 0x7B}));
  // An entry whose record has gone sends nothing.
  MenuItem stale = entry;
  stale.Tag = 4;
  f.MenuItemClick(stale);
  EXPECT_TRUE(clicks().empty());
}

TEST(TrayMenu, TheFixedEntriesDoWhatTheySay) {
  MenuWorld w(0);
  TMainForm& f = w.corvalet->Form();
  auto& host = w.corvalet->Host();
  for (const MenuItem& item : std::vector<MenuItem>(w.Menu().Items)) f.MenuItemClick(item);
  EXPECT_EQ(host.aboutShown, 1);
  EXPECT_EQ(host.documents.size(), 1u);  // no WinHelp file: the help page
  EXPECT_EQ(host.optionsShown, 1);
  EXPECT_TRUE(host.terminated);
  EXPECT_FALSE(w.corvalet->Form().Options().Enabled);  // "Enabled" switched Corvalet off
}

TEST(TrayMenu, ARightButtonReleaseOnTheOwnIconOpensTheMenuAtTheCursor) {
  MenuWorld w(1);
  TMainForm& f = w.corvalet->Form();
  Point opened{-1, -1};
  f.OpenMenu = [&](const TrayMenu&, Point at) -> std::optional<int> {
    opened = at;
    return std::nullopt;
  };
  w.desktop.SetCursor({1000, 750});
  f.WndProc(kOwnIconCallback, kOwnIconId, kWmLButtonUp);
  w.Pump();
  EXPECT_EQ(opened.x, -1);
  f.WndProc(kOwnIconCallback, kOwnIconId, kWmRButtonUp);
  w.desktop.SetCursor({10, 10});  // where the release was is where the menu opens
  w.Pump();
  EXPECT_EQ(opened.x, 1000);
  EXPECT_EQ(opened.y, 750);
  EXPECT_EQ(w.Menu().Count(), 10);  // built on opening
}

TEST(MenuMargin, GradientBandsAndTheRotatedFont) {
  const auto bands = MarginGradient({0, 0, 23, 320});
  ASSERT_EQ(bands.size(), 32u);
  EXPECT_EQ(bands.front().Area, (Rect{0, 0, 20, 10}));
  EXPECT_EQ(bands.back().Area, (Rect{0, 310, 20, 320}));
  EXPECT_EQ(bands.front().Colour, 0x000000u);
  EXPECT_EQ(bands.back().Colour, 0xFF0000u);  // pure blue, as 0x00BBGGRR
  for (std::size_t i = 1; i < bands.size(); ++i) {
    EXPECT_EQ(bands[i].Area.top, bands[i - 1].Area.bottom);
    EXPECT_GE(bands[i].Colour, bands[i - 1].Colour);
  }

  const LogFontSpec lf = MakeRotatedFont(MarginFont(), 90);
  EXPECT_EQ(lf.lfHeight, 16);
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfItalic, 0);
  EXPECT_EQ(lf.lfCharSet, 1);
  EXPECT_EQ(lf.lfPitchAndFamily, 0);
  EXPECT_EQ(lf.lfFaceName, "Arial");
  FontSpec other;
  other.Name = "Courier";
  other.Height = 12;
  other.Italic = other.Underline = other.StrikeOut = true;
  other.PitchKind = FontSpec::Pitch::Fixed;
  const LogFontSpec o = MakeRotatedFont(other, 45);
  EXPECT_EQ(o.lfEscapement, 450);
  EXPECT_EQ(o.lfWeight, 400);
  EXPECT_EQ(o.lfItalic + o.lfUnderline + o.lfStrikeOut, 3);
  EXPECT_EQ(o.lfPitchAndFamily, 1);
  other.PitchKind = FontSpec::Pitch::Variable;
  EXPECT_EQ(MakeRotatedFont(other, 0).lfPitchAndFamily, 2);
}

}  // namespace
}  // namespace cvl::test
