// Reports of tray changes that arrive while Corvalet waits for the hook or refreshes its own
// icon: held back and handled afterwards, in order, never nested and never lost.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>

#include "World.h"
#include "registry/ReportDeferral.h"
#include "shell/HookProtocol.h"
#include "sim/SimDesktop.h"

namespace cvl::test {
namespace {

// Pumps until nothing is left: held reports come back as posted messages.
void Drain(World& w) {
  for (int i = 0; i < 20 && w.desktop.QueueLength() > 0; ++i) w.Pump();
}

TEST(HeldReports, AReportDuringAPostedAnswerWaitsAndBothNewIconsArePlaced) {
  World w;
  w.SetIni("[Common]\r\nApStyle=2\r\n");
  ASSERT_TRUE(w.corvalet->Start());
  w.hook->AnswerMode = sim::SimHook::Answer::PostedAfterBegin;
  // Each report on its own, so that b's arrives while a's answer comes in.
  w.Registry().TakeWaitingReports = false;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  a.AddIcon(1, "a");
  b.AddIcon(1, "b");  // queued ahead of the answer to a's enumeration
  int begins = 0, nestedBegins = 0, depth = 0;
  const std::size_t from = w.desktop.Log.size();
  Drain(w);
  // Each enumeration's begin is followed by its end before the next begin: none nested.
  for (std::size_t i = from; i < w.desktop.Log.size(); ++i) {
    const auto& m = w.desktop.Log[i];
    if (m.window != w.corvalet->Host().window) continue;
    if (m.msg == THM_ENUMBEGIN) {
      ++begins;
      if (depth++ > 0) ++nestedBegins;
    }
    if (m.msg == THM_ENUMEND) depth = 0;
  }
  EXPECT_GE(begins, 2);
  EXPECT_EQ(nestedBegins, 0);
  EXPECT_EQ(PlaceOf(w.Registry(), "a"), IconPlace::Panel);
  EXPECT_EQ(PlaceOf(w.Registry(), "b"), IconPlace::Panel);
  EXPECT_TRUE(w.Hidden(a, 1));
  EXPECT_TRUE(w.Hidden(b, 1));
  EXPECT_EQ(w.IniValue("Panel items", "Count"), "2");
}

TEST(HeldReports, NothingButTheAnswerIsHandledWhileAPostedAnswerComesIn) {
  World w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  for (std::uint32_t id = 1; id <= 3; ++id) a.AddIcon(id, "a" + std::to_string(id));
  ASSERT_TRUE(w.corvalet->Start());
  w.Pump();
  w.hook->AnswerMode = sim::SimHook::Answer::PostedAfterBegin;
  TrayRegistry& r = w.Registry();
  // Something of Corvalet's own (a click, a timer) that re-reads the tray, queued while the
  // first answer is still coming in.
  int rereads = 0;
  const Hwnd clicker =
      w.desktop.CreateWindow("Clicker", "", 0, 1, [&](std::uint32_t m, WParam, LParam) {
        if (m == 0x8001) {
          ++rereads;
          r.RefreshIcons();
        }
        return 0;
      });
  const Hwnd form = w.corvalet->Host().window;
  bool posted = false;
  w.desktop.Subclass(
      form, [&, old = w.desktop.Window(form)->handler](std::uint32_t m, WParam wp, LParam lp) {
        // Queued when the begin arrives, so ahead of the answer's posted rest.
        if (m == THM_ENUMBEGIN && !posted) {
          posted = true;
          w.desktop.PostMessageA(clicker, 0x8001, 0, 0);
        }
        return old(m, wp, lp);
      });
  const int listed = r.Reader.EnumerateIcons(r.AllIcons);
  EXPECT_EQ(rereads, 0);
  EXPECT_EQ(ForeignCount(r), 3);
  Drain(w);
  EXPECT_EQ(rereads, 1);
  EXPECT_EQ(ForeignCount(r), 3);
  EXPECT_EQ(r.AllIcons.Count(), listed);
  w.desktop.DestroyWindow(clicker);
}

TEST(HeldReports, ANewIconDuringTheOwnIconRefreshGetsItsPlaceAfterwards) {
  World w;
  w.SetIni("[Common]\r\nApStyle=3\r\n");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");  // its report waits in the queue ...
  const auto enumerations = [&] {
    int n = 0;
    for (const auto& m : w.desktop.Log)
      n += m.msg == THM_ENUMREQUEST && m.window == w.taskbar->Toolbar();
    return n;
  };
  const int before = enumerations();
  r.Placement.RefreshOwnIcon();  // ... and arrives while the own icon is refreshed
  EXPECT_TRUE(r.HandlingFlag);
  EXPECT_EQ(enumerations(), before);  // nothing handled inside the refresh
  EXPECT_EQ(PlaceOf(r, "a"), IconPlace::Unplaced);
  Drain(w);
  EXPECT_EQ(PlaceOf(r, "a"), IconPlace::Menu);
  EXPECT_TRUE(w.Hidden(a, 1));
  // Only a's report came back: the own icon's removal and re-adding were dropped, so one
  // enumeration followed, not three.
  EXPECT_EQ(enumerations(), before + 1);
}

TEST(HeldReports, ReportsSwitchedOffByTheUserAreStillIgnored) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  r.HandlingFlag = false;
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  Drain(w);
  EXPECT_EQ(Find(r, "a"), nullptr);
  EXPECT_EQ(r.Deferral.Held(), 0u);
}

TEST(HeldReports, AShellThatReportsWhileButtonsAreHiddenCannotPullTheListAway) {
  World w;
  w.SetIni(
      "[Panel items]\r\nCount=2\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n"
      "IM_1=C:\\Apps\\b.exe\r\nID_1=BWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  a.AddIcon(1, "a");
  b.AddIcon(1, "b");
  ASSERT_TRUE(w.corvalet->Start());
  // A shell that sends (not posts) a report while it hides the first button: the report
  // re-reads the tray in the middle of the placement pass.
  const Hwnd toolbar = w.taskbar->Toolbar();
  bool reported = false;
  sim::Handler old;
  old = w.desktop.Subclass(toolbar, [&](std::uint32_t m, WParam wp, LParam lp) -> LResult {
    if (m == kTbHideButton && !reported) {
      reported = true;
      w.desktop.SendMessageA(w.corvalet->Host().window, THM_ICONDELETED, a.Window(), 1);
    }
    return old(m, wp, lp);
  });
  // Not known to be hidden, so the pass hides them again.
  w.corvalet->Form().Commands().ForgetButtonStates();
  w.Registry().Placement.ApplyPlacement();
  EXPECT_TRUE(reported);
  EXPECT_TRUE(w.Hidden(a, 1));
  EXPECT_TRUE(w.Hidden(b, 1));
  EXPECT_EQ(w.Registry().PanelList.Count(), 2);
  w.desktop.Subclass(toolbar, old);
}

// The hook tells numbered changes in their order; Corvalet holds them in scopes that open and
// close at random, and its queue takes only a few at a time: a release the full queue cuts
// short, and a scope that opens before what it posted comes in, still hand every change over
// once and in the order told.
TEST(HeldReports, HeldReportsComeBackInTheirOrderThroughAFullQueueAndScopes) {
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    sim::SimDesktop desktop;
    const Hwnd form = desktop.CreateWindow("TMainForm", "", 0, 1);
    desktop.PostedQueueLimit = 2 + random() % 3;
    ReportDeferral deferral(desktop, form);
    std::vector<std::unique_ptr<ReportDeferral::Scope>> scopes;
    std::deque<LParam> untold;  // the hook's, in its order: a refused post is told again
    std::vector<LParam> handled;
    LParam next = 0;
    bool inBox = false;
    const auto dispatch = [&](std::uint32_t msg, WParam wParam, LParam lParam, auto& self) -> void {
      if (msg == kHeldReportMessage) {
        if (const auto r = deferral.Arrived(wParam)) {
          const ReportDeferral::Passing passing(deferral, *r);
          self(r->msg, r->wParam, r->lParam, self);
        }
      } else if (deferral.Holds(msg, wParam, lParam)) {
        deferral.Defer(msg, wParam, lParam);
      } else {
        handled.push_back(lParam);
        // Now and then a modal box: its loop lets in a newer report and what waits.
        if (lParam % 5 == 1 && !inBox) {
          inBox = true;
          untold.push_back(next++);
          while (!untold.empty() && desktop.PostMessageA(form, THM_ICONADDED, 0, untold.front()))
            untold.pop_front();
          for (int i = 0; i < 3; ++i)
            if (const auto m = desktop.TakePostedMessage(form, 0, 0xFFFF))
              self(m->msg, m->wParam, m->lParam, self);
          inBox = false;
        }
        // Now and then as a batch: the held ones on their way are taken along.
        while (lParam % 2 == 0)
          if (const auto r = deferral.TakeOnItsWay(THM_ICONADDED, THM_ICONADDED))
            handled.push_back(r->lParam);
          else
            break;
      }
    };
    for (int step = 0; step < 400; ++step) {
      const unsigned what = random() % 6;
      if (what == 0 && next < 60) untold.push_back(next++);
      while (!untold.empty() && desktop.PostMessageA(form, THM_ICONADDED, 0, untold.front()))
        untold.pop_front();
      if (what == 1 && scopes.size() < 3)
        scopes.push_back(std::make_unique<ReportDeferral::Scope>(deferral));
      if (what == 2 && !scopes.empty()) scopes.pop_back();
      if (what == 3) deferral.ReleaseHeld();  // the retry timer
      if (what >= 4)
        if (const auto m = desktop.TakePostedMessage(form, 0, 0xFFFF))
          dispatch(m->msg, m->wParam, m->lParam, dispatch);
    }
    scopes.clear();
    for (int i = 0;
         i < 1000 && (!untold.empty() || desktop.QueueLength() > 0 || deferral.Held() > 0); ++i) {
      while (!untold.empty() && desktop.PostMessageA(form, THM_ICONADDED, 0, untold.front()))
        untold.pop_front();
      deferral.ReleaseHeld();
      if (const auto m = desktop.TakePostedMessage(form, 0, 0xFFFF))
        dispatch(m->msg, m->wParam, m->lParam, dispatch);
    }
    std::vector<LParam> told(static_cast<std::size_t>(next));
    for (LParam i = 0; i < next; ++i) told[static_cast<std::size_t>(i)] = i;
    ASSERT_EQ(handled, told) << "seed " << seed;
  }
}

}  // namespace
}  // namespace cvl::test
