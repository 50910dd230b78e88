#include "uninstall/removal.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

#include "platform/errors.h"
#include "platform/fake_file_removal.h"
#include "platform/fake_registry_keys.h"
#include "platform/fake_shell_folders.h"

namespace zd {
namespace {

constexpr char kExe[] = "C:\\Program Files\\MRX软件\\Zapdock\\zapdock.exe";
constexpr char kDesktop[] = "C:\\Users\\me\\Desktop";
constexpr char kPrograms[] = "C:\\Users\\me\\Start Menu\\Programs";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zapdock";

UninstallContext Context() { return {kExe, "Zapdock", "VAROV", "MRXZapdock"}; }

// A machine as the setup leaves it, plus the user's log-on values.
struct Machine {
  FakeRegistryKeys registry;
  FakeFileRemoval files;
  FakeShellFolders folders;
  Machine() {
    folders.folders[UserFolder::kDesktop] = kDesktop;
    folders.folders[UserFolder::kPrograms] = kPrograms;
    files.AddFolder(std::string(kDesktop) + "\\MRX软件");
    files.AddFile(std::string(kDesktop) + "\\MRX软件\\Zapdock.lnk");
    files.AddFolder(std::string(kPrograms) + "\\MRX软件");
    files.AddFile(std::string(kPrograms) + "\\MRX软件\\Zapdock.lnk");
    files.AddFolder("C:\\Program Files\\MRX软件\\Zapdock");
    files.AddFile(kExe);
    files.AddFile("C:\\Program Files\\MRX软件\\Zapdock\\defualt.ini");
    registry.SetValue(RegRoot::kCurrentUser, "Software\\VazOzod\\VAROV", "InstallDir");
    registry.SetValue(RegRoot::kCurrentUser, "Software\\VazOzod\\Other", "x");
    registry.SetValue(RegRoot::kLocalMachine, kUninstallKey, "UninstallString");
    registry.SetValue(RegRoot::kLocalMachine, kRunKey, "MRXZapdock");
    registry.SetValue(RegRoot::kCurrentUser, kRunKey, "MRXZapdock");
    registry.SetValue(RegRoot::kLocalMachine, kRunKey, "SomethingElse");
    registry.SetValue(RegRoot::kCurrentUser, kStartupApprovedRunKey, "MRXZapdock");
  }
};

using S = UninstallStep;
constexpr Removal kGone = Removal::kRemoved, kNone = Removal::kAbsent;

TEST(Removal, TheLogOnValueIsNamedAfterTheInterfaceTitle) {
  const std::pair<int, const char*> cases[] = {
      {0, "MRXZapdock"}, {1, "MRXZapdock"}, {2, "MRX Zapdock"}};
  for (const auto& [language, name] : cases) EXPECT_EQ(OwnLogonValueName(language), name);
}

TEST(Removal, StepsRunInOrderAndLeaveOnlyWhatIsNotOurs) {
  Machine m;
  const RemovalReport report = RunRemoval(Context(), m.registry, m.files, m.folders);
  const std::string desk_group = std::string(kDesktop) + "\\MRX软件";
  const std::string prog_group = std::string(kPrograms) + "\\MRX软件";
  const std::vector<StepOutcome> want = {
      {S::kDesktopShortcut, desk_group + "\\Zapdock.lnk", kGone},
      {S::kDesktopGroup, desk_group, kGone},
      {S::kProgramsShortcut, prog_group + "\\Zapdock.lnk", kGone},
      {S::kProgramsGroup, prog_group, kGone},
      {S::kProgramKey, "HKCU\\Software\\VazOzod\\VAROV", kGone},
      {S::kUninstallKey, std::string("HKLM\\") + kUninstallKey, kGone},
      {S::kLogonValueMachine, std::string("HKLM\\") + kRunKey + "\\MRXZapdock", kGone},
      {S::kLogonValueUser, std::string("HKCU\\") + kRunKey + "\\MRXZapdock", kGone},
      {S::kLogonStateMachine, std::string("HKLM\\") + kStartupApprovedRunKey + "\\MRXZapdock",
       kNone},
      {S::kLogonStateUser, std::string("HKCU\\") + kStartupApprovedRunKey + "\\MRXZapdock", kGone},
      {S::kSettingsFile, "C:\\Program Files\\MRX软件\\Zapdock\\defualt.ini", kGone},
  };
  EXPECT_EQ(report.steps, want);
  EXPECT_TRUE(report.completed);
  EXPECT_TRUE(report.AllRemoved());
  // What stays: the executable (the script's), the folder, another program's
  // key and another log-on value.
  EXPECT_EQ(m.files.Contents(), (std::set<std::string>{"c:\\program files\\mrx软件\\zapdock\\",
                                                       "c:\\program files\\mrx软件\\zapdock\\"
                                                       "zapdock.exe"}));
  EXPECT_TRUE(m.registry.HasValue(RegRoot::kCurrentUser, "Software\\VazOzod\\Other", "x"));
  EXPECT_TRUE(m.registry.HasValue(RegRoot::kLocalMachine, kRunKey, "SomethingElse"));
}

TEST(Removal, TheUserPartLeavesTheMachineToTheElevatedCopy) {
  Machine m;
  const RemovalReport user =
      RunRemoval(Context(), m.registry, m.files, m.folders, RemovalScope::kUserOnly);
  EXPECT_TRUE(user.AllRemoved());
  std::vector<UninstallStep> ran;
  for (const StepOutcome& s : user.steps) ran.push_back(s.step);
  EXPECT_EQ(ran, (std::vector<UninstallStep>{
                     S::kDesktopShortcut, S::kDesktopGroup, S::kProgramsShortcut, S::kProgramsGroup,
                     S::kProgramKey, S::kLogonValueUser, S::kLogonStateUser}));
  EXPECT_TRUE(m.registry.KeyExists(RegRoot::kLocalMachine, kUninstallKey));
  EXPECT_TRUE(m.registry.HasValue(RegRoot::kLocalMachine, kRunKey, "MRXZapdock"));
  EXPECT_TRUE(m.files.Exists("C:\\Program Files\\MRX软件\\Zapdock\\defualt.ini"));
  EXPECT_FALSE(m.registry.HasValue(RegRoot::kCurrentUser, kRunKey, "MRXZapdock"));
  // The elevated copy then finds the user's part done.
  const RemovalReport rest = RunRemoval(Context(), m.registry, m.files, m.folders);
  EXPECT_TRUE(rest.AllRemoved());
  for (const StepOutcome& s : rest.steps) {
    EXPECT_EQ(s.result == kGone, !IsUserStep(s.step) && s.step != S::kLogonStateMachine)
        << s.target;
  }
}

TEST(Removal, ASecondRunFindsNothingAndStillSucceeds) {
  Machine m;
  RunRemoval(Context(), m.registry, m.files, m.folders);
  const RemovalReport again = RunRemoval(Context(), m.registry, m.files, m.folders);
  EXPECT_TRUE(again.AllRemoved());
  for (const StepOutcome& s : again.steps) EXPECT_EQ(s.result, kNone) << s.target;
}

TEST(Removal, FoldersThatAreNotOnlyOursStay) {
  Machine m;
  // The user keeps another maker program's shortcut in the Programs group,
  // and has a folder of the product's name on the desktop.
  m.files.AddFile(std::string(kPrograms) + "\\MRX软件\\Other.lnk");
  m.files.RemoveFile(std::string(kDesktop) + "\\MRX软件\\Zapdock.lnk");
  m.files.AddFolder(std::string(kDesktop) + "\\MRX软件\\Zapdock");
  m.files.AddFile(std::string(kDesktop) + "\\MRX软件\\Zapdock\\my notes.txt");
  const RemovalReport report = RunRemoval(Context(), m.registry, m.files, m.folders);
  EXPECT_TRUE(report.AllRemoved());
  EXPECT_EQ(report.steps[0].result, kNone);
  EXPECT_EQ(report.steps[1].result, Removal::kNotEmpty);
  EXPECT_EQ(report.steps[3].result, Removal::kNotEmpty);
  EXPECT_TRUE(m.files.Exists(std::string(kDesktop) + "\\MRX软件\\Zapdock\\my notes.txt"));
  EXPECT_TRUE(m.files.Exists(std::string(kPrograms) + "\\MRX软件\\Other.lnk"));
}

TEST(Removal, WhatCouldNotBeRemovedIsReportedNotHidden) {
  struct Case {
    const char* name;
    std::function<void(Machine&)> protect;
    std::vector<UninstallStep> failed;
  };
  const Case cases[] = {
      {"machine keys of a standard user",
       [](Machine& m) {
         m.registry.Protect(RegRoot::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
       },
       {S::kUninstallKey, S::kLogonValueMachine}},
      {"program folder",
       [](Machine& m) { m.files.Protect("C:\\Program Files\\MRX软件\\Zapdock\\"); },
       {S::kSettingsFile}},
      {"a shortcut in use",
       [](Machine& m) { m.files.Protect(std::string(kDesktop) + "\\MRX软件\\Zapdock.lnk"); },
       {S::kDesktopShortcut}},
  };
  for (const Case& c : cases) {
    Machine m;
    c.protect(m);
    const RemovalReport report = RunRemoval(Context(), m.registry, m.files, m.folders);
    EXPECT_TRUE(report.completed) << c.name;
    EXPECT_FALSE(report.AllRemoved()) << c.name;
    std::vector<UninstallStep> failed;
    for (const StepOutcome& s : report.Failures()) failed.push_back(s.step);
    EXPECT_EQ(failed, c.failed) << c.name;
    EXPECT_EQ(report.steps.size(), 11u) << c.name << ": the other steps still ran";
  }
}

// A registry whose key removal throws, as a broken system call might.
class ThrowingKeys : public FakeRegistryKeys {
 public:
  Removal DeleteKeyTree(RegRoot, const std::string&) override {
    throw std::runtime_error("registry gone");
  }
};

TEST(Removal, AFailureThatEscapesAStepAbandonsTheRest) {
  Machine m;
  ThrowingKeys keys;
  const uint64_t before = CaughtFailureCount();
  const RemovalReport report = RunRemoval(Context(), keys, m.files, m.folders);
  EXPECT_FALSE(report.completed);
  EXPECT_FALSE(report.AllRemoved());
  ASSERT_EQ(report.steps.size(), 4u) << "the shortcuts went, then the guard stopped the rest";
  EXPECT_TRUE(m.files.Exists("C:\\Program Files\\MRX软件\\Zapdock\\defualt.ini"));
  EXPECT_EQ(CaughtFailureCount(), before + 1);
}

TEST(Removal, ElevationOnlyWhenNeededAndOnlyOnce) {
  struct Case {
    const char* name;
    std::function<void(Machine&)> setup;
    bool machine, folder;
  };
  const Case cases[] = {
      {"all writable", [](Machine&) {}, false, false},
      {"uninstall key protected",
       [](Machine& m) { m.registry.Protect(RegRoot::kLocalMachine, kUninstallKey); }, true, false},
      {"run key protected, value there",
       [](Machine& m) { m.registry.Protect(RegRoot::kLocalMachine, kRunKey); }, true, false},
      {"run key protected, no value of ours",
       [](Machine& m) {
         m.registry.DeleteValue(RegRoot::kLocalMachine, kRunKey, "MRXZapdock");
         m.registry.Protect(RegRoot::kLocalMachine, kRunKey);
       },
       false, false},
      {"program folder protected",
       [](Machine& m) { m.files.Protect("C:\\Program Files\\MRX软件\\Zapdock\\"); }, false, true},
  };
  for (const Case& c : cases) {
    Machine m;
    c.setup(m);
    const AccessProblems p = CheckAccess(Context(), m.registry, m.files);
    EXPECT_EQ(p.machine_registry, c.machine) << c.name;
    EXPECT_EQ(p.program_folder, c.folder) << c.name;
  }
  AccessProblems some;
  some.program_folder = true;
  struct Choice {
    AccessProblems problems;
    bool elevated, relaunched;
    ElevationChoice want;
  };
  const Choice choices[] = {
      {{}, false, false, ElevationChoice::kProceed},
      {some, false, false, ElevationChoice::kRelaunchElevated},
      {some, true, false, ElevationChoice::kProceed},
      {some, false, true, ElevationChoice::kProceed},
  };
  for (const Choice& c : choices) {
    EXPECT_EQ(ChooseElevation(c.problems, c.elevated, c.relaunched), c.want);
  }
}

TEST(Uninstall, TheElevatedOptionCountsOnlyInAnElevatedProcess) {
  using Args = std::vector<std::string>;
  const std::tuple<Args, bool, bool> cases[] = {
      {{"uninstall", "--elevated"}, true, true},
      {{"uninstall", "--elevated"}, false, false},  // typed by anyone
      {{"uninstall"}, true, false},
      {{"uninstall", "--ELEVATED"}, true, false},
      {{"uninstall", "x", "--elevated"}, true, false},
  };
  for (const auto& [args, elevated, honoured] : cases) {
    EXPECT_EQ(HonoursElevatedStart(args, elevated), honoured) << args.back() << " " << elevated;
  }
}

}  // namespace
}  // namespace zd
