// What the system page's buttons, the "more special folders" menu and the
// tray's "系统常用" submenu do: one table for all three.
#pragma once

#include <optional>

#include "lang/ui.h"
#include "launch/open_docs.h"
#include "platform/shell_launcher.h"

namespace zd {

enum class SystemActionKind {
  kNothing,        // an entry of the design without an action
  kSpecialFolder,  // the shell opens a special folder by its CSIDL number
  kTaskManager,    // "taskmgr" from the system folder
  kSystemFolder,   // the Windows system folder, opened as a path
};

struct SystemAction {
  SystemActionKind kind = SystemActionKind::kNothing;
  int csidl = -1;
  bool operator==(const SystemAction&) const = default;
};

// The action of a part, or nullopt for a part that is not one of these.
std::optional<SystemAction> SystemActionOf(Ui part);

// Carries an action out: a special folder through the open operations, the
// task manager by its full path in the system folder, the system folder as a
// path (opened with its trailing backslash). Nothing is recorded in the lists.
void RunSystemAction(const SystemAction& action, DocOpener& opener, ShellLauncher& shell);

// CSIDL numbers of the shell used here.
namespace csidl {
inline constexpr int kDesktop = 0, kPrograms = 2, kControls = 3, kPrinters = 4, kPersonal = 5,
                     kFavorites = 6, kStartup = 7, kSendTo = 9, kBitBucket = 10, kStartMenu = 11,
                     kDesktopDirectory = 16, kDrives = 17, kNetwork = 18, kNetHood = 19,
                     kFonts = 20, kCommonStartMenu = 22, kCommonPrograms = 23, kCommonStartup = 24,
                     kCommonDesktopDirectory = 25, kPrintHood = 27, kCommonFavorites = 31,
                     kInternetCache = 32, kCookies = 33, kHistory = 34;
}  // namespace csidl

}  // namespace zd
