#include "launch/system_actions.h"

namespace zd {
namespace {

using enum Ui;

struct Row {
  Ui part;
  SystemAction action;
};

constexpr SystemAction Folder(int number) { return {SystemActionKind::kSpecialFolder, number}; }
constexpr SystemAction kTaskManager{SystemActionKind::kTaskManager, -1};
constexpr SystemAction kSystemFolder{SystemActionKind::kSystemFolder, -1};
constexpr SystemAction kNothing{SystemActionKind::kNothing, -1};

constexpr Row kRows[] = {
    // The system page.
    {MyComputerButton, Folder(csidl::kDrives)},
    {MyDocumentsButton, Folder(csidl::kPersonal)},
    {DesktopButton, Folder(csidl::kDesktop)},
    {RecycleBinButton, Folder(csidl::kBitBucket)},
    {ControlPanelButton, Folder(csidl::kControls)},
    {HistoryButton, Folder(csidl::kHistory)},
    {FavouritesFolderButton, Folder(csidl::kFavorites)},
    {NetworkButton, Folder(csidl::kNetwork)},
    {BtmManageTask, kTaskManager},
    {StartMenuButton, Folder(csidl::kStartMenu)},
    {ProgramsButton, Folder(csidl::kPrograms)},
    {DesktopFolderButton, Folder(csidl::kDesktopDirectory)},
    {StartupFolderButton, Folder(csidl::kStartup)},
    {SystemFolderButton, kSystemFolder},
    // "更多..." → the current user.
    {PmDesktopPath, Folder(csidl::kDesktopDirectory)},
    {CookiesItem, Folder(csidl::kCookies)},
    {FontsItem, Folder(csidl::kFonts)},
    {DrivesItem, Folder(csidl::kDrives)},
    {CacheItem, Folder(csidl::kInternetCache)},
    {NetworkConnectionsItem, Folder(csidl::kNetHood)},
    {PrintersItem, Folder(csidl::kPrinters)},
    {NetworkPrintersItem, Folder(csidl::kPrintHood)},
    {ProgramFilesItem, kNothing},
    {ProgramMenuItem, Folder(csidl::kPrograms)},
    {SendToFolderItem, Folder(csidl::kSendTo)},
    {StartMenuItem, Folder(csidl::kStartMenu)},
    {DrivesAgainItem, Folder(csidl::kDrives)},
    {WindowsFolderItem, kSystemFolder},
    {SendToItem, kNothing},
    // "更多..." → all users.
    {AllUsersDocumentsItem, kNothing},
    {AllUsersDesktopItem, Folder(csidl::kCommonDesktopDirectory)},
    {AllUsersFavouritesItem, Folder(csidl::kCommonFavorites)},
    {AllUsersProgramsItem, Folder(csidl::kCommonPrograms)},
    {AllUsersStartMenuItem, Folder(csidl::kCommonStartMenu)},
    {AllUsersStartupItem, Folder(csidl::kCommonStartup)},
    {ModulesItem, kNothing},
    // The tray's "系统常用".
    {MnMyComputer, Folder(csidl::kDrives)},
    {MnZDMyDoc, Folder(csidl::kPersonal)},
    {MnMyDesk, Folder(csidl::kDesktop)},
    {MnZDControl, Folder(csidl::kControls)},
    {MnZDRecycle, Folder(csidl::kBitBucket)},
    {MnZDTask, kTaskManager},
    {MnZDRecent, kNothing},
    {MnZDRun, kNothing},
};

}  // namespace

void RunSystemAction(const SystemAction& action, DocOpener& opener, ShellLauncher& shell) {
  switch (action.kind) {
    case SystemActionKind::kSpecialFolder:
      opener.OpenSpecialFolder(action.csidl);
      break;
    case SystemActionKind::kTaskManager:
      // By its full path: a "taskmgr" elsewhere on the search path is not ours to start.
      shell.Execute({"open", shell.SystemDirectory() + "\\taskmgr.exe", "", ShowMode::kNormal});
      break;
    case SystemActionKind::kSystemFolder:
      opener.OpenDocPath(shell.SystemDirectory(), false);
      break;
    case SystemActionKind::kNothing:
      break;
  }
}

std::optional<SystemAction> SystemActionOf(Ui part) {
  for (const Row& row : kRows)
    if (row.part == part) return row.action;
  return std::nullopt;
}

}  // namespace zd
