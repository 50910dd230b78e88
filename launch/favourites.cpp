#include "launch/favourites.h"

#include <algorithm>
#include <map>

#include "lang/lang_tables.h"
#include "platform/utf8.h"
#include "store/doc.h"
#include "tracking/doc_kinds.h"
#include "tracking/tree_input.h"

namespace zd {
namespace {

// A favourite's path as opening it would see it.
std::string OpenedForm(const std::string& path) {
  std::string out = Trim(path);
  if (!IsFileAddress(out)) return out;
  out = StripFilePrefix(out);
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

// "X:" alone or followed by a separator: a path on a lettered drive.
bool IsDrivePath(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char letter = UpperAscii(path[0]);
  if (letter < 'A' || letter > 'Z') return false;
  return path.size() == 2 || path[2] == '\\' || path[2] == '/';
}

}  // namespace

// ---- the edit bar ----

void FavEditBar::Load(bool show_fav_edit) {
  state_ = {show_fav_edit, show_fav_edit, show_fav_edit};
}

void FavEditBar::CbFavEditClick(bool ticked) {
  state_.check_box = ticked;
  state_.panel_visible = ticked;
  state_.menu_marked = ticked;
}

void FavEditBar::MnShowFavEditClick() {
  state_.menu_marked = !state_.menu_marked;
  state_.panel_visible = state_.menu_marked;
  state_.check_box = state_.menu_marked;
}

FavFields FavEditBar::MnNewToFavClick() {
  state_.panel_visible = true;
  state_.menu_marked = true;
  return {};
}

std::optional<FavFields> FavEditBar::MnUpdateFavClick(const DocList& favourites,
                                                      std::optional<size_t> current_row) {
  state_.menu_marked = true;
  state_.panel_visible = true;
  return FavFieldsOfRow(favourites, current_row);
}

// ---- rows ----

std::optional<FavFields> FavFieldsOfRow(const DocList& favourites, std::optional<size_t> row) {
  if (!row || *row >= favourites.size()) return std::nullopt;
  const std::string_view line = favourites.Lines()[*row];
  DocLine doc;
  ListLineSplit(line, doc);
  return FavFields{LineRowText(line), doc.path};
}

bool AddFavourite(DocList& favourites, const FavFields& fields) {
  const std::string path = Trim(fields.path), name = Trim(fields.name);
  if (path.empty() && name.empty()) return false;
  favourites.InsertTop(MakeDocLine(path, name));
  return true;
}

bool UpdateFavourite(DocList& favourites, std::optional<size_t> caret_row,
                     const std::vector<size_t>& selected_rows, const FavFields& fields) {
  if (selected_rows.empty()) return false;
  if (Trim(fields.path).empty() && Trim(fields.name).empty()) return false;
  const bool caret_selected = caret_row && std::find(selected_rows.begin(), selected_rows.end(),
                                                     *caret_row) != selected_rows.end();
  const size_t row = caret_selected ? *caret_row : selected_rows.front();
  return favourites.ReplaceLine(row, MakeDocLine(Trim(fields.path), Trim(fields.name)));
}

std::optional<std::string> FavouriteHint(const DocList& favourites, std::optional<size_t> row,
                                         const lang::InterfaceTexts& texts) {
  if (!row || *row >= favourites.size()) return std::nullopt;
  const std::string line = StripFilePrefix(favourites.Lines()[*row]);
  return texts.FavHintPath + ReplaceAll(line, kLineSep, texts.FavHintName) + "』";
}

FavKeyAction LbMyLoveKeyDown(int key) {
  switch (key) {
    case kKeyEnter:
    case kKeySpace:
      return FavKeyAction::kOpen;
    case kKeyDelete:
      return FavKeyAction::kDelete;
    default:
      return FavKeyAction::kNone;
  }
}

// ---- pruning ----

namespace {

// Whether what a drive answers may condemn a favourite: a fixed disk that is
// not attached through USB. A stick, a disc, or a USB disk that another one
// can replace under the same letter may not be the one the favourite was
// made on; a missing, unknown or network drive cannot say. Asked once a
// drive when `known` keeps the answers.
bool DriveMayCondemn(const std::string& root, ShellLauncher& shell,
                     std::map<std::string, bool>* known) {
  if (known) {
    const auto it = known->find(root);
    if (it != known->end()) return it->second;
  }
  const bool may = shell.DriveType(root) == DriveKind::kFixed && !shell.UsbAttached(root);
  if (known) known->emplace(root, may);
  return may;
}

FavPathCheck CheckPath(const std::string& path, ShellLauncher& shell,
                       std::map<std::string, bool>* known) {
  const std::string local = OpenedForm(path);
  if (!IsDrivePath(local)) return FavPathCheck::kKept;
  const std::string root = std::string(1, UpperAscii(local[0])) + ":\\";
  if (!DriveMayCondemn(root, shell, known)) return FavPathCheck::kKept;
  switch (shell.QueryPath(local.size() == 2 ? root : local)) {
    case PathAnswer::kFile:
    case PathAnswer::kFolder:
      return FavPathCheck::kPresent;
    case PathAnswer::kNotFound:
      return FavPathCheck::kGone;
    default:
      return FavPathCheck::kKept;
  }
}

}  // namespace

FavPathCheck CheckFavouritePath(const std::string& path, ShellLauncher& shell) {
  return CheckPath(path, shell, nullptr);
}

std::vector<size_t> MissingFavouriteRows(const DocList& favourites, ShellLauncher& shell) {
  std::vector<size_t> rows;
  std::map<std::string, bool> drives;
  for (size_t i = 0; i < favourites.size(); ++i) {
    DocLine doc;
    if (ListLineSplit(favourites.Lines()[i], doc) &&
        CheckPath(doc.path, shell, &drives) == FavPathCheck::kGone) {
      rows.push_back(i);
    }
  }
  return rows;
}

std::string DeleteMissingQuestion(const DocList& favourites, const std::vector<size_t>& rows,
                                  const lang::InterfaceTexts& texts) {
  constexpr size_t kNamesShown = 5;
  std::string names;
  for (size_t i = 0; i < rows.size() && i < kNamesShown; ++i) {
    if (rows[i] >= favourites.size()) continue;
    if (!names.empty()) names += '\n';
    names += LineRowText(favourites.Lines()[rows[i]]);
  }
  if (rows.size() > kNamesShown) names += "\n\xE2\x80\xA6";  // …
  return lang::FormatText(
      lang::FormatText(texts.DeleteMissingFavsQuestion, static_cast<int>(rows.size())), names);
}

size_t DeleteMissingFavourites(DocList& favourites, ShellLauncher& shell,
                               const std::function<bool(const std::string& question)>& confirm,
                               const lang::InterfaceTexts& texts) {
  const std::vector<size_t> rows = MissingFavouriteRows(favourites, shell);
  if (rows.empty()) return 0;
  if (!confirm || !confirm(DeleteMissingQuestion(favourites, rows, texts))) return 0;
  MirrorUpdate batch(favourites.Mirror());
  // From the bottom up, so the rows still to go keep their indexes.
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) favourites.DeleteLine(*it);
  return rows.size();
}

// ---- adding ----

size_t AddDroppedFiles(DocList& favourites, const std::vector<std::string>& paths) {
  size_t added = 0;
  MirrorUpdate batch(favourites.Mirror());
  for (const std::string& path : paths) {
    const std::string trimmed = Trim(path);
    if (trimmed.empty()) continue;  // nothing to name or open
    AddMyLove(favourites, trimmed, trimmed);
    ++added;
  }
  return added;
}

size_t AddFavouritesToRunList(const DocList& favourites, const std::vector<size_t>& selected_rows,
                              DocList& run_list) {
  size_t added = 0;
  std::vector<size_t> rows = selected_rows;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  // Bottom up, each at the top: they end in the favourites' order.
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (*it >= favourites.size()) continue;
    DocLine doc;
    if (!ListLineSplit(favourites.Lines()[*it], doc)) continue;
    AddMyRun(run_list, doc.path, doc.name);
    ++added;
  }
  return added;
}

}  // namespace zd
