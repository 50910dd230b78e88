#include "store/doc_list.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "store/AppParams.h"
#include "store/doc.h"
#include "store/text_file.h"

namespace zd {

// ---- MemoryMirror ----

void MemoryMirror::InsertRow(size_t index) {
  index = std::min(index, selected_.size());
  selected_.insert(selected_.begin() + static_cast<std::ptrdiff_t>(index), false);
}

void MemoryMirror::DeleteRow(size_t index) {
  if (index >= selected_.size()) return;
  selected_.erase(selected_.begin() + static_cast<std::ptrdiff_t>(index));
}

void MemoryMirror::ClearRows() { selected_.clear(); }

std::vector<size_t> MemoryMirror::SelectedRows() const {
  std::vector<size_t> rows;
  for (size_t i = 0; i < selected_.size(); ++i) {
    if (selected_[i]) rows.push_back(i);
  }
  return rows;
}

void MemoryMirror::SetSelected(size_t index, bool selected) {
  if (index < selected_.size()) selected_[index] = selected;
}

// ---- DocList ----

namespace {

// FNV-1a: a hash the same on every build, so a test can reason about it.
uint32_t PathKeyHash(std::string_view key) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : key) hash = (hash ^ c) * 16777619u;
  return hash;
}

std::string_view LinePath(std::string_view line) {
  const size_t sep = line.find(kLineSep);
  return sep == std::string_view::npos ? std::string_view() : line.substr(0, sep);
}

}  // namespace

DocList::DocList() : mirror_(&own_mirror_), path_hash_(&PathKeyHash) {}

DocList::DocList(ListMirror* mirror)
    : mirror_(mirror ? mirror : &own_mirror_), path_hash_(&PathKeyHash) {
  mirror_->ClearRows();
}

void DocList::AttachMirror(ListMirror* mirror) {
  mirror_ = mirror ? mirror : &own_mirror_;
  FillMirror();
}

void DocList::FillMirror() { mirror_->SetRowCount(lines_.size()); }

std::string DocList::RowText(size_t index) const {
  return index < lines_.size() ? LineRowText(lines_[index]) : std::string();
}

void DocList::SetPathHash(PathHash hash) {
  path_hash_ = hash ? hash : &PathKeyHash;
  Reindex();
}

uint32_t DocList::LineHash(const std::string& line) const {
  return path_hash_(DocPathKey(LinePath(line)));
}

void DocList::Reindex() {
  std::vector<PathEntry> index;
  index.reserve(lines_.size());
  for (size_t i = 0; i < lines_.size(); ++i) index.push_back({LineHash(lines_[i]), RankOf(i)});
  std::sort(index.begin(), index.end());
  path_index_ = std::move(index);
}

void DocList::ReserveIndex(size_t more) {
  // Grows as push_back would, not by `more` each time.
  const size_t size = path_index_.size();
  if (path_index_.capacity() - size < more) path_index_.reserve(std::max(size + more, 2 * size));
}

void DocList::IndexAdd(PathEntry entry) {
  path_index_.insert(std::upper_bound(path_index_.begin(), path_index_.end(), entry), entry);
}

void DocList::IndexRemoveRanks(const std::vector<uint32_t>& gone) {
  if (gone.empty()) return;
  // Every rank above a removed one drops by one per removed rank below it;
  // that keeps the order of what stays, so the index stays sorted.
  auto kept = path_index_.begin();
  for (PathEntry entry : path_index_) {
    const auto below = std::lower_bound(gone.begin(), gone.end(), entry.rank);
    if (below != gone.end() && *below == entry.rank) continue;
    entry.rank -= static_cast<uint32_t>(below - gone.begin());
    *kept++ = entry;
  }
  path_index_.erase(kept, path_index_.end());
}

std::vector<size_t> DocList::LinesOfKey(const std::string& key) const {
  std::vector<size_t> found;
  const uint32_t hash = path_hash_(key);
  auto it = std::lower_bound(path_index_.begin(), path_index_.end(), PathEntry{hash, 0});
  for (; it != path_index_.end() && it->hash == hash; ++it) {
    const size_t index = IndexOfRank(it->rank);
    if (DocPathKey(LinePath(lines_[index])) == key) found.push_back(index);
  }
  return found;
}

bool DocList::HasPath(const std::string& path) const {
  return !LinesOfKey(DocPathKey(path)).empty();
}

size_t DocList::DeletePath(const std::string& path) {
  std::vector<size_t> found = LinesOfKey(DocPathKey(path));
  // From the bottom up, so the indexes still to do stay valid.
  std::sort(found.begin(), found.end(), std::greater<>());
  size_t deleted = 0;
  for (size_t index : found) {
    if (DeleteLine(index)) ++deleted;
  }
  return deleted;
}

void DocList::InsertTop(const std::string& line) {
  const PathEntry entry{LineHash(line), static_cast<uint32_t>(lines_.size())};
  ReserveIndex(1);
  // The line first, so a row drawn at once shows it; if the list box
  // refuses the row, the line goes again and the list is left as it was.
  lines_.insert(lines_.begin(), line);
  struct TakeBackUnlessKept {
    std::vector<std::string>& lines;
    bool kept = false;
    ~TakeBackUnlessKept() {
      if (!kept) lines.erase(lines.begin());  // moves strings only: cannot fail
    }
  } row_pending{lines_};
  mirror_->InsertRow(0);
  row_pending.kept = true;
  IndexAdd(entry);  // reserved: cannot fail
}

void DocList::InsertTopAll(std::vector<std::string> lines) {
  if (lines.empty()) return;
  const size_t count = lines.size();
  const size_t old_size = lines_.size();
  // The i-th line given ends at rank old_size + i.
  std::vector<PathEntry> fresh;
  fresh.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    fresh.push_back({LineHash(lines[i]), static_cast<uint32_t>(old_size + i)});
  }
  ReserveIndex(count);
  // Moved in newest first; every row before any index entry, as InsertTop.
  lines_.insert(lines_.begin(), std::make_move_iterator(lines.rbegin()),
                std::make_move_iterator(lines.rend()));
  struct TakeBackUnlessKept {
    std::vector<std::string>& lines;
    std::vector<PathEntry>& index;
    std::vector<PathEntry>& fresh;
    size_t pending;
    ~TakeBackUnlessKept() {
      // The lines whose rows were refused go again (they sit above the
      // others, with the highest ranks); those kept join the index. Nothing
      // here allocates: the index has room, and a merge without a buffer
      // works in place.
      if (pending > 0) {
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(pending));
      }
      const size_t kept = fresh.size() - pending;
      std::sort(fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(kept));
      const size_t middle = index.size();
      index.insert(index.end(), fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(kept));
      std::inplace_merge(index.begin(), index.begin() + static_cast<std::ptrdiff_t>(middle),
                         index.end());
    }
  } rows_pending{lines_, path_index_, fresh, count};
  for (size_t i = 0; i < count; ++i) {
    mirror_->InsertRow(0);
    --rows_pending.pending;
  }
}

void DocList::ReplaceAll(std::vector<std::string> lines) {
  lines_.clear();
  path_index_.clear();
  mirror_->ClearRows();
  lines_ = std::move(lines);
  Reindex();
  FillMirror();
}

bool DocList::ReplaceLine(size_t index, const std::string& line) {
  if (index >= lines_.size()) return false;
  const PathEntry old_entry{LineHash(lines_[index]), RankOf(index)};
  const PathEntry new_entry{LineHash(line), RankOf(index)};
  lines_[index] = line;
  path_index_.erase(std::lower_bound(path_index_.begin(), path_index_.end(), old_entry));
  IndexAdd(new_entry);  // into the room just freed: cannot fail
  mirror_->RowChanged(index);
  return true;
}

bool DocList::DeleteLine(size_t index) {
  if (index >= lines_.size()) return false;
  IndexRemoveRanks({RankOf(index)});
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
  mirror_->DeleteRow(index);
  return true;
}

void DocList::Clear() {
  lines_.clear();
  path_index_.clear();
  mirror_->ClearRows();
}

void DocList::DeleteSelection() {
  std::vector<size_t> rows = mirror_->SelectedRows();
  std::sort(rows.begin(), rows.end(), std::greater<>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  // Ranks ascend as rows descend.
  std::vector<uint32_t> gone;
  for (size_t row : rows) {
    if (row < lines_.size()) gone.push_back(RankOf(row));
  }
  IndexRemoveRanks(gone);
  // From the bottom up, so the indexes still to do stay valid.
  for (size_t row : rows) {
    if (row < lines_.size()) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(row));
    mirror_->DeleteRow(row);
  }
}

// ---- list operations ----

namespace {

// Strips the file prefix; with `backslashes`, a stripped text gets "\" for "/".
std::string StripForList(const std::string& text, bool backslashes) {
  if (!IsFileAddress(text)) return text;
  std::string out = StripFilePrefix(text);
  if (backslashes) std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

}  // namespace

void AddMyLove(DocList& list, const std::string& path, const std::string& name) {
  list.InsertTop(MakeDocLine(StripForList(path, true), StripForList(name, true)));
}

void AddMyRecent(DocList& list, const std::string& path, const std::string& name) {
  const std::string stripped = StripForList(path, false);
  if (IsInRecentList(list, stripped)) return;
  list.InsertTop(MakeDocLine(stripped, StripForList(name, false)));
}

void AddMyRecentAll(DocList& list, const std::vector<std::pair<std::string, std::string>>& docs) {
  std::vector<std::string> lines;
  std::unordered_set<std::string> taken;  // the paths of `lines`, keyed as the list keys them
  for (const auto& [path, name] : docs) {
    const std::string stripped = StripForList(path, false);
    if (IsInRecentList(list, stripped) || taken.count(DocPathKey(stripped)) > 0) continue;
    lines.push_back(MakeDocLine(stripped, StripForList(name, false)));
    taken.insert(DocPathKey(LinePath(lines.back())));
  }
  list.InsertTopAll(std::move(lines));
}

void AddMyRun(DocList& list, const std::string& path, const std::string& name) {
  list.InsertTop(MakeDocLine(StripForList(path, false), StripForList(name, false)));
}

bool IsInRecentList(const DocList& list, const std::string& path) {
  // Same answer as splitting each line into a fresh record (whose path is the
  // text before the first "*|*", or empty without one), from the list's index.
  return list.HasPath(path);
}

void MoveToTopOfRecent(DocList& list, const std::string& path, const std::string& name) {
  MirrorUpdate batch(list.Mirror());
  list.DeletePath(path);
  list.InsertTop(MakeDocLine(path, name));
}

void DeleteListSelection(DocList& list) { list.DeleteSelection(); }

void ListFileLoad(DocList& list, Files& files, const AnsiCodec& codec,
                  const std::string& file_name) {
  FileOrigin origin;
  std::optional<std::string> text = LoadOwnedText(files, codec, file_name, origin);
  if (text) {
    // Each line copied once, straight from the text, into a vector of the
    // right size.
    const std::vector<std::string_view> raw_lines = SplitLineViews(*text);
    std::vector<std::string> lines;
    lines.reserve(std::min(raw_lines.size(), kMaxListLines));
    for (std::string_view raw : raw_lines) {
      std::string line = Trim(raw);
      if (line.empty()) continue;
      lines.push_back(std::move(line));
      if (lines.size() == kMaxListLines) break;
    }
    list.ReplaceAll(std::move(lines));
  }
  // A missing file leaves the list as it was; an unreadable one leaves it
  // unloaded, so it is not overwritten at exit.
  list.set_origin(origin);
}

bool ListFileSave(const DocList& list, Files& files, const AnsiCodec& codec,
                  const std::string& file_name) {
  return SaveText(files, codec, file_name, JoinLines(list.Lines()), list.origin().utf8);
}

}  // namespace zd
