// Reading the tray through the hook, with the whole simulated desktop.
#include <gtest/gtest.h>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

TEST(Enumeration, AnEmptyTrayEmptiesTheListAndTheOptionsList) {
  World w;
  w.hook->AnswerMode = sim::SimHook::Answer::PostedAfterBegin;  // every message on its own
  auto& p = w.Program("C:\\Apps\\one.exe", "OneWnd");
  p.AddIcon(1, "one");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  EXPECT_EQ(ForeignCount(r), 1);
  r.HandlingFlag = false;
  p.DeleteIcon(1);
  w.corvalet->Form().RxTrayIcon1().SetActive(false);
  w.Pump();
  ASSERT_TRUE(w.taskbar->Buttons().empty());
  w.desktop.Log.clear();
  EXPECT_EQ(r.Reader.EnumerateIcons(r.AllIcons), 0);
  EXPECT_EQ(r.ListView1.RowCount(), 0);
  EXPECT_TRUE(r.ListView1.TrayImages.empty());
  std::vector<std::uint32_t> answer;
  for (const auto& m : w.desktop.Log)
    if (m.window == w.corvalet->Host().window) answer.push_back(m.msg);
  EXPECT_EQ(answer, (std::vector<std::uint32_t>{THM_ENUMBEGIN, THM_ENUMEND}));
}

TEST(Enumeration, ReadsEveryFieldOfEveryButtonInOrder) {
  World w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd", /*dllFirst=*/true);
  a.AddIcon(7, "first", 0x5101);
  b.AddIcon(3, "second", 0x5102);
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  ASSERT_GE(r.AllIcons.Count(), 2);
  const TIconInfo& first = r.AllIcons[0];
  EXPECT_EQ(first.cbSize, kIconInfoSize);
  EXPECT_EQ(first.hWnd, a.Window());
  EXPECT_EQ(first.uID, 7u);
  EXPECT_EQ(first.uCallbackMessage, sim::kOwnerCallback);
  EXPECT_EQ(first.hIcon, 0x5101u);
  EXPECT_EQ(first.ButtonIndex, 0);
  EXPECT_EQ(first.CommandId, w.taskbar->Buttons()[0].idCommand);
  EXPECT_EQ(first.TipText, "first");
  EXPECT_EQ(first.ExePath, "C:\\Apps\\a.exe");
  EXPECT_EQ(first.ClassName, "AWnd");
  EXPECT_EQ(first.uFlags, 0u);
  // A module list that starts with a DLL still yields the executable.
  EXPECT_EQ(r.AllIcons[1].ExePath, "C:\\Apps\\b.exe");
  EXPECT_EQ(r.AllIcons[1].ButtonIndex, 1);
  // One row per listed icon, with its tip, image and button index.
  ASSERT_EQ(r.ListView1.RowCount(), r.AllIcons.Count());
  EXPECT_EQ(r.ListView1.Rows[1].Caption, "second");
  EXPECT_EQ(r.ListView1.Rows[1].Data, 1);
  EXPECT_EQ(r.ListView1.TrayImages[static_cast<std::size_t>(r.ListView1.Rows[1].ImageIndex)],
            0x5102u);
  // Every tip atom was read and deleted.
  EXPECT_EQ(w.desktop.AtomCount(), 0);
}

TEST(Enumeration, TwoInstancesOfOneProgramGiveOneEntryAndOneRow) {
  World w;
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a again");
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(ForeignCount(w.Registry()), 1);
  EXPECT_EQ(w.Registry().ListView1.RowCount(), w.Registry().AllIcons.Count());
  EXPECT_EQ(w.desktop.AtomCount(), 0);
}

TEST(Enumeration, LongTipsAreCutAndUnreadableAtomsGiveEmptyTips) {
  World w;
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, std::string(255, 'x'));
  ASSERT_TRUE(w.corvalet->Start());
  const TIconInfo* icon = Find(w.Registry(), std::string(253, 'x'));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(w.desktop.AtomCount(), 0);

  // An atom that cannot be read: empty text, and the record is still added.
  w.Registry().HandleHookMessage(THM_ENUMICON, 9, 0);
  w.Registry().HandleHookMessage(THM_ENUMOWNER, w.programs[0]->Window(), 99);
  w.Registry().HandleHookMessage(THM_ENUMTIP, 5, 0xC123);
  w.Registry().HandleHookMessage(THM_ENUMCOMMIT, 0, 0);
  const TIconInfo& last = w.Registry().AllIcons[w.Registry().AllIcons.Count() - 1];
  EXPECT_EQ(last.uID, 99u);
  EXPECT_EQ(last.TipText, "");
}

TEST(Enumeration, AnAtomIsDeletedExactlyOnce) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  // The atom has two references: one is the hook's, handed over; one belongs to someone else.
  const Atom atom = w.desktop.GlobalAddAtomA("shared tip");
  w.desktop.GlobalAddAtomA("shared tip");
  w.Registry().HandleHookMessage(THM_ENUMTIP, 5, atom);
  EXPECT_EQ(w.desktop.GlobalGetAtomNameA(atom, 254), "shared tip");
  w.Registry().HandleHookMessage(THM_ENUMTIP, 5, atom);
  EXPECT_EQ(w.desktop.AtomCount(), 0);
}

TEST(Enumeration, SkippedWhileSwitchedOff) {
  World w;
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  const int before = r.AllIcons.Count();
  w.corvalet->Form().Options().Enabled = false;
  w.desktop.Log.clear();
  EXPECT_EQ(r.Reader.EnumerateIcons(r.AllIcons), 0);
  EXPECT_EQ(r.AllIcons.Count(), before);
  EXPECT_EQ(r.ListView1.RowCount(), before);
  EXPECT_TRUE(w.desktop.Log.empty());
}

// A taskbar that takes no message at all: every wait ends after its bound.
TEST(HungHook, AHungToolbarCostsOneBoundPerRequest) {
  World w;
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  const int listed = r.AllIcons.Count();
  w.desktop.Window(w.taskbar->Toolbar())->hung = true;
  const std::uint32_t start = w.desktop.GetTickCount();
  EXPECT_EQ(r.Reader.EnumerateIcons(r.AllIcons), listed);  // what it had is kept
  EXPECT_LE(w.desktop.GetTickCount() - start, kHookAnswerTimeoutMs);
  const TIconInfo none = r.Reader.QueryIcon(w.programs[0]->Window(), 1);
  EXPECT_EQ(none.hWnd, 0u);
  EXPECT_EQ(w.desktop.BlockedSends, 0);
}

TEST(HungHook, AHookThatNeverAnswersDoesNotHoldTheProgram) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  w.hook->AnswerMode = sim::SimHook::Answer::Never;
  const std::uint32_t start = w.desktop.GetTickCount();
  w.Registry().Reader.EnumerateIcons(w.Registry().AllIcons);
  w.Registry().Reader.QueryIcon(1, 1);
  EXPECT_EQ(w.desktop.GetTickCount(), start);
}

TEST(HungHook, AnAnswerWithoutItsEndLeavesTheLastWholeReading) {
  World w;
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  w.hook->AnswerMode = sim::SimHook::Answer::NoEnd;
  TrayRegistry& r = w.Registry();
  const std::uint32_t start = w.desktop.GetTickCount();
  r.Reader.EnumerateIcons(r.AllIcons);
  EXPECT_EQ(w.desktop.GetTickCount() - start, kHookAnswerTimeoutMs);
  // Part of the tray would have the placement that follows show what it does not list.
  EXPECT_EQ(Find(r, "b"), nullptr);
  EXPECT_NE(Find(r, "a"), nullptr);
  EXPECT_EQ(r.ListView1.RowCount(), r.AllIcons.Count());
  EXPECT_FALSE(r.Reader.EnumDone);
  EXPECT_FALSE(r.Reader.LastReadingWhole());
}

TEST(HungHook, ASlowAnswerThatKeepsComingIsAwaitedWhole) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  auto& p = w.Program("C:\\Apps\\many.exe", "ManyWnd");
  w.Registry().HandlingFlag = false;
  for (std::uint32_t id = 1; id <= 100; ++id) p.AddIcon(id, "icon " + std::to_string(id));
  w.Pump();
  w.Registry().HandlingFlag = true;
  // Six hundred posted messages, each 10 ms apart: twice the bound in all, never silent for it.
  w.hook->AnswerMode = sim::SimHook::Answer::PostedAfterBegin;
  w.desktop.PostedDelayMs = 10;
  const std::uint32_t start = w.desktop.GetTickCount();
  w.Registry().Reader.EnumerateIcons(w.Registry().AllIcons);
  EXPECT_GT(w.desktop.GetTickCount() - start, kHookAnswerTimeoutMs);
  EXPECT_TRUE(w.Registry().Reader.EnumDone);
  EXPECT_EQ(ForeignCount(w.Registry()), 100);
}

TEST(HungHook, AnAnswerThatNeverEndsIsCutOffAtItsLimit) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  // A hook stuck repeating one message of its answer, forever.
  const Hwnd form = w.corvalet->Host().window;
  const Hwnd looping = w.desktop.CreateWindow("Loop", "", 0, 1, [&](std::uint32_t, WParam, LParam) {
    w.desktop.PostMessageA(form, THM_ENUMCALLBACK, 0, 0);
    return 0;
  });
  w.desktop.Subclass(
      form, [&, old = w.desktop.Window(form)->handler](std::uint32_t m, WParam wp, LParam lp) {
        // Posted with an answer's number: nothing else is taken while Corvalet waits.
        if (m == THM_ENUMCALLBACK) w.desktop.PostMessageA(looping, THM_ENUMCALLBACK, 0, 0);
        return old(m, wp, lp);
      });
  w.hook->AnswerMode = sim::SimHook::Answer::NoEnd;
  w.desktop.PostedDelayMs = 5;
  const std::uint32_t start = w.desktop.GetTickCount();
  w.Registry().Reader.EnumerateIcons(w.Registry().AllIcons);
  const std::uint32_t waited = w.desktop.GetTickCount() - start;
  EXPECT_GE(waited, kHookAnswerLimitMs);
  EXPECT_LT(waited, kHookAnswerLimitMs + 100);
  w.desktop.DestroyWindow(looping);
}

TEST(Enumeration, EachOwnerProcessIsWalkedOnce) {
  World w;
  auto& p = w.Program("C:\\Apps\\a.exe", "AWnd");
  for (std::uint32_t id = 1; id <= 3; ++id) p.AddIcon(id, "a" + std::to_string(id));
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  w.desktop.Snapshots = 0;
  r.Reader.EnumerateIcons(r.AllIcons);
  EXPECT_EQ(w.desktop.Snapshots, 0);  // known from the enumeration before
  // A new process behind a new window is walked anew.
  p.Restart();
  p.AddIcon(9, "a again");
  w.Pump();
  EXPECT_EQ(w.desktop.Snapshots, 1);
  const TIconInfo* again = Find(r, "a again");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->ExePath, "C:\\Apps\\a.exe");
}

TEST(Enumeration, APostedAnswerGivesTheSameListAsASentOne) {
  const auto listing = [](sim::SimHook::Answer mode) {
    World w;
    w.hook->AnswerMode = mode;
    w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
    w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(2, "b");
    EXPECT_TRUE(w.corvalet->Start());
    std::vector<std::string> tips;
    for (const TIconInfo& i : w.Registry().AllIcons)
      tips.push_back(i.TipText + "@" + std::to_string(i.ButtonIndex));
    return tips;
  };
  EXPECT_EQ(listing(sim::SimHook::Answer::Sent), listing(sim::SimHook::Answer::PostedAfterBegin));
  EXPECT_EQ(listing(sim::SimHook::Answer::Sent), listing(sim::SimHook::Answer::Batched));
}

TEST(Enumeration, CorvaletTakesTheRestOfAnAnswerInOnePieceAndReadsEachTipOnce) {
  World w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(2, "b");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  const Hwnd form = w.corvalet->Host().window;
  const auto toForm = [&] {
    std::vector<std::uint32_t> answer;
    for (const auto& m : w.desktop.Log)
      if (m.window == form) answer.push_back(m.msg);
    w.desktop.Log.clear();
    return answer;
  };
  const int atoms = w.desktop.AtomCount();
  w.desktop.Log.clear();
  r.Reader.EnumerateIcons(r.AllIcons);
  EXPECT_EQ(toForm(), (std::vector<std::uint32_t>{THM_ENUMBEGIN, 0x4A}));
  EXPECT_TRUE(r.Reader.EnumDone);
  EXPECT_EQ(w.desktop.AtomCount(), atoms);
  EXPECT_EQ(ForeignCount(r), 2);
  EXPECT_EQ(r.ListView1.RowCount(), r.AllIcons.Count());
  ASSERT_NE(Find(r, "b"), nullptr);
  EXPECT_EQ(Find(r, "b")->uID, 2u);
  // A query's rest as well.
  EXPECT_EQ(r.Reader.QueryIcon(a.Window(), 1).TipText, "a");
  EXPECT_EQ(toForm(), (std::vector<std::uint32_t>{THM_QUERYBEGIN, 0x4A}));
  EXPECT_EQ(w.desktop.AtomCount(), atoms);
}

TEST(Query, ReadsOneIconAndAddsItWhenNew) {
  World w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(4, "a");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  a.ModifyIcon(4, "changed", 0x5999);
  const int rows = r.ListView1.RowCount();
  const TIconInfo q = r.Reader.QueryIcon(a.Window(), 4);
  EXPECT_EQ(q.TipText, "changed");
  EXPECT_EQ(q.hIcon, 0x5999u);
  EXPECT_EQ(q.ButtonIndex, 0);
  EXPECT_EQ(q.ExePath, "C:\\Apps\\a.exe");
  EXPECT_EQ(r.ListView1.RowCount(), rows);  // queries never touch the options list
  // The three messages go in their fixed order.
  std::vector<std::uint32_t> sent;
  for (const auto& m : w.desktop.Log)
    if (m.window == w.taskbar->Toolbar() &&
        (m.wParam == THM_QUERYSETID_VALUE || m.wParam == THM_QUERYSETWND_VALUE ||
         m.wParam == THM_QUERY_VALUE))
      sent.push_back(m.wParam);
  EXPECT_EQ(sent, (std::vector<std::uint32_t>{THM_QUERYSETID_VALUE, THM_QUERYSETWND_VALUE,
                                              THM_QUERY_VALUE}));

  // An icon the list did not hold yet is appended, still without a row.
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  r.HandlingFlag = false;
  b.AddIcon(2, "b");
  w.Pump();
  r.HandlingFlag = true;
  const int listed = r.AllIcons.Count();
  EXPECT_EQ(r.Reader.QueryIcon(b.Window(), 2).TipText, "b");
  EXPECT_EQ(r.AllIcons.Count(), listed + 1);
  EXPECT_EQ(r.ListView1.RowCount(), rows);
  EXPECT_EQ(w.desktop.AtomCount(), 0);
}

TEST(Added, IgnoredWhileTheHandlingFlagIsOffAndPickedUpLater) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  r.HandlingFlag = false;
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  w.Pump();
  EXPECT_EQ(Find(r, "a"), nullptr);
  EXPECT_EQ(r.NewIconWnd, 0u);
  r.HandlingFlag = true;
  r.RefreshIcons();
  EXPECT_NE(Find(r, "a"), nullptr);
}

TEST(MenuButton, FollowsTheHooksReports) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(w.Registry().MenuButtonState, MenuButton::Right);
  w.Registry().HandleHookMessage(THM_MENULEFTBUTTON, 0, 0);
  EXPECT_EQ(w.Registry().MenuButtonState, MenuButton::Left);
  w.Registry().HandleHookMessage(THM_MENURIGHTBUTTON, 0, 0);
  EXPECT_EQ(w.Registry().MenuButtonState, MenuButton::Right);
  EXPECT_FALSE(w.Registry().HandleHookMessage(0x413, 0, 0));
}

}  // namespace
}  // namespace cvl::test

namespace cvl::test {
namespace {

TEST(Query, AnIconGoneBeforeItsQueryGivesAnEmptyRecordAndNoCellChange) {
  World w;
  w.SetIni(kAInPanel);
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  ASSERT_EQ(r.PanelList.Count(), 1);
  // Something was read before: the record buffer holds another icon.
  EXPECT_FALSE(r.Reader.QueryIcon(a.Window(), 1).TipText.empty());
  w.views.panelVisible = true;
  w.hook->SetPanelShown(true);
  a.ModifyIcon(1, "changed");
  a.DeleteIcon(1);  // gone before Corvalet asks for it
  const TIconInfo gone = r.Reader.QueryIcon(a.Window(), 1);
  EXPECT_EQ(gone.hWnd, 0u);
  EXPECT_EQ(gone.TipText, "");
  w.Pump();  // the modified report, then the deleted one
  EXPECT_TRUE(w.views.updates.empty());
}

// While the panel shows, only its icons' changes are asked for, and each lands on its own
// icon's entries; another's is read once a pick brings it into the open panel.
TEST(Query, AChangeWhileThePanelShowsReachesItsIconInEveryList) {
  World w;
  w.SetIni(kAInPanel);
  auto& t = w.Program("C:\\Apps\\t.exe", "TWnd");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  t.AddIcon(1, "t");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  ASSERT_EQ(r.PanelList.Count(), 1);
  ASSERT_GT(r.AllIcons.IndexOf(a.Window(), 1), 0);
  w.views.panelVisible = true;
  w.hook->SetPanelShown(true);
  const int readings = w.Requests(THM_ENUMREQUEST), queries = w.Requests(THM_QUERYREQUEST);
  t.ModifyIcon(1, "t2", 0x5111);
  a.ModifyIcon(1, "a2", 0x5222);
  w.Pump();
  EXPECT_EQ(w.Requests(THM_QUERYREQUEST) - queries, 1);
  for (const TIconList* list : {&r.AllIcons, &r.PanelList, &r.MenuList, &r.TrayList})
    for (const TIconInfo& i : *list) {
      const std::string tip = i.TipText + "/" + std::to_string(i.hIcon);
      if (i.hWnd == a.Window())
        EXPECT_EQ(tip, "a2/" + std::to_string(0x5222));
      else
        EXPECT_TRUE(i.TipText != "t2" && i.TipText != "a2") << i.TipText;
    }
  EXPECT_EQ(r.PanelList[0].TipText, "a2");
  ASSERT_EQ(w.views.updates.size(), 1u);
  EXPECT_EQ(w.views.updates[0].first, 0);
  EXPECT_FALSE(r.ReadingOwed());
  // The tray icon picked into the open panel: read from the timer, not inside the pick.
  r.ListView1.SetSelected(RowOf(r, "t"), true);
  r.ListView1.CheckRadio(IconPlace::Panel);  // as the user's click on the radio button
  ASSERT_TRUE(r.ReadingOwed());
  EXPECT_EQ(w.Requests(THM_ENUMREQUEST), readings);
  w.corvalet->Form().RetryTimerTimer();
  w.Pump();
  EXPECT_EQ(w.Requests(THM_ENUMREQUEST), readings + 1);
  EXPECT_EQ(r.PanelList[r.PanelList.IndexOf(t.Window(), 1)].TipText, "t2");
}

TEST(Enumeration, AnUnansweredRequestKeepsTheOptionsListInStepWithTheIcons) {
  World w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  const int count = r.AllIcons.Count();
  ASSERT_GT(count, 0);
  w.hook->AnswerMode = sim::SimHook::Answer::Never;
  r.Reader.EnumerateIcons(r.AllIcons);
  EXPECT_EQ(r.AllIcons.Count(), count);
  ASSERT_EQ(r.ListView1.RowCount(), count);
  for (int i = 0; i < count; ++i)
    EXPECT_EQ(r.ListView1.Rows[static_cast<std::size_t>(i)].Caption, r.AllIcons[i].TipText);
}

TEST(Enumeration, AFailedModuleWalkIsTriedAgainAndNeverRemembered) {
  World w;
  w.SetIni("[Common]\r\nApStyle=2\r\n");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  w.desktop.FailingSnapshots = 1000;  // no snapshot can be taken at this moment
  a.AddIcon(1, "a");
  w.Pump();
  ASSERT_NE(Find(r, "a"), nullptr);
  EXPECT_EQ(Find(r, "a")->ExePath, "");
  // Placed by ApStyle, but no program with an empty path is written to the memory.
  EXPECT_EQ(PlaceOf(r, "a"), IconPlace::Panel);
  EXPECT_EQ(w.IniValue("Panel items", "Count"), "0");
  EXPECT_EQ(r.Memory.PanelMemory.Count(), 0);

  w.desktop.FailingSnapshots = 0;
  r.Reader.EnumerateIcons(r.AllIcons);
  EXPECT_EQ(Find(r, "a")->ExePath, "C:\\Apps\\a.exe");
}

}  // namespace
}  // namespace cvl::test
