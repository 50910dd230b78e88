// Program icons for tests: records where each icon went, and can refuse.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/icon_source.h"

namespace zd {

class FakeIconSource : public IconSource {
 public:
  bool InsertIcon(const std::string& executable, int position) override {
    ++calls_;
    if (fail_all_ || fail_for_.count(executable) || position < 0 || position > count_) return false;
    insertions_.emplace_back(executable, position);
    ++count_;
    return true;
  }
  void RemoveIcons() override { count_ = kBuiltIn; }
  // The images the list holds: 11 built-in pictures and the icons put in since.
  int count() const { return count_; }

  void set_fail_all(bool fail) { fail_all_ = fail; }
  void FailFor(const std::string& executable) { fail_for_.insert(executable); }
  // (executable, position) of every accepted icon, in order.
  const std::vector<std::pair<std::string, int>>& insertions() const { return insertions_; }
  int calls() const { return calls_; }

 private:
  std::vector<std::pair<std::string, int>> insertions_;
  std::set<std::string> fail_for_;
  static constexpr int kBuiltIn = 11;
  bool fail_all_ = false;
  int calls_ = 0;
  int count_ = kBuiltIn;
};

}  // namespace zd
