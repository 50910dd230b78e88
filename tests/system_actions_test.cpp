#include "launch/system_actions.h"

#include <gtest/gtest.h>

#include "mainwin/menu_model.h"
#include "platform/fake_shell_launcher.h"

namespace zd {
namespace {

TEST(SystemActions, EverySystemEntryHasItsAction) {
  // Every entry of "更多..." and of the tray's "系统常用" has an action.
  const std::vector<PopupMenu> menus = BuildMainMenus();
  for (Ui submenu : {Ui::AllUsersMenu, Ui::CurrentUserMenu, Ui::MnSystemUse}) {
    const MenuItem* item = FindMenuItem(menus, submenu);
    ASSERT_NE(item, nullptr);
    for (const MenuItem& entry : item->items)
      EXPECT_TRUE(SystemActionOf(entry.id).has_value()) << entry.name();
  }
  // Things that are not system entries have none.
  EXPECT_FALSE(SystemActionOf(Ui::MnZDExit));
  EXPECT_FALSE(SystemActionOf(Ui::BtnMoreSpecDir)) << "it pops a menu";
}

TEST(SystemActions, SameNamesOpenTheSamePlaces) {
  auto folder = [](Ui part) { return SystemActionOf(part)->csidl; };
  // The desktop itself versus the desktop folder versus all users' desktop folder.
  EXPECT_EQ(folder(Ui::DesktopButton), csidl::kDesktop);
  EXPECT_EQ(folder(Ui::DesktopFolderButton), csidl::kDesktopDirectory);
  EXPECT_EQ(folder(Ui::PmDesktopPath), csidl::kDesktopDirectory);
  EXPECT_EQ(folder(Ui::AllUsersDesktopItem), csidl::kCommonDesktopDirectory);
  // Both "驱动" entries and the button open My Computer.
  for (Ui part : {Ui::DrivesItem, Ui::DrivesAgainItem, Ui::MyComputerButton, Ui::MnMyComputer})
    EXPECT_EQ(folder(part), csidl::kDrives) << UiName(part);
  // The tray's entries do what the page's buttons do.
  EXPECT_EQ(SystemActionOf(Ui::MnZDTask), SystemActionOf(Ui::BtmManageTask));
  EXPECT_EQ(SystemActionOf(Ui::MnZDRecycle), SystemActionOf(Ui::RecycleBinButton));
  EXPECT_EQ(SystemActionOf(Ui::WindowsFolderItem), SystemActionOf(Ui::SystemFolderButton));
  for (Ui part : {Ui::ProgramFilesItem, Ui::SendToItem, Ui::AllUsersDocumentsItem, Ui::ModulesItem})
    EXPECT_EQ(SystemActionOf(part)->kind, SystemActionKind::kNothing) << UiName(part);
}

TEST(SystemActions, EachKindReachesTheShellAsItShould) {
  FakeShellLauncher shell;
  shell.AddFolder("C:\\Windows\\system32");
  DocList recent;
  DocOpener opener(shell, recent, {});
  const std::pair<Ui, const char*> cases[] = {
      {Ui::DesktopButton, "special 0"},
      {Ui::AllUsersStartupItem, "special 24"},
      {Ui::BtmManageTask,
       "execute verb=open file=C:\\Windows\\system32\\taskmgr.exe params= show=1"},
  };
  for (const auto& [part, call] : cases) {
    shell.ClearLog();
    RunSystemAction(*SystemActionOf(part), opener, shell);
    ASSERT_FALSE(shell.calls().empty()) << UiName(part);
    EXPECT_EQ(shell.calls().back(), call) << UiName(part);
  }
  // The system folder opens as a folder, with its trailing backslash.
  shell.ClearLog();
  RunSystemAction(*SystemActionOf(Ui::SystemFolderButton), opener, shell);
  ASSERT_FALSE(shell.calls().empty());
  EXPECT_NE(shell.calls().back().find("C:\\Windows\\system32\\"), std::string::npos)
      << shell.calls().back();
  // Doing nothing does nothing, and nothing is recorded in the recent list.
  shell.ClearLog();
  RunSystemAction(*SystemActionOf(Ui::ProgramFilesItem), opener, shell);
  EXPECT_TRUE(shell.calls().empty());
  EXPECT_TRUE(recent.empty());
}

}  // namespace
}  // namespace zd
