#include "uninstall/self_delete.h"

#include <gtest/gtest.h>

#include "platform/fake_file_removal.h"
#include "platform/fake_processes.h"
#include "platform/fake_shell_folders.h"
#include "platform/utf8.h"

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
    const char* bat_folder_written;
    const char* ping_written;
    const char* maker_written;  // nullptr: no line
  };
  const Case cases[] = {
      {"C:\\Program Files\\Zapdock\\zapdock.exe", "C:\\Program Files\\Zapdock\\",
       "C:\\Temp\\zd1\\uninstall.bat", "C:\\Windows\\system32", "",
       "\"C:\\Program Files\\Zapdock\\zapdock.exe\"", "\"C:\\Program Files\\Zapdock\"",
       "\"C:\\Temp\\zd1\\uninstall.bat\"", "\"C:\\Temp\\zd1\"",
       "\"C:\\Windows\\system32\\ping.exe\"", nullptr},
      {"C:\\R&D\\MRX软件\\Z\\z.exe", "C:\\R&D\\MRX软件\\Z\\",
       "C:\\My Temp & co\\zd 2\\uninstall.bat", "C:\\Windows\\system32\\", "C:\\R&D\\MRX软件\\",
       "\"C:\\R&D\\MRX软件\\Z\\z.exe\"", "\"C:\\R&D\\MRX软件\\Z\"",
       "\"C:\\My Temp & co\\zd 2\\uninstall.bat\"", "\"C:\\My Temp & co\\zd 2\"",
       "\"C:\\Windows\\system32\\ping.exe\"", "\"C:\\R&D\\MRX软件\""},
      {"C:\\100%\\%PATH%\\z.exe", "C:\\100%\\%PATH%\\", "C:\\T%MP%\\zd3\\uninstall.bat",
       "D:\\W%IN%\\system32", "", "\"C:\\100%%\\%%PATH%%\\z.exe\"", "\"C:\\100%%\\%%PATH%%\"",
       "\"C:\\T%%MP%%\\zd3\\uninstall.bat\"", "\"C:\\T%%MP%%\\zd3\"",
       "\"D:\\W%%IN%%\\system32\\ping.exe\"", nullptr},
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
    want.push_back(std::string("del /f /q ") + c.bat_written + " & rmdir " + c.bat_folder_written);
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
  EXPECT_EQ(ScriptCommandLine("C:\\windows\\system32\\cmd.exe", "C:\\My Temp\\uis1.bat"),
            "\"C:\\windows\\system32\\cmd.exe\" /d /v:off /s /c \"\"C:\\My Temp\\uis1.bat\"\"");
}

std::string Escaped(const std::string& before, unsigned char byte, const std::string& after) {
  std::string out = before;
  AppendByteEscape(out, byte);
  return out + after;
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
  // A lone lead byte would take the "\" after it as its second byte.
  EXPECT_EQ(EncodeScript({Escaped("del \"C:\\a", 0x81, "\\z.exe\"")}, *cp936), std::nullopt);
}

// Whether a path may stand in the script as written; the oracle is what the
// command interpreter makes of a line (the line ends at a line feed, a quote
// ends the quoted path, "%" expands) and what the code page holds.
TEST(SelfDelete, OnlyPathsTheScriptCarriesExactlyAreWritten) {
  struct Case {
    std::string path;
    int code_page;
    bool carried;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Zapdock\\zapdock.exe", 437, true},
      {"C:\\Program Files\\MRX软件\\zapdock.exe", 936, true},
      {"C:\\Program Files\\MRX软件\\zapdock.exe", 437, false},
      {"C:\\R&D (x86)\\a^b!c\\z.exe", 936, true},  // literal inside quotes
      {"C:\\Caf\xC3\xA9\\z.exe", 437, true},
      {"C:\\\xEF\xBD\x81\\z.exe", 437, false},  // a full-width a: only a look-alike fits
      {"C:\\a\"b\\z.exe", 936, false},
      {"C:\\a\nb\\z.exe", 936, false},
      {"C:\\a\rb\\z.exe", 936, false},
      {"C:\\a\tb\\z.exe", 936, false},
      {"C:\\100%\\z.exe", 936, false},
      {Escaped("C:\\a", '\n', "b\\z.exe"), 936, false},
      {Escaped("C:\\a", '"', " & calc & \\z.exe"), 936, false},
      {Escaped("C:\\a", '%', "PATH%\\z.exe"), 437, false},
      {Escaped("C:\\a", 0xFF, "\\z.exe"), 936, false},  // a byte GBK has no place for
      {Escaped("C:\\a", 0x81, "\\z.exe"), 936, false},
      {"", 936, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " in " + std::to_string(c.code_page));
    const auto codec = MakeCodec(c.code_page);
    ASSERT_NE(codec, nullptr);
    EXPECT_EQ(ScriptCanCarry(c.path, *codec), c.carried);
  }
}

class PlanTest : public ::testing::Test {
 protected:
  static constexpr char kExe[] = "C:\\Program Files\\MRX软件\\Zapdock\\zapdock.exe";
  void SetUp() override {
    folders_.temp = "C:\\Users\\张三\\Temp\\";
    folders_.disk = &removal_;
  }
  FakeShellFolders folders_;
  FakeFileRemoval removal_;
};

TEST_F(PlanTest, LongPathsWhenTheyFit) {
  const auto cp936 = MakeCodec(936);
  // Elevated, the script's folder lies in the Windows folder's temporary folder.
  for (bool elevated : {false, true}) {
    SCOPED_TRACE(elevated ? "elevated" : "as the user");
    const std::optional<ScriptPlan> plan =
        PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, removal_, *cp936, elevated);
    ASSERT_TRUE(plan);
    const std::string parent = elevated ? "C:\\Windows\\Temp\\" : "C:\\Users\\张三\\Temp\\";
    EXPECT_EQ(plan->folder.rfind(parent + kScriptFolderPrefix, 0), 0u) << plan->folder;
    EXPECT_EQ(folders_.private_folders.count(plan->folder), 1u) << "a folder made for it";
    EXPECT_EQ(plan->bat, plan->folder + kScriptName);
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
  removal_.SetShortPath("C:\\Users\\张三\\Temp\\zd-uninstall-0000000000001A2B\\",
                        "C:\\Users\\8E2F~1\\Temp\\ZD-UNI~1\\");
  const std::optional<ScriptPlan> plan =
      PlanSelfDelete(kExe, "C:\\windows\\system32\\", folders_, removal_, *cp437, false);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->bat, "C:\\Users\\8E2F~1\\Temp\\ZD-UNI~1\\uninstall.bat");
  EXPECT_EQ(plan->cmd_exe, "C:\\windows\\system32\\cmd.exe");
  EXPECT_EQ(plan->bytes,
            *EncodeScript(SelfDeleteScriptLines("C:\\PROGRA~1\\MRX~1\\Zapdock\\zapdock.exe",
                                                "C:\\PROGRA~1\\MRX~1\\Zapdock\\",
                                                "C:\\Users\\8E2F~1\\Temp\\ZD-UNI~1\\uninstall.bat",
                                                "C:\\windows\\system32\\", "C:\\PROGRA~1\\MRX~1\\"),
                          *cp437));

  // No short names on this volume: no script rather than a wrong one, and
  // no folder left for it.
  FakeFileRemoval no_short;
  folders_.disk = &no_short;
  const std::optional<ScriptPlan> none =
      PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, no_short, *cp437, false);
  EXPECT_EQ(none, std::nullopt);
  EXPECT_TRUE(no_short.Contents().empty());
  folders_.temp_fails = true;
  EXPECT_EQ(
      PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, removal_, *MakeCodec(936), false),
      std::nullopt);
}

TEST_F(PlanTest, StartWritesTheScriptAsANewFileAndStartsItHidden) {
  FakeProcesses processes;
  const ScriptPlan plan =
      *PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, removal_, *MakeCodec(936), false);
  ASSERT_TRUE(StartSelfDelete(plan, folders_, removal_, processes));
  EXPECT_EQ(folders_.written.at(plan.bat), plan.bytes);
  ASSERT_EQ(processes.started().size(), 1u);
  EXPECT_EQ(processes.started()[0].application, plan.cmd_exe);
  EXPECT_EQ(processes.started()[0].command_line, plan.command_line);
  EXPECT_EQ(processes.started()[0].directory, "C:\\windows\\system32");
  // A file of that name stands there already: it is neither overwritten nor run.
  EXPECT_FALSE(StartSelfDelete(plan, folders_, removal_, processes));
  EXPECT_EQ(processes.started().size(), 1u) << "nothing starts without its own script";

  // Refused to start, or to write: nothing of the script is left.
  for (const bool write_fails : {false, true}) {
    SCOPED_TRACE(write_fails ? "write refused" : "start refused");
    const ScriptPlan next =
        *PlanSelfDelete(kExe, "C:\\windows\\system32", folders_, removal_, *MakeCodec(936), false);
    processes.start_fails = !write_fails;
    folders_.write_fails = write_fails;
    EXPECT_FALSE(StartSelfDelete(next, folders_, removal_, processes));
    EXPECT_FALSE(removal_.Exists(next.bat));
    EXPECT_FALSE(removal_.Exists(next.folder));
  }
  EXPECT_EQ(processes.started().size(), 1u);
}

}  // namespace
}  // namespace zd
