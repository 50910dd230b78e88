// The three remembered lists (recent, favourites, auto-run), each kept
// together with its mirror list box so that row i always shows line i.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "store/text_file.h"

namespace zd {

// A list box that shows one row per line. It holds no text: a row's text is
// asked of its list (DocList::RowText) when the row is drawn or read, so a
// list of 10,000 lines is not copied into the window. The Win32 list box
// adapter and the in-memory mirror below implement it; only DocList calls
// the mutators.
class ListMirror {
 public:
  virtual ~ListMirror() = default;
  virtual void InsertRow(size_t index) = 0;
  virtual void DeleteRow(size_t index) = 0;
  virtual void ClearRows() = 0;
  virtual size_t RowCount() const = 0;
  virtual std::vector<size_t> SelectedRows() const = 0;
  // All rows at once (a loaded file), none selected.
  virtual void SetRowCount(size_t count) {
    ClearRows();
    for (size_t i = 0; i < count; ++i) InsertRow(i);
  }
  // The row's line changed; it keeps its selection.
  virtual void RowChanged(size_t /*index*/) {}
  // Several changes drawn once (a list box stops redrawing in between).
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
};

// BeginUpdate for as long as it lives.
class MirrorUpdate {
 public:
  explicit MirrorUpdate(ListMirror& mirror) : mirror_(mirror) { mirror_.BeginUpdate(); }
  ~MirrorUpdate() { mirror_.EndUpdate(); }
  MirrorUpdate(const MirrorUpdate&) = delete;
  MirrorUpdate& operator=(const MirrorUpdate&) = delete;

 private:
  ListMirror& mirror_;
};

// Which rows are selected, held in memory: the mirror of a list whose box is
// not on screen (or does not exist), and the stand-in for a list box in tests.
class MemoryMirror : public ListMirror {
 public:
  void InsertRow(size_t index) override;
  void DeleteRow(size_t index) override;
  void ClearRows() override;
  size_t RowCount() const override { return selected_.size(); }
  std::vector<size_t> SelectedRows() const override;
  void SetRowCount(size_t count) override { selected_.assign(count, false); }

  void SetSelected(size_t index, bool selected);

 private:
  std::vector<bool> selected_;
};

class DocList;

// The lines of a list from the top, as views into its one text: valid until
// the list next changes.
class LineViews {
 public:
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;
    iterator() = default;
    iterator(const DocList* list, size_t index) : list_(list), index_(index) {}
    std::string_view operator*() const;
    iterator& operator++() {
      ++index_;
      return *this;
    }
    iterator operator++(int) {
      iterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const iterator& other) const { return index_ == other.index_; }

   private:
    const DocList* list_ = nullptr;
    size_t index_ = 0;
  };

  explicit LineViews(const DocList& list) : list_(list) {}
  size_t size() const;
  bool empty() const { return size() == 0; }
  std::string_view operator[](size_t index) const;
  std::string_view front() const { return (*this)[0]; }
  iterator begin() const { return {&list_, 0}; }
  iterator end() const { return {&list_, size()}; }
  // Copies of the first `count` lines (all by default).
  std::vector<std::string> ToVector(size_t count = SIZE_MAX) const;

  friend bool operator==(const LineViews& a, const std::vector<std::string>& b);
  friend bool operator==(const LineViews& a, const LineViews& b);
  // For test failures; a template, so that the program links no stream.
  template <typename Char, typename Traits>
  friend std::basic_ostream<Char, Traits>& operator<<(std::basic_ostream<Char, Traits>& out,
                                                      const LineViews& lines) {
    out << "{";
    for (size_t i = 0; i < lines.size(); ++i) out << (i ? ", \"" : " \"") << lines[i] << "\"";
    return out << " }";
  }

 private:
  const DocList& list_;
};

class DocList {
 public:
  DocList();
  explicit DocList(ListMirror* mirror);
  // The list drives its mirror through a pointer (possibly to its own member),
  // so a copy would either share a list box or point into another object.
  DocList(const DocList&) = delete;
  DocList& operator=(const DocList&) = delete;

  // Switches to another mirror (a list box created later) and fills it with
  // the current rows. nullptr goes back to the built-in memory mirror.
  void AttachMirror(ListMirror* mirror);
  ListMirror& Mirror() { return *mirror_; }

  LineViews Lines() const { return LineViews(*this); }
  // Line `index` from the top (index < size()), valid until the list changes.
  std::string_view Line(size_t index) const {
    const Span span = spans_[spans_.size() - 1 - index];
    return std::string_view(text_).substr(span.offset, span.size);
  }
  // What row `index` shows (LineRowText of its line); empty past the end.
  std::string RowText(size_t index) const;
  size_t size() const { return spans_.size(); }
  bool empty() const { return spans_.empty(); }

  void InsertTop(const std::string& line);
  // As InsertTop of each line in turn (the last one ends on top), with one
  // move of the lines below instead of one per line.
  void InsertTopAll(std::vector<std::string> lines);
  // Whether some line's path (the text before its first "*|*", empty for a
  // line without one) names the document `path` names (DocPathKey); kept
  // indexed, since every registration asks.
  bool HasPath(const std::string& path) const;
  // Removes every line whose path names that document, with its row; how many went.
  size_t DeletePath(const std::string& path);
  void ReplaceAll(const std::vector<std::string>& lines);
  // The same from views (into a file's text, say), copied once.
  void ReplaceAllViews(const std::vector<std::string_view>& lines);
  // Line `index` and its row; an index past the end changes nothing (false).
  bool ReplaceLine(size_t index, const std::string& line);
  bool DeleteLine(size_t index);
  void Clear();
  // Removes every line whose row is selected, and those rows.
  void DeleteSelection();

  // True once the list has been read from its file (or the file was found
  // missing). Only a loaded list is written back at exit, so an early exit,
  // or a file that could not be read, never overwrites a file with a list
  // that was never read.
  bool loaded() const { return origin_.loaded; }
  void set_loaded(bool loaded) { origin_.loaded = loaded; }
  // What the load found of the file; its save follows it.
  const FileOrigin& origin() const { return origin_; }
  void set_origin(const FileOrigin& origin) { origin_ = origin; }

  // How the path index files a DocPathKey. Lookups check every candidate
  // line, so any function gives the same answers; tests pass one that
  // collides.
  using PathHash = uint32_t (*)(std::string_view key);
  void SetPathHash(PathHash hash);

 private:
  // A line's place in the path index. `rank` counts from the bottom line,
  // so a line put on top leaves every other rank as it was.
  struct PathEntry {
    uint32_t hash;
    uint32_t rank;
    friend bool operator<(PathEntry a, PathEntry b) {
      return a.hash != b.hash ? a.hash < b.hash : a.rank < b.rank;
    }
  };

  void FillMirror();
  size_t IndexOfRank(uint32_t rank) const { return spans_.size() - 1 - rank; }
  uint32_t RankOf(size_t index) const { return static_cast<uint32_t>(spans_.size() - 1 - index); }
  uint32_t LineHash(std::string_view line) const;
  // Appends a line's text at the top (the highest rank); TakeBackTop
  // removes the `count` lines on top again (never fails).
  void AppendTop(std::string_view line);
  void TakeBackTop(size_t count) noexcept;
  // Copies the lines into a text of their own once most of the text is
  // lines replaced or deleted.
  void CompactIfMostlyDead();
  void Reindex();
  // Room for `more` entries, so that adding them cannot fail.
  void ReserveIndex(size_t more);
  void IndexAdd(PathEntry entry);
  // Drops the entries of the (sorted, distinct) ranks `gone` and closes
  // their gaps, as the lines' removal does.
  void IndexRemoveRanks(const std::vector<uint32_t>& gone);
  // Indexes of the lines whose path names the document `key` (a DocPathKey).
  std::vector<size_t> LinesOfKey(const std::string& key) const;

  MemoryMirror own_mirror_;
  ListMirror* mirror_;
  // The lines as one text, the bottom line first (a line put on top is
  // appended): the line of rank r is text_[spans_[r].offset, + size). A
  // string per line cost more than the text in allocations.
  struct Span {
    uint32_t offset;
    uint32_t size;
  };
  std::string text_;
  std::vector<Span> spans_;
  size_t dead_ = 0;  // bytes of text_ no span covers
  // Sorted; one entry per line: a hash of each path instead of a second
  // copy of it, which for 10,000 lines cost more than the lines.
  std::vector<PathEntry> path_index_;
  PathHash path_hash_;
  FileOrigin origin_;
};

void AddMyLove(DocList& list, const std::string& path, const std::string& name);
void AddMyRecent(DocList& list, const std::string& path, const std::string& name);
// AddMyRecent of each (path, name) in turn, for a load of many records.
void AddMyRecentAll(DocList& list, const std::vector<std::pair<std::string, std::string>>& docs);
void AddMyRun(DocList& list, const std::string& path, const std::string& name);
bool IsInRecentList(const DocList& list, const std::string& path);
// A document just opened: its line at the top of the recent list, the only
// one for its path (a line it had moves up, with the name given now).
void MoveToTopOfRecent(DocList& list, const std::string& path, const std::string& name);
void DeleteListSelection(DocList& list);

// Loads a list file: a missing file leaves the list as it is; otherwise the
// list gets the file's non-blank lines (the first kMaxListLines of them, the
// newest). Marks the list loaded unless the file exists but cannot be read
// (then its origin says unreadable).
void ListFileLoad(DocList& list, Files& files, const AnsiCodec& codec,
                  const std::string& file_name);
// Writes the list whole, CR LF, atomically, as UTF-8 when it was read so.
// False on failure.
bool ListFileSave(const DocList& list, Files& files, const AnsiCodec& codec,
                  const std::string& file_name);

}  // namespace zd
