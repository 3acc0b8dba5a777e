// Help: which help opens (the WinHelp file, the compiled HTML Help file, the pages in the
// browser), at which topic for the menu and each options page, and that every page the program
// opens is one the help's sources hold.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "World.h"
#include "about/Help.h"

namespace cvl::test {
namespace {

const std::string kDir = "C:\\Program Files\\Corvalet\\Help\\";
const std::string kHlp = kDir + "CvlHelp.hlp";
const std::string kChm = kDir + "Corvalet.chm";

struct HelpWorld : World {
  HelpWorld() { EXPECT_TRUE(corvalet->Start()); }
  TMainForm& Form() { return corvalet->Form(); }
  sim::SimFormHost& Host() { return corvalet->Host(); }
  void Put(const std::string& file) { desktop.Profile().SetFileText(file, ""); }
  // What the last help request did, one line: "winhelp", "chm TOPIC" or "browser PAGE".
  std::string Opened() {
    std::string what;
    if (Host().helpCalls.size() > winHelp_)
      what = "winhelp";
    else if (Host().htmlHelpCalls.size() > htmlHelp_ && Host().htmlHelpWorks)
      what = "chm " + Host().htmlHelpCalls.back();
    if (Host().documents.size() > documents_)
      what += (what.empty() ? "" : " + ") + ("browser " + Host().documents.back());
    winHelp_ = Host().helpCalls.size();
    htmlHelp_ = Host().htmlHelpCalls.size();
    documents_ = Host().documents.size();
    return what;
  }

 private:
  std::size_t winHelp_ = 0, htmlHelp_ = 0, documents_ = 0;
};

TEST(Help, TheWinHelpFileComesFirstThenHtmlHelpThenTheBrowser) {
  HelpWorld w;
  w.Form().Help1Click();  // nothing but the pages
  EXPECT_EQ(w.Opened(), "browser " + kDir + "index.html");
  EXPECT_TRUE(w.Host().htmlHelpCalls.empty());  // no file: HTML Help is not even asked

  w.Put(kChm);
  w.Form().Help1Click();
  EXPECT_EQ(w.Opened(), "chm " + kChm + "::/index.html>main");

  w.Host().htmlHelpWorks = false;  // Windows 95 or NT 4 without HTML Help
  w.Form().Help1Click();
  EXPECT_EQ(w.Opened(), "browser " + kDir + "index.html");
  w.Host().htmlHelpWorks = true;

  w.Put(kHlp);
  w.Form().Help1Click();
  EXPECT_EQ(w.Opened(), "winhelp");
  ASSERT_EQ(w.Host().helpCalls.size(), 2u);
  EXPECT_EQ(w.Host().helpCalls[0], kHlp + "|3|");
  EXPECT_EQ(w.Host().helpCalls[1], kHlp + "|258|JumpID(\"\",\"\")");
  EXPECT_EQ(w.Host().htmlHelpCalls.size(), 2u);  // the two above, none for this one

  // The contents could not be opened: no macro follows, and nothing else opens; WinHelp has
  // said so itself.
  w.Host().winHelpWorks = false;
  w.Form().SpeedItem4Click();
  EXPECT_EQ(w.Opened(), "winhelp");
  EXPECT_EQ(w.Host().helpCalls.size(), 3u);
  EXPECT_EQ(w.Host().helpCalls[2], kHlp + "|3|");
}

TEST(Help, TheOptionsDialogsHelpOpensTheTopicOfThePageShownAndTheMenusTheContents) {
  HelpWorld w;
  const std::string pages[] = {"options-tray-icons.htm", "options-common.htm",
                               "options-minimizer.htm"};
  w.Form().Options1Click();
  w.Form().FormShow();
  for (int page : {2, 0, 1}) {
    w.Form().SpeedItemClick(page);
    w.Form().SpeedItem4Click();
    EXPECT_EQ(w.Opened(), "browser " + kDir + pages[page]) << page;
  }
  w.Put(kChm);
  for (int page : {1, 2, 0}) {
    w.Form().SpeedItemClick(page);
    w.Form().SpeedItem4Click();
    EXPECT_EQ(w.Opened(), "chm " + kChm + "::/" + pages[page] + ">main") << page;
  }
  // The menu's entry opens the contents whatever page the dialog shows; so does the dialog
  // opened anew, which shows its first page.
  w.Form().SpeedItemClick(2);
  w.Form().Help1Click();
  EXPECT_EQ(w.Opened(), "chm " + kChm + "::/index.html>main");
  w.Form().Button2Click();
  w.Form().Options1Click();
  w.Form().FormShow();
  w.Form().SpeedItem4Click();
  EXPECT_EQ(w.Opened(), "chm " + kChm + "::/options-tray-icons.htm>main");
}

std::string SourceText(const std::string& name) {
  std::ifstream in(std::string(CORVALET_SOURCE_DIR) + "/packaging/help/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Help, EveryPageTheProgramOpensIsATopicOfTheHelpsContentsAndItsWindowIsDefined) {
  const std::string contents = SourceText("Corvalet.hhc");
  const std::string project = SourceText("Corvalet.hhp");
  ASSERT_FALSE(contents.empty());
  ASSERT_FALSE(project.empty());
  for (HelpTopic topic : {HelpTopic::Contents, HelpTopic::OptionsTrayIcons,
                          HelpTopic::OptionsCommon, HelpTopic::OptionsMinimizer}) {
    const std::string page = HelpPage(topic);
    EXPECT_NE(contents.find("<param name=\"Local\" value=\"" + page + "\">"), std::string::npos)
        << page << " is not in the contents";
    EXPECT_FALSE(SourceText(page).empty()) << page << " is missing";
    EXPECT_NE(project.find("\n" + page), std::string::npos) << page << " is not compiled";
  }
  EXPECT_NE(project.find(std::string("\n") + kHelpWindow + "=\""), std::string::npos);
  EXPECT_NE(project.find(std::string("Default Window=") + kHelpWindow), std::string::npos);
}

}  // namespace
}  // namespace cvl::test
