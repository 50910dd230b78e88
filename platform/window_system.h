// The desktop's top-level windows and the programs behind them, read-only,
// behind an interface so the scans can run against a fake.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/path_probe.h"

namespace zd {

using WindowId = uintptr_t;

struct TopWindow {
  WindowId id = 0;
  bool visible = false;
  // Owned by a window other than the desktop window (a dialog, say).
  bool owned = false;
  bool tool_window = false;  // WS_EX_TOOLWINDOW
  // At most 128 characters. Read only for windows a scan can list (visible,
  // unowned, not tool windows): asking costs a message to the owner's thread.
  std::string title;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Every top-level window once, in z-order.
  virtual std::vector<TopWindow> EnumerateTopWindows() = 0;
  // Full path of the main executable of the window's process; nullopt when
  // the process cannot be opened or its path cannot be read.
  virtual std::optional<std::string> ProcessImagePath(WindowId window) = 0;
  // An existing file or folder, asked as path_probe.h says; a network path,
  // never asked, counts as one (the programs found there run from it).
  virtual bool PathExists(const std::string& path) = 0;
  // The finer answer; the default has only PathExists to go by.
  virtual PathAnswer QueryPath(const std::string& path) {
    return PathExists(path) ? PathAnswer::kFile : PathAnswer::kNotFound;
  }
};

std::unique_ptr<WindowSystem> MakeSystemWindowSystem();

}  // namespace zd
