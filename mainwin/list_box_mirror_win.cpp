#include "mainwin/list_box_mirror_win.h"

#include "platform/wide_win.h"

namespace zd {

void ListBoxMirror::InsertRow(size_t index, const std::string& text) {
  SendMessageW(list_box_, LB_INSERTSTRING, index,
               reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

void ListBoxMirror::DeleteRow(size_t index) { SendMessageW(list_box_, LB_DELETESTRING, index, 0); }

void ListBoxMirror::ClearRows() { SendMessageW(list_box_, LB_RESETCONTENT, 0, 0); }

size_t ListBoxMirror::RowCount() const {
  LRESULT count = SendMessageW(list_box_, LB_GETCOUNT, 0, 0);
  return count > 0 ? static_cast<size_t>(count) : 0;
}

std::vector<size_t> ListBoxMirror::SelectedRows() const {
  std::vector<size_t> rows;
  LONG_PTR style = GetWindowLongPtrW(list_box_, GWL_STYLE);
  if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
    LRESULT count = SendMessageW(list_box_, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return rows;
    std::vector<int> items(static_cast<size_t>(count));
    LRESULT got =
        SendMessageW(list_box_, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(items.data()));
    for (LRESULT i = 0; i < got; ++i) rows.push_back(static_cast<size_t>(items[i]));
  } else {
    LRESULT cur = SendMessageW(list_box_, LB_GETCURSEL, 0, 0);
    if (cur >= 0) rows.push_back(static_cast<size_t>(cur));
  }
  return rows;
}

void ListBoxMirror::SetRows(const std::vector<std::string>& rows) {
  // A loaded file may hold 10,000 rows: reserve once and draw once.
  SendMessageW(list_box_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_box_, LB_RESETCONTENT, 0, 0);
  size_t bytes = 0;
  for (const std::string& row : rows) bytes += (row.size() + 1) * sizeof(wchar_t);
  SendMessageW(list_box_, LB_INITSTORAGE, rows.size(), bytes);
  for (const std::string& row : rows) {
    SendMessageW(list_box_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(row).c_str()));
  }
  SendMessageW(list_box_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_box_, nullptr, TRUE);
}

void ListBoxMirror::ReplaceRow(size_t index, const std::string& text) {
  const LRESULT selected = SendMessageW(list_box_, LB_GETSEL, index, 0);
  const LRESULT caret = SendMessageW(list_box_, LB_GETCARETINDEX, 0, 0);
  const bool multiple =
      (GetWindowLongPtrW(list_box_, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
  DeleteRow(index);
  InsertRow(index, text);
  if (selected > 0) {
    if (multiple) {
      SendMessageW(list_box_, LB_SETSEL, TRUE, static_cast<LPARAM>(index));
    } else {
      SendMessageW(list_box_, LB_SETCURSEL, index, 0);
    }
  }
  if (multiple && caret == static_cast<LRESULT>(index)) {
    SendMessageW(list_box_, LB_SETCARETINDEX, index, FALSE);
  }
}

void ListBoxMirror::BeginUpdate() {
  if (updating_++ == 0) SendMessageW(list_box_, WM_SETREDRAW, FALSE, 0);
}

void ListBoxMirror::EndUpdate() {
  if (updating_ == 0 || --updating_ > 0) return;
  SendMessageW(list_box_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_box_, nullptr, TRUE);
}

}  // namespace zd
