// What the open operations hand to the Windows shell, and the questions they
// ask about paths first. No call examines what the opened program does.
#pragma once

#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/path_probe.h"
#include "platform/window_system.h"

namespace zd {

// The show modes the open operations use (the SW_ values).
enum class ShowMode : int { kNormal = 1, kShow = 5, kRestore = 9 };

struct ShellExecuteRequest {
  std::string verb;  // empty: the file's default verb
  std::string file;
  std::string parameters;  // empty: none
  ShowMode show = ShowMode::kNormal;
  bool operator==(const ShellExecuteRequest&) const = default;
};

// CSIDL numbers the open operations use by name.
inline constexpr int kCsidlDrives = 17;   // My Computer
inline constexpr int kCsidlNetwork = 18;  // Network Places

class ShellLauncher {
 public:
  virtual ~ShellLauncher() = default;

  // ShellExecute, owned by the application window. True when the shell
  // reports that it opened the file (a program of the 64-bit System32 is
  // started through Sysnative, see wow64_path.h).
  virtual bool Execute(const ShellExecuteRequest& request) = 0;
  // Opens a special folder by its item-id list, with the verb "open".
  virtual bool OpenSpecialFolder(int csidl) = 0;
  // "Shell.Application".MinimizeAll: every window goes down, the desktop shows.
  virtual bool MinimizeAll() = 0;
  // Starts a command line as a new process, without waiting for it.
  virtual bool StartCommandLine(const std::string& command_line, ShowMode show) = 0;

  // The existence checks of the interface thread (path_probe.h): quiet, through
  // the 64-bit System32, never over the network. FileExists and
  // DirectoryExists are false for a path not asked about (kNotAsked).
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  virtual PathAnswer QueryPath(const std::string& path) = 0;
  virtual DriveKind DriveType(const std::string& root) = 0;
  // Whether the drive's disk is attached through USB: it reports itself
  // fixed, yet leaves with its cable. False when the system cannot tell.
  virtual bool UsbAttached(const std::string& root) = 0;
  // The text with each %NAME% of the environment replaced by its value (a
  // name the environment lacks stays as it is).
  virtual std::string ExpandEnvironment(const std::string& text) = 0;
  // Without a trailing backslash.
  virtual std::string SystemDirectory() = 0;
  virtual std::string WindowsDirectory() = 0;
  // The window that owns what the shell shows from now on (0: none).
  virtual void SetOwner(WindowId) {}
};

// The Windows shell (Windows builds only).
std::unique_ptr<ShellLauncher> MakeSystemShellLauncher(WindowId owner);

}  // namespace zd
