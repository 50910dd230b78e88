// Document records, the history array and the document line format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/address_scheme.h"

namespace zd {

inline constexpr std::string_view kLineSep = "*|*";
inline constexpr std::string_view kKindSep = "*2*";

// What a document is. The numbers are the ones the history stores (its
// "doctype" keys); a number the program does not know loads as a web page.
// Files are never stored there (an earlier build would load them as web
// pages): they have a list file of their own.
enum class DocKind : int32_t { kWeb = 1, kProgram = 2, kFolder = 3, kFile = 4 };
constexpr int32_t StoredNumber(DocKind kind) { return static_cast<int32_t>(kind); }
constexpr DocKind DocKindOfStored(int32_t number) {
  return number == 2 ? DocKind::kProgram : number == 3 ? DocKind::kFolder : DocKind::kWeb;
}

// One remembered document.
struct DocRecord {
  std::string RootPath;
  std::string path;
  std::string name;
  bool selected = false;
  DocKind doctype = DocKind::kWeb;
  std::string date;  // yyyy-mm-dd
  // The image its nodes show in this run (a program's icon in the trees'
  // image list), -1 until it is registered. Never stored.
  int image = -1;
  // A program loaded from the history shows the plain program picture until
  // its file has been asked about and its icon read, after the load: asking
  // for every program would keep the window waiting at each start.
  bool image_pending = false;
  // How many records before this one section "docs" does not hold (files):
  // its keys there are numbered by its position less these. Never stored.
  uint32_t unstored_before = 0;
};

// The history; a record's position is its identity for the run.
using DocArray = std::vector<DocRecord>;

// Whether section "docs" of the history holds records of this kind.
constexpr bool InHistorySection(DocKind kind) { return kind != DocKind::kFile; }
// The number of section "docs" records among `docs`.
size_t HistorySectionCount(const DocArray& docs);

// One parsed document line.
struct DocLine {
  std::string name;
  std::string path;
  int32_t kind = 0;
};

// Every control character (below a blank: CR, LF, tab, NUL...) as a blank. A
// window or page title may hold line breaks, which would split a list line.
std::string BlankControlChars(std::string_view text);

// path "*|*" name, control characters blanked
std::string MakeDocLine(std::string_view path, std::string_view name);
// path "*|*" name "*2*" kind, control characters blanked
std::string MakeLongDocLine(std::string_view path, std::string_view name, int32_t kind);

// Fills `record` from a short or long line. A line without "*|*" leaves the
// record unchanged (returns false). A kind text that is not a decimal integer
// leaves `kind` unchanged.
bool ListLineSplit(std::string_view line, DocLine& record);

// The text after the first "*|*" (the row a mirror list box shows); the whole
// line when it has no separator.
std::string LineRowText(std::string_view line);

// The text after the "file:///" the text starts with (any letter case), or
// the text unchanged when it does not start with one.
std::string StripFilePrefix(std::string_view text);

// Leading and trailing blanks and control characters removed (as Delphi's Trim:
// every character <= ' ').
std::string Trim(std::string_view text);
// The same as a view into `text`.
std::string_view TrimmedView(std::string_view text);

// The form in which two document paths are compared. A local path (a drive
// or UNC path, or a "file:///" address of one) names one document whatever
// its letter case, as Windows treats file names: ASCII letters lowered, "/"
// taken as "\" and a trailing "\" dropped (a drive root keeps it). Anything
// else (a web address, whose server may care about case) as it is.
std::string DocPathKey(std::string_view path);

// Every occurrence of `from`, left to right, without rescanning what was put in.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace zd
