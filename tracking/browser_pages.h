// The pages today's browsers show, read from their own files while they run:
// Firefox's session file gives every open tab, a Chromium browser's window
// titles are looked up in its History. Which browsers run, and their window
// titles, are asked on the interface thread; the files are read on the
// browsers' reader thread (browser_reader.h). A file is read again only when
// its time or size changed, also after a read that failed (a file that cannot
// be read keeps its last good read). Files on the network are not read.
#pragma once

#include <atomic>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/shared_files.h"
#include "platform/window_system.h"
#include "tracking/browser_address.h"
#include "tracking/browser_profiles.h"
#include "tracking/discovery.h"
#include "tracking/history_db.h"
#include "tracking/session_file.h"

namespace zd {

// What a browser shows: a web page (http, https), or a local file, whose
// address is then decoded to its path. Nothing else a browser shows (its own
// pages, extensions' pages) is reported.
struct OpenBrowserPage {
  std::string url;
  std::string title;
  std::string program;  // the browser's executable
  BrowserAddressKind kind = BrowserAddressKind::kWebPage;
  std::string local_path;  // for a local file
  bool operator==(const OpenBrowserPage&) const = default;
};

// A browser with windows open, and their titles in window order.
struct RunningBrowser {
  const BrowserKind* kind = nullptr;
  std::string program;
  std::vector<std::string> titles;
  bool operator==(const RunningBrowser&) const = default;
};

// The browsers that have a window open now, in window order (asked of the
// windows, not of any file).
std::vector<RunningBrowser> FindRunningBrowsers(const WindowPass& pass);
// The same over a pass of its own.
std::vector<RunningBrowser> FindRunningBrowsers(WindowSystem& windows);

// The files' side; used by one thread at a time.
class BrowserPages {
 public:
  BrowserPages(SharedFiles& files, UserFolders folders, HistoryLimits limits = {});

  // The pages of `running`, in their order. `cancel` ends the read early
  // (what was found so far is returned).
  std::vector<OpenBrowserPage> Read(const std::vector<RunningBrowser>& running,
                                    const std::atomic<bool>* cancel = nullptr);

  // Work done so far, for tests and benchmarks: files read and parsed, and
  // connections to History files.
  int file_reads() const { return file_reads_; }
  int history_queries() const;

 private:
  template <typename T>
  struct Stamped {
    std::optional<FileStamp> stamp;  // of the last read, good or failed
    bool good = false;               // `value` holds a good read
    T value{};
  };

  // The value read from `path`, read again only when its stamp changed;
  // null when the file is missing, on the network, or was never read well.
  template <typename T, typename Parse>
  const T* Read(Stamped<T>& cache, const std::string& path, uint64_t max_bytes, Parse parse);
  void CollectFirefox(const RunningBrowser& browser, std::vector<OpenBrowserPage>& pages);
  void CollectChromium(const RunningBrowser& browser, std::vector<OpenBrowserPage>& pages);
  // An address a browser shows, kept (web pages and local files) or not.
  static void Add(std::vector<OpenBrowserPage>& pages, const std::string& url,
                  const std::string& title, const std::string& program);

  SharedFiles& files_;
  UserFolders folders_;
  HistoryLimits limits_;
  const std::atomic<bool>* cancel_ = nullptr;
  std::map<std::string, Stamped<std::vector<std::string>>> profiles_ini_;
  std::map<std::string, Stamped<std::vector<SessionPage>>> sessions_;
  std::map<std::string, Stamped<std::vector<ChromiumProfile>>> local_states_;
  std::map<std::string, HistoryIndex> histories_;
  int file_reads_ = 0;
};

}  // namespace zd
