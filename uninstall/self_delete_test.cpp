#include "uninstall/self_delete.h"

#include <gtest/gtest.h>

#include "platform/fake_file_removal.h"
#include "platform/fake_files.h"
#include "platform/fake_processes.h"
#include "platform/fake_shell_folders.h"

namespace zd {
namespace {

TEST(SelfDelete, ScriptQuotesEveryPathAndDoublesPercent) {
  struct Case {
    const char* exe;
    const char* dir;
    const char* bat;
    const char* system;
    const char* maker;
    const char* exe_written;
    const char* dir_written;
    const char* bat_written;
    const char* ping_written;
    const char* maker_written;  // nullptr: no line
  };
  const Case cases[] = {
      {"C:\\Program Files\\Zapdock\\zapdock.exe", "C:\\Program Files\\Zapdock\\",
       "C:\\Temp\\uis1.bat", "C:\\Windows\\system32", "",
       "\"C:\\Program Files\\Zapdock\\zapdock.exe\"", "\"C:\\Program Files\\Zapdock\"",
       "\"C:\\Temp\\uis1.bat\"", "\"C:\\Windows\\system32\\ping.exe\"", nullptr},
      {"C:\\R&D\\MRX软件\\Z\\z.exe", "C:\\R&D\\MRX软件\\Z\\", "C:\\My Temp & co\\uis2.bat",
       "C:\\Windows\\system32\\", "C:\\R&D\\MRX软件\\", "\"C:\\R&D\\MRX软件\\Z\\z.exe\"",
       "\"C:\\R&D\\MRX软件\\Z\"", "\"C:\\My Temp & co\\uis2.bat\"",
       "\"C:\\Windows\\system32\\ping.exe\"", "\"C:\\R&D\\MRX软件\""},
      {"C:\\100%\\%PATH%\\z.exe", "C:\\100%\\%PATH%\\", "C:\\T%MP%\\uis3.bat",
       "D:\\W%IN%\\system32", "", "\"C:\\100%%\\%%PATH%%\\z.exe\"", "\"C:\\100%%\\%%PATH%%\"",
       "\"C:\\T%%MP%%\\uis3.bat\"", "\"D:\\W%%IN%%\\system32\\ping.exe\"", nullptr},
  };
  for (const Case& c : cases) {
    const std::string e = c.exe_written;
    std::vector<std::string> want = {
        "@echo off",
        "set /a tries=0",
        ":Label1",
        "del /f /q " + e + " >nul 2>&1",
        "if not exist " + e + " goto Label2",
        "set /a tries+=1",
        "if %tries% geq 30 goto Label2",
        std::string(c.ping_written) + " -n 2 127.0.0.1 >nul",
        "goto Label1",
        ":Label2",
        std::string("rmdir ") + c.dir_written + " >nul 2>&1",
    };
    if (c.maker_written) want.push_back(std::string("rmdir ") + c.maker_written + " >nul 2>&1");
    want.push_back(std::string("del /f /q ") + c.bat_written);
    EXPECT_EQ(SelfDeleteScriptLines(c.exe, c.dir, c.bat, c.system, c.maker), want) << c.exe;
  }
}

TEST(SelfDelete, TheMakersFolderIsTheOneAboveByItsName) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Program Files\\MRX软件\\Zapdock\\", "C:\\Program Files\\MRX软件\\"},
      {"C:\\Program Files\\mrx软件\\Zapdock", "C:\\Program Files\\mrx软件\\"},
      {"C:\\Program Files\\Zapdock\\", ""},
      {"C:\\MRX软件\\", ""},
      {"D:\\Tools\\MRX软件 old\\Zapdock\\", ""},
  };
  for (const auto& [dir, maker] : cases) EXPECT_EQ(MakerFolderAbove(dir), maker) << dir;
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
  // Elevated, the script lies where only administrators may change it.
  for (bool elevated : {false, true}) {
    SCOPED_TRACE(elevated ? "elevated" : "as the user");
    const std::optional<ScriptPlan> plan =
        PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, removal_, *cp936, elevated);
    ASSERT_TRUE(plan);
    const std::string folder = elevated ? "C:\\Windows\\Temp\\" : "C:\\Users\\张三\\Temp\\";
    EXPECT_EQ(plan->temp_file.rfind(folder + "uis", 0), 0u) << plan->temp_file;
    EXPECT_EQ(plan->bat, ScriptPathFor(plan->temp_file));
    EXPECT_EQ(plan->cmd_exe, "C:\\windows\\system32\\cmd.exe");
    EXPECT_EQ(plan->directory, "C:\\windows\\system32");
    EXPECT_EQ(plan->command_line, ScriptCommandLine(plan->cmd_exe, plan->bat));
    EXPECT_EQ(plan->bytes,
              *EncodeScript(
                  SelfDeleteScriptLines(kExe, "C:\\Program Files\\MRX软件\\Zapdock\\", plan->bat,
                                        "C:\\windows\\system32", "C:\\Program Files\\MRX软件\\"),
                  *cp936));
  }
}

TEST_F(PlanTest, ShortNamesWhenTheLongOnesDoNotFit) {
  const auto cp437 = MakeCodec(437);
  removal_.SetShortPath(kExe, "C:\\PROGRA~1\\MRX~1\\Zapdock\\zapdock.exe");
  removal_.SetShortPath("C:\\Program Files\\MRX软件\\Zapdock\\", "C:\\PROGRA~1\\MRX~1\\Zapdock\\");
  removal_.SetShortPath("C:\\Program Files\\MRX软件\\", "C:\\PROGRA~1\\MRX~1\\");
  removal_.SetShortPath("C:\\Users\\张三\\Temp\\uis1A2B.tmp",
                        "C:\\Users\\8E2F~1\\Temp\\uis1A2B.tmp");
  const std::optional<ScriptPlan> plan =
      PlanSelfDelete(kExe, "C:\\windows\\system32\\", folders_, removal_, *cp437, false);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->bat, "C:\\Users\\8E2F~1\\Temp\\uis1A2B.bat");
  EXPECT_EQ(plan->cmd_exe, "C:\\windows\\system32\\cmd.exe");
  EXPECT_EQ(plan->bytes,
            *EncodeScript(SelfDeleteScriptLines("C:\\PROGRA~1\\MRX~1\\Zapdock\\zapdock.exe",
                                                "C:\\PROGRA~1\\MRX~1\\Zapdock\\",
                                                "C:\\Users\\8E2F~1\\Temp\\uis1A2B.bat",
                                                "C:\\windows\\system32\\", "C:\\PROGRA~1\\MRX~1\\"),
                          *cp437));

  // No short names on this volume: no script rather than a wrong one.
  FakeFileRemoval no_short;
  EXPECT_EQ(PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, no_short, *cp437, false),
            std::nullopt);
  folders_.temp_fails = true;
  EXPECT_EQ(
      PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, removal_, *MakeCodec(936), false),
      std::nullopt);
}

TEST_F(PlanTest, StartWritesTheScriptAndStartsItHidden) {
  FakeFiles files;
  files.AddDrive("C:\\", DriveKind::kFixed);
  files.AddDirectory(folders_.temp);
  FakeProcesses processes;
  removal_.AddFile("C:\\Users\\张三\\Temp\\uis1A2B.tmp");
  const ScriptPlan plan =
      *PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, removal_, *MakeCodec(936), false);
  ASSERT_TRUE(StartSelfDelete(plan, files, removal_, processes));
  EXPECT_EQ(files.files().at(plan.bat), plan.bytes);
  EXPECT_FALSE(removal_.Exists(plan.temp_file)) << "no stray .tmp is left";
  ASSERT_EQ(processes.started().size(), 1u);
  EXPECT_EQ(processes.started()[0].application, plan.cmd_exe);
  EXPECT_EQ(processes.started()[0].command_line, plan.command_line);
  EXPECT_EQ(processes.started()[0].directory, "C:\\windows\\system32");

  processes.start_fails = true;
  EXPECT_FALSE(StartSelfDelete(plan, files, removal_, processes));
  files.set_fail_all_writes(true);
  processes.start_fails = false;
  EXPECT_FALSE(StartSelfDelete(plan, files, removal_, processes));
  EXPECT_EQ(processes.started().size(), 1u) << "nothing starts without its script";
}

}  // namespace
}  // namespace zd
