#include "platform/fake_shell_launcher.h"

namespace zd {

FakeShellLauncher::FakeShellLauncher() { AddDrive("C:\\", DriveKind::kFixed); }

std::string FakeShellLauncher::Key(const std::string& path) {
  std::string key = path;
  for (char& c : key) {
    if (c == '/') c = '\\';
  }
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  return key;
}

bool FakeShellLauncher::Execute(const ShellExecuteRequest& request) {
  calls_.push_back("execute verb=" + request.verb + " file=" + request.file + " params=" +
                   request.parameters + " show=" + std::to_string(static_cast<int>(request.show)));
  return failing_.count(request.file) == 0;
}

bool FakeShellLauncher::OpenSpecialFolder(int csidl) {
  calls_.push_back("special " + std::to_string(csidl));
  return true;
}

bool FakeShellLauncher::MinimizeAll() {
  calls_.push_back("minimize-all");
  return true;
}

bool FakeShellLauncher::StartCommandLine(const std::string& command_line, ShowMode show) {
  calls_.push_back("command " + command_line + " show=" + std::to_string(static_cast<int>(show)));
  return true;
}

bool FakeShellLauncher::FileExists(const std::string& path) {
  queries_.push_back(path);
  return Answer(path) == PathAnswer::kFile;
}

bool FakeShellLauncher::DirectoryExists(const std::string& path) {
  queries_.push_back(path);
  return Answer(path) == PathAnswer::kFolder;
}

PathAnswer FakeShellLauncher::QueryPath(const std::string& path) {
  queries_.push_back(path);
  return Answer(path);
}

PathAnswer FakeShellLauncher::Answer(const std::string& path) {
  if (path.empty()) return PathAnswer::kNotFound;
  if (IsNetworkPath(path, [this](const std::string& root) { return DriveType(root); })) {
    return PathAnswer::kNotAsked;
  }
  const std::string key = Key(path);
  for (const std::string& root : not_ready_) {
    if (key.compare(0, Key(root).size(), Key(root)) == 0) return PathAnswer::kNotReady;
  }
  if (files_.count(key)) return PathAnswer::kFile;
  if (folders_.count(key)) return PathAnswer::kFolder;
  return PathAnswer::kNotFound;
}

DriveKind FakeShellLauncher::DriveType(const std::string& root) {
  const auto it = drives_.find(root);
  return it == drives_.end() ? DriveKind::kNoRoot : it->second;
}

void FakeShellLauncher::AddFile(const std::string& path) { files_.insert(Key(path)); }
void FakeShellLauncher::AddFolder(const std::string& path) { folders_.insert(Key(path)); }

void FakeShellLauncher::Remove(const std::string& path) {
  files_.erase(Key(path));
  folders_.erase(Key(path));
}

void FakeShellLauncher::AddDrive(const std::string& root, DriveKind kind) {
  drives_[root] = kind;
  folders_.insert(Key(root));
}

}  // namespace zd
