// What the shell remembers of the files the user opened in any program: the
// links of the user's Recent folder, and each program's jump list (the
// *.automaticDestinations-ms files in its AutomaticDestinations folder).
// Files the shell and other programs write: read only, letting everyone
// else read and write them, never resolved (no search, no network, no
// window), and bounded in number and size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zd {

struct RecentLink {
  std::string target;   // the link's target as stored; empty when it holds none
  int64_t opened = 0;   // the link's own time: seconds since 1970
  bool folder = false;  // the target was a folder when the link was made
  bool operator==(const RecentLink&) const = default;
};

struct JumpListItem {
  std::string target;  // the entry's path (the list's own, else its link's)
  int64_t opened = 0;  // the list's last-access time: seconds since 1970
  bool pinned = false;
  bool folder = false;  // its link says the target was a folder
  std::string list;     // the jump list's file name (its program's id)
  bool operator==(const JumpListItem&) const = default;
};

class RecentItems {
 public:
  virtual ~RecentItems() = default;
  // The Recent folder's time and every jump list's time and size, as one
  // text: it changes when a link comes or goes or a program's list changes
  // (reopening a document updates its program's list).
  virtual std::string Stamp() = 0;
  // The newest links first, at most `limit`.
  virtual std::vector<RecentLink> RecentLinks(size_t limit) = 0;
  // Every entry of the newest `lists` jump lists, in each list's order.
  virtual std::vector<JumpListItem> JumpListItems(size_t lists) = 0;
};

// The shell's, in `recent_folder` (the user's "Recent" folder, without a
// trailing separator). Made and used on one thread, which it gives COM
// while it lives.
std::unique_ptr<RecentItems> MakeSystemRecentItems(const std::string& recent_folder);

}  // namespace zd
