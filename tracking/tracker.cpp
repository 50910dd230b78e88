#include "tracking/tracker.h"

#include <ctime>
#include <unordered_map>

#include "lang/lang_tables.h"
#include "platform/errors.h"
#include "store/doc_list.h"
#include "store/program_files.h"
#include "tracking/discovery.h"
#include "tracking/doc_kinds.h"
#include "tracking/node_data.h"

namespace zd {
namespace {

constexpr int kPhasePauseMs = 3;
constexpr int kItemPauseMs = 5;

std::string LocalDate() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (!local) return {};
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", local);
  return text;
}

TreeNode* InsertGroup(TreeModel* tree, const std::string& caption, int image, int32_t index) {
  return tree ? tree->InsertRootFirst(caption, image, index) : nullptr;
}

TreeNode* FindGroup(TreeModel* tree, const std::string& root) {
  return tree ? tree->FindNodeByText(root, true) : nullptr;
}

void AppendDocNode(TreeModel* tree, TreeNode* group, const std::string& caption, int image,
                   int32_t index) {
  if (tree) tree->AppendChild(group, caption, image, index);
}

// The node of a file's folder in `tree`: an existing one, else a new child of
// its group (a top-level node when the group is gone).
TreeNode* FolderNodeIn(TreeModel* tree, TreeNode* group, const std::string& folder, int32_t index) {
  if (!tree) return nullptr;
  if (TreeNode* node = tree->FindNodeByText(folder, false)) return node;
  return tree->AppendChild(group, folder, kImageFolder, index);
}

std::string Backslashed(std::string address) {
  for (char& c : address) {
    if (c == '/') c = '\\';
  }
  return address;
}

// The caption a folder shows below its group node, or empty when the group
// node stands for it (the first-level folder itself).
std::string FolderChildCaption(const std::string& address, const std::string& root) {
  const std::string work = Backslashed(address);
  const std::optional<std::string_view> folder = AfterScheme(work, "file:\\\\\\");
  if (!folder || *folder == root) return {};
  return Trim(*folder);
}

}  // namespace

DocTracker::DocTracker(DocStore& store, TrackerTrees trees, WindowSystem& windows,
                       ShellWindows& shell, IconSource* icons, TrackerHooks hooks)
    : store_(store),
      trees_(trees),
      windows_(windows),
      shell_(shell),
      icons_(icons),
      hooks_(std::move(hooks)) {
  index_.Rebuild(store_.docs);
}

std::vector<TreeModel*> TrackerTrees::All() const {
  std::vector<TreeModel*> all = {docs};
  all.insert(all.end(), kinds.begin(), kinds.end());
  return all;
}

// ---- registration ----

bool DocTracker::AddMyDoc(const FoundDoc& found, const std::string& date,
                          std::optional<int> known_image) noexcept {
  bool appended = false;
  try {
    const bool is_program = found.kind == DocKind::kProgram;
    const bool is_file = found.kind == DocKind::kFile;
    const std::string trimmed_name = Trim(found.name);
    std::string addr = Trim(found.address);
    if (addr.empty() || trimmed_name.empty()) return false;
    // A file's path is its own: "%20" may be part of its name.
    if (!is_file && Contains(addr, "%20")) addr = ReplaceAll(addr, "%20", " ");
    if (IsIgnoredDoc(addr) || IsDocRegistered(addr)) return false;
    const std::string root = Trim(is_file ? FileRoot(addr) : GetDocRoot(addr));
    if (!is_program && root.empty()) return false;

    DocArray& docs = store_.docs;
    const size_t n = docs.size();
    const auto position = static_cast<int32_t>(n);
    const bool new_group = is_program || !IsRootRegistered(root);

    // The record is complete before it is appended; from then on it counts
    // as registered, whatever fails later.
    DocRecord doc;
    if (is_file) {
      doc.doctype = DocKind::kFile;
      doc.path = addr;
      doc.name = trimmed_name;
    } else if (IsFileAddress(addr)) {
      doc.doctype = DocKind::kFolder;
      doc.path = FolderAddressToLocalPath(addr);
      doc.name = doc.path;
    } else {
      doc.doctype = is_program ? DocKind::kProgram : DocKind::kWeb;
      doc.path = addr;
      doc.name = trimmed_name;
    }
    doc.RootPath = root;
    doc.date = date.empty() ? Today() : date;
    const KindInfo& info = InfoOf(doc.doctype);
    if (n > 0) {
      doc.unstored_before =
          docs[n - 1].unstored_before + (InHistorySection(docs[n - 1].doctype) ? 0 : 1);
    }
    index_.Sync(docs);
    docs.push_back(std::move(doc));
    appended = true;
    index_.Add(docs.back());

    TreeModel* kind_tree = trees_.Of(info.kind);
    int image = info.image;
    if (info.kind == DocKind::kProgram) {
      image = known_image ? *known_image : GetAppImageIndex(addr, trimmed_name);
      // A refused icon must not cost the record its keys: a record without
      // them is a hole in section "docs", where the next start stops.
      if (image < 0) image = kImageProgram;
    }
    docs.back().image = image;
    TreeNode* docs_group = nullptr;
    TreeNode* kind_group = nullptr;
    if (new_group) {
      const std::string& caption = root.empty() ? trimmed_name : root;
      docs_group = InsertGroup(trees_.docs, caption, image, position);
      kind_group = InsertGroup(kind_tree, caption, image, position);
    } else {
      // Every grouped kind's tree is searched (and scrolled), whatever the kind.
      docs_group = FindGroup(trees_.docs, root);
      for (const KindInfo& other : kKinds) {
        if (!other.grouped) continue;
        TreeNode* group = FindGroup(trees_.Of(other.kind), root);
        if (other.kind == info.kind) kind_group = group;
      }
    }

    if (held_recent_) {
      held_recent_->emplace_back(addr, trimmed_name);
    } else {
      AddMyRecent(store_.MyRecentList, addr, trimmed_name);
    }
    if (store_.settings) WriteDocEntry(*store_.settings, docs, n, trimmed_name);
    if (is_file) {
      FileSeen& seen = store_.file_seen[DocPathKey(addr)];
      if (seen.last_seen.empty()) seen.last_seen = docs.back().date;
      if (!found.program.empty()) seen.program = found.program;
      store_.files_changed = true;
    }

    // Every web page has a node of its own under its host, whatever its
    // scheme: the group node names the host, and a host's pages are each
    // found and opened where the user looks for them.
    std::string caption;
    switch (info.child) {
      case ChildCaption::kNone:
        return true;
      case ChildCaption::kName:
        caption = trimmed_name;
        break;
      case ChildCaption::kFolderTail:
        caption = FolderChildCaption(addr, root);
        break;
      case ChildCaption::kFileName: {
        caption = FileNameOfPath(addr);
        // Below a node of its folder, unless that is the group's own.
        const std::string folder = FileFolder(addr);
        if (!folder.empty() && !EqualsIgnoringAsciiCase(folder, root)) {
          docs_group = FolderNodeIn(trees_.docs, docs_group, folder, position);
          kind_group = FolderNodeIn(kind_tree, kind_group, folder, position);
        }
        break;
      }
    }
    if (caption.empty()) return true;
    // A group node the user removed leaves the child at the top level.
    AppendDocNode(trees_.docs, docs_group, caption, image, position);
    AppendDocNode(kind_tree, kind_group, caption, image, position);
  }
  ZD_CATCH_LOG(__func__)
  return appended;
}

void DocTracker::AddAppDoc(const FoundDoc& found) {
  if (!IsDocRegistered(found.address)) AddMyDoc(found);
}

bool DocTracker::IsDocRegistered(const std::string& address) const {
  index_.Sync(store_.docs);
  return zd::IsDocRegistered(index_, address);
}

bool DocTracker::IsRootRegistered(const std::string& root) const {
  index_.Sync(store_.docs);
  return zd::IsRootRegistered(index_, root);
}

void DocTracker::RebuildIndex() { index_.Rebuild(store_.docs); }

void DocTracker::ResetImages() {
  app_image_counter_ = kAppImageCounterStart;
  image_cursor_ = 0;
  if (icons_) icons_->RemoveIcons();
}

int DocTracker::GetAppImageIndex(const std::string& executable, const std::string& name) {
  const PathAnswer answer = windows_.QueryPath(executable);
  if (answer == PathAnswer::kNotFound) return kImageMissingProgram;
  const lang::InterfaceTexts& texts = lang::Texts();
  const std::pair<const std::string*, int> places[] = {
      {&texts.MyComputer, kImageMyComputer},       {&texts.Desktop, kImageDesktop},
      {&texts.NetworkPlaces, kImageNetworkPlaces}, {&texts.ControlPanel, kImageControlPanel},
      {&texts.MyDocuments, kImageMyDocuments},
  };
  for (const auto& [text, image] : places) {
    if (!text->empty() && *text == name) return image;
  }
  // Reading the icon of a file that could not be asked about might wait on
  // an offline server, or on a drive without its medium.
  if (answer != PathAnswer::kFile && answer != PathAnswer::kFolder) return kImageProgram;
  if (app_image_counter_ == 0) app_image_counter_ = kAppImageCounterStart;
  ++app_image_counter_;
  // A refused icon gives its position back, so one unreadable program file
  // does not leave a gap that every later insertion would fall beyond.
  if (icons_ && !icons_->InsertIcon(executable, app_image_counter_)) {
    --app_image_counter_;
    return -1;
  }
  return app_image_counter_;
}

// ---- scans and refreshes ----

void DocTracker::ScanAppWindows() {
  window_pass_ = TakeWindowPass(windows_);
  app_list_ = zd::ScanAppWindows(*window_pass_, windows_).found;
}

const WindowPass& DocTracker::TheWindowPass() {
  if (!window_pass_) window_pass_ = TakeWindowPass(windows_);
  return *window_pass_;
}

bool DocTracker::ScanShellWindows() {
  ScanResult scan = zd::ScanShellWindows(shell_);
  shell_list_ = std::move(scan.found);
  return scan.complete;
}

void DocTracker::CheckAppDocs() { Request({RefreshKind::kApp, {}}); }
void DocTracker::CheckShellDocs() { Request({RefreshKind::kShell, {}}); }
void DocTracker::CheckAllDocs() { Request({RefreshKind::kAll, {}}); }

void DocTracker::CheckKindDocs(std::optional<DocKind> kind) {
  if (kind) Request({RefreshKind::kKind, *kind});
}

void DocTracker::Defer(const Refresh& refresh) {
  // The browsers' pages wait beside the other requests: taking them widens nothing.
  if (refresh.kind == RefreshKind::kBrowserPages) {
    browser_pages_waiting_ = true;
    return;
  }
  if (refresh.kind == RefreshKind::kRecentFiles) {
    recent_files_waiting_ = true;
    return;
  }
  // The widest request wins.
  if (!pending_ || refresh.kind == RefreshKind::kAll) {
    pending_ = refresh;
  } else if (!(*pending_ == refresh)) {
    pending_ = Refresh{RefreshKind::kAll, {}};
  }
}

void DocTracker::AfterHistoryLoad(std::function<void()> work) {
  if (!work) return;
  if (history_loaded_) {
    work();
  } else {
    after_load_.push_back(std::move(work));
  }
}

void DocTracker::HistoryLoaded() {
  history_loaded_ = true;
  // Taken out first: the work may ask for more.
  std::vector<std::function<void()>> waiting = std::move(after_load_);
  after_load_.clear();
  for (std::function<void()>& work : waiting) {
    try {
      work();
    }
    ZD_CATCH_LOG(__func__)
  }
  if (refreshing_) return;
  if (pending_) {
    const Refresh next = *pending_;
    pending_.reset();
    Request(next);
  } else if (browser_pages_waiting_) {
    Request(Refresh{RefreshKind::kBrowserPages, {}});
  } else if (recent_files_waiting_) {
    Request(Refresh{RefreshKind::kRecentFiles, {}});
  }
}

void DocTracker::BrowserPagesRead() { Request(Refresh{RefreshKind::kBrowserPages, {}}); }

void DocTracker::RecentFilesRead() { Request(Refresh{RefreshKind::kRecentFiles, {}}); }

void DocTracker::Request(Refresh refresh) {
  // Not nested: the running refresh is between two items, and its scan lists
  // must not change under it.
  if (refreshing_ || !history_loaded_) {
    Defer(refresh);
    return;
  }
  refreshing_ = true;
  // Each registration changes six keys; the file is written once, after the
  // last one. A rebuild served by the pump meanwhile changes the same held
  // file, so the write at the end carries the positions as they are then.
  std::optional<SettingsFile::Hold> hold;
  if (store_.settings) hold.emplace(*store_.settings);
  std::optional<Refresh> next = refresh;
  while (next) {
    pending_.reset();
    // Each refresh looks at the windows once, as they are when it runs.
    window_pass_.reset();
    try {
      Run(*next);
      // Everything the refreshes learnt of files, in one write after the last.
      if (!pending_ && !browser_pages_waiting_ && !recent_files_waiting_) SaveFileHistory(store_);
    }
    ZD_CATCH_LOG(__func__)
    window_pass_.reset();
    next = pending_;
    if (!next && browser_pages_waiting_) next = Refresh{RefreshKind::kBrowserPages, {}};
    if (!next && recent_files_waiting_) next = Refresh{RefreshKind::kRecentFiles, {}};
  }
  pending_.reset();
  refreshing_ = false;
}

void DocTracker::Run(const Refresh& refresh) {
  switch (refresh.kind) {
    case RefreshKind::kApp:
      RunApp();
      break;
    case RefreshKind::kShell:
      RunShell();
      break;
    case RefreshKind::kKind:
      RunKind(refresh.doctype);
      break;
    case RefreshKind::kAll:
      RunAll();
      break;
    case RefreshKind::kBrowserPages:
      RunBrowserPages(/*read_again=*/false);
      break;
    case RefreshKind::kRecentFiles:
      RunRecentFiles(/*read_again=*/false);
      break;
  }
}

void DocTracker::RunApp() {
  ScanAppWindows();
  // A copy: the loop pumps messages, and nothing may pull the list from under it.
  const std::vector<FoundDoc> found = app_list_;
  for (FoundDoc doc : found) {
    Pump();
    Sleep(kItemPauseMs);
    // The file a document program's window shows, while it is open.
    const std::optional<FoundDoc> file =
        hooks_.file_of_window ? hooks_.file_of_window(doc) : std::nullopt;
    if (Admit(doc)) AddAppDoc(doc);
    std::optional<FoundDoc> admitted = file;
    if (admitted && Admit(*admitted)) {
      NoteFileSeen(*admitted, Today());
      AddMyDoc(*admitted);
    }
  }
}

bool DocTracker::RunShell(bool with_browser_pages) {
  const bool scanned = ScanShellWindows();
  if (scanned) {
    const std::vector<FoundDoc> found = shell_list_;
    for (FoundDoc doc : found) {
      if (Admit(doc)) AddMyDoc(doc);
      Pump();
      Sleep(kItemPauseMs);
    }
  }
  // The browsers' own pages belong with the shell's pages, not with folders.
  // Their files are read meanwhile; what an earlier read found is registered now.
  if (with_browser_pages) RunBrowserPages(/*read_again=*/true);
  return scanned;
}

void DocTracker::RunBrowserPages(bool read_again) {
  browser_pages_waiting_ = false;
  std::vector<FoundDoc> pages;
  try {
    if (read_again && hooks_.read_browser_pages) hooks_.read_browser_pages(TheWindowPass());
    if (hooks_.browser_pages) pages = hooks_.browser_pages();
  }
  ZD_CATCH_LOG(__func__)
  for (FoundDoc& page : pages) {
    // Most are known already and cost a lookup; the pump keeps the window
    // answering through a long list.
    if (Admit(page)) AddMyDoc(page);
    Pump();
  }
}

void DocTracker::RunRecentFiles(bool read_again) {
  recent_files_waiting_ = false;
  std::vector<FoundDoc> files;
  try {
    if (read_again && hooks_.read_recent_files) hooks_.read_recent_files();
    if (hooks_.recent_files) files = hooks_.recent_files();
  }
  ZD_CATCH_LOG(__func__)
  const std::string today = Today();
  for (FoundDoc& file : files) {
    if (!Admit(file)) continue;
    if (file.kind == DocKind::kFile) {
      const std::string date = file.opened > 0 ? DateOfSeconds(file.opened) : today;
      NoteFileSeen(file, date);
      AddMyDoc(file, date);
    } else {
      AddMyDoc(file);
    }
    Pump();
  }
}

void DocTracker::NoteFileSeen(const FoundDoc& found, const std::string& date) {
  if (!IsDocRegistered(found.address)) return;
  FileSeen& seen = store_.file_seen[DocPathKey(Trim(found.address))];
  // A later day only: the lists are read again and again.
  if (date > seen.last_seen) {
    seen.last_seen = date;
    store_.files_changed = true;
  }
  if (!found.program.empty() && found.program != seen.program) {
    seen.program = found.program;
    store_.files_changed = true;
  }
}

bool DocTracker::Admit(FoundDoc& found) {
  if (!hooks_.admit) return true;
  try {
    return hooks_.admit(found);
  } catch (...) {
    RecordCurrentException(__func__);
    return false;
  }
}

void DocTracker::RunAll() {
  // Programs before pages and folders.
  StepProgress();
  Sleep(kPhasePauseMs);
  Pump();
  RunApp();
  Sleep(kPhasePauseMs);
  StepProgress();
  Pump();
  const bool shell = RunShell();
  RunRecentFiles(/*read_again=*/true);
  if (!shell) return;
  Sleep(kPhasePauseMs);
  StepProgress();
}

void DocTracker::RunKind(DocKind kind) {
  const KindInfo& info = InfoOf(kind);
  StepProgress();
  if (info.source == KindSource::kProgramWindows) {
    Sleep(kPhasePauseMs);
    Pump();
    RunApp();
  } else if (info.source == KindSource::kShellRecent) {
    Pump();
    RunRecentFiles(/*read_again=*/true);
  } else {
    Pump();
    // The browsers' own pages belong with the shell's pages, not with folders.
    if (RunShell(info.browser_pages) && !info.browser_pages) Sleep(kPhasePauseMs);
  }
  if (info.expand_after) {
    if (TreeModel* tree = trees_.Of(kind)) tree->ExpandAll(true);
    if (hooks_.reset_progress) hooks_.reset_progress();
  }
}

// ---- snapshot and load ----

void DocTracker::CollectOpenDocs() noexcept {
  zd::CollectOpenDocs(store_.LastRunList, windows_, shell_, lang::Texts(), hooks_.step_progress,
                      [this](FoundDoc& found) { return Admit(found); });
  store_.last_run_loaded = true;
}

void DocTracker::AddLastRun(const std::string& text) { zd::AddLastRun(store_.LastRunList, text); }

bool DocTracker::LoadHistory(SettingsFile& settings) {
  // The re-registration rewrites every key; one write at the end instead of
  // one per record.
  SettingsFile::Hold hold(settings);
  std::optional<SettingsFile::Hold> store_hold;
  if (store_.settings && store_.settings.get() != &settings) store_hold.emplace(*store_.settings);

  // All stored records are read before the first registration: each one
  // writes its keys at its new position, and a refresh served by the pump
  // (or records registered before the load) would otherwise overwrite stored
  // records not read yet.
  std::vector<DocRecord> stored;
  // Every stored position, past any hole: whatever is not read here would
  // be erased below as squeezed out. A failure (only the memory running out)
  // ends the load here, before anything stored is erased.
  for (const size_t n : StoredDocPositions(settings)) {
    if (std::optional<DocRecord> doc = ReadDocEntry(settings, n)) stored.push_back(std::move(*doc));
  }

  // A local path is one document whatever its case: a record stored again in
  // another spelling folds into the first one, which takes the newest name
  // (and keeps a choice for automatic start made on either). A record stored
  // twice alike is only skipped, as ever.
  std::unordered_map<std::string, size_t> first_of;
  for (size_t i = 0; i < stored.size(); ++i) {
    const auto [first, fresh] =
        first_of.try_emplace(DocPathKey(RegistrationKey(stored[i].path)), i);
    if (fresh || stored[first->second].path == stored[i].path) continue;
    stored[first->second].name = stored[i].name;
    stored[first->second].selected = stored[first->second].selected || stored[i].selected;
  }

  // The recent list's lines go in at the end, all at once: one at the top
  // per record would move the whole list each time. (What the pump serves
  // meanwhile sees the list as it was before the load.)
  held_recent_.emplace();
  struct StopHolding {
    std::optional<std::vector<std::pair<std::string, std::string>>>& held;
    ~StopHolding() { held.reset(); }
  } stop_holding{held_recent_};
  for (const DocRecord& doc : stored) {
    if (IsDocRegistered(doc.path)) continue;
    const bool is_program = doc.doctype == DocKind::kProgram;
    // A record whose trees fail still counts (AddMyDoc): its choice stays.
    // A program's file is asked about, and its icon read, after the load.
    const std::optional<int> image = is_program ? std::optional<int>(kImageProgram) : std::nullopt;
    if (!AddMyDoc(FoundDoc{doc.path, doc.name, is_program ? doc.path : "", doc.doctype}, doc.date,
                  image)) {
      Pump();
      if (LoadStopped()) break;
      continue;
    }
    const size_t position = store_.docs.size() - 1;
    if (is_program) store_.docs[position].image_pending = true;
    if (doc.selected) {
      // The choice for automatic start comes back with its record.
      store_.docs[position].selected = true;
      if (store_.settings) {
        store_.settings->WriteString(
            kSectionDocs,
            "selected" + std::to_string(position - store_.docs[position].unstored_before), "1");
      }
    }
    Pump();
    if (LoadStopped()) break;
  }
  const bool files_whole = !LoadStopped() && LoadFileHistory();
  FlushHeldRecent();
  // Stopped: the records not read again keep their keys. Each one rewritten
  // went to a position at or below its own, over a record already read.
  if (LoadStopped() || !files_whole) return false;
  // The history was rewritten from position 0; keys above its end would
  // bring the dropped records back at the next start. Same single write.
  if (store_.settings) EraseDocEntriesFrom(*store_.settings, HistorySectionCount(store_.docs));
  return true;
}

bool DocTracker::LoadFileHistory() {
  if (!store_.files || !store_.codec) return true;
  const std::vector<FileRecord> records = LoadFileRecords(
      *store_.files, *store_.codec, store_.ConfigDir + kFilesFileName, store_.files_origin);
  for (const FileRecord& record : records) {
    if (IsDocRegistered(record.path)) continue;
    if (AddMyDoc(FoundDoc{record.path, record.name, record.program, DocKind::kFile},
                 record.first_seen)) {
      DocRecord& doc = store_.docs.back();
      doc.selected = record.selected;
      store_.file_seen[DocPathKey(record.path)] = FileSeen{record.last_seen, record.program};
    }
    // A registration of thousands pumps now and then only: each pump costs
    // more than a file's record.
    if ((store_.docs.size() & 63) == 0) Pump();
    if (LoadStopped()) return false;
  }
  // Read as it was: nothing to write back.
  store_.files_changed = false;
  return true;
}

bool DocTracker::LoadStopped() const { return hooks_.stop_load && hooks_.stop_load(); }

bool DocTracker::ResolvePendingImages(const std::function<bool()>& more) {
  DocArray& docs = store_.docs;
  if (image_generation_ != store_.docs_generation) {
    image_generation_ = store_.docs_generation;
    image_cursor_ = 0;
  }
  std::unordered_map<int32_t, int> resolved;  // position -> image
  for (; image_cursor_ < docs.size(); ++image_cursor_) {
    DocRecord& doc = docs[image_cursor_];
    if (!doc.image_pending) continue;
    if (!resolved.empty() && !more()) break;
    int image = GetAppImageIndex(doc.path, doc.name);
    if (image < 0) image = kImageProgram;
    doc.image = image;
    doc.image_pending = false;
    resolved.emplace(static_cast<int32_t>(image_cursor_), image);
  }
  if (!resolved.empty()) {
    // A program's nodes are the groups its registration put on top.
    for (TreeModel* tree : {trees_.docs, trees_.Of(DocKind::kProgram)}) {
      if (!tree) continue;
      for (const auto& root : tree->roots()) {
        const auto found = resolved.find(root->data.index);
        if (found != resolved.end() && root->image == kImageProgram) {
          tree->SetImage(root.get(), found->second);
        }
      }
    }
  }
  return image_cursor_ >= docs.size();
}

void DocTracker::FlushHeldRecent() {
  if (!held_recent_) return;
  AddMyRecentAll(store_.MyRecentList, *held_recent_);
  held_recent_->clear();
}

// ---- hooks ----

void DocTracker::Pump() {
  if (hooks_.pump) hooks_.pump();
}

void DocTracker::Sleep(int ms) {
  if (hooks_.sleep_ms) hooks_.sleep_ms(ms);
}

void DocTracker::StepProgress() {
  if (hooks_.step_progress) hooks_.step_progress();
}

std::string DocTracker::Today() { return hooks_.today ? hooks_.today() : LocalDate(); }

}  // namespace zd
