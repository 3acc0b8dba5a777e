// Reports that wait together are served by one reading of the tray, and end exactly where
// handling them one by one would: the same places, buttons, file, options list and panel, and
// no tip left behind. Random sequences of tray changes go through both.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

constexpr int kPrograms = 6;
constexpr std::uint32_t kIdsPerProgram = 2;

std::string Memory(int apStyle) {
  // Program 0 remembered in the panel, 1 in the menu, 2 in the tray; 3 to 5 are new.
  return "[Common]\r\nApStyle=" + std::to_string(apStyle) +
         "\r\n[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\p0.exe\r\nID_0=W0\r\n"
         "[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\p1.exe\r\nID_0=W1\r\n"
         "[Tray items]\r\nCount=1\r\nIM_0=C:\\Apps\\p2.exe\r\nID_0=W2\r\n";
}

struct Side : World {
  Side(bool batched, int apStyle) : World(90, true) {
    SetIni(Memory(apStyle));
    for (int i = 0; i < kPrograms; ++i)
      owners.push_back(
          &Program("C:\\Apps\\p" + std::to_string(i) + ".exe", "W" + std::to_string(i)));
    owners[0]->AddIcon(1, "p0 first");
    owners[3]->AddIcon(1, "p3 first");
    EXPECT_TRUE(corvalet->Start());
    Registry().TakeWaitingReports = batched;
    panel->Show();
    Drain();
    taskbar->OnTrayChange = [this, old = taskbar->OnTrayChange](std::uint32_t m, Hwnd owner,
                                                                std::uint32_t id) {
      ownAdds += m == kNimAdd && owner == corvalet->Host().window;
      if (old) old(m, owner, id);
    };
  }
  // A program that adds or removes its icon again each time it gets the processor, changes
  // times; step runs before each.
  void Burst(WParam changes, std::function<void(WParam left)> step = {}) {
    burster =
        desktop.CreateWindow("Burster", "", 0, 1, [this, step](std::uint32_t, WParam n, LParam) {
          if (step) step(n);
          if (n % 2 == 0)
            owners[4]->AddIcon(1, "p4 " + std::to_string(n));
          else
            owners[4]->DeleteIcon(1);
          if (n > 0) desktop.PostMessageA(burster, 1, n - 1, 0);
          return 0;
        });
    desktop.PostMessageA(burster, 1, changes, 0);
  }
  bool OwnIconLast() { return taskbar->Buttons().back().owner == corvalet->Host().window; }
  void Drain() {
    for (int i = 0; i < 50 && desktop.QueueLength() > 0; ++i) Pump();
  }
  int EnumerationsSince(std::size_t from) const {
    int n = 0;
    for (std::size_t i = from; i < desktop.Log.size(); ++i)
      n += desktop.Log[i].msg == THM_ENUMREQUEST && desktop.Log[i].window == taskbar->Toolbar();
    return n;
  }
  // Everything a user or the settings file could tell apart. The own icon's refresh may wait
  // for a burst's last report, after its reading: where the lists hold the own icon is left
  // out, its button's place is not.
  std::string State() {
    std::ostringstream s;
    const Hwnd own = corvalet->Host().window;
    const OptionsList& rows = Registry().ListView1;
    std::ostringstream ownLine;
    for (int at = 0; at < Registry().AllIcons.Count(); ++at) {
      const TIconInfo& i = Registry().AllIcons[at];
      const ListRow& r = rows.Rows.at(static_cast<std::size_t>(at));
      (i.hWnd == own ? ownLine : s)
          << "icon " << i.hWnd << ':' << i.uID << ' ' << i.TipText << ' ' << i.hIcon << ' '
          << i.ExePath << ' ' << i.ClassName << ' ' << static_cast<int>(i.Place) << " row "
          << r.Caption << ' ' << rows.TrayImages.at(static_cast<std::size_t>(r.ImageIndex)) << '\n';
    }
    s << ownLine.str();
    for (const auto* list : {&Registry().TrayList, &Registry().PanelList, &Registry().MenuList}) {
      s << "list";
      for (const TIconInfo& i : *list) s << ' ' << i.hWnd << ':' << i.uID;
      s << '\n';
    }
    for (const auto& b : taskbar->Buttons())
      s << "button " << b.owner << ':' << b.uID << " hidden=" << b.hidden << ' ' << b.tip << '\n';
    for (const PanelCell& c : panel->IconCells)
      s << "cell " << c.Tag << ' ' << c.Picture << ' ' << c.Hint << ' ' << c.Left << '\n';
    for (const MenuItem& m : corvalet->Form().RxPopupMenu1.Items)
      s << "entry " << m.Caption << ' ' << m.Tag << '\n';
    s << "atoms " << desktop.AtomCount() << '\n' << "file\n" << Ini();
    return s.str();
  }
  std::vector<sim::SimProgram*> owners;
  int ownAdds = 0;  // the own icon's refreshes
  Hwnd burster = 0;
};

// One change by a random owner, done alike on both sides.
void Change(std::mt19937& random, std::vector<Side*> sides, std::vector<std::vector<bool>>& shown,
            int step) {
  const int p = static_cast<int>(random() % kPrograms);
  const std::uint32_t id = 1 + random() % kIdsPerProgram;
  const std::string tip = "p" + std::to_string(p) + " " + std::to_string(step);
  const Hicon picture = static_cast<Hicon>(0x5000 + random() % 4);
  auto& on = shown[static_cast<std::size_t>(p)];
  const bool present = on[id];
  const int kind = present ? static_cast<int>(random() % 3) : 0;
  for (Side* side : sides) {
    sim::SimProgram& owner = *side->owners[static_cast<std::size_t>(p)];
    if (kind == 0) owner.AddIcon(id, tip, picture);
    if (kind == 1) owner.DeleteIcon(id);
    if (kind == 2) owner.ModifyIcon(id, tip, picture);
  }
  on[id] = kind != 1;
}

TEST(ReportBatches, EndWhereHandlingEachReportOnItsOwnEnds) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    std::mt19937 random(seed);
    const int apStyle = 1 + static_cast<int>(random() % 3);
    Side one(false, apStyle), batch(true, apStyle);
    std::vector<std::vector<bool>> shown(kPrograms, std::vector<bool>(kIdsPerProgram + 1, false));
    shown[0][1] = shown[3][1] = true;
    ASSERT_EQ(one.State(), batch.State()) << "seed " << seed;
    const int steps = 2 + static_cast<int>(random() % 30);
    for (int step = 0; step < steps; ++step) {
      Change(random, {&one, &batch}, shown, step);
      // Now and then Corvalet catches up in the middle of the burst.
      if (random() % 8 == 0) {
        one.Drain();
        batch.Drain();
      }
    }
    one.Drain();
    batch.Drain();
    ASSERT_EQ(one.State(), batch.State()) << "seed " << seed;
    // One by one, the refresh waited for the last report: it came all the same.
    ASSERT_EQ(one.taskbar->Buttons().back().owner, one.corvalet->Host().window) << seed;
  }
}

TEST(ReportBatches, AWaitingBurstIsReadOnceWithOneRefreshOfTheOwnIcon) {
  Side w(true, 2);
  const std::size_t from = w.desktop.Log.size();
  const int atoms = w.desktop.AtomCount();
  w.ownAdds = 0;
  for (int round = 0; round < 20; ++round) {
    w.owners[4]->AddIcon(1, "p4");
    w.owners[4]->DeleteIcon(1);  // added and gone within the burst: never placed or written
    w.owners[5]->AddIcon(1, "p5 " + std::to_string(round));
    w.owners[5]->ModifyIcon(1, "p5 again");
    w.owners[5]->DeleteIcon(1);
  }
  w.owners[3]->AddIcon(2, "p3 second");
  w.Drain();
  EXPECT_EQ(w.EnumerationsSince(from), 1);
  EXPECT_EQ(w.ownAdds, 1) << "the own icon is refreshed once for the burst";
  EXPECT_EQ(Find(w.Registry(), "p4"), nullptr);
  EXPECT_EQ(w.Ini().find("p4.exe"), std::string::npos);
  EXPECT_EQ(w.Ini().find("p5.exe"), std::string::npos);
  EXPECT_EQ(PlaceOf(w.Registry(), "p3 second"), IconPlace::Panel);
  EXPECT_EQ(w.desktop.AtomCount(), atoms) << "every tip read is deleted";
}

TEST(ReportBatches, AClickWaitsForOneBatchAtMost) {
  Side w(true, 2);
  const std::size_t from = w.desktop.Log.size();
  int readingsBeforeMenu = -1;
  w.corvalet->InsideMenu = [&](const TrayMenu&) { readingsBeforeMenu = w.EnumerationsSince(from); };
  const auto click = [&] {
    w.desktop.PostMessageA(w.corvalet->Host().window, kOwnIconCallback, kOwnIconId, kWmRButtonUp);
  };
  // Queued behind reports: served before them.
  for (int round = 0; round < 50; ++round) w.owners[5]->AddIcon(1 + round % 2, "p5");
  click();
  for (int round = 0; round < 50; ++round) w.owners[4]->AddIcon(1 + round % 2, "p4");
  w.Drain();
  EXPECT_EQ(readingsBeforeMenu, 0);
  EXPECT_EQ(w.EnumerationsSince(from), 1) << "the reports held meanwhile make one batch";

  // Come while a batch is read, with the burst going on: served once that batch is over.
  const Hwnd form = w.corvalet->Host().window;
  // The owners go on while the shell answers: their changes come after the answer.
  const Hwnd burst = w.desktop.CreateWindow("Owners", "", 0, 1, [&](std::uint32_t, WParam, LParam) {
    for (int round = 0; round < 20; ++round) w.owners[3]->ModifyIcon(1, "p3", 0x5003);
    w.owners[5]->DeleteIcon(1);
    w.owners[5]->DeleteIcon(2);
    return 0;
  });
  int begins = 0;
  w.desktop.Subclass(
      form, [&, old = w.desktop.Window(form)->handler](std::uint32_t m, WParam wp, LParam lp) {
        if (m == THM_ENUMBEGIN && begins++ == 0) {
          click();
          w.desktop.PostMessageA(burst, 1, 0, 0);
        }
        return old(m, wp, lp);
      });
  const std::size_t again = w.desktop.Log.size();
  w.owners[4]->DeleteIcon(1);
  w.owners[4]->AddIcon(1, "p4 again");
  w.corvalet->InsideMenu = [&](const TrayMenu&) {
    readingsBeforeMenu = w.EnumerationsSince(again);
  };
  w.Drain();
  EXPECT_EQ(readingsBeforeMenu, 1);
  EXPECT_EQ(w.corvalet->MenusOpened, 2);
  EXPECT_EQ(Find(w.Registry(), "p5"), nullptr);
}

TEST(ReportBatches, ReportsStillComingPutOffTheOwnIconsRefreshUntilTheLast) {
  for (const bool batched : {false, true}) {
    Side w(batched, 2);
    // A tray program's new icon, whose button stands after the own icon, then a burst that
    // goes on while Corvalet reads the tray.
    w.ownAdds = 0;
    int rounds = 0;
    w.desktop.Subclass(w.corvalet->Host().window,
                       [&, old = w.desktop.Window(w.corvalet->Host().window)->handler](
                           std::uint32_t m, WParam wp, LParam lp) {
                         if (m == THM_ENUMBEGIN && rounds++ < 8) {
                           w.owners[4]->AddIcon(1, "p4");
                           w.owners[4]->DeleteIcon(1);
                         }
                         return old(m, wp, lp);
                       });
    w.owners[2]->AddIcon(2, "p2 second");
    w.Drain();
    EXPECT_GE(rounds, 8) << batched;
    EXPECT_EQ(w.ownAdds, 1) << batched;
    EXPECT_TRUE(w.OwnIconLast()) << batched;
    // Held while a menu was open, they come back as tickets, not as reports.
    w.ownAdds = 0;
    w.corvalet->InsideMenu = [&](const TrayMenu&) {
      w.owners[2]->DeleteIcon(2);
      w.Burst(7);
      w.owners[2]->AddIcon(2, "p2 second");
      for (int pass = 0; pass < 9; ++pass) w.desktop.ProcessMessages();  // the menu's loop
    };
    w.desktop.PostMessageA(w.corvalet->Host().window, kOwnIconCallback, kOwnIconId, kWmRButtonUp);
    w.Drain();
    EXPECT_EQ(w.ownAdds, 1) << batched;
    EXPECT_TRUE(w.OwnIconLast()) << batched;
  }
}

// A burst gathered between readings, the menu opening meanwhile; one without end still has
// the own icon put back now and then (something always waits for some eight seconds).
TEST(ReportBatches, ABurstThatGoesOnIsGatheredBetweenReadingsAndEndsWithTheOwnIconLast) {
  for (const std::uint32_t delay : {1u, 50u}) {
    Side w(true, 2);
    w.desktop.PostedDelayMs = delay;
    w.ownAdds = 0;
    int ownAddsBeforeTheEnd = -1;
    w.Burst(delay == 1 ? 60 : 160, [&](WParam left) {
      if (left == 30 && delay == 1)
        w.desktop.PostMessageA(w.corvalet->Host().window, kOwnIconCallback, kOwnIconId,
                               kWmRButtonUp);
      if (left == 0) ownAddsBeforeTheEnd = w.ownAdds;
    });
    bool menuWhileGathering = false;
    w.corvalet->InsideMenu = [&](const TrayMenu&) {
      menuWhileGathering = w.Registry().Gathering();
    };
    const std::size_t from = w.desktop.Log.size();
    for (int i = 0; i < 400 && w.desktop.QueueLength() > 0; ++i) w.Pump();
    if (delay == 1) {
      EXPECT_TRUE(menuWhileGathering);
      EXPECT_LE(w.EnumerationsSince(from), 4) << "60 changes, one reading each 100 ms at most";
      EXPECT_EQ(PlaceOf(w.Registry(), "p4 0"), IconPlace::Panel);
      EXPECT_TRUE(w.OwnIconLast());
    } else {
      EXPECT_GE(ownAddsBeforeTheEnd, 1);
    }
  }
}

TEST(ReportBatches, AClickDuringTheOwnIconsSendsOpensTheMenuAheadOfTheQueue) {
  Side w(true, 2);
  const Hwnd own = w.corvalet->Host().window;
  bool clicked = false;
  w.taskbar->OnTrayChange = [&, old = w.taskbar->OnTrayChange](std::uint32_t m, Hwnd owner,
                                                               std::uint32_t id) {
    if (old) old(m, owner, id);
    if (m != kNimAdd || owner != own || clicked) return;
    clicked = true;
    for (int round = 0; round < 10; ++round) {
      w.owners[4]->AddIcon(1, "p4");
      w.owners[4]->DeleteIcon(1);
    }
    w.desktop.PostMessageA(own, kOwnIconCallback, kOwnIconId, kWmRButtonUp);
  };
  std::size_t waiting = 0;
  w.corvalet->InsideMenu = [&](const TrayMenu&) { waiting = w.desktop.QueueLength(); };
  w.owners[2]->AddIcon(2, "p2 second");
  w.Drain();
  ASSERT_TRUE(clicked);
  EXPECT_EQ(w.corvalet->MenusOpened, 1);
  EXPECT_GE(waiting, 20u) << "the reports that came before the click wait for the menu";
}

TEST(ReportBatches, ChangesOfPicturesAloneAskEachIconOnce) {
  Side w(true, 2);
  w.owners[0]->AddIcon(2, "p0 second");
  w.Drain();
  ASSERT_EQ(w.Registry().PanelList.Count(), 2);
  const std::size_t from = w.desktop.Log.size();
  for (int round = 0; round < 10; ++round) {
    w.owners[0]->ModifyIcon(1, "p0 " + std::to_string(round), 0x5001);
    w.owners[0]->ModifyIcon(2, "p0 second " + std::to_string(round), 0x5002);
  }
  w.Drain();
  int queries = 0;
  for (std::size_t i = from; i < w.desktop.Log.size(); ++i)
    queries += w.desktop.Log[i].msg == THM_QUERYREQUEST;
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(w.EnumerationsSince(from), 0);
  EXPECT_EQ(w.panel->IconCells.size(), 2u);
  std::vector<std::string> hints;
  for (const PanelCell& c : w.panel->IconCells) hints.push_back(c.Hint);
  EXPECT_NE(std::find(hints.begin(), hints.end(), "p0 9"), hints.end());
  EXPECT_NE(std::find(hints.begin(), hints.end(), "p0 second 9"), hints.end());
}

TEST(ReportBatches, AStalledCorvaletMissesNoIconOnceItRunsAgain) {
  Side w(true, 2);
  w.desktop.PostedQueueLimit = 40;  // Corvalet's queue is full long before the burst ends
  for (int round = 0; round < 60; ++round)
    for (int p = 3; p < kPrograms; ++p)
      w.owners[static_cast<std::size_t>(p)]->ModifyIcon(1, "busy", 0x5001);
  w.owners[4]->AddIcon(1, "p4 new");
  w.owners[5]->AddIcon(2, "p5 new");
  w.owners[3]->DeleteIcon(1);
  w.owners[0]->AddIcon(2, "p0 second");
  ASSERT_GT(w.hook->Marked(), 0u) << "the queue refused some reports";
  // Corvalet runs again; the library's timer tells what it marked.
  for (int i = 0; i < 10 && (w.hook->Marked() > 0 || w.desktop.QueueLength() > 0); ++i) {
    w.Drain();
    w.hook->Tick();
  }
  w.Drain();
  EXPECT_EQ(w.hook->Marked(), 0u);
  EXPECT_EQ(PlaceOf(w.Registry(), "p4 new"), IconPlace::Panel) << "a new program by ApStyle";
  EXPECT_EQ(PlaceOf(w.Registry(), "p5 new"), IconPlace::Panel);
  EXPECT_EQ(PlaceOf(w.Registry(), "p0 second"), IconPlace::Panel) << "a known one by memory";
  EXPECT_EQ(Find(w.Registry(), "p3 first"), nullptr) << "the deleted icon is gone";
  EXPECT_TRUE(w.Hidden(*w.owners[4], 1));
  EXPECT_TRUE(w.Hidden(*w.owners[5], 2));
  EXPECT_NE(w.Ini().find("p4.exe"), std::string::npos);

  // Only a deletion is refused: the tray is read again for it.
  for (int round = 0; round < 60; ++round) w.owners[5]->ModifyIcon(2, "busy", 0x5001);
  w.owners[4]->DeleteIcon(1);
  ASSERT_GT(w.hook->Marked(), 0u);
  for (int i = 0; i < 10 && (w.hook->Marked() > 0 || w.desktop.QueueLength() > 0); ++i) {
    w.Drain();
    w.hook->Tick();
  }
  EXPECT_EQ(Find(w.Registry(), "p4 new"), nullptr);
  w.desktop.PostedQueueLimit = 0;
}

}  // namespace
}  // namespace cvl::test
