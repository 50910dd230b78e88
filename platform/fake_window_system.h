// Desktop windows for tests: a list of top-level windows, each with the
// executable path its process gives (or none), and a set of existing paths.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace zd {

class FakeWindowSystem : public WindowSystem {
 public:
  struct Window {
    TopWindow top;
    std::optional<std::string> process_path;  // none: the process cannot be opened
  };

  std::vector<TopWindow> EnumerateTopWindows() override;
  std::optional<std::string> ProcessImagePath(WindowId window) override;
  bool PathExists(const std::string& path) override;
  // What AnswerFor set, else as PathExists says.
  PathAnswer QueryPath(const std::string& path) override;

  // A visible, unowned, normal window (change the result for other kinds);
  // ids count up from 1. The path, when given, is made to exist.
  Window& AddWindow(const std::string& title, std::optional<std::string> process_path);
  Window& AddWindowOfMissingFile(const std::string& title, const std::string& process_path);
  void AddExistingPath(const std::string& path) { existing_.insert(path); }
  void RemoveExistingPath(const std::string& path) { existing_.erase(path); }
  // QueryPath's answer for a path (a network path: kNotAsked, say).
  void AnswerFor(const std::string& path, PathAnswer answer) { answers_[path] = answer; }
  // How many times PathExists and QueryPath were asked.
  int path_questions() const { return path_questions_; }
  void ClearWindows() { windows_.clear(); }
  std::vector<Window>& windows() { return windows_; }

  int enumerate_calls() const { return enumerate_calls_; }
  // Runs at the start of each enumeration (to change the desktop between scans).
  std::function<void(FakeWindowSystem&)> on_enumerate;
  // Makes ProcessImagePath of that window throw, as a failing system call could.
  void ThrowOnProcessOf(WindowId id) { throw_on_.insert(id); }

 private:
  std::vector<Window> windows_;
  std::set<std::string> existing_;
  std::map<std::string, PathAnswer> answers_;
  int path_questions_ = 0;
  std::set<WindowId> throw_on_;
  WindowId next_id_ = 1;
  int enumerate_calls_ = 0;
};

}  // namespace zd
