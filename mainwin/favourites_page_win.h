// The favourites page ("收藏"): the list of favourites, its edit bar and the
// files dropped on it.
#pragma once

#include <windows.h>
// windows.h must come first
#include <shellapi.h>

#include <memory>

#include "mainwin/list_box_mirror_win.h"
#include "mainwin/page_win.h"

namespace zd {

class TFavouritesPage : public Page {
 public:
  using Page::Page;
  ~TFavouritesPage() override;
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

  // The edit bar shown or hidden, with the check box and the menu entry in step.
  void ShowEditBar(bool shown);
  bool EditBarShown() const;
  void CbFavEditClick();
  void MnShowFavEditClick();
  void LbMyLoveDropFiles(HDROP drop);
  // FormResize's part: the name and path fields follow the window's width.
  void FitEditFields();

 private:
  std::unique_ptr<ListBoxMirror> mirror_;
};

}  // namespace zd
