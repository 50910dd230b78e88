// The shell for tests: every call is written down as one line of text, and
// files, folders and drives are what the test declares.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/shell_launcher.h"

namespace zd {

class FakeShellLauncher : public ShellLauncher {
 public:
  FakeShellLauncher();

  // "execute verb=open file=C:\x params= show=1", "special 17",
  // "minimize-all", "command rundll32.exe ... show=9".
  bool Execute(const ShellExecuteRequest& request) override;
  bool OpenSpecialFolder(int csidl) override;
  bool MinimizeAll() override;
  bool StartCommandLine(const std::string& command_line, ShowMode show) override;

  // Paths compare exactly, except that "/" counts as "\" and a folder's
  // trailing separator does not matter. A network path (a UNC path, or one on
  // a drive added as kRemote) is not asked about, as on the real system.
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  PathAnswer QueryPath(const std::string& path) override;
  DriveKind DriveType(const std::string& root) override;
  bool UsbAttached(const std::string& root) override { return usb_.count(root) != 0; }
  // An empty environment: the text as it is.
  std::string ExpandEnvironment(const std::string& text) override { return text; }
  std::string SystemDirectory() override { return "C:\\Windows\\system32"; }
  std::string WindowsDirectory() override { return "C:\\Windows"; }

  // Set-up. A drive "C:\" (fixed) exists from the start.
  void AddFile(const std::string& path);
  void AddFolder(const std::string& path);
  void Remove(const std::string& path);
  void AddDrive(const std::string& root, DriveKind kind);
  // A drive whose disk is attached through USB (a fixed one, as such disks report).
  void AddUsbDrive(const std::string& root) {
    AddDrive(root, DriveKind::kFixed);
    usb_.insert(root);
  }
  // Paths under this root answer "not ready" (a card reader without a card).
  void SetNotReady(const std::string& root) { not_ready_.insert(root); }
  // Execute answers that the shell could not open this file (it is still logged).
  void FailExecuteOf(const std::string& file) { failing_.insert(file); }

  const std::vector<std::string>& calls() const { return calls_; }
  // Every path the file system was asked about, in order.
  const std::vector<std::string>& queries() const { return queries_; }
  void ClearLog() {
    calls_.clear();
    queries_.clear();
  }

 private:
  static std::string Key(const std::string& path);
  PathAnswer Answer(const std::string& path);

  std::set<std::string> files_;
  std::set<std::string> folders_;
  std::map<std::string, DriveKind> drives_;
  std::set<std::string> usb_;
  std::set<std::string> not_ready_;
  std::set<std::string> failing_;
  std::vector<std::string> calls_;
  std::vector<std::string> queries_;
};

}  // namespace zd
