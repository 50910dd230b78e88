// The user's shell folders and temporary files.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

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
  // A folder made by this call, never one that stood there before, with a
  // new unpredictable name ("<prefix>" and 16 hexadecimal digits) in
  // `parent`: its ACL lets in this user, SYSTEM and Administrators only, and
  // inherits nothing from `parent`. Its path with a trailing backslash;
  // nullopt when none could be made.
  virtual std::optional<std::string> NewPrivateFolder(const std::string& parent,
                                                      const std::string& prefix) = 0;
  // Writes a file that must not exist yet (CREATE_NEW). False when it did,
  // or when the write failed; a file cut short is removed again.
  virtual bool WriteNewFile(const std::string& path, std::string_view bytes) = 0;
};

std::unique_ptr<ShellFolders> MakeSystemShellFolders();

}  // namespace zd
