#include "platform/fake_shell_folders.h"

#include <cstdio>

namespace zd {

std::optional<std::string> FakeShellFolders::Folder(UserFolder kind) {
  auto it = folders.find(kind);
  if (it == folders.end()) return std::nullopt;
  return it->second;
}

std::string FakeShellFolders::TempFolder() { return temp; }

std::optional<std::string> FakeShellFolders::NewTempFile(const std::string& folder,
                                                         const std::string& prefix) {
  if (temp_fails) return std::nullopt;
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", next_temp++ & 0xFFFF);
  std::string path = folder;
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path + prefix + hex + ".tmp";
}

}  // namespace zd
