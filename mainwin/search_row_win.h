// The search row of the launcher page at work: the box EdtSearch, the button
// BtnZDSearch and the result list LbSearchResult, a list that holds no rows
// of its own and draws only the rows in sight from the search's results.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "launch/search.h"
#include "launch/web_search.h"
#include "mainwin/list_box_mirror_win.h"
#include "mainwin/page_win.h"
#include "platform/handles_win.h"

namespace zd {

class LauncherPage;

class SearchRow : public SearchView {
 public:
  // Row height of the result list, in design pixels.
  static constexpr int kRowHeight = 19;

  SearchRow(PageHost& host, LauncherPage& page);
  ~SearchRow() override;
  SearchRow(const SearchRow&) = delete;
  SearchRow& operator=(const SearchRow&) = delete;

  // Once the controls exist: their key and mouse messages come here first.
  void Attach();
  // Made on first use, when the window's open operations exist.
  SearchPresenter& search();
  WebSearcher& web();

  bool OnControlCommand(HWND control, UINT code);
  bool OnDrawItem(const DRAWITEMSTRUCT& item);

  // SearchView.
  void ShowResults(size_t rows) override;
  void HideResults() override;
  bool ResultsVisible() const override;
  void ClearResults() override;
  void FocusResults(size_t row) override;
  void SetSearchText(const std::string& text) override;
  void SelectRow(size_t row) override;
  void RowOpened() override;

 private:
  static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR self);
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR self);
  // Before the control's own handling; true when the message is used up.
  bool EdtSearchMessage(UINT msg, WPARAM wp);
  void LbSearchResultMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // WM_KILLFOCUS of the box or the list, `to` the window that gets the focus.
  void FocusLeaving(HWND to);
  // LB_GETTEXT (into `buffer`) and LB_GETTEXTLEN (`buffer` 0) of the list:
  // the row as it is drawn.
  LRESULT RowText(WPARAM row, LPARAM buffer);
  std::optional<size_t> CurrentRow() const;
  // A ranked row as a launcher shows it: the picture of its kind, the name,
  // and the path in its stored case, quieter, the letters the key matched
  // marked in both.
  void DrawLauncherRow(const DRAWITEMSTRUCT& item, bool selected);
  // Draws `text` from the box's left in `font`, the marked bytes bold,
  // underlined and in `mark_colour`, cut with an ellipsis at its right;
  // where it ended.
  int DrawMarked(HDC dc, RECT box, const std::string& text,
                 const std::optional<std::pair<size_t, size_t>>& mark, COLORREF colour,
                 COLORREF mark_colour, HFONT font);
  // The list's font, bold and underlined, made once for each font the list has.
  HFONT MarkFont(HFONT base);

  PageHost& host_;
  LauncherPage& page_;
  std::unique_ptr<WebSearcher> web_;
  std::unique_ptr<SearchPresenter> search_;
  bool marking_style_ = false;
  RowTextAnswers row_answers_;
  UniqueFont mark_font_;
  HFONT mark_font_base_ = nullptr;
};

}  // namespace zd
