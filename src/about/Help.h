#pragma once
// Opening help. The WinHelp file beside the program comes first, at its contents, as it always
// did; without it the compiled HTML Help file opens at the topic asked for, through HTML Help;
// where HTML Help is missing (Windows 95 and NT 4 without Internet Explorer 4) or the file is,
// the topic's page opens in the browser. WinHelp is never asked about a file that is not there:
// its error box would block Corvalet until dismissed.
#include <string>

#include "about/HelpHost.h"
#include "platform/Desktop.h"

namespace cvl {

// The topics the program opens. Each is one page of the help, in Corvalet.chm and in Help\.
enum class HelpTopic { Contents, OptionsTrayIcons, OptionsCommon, OptionsMinimizer };

// The topic's page, as the help's contents name it.
const char* HelpPage(HelpTopic topic);
// The topic of an options page: 0 "Tray Icons", 1 "Common", 2 "Minimizer"; the contents for
// any other.
HelpTopic OptionsPageTopic(int page);

// The help's files in the folder "Help" beside the program.
struct HelpFiles {
  std::string WinHelp;   // CvlHelp.hlp
  std::string HtmlHelp;  // Corvalet.chm
  std::string Pages;     // the folder of the pages, with its trailing separator
  static HelpFiles Beside(const std::string& exeDirectory);
};

// The window the compiled help file defines, with its contents, index and search.
inline constexpr const char* kHelpWindow = "main";

void OpenHelp(Desktop& desktop, HelpHost& host, const HelpFiles& files, HelpTopic topic);

}  // namespace cvl
