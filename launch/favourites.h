// The favourites page without its window: the edit bar and its three
// holders of one state, adding and updating favourites, the hint, pruning
// favourites whose file is gone, dropped files and the auto-run entry.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lang/lang_tables.h"
#include "platform/shell_launcher.h"
#include "store/doc_list.h"

namespace zd {

// The texts of the two edit fields: EdtNewFavDisplay and EdtNewFavPath.
struct FavFields {
  std::string name;
  std::string path;
  bool operator==(const FavFields&) const = default;
};

// Whether the edit bar shows, held three times: the visibility of PnlNewFav,
// the mark of MnShowFavEdit and the tick of CbFavEdit.
struct FavEditBarState {
  bool panel_visible = true;
  bool menu_marked = true;
  bool check_box = true;
  bool operator==(const FavEditBarState&) const = default;
};

class FavEditBar {
 public:
  const FavEditBarState& state() const { return state_; }
  // What "ShowFavEdit" is written as at exit.
  bool show_fav_edit() const { return state_.menu_marked; }

  // The start-up load: all three from "ShowFavEdit".
  void Load(bool show_fav_edit);
  // CbFavEditClick, with the box's new tick: the bar and the mark follow it.
  void CbFavEditClick(bool ticked);
  // MnShowFavEditClick: the item flips its own mark; the bar and the box follow.
  void MnShowFavEditClick();
  // MnNewToFavClick: the bar shows and the item is marked, the box keeps its
  // tick; the fields are emptied.
  FavFields MnNewToFavClick();
  // MnUpdateFavClick: as MnNewToFavClick, the fields filled from the current
  // row (nullopt: no row, the fields keep their text).
  std::optional<FavFields> MnUpdateFavClick(const DocList& favourites,
                                            std::optional<size_t> current_row);

 private:
  FavEditBarState state_;
};

// LbMyLoveClick: the fields for a row (its name, and the path of its line).
std::optional<FavFields> FavFieldsOfRow(const DocList& favourites, std::optional<size_t> row);

// BtnZDAddToFavClick: both fields trimmed, at the top; the same favourite may
// be added again. Refused (false) when both fields are empty: such a line
// opens nothing and shows an empty row.
bool AddFavourite(DocList& favourites, const FavFields& fields);
// BtnZDUpdateFavClick: replaces the current row, but only a selected one: the
// caret row when it is selected, else the first selected row. False when no
// row is selected, or both fields are empty.
bool UpdateFavourite(DocList& favourites, std::optional<size_t> caret_row,
                     const std::vector<size_t>& selected_rows, const FavFields& fields);

// LbMyLoveMouseMove: what LblHint shows for the row under the pointer.
std::optional<std::string> FavouriteHint(const DocList& favourites, std::optional<size_t> row,
                                         const lang::InterfaceTexts& texts);

enum class FavKeyAction { kOpen, kDelete, kNone };
// LbMyLoveKeyDown: Enter and Space open the current row, Delete deletes the
// selected rows.
FavKeyAction LbMyLoveKeyDown(int key);

// What "删除已不存在文档" may conclude of a favourite's path.
enum class FavPathCheck {
  kPresent,  // the file or folder is there
  kGone,     // its drive is a fixed one, present, and answers "not found"
  kKept,     // no answer to act on: a web or other non-local address, a UNC
             // or network path (never asked from the interface thread), a
             // drive that is missing or not ready, and any removable drive,
             // CD or DVD, or disk attached through USB, which reports itself
             // fixed (another stick, disc or disk may hold the same letter)
};
FavPathCheck CheckFavouritePath(const std::string& path, ShellLauncher& shell);
// The rows whose check says kGone, top to bottom.
std::vector<size_t> MissingFavouriteRows(const DocList& favourites, ShellLauncher& shell);
// The one question asked before they go: how many, and the first few names.
std::string DeleteMissingQuestion(const DocList& favourites, const std::vector<size_t>& rows,
                                  const lang::InterfaceTexts& texts);
// Removes the favourites whose check says kGone, with their rows, in one
// batch, once `confirm` (given the question) says yes; nothing is asked when
// none is gone. Answers how many went.
size_t DeleteMissingFavourites(DocList& favourites, ShellLauncher& shell,
                               const std::function<bool(const std::string& question)>& confirm,
                               const lang::InterfaceTexts& texts);

// Files dropped on the list, in the order the shell reports them, each
// trimmed and added at the top (so they stand in reverse order), in one
// batch. The caller beeps afterwards (MessageBeep(MB_ICONASTERISK)).
size_t AddDroppedFiles(DocList& favourites, const std::vector<std::string>& paths);

// "加入到『启动』": the selected favourites to the auto-run list, keeping
// their order at its top.
size_t AddFavouritesToRunList(const DocList& favourites, const std::vector<size_t>& selected_rows,
                              DocList& run_list);

}  // namespace zd
