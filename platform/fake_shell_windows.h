// The shell's window collection for tests: items in order, and a failure
// that ends the enumeration at a chosen item.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/shell_windows.h"

namespace zd {

class FakeShellWindows : public ShellWindows {
 public:
  ShellWindowScan Scan() override;

  // A loaded window; a folder when the address is a "file:///" one.
  void AddWindow(const std::string& location_url, const std::string& title = {});
  void AddItem(ShellWindowItem item) { items_.push_back(std::move(item)); }
  void Clear() { items_.clear(); }
  std::vector<ShellWindowItem>& items() { return items_; }

  // The enumeration fails at this item: the items before it are reported,
  // with `complete` false. nullopt: no failure.
  void FailAt(std::optional<size_t> index) { fail_at_ = index; }
  // Scan throws instead of reporting.
  void set_throw_on_scan(bool value) { throw_on_scan_ = value; }
  int scan_calls() const { return scan_calls_; }

 private:
  std::vector<ShellWindowItem> items_;
  std::optional<size_t> fail_at_;
  bool throw_on_scan_ = false;
  int scan_calls_ = 0;
};

}  // namespace zd
