#include "platform/fake_processes.h"

#include <algorithm>

namespace zd {

std::vector<ProcessEntry> FakeProcesses::List() {
  std::lock_guard lock(mutex_);
  return running_;
}

bool FakeProcesses::Terminate(uint32_t pid, uint32_t) {
  std::lock_guard lock(mutex_);
  if (terminate_fails) return false;
  auto it = std::find_if(running_.begin(), running_.end(),
                         [pid](const ProcessEntry& e) { return e.pid == pid; });
  if (it == running_.end()) return false;
  running_.erase(it);
  terminated_.push_back(pid);
  return true;
}

ShellStart FakeProcesses::ShellOpen(const std::string& file, const std::string& verb,
                                    const std::string& parameters) {
  std::lock_guard lock(mutex_);
  if (start_fails) return ShellStart::kFailed;
  if (start_declined) return ShellStart::kDeclined;
  Start s;
  s.file = file;
  s.verb = verb;
  s.parameters = parameters;
  started_.push_back(std::move(s));
  return ShellStart::kStarted;
}

std::string FakeProcesses::LongPath(const std::string& path) {
  std::lock_guard lock(mutex_);
  auto it = long_paths.find(path);
  return it == long_paths.end() ? path : it->second;
}

bool FakeProcesses::StartHidden(const std::string& application, const std::string& command_line,
                                const std::string& directory) {
  std::lock_guard lock(mutex_);
  if (start_fails) return false;
  Start s;
  s.application = application;
  s.command_line = command_line;
  s.directory = directory;
  started_.push_back(std::move(s));
  return true;
}

void FakeProcesses::Add(uint32_t pid, std::string image_path) {
  std::lock_guard lock(mutex_);
  running_.push_back({pid, std::move(image_path)});
}

std::vector<uint32_t> FakeProcesses::terminated() const {
  std::lock_guard lock(mutex_);
  return terminated_;
}

std::vector<FakeProcesses::Start> FakeProcesses::started() const {
  std::lock_guard lock(mutex_);
  return started_;
}

}  // namespace zd
