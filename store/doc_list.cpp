#include "store/doc_list.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "store/doc.h"
#include "store/program_files.h"
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

std::string_view LineViews::iterator::operator*() const { return list_->Line(index_); }

size_t LineViews::size() const { return list_.size(); }

std::string_view LineViews::operator[](size_t index) const { return list_.Line(index); }

std::vector<std::string> LineViews::ToVector(size_t count) const {
  std::vector<std::string> lines;
  lines.reserve(std::min(count, size()));
  for (size_t i = 0; i < size() && i < count; ++i) lines.emplace_back((*this)[i]);
  return lines;
}

bool operator==(const LineViews& a, const std::vector<std::string>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator==(const LineViews& a, const LineViews& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

void DocList::FillMirror() { mirror_->SetRowCount(spans_.size()); }

std::string DocList::RowText(size_t index) const {
  return index < spans_.size() ? LineRowText(Line(index)) : std::string();
}

void DocList::AppendTop(std::string_view line) {
  // Room first: once the text has grown, nothing below can fail.
  spans_.reserve(spans_.size() + 1 > spans_.capacity() ? 2 * spans_.size() + 1 : 0);
  const auto offset = static_cast<uint32_t>(text_.size());
  text_.append(line);
  spans_.push_back({offset, static_cast<uint32_t>(line.size())});
}

void DocList::TakeBackTop(size_t count) noexcept {
  if (count == 0) return;
  text_.resize(spans_[spans_.size() - count].offset);
  spans_.resize(spans_.size() - count);
}

void DocList::CompactIfMostlyDead() {
  if (dead_ < 4096 || dead_ < text_.size() / 2) return;
  std::string text;
  text.reserve(text_.size() - dead_);
  for (Span& span : spans_) {
    const auto offset = static_cast<uint32_t>(text.size());
    text.append(text_, span.offset, span.size);
    span.offset = offset;
  }
  text_ = std::move(text);
  dead_ = 0;
}

void DocList::SetPathHash(PathHash hash) {
  path_hash_ = hash ? hash : &PathKeyHash;
  Reindex();
}

uint32_t DocList::LineHash(std::string_view line) const {
  return path_hash_(DocPathKey(LinePath(line)));
}

void DocList::Reindex() {
  std::vector<PathEntry> index;
  index.reserve(spans_.size());
  for (size_t i = 0; i < spans_.size(); ++i) index.push_back({LineHash(Line(i)), RankOf(i)});
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
    if (DocPathKey(LinePath(Line(index))) == key) found.push_back(index);
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
  const PathEntry entry{LineHash(line), static_cast<uint32_t>(spans_.size())};
  ReserveIndex(1);
  // The line first, so a row drawn at once shows it; if the list box
  // refuses the row, the line goes again and the list is left as it was.
  AppendTop(line);
  struct TakeBackUnlessKept {
    DocList& list;
    bool kept = false;
    ~TakeBackUnlessKept() {
      if (!kept) list.TakeBackTop(1);
    }
  } row_pending{*this};
  mirror_->InsertRow(0);
  row_pending.kept = true;
  IndexAdd(entry);  // reserved: cannot fail
}

void DocList::InsertTopAll(std::vector<std::string> lines) {
  if (lines.empty()) return;
  const size_t count = lines.size();
  const size_t old_size = spans_.size();
  // The i-th line given ends at rank old_size + i.
  std::vector<PathEntry> fresh;
  fresh.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    fresh.push_back({LineHash(lines[i]), static_cast<uint32_t>(old_size + i)});
  }
  ReserveIndex(count);
  // In the order given, the last on top; every row before any index entry,
  // as InsertTop.
  size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size();
  text_.reserve(text_.size() + bytes);
  spans_.reserve(spans_.size() + count);
  for (const std::string& line : lines) AppendTop(line);
  struct TakeBackUnlessKept {
    DocList& list;
    std::vector<PathEntry>& index;
    std::vector<PathEntry>& fresh;
    size_t pending;
    ~TakeBackUnlessKept() {
      // The lines whose rows were refused go again (they sit above the
      // others, with the highest ranks); those kept join the index. Nothing
      // here allocates: the index has room, and a merge without a buffer
      // works in place.
      list.TakeBackTop(pending);
      const size_t kept = fresh.size() - pending;
      std::sort(fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(kept));
      const size_t middle = index.size();
      index.insert(index.end(), fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(kept));
      std::inplace_merge(index.begin(), index.begin() + static_cast<std::ptrdiff_t>(middle),
                         index.end());
    }
  } rows_pending{*this, path_index_, fresh, count};
  for (size_t i = 0; i < count; ++i) {
    mirror_->InsertRow(0);
    --rows_pending.pending;
  }
}

void DocList::ReplaceAll(const std::vector<std::string>& lines) {
  ReplaceAllViews(std::vector<std::string_view>(lines.begin(), lines.end()));
}

void DocList::ReplaceAllViews(const std::vector<std::string_view>& lines) {
  Clear();
  size_t bytes = 0;
  for (std::string_view line : lines) bytes += line.size();
  // Exactly the room they take: a list is mostly read.
  std::string text;
  text.reserve(bytes);
  text_.swap(text);
  spans_.reserve(lines.size());
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) AppendTop(*line);
  Reindex();
  FillMirror();
}

bool DocList::ReplaceLine(size_t index, const std::string& line) {
  if (index >= spans_.size()) return false;
  const PathEntry old_entry{LineHash(Line(index)), RankOf(index)};
  const PathEntry new_entry{LineHash(line), RankOf(index)};
  // The new text at the end, the old one left dead until the next compaction.
  const auto offset = static_cast<uint32_t>(text_.size());
  text_.append(line);
  Span& span = spans_[RankOf(index)];
  dead_ += span.size;
  span = {offset, static_cast<uint32_t>(line.size())};
  path_index_.erase(std::lower_bound(path_index_.begin(), path_index_.end(), old_entry));
  IndexAdd(new_entry);  // into the room just freed: cannot fail
  mirror_->RowChanged(index);
  CompactIfMostlyDead();
  return true;
}

bool DocList::DeleteLine(size_t index) {
  if (index >= spans_.size()) return false;
  IndexRemoveRanks({RankOf(index)});
  dead_ += spans_[RankOf(index)].size;
  spans_.erase(spans_.begin() + RankOf(index));
  mirror_->DeleteRow(index);
  CompactIfMostlyDead();
  return true;
}

void DocList::Clear() {
  text_.clear();
  spans_.clear();
  dead_ = 0;
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
    if (row < spans_.size()) gone.push_back(RankOf(row));
  }
  IndexRemoveRanks(gone);
  // From the bottom up, so the indexes still to do stay valid.
  for (size_t row : rows) {
    if (row < spans_.size()) {
      dead_ += spans_[RankOf(row)].size;
      spans_.erase(spans_.begin() + RankOf(row));
    }
    mirror_->DeleteRow(row);
  }
  CompactIfMostlyDead();
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
    std::vector<std::string_view> lines;
    lines.reserve(std::min(raw_lines.size(), kMaxListLines));
    for (std::string_view raw : raw_lines) {
      const std::string_view line = TrimmedView(raw);
      if (line.empty()) continue;
      lines.push_back(line);
      if (lines.size() == kMaxListLines) break;
    }
    list.ReplaceAllViews(lines);
  }
  // A missing file leaves the list as it was; an unreadable one leaves it
  // unloaded, so it is not overwritten at exit.
  list.set_origin(origin);
}

bool ListFileSave(const DocList& list, Files& files, const AnsiCodec& codec,
                  const std::string& file_name) {
  std::string text;
  size_t size = 0;
  for (std::string_view line : list.Lines()) size += line.size() + 2;
  text.reserve(size);
  for (std::string_view line : list.Lines()) text.append(line).append("\r\n");
  return SaveText(files, codec, file_name, text, list.origin().utf8);
}

}  // namespace zd
