#include "mainwin/search_row_win.h"

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <algorithm>

#include "mainwin/control_input_win.h"
#include "mainwin/launcher_page_win.h"
#include "mainwin/list_box_mirror_win.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

constexpr UINT_PTR kSubclassId = 8;
// Where the result list floats, in design pixels (below the search frame).
constexpr int kResultsLeft = 20;
constexpr int kResultsGap = 20;
constexpr int kResultsMargin = 40;
constexpr int kResultsHeight = 200;

int64_t SteadyMilliseconds() { return static_cast<int64_t>(GetTickCount64()); }

// The character Ctrl+P types.
constexpr WPARAM kCtrlP = kKeyPin - 'A' + 1;

bool CtrlDown() { return GetKeyState(VK_CONTROL) < 0; }

}  // namespace

SearchRow::SearchRow(PageHost& host, LauncherPage& page) : host_(host), page_(page) {}

SearchRow::~SearchRow() {
  RemoveSubclass(page_.EdtSearch.hwnd(), EditProc, kSubclassId);
  RemoveSubclass(page_.LbSearchResult.hwnd(), ListProc, kSubclassId);
}

void SearchRow::Attach() {
  const auto self = reinterpret_cast<DWORD_PTR>(this);
  const HWND list = page_.LbSearchResult.hwnd();
  SetWindowSubclass(page_.EdtSearch.hwnd(), EditProc, kSubclassId, self);
  SetWindowSubclass(list, ListProc, kSubclassId, self);
  SendMessageW(list, LB_SETITEMHEIGHT, 0, host_.Factory().Px(kRowHeight));
  // Read by other programs from the search's rows (see MarkRowsReadable).
  MarkRowsReadable(list, marking_style_);
}

LRESULT SearchRow::RowText(WPARAM row, LPARAM buffer) {
  const auto count =
      static_cast<WPARAM>(SendMessageW(page_.LbSearchResult.hwnd(), LB_GETCOUNT, 0, 0));
  if (row >= count) return LB_ERR;
  const std::string text = search().results().RowText(row);
  return buffer ? row_answers_.Copy(row, text, buffer) : row_answers_.Length(row, text);
}

WebSearcher& SearchRow::web() {
  if (!web_) {
    WebSearchHooks hooks;
    hooks.pump = [this] { host_.Pump(); };
    hooks.sleep_ms = [](int ms) { Sleep(static_cast<DWORD>(ms)); };
    hooks.now_ms = SteadyMilliseconds;
    // The window is going (or gone): a waiting search gives up.
    hooks.closing = [this] {
      HWND window = host_.Window();
      return !window || !IsWindow(window);
    };
    web_ = std::make_unique<WebSearcher>(&page_.browser, host_.Shell(), hooks);
  }
  return *web_;
}

SearchPresenter& SearchRow::search() {
  if (!search_) {
    search_ = std::make_unique<SearchPresenter>(host_.Store(), host_.Opener(), web(), host_.Shell(),
                                                *this);
    // The launcher's search, ranked unless the settings ask for the history's order.
    search_->EnableLauncher(page_.settings.RankSearch(), host_.Deps().now_seconds);
    // Picks are what the user did: kept only as the recording allows.
    search_->SetAdmit([this](FoundDoc& found) {
      Recording* recording = host_.Recorder();
      return recording && recording->Admit(found);
    });
  }
  return *search_;
}

bool SearchRow::OnControlCommand(HWND control, UINT code) {
  if (control == page_.EdtSearch.hwnd()) {
    if (code == EN_CHANGE) search().EdtSearchChange(page_.EdtSearch.Text());
    return true;
  }
  if (control == page_.BtnZDSearch.hwnd()) {
    if (code == BN_CLICKED) search().BtnZDSearchClick(page_.EdtSearch.Text());
    return true;
  }
  return control == page_.LbSearchResult.hwnd();
}

bool SearchRow::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem != page_.LbSearchResult.hwnd()) return false;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  RECT rc = item.rcItem;
  FillRect(item.hDC, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID != static_cast<UINT>(-1)) {
    std::wstring text = Utf8ToWide(search().results().RowText(item.itemID));
    // A row pinned to the key says so.
    if (search().results().RowPinned(item.itemID)) text.insert(0, L"\u2605 ");
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text_rc = rc;
    text_rc.left += host_.Factory().Px(4);
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &text_rc,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &rc);
  return true;
}

void SearchRow::ShowResults(size_t rows) {
  const Control& list = page_.LbSearchResult;
  const ControlFactory& f = host_.Factory();
  RECT window;
  GetWindowRect(host_.Window(), &window);
  const RECT frame = page_.ShapeSearch.RectInParent();
  const RECT row = page_.SearchRowPanel.RectInParent();
  list.Place(f.Px(kResultsLeft), row.top + frame.bottom + f.Px(kResultsGap),
             (window.right - window.left) - f.Px(kResultsMargin), f.Px(kResultsHeight));
  // The list holds no rows of its own: it asks for the ones it draws.
  SendMessageW(list.hwnd(), LB_SETCOUNT, rows, 0);
  SendMessageW(list.hwnd(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  list.BringToTop();
  list.Show(true);
  InvalidateRect(list.hwnd(), nullptr, TRUE);
}

void SearchRow::HideResults() {
  const Control& list = page_.LbSearchResult;
  // The keys go back to the box, not to a list out of sight.
  if (GetFocus() == list.hwnd()) SetFocus(page_.EdtSearch.hwnd());
  list.Show(false);
}

bool SearchRow::ResultsVisible() const { return page_.LbSearchResult.Visible(); }

void SearchRow::ClearResults() { SendMessageW(page_.LbSearchResult.hwnd(), LB_SETCOUNT, 0, 0); }

void SearchRow::FocusResults(size_t row) {
  HWND list = page_.LbSearchResult.hwnd();
  SetFocus(list);
  SendMessageW(list, LB_SETCURSEL, row, 0);
}

void SearchRow::SetSearchText(const std::string& text) { page_.EdtSearch.SetText(text); }

void SearchRow::SelectRow(size_t row) {
  SendMessageW(page_.LbSearchResult.hwnd(), LB_SETCURSEL, row, 0);
}

void SearchRow::RowOpened() {
  if (host_.Summoned()) host_.Dismiss();
}

std::optional<size_t> SearchRow::CurrentRow() const {
  const LRESULT row = SendMessageW(page_.LbSearchResult.hwnd(), LB_GETCURSEL, 0, 0);
  if (row < 0) return std::nullopt;
  return static_cast<size_t>(row);
}

bool SearchRow::EdtSearchMessage(UINT msg, WPARAM wp) {
  switch (msg) {
    case WM_KEYDOWN: {
      const LRESULT row = SendMessageW(page_.LbSearchResult.hwnd(), LB_GETCURSEL, 0, 0);
      search().EdtSearchKeyDown(static_cast<int>(wp), page_.EdtSearch.Text(),
                                row >= 0 ? std::optional<size_t>(row) : std::nullopt, CtrlDown());
      // Brought by the hotkey, Escape sends the window away again.
      if (wp == VK_ESCAPE && host_.Summoned()) host_.Dismiss();
      return false;
    }
    case WM_CHAR:
      // Enter (with Ctrl a line feed), Escape and Ctrl+P were keys, not
      // text (a single-line box would beep).
      if (wp == VK_RETURN || wp == '\n' || wp == VK_ESCAPE || wp == kCtrlP) return true;
      search().EdtSearchTyped();
      return false;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
      search().EdtSearchTyped();
      return false;
    default:
      return false;
  }
}

void SearchRow::LbSearchResultMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
      search().LbSearchResultKeyDown(static_cast<int>(wp), CurrentRow(), CtrlDown());
      if (wp == VK_ESCAPE && host_.Summoned()) host_.Dismiss();
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // A left press makes the row under the pointer current first.
      DefSubclassProc(hwnd, msg, wp, lp);
      if (msg == WM_LBUTTONDOWN) ReleaseCapture();
      search().LbSearchResultMouseDown(CurrentRow());
      break;
    default:
      break;
  }
}

void SearchRow::FocusLeaving(HWND to) {
  // The list belongs to the box: it goes when the focus leaves both of them,
  // wherever the focus goes (another control, another window, none).
  const HWND box = page_.EdtSearch.hwnd(), list = page_.LbSearchResult.hwnd();
  if (to == box || to == list) return;
  // Only hidden: moving the focus from inside WM_KILLFOCUS would fight the move under way.
  page_.LbSearchResult.Show(false);
}

LRESULT CALLBACK SearchRow::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                      DWORD_PTR self) {
  auto* row = reinterpret_cast<SearchRow*>(self);
  if (msg == WM_GETDLGCODE) return WantEnterAndEscape(DefSubclassProc(hwnd, msg, wp, lp), lp);
  if (msg == WM_KILLFOCUS) {
    RunGuarded("EdtSearch", [&] {
      row->FocusLeaving(reinterpret_cast<HWND>(wp));
      return true;
    });
  }
  if (RunGuarded("EdtSearch", [&] { return row->EdtSearchMessage(msg, wp); })) return 0;
  return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK SearchRow::ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                      DWORD_PTR self) {
  auto* row = reinterpret_cast<SearchRow*>(self);
  switch (msg) {
    case WM_GETDLGCODE:
      return WantEnterAndEscape(DefSubclassProc(hwnd, msg, wp, lp), lp);
    case WM_STYLECHANGING:
    case WM_STYLECHANGED:
      // The list box itself keeps the style it was made with.
      if (row->marking_style_) return 0;
      break;
    case LB_GETTEXTLEN:
      return row->RowText(wp, 0);
    case LB_GETTEXT:
      return lp ? row->RowText(wp, lp) : LB_ERR;
    case WM_KILLFOCUS:
      RunGuarded("LbSearchResult", [&] {
        row->FocusLeaving(reinterpret_cast<HWND>(wp));
        return true;
      });
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      RunGuarded("LbSearchResult", [&] {
        row->LbSearchResultMessage(hwnd, msg, wp, lp);
        return true;
      });
      return 0;
    case WM_KEYDOWN:
      RunGuarded("LbSearchResult", [&] {
        row->LbSearchResultMessage(hwnd, msg, wp, lp);
        return true;
      });
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace zd
