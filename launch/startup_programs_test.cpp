#include "launch/startup_programs.h"

#include <gtest/gtest.h>

#include "platform/fake_registry.h"

namespace zd {
namespace {

constexpr char kApproved[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";

RegValue Text(const char* name, const char* text, RegType type = RegType::kString) {
  return {name, type, text, {}};
}
RegValue Binary(const char* name, std::string bytes) { return {name, RegType::kBinary, {}, bytes}; }

class StartupProgramsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reg.WriteValue(RegRoot::kLocalMachine, kStartupRunKey, RegView::k64, Text("b64", "C:\\b.exe"));
    reg.WriteValue(RegRoot::kLocalMachine, kStartupRunKey, RegView::k32,
                   Text("A32", "%ProgramFiles%\\a.exe", RegType::kExpandString));
    reg.WriteValue(RegRoot::kLocalMachine, kStartupRunKey, RegView::k32,
                   Binary("odd", std::string("\x01\x02", 2)));
    reg.WriteValue(RegRoot::kLocalMachine, kStartupRunKey, RegView::k32, Text("c32", "C:\\c.exe"));
    reg.WriteValue(RegRoot::kCurrentUser, kStartupRunKey, RegView::kDefault,
                   Text("user", "\"C:\\u.exe\" /min"));
    reg.WriteValue(RegRoot::kCurrentUser, kStartupRunKey, RegView::kDefault,
                   {"words", RegType::kMultiString, "C:\\m.exe\n/q", {}});
    reg.WriteValue(RegRoot::kCurrentUser, kStartupRunKey, RegView::kDefault,
                   {"number", RegType::kDword, {}, std::string("\x2A\x01\0\0", 4)});
    // Switched off in Windows' own list: the user's entry and, through Run32, A32.
    reg.WriteValue(RegRoot::kCurrentUser, std::string(kApproved) + "Run", RegView::kDefault,
                   Binary("user", std::string("\x03\0\0\0", 4)));
    reg.WriteValue(RegRoot::kLocalMachine, std::string(kApproved) + "Run32", RegView::k64,
                   Binary("A32", std::string("\x07\0\0\0", 4)));
    reg.WriteValue(RegRoot::kLocalMachine, std::string(kApproved) + "Run", RegView::k64,
                   Binary("b64", std::string("\x02\0\0\0", 4)));
  }
  FakeRegistry reg;
};

TEST_F(StartupProgramsTest, ListsEveryKeyWithItsSourceAndState) {
  const StartupListing listing = ListStartupEntries(reg);
  EXPECT_TRUE(listing.unreadable.empty());
  std::vector<std::string> rows;
  for (const StartupEntry& e : listing.entries) {
    rows.push_back(e.name + "|" + e.command + "|" + std::to_string(static_cast<int>(e.source)) +
                   (e.disabled ? "|off" : ""));
  }
  // Values of other types are shown as such; the listing goes on after them.
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "A32|[REG_EXPAND_SZ] %ProgramFiles%\\a.exe|1|off",
                      "b64|C:\\b.exe|0",
                      "c32|C:\\c.exe|1",
                      "number|[REG_DWORD] 298|2",
                      "odd|[REG_BINARY] 01 02|1",
                      "user|\"C:\\u.exe\" /min|2|off",
                      "words|[REG_MULTI_SZ] C:\\m.exe | /q|2",
                  }));
  for (const StartupEntry& e : listing.entries)
    EXPECT_EQ(e.editable(), e.type == RegType::kString) << e.name;
}

TEST_F(StartupProgramsTest, OneViewOnlyWhereTheViewsAreTheSameKey) {
  FakeRegistry single;
  single.separate_views = false;
  single.WriteValue(RegRoot::kLocalMachine, kStartupRunKey, RegView::kDefault, Text("x", "x.exe"));
  const StartupListing listing = ListStartupEntries(single);
  ASSERT_EQ(listing.entries.size(), 1u) << "listed once, not once per view";
  EXPECT_EQ(listing.entries[0].source, RunKeySource::kMachine);
}

TEST_F(StartupProgramsTest, AnUnreadableKeyIsReportedNotShownAsEmpty) {
  reg.unreadable_keys.push_back("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  const StartupListing listing = ListStartupEntries(reg);
  EXPECT_EQ(listing.unreadable, std::vector<RunKeySource>{RunKeySource::kMachine32});
  EXPECT_EQ(listing.entries.size(), 4u);
}

TEST_F(StartupProgramsTest, FieldsAreCheckedNameFirst) {
  EXPECT_EQ(CheckStartupFields(" ", ""), StartupFieldCheck::kEmptyName);
  EXPECT_EQ(CheckStartupFields("n", "  "), StartupFieldCheck::kEmptyPath);
  EXPECT_EQ(CheckStartupFields("n", "p"), StartupFieldCheck::kOk);
}

TEST_F(StartupProgramsTest, AddWritesWhereItMayAndNeverOverAnotherType) {
  struct Case {
    const char* what;
    const char* name;
    std::optional<RunKeySource> row;  // the row the user clicked
    bool machine_read_only;
    RunKeySource where;
    RegView view;
    bool written;
  };
  const Case cases[] = {
      {"new: the machine's key", "new", std::nullopt, false, RunKeySource::kMachine32, RegView::k32,
       true},
      {"new, machine refused: the user's key", "new", std::nullopt, true, RunKeySource::kUser,
       RegView::kDefault, true},
      {"an expandable value is not turned into a string", "a32", std::nullopt, false,
       RunKeySource::kMachine32, RegView::k32, false},
      {"nor a binary one", "ODD", std::nullopt, false, RunKeySource::kMachine32, RegView::k32,
       false},
      {"nor a number", "number", std::nullopt, false, RunKeySource::kUser, RegView::kDefault,
       false},
      {"existing user value stays the user's", "USER", std::nullopt, false, RunKeySource::kUser,
       RegView::kDefault, true},
      {"the clicked row's key, when the name stands in two", "b64", RunKeySource::kUser, false,
       RunKeySource::kUser, RegView::kDefault, true},
      {"a row of another name decides nothing", "c32", RunKeySource::kUser, false,
       RunKeySource::kMachine32, RegView::k32, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    reg.WriteValue(RegRoot::kCurrentUser, kStartupRunKey, RegView::kDefault,
                   Text("b64", "C:\\b-user.exe"));
    reg.read_only_root = c.machine_read_only ? std::optional(RegRoot::kLocalMachine) : std::nullopt;
    const StartupListing before = ListStartupEntries(reg);
    const StartupWrite write = AddStartupEntry(reg, before, c.name, " D:\\x.exe ", c.row);
    EXPECT_EQ(write.ok, c.written);
    EXPECT_EQ(write.other_type, !c.written);
    EXPECT_EQ(write.source, c.where);
    if (!c.written) {
      EXPECT_EQ(ListStartupEntries(reg).entries, before.entries) << "nothing changed";
      reg = FakeRegistry();
      continue;
    }
    const RegRoot root =
        c.where == RunKeySource::kUser ? RegRoot::kCurrentUser : RegRoot::kLocalMachine;
    bool found = false;
    for (const RegValue& v : reg.ListValues(root, kStartupRunKey, c.view).values) {
      if (v.text != "D:\\x.exe") continue;
      found = true;
      EXPECT_EQ(v.type, RegType::kString);
    }
    EXPECT_TRUE(found);
    reg = FakeRegistry();
  }
}

// How Windows reads the program of a command line given without a module
// name: a quoted first part up to its closing quote, else up to the first blank.
std::pair<std::string, std::string> SplitAsWindowsDoes(const std::string& command) {
  const size_t end = command.starts_with('"') ? command.find('"', 1) + 1 : command.find(' ');
  std::string program = command.substr(0, end);
  std::erase(program, '"');
  return {program, end >= command.size() ? std::string() : command.substr(end)};
}

TEST_F(StartupProgramsTest, AProgramPathWithBlanksIsQuotedAndItsArgumentsKept) {
  struct Case {
    const char* typed;
    const char* program;  // what Windows must start
    const char* arguments;
  };
  const Case cases[] = {
      {"D:\\My Tools\\sync.exe -q", "D:\\My Tools\\sync.exe", " -q"},
      {" D:\\My Tools\\sync.EXE ", "D:\\My Tools\\sync.EXE", ""},
      {"C:\\a b\\run.cmd /x \"y z\"", "C:\\a b\\run.cmd", " /x \"y z\""},
      {"C:\\a b\\old.exe.bak\\s.com  -x", "C:\\a b\\old.exe.bak\\s.com", "  -x"},
      {"C:\\a b.exe c\\d.exe /s", "C:\\a b.exe", " c\\d.exe /s"},  // the first prefix
      {"C:\\Tools\\x.exe -a b", "C:\\Tools\\x.exe", " -a b"},
      {"\"C:\\My Tools\\x.exe\" -q", "C:\\My Tools\\x.exe", " -q"},
      // No program's extension: where it ends is unknown, so it stays as typed.
      {"D:\\My Tools\\sync -q", "D:\\My", " Tools\\sync -q"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    reg = FakeRegistry();
    ASSERT_TRUE(AddStartupEntry(reg, ListStartupEntries(reg), "x", c.typed).ok);
    const std::vector<RegValue> values =
        reg.ListValues(RegRoot::kLocalMachine, kStartupRunKey, RegView::k32).values;
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(SplitAsWindowsDoes(values[0].text),
              std::make_pair(std::string(c.program), std::string(c.arguments)));
  }
}

TEST_F(StartupProgramsTest, DeleteRemovesFromTheKeyTheEntryCameFrom) {
  const StartupListing before = ListStartupEntries(reg);
  for (const StartupEntry& entry : before.entries)
    EXPECT_TRUE(DeleteStartupEntry(reg, entry)) << entry.name;
  EXPECT_TRUE(ListStartupEntries(reg).entries.empty());
  reg.fail_writes = true;
  EXPECT_FALSE(DeleteStartupEntry(reg, before.entries[0])) << "a refused delete is reported";
}

TEST(StartupTryOut, QuotesGoAndEnvironmentStringsAreExpanded) {
  auto expand = [](const std::string& s) {
    return s == "%windir%\\notepad.exe" ? std::string("C:\\windows\\notepad.exe") : s;
  };
  EXPECT_EQ(TryOutCommand("\"%windir%\\notepad.exe\"", expand), "C:\\windows\\notepad.exe");
  EXPECT_EQ(TryOutCommand("\"C:\\a b\\x.exe\" /s", expand), "C:\\a b\\x.exe /s");
}

}  // namespace
}  // namespace zd
