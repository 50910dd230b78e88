// The test double of shell_folders.h.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/fake_file_removal.h"
#include "platform/shell_folders.h"

namespace zd {

class FakeShellFolders : public ShellFolders {
 public:
  std::optional<std::string> Folder(UserFolder kind) override;
  std::string TempFolder() override;
  std::string SystemTempFolder() override { return system_temp; }
  std::optional<std::string> NewPrivateFolder(const std::string& parent,
                                              const std::string& prefix) override;
  bool WriteNewFile(const std::string& path, std::string_view bytes) override;

  std::map<UserFolder, std::string> folders;
  std::string temp = "C:\\Users\\me\\AppData\\Local\\Temp\\";
  std::string system_temp = "C:\\Windows\\Temp\\";
  int next_temp = 0x1A2B;
  bool temp_fails = false;
  bool write_fails = false;
  std::set<std::string> private_folders;       // made by NewPrivateFolder, as returned
  std::map<std::string, std::string> written;  // by WriteNewFile: path -> bytes
  // When set, what is made here appears there too, as on one disk.
  FakeFileRemoval* disk = nullptr;
};

}  // namespace zd
