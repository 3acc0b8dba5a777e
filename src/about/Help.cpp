#include "about/Help.h"

namespace cvl {

const char* HelpPage(HelpTopic topic) {
  switch (topic) {
    case HelpTopic::OptionsTrayIcons:
      return "options-tray-icons.htm";
    case HelpTopic::OptionsCommon:
      return "options-common.htm";
    case HelpTopic::OptionsMinimizer:
      return "options-minimizer.htm";
    case HelpTopic::Contents:
      break;
  }
  return "index.html";
}

HelpTopic OptionsPageTopic(int page) {
  switch (page) {
    case 0:
      return HelpTopic::OptionsTrayIcons;
    case 1:
      return HelpTopic::OptionsCommon;
    case 2:
      return HelpTopic::OptionsMinimizer;
    default:
      return HelpTopic::Contents;
  }
}

HelpFiles HelpFiles::Beside(const std::string& exeDirectory) {
  const std::string folder = exeDirectory + "Help\\";
  return {folder + "CvlHelp.hlp", folder + "Corvalet.chm", folder};
}

void OpenHelp(Desktop& desktop, HelpHost& host, const HelpFiles& files, HelpTopic topic) {
  constexpr std::uint32_t kHelpContents = 3;
  constexpr std::uint32_t kHelpCommand = 0x102;
  if (desktop.FileExists(files.WinHelp)) {
    if (host.WinHelp(files.WinHelp, kHelpContents, ""))
      host.WinHelp(files.WinHelp, kHelpCommand, "JumpID(\"\",\"\")");
    return;
  }
  const std::string page = HelpPage(topic);
  if (desktop.FileExists(files.HtmlHelp) &&
      host.HtmlHelp(files.HtmlHelp + "::/" + page + ">" + kHelpWindow))
    return;
  host.OpenDocument(files.Pages + page);
}

}  // namespace cvl
