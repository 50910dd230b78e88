#include "mainwin/search_row_win.h"

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <algorithm>

#include "mainwin/control_input_win.h"
#include "mainwin/launcher_page_win.h"
#include "mainwin/list_box_mirror_win.h"
#include "platform/handles_win.h"
#include "platform/image_list_win.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

constexpr UINT_PTR kSubclassId = 8;
// Where the result list floats, in design pixels (below the search frame).
constexpr int kResultsLeft = 20;
constexpr int kResultsGap = 20;
constexpr int kResultsMargin = 40;
constexpr int kResultsHeight = 200;
// What the key matched, in a row that is not selected: a strong blue, plain
// on white and on the path's grey alike.
constexpr COLORREF kMarkColour = RGB(0, 84, 200);

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
  const SearchPresenter& p = search();
  // Ranked, a row reads as it shows: name and path.
  const std::string text = p.ranked() ? p.results().RowLabel(row) : p.results().RowText(row);
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
  if (item.itemID != static_cast<UINT>(-1) && search().ranked()) {
    DrawLauncherRow(item, selected);
  } else if (item.itemID != static_cast<UINT>(-1)) {
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

HFONT SearchRow::MarkFont(HFONT base) {
  if (!mark_font_ || mark_font_base_ != base) {
    LOGFONTW font{};
    GetObjectW(base, sizeof(font), &font);
    // Bold and underlined: a Chinese font without a bold face still shows it.
    font.lfWeight = FW_BOLD;
    font.lfUnderline = TRUE;
    mark_font_ = UniqueFont(CreateFontIndirectW(&font));
    mark_font_base_ = base;
  }
  return mark_font_ ? mark_font_.get() : base;
}

int SearchRow::DrawMarked(HDC dc, RECT box, const std::string& text,
                          const std::optional<std::pair<size_t, size_t>>& mark, COLORREF colour,
                          COLORREF mark_colour, HFONT font) {
  // Up to three runs: before the mark, the mark (bold, underlined, in its
  // colour), after.
  size_t cut[4] = {0, text.size(), text.size(), text.size()};
  if (mark && mark->first < mark->second && mark->second <= text.size()) {
    cut[1] = mark->first;
    cut[2] = mark->second;
  }
  int x = box.left;
  for (int run = 0; run < 3 && x < box.right; ++run) {
    if (cut[run + 1] <= cut[run]) continue;
    const std::wstring part =
        Utf8ToWide(std::string_view(text).substr(cut[run], cut[run + 1] - cut[run]));
    const bool marked = run == 1;
    SelectGuard chosen(dc, marked ? MarkFont(font) : font);
    SetTextColor(dc, marked ? mark_colour : colour);
    SIZE size{};
    GetTextExtentPoint32W(dc, part.c_str(), static_cast<int>(part.size()), &size);
    RECT at = {x, box.top, box.right, box.bottom};
    DrawTextW(dc, part.c_str(), static_cast<int>(part.size()), &at,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    x += size.cx;
  }
  return std::min<int>(x, box.right);
}

void SearchRow::DrawLauncherRow(const DRAWITEMSTRUCT& item, bool selected) {
  const SearchModel& results = search().results();
  const size_t row = item.itemID;
  const ControlFactory& f = host_.Factory();
  const RECT& rc = item.rcItem;
  int x = rc.left + f.Px(4);
  // The picture of the row's kind; a program's own icon.
  if (const TreeImageList* images = page_.tree_images(); images && images->handle()) {
    const int side = images->size();
    ImageList_Draw(images->handle(), results.RowImage(row), item.hDC, x,
                   rc.top + (rc.bottom - rc.top - side) / 2, ILD_TRANSPARENT);
    x += side + f.Px(6);
  }
  SetBkMode(item.hDC, TRANSPARENT);
  const auto font =
      reinterpret_cast<HFONT>(SendMessageW(page_.LbSearchResult.hwnd(), WM_GETFONT, 0, 0));
  const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  const COLORREF quiet = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT);
  const COLORREF mark = selected ? text : kMarkColour;
  SearchModel::RowMarks marks = results.RowMatches(row);
  std::string name = results.RowName(row);
  // A row pinned to the key says so.
  if (results.RowPinned(row)) {
    constexpr std::string_view kStar = "\xE2\x98\x85 ";  // ★
    name.insert(0, kStar);
    if (marks.name) {
      marks.name =
          std::make_pair(marks.name->first + kStar.size(), marks.name->second + kStar.size());
    }
  }
  // The name, then the path in its stored case, quieter, in what is left.
  const int name_right = rc.left + (rc.right - rc.left) * 45 / 100;
  const int name_end = DrawMarked(item.hDC, {x, rc.top, std::max(x, name_right), rc.bottom}, name,
                                  marks.name, text, mark, font);
  const RECT path_box = {name_end + f.Px(16), rc.top, rc.right - f.Px(4), rc.bottom};
  if (path_box.left < path_box.right && results.RowPath(row)) {
    DrawMarked(item.hDC, path_box, *results.RowPath(row), marks.path, quiet, mark, font);
  }
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
