#include "platform/fake_shell_folders.h"

#include <cstdio>

namespace zd {

std::optional<std::string> FakeShellFolders::Folder(UserFolder kind) {
  auto it = folders.find(kind);
  if (it == folders.end()) return std::nullopt;
  return it->second;
}

std::string FakeShellFolders::TempFolder() { return temp; }

std::optional<std::string> FakeShellFolders::NewPrivateFolder(const std::string& parent,
                                                              const std::string& prefix) {
  if (temp_fails) return std::nullopt;
  char hex[20];
  std::snprintf(hex, sizeof hex, "%016X", next_temp++);
  std::string path = parent;
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += prefix + hex + "\\";
  private_folders.insert(path);
  if (disk) disk->AddFolder(path);
  return path;
}

bool FakeShellFolders::WriteNewFile(const std::string& path, std::string_view bytes) {
  if (write_fails || written.count(path) || (disk && disk->Exists(path))) return false;
  written[path] = std::string(bytes);
  if (disk) disk->AddFile(path);
  return true;
}

}  // namespace zd
