// Processes in memory, recording what was started and ended.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/processes.h"

namespace zd {

class FakeProcesses : public Processes {
 public:
  struct Start {
    std::string file, verb, parameters;                // ShellExecute
    std::string application, command_line, directory;  // StartHidden
    bool operator==(const Start&) const = default;
  };

  std::vector<ProcessEntry> List() override;
  bool Terminate(uint32_t pid, uint32_t exit_code) override;
  uint32_t CurrentProcessId() override { return own_pid; }
  ShellStart ShellOpen(const std::string& file, const std::string& verb,
                       const std::string& parameters) override;
  bool StartHidden(const std::string& application, const std::string& command_line,
                   const std::string& directory) override;
  bool IsElevated() override { return elevated; }
  std::string LongPath(const std::string& path) override;

  void Add(uint32_t pid, std::string image_path);
  std::vector<uint32_t> terminated() const;
  std::vector<Start> started() const;

  uint32_t own_pid = 1;
  bool elevated = true;
  bool start_fails = false;
  bool start_declined = false;  // the elevation prompt is answered no
  // Long forms by short path (paths compare exactly).
  std::map<std::string, std::string> long_paths;
  bool terminate_fails = false;

 private:
  mutable std::mutex mutex_;
  std::vector<ProcessEntry> running_;
  std::vector<uint32_t> terminated_;
  std::vector<Start> started_;
};

}  // namespace zd
