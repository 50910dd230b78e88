// Running processes and starting programs, behind an interface so that the
// update and the uninstall mode can be tested with a fake.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zd {

struct ProcessEntry {
  uint32_t pid = 0;
  // Full path of the main executable; empty when it cannot be read.
  std::string image_path;
};

enum class ShellStart {
  kStarted,
  kDeclined,  // the user said no to the elevation prompt
  kFailed,
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Every running process once.
  virtual std::vector<ProcessEntry> List() = 0;
  virtual bool Terminate(uint32_t pid, uint32_t exit_code) = 0;
  virtual uint32_t CurrentProcessId() = 0;
  // Has the shell run `verb` ("open", "runas") on a file or address, shown
  // normally; `parameters` may be empty.
  virtual ShellStart ShellOpen(const std::string& file, const std::string& verb,
                               const std::string& parameters) = 0;
  // Starts `application` (a full path) with `command_line` in `directory`,
  // without a window. True when the process started.
  virtual bool StartHidden(const std::string& application, const std::string& command_line,
                           const std::string& directory) = 0;
  // The process runs with an administrator's full rights (elevated).
  virtual bool IsElevated() = 0;
  // The long form of an existing path (no 8.3 names); the path itself when
  // it has none or does not exist.
  virtual std::string LongPath(const std::string& path) = 0;
};

std::unique_ptr<Processes> MakeSystemProcesses();

}  // namespace zd
