// The texts of the online services (update, vendor pages, about box) and of
// the uninstall mode, in the three languages. Compiled in: the uninstall mode
// shows them without loading the main window's tables.
#pragma once

#include <span>
#include <string>

namespace zd::lang {

struct ServiceTexts {
  // The update offer, its window and its failure messages, one per kind.
  std::string UpdateQuestionCaption, UpdateQuestion;
  std::string UpdateWindowCaption, UpdateInProgress, UpdateCancel;
  std::string DownloadFailed, DownloadAddressFailed, UpdateCheckFailed, UpdateElevationDeclined,
      UpdateStartFailed;
  // The vendor-content page.
  std::string DemoTab, HotTab, FetchingVersion, RefreshButton, AddressLabel, CloseAdvert,
      OpenAdvertWindow, NoBrowserEngine, OpenDemoInBrowser;
  // The help menu of the vendor button panel.
  std::string HelpDemo, HelpHome, HelpAbout;
  // The about box ("%s" in AboutVersion is the version).
  std::string AboutDescription, AboutVersion, AboutCopyright, AboutHomeLink, AboutOk;
  std::string AboutTestBuild;  // a build with a throwaway update key
  // The uninstall mode ("%s" is the product name, or the list of failures).
  std::string UninstallTitle, UninstallCaption, UninstallAdvice, UninstallLatest, UninstallStart,
      UninstallClose, UninstallDone, UninstallIncomplete, UninstallNoScript, UninstallStillRunning,
      UninstallWaiting;
  // The start: waiting for the last run's save ("%s" the product name), a
  // folder in use by another session, none of the user's own ("%s" folders).
  std::string StartWaiting, StartGaveUp, StartInUse, StartNoOwnFolder;
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
