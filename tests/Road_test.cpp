// The road of one event: a program adds a tray icon and Corvalet takes it into the panel.
#include <gtest/gtest.h>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

TEST(Road, ANewIconTravelsFromTheShellIntoThePanelAndTheFile) {
  World w;
  w.SetIni("[Common]\r\nApStyle=2\r\n");
  ASSERT_TRUE(w.corvalet->Start());
  auto& p = w.Program("C:\\Apps\\mail.exe", "MailWnd");
  ASSERT_TRUE(p.AddIcon(3, "3 new messages"));
  // The report is posted: nothing has happened while the shell call ran.
  EXPECT_FALSE(w.Hidden(p, 3));
  const auto from = w.desktop.Log.size();
  w.Pump();

  TrayRegistry& r = w.Registry();
  EXPECT_TRUE(w.Hidden(p, 3));
  ASSERT_EQ(r.PanelList.Count(), 1);
  EXPECT_EQ(r.PanelList[0].TipText, "3 new messages");
  EXPECT_EQ(r.PanelList[0].uCallbackMessage, sim::kOwnerCallback);
  EXPECT_EQ(w.IniValue("Panel items", "IM_0"), "C:\\Apps\\mail.exe");
  EXPECT_EQ(w.IniValue("Panel items", "ID_0"), "MailWnd");
  EXPECT_TRUE(r.HandlingFlag);
  EXPECT_EQ(w.desktop.AtomCount(), 0);

  // Then Corvalet re-added its own icon, and the reports about that were dropped: exactly one
  // enumeration ran for the whole event.
  int enumerations = 0;
  for (auto i = from; i < w.desktop.Log.size(); ++i)
    enumerations +=
        w.desktop.Log[i].msg == THM_ENUMREQUEST && w.desktop.Log[i].wParam == THM_ENUM_VALUE;
  EXPECT_EQ(enumerations, 1);
  EXPECT_EQ(w.desktop.QueueLength(), 0u);

  // The program ends; its icon leaves every list at the next report.
  p.DeleteIcon(3);
  w.Pump();
  EXPECT_EQ(r.PanelList.Count(), 0);
  EXPECT_EQ(w.IniValue("Panel items", "Count"), "1");  // remembered for its next start
}

}  // namespace
}  // namespace cvl::test
