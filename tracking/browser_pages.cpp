#include "tracking/browser_pages.h"

#include "tracking/discovery.h"

namespace zd {
namespace {

constexpr char kProfilesIni[] = "profiles.ini";
constexpr char kSessionFile[] = "sessionstore-backups\\recovery.jsonlz4";
constexpr char kLocalState[] = "Local State";
constexpr char kHistoryFile[] = "History";
// A browser whose Local State lists nothing still has this one.
constexpr char kDefaultProfile[] = "Default";

}  // namespace

BrowserPages::BrowserPages(WindowSystem& windows, SharedFiles& files, UserFolders folders)
    : windows_(windows), files_(files), folders_(std::move(folders)) {}

template <typename T, typename Parse>
const T* BrowserPages::Read(Stamped<T>& cache, const std::string& path, Parse parse) {
  const std::optional<FileStamp> stamp = files_.Stamp(path);
  if (!stamp) {
    cache = Stamped<T>();
    return nullptr;
  }
  if (cache.stamp && *cache.stamp == *stamp) return &cache.value;
  ++file_reads_;
  const std::optional<std::string> bytes = files_.ReadShared(path);
  std::optional<T> value;
  if (bytes) value = parse(*bytes);
  // Busy or torn: the last good read stands, and the file is tried again
  // at the next refresh.
  if (!value) return cache.stamp ? &cache.value : nullptr;
  cache.stamp = stamp;
  cache.value = std::move(*value);
  return &cache.value;
}

std::vector<OpenBrowserPage> BrowserPages::Collect() {
  std::vector<Running> running;
  for (const WindowRow& row : EnumerateWindowRows(windows_)) {
    const std::optional<std::string> program = windows_.ProcessImagePath(row.id);
    if (!program) continue;
    const BrowserKind* kind = BrowserOfProgram(*program);
    if (!kind) continue;
    Running* found = nullptr;
    for (Running& browser : running) {
      if (browser.kind == kind) found = &browser;
    }
    if (!found) found = &running.emplace_back(Running{kind, *program, {}});
    found->titles.push_back(row.title);
  }
  std::vector<OpenBrowserPage> pages;
  for (const Running& browser : running) {
    if (browser.kind->family == BrowserFamily::kFirefox) {
      CollectFirefox(browser, pages);
    } else {
      CollectChromium(browser, pages);
    }
  }
  return pages;
}

void BrowserPages::CollectFirefox(const Running& browser, std::vector<OpenBrowserPage>& pages) {
  const std::string dir = BrowserDataDir(*browser.kind, folders_);
  if (dir.empty()) return;
  const std::string ini_path = JoinPath(dir, kProfilesIni);
  const auto* profiles = Read(profiles_ini_[ini_path], ini_path, [&](const std::string& ini) {
    return std::optional<std::vector<std::string>>(ParseProfilesIni(ini, dir));
  });
  if (!profiles) return;
  for (const std::string& profile : *profiles) {
    const std::string path = JoinPath(profile, kSessionFile);
    const auto* session = Read(sessions_[path], path, [&](const std::string& file) {
      std::optional<SessionText> text = DecodeMozLz4(file);
      return text ? parser_.Pages(*text) : std::nullopt;
    });
    if (!session) continue;
    for (const SessionPage& page : *session) {
      pages.push_back(OpenBrowserPage{page.url, page.title, browser.program});
    }
  }
}

void BrowserPages::CollectChromium(const Running& browser, std::vector<OpenBrowserPage>& pages) {
  const std::string dir = BrowserDataDir(*browser.kind, folders_);
  if (dir.empty()) return;
  const std::string state_path = JoinPath(dir, kLocalState);
  const auto* listed = Read(local_states_[state_path], state_path, ParseLocalState);
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
  std::map<std::string, const HistoryCache*> answers;
  for (const auto& [history, titles] : titles_of) answers[history] = &LookUp(history, titles);

  for (const Wanted& want : wanted) {
    const HistoryHit* best = nullptr;
    for (const std::string& history : want.histories) {
      const auto found = answers[history]->titles.find(want.title);
      if (found == answers[history]->titles.end() || !found->second) continue;
      if (!best || found->second->last_visit_time > best->last_visit_time) best = &*found->second;
    }
    // A title without an entry (a private window's page is never in
    // History) records nothing.
    if (best) pages.push_back(OpenBrowserPage{best->url, want.title, browser.program});
  }
}

const BrowserPages::HistoryCache& BrowserPages::LookUp(const std::string& path,
                                                       const std::set<std::string>& titles) {
  HistoryCache& cache = histories_[path];
  const std::optional<FileStamp> stamp = files_.Stamp(path);
  if (!stamp) {
    cache = HistoryCache();
    return cache;
  }
  const bool changed = !cache.stamp || !(*cache.stamp == *stamp);
  std::vector<std::string> known, unknown;
  for (const std::string& title : titles) {
    (cache.titles.count(title) ? known : unknown).push_back(title);
  }
  const auto answer = [](HistoryCache& into, const std::string& title,
                         const HistoryLookup& lookup) {
    const auto hit = lookup.hits.find(title);
    if (hit != lookup.hits.end()) {
      into.titles[title] = hit->second;
    } else if (!lookup.only_newer) {
      into.titles[title] = std::nullopt;
    }
  };
  if (changed) {
    HistoryCache fresh;
    if (!known.empty()) {
      ++history_queries_;
      const HistoryLookup lookup = LookUpTitles(path, known, files_, cache.latest_visit);
      // Unreadable now: what was known stays, and is asked again next time.
      if (lookup.read == HistoryRead::kFailed) return cache;
      for (const std::string& title : known) {
        if (lookup.only_newer) fresh.titles[title] = cache.titles[title];
        answer(fresh, title, lookup);
      }
      fresh.latest_visit = lookup.latest_visit;
    }
    fresh.stamp = stamp;
    cache = std::move(fresh);
  }
  if (unknown.empty()) return cache;
  ++history_queries_;
  const HistoryLookup lookup = LookUpTitles(path, unknown, files_);
  if (lookup.read == HistoryRead::kFailed) return cache;
  for (const std::string& title : unknown) answer(cache, title, lookup);
  cache.latest_visit = lookup.latest_visit;
  return cache;
}

}  // namespace zd
