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
    {SpeedButton5, Folder(csidl::kDrives)},
    {SpeedButton6, Folder(csidl::kPersonal)},
    {SpeedButton7, Folder(csidl::kDesktop)},
    {SpeedButton8, Folder(csidl::kBitBucket)},
    {SpeedButton9, Folder(csidl::kControls)},
    {SpeedButton23, Folder(csidl::kHistory)},
    {SpeedButton22, Folder(csidl::kFavorites)},
    {SpeedButton19, Folder(csidl::kNetwork)},
    {BtmManageTask, kTaskManager},
    {SpeedButton17, Folder(csidl::kStartMenu)},
    {SpeedButton14, Folder(csidl::kPrograms)},
    {SpeedButton11, Folder(csidl::kDesktopDirectory)},
    {SpeedButton16, Folder(csidl::kStartup)},
    {SpeedButton1, kSystemFolder},
    // "更多..." → the current user.
    {PmDesktopPath, Folder(csidl::kDesktopDirectory)},
    {Cookie1, Folder(csidl::kCookies)},
    {pmFont, Folder(csidl::kFonts)},
    {N4, Folder(csidl::kDrives)},
    {N11, Folder(csidl::kInternetCache)},
    {lianj1, Folder(csidl::kNetHood)},
    {N12, Folder(csidl::kPrinters)},
    {N13, Folder(csidl::kPrintHood)},
    {N14, kNothing},
    {N15, Folder(csidl::kPrograms)},
    {N16, Folder(csidl::kSendTo)},
    {N17, Folder(csidl::kStartMenu)},
    {N18, Folder(csidl::kDrives)},
    {Windows1, kSystemFolder},
    {N19, kNothing},
    // "更多..." → all users.
    {N3, kNothing},
    {N5, Folder(csidl::kCommonDesktopDirectory)},
    {N6, Folder(csidl::kCommonFavorites)},
    {N7, Folder(csidl::kCommonPrograms)},
    {N8, Folder(csidl::kCommonStartMenu)},
    {N9, Folder(csidl::kCommonStartup)},
    {N10, kNothing},
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
