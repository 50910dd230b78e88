// A Win32 list box as the mirror of a document list: the list drives it. The
// list box holds no rows of its own (LBS_NODATA): it draws the rows it shows,
// and answers other programs' LB_GETTEXT, from the list's lines, so showing a
// list of 10,000 lines copies none of them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

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
// The answer to LB_GETTEXT (buffer set) or LB_GETTEXTLEN (buffer 0): the
// length in characters, the text copied when asked.
LRESULT AnswerRowText(const std::string& text, LPARAM buffer);

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
  int updating_ = 0;
  bool marking_ = false;
};

}  // namespace zd
