#include "mainwin/favourites_page_win.h"

#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "lang/captions.h"
#include "lang/lang_tables.h"
#include "mainwin/control_input_win.h"
#include "platform/wide_win.h"
#include "store/doc_list.h"

namespace zd {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
constexpr int kFavEditHeight = 72;
constexpr int kFavButtonsWidth = 67;

constexpr UINT_PTR kSubclassId = 1;

POINT PointOf(LPARAM lp) { return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

}  // namespace

FavouritesPage::~FavouritesPage() {
  if (mirror_) host_.Store().MyLoveList.AttachMirror(nullptr);
  RemoveSubclass(LbMyLove.hwnd(), ListProc, kSubclassId);
}

void FavouritesPage::Create(HWND parent) {
  OnClick(CbFavEdit, [this] { CbFavEditClick(); });
  OnClick(BtnZDAddToFav, [this] { BtnZDAddToFavClick(); });
  OnClick(BtnZDUpdateFav, [this] { BtnZDUpdateFavClick(); });
  Notify(LbMyLove, LBN_SELCHANGE, [this] { LbMyLoveClick(); });
  Notify(LbMyLove, LBN_DBLCLK, [this] { LbMyLoveDblClick(); });
  ControlFactory& f = host_.Factory();
  const int lang = host_.Deps().language_index;
  auto caption = [lang](Ui part) { return lang::CaptionOf(part, lang); };
  f.Make(sheet, kPanelClass, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent, 0, 0, 10,
         10);
  HWND page = sheet.hwnd();
  f.Make(PnlNewFav, kPanelClass, "", kChild | WS_CLIPCHILDREN, page, 0, 0, 100, kFavEditHeight);
  HWND bar = PnlNewFav.hwnd();
  f.Make(GbZDFavEdit, L"BUTTON", caption(Ui::GbZDFavEdit), kChild | BS_GROUPBOX, bar, 2, 0, 100,
         70);
  f.Make(LblZDFavName, L"STATIC", caption(Ui::LblZDFavName), kChild | SS_RIGHT, bar, 6, 22, 38, 18);
  f.Make(EdtNewFavDisplay, L"EDIT", "", kChild | WS_TABSTOP | ES_AUTOHSCROLL, bar, 48, 18, 100, 21,
         WS_EX_CLIENTEDGE, Fonts::kFavEdit);
  f.Make(LblZDFavPath, L"STATIC", caption(Ui::LblZDFavPath), kChild | SS_RIGHT, bar, 6, 47, 38, 18);
  f.Make(EdtNewFavPath, L"EDIT", "", kChild | WS_TABSTOP | ES_AUTOHSCROLL, bar, 48, 43, 100, 21,
         WS_EX_CLIENTEDGE, Fonts::kFavEdit);
  f.Make(PnlFavButtons, kPanelClass, "", kChild, bar, 0, 14, kFavButtonsWidth, 52);
  // Pictures only (BS_BITMAP); the caption is the button's name for screen readers.
  f.Make(BtnZDAddToFav, L"BUTTON", caption(Ui::BtnZDAddToFav), kChild | kButton | BS_BITMAP,
         PnlFavButtons.hwnd(), 4, 0, 59, 25);
  f.Make(BtnZDUpdateFav, L"BUTTON", caption(Ui::BtnZDUpdateFav), kChild | kButton | BS_BITMAP,
         PnlFavButtons.hwnd(), 4, 27, 59, 25);

  f.Make(GbZDFavList, L"BUTTON", caption(Ui::GbZDFavList), kChild | BS_GROUPBOX, page, 0,
         kFavEditHeight, 100, 100);
  f.Make(LbMyLove, L"LISTBOX", "",
         kChild | WS_VSCROLL | WS_TABSTOP | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
             kVirtualListStyle,
         page, 0, 0, 100, 100);
  f.AddHint(LbMyLove, lang::HintOf(Ui::LbMyLove, lang));
  f.Make(CbFavEdit, L"BUTTON", caption(Ui::CbFavEdit), kChild | WS_TABSTOP | BS_AUTOCHECKBOX, page,
         80, kFavEditHeight, 150, 16, 0, Fonts::kSmall);
  CbFavEdit.SetChecked(true);

  mirror_ = std::make_unique<ListBoxMirror>(LbMyLove.hwnd(), host_.Store().MyLoveList);
  host_.Store().MyLoveList.AttachMirror(mirror_.get());
  DragAcceptFiles(LbMyLove.hwnd(), TRUE);
  SetWindowSubclass(LbMyLove.hwnd(), ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK FavouritesPage::ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                          DWORD_PTR self) {
  auto* page = reinterpret_cast<FavouritesPage*>(self);
  switch (msg) {
    case WM_GETDLGCODE:
      return WantEnterAndEscape(DefSubclassProc(hwnd, msg, wp, lp), lp);
    case WM_KEYDOWN:
      RunGuarded("LbMyLoveKeyDown", [&] {
        page->LbMyLoveKeyDown(static_cast<int>(wp));
        return true;
      });
      break;
    case WM_RBUTTONDOWN:
      // The menu that follows acts on the row under the pointer alone.
      RunGuarded("LbMyLoveMouseDown", [&] {
        page->LbMyLoveRightPress(PointOf(lp));
        return true;
      });
      break;
    case WM_MOUSEMOVE:
      RunGuarded("LbMyLoveMouseMove", [&] {
        page->LbMyLoveMouseMove(PointOf(lp));
        return true;
      });
      break;
    case WM_DROPFILES:
      RunGuarded("LbMyLoveDropFiles", [&] {
        page->LbMyLoveDropFiles(reinterpret_cast<HDROP>(wp));
        return true;
      });
      return 0;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

bool FavouritesPage::OnMenuCommand(Ui entry) {
  DocStore& store = host_.Store();
  DocList& love = store.MyLoveList;
  switch (entry) {
    case Ui::MnOpenMyFavDoc:
      host_.Opener().OpenListSelection(love, CaretRow());
      return true;
    case Ui::MyDeleteFav:
      DeleteListSelection(love);
      return true;
    case Ui::MnZDAddToRun:
      AddFavouritesToRunList(love, SelectedRows(), store.MyRunList);
      return true;
    case Ui::MnZDDeleteNotExistsDoc: {
      const lang::InterfaceTexts& texts = lang::Texts();
      auto confirm = [&](const std::string& question) {
        return host_.ShowMessage(question, texts.TipsCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
      };
      DeleteMissingFavourites(love, host_.Shell(), confirm, texts);
      return true;
    }
    case Ui::MnNewToFav:
      SetFields(fav_bar_.MnNewToFavClick());
      ApplyEditBar();
      return true;
    case Ui::MnUpdateFav:
      SetFields(fav_bar_.MnUpdateFavClick(love, CaretRow()));
      ApplyEditBar();
      return true;
    case Ui::MnShowFavEdit:
      fav_bar_.MnShowFavEditClick();
      ApplyEditBar();
      return true;
    default:
      return false;
  }
}

bool FavouritesPage::OnContextMenu(HWND target, POINT screen) {
  if (target != LbMyLove.hwnd()) return false;
  host_.PopupMenuAt(Ui::PmMyFav, screen);
  return true;
}

void FavouritesPage::ShowEditBar(bool shown) {
  fav_bar_.Load(shown);
  ApplyEditBar();
}

void FavouritesPage::ApplyEditBar() {
  const FavEditBarState& state = fav_bar_.state();
  host_.SetMenuChecked(Ui::MnShowFavEdit, state.menu_marked);
  CbFavEdit.SetChecked(state.check_box);
  if (PnlNewFav.Visible() != state.panel_visible) {
    PnlNewFav.Show(state.panel_visible);
    host_.Relayout();
  }
}

void FavouritesPage::SetFields(const std::optional<FavFields>& fields) {
  if (!fields) return;
  EdtNewFavDisplay.SetText(fields->name);
  EdtNewFavPath.SetText(fields->path);
}

FavFields FavouritesPage::Fields() const { return {EdtNewFavDisplay.Text(), EdtNewFavPath.Text()}; }

std::optional<size_t> FavouritesPage::CaretRow() const {
  const LRESULT caret = SendMessageW(LbMyLove.hwnd(), LB_GETCARETINDEX, 0, 0);
  if (caret < 0 || caret >= LbMyLove.Count()) return std::nullopt;
  return static_cast<size_t>(caret);
}

std::vector<size_t> FavouritesPage::SelectedRows() const {
  return mirror_ ? mirror_->SelectedRows() : std::vector<size_t>();
}

std::optional<size_t> FavouritesPage::RowAt(POINT at) const {
  const LRESULT hit = SendMessageW(LbMyLove.hwnd(), LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
  // The high word says the point lies below the last row.
  if (HIWORD(hit) != 0 || LOWORD(hit) >= LbMyLove.Count()) return std::nullopt;
  return LOWORD(hit);
}

void FavouritesPage::LbMyLoveClick() {
  SetFields(FavFieldsOfRow(host_.Store().MyLoveList, CaretRow()));
}

void FavouritesPage::LbMyLoveDblClick() {
  host_.Opener().OpenListSelection(host_.Store().MyLoveList, CaretRow());
}

void FavouritesPage::LbMyLoveKeyDown(int key) {
  DocList& love = host_.Store().MyLoveList;
  switch (zd::LbMyLoveKeyDown(key)) {
    case FavKeyAction::kOpen:
      host_.Opener().OpenListSelection(love, CaretRow());
      break;
    case FavKeyAction::kDelete:
      DeleteListSelection(love);
      break;
    case FavKeyAction::kNone:
      break;
  }
}

void FavouritesPage::LbMyLoveRightPress(POINT at) {
  HWND list = LbMyLove.hwnd();
  const std::optional<size_t> row = RowAt(at);
  SendMessageW(list, LB_SETSEL, FALSE, -1);
  if (!row) return;
  SendMessageW(list, LB_SETSEL, TRUE, static_cast<LPARAM>(*row));
  SendMessageW(list, LB_SETCARETINDEX, *row, FALSE);
}

void FavouritesPage::LbMyLoveMouseMove(POINT at) {
  if (auto text = FavouriteHint(host_.Store().MyLoveList, RowAt(at), lang::Texts())) {
    hint_panel_.SetText(*text);
  }
}

void FavouritesPage::BtnZDAddToFavClick() { AddFavourite(host_.Store().MyLoveList, Fields()); }

void FavouritesPage::BtnZDUpdateFavClick() {
  UpdateFavourite(host_.Store().MyLoveList, CaretRow(), SelectedRows(), Fields());
}

void FavouritesPage::CbFavEditClick() {
  fav_bar_.CbFavEditClick(CbFavEdit.Checked());
  ApplyEditBar();
}

void FavouritesPage::LbMyLoveDropFiles(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    paths.push_back(WideToUtf8(path));
  }
  DragFinish(drop);
  AddDroppedFiles(host_.Store().MyLoveList, paths);
  MessageBeep(MB_ICONASTERISK);
}

void FavouritesPage::Layout(int width, int height) {
  // The edit bar on top (when shown), the list below it.
  const int bar_h = PnlNewFav.Visible() ? Px(kFavEditHeight) : 0;
  PnlNewFav.Place(0, 0, width, Px(kFavEditHeight));
  GbZDFavEdit.Place(Px(2), 0, width - Px(4), Px(kFavEditHeight) - Px(2));
  PnlFavButtons.Place(width - Px(kFavButtonsWidth) - Px(8), Px(14), Px(kFavButtonsWidth), Px(54));
  FitEditFields();
  GbZDFavList.Place(Px(2), bar_h, width - Px(4), height - bar_h - Px(2));
  LbMyLove.Place(Px(8), bar_h + Px(20), width - Px(16), height - bar_h - Px(28));
  CbFavEdit.Place(Px(80), bar_h, Px(150), Px(16));
  CbFavEdit.BringToTop();
}

void FavouritesPage::FitEditFields() {
  // Window width - 128, but short of the two buttons at the bar's right edge
  // so nothing is hidden under them.
  RECT window;
  GetWindowRect(host_.Window(), &window);
  const RECT buttons = PnlFavButtons.RectInParent();
  int width = (window.right - window.left) - Px(128);
  width = std::min<int>(width, buttons.left - Px(4) - Px(48));
  for (const Edit* edit : {&EdtNewFavDisplay, &EdtNewFavPath}) {
    const RECT r = edit->RectInParent();
    edit->Place(r.left, r.top, std::max(width, 0), r.bottom - r.top);
  }
}

}  // namespace zd
