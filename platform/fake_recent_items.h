// The shell's Recent items and jump lists as the tests and benches set them.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/recent_items.h"

namespace zd {

class FakeRecentItems : public RecentItems {
 public:
  std::string Stamp() override {
    ++stamps;
    return stamp;
  }
  std::vector<RecentLink> RecentLinks(size_t limit) override {
    ++link_reads;
    return {links.begin(),
            links.begin() + static_cast<std::ptrdiff_t>(std::min(limit, links.size()))};
  }
  std::vector<JumpListItem> JumpListItems(size_t lists) override {
    std::vector<JumpListItem> found;
    std::vector<std::string> seen;
    for (const JumpListItem& item : items) {
      if (std::find(seen.begin(), seen.end(), item.list) == seen.end()) {
        if (seen.size() >= lists) continue;
        seen.push_back(item.list);
      }
      found.push_back(item);
    }
    return found;
  }

  std::string stamp = "1";
  std::vector<RecentLink> links;
  std::vector<JumpListItem> items;
  std::atomic<int> stamps{0};
  std::atomic<int> link_reads{0};
};

}  // namespace zd
