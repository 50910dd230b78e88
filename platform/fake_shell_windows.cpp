#include "platform/fake_shell_windows.h"

#include <stdexcept>

namespace zd {

ShellWindowScan FakeShellWindows::Scan() {
  ++scan_calls_;
  if (throw_on_scan_) throw std::runtime_error("shell windows unavailable");
  ShellWindowScan scan;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (fail_at_ && i == *fail_at_) {
      scan.complete = false;
      break;
    }
    scan.items.push_back(items_[i]);
  }
  return scan;
}

void FakeShellWindows::AddWindow(const std::string& location_url, const std::string& title) {
  ShellWindowItem item;
  item.location_url = location_url;
  item.has_document = true;
  item.title = title;
  items_.push_back(std::move(item));
}

}  // namespace zd
