// The test double of shell_folders.h.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/shell_folders.h"

namespace zd {

class FakeShellFolders : public ShellFolders {
 public:
  std::optional<std::string> Folder(UserFolder kind) override;
  std::string TempFolder() override;
  std::string SystemTempFolder() override { return system_temp; }
  std::optional<std::string> NewTempFile(const std::string& folder,
                                         const std::string& prefix) override;

  std::map<UserFolder, std::string> folders;
  std::string temp = "C:\\Users\\me\\AppData\\Local\\Temp\\";
  std::string system_temp = "C:\\Windows\\Temp\\";
  int next_temp = 0x1A2B;
  bool temp_fails = false;
};

}  // namespace zd
