#include "mainwin/list_box_mirror_win.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/errors.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

constexpr UINT_PTR kSubclassId = 0x5A444C4D;  // "ZDLM"
constexpr wchar_t kMirrorProperty[] = L"ZapdockListMirror";

// Rows as high as a list box with strings makes them: the font's height.
void FitRowsToFont(HWND list) {
  HDC dc = GetDC(list);
  if (!dc) return;
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  TEXTMETRICW metrics{};
  const bool measured = GetTextMetricsW(dc, &metrics) != FALSE;
  if (old) SelectObject(dc, old);
  ReleaseDC(list, dc);
  if (measured && metrics.tmHeight > 0) SendMessageW(list, LB_SETITEMHEIGHT, 0, metrics.tmHeight);
}

}  // namespace

void MarkRowsReadable(HWND list, bool& marking) {
  marking = true;
  SetWindowLongPtrW(list, GWL_STYLE, GetWindowLongPtrW(list, GWL_STYLE) | LBS_HASSTRINGS);
  marking = false;
}

LRESULT RowTextAnswers::Length(size_t row, const std::string& text) {
  const size_t length = Utf8ToWide(text).size();
  told_[row] = length;
  return static_cast<LRESULT>(length);
}

LRESULT RowTextAnswers::Copy(size_t row, const std::string& text, LPARAM buffer) const {
  const std::wstring wide = Utf8ToWide(text);
  size_t length = wide.size();
  if (const auto told = told_.find(row); told != told_.end() && told->second < length) {
    length = told->second;
    // Half a surrogate pair is no character.
    if (length > 0 && IS_HIGH_SURROGATE(wide[length - 1])) --length;
  }
  auto* out = reinterpret_cast<wchar_t*>(buffer);
  std::copy(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(length), out);
  out[length] = L'\0';
  return static_cast<LRESULT>(length);
}

ListBoxMirror::ListBoxMirror(HWND list_box, const DocList& list)
    : list_box_(list_box), list_(list) {
  SetPropW(list_box_, kMirrorProperty, this);
  SetWindowSubclass(list_box_, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  MarkRowsReadable(list_box_, marking_);
  FitRowsToFont(list_box_);
}

ListBoxMirror::~ListBoxMirror() {
  if (!IsWindow(list_box_)) return;
  RemoveWindowSubclass(list_box_, Proc, kSubclassId);
  RemovePropW(list_box_, kMirrorProperty);
}

LRESULT CALLBACK ListBoxMirror::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                     DWORD_PTR self) {
  auto* mirror = reinterpret_cast<ListBoxMirror*>(self);
  switch (msg) {
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
      // The list box itself keeps the style it was made with.
      if (mirror->marking_) return 0;
      break;
    case LB_GETTEXTLEN:
    case LB_GETTEXT: {
      const LRESULT count = DefSubclassProc(hwnd, LB_GETCOUNT, 0, 0);
      if (static_cast<LRESULT>(wp) >= count || (msg == LB_GETTEXT && !lp)) return LB_ERR;
      try {
        const std::string text = mirror->list_.RowText(wp);
        return msg == LB_GETTEXT ? mirror->answers_.Copy(wp, text, lp)
                                 : mirror->answers_.Length(wp, text);
      } catch (...) {
        RecordCurrentException("ListBoxMirror");
        return LB_ERR;
      }
    }
    case WM_SETFONT: {
      // A new font (the DPI changed): the rows follow it.
      const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
      FitRowsToFont(hwnd);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, Proc, kSubclassId);
      RemovePropW(hwnd, kMirrorProperty);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

bool ListBoxMirror::DrawRow(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_LISTBOX) return false;
  auto* mirror = static_cast<ListBoxMirror*>(GetPropW(item.hwndItem, kMirrorProperty));
  if (!mirror) return false;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool enabled = IsWindowEnabled(item.hwndItem) != FALSE;
  RECT rc = item.rcItem;
  FillRect(item.hDC, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID != static_cast<UINT>(-1)) {
    const std::wstring text = Utf8ToWide(mirror->list_.RowText(item.itemID));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                                       : selected ? COLOR_HIGHLIGHTTEXT
                                                  : COLOR_WINDOWTEXT));
    RECT text_rc = rc;
    text_rc.left += 2;
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &text_rc,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &rc);
  return true;
}

void ListBoxMirror::InsertRow(size_t index) { SendMessageW(list_box_, LB_INSERTSTRING, index, 0); }

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

void ListBoxMirror::SetRowCount(size_t count) {
  // A loaded file may hold 10,000 lines: the list box learns only how many.
  SendMessageW(list_box_, LB_RESETCONTENT, 0, 0);
  SendMessageW(list_box_, LB_SETCOUNT, count, 0);
  InvalidateRect(list_box_, nullptr, TRUE);
}

void ListBoxMirror::RowChanged(size_t index) {
  RECT rc;
  if (SendMessageW(list_box_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc)) != LB_ERR) {
    InvalidateRect(list_box_, &rc, TRUE);
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
