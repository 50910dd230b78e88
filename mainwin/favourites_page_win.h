// The favourites page ("收藏"): the list of favourites, its edit bar and the
// files dropped on it.
#pragma once

#include <windows.h>
// windows.h must come first
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launch/favourites.h"
#include "mainwin/list_box_mirror_win.h"
#include "mainwin/page_win.h"

namespace zd {

class FavouritesPage : public Page {
 public:
  // `hint_panel`: LblHint, where the row under the pointer is described.
  FavouritesPage(PageHost& host, const Label& hint_panel) : Page(host), hint_panel_(hint_panel) {}
  ~FavouritesPage() override;
  void Create(HWND parent);

  Panel PnlNewFav;
  GroupBox GbZDFavEdit;
  Label LblZDFavName;
  Edit EdtNewFavDisplay;
  Label LblZDFavPath;
  Edit EdtNewFavPath;
  Panel PnlFavButtons;
  Button BtnZDAddToFav;
  Button BtnZDUpdateFav;
  GroupBox GbZDFavList;
  ListBox LbMyLove;
  CheckBox CbFavEdit;

  bool OnControlCommand(HWND control, UINT code) override;
  bool OnMenuCommand(Ui entry) override;
  bool OnContextMenu(HWND target, POINT screen) override;
  void Layout(int width, int height) override;

  // The start-up load: the edit bar, the check box and the menu entry from
  // "ShowFavEdit".
  void ShowEditBar(bool shown);
  bool EditBarShown() const { return fav_bar_.show_fav_edit(); }
  const FavEditBarState& edit_bar_state() const { return fav_bar_.state(); }

  void LbMyLoveClick();
  void LbMyLoveDblClick();
  void LbMyLoveKeyDown(int key);
  void LbMyLoveRightPress(POINT at);
  void LbMyLoveMouseMove(POINT at);
  void LbMyLoveDropFiles(HDROP drop);
  void BtnZDAddToFavClick();
  void BtnZDUpdateFavClick();
  void CbFavEditClick();
  // FormResize's part: the name and path fields follow the window's width.
  void FitEditFields();

 private:
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR self);
  // The edit bar's three holders as the bar's state says, and the fields.
  void ApplyEditBar();
  void SetFields(const std::optional<FavFields>& fields);
  FavFields Fields() const;
  // LbMyLove's caret row (the "current" row), and its selected rows.
  std::optional<size_t> CaretRow() const;
  std::vector<size_t> SelectedRows() const;
  std::optional<size_t> RowAt(POINT at) const;

  const Label& hint_panel_;
  std::unique_ptr<ListBoxMirror> mirror_;
  FavEditBar fav_bar_;
};

}  // namespace zd
