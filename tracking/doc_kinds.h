// The three document kinds, the address forms they arrive in, their group key
// (RootPath), the addresses never registered and the trees' image indexes.
// Letter case: only ASCII A-Z/a-z is ever folded; other bytes stay as they are.
#pragma once

#include <cstdint>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "lang/ui.h"
#include "platform/utf8.h"
#include "store/doc.h"
#include "tracking/found_doc.h"

namespace zd {

// The trees' shared image list: 11 built-in images, program icons from 11 up.
inline constexpr int kImageFolder = 0;
inline constexpr int kImageMissingProgram = 1;
inline constexpr int kImageDocument = 1;  // a page: a file whose type has no icon of its own
inline constexpr int kImageWeb = 2;
inline constexpr int kImageNetworkPlaces = 5;
inline constexpr int kImageControlPanel = 5;
inline constexpr int kImageMyComputer = 6;
inline constexpr int kImageMyDocuments = 8;
inline constexpr int kImageDesktop = 9;
inline constexpr int kImageProgram = 10;  // a program window, for one without its own icon
inline constexpr int kBuiltInImages = 11;
// AppImageCounter jumps to this before its first increment, so the first
// program icon lands at kBuiltInImages.
inline constexpr int kAppImageCounterStart = kBuiltInImages - 1;

// Where a refresh finds a kind's documents.
enum class KindSource {
  kProgramWindows,
  kShellWindows,
  kShellRecent,  // the shell's Recent items and the programs' jump lists
};
// What a document's own node below its group shows.
enum class ChildCaption {
  kNone,        // none: its group node stands for it (a program)
  kName,        // its name (a page below its host)
  kFolderTail,  // its path, unless it is the group's folder itself
  kFileName,    // its file name, below a node of its folder (unless that is the group's)
};

// Everything that differs between the kinds, in one place: a new kind is a
// row here, the reader that finds it, its captions and its test.
struct KindInfo {
  DocKind kind;
  Ui page;             // its tab, showing its tree
  int image;           // its nodes' picture (a program's own icon, where it has one)
  bool grouped;        // below a group node, its RootPath (a host, a drive and top folder)
  ChildCaption child;  // its node below the group
  KindSource source;   // the refresh that finds it
  bool browser_pages;  // that refresh also takes the browsers' own pages
  bool expand_after;   // its tree is expanded after a refresh of its tab
};

inline constexpr KindInfo kKinds[] = {
    {DocKind::kWeb, Ui::WebSheet, kImageWeb, true, ChildCaption::kName, KindSource::kShellWindows,
     true, false},
    {DocKind::kProgram, Ui::ProgramsSheet, kImageProgram, false, ChildCaption::kNone,
     KindSource::kProgramWindows, false, true},
    {DocKind::kFolder, Ui::FoldersSheet, kImageFolder, true, ChildCaption::kFolderTail,
     KindSource::kShellWindows, false, false},
    {DocKind::kFile, Ui::FilesSheet, kImageDocument, true, ChildCaption::kFileName,
     KindSource::kShellRecent, false, false},
};
inline constexpr size_t kKindCount = std::size(kKinds);

// The kind's row, and its place in the table.
const KindInfo& InfoOf(DocKind kind);
size_t KindIndex(DocKind kind);
// The kind whose tab is `page`; nullopt for a page of no kind.
std::optional<DocKind> KindOfPage(Ui page);

// Window titles the program-window scan accepts whatever the interface
// language: My Computer, Network Places, Control Panel, Performance and
// Maintenance, Desktop, in simplified Chinese.
std::span<const std::string_view> ScanSpecialPlaceTitles();
bool IsScanSpecialPlaceTitle(std::string_view trimmed_title);

bool Contains(std::string_view text, std::string_view part);

// Trim without a copy: the store's own (all characters <= ' ').
inline std::string_view TrimView(std::string_view text) { return TrimmedView(text); }

// The browser's internal resource pages: addresses that start with "res://",
// in any letter case.
bool IsIgnoredDoc(std::string_view address);

// C: to J: alone, with "\" (or "/"), or after "file:\\\" (or "file:///"), in
// any letter case. A:, B: and K: onward are not recognised.
bool IsDriveRoot(std::string_view address);

// The group key (untrimmed; callers trim): the drive and first-level folder of
// a "file:///" address, the host (with port) of a "<scheme>://" address, else
// empty.
std::string GetDocRoot(std::string_view address);

// The group key of a file's local path: its drive and first-level folder
// ("C:\Work"), the drive alone for a file at its root ("C:\"), the server
// and share of a network path ("\\server\share"); empty for anything else.
std::string FileRoot(std::string_view path);
// The folder that holds a file ("C:\Work\Proj" for C:\Work\Proj\a.txt).
std::string FileFolder(std::string_view path);
// The last part of a path (after its last "\" or "/").
std::string FileNameOfPath(std::string_view path);

// A "file:///" folder address as a local path: the first 8 characters dropped,
// then "///", "//" and "/" each turned into "\".
std::string FolderAddressToLocalPath(std::string_view address);

// The form in which an address is compared with the stored paths: with
// "file:///", the text after it with every "/" turned into "\"; trimmed.
std::string RegistrationKey(std::string_view address);

// How a record is opened and shown: the name of a folder (its local path),
// the path of anything else.
std::string GetDocAddress(const DocRecord& doc);

// A stored record as the scans find it: a folder by its "file:///" address,
// a program shown by itself.
FoundDoc AsFound(const DocRecord& doc);

}  // namespace zd
