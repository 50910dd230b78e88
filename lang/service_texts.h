// The texts of the online services (update, vendor pages, about box) and of
// the uninstall mode, in the three languages. Compiled in: the uninstall mode
// shows them without loading the main window's tables.
#pragma once

#include <span>
#include <string>

namespace zd::lang {

struct ServiceTexts {
  // The update offer, its window and its one failure message.
  std::string UpdateQuestionCaption, UpdateQuestion;
  std::string UpdateWindowCaption, UpdateInProgress, DownloadFailed;
  // The vendor-content page.
  std::string DemoTab, HotTab, FetchingVersion, RefreshButton, AddressLabel, CloseAdvert,
      OpenAdvertWindow, NoBrowserEngine, OpenDemoInBrowser;
  // The help menu of the vendor button panel.
  std::string HelpDemo, HelpHome, HelpAbout;
  // The about box ("%s" in AboutVersion is the version).
  std::string AboutDescription, AboutVersion, AboutCopyright, AboutHomeLink, AboutOk;
  // The uninstall mode ("%s" is the product name, or the list of failures).
  std::string UninstallTitle, UninstallCaption, UninstallAdvice, UninstallLatest, UninstallStart,
      UninstallClose, UninstallDone, UninstallIncomplete, UninstallNoScript, UninstallStillRunning;
};

// The texts of a language (0 zh-CN, 1 zh-TW, 2 en; others as 0).
const ServiceTexts& ServiceTextsFor(int language_index);

// Every row: its name and the field, for checks over all of them.
struct ServiceRow {
  const char* name;
  std::string ServiceTexts::*field;
};
std::span<const ServiceRow> ServiceRows();

}  // namespace zd::lang
