#include "launch/autostart.h"

#include <gtest/gtest.h>

#include "platform/fake_registry.h"
#include "store/program_files.h"

namespace zd {
namespace {

constexpr char kName[] = "MRXZapdock";
constexpr char kExe[] = "C:\\Program Files\\Zapdock\\zapdock.exe";
constexpr char kApproved[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";

std::optional<std::string> Expect(const char* text) {
  return text ? std::optional<std::string>(text) : std::nullopt;
}

// Windows' switch as the startup apps list writes it (02 on, 03 off, then a time).
void SetSwitch(FakeRegistry& registry, RegRoot root, bool off) {
  const std::string key =
      std::string(kApproved) + (root == RegRoot::kLocalMachine ? "Run32" : "Run");
  const RegView view = root == RegRoot::kLocalMachine ? RegView::k64 : RegView::kDefault;
  std::string state(1, off ? '\x03' : '\x02');
  state.append("\x01\x02\x03");
  registry.WriteValue(root, key, view, {kName, RegType::kBinary, {}, state});
}

// The switch's state byte, or -1 when there is none.
int SwitchState(FakeRegistry& registry, RegRoot root) {
  const std::string key =
      std::string(kApproved) + (root == RegRoot::kLocalMachine ? "Run32" : "Run");
  const RegView view = root == RegRoot::kLocalMachine ? RegView::k64 : RegView::kDefault;
  for (const RegValue& v : registry.ListValues(root, key, view).values)
    if (v.name == kName && !v.bytes.empty()) return static_cast<unsigned char>(v.bytes[0]);
  return -1;
}

TEST(AutoStart, TheValueGoesWhereItCanAndNeverStandsTwice) {
  struct Case {
    const char* what;
    const char* machine_before;  // nullptr: absent
    const char* user_before;
    bool machine_read_only;
    bool on;
    // Expected afterwards (nullptr: absent), and whether it worked.
    const char* machine_after;
    const char* user_after;
    bool ok;
  };
  const std::string q = AutoStartCommand(kExe);
  const Case cases[] = {
      {"fresh, machine writable", nullptr, nullptr, false, true, q.c_str(), nullptr, true},
      {"fresh, machine refused", nullptr, nullptr, true, true, nullptr, q.c_str(), true},
      {"stands under the machine: refreshed there", "\"C:\\old.exe\"", nullptr, false, true,
       q.c_str(), nullptr, true},
      {"stands under the user: refreshed there", nullptr, "\"C:\\old.exe\"", false, true, nullptr,
       q.c_str(), true},
      {"blanks only count as unset", "   ", nullptr, true, true, "   ", q.c_str(), true},
      {"both: the user's copy goes", "\"C:\\a.exe\"", "\"C:\\b.exe\"", false, true, q.c_str(),
       nullptr, true},
      {"stale under a read-only machine key: the user's key carries the path", "\"C:\\a.exe\"",
       nullptr, true, true, "\"C:\\a.exe\"", q.c_str(), true},
      {"off removes it from both", "\"C:\\a.exe\"", "\"C:\\b.exe\"", false, false, nullptr, nullptr,
       true},
      {"off under a read-only machine key fails", "\"C:\\a.exe\"", nullptr, true, false,
       "\"C:\\a.exe\"", nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeRegistry registry;
    if (c.machine_before)
      registry.WriteString(RegRoot::kLocalMachine, kRunKey, kName, c.machine_before);
    if (c.user_before) registry.WriteString(RegRoot::kCurrentUser, kRunKey, kName, c.user_before);
    if (c.machine_read_only) registry.read_only_root = RegRoot::kLocalMachine;
    const AutoStartOutcome outcome = SetAutoStart(registry, kName, kExe, c.on);
    auto read = [&](RegRoot root) { return registry.ReadString(root, kRunKey, kName); };
    EXPECT_EQ(read(RegRoot::kLocalMachine), Expect(c.machine_after));
    EXPECT_EQ(read(RegRoot::kCurrentUser), Expect(c.user_after));
    EXPECT_EQ(outcome.ok, c.ok);
    EXPECT_EQ(outcome.set, IsAutoStartSet(registry, kName)) << "the box shows what is stored";
  }
  // Neither key writable: nothing stored, the box shows that, the caller tells why.
  FakeRegistry locked;
  locked.fail_writes = true;
  const AutoStartOutcome outcome = SetAutoStart(locked, kName, kExe, true);
  EXPECT_FALSE(outcome.ok);
  EXPECT_FALSE(outcome.set);
}

TEST(AutoStart, TheBoxFollowsWindowsOwnSwitch) {
  struct Case {
    const char* what;
    bool machine_value, user_value;
    int machine_switch, user_switch;  // -1 none, 0 on, 1 off
    bool machine_read_only;
    bool ticked_before;  // what the box shows at start
    bool on;             // the user's tick
    // Afterwards: the switches' state bytes (-1 none) and what the box shows.
    int machine_switch_after, user_switch_after;
    bool set_after;
  };
  const Case cases[] = {
      {"switched off under the machine: unticked; a tick turns it on", true, false, 1, -1, false,
       false, true, 2, -1, true},
      {"switched off, machine refused: the user's key carries it, on", true, false, 1, -1, true,
       false, true, 3, -1, true},
      {"switched off under the user: a tick turns it on", false, true, -1, 1, false, false, true,
       -1, 2, true},
      {"switched on: ticked", true, false, 0, -1, false, true, true, 2, -1, true},
      {"a switch left off by an old value: a new one is on", false, false, 1, -1, false, false,
       true, 2, -1, true},
      {"untick removes value and switch everywhere", true, true, 0, 1, false, true, false, -1, -1,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeRegistry registry;
    if (c.machine_value)
      registry.WriteString(RegRoot::kLocalMachine, kRunKey, kName, AutoStartCommand(kExe));
    if (c.user_value)
      registry.WriteString(RegRoot::kCurrentUser, kRunKey, kName, AutoStartCommand(kExe));
    if (c.machine_switch >= 0) SetSwitch(registry, RegRoot::kLocalMachine, c.machine_switch == 1);
    if (c.user_switch >= 0) SetSwitch(registry, RegRoot::kCurrentUser, c.user_switch == 1);
    if (c.machine_read_only) registry.read_only_root = RegRoot::kLocalMachine;
    EXPECT_EQ(IsAutoStartSet(registry, kName), c.ticked_before);
    const AutoStartOutcome outcome = SetAutoStart(registry, kName, kExe, c.on);
    EXPECT_EQ(SwitchState(registry, RegRoot::kLocalMachine), c.machine_switch_after);
    EXPECT_EQ(SwitchState(registry, RegRoot::kCurrentUser), c.user_switch_after);
    EXPECT_EQ(outcome.set, c.set_after);
    EXPECT_TRUE(outcome.ok);
  }
}

TEST(AutoStart, AtStartOnlyWhatDiffersIsWrittenAndNothingIsAsked) {
  struct Case {
    const char* what;
    const char* machine_before;
    const char* user_before;
    bool machine_switched_off;
    bool machine_read_only;
    const char* machine_after;
    const char* user_after;
    bool ticked;
    bool writes;  // whether anything was written at all
    // The folder the setup recorded (nullptr: no setup), and whether
    // "C:\old.exe", which a stale value names, is still there.
    const char* installed = nullptr;
    bool old_there = false;
  };
  const std::string q = AutoStartCommand(kExe);
  const std::string q_case = "\"c:\\program files\\ZAPDOCK\\zapdock.exe\" ";
  const char* old = "\"C:\\old.exe\"";
  const Case cases[] = {
      {"nothing stored: nothing written", nullptr, nullptr, false, false, nullptr, nullptr, false,
       false},
      {"blanks only: nothing written", "  ", nullptr, false, false, "  ", nullptr, false, false},
      {"current: nothing written", q.c_str(), nullptr, false, true, q.c_str(), nullptr, true,
       false},
      {"current in other letter case", q_case.c_str(), nullptr, false, true, q_case.c_str(),
       nullptr, true, false},
      {"stale, machine writable: refreshed", old, nullptr, false, false, q.c_str(), nullptr, true,
       true},
      {"stale, machine refused: the user's key carries the path", old, nullptr, false, true, old,
       q.c_str(), true, true},
      {"stale, refused, carried already: the copy stays as it is", old, q.c_str(), false, true, old,
       q.c_str(), true, true},
      {"stale and switched off, refused: stays off", old, nullptr, true, true, old, nullptr, false,
       true},
      {"the user's copy goes once the machine's value is right", q.c_str(), q.c_str(), false, false,
       q.c_str(), nullptr, true, true},
      {"stale under the user: refreshed", nullptr, old, false, true, nullptr, q.c_str(), true,
       true},
      // A copy run from elsewhere never takes the value from a program that is there.
      {"no setup, the named program there: left", old, nullptr, false, false, old, nullptr, true,
       false, nullptr, true},
      {"no setup, the named program there, refused: nothing carried", old, nullptr, false, true,
       old, nullptr, true, false, nullptr, true},
      {"no setup, the user's value names a program there: left", nullptr, old, false, false,
       nullptr, old, true, false, nullptr, true},
      {"installed here: the value is taken over", old, nullptr, false, false, q.c_str(), nullptr,
       true, true, "C:\\Program Files\\Zapdock", true},
      {"installed here, other letter case and slash", nullptr, old, false, false, nullptr,
       q.c_str(), true, true, "c:\\program files\\zapdock\\", true},
      {"installed elsewhere: left, even with the named program gone", old, nullptr, false, false,
       old, nullptr, true, false, "D:\\Apps\\Zapdock"},
      {"installed elsewhere, refused: nothing carried", old, nullptr, false, true, old, nullptr,
       true, false, "D:\\Apps\\Zapdock"},
      {"installed in a folder below: elsewhere too", nullptr, old, false, false, nullptr, old, true,
       false, "C:\\Program Files"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeRegistry registry;
    if (c.machine_before)
      registry.WriteString(RegRoot::kLocalMachine, kRunKey, kName, c.machine_before);
    if (c.user_before) registry.WriteString(RegRoot::kCurrentUser, kRunKey, kName, c.user_before);
    if (c.machine_switched_off) SetSwitch(registry, RegRoot::kLocalMachine, true);
    if (c.installed)
      registry.WriteString(RegRoot::kLocalMachine,
                           std::string(kUninstallKeyParent) + kSetupProductName, "InstallLocation",
                           c.installed);
    if (c.machine_read_only) registry.read_only_root = RegRoot::kLocalMachine;
    registry.write_attempts = 0;
    const auto exists = [&](const std::string& path) {
      return c.old_there && path == "C:\\old.exe";
    };
    EXPECT_EQ(RefreshAutoStart(registry, kName, kExe, exists), c.ticked);
    EXPECT_EQ(registry.ReadString(RegRoot::kLocalMachine, kRunKey, kName), Expect(c.machine_after));
    EXPECT_EQ(registry.ReadString(RegRoot::kCurrentUser, kRunKey, kName), Expect(c.user_after));
    if (!c.writes) {
      EXPECT_EQ(registry.write_attempts, 0);
    }
  }
}

}  // namespace
}  // namespace zd
