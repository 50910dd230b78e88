#include "platform/path_probe.h"

#include <gtest/gtest.h>

#include <map>

namespace zd {
namespace {

TEST(PathProbeTest, NetworkPathsAreServersAndNetworkDrivesOnly) {
  const std::map<std::string, DriveKind> drives = {
      {"C:\\", DriveKind::kFixed}, {"N:\\", DriveKind::kRemote}, {"E:\\", DriveKind::kCdRom}};
  auto kind = [&](const std::string& root) {
    const auto it = drives.find(root);
    return it == drives.end() ? DriveKind::kNoRoot : it->second;
  };
  struct Case {
    const char* path;
    const char* root;
    bool unc;
    bool network;
  };
  const Case cases[] = {
      {"C:\\Work\\a.txt", "C:\\", false, false},
      {"c:/work", "C:\\", false, false},
      {"n:\\share\\a.txt", "N:\\", false, true},
      {"N:", "N:\\", false, true},
      {"E:\\setup.exe", "E:\\", false, false},
      {"\\\\server\\share\\a.txt", "", true, true},
      {"//server/share", "", true, true},
      {"\\\\?\\C:\\long\\path", "C:\\", false, false},
      {"\\\\?\\N:\\long\\path", "N:\\", false, true},
      {"\\\\?\\UNC\\server\\share", "", true, true},
      {"http://host/a", "", false, false},
      {"relative\\a.txt", "", false, false},
      {"1:\\x", "", false, false},
      {"", "", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DriveRootOf(c.path), c.root) << c.path;
    EXPECT_EQ(IsUncPath(c.path), c.unc) << c.path;
    EXPECT_EQ(IsNetworkPath(c.path, kind), c.network) << c.path;
  }
}

}  // namespace
}  // namespace zd
