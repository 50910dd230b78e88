// The user's shell folders and temporary files.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace zd {

// The location kinds of shortcuts, numbered as the uninstall mode names them.
enum class UserFolder { kDesktop = 0, kStartMenu = 1, kPrograms = 2, kStartup = 3 };

class ShellFolders {
 public:
  virtual ~ShellFolders() = default;
  // The current user's folder of that kind, without a trailing backslash.
  virtual std::optional<std::string> Folder(UserFolder kind) = 0;
  // The user's temporary folder, with a trailing backslash.
  virtual std::string TempFolder() = 0;
  // The Windows folder's own temporary folder ("C:\Windows\Temp\"), where
  // only administrators may change what another user put.
  virtual std::string SystemTempFolder() = 0;
  // A new empty file with a unique name ("<prefix>XXXX.tmp") in `folder`;
  // nullopt when none could be made.
  virtual std::optional<std::string> NewTempFile(const std::string& folder,
                                                 const std::string& prefix) = 0;
};

std::unique_ptr<ShellFolders> MakeSystemShellFolders();

}  // namespace zd
