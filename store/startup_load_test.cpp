#include "store/startup_load.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fake_files.h"
#include "platform/text_codec.h"

namespace zd {
namespace {

// What the first load takes from section "default": the defaults for what
// is missing, the interval kept within its range.
TEST(StartupLoad, StoredSettingsAndTheirDefaults) {
  struct Case {
    std::string file;
    int hotkey;
    bool rank_search;
    int interval;
    bool refresh;
  };
  const Case cases[] = {
      {"", 1, true, kDefaultCheckInterval, false},
      {"[default]\r\nHotkey=0\r\nRankSearch=0\r\n", 0, false, kDefaultCheckInterval, false},
      {"[default]\r\nHotkey=4\r\nRankSearch=1\r\nCheckDocInterval=30\r\nCbRefresh=1\r\n", 4, true,
       kMinCheckInterval, true},
      {"[default]\r\nCheckDocInterval=9999\r\n", 1, true, kMaxCheckInterval, false},
  };
  const std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  for (const Case& c : cases) {
    FakeFiles files;
    files.AddDrive("D:\\", DriveKind::kFixed);
    if (!c.file.empty()) files.PutFile("D:\\defualt.ini", c.file);
    const SettingsFile settings(files, *codec, "D:\\defualt.ini");
    const DefaultSettings stored = ReadDefaultSettings(settings);
    EXPECT_EQ(stored.hotkey, c.hotkey) << c.file;
    EXPECT_EQ(stored.rank_search, c.rank_search) << c.file;
    EXPECT_EQ(stored.check_interval, c.interval) << c.file;
    EXPECT_EQ(stored.refresh, c.refresh) << c.file;
  }
}

}  // namespace
}  // namespace zd
