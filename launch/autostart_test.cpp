#include "launch/autostart.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

constexpr char kName[] = "MRXZapdock";
constexpr char kExe[] = "C:\\Program Files\\Zapdock\\zapdock.exe";

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
    const auto expect = [](const char* text) {
      return text ? std::optional<std::string>(text) : std::nullopt;
    };
    EXPECT_EQ(read(RegRoot::kLocalMachine), expect(c.machine_after));
    EXPECT_EQ(read(RegRoot::kCurrentUser), expect(c.user_after));
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

}  // namespace
}  // namespace zd
