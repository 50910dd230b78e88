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

DocList::DocList() : mirror_(&own_mirror_) {}

DocList::DocList(ListMirror* mirror) : mirror_(mirror ? mirror : &own_mirror_) {
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

namespace {
std::string LinePath(const std::string& line) {
  const size_t sep = line.find(kLineSep);
  return sep == std::string::npos ? std::string() : line.substr(0, sep);
}
}  // namespace

void DocList::IndexLine(const std::string& line, int delta) {
  std::string path = DocPathKey(LinePath(line));
  auto it = path_counts_.find(path);
  if (it == path_counts_.end()) {
    if (delta > 0) path_counts_.emplace(std::move(path), delta);
    return;
  }
  it->second += delta;
  if (it->second <= 0) path_counts_.erase(it);
}

bool DocList::HasPath(const std::string& path) const {
  return path_counts_.count(DocPathKey(path)) > 0;
}

size_t DocList::DeletePath(const std::string& path) {
  if (!HasPath(path)) return 0;
  const std::string key = DocPathKey(path);
  size_t deleted = 0;
  for (size_t i = lines_.size(); i-- > 0;) {
    if (DocPathKey(LinePath(lines_[i])) == key && DeleteLine(i)) ++deleted;
  }
  return deleted;
}

void DocList::InsertTop(const std::string& line) {
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
  IndexLine(line, 1);
}

void DocList::InsertTopAll(std::vector<std::string> lines) {
  if (lines.empty()) return;
  const size_t count = lines.size();
  // Moved in newest first; every row before any index entry, as InsertTop.
  lines_.insert(lines_.begin(), std::make_move_iterator(lines.rbegin()),
                std::make_move_iterator(lines.rend()));
  struct TakeBackUnlessKept {
    std::vector<std::string>& lines;
    size_t pending;
    ~TakeBackUnlessKept() {
      // The lines whose rows were refused go again (they sit below the others).
      if (pending > 0) {
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(pending));
      }
    }
  } rows_pending{lines_, count};
  for (size_t i = 0; i < count; ++i) {
    mirror_->InsertRow(0);
    --rows_pending.pending;
    IndexLine(lines_[count - 1 - i], 1);  // the i-th line given
  }
}

void DocList::ReplaceAll(std::vector<std::string> lines) {
  lines_.clear();
  path_counts_.clear();
  mirror_->ClearRows();
  lines_ = std::move(lines);
  for (const std::string& line : lines_) IndexLine(line, 1);
  FillMirror();
}

bool DocList::ReplaceLine(size_t index, const std::string& line) {
  if (index >= lines_.size()) return false;
  IndexLine(lines_[index], -1);
  lines_[index] = line;
  IndexLine(line, 1);
  mirror_->RowChanged(index);
  return true;
}

bool DocList::DeleteLine(size_t index) {
  if (index >= lines_.size()) return false;
  IndexLine(lines_[index], -1);
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
  mirror_->DeleteRow(index);
  return true;
}

void DocList::Clear() {
  lines_.clear();
  path_counts_.clear();
  mirror_->ClearRows();
}

void DocList::DeleteSelection() {
  std::vector<size_t> rows = mirror_->SelectedRows();
  std::sort(rows.begin(), rows.end(), std::greater<>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  // From the bottom up, so the indexes still to do stay valid.
  for (size_t row : rows) {
    if (row < lines_.size()) {
      IndexLine(lines_[row], -1);
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(row));
    }
    mirror_->DeleteRow(row);
  }
}

// ---- list operations ----

namespace {

// Strips the file prefix; with `backslashes`, a stripped text gets "\" for "/".
std::string StripForList(const std::string& text, bool backslashes) {
  if (text.find(kFilePrefix) == std::string::npos) return text;
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
    std::vector<std::string> lines;
    for (std::string& raw : SplitLines(*text)) {
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
