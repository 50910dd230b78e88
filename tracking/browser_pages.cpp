#include "tracking/browser_pages.h"

#include "platform/errors.h"
#include "tracking/discovery.h"

namespace zd {
namespace {

constexpr char kProfilesIni[] = "profiles.ini";
constexpr char kSessionFile[] = "sessionstore-backups\\recovery.jsonlz4";
constexpr char kLocalState[] = "Local State";
constexpr char kHistoryFile[] = "History";
// A browser whose Local State lists nothing still has this one.
constexpr char kDefaultProfile[] = "Default";
// Far more than any real one holds.
constexpr uint64_t kMaxProfilesIniBytes = 1u << 20;
constexpr uint64_t kMaxLocalStateBytes = 16u << 20;

bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

// Each profile is a source on its own: a failure (the memory running out
// over one file) costs its pages only.
template <typename Work>
void OnItsOwn(const char* where, const Work& work) {
  try {
    work();
  }
  ZD_CATCH_LOG(where)
}

}  // namespace

std::vector<RunningBrowser> FindRunningBrowsers(WindowSystem& windows) {
  return FindRunningBrowsers(TakeWindowPass(windows));
}

std::vector<RunningBrowser> FindRunningBrowsers(const WindowPass& pass) {
  std::vector<RunningBrowser> running;
  for (const SeenWindow& window : pass.windows) {
    const std::optional<std::string>& program = window.program;
    if (!program) continue;
    const BrowserKind* kind = BrowserOfProgram(*program);
    if (!kind) continue;
    RunningBrowser* found = nullptr;
    for (RunningBrowser& browser : running) {
      if (browser.kind == kind) found = &browser;
    }
    if (!found) found = &running.emplace_back(RunningBrowser{kind, *program, {}});
    found->titles.push_back(window.title);
  }
  return running;
}

BrowserPages::BrowserPages(SharedFiles& files, UserFolders folders, HistoryLimits limits)
    : files_(files), folders_(std::move(folders)), limits_(limits) {}

int BrowserPages::history_queries() const {
  int opens = 0;
  for (const auto& [path, index] : histories_) opens += index.work().opens;
  return opens;
}

template <typename T, typename Parse>
const T* BrowserPages::Read(Stamped<T>& cache, const std::string& path, uint64_t max_bytes,
                            Parse parse) {
  const std::optional<FileStamp> stamp = files_.OnNetwork(path) ? std::nullopt : files_.Stamp(path);
  if (!stamp) {
    cache = Stamped<T>();
    return nullptr;
  }
  if (cache.stamp && *cache.stamp == *stamp) return cache.good ? &cache.value : nullptr;
  ++file_reads_;
  // Busy, torn or too large: the last good read stands, and this state of
  // the file is not read again.
  cache.stamp = stamp;
  std::optional<T> value;
  if (stamp->size <= max_bytes) {
    if (const std::optional<std::string> bytes = files_.ReadShared(path, max_bytes)) {
      value = parse(*bytes);
    }
  } else {
    WriteDebugLine("Zapdock: " + path + " skipped: " + std::to_string(stamp->size >> 20) +
                   " MB on disk");
  }
  if (value) {
    cache.value = std::move(*value);
    cache.good = true;
  }
  return cache.good ? &cache.value : nullptr;
}

std::vector<OpenBrowserPage> BrowserPages::Read(const std::vector<RunningBrowser>& running,
                                                const std::atomic<bool>* cancel) {
  cancel_ = cancel;
  std::vector<OpenBrowserPage> pages;
  for (const RunningBrowser& browser : running) {
    if (Cancelled(cancel)) break;
    if (browser.kind->family == BrowserFamily::kFirefox) {
      CollectFirefox(browser, pages);
    } else {
      CollectChromium(browser, pages);
    }
  }
  cancel_ = nullptr;
  return pages;
}

void BrowserPages::Add(std::vector<OpenBrowserPage>& pages, const std::string& url,
                       const std::string& title, const std::string& program) {
  BrowserAddress address = ClassifyBrowserAddress(url);
  if (address.kind == BrowserAddressKind::kOther) return;
  pages.push_back(
      OpenBrowserPage{url, title, program, address.kind, std::move(address.local_path)});
}

void BrowserPages::CollectFirefox(const RunningBrowser& browser,
                                  std::vector<OpenBrowserPage>& pages) {
  const std::string dir = BrowserDataDir(*browser.kind, folders_);
  if (dir.empty()) return;
  const std::string ini_path = JoinPath(dir, kProfilesIni);
  const auto* profiles =
      Read(profiles_ini_[ini_path], ini_path, kMaxProfilesIniBytes, [&](const std::string& ini) {
        return std::optional<std::vector<std::string>>(ParseProfilesIni(ini, dir));
      });
  if (!profiles) return;
  for (const std::string& profile : *profiles) {
    if (Cancelled(cancel_)) return;
    OnItsOwn("Firefox profile", [&] {
      const std::string path = JoinPath(profile, kSessionFile);
      const auto* session =
          Read(sessions_[path], path, MaxSessionFileBytes(),
               [&](const std::string& file) -> std::optional<std::vector<SessionPage>> {
                 const std::optional<uint32_t> size = DeclaredSessionSize(file);
                 if (size && *size > kMaxSessionBytes) {
                   WriteDebugLine("Zapdock: " + path + " skipped: " + std::to_string(*size >> 20) +
                                  " MB inflated");
                   return std::nullopt;
                 }
                 const std::optional<SessionText> text = DecodeMozLz4(file);
                 return text ? ReadSessionPages(*text) : std::nullopt;
               });
      if (!session) return;
      for (const SessionPage& page : *session) Add(pages, page.url, page.title, browser.program);
    });
  }
}

void BrowserPages::CollectChromium(const RunningBrowser& browser,
                                   std::vector<OpenBrowserPage>& pages) {
  const std::string dir = BrowserDataDir(*browser.kind, folders_);
  if (dir.empty()) return;
  const std::string state_path = JoinPath(dir, kLocalState);
  const auto* listed =
      Read(local_states_[state_path], state_path, kMaxLocalStateBytes, ParseLocalState);
  std::vector<ChromiumProfile> profiles;
  if (listed) profiles = *listed;
  if (profiles.empty()) profiles.push_back(ChromiumProfile{kDefaultProfile, ""});
  std::vector<std::string> names;
  for (const ChromiumProfile& profile : profiles) names.push_back(profile.name);

  // Which History files each window's title is looked up in: the profile
  // the title names, else every profile.
  struct Wanted {
    std::string title;
    std::vector<std::string> histories;
  };
  std::vector<Wanted> wanted;
  std::map<std::string, std::set<std::string>> titles_of;
  for (const std::string& window_title : browser.titles) {
    const std::optional<BrowserTitle> title = ParseBrowserTitle(window_title, *browser.kind, names);
    if (!title || title->is_private) continue;
    Wanted want{title->page, {}};
    for (const ChromiumProfile& profile : profiles) {
      if (!title->profile.empty() && profile.name != title->profile) continue;
      const std::string history = JoinPath(JoinPath(dir, profile.dir), kHistoryFile);
      want.histories.push_back(history);
      titles_of[history].insert(title->page);
    }
    wanted.push_back(std::move(want));
  }
  std::map<std::string, std::map<std::string, HistoryHit>> answers;
  for (const auto& [history, titles] : titles_of) {
    if (Cancelled(cancel_)) break;
    if (files_.OnNetwork(history)) continue;
    OnItsOwn("Chromium profile", [&, &history = history, &titles = titles] {
      HistoryIndex& index = histories_.try_emplace(history, history, limits_).first->second;
      answers[history] =
          index.Answer(std::vector<std::string>(titles.begin(), titles.end()), files_, cancel_);
    });
  }

  for (const Wanted& want : wanted) {
    const HistoryHit* best = nullptr;
    for (const std::string& history : want.histories) {
      const auto& found = answers[history];
      const auto hit = found.find(want.title);
      if (hit == found.end()) continue;
      if (!best || hit->second.last_visit_time > best->last_visit_time) best = &hit->second;
    }
    // A title without an entry (a private window's page is never in
    // History) records nothing.
    if (best) Add(pages, best->url, want.title, browser.program);
  }
}

}  // namespace zd
