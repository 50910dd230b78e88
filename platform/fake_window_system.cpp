#include "platform/fake_window_system.h"

#include <stdexcept>

namespace zd {

std::vector<TopWindow> FakeWindowSystem::EnumerateTopWindows() {
  ++enumerate_calls_;
  if (on_enumerate) on_enumerate(*this);
  std::vector<TopWindow> tops;
  tops.reserve(windows_.size());
  for (const Window& window : windows_) tops.push_back(window.top);
  return tops;
}

std::optional<std::string> FakeWindowSystem::ProcessImagePath(WindowId window) {
  if (throw_on_.count(window)) throw std::runtime_error("process query failed");
  for (const Window& w : windows_) {
    if (w.top.id == window) return w.process_path;
  }
  return std::nullopt;
}

bool FakeWindowSystem::PathExists(const std::string& path) {
  ++path_questions_;
  const auto it = answers_.find(path);
  if (it != answers_.end()) return it->second != PathAnswer::kNotFound;
  return existing_.count(path) != 0;
}

PathAnswer FakeWindowSystem::QueryPath(const std::string& path) {
  ++path_questions_;
  const auto it = answers_.find(path);
  if (it != answers_.end()) return it->second;
  return existing_.count(path) != 0 ? PathAnswer::kFile : PathAnswer::kNotFound;
}

FakeWindowSystem::Window& FakeWindowSystem::AddWindow(const std::string& title,
                                                      std::optional<std::string> process_path) {
  Window window;
  window.top.id = next_id_++;
  window.top.visible = true;
  window.top.title = title;
  if (process_path) existing_.insert(*process_path);
  window.process_path = std::move(process_path);
  windows_.push_back(std::move(window));
  return windows_.back();
}

FakeWindowSystem::Window& FakeWindowSystem::AddWindowOfMissingFile(
    const std::string& title, const std::string& process_path) {
  Window& window = AddWindow(title, std::nullopt);
  window.process_path = process_path;
  return window;
}

}  // namespace zd
