// A Win32 list box as the mirror of a document list: the list drives it. The
// list box holds no rows of its own (LBS_NODATA): it draws the rows it shows,
// and answers other programs' LB_GETTEXT, from the list's lines, so showing a
// list of 10,000 lines copies none of them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <unordered_map>

#include "store/doc_list.h"

namespace zd {

// The styles a mirrored list box is made with, besides its own.
inline constexpr DWORD kVirtualListStyle = LBS_NODATA | LBS_OWNERDRAWFIXED;

// Other programs (screen readers among them) read a list box's rows with
// LB_GETTEXT, and the system carries a row's text to them only from a list
// box styled LBS_HASSTRINGS. A list box without rows of its own (LBS_NODATA
// takes effect at creation only) gets the style afterwards, for the system's
// eyes, while its subclass keeps the list box from hearing of the change
// (`marking` is true meanwhile) and answers LB_GETTEXT itself.
void MarkRowsReadable(HWND list, bool& marking);
// The answers to LB_GETTEXTLEN and LB_GETTEXT of a list box whose rows are
// not its own. The caller sizes its buffer by LB_GETTEXTLEN (the system
// does the same when it carries a row to another process), and the row may
// change before LB_GETTEXT comes: the text written is cut, at a whole
// character, to the length last told for that row, so a longer row never
// runs past the buffer. A row never asked about is written whole, as the
// message's contract has it.
class RowTextAnswers {
 public:
  // LB_GETTEXTLEN: the row's length in UTF-16 units, remembered.
  LRESULT Length(size_t row, const std::string& text);
  // LB_GETTEXT into `buffer`: how many units were written, before the NUL.
  LRESULT Copy(size_t row, const std::string& text, LPARAM buffer) const;

 private:
  std::unordered_map<size_t, size_t> told_;
};

class ListBoxMirror : public ListMirror {
 public:
  // `list_box` was made with kVirtualListStyle; `list` gives the rows' text.
  ListBoxMirror(HWND list_box, const DocList& list);
  ~ListBoxMirror() override;
  ListBoxMirror(const ListBoxMirror&) = delete;
  ListBoxMirror& operator=(const ListBoxMirror&) = delete;

  void InsertRow(size_t index) override;
  void DeleteRow(size_t index) override;
  void ClearRows() override;
  size_t RowCount() const override;
  std::vector<size_t> SelectedRows() const override;
  void SetRowCount(size_t count) override;
  void RowChanged(size_t index) override;
  // The list box stops drawing until the outermost EndUpdate.
  void BeginUpdate() override;
  void EndUpdate() override;
  HWND hwnd() const { return list_box_; }

  // WM_DRAWITEM of a mirrored list box's parent; false for any other control.
  static bool DrawRow(const DRAWITEMSTRUCT& item);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                               DWORD_PTR self);

  HWND list_box_;
  const DocList& list_;
  RowTextAnswers answers_;
  int updating_ = 0;
  bool marking_ = false;
};

}  // namespace zd
