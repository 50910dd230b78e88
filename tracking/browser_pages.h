// The pages today's browsers show, read from their own files while they run:
// Firefox's session file gives every open tab, a Chromium browser's window
// titles are looked up in its History. A file is read again only when its
// time or size changed; a file that cannot be read (busy, torn) keeps the
// last good read.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/shared_files.h"
#include "platform/window_system.h"
#include "tracking/browser_profiles.h"
#include "tracking/history_db.h"
#include "tracking/session_file.h"

namespace zd {

struct OpenBrowserPage {
  std::string url;
  std::string title;
  std::string program;  // the browser's executable
  bool operator==(const OpenBrowserPage&) const = default;
};

class BrowserPages {
 public:
  BrowserPages(WindowSystem& windows, SharedFiles& files, UserFolders folders);

  // The pages of the browsers that have a window open now, in window order.
  std::vector<OpenBrowserPage> Collect();

  // Work done so far, for tests and benchmarks: files read and parsed, and
  // History queries (each one pass over the table).
  int file_reads() const { return file_reads_; }
  int history_queries() const { return history_queries_; }

 private:
  template <typename T>
  struct Stamped {
    std::optional<FileStamp> stamp;
    T value{};
  };
  struct HistoryCache {
    std::optional<FileStamp> stamp;
    std::map<std::string, std::optional<HistoryHit>> titles;
    std::optional<int64_t> latest_visit;  // when the answers were given
  };
  struct Running {
    const BrowserKind* kind = nullptr;
    std::string program;
    std::vector<std::string> titles;
  };

  // The value read from `path`, read again only when its stamp changed;
  // null when the file is missing, or was never read well.
  template <typename T, typename Parse>
  const T* Read(Stamped<T>& cache, const std::string& path, Parse parse);
  void CollectFirefox(const Running& browser, std::vector<OpenBrowserPage>& pages);
  void CollectChromium(const Running& browser, std::vector<OpenBrowserPage>& pages);
  // Answers for `titles` from the History at `path`, asked only for what the
  // cache of its current stamp lacks; after a change, the titles known
  // before are asked of the visits made since.
  const HistoryCache& LookUp(const std::string& path, const std::set<std::string>& titles);

  WindowSystem& windows_;
  SharedFiles& files_;
  UserFolders folders_;
  SessionParser parser_;
  std::map<std::string, Stamped<std::vector<std::string>>> profiles_ini_;
  std::map<std::string, Stamped<std::vector<SessionPage>>> sessions_;
  std::map<std::string, Stamped<std::vector<ChromiumProfile>>> local_states_;
  std::map<std::string, HistoryCache> histories_;
  int file_reads_ = 0;
  int history_queries_ = 0;
};

}  // namespace zd
