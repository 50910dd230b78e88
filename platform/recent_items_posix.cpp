// The native build has no shell: nothing recent.
#include "platform/recent_items.h"

namespace zd {
namespace {

class NoRecentItems : public RecentItems {
 public:
  std::string Stamp() override { return {}; }
  std::vector<RecentLink> RecentLinks(size_t) override { return {}; }
  std::vector<JumpListItem> JumpListItems(size_t) override { return {}; }
};

}  // namespace

std::unique_ptr<RecentItems> MakeSystemRecentItems(const std::string&) {
  return std::make_unique<NoRecentItems>();
}

}  // namespace zd
