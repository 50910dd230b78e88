#include "uninstall/self_delete.h"

#include <gtest/gtest.h>

#include "platform/fake_files.h"
#include "platform/fake_processes.h"

namespace zd {
namespace {

TEST(SelfDelete, ScriptQuotesEveryPathAndDoublesPercent) {
  struct Case {
    const char* exe;
    const char* dir;
    const char* bat;
    const char* exe_written;
    const char* dir_written;
    const char* bat_written;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Zapdock\\zapdock.exe", "C:\\Program Files\\Zapdock\\",
       "C:\\Temp\\uis1.bat", "\"C:\\Program Files\\Zapdock\\zapdock.exe\"",
       "\"C:\\Program Files\\Zapdock\"", "\"C:\\Temp\\uis1.bat\""},
      {"C:\\R&D\\z.exe", "C:\\R&D\\", "C:\\My Temp & co\\uis2.bat", "\"C:\\R&D\\z.exe\"",
       "\"C:\\R&D\"", "\"C:\\My Temp & co\\uis2.bat\""},
      {"C:\\100%\\%PATH%\\z.exe", "C:\\100%\\%PATH%\\", "C:\\T%MP%\\uis3.bat",
       "\"C:\\100%%\\%%PATH%%\\z.exe\"", "\"C:\\100%%\\%%PATH%%\"", "\"C:\\T%%MP%%\\uis3.bat\""},
  };
  for (const Case& c : cases) {
    const std::string e = c.exe_written;
    const std::vector<std::string> want = {
        "@echo off",
        "set /a tries=0",
        ":Label1",
        "del /f /q " + e + " >nul 2>&1",
        "if not exist " + e + " goto Label2",
        "set /a tries+=1",
        "if %tries% geq 30 goto Label2",
        "ping -n 2 127.0.0.1 >nul",
        "goto Label1",
        ":Label2",
        std::string("rmdir ") + c.dir_written + " >nul 2>&1",
        std::string("del /f /q ") + c.bat_written,
    };
    EXPECT_EQ(SelfDeleteScriptLines(c.exe, c.dir, c.bat), want) << c.exe;
  }
}

TEST(SelfDelete, NamesAndCommandLine) {
  EXPECT_EQ(ScriptPathFor("C:\\Temp\\uis1A2B.tmp"), "C:\\Temp\\uis1A2B.bat");
  EXPECT_EQ(ScriptPathFor("C:\\a.b\\uis1"), "C:\\a.b\\uis1.bat");
  EXPECT_EQ(ScriptCommandLine("C:\\windows\\system32\\cmd.exe", "C:\\My Temp\\uis1.bat"),
            "\"C:\\windows\\system32\\cmd.exe\" /d /v:off /s /c \"\"C:\\My Temp\\uis1.bat\"\"");
}

TEST(SelfDelete, WrittenInTheOemCodePageOrNotAtAll) {
  const std::vector<std::string> lines = {"@echo off", "del \"C:\\MRX软件\\z.exe\""};
  const auto cp936 = MakeCodec(936);
  const auto cp437 = MakeCodec(437);
  ASSERT_TRUE(cp936 && cp437);
  const std::optional<std::string> gbk = EncodeScript(lines, *cp936);
  ASSERT_TRUE(gbk);
  EXPECT_EQ(*gbk, "@echo off\r\ndel \"C:\\MRX\xC8\xED\xBC\xFE\\z.exe\"\r\n");
  EXPECT_EQ(EncodeScript(lines, *cp437), std::nullopt);
  EXPECT_EQ(EncodeScript({"del \"C:\\x.exe\""}, *cp437), "del \"C:\\x.exe\"\r\n");
}

class PlanTest : public ::testing::Test {
 protected:
  static constexpr char kExe[] = "C:\\Program Files\\MRX软件\\Zapdock\\zapdock.exe";
  void SetUp() override { folders_.temp = "C:\\Users\\张三\\Temp\\"; }
  FakeShellFolders folders_;
  FakeFileRemoval removal_;
};

TEST_F(PlanTest, LongPathsWhenTheyFit) {
  const auto cp936 = MakeCodec(936);
  const std::optional<ScriptPlan> plan =
      PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, removal_, *cp936);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->temp_file, "C:\\Users\\张三\\Temp\\uis1A2B.tmp");
  EXPECT_EQ(plan->bat, "C:\\Users\\张三\\Temp\\uis1A2B.bat");
  EXPECT_EQ(plan->cmd_exe, "C:\\windows\\system32\\cmd.exe");
  EXPECT_EQ(plan->directory, folders_.temp);
  EXPECT_EQ(plan->command_line, ScriptCommandLine(plan->cmd_exe, plan->bat));
  EXPECT_EQ(
      plan->bytes,
      *EncodeScript(SelfDeleteScriptLines(kExe, "C:\\Program Files\\MRX软件\\Zapdock\\", plan->bat),
                    *cp936));
}

TEST_F(PlanTest, ShortNamesWhenTheLongOnesDoNotFit) {
  const auto cp437 = MakeCodec(437);
  removal_.SetShortPath(kExe, "C:\\PROGRA~1\\MRX~1\\Zapdock\\zapdock.exe");
  removal_.SetShortPath("C:\\Program Files\\MRX软件\\Zapdock\\", "C:\\PROGRA~1\\MRX~1\\Zapdock\\");
  removal_.SetShortPath("C:\\Users\\张三\\Temp\\uis1A2B.tmp",
                        "C:\\Users\\8E2F~1\\Temp\\uis1A2B.tmp");
  const std::optional<ScriptPlan> plan =
      PlanSelfDelete(kExe, "C:\\windows\\system32\\", folders_, removal_, *cp437);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->bat, "C:\\Users\\8E2F~1\\Temp\\uis1A2B.bat");
  EXPECT_EQ(plan->cmd_exe, "C:\\windows\\system32\\cmd.exe");
  EXPECT_EQ(plan->bytes,
            *EncodeScript(SelfDeleteScriptLines("C:\\PROGRA~1\\MRX~1\\Zapdock\\zapdock.exe",
                                                "C:\\PROGRA~1\\MRX~1\\Zapdock\\",
                                                "C:\\Users\\8E2F~1\\Temp\\uis1A2B.bat"),
                          *cp437));

  // No short names on this volume: no script rather than a wrong one.
  FakeFileRemoval no_short;
  EXPECT_EQ(PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, no_short, *cp437),
            std::nullopt);
  folders_.temp_fails = true;
  EXPECT_EQ(PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, removal_, *MakeCodec(936)),
            std::nullopt);
}

TEST_F(PlanTest, StartWritesTheScriptAndStartsItHidden) {
  FakeFiles files;
  files.AddDrive("C:\\", DriveKind::kFixed);
  files.AddDirectory(folders_.temp);
  FakeProcesses processes;
  removal_.AddFile("C:\\Users\\张三\\Temp\\uis1A2B.tmp");
  const ScriptPlan plan =
      *PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, removal_, *MakeCodec(936));
  ASSERT_TRUE(StartSelfDelete(plan, files, removal_, processes));
  EXPECT_EQ(files.files().at(plan.bat), plan.bytes);
  EXPECT_FALSE(removal_.Exists(plan.temp_file)) << "no stray .tmp is left";
  ASSERT_EQ(processes.started().size(), 1u);
  EXPECT_EQ(processes.started()[0].application, plan.cmd_exe);
  EXPECT_EQ(processes.started()[0].command_line, plan.command_line);
  EXPECT_EQ(processes.started()[0].directory, folders_.temp);

  processes.start_fails = true;
  EXPECT_FALSE(StartSelfDelete(plan, files, removal_, processes));
  files.set_fail_all_writes(true);
  processes.start_fails = false;
  EXPECT_FALSE(StartSelfDelete(plan, files, removal_, processes));
  EXPECT_EQ(processes.started().size(), 1u) << "nothing starts without its script";
}

}  // namespace
}  // namespace zd
