#include "mainwin/favourites_page_win.h"

#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "lang/captions.h"
#include "platform/wide_win.h"
#include "store/doc_list.h"

namespace zd {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
constexpr int kFavEditHeight = 72;
constexpr int kFavButtonsWidth = 67;

// Files dropped on the favourites list arrive at the list box itself.
LRESULT CALLBACK FavouritesDropProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR) {
  if (msg == WM_DROPFILES) return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

TFavouritesPage::~TFavouritesPage() {
  if (mirror_) host_.Store().MyLoveList.AttachMirror(nullptr);
}

void TFavouritesPage::Create(HWND parent) {
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
  f.Make(BtnZDAddToFav, L"BUTTON", "", kChild | kButton, PnlFavButtons.hwnd(), 4, 0, 59, 25);
  f.Make(BtnZDUpdateFav, L"BUTTON", "", kChild | kButton, PnlFavButtons.hwnd(), 4, 27, 59, 25);

  f.Make(GbZDFavList, L"BUTTON", caption(Ui::GbZDFavList), kChild | BS_GROUPBOX, page, 0,
         kFavEditHeight, 100, 100);
  f.Make(LbMyLove, L"LISTBOX", "",
         kChild | WS_VSCROLL | WS_TABSTOP | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
         page, 0, 0, 100, 100);
  f.AddHint(LbMyLove, lang::HintOf(Ui::LbMyLove, lang));
  f.Make(CbFavEdit, L"BUTTON", caption(Ui::CbFavEdit), kChild | WS_TABSTOP | BS_AUTOCHECKBOX, page,
         80, kFavEditHeight, 150, 16, 0, Fonts::kSmall);
  CbFavEdit.SetChecked(true);

  mirror_ = std::make_unique<ListBoxMirror>(LbMyLove.hwnd());
  host_.Store().MyLoveList.AttachMirror(mirror_.get());
  DragAcceptFiles(LbMyLove.hwnd(), TRUE);
  SetWindowSubclass(LbMyLove.hwnd(), FavouritesDropProc, 1, 0);
}

bool TFavouritesPage::OnControlCommand(HWND control, UINT code) {
  if (control == CbFavEdit.hwnd() && code == BN_CLICKED) {
    CbFavEditClick();
    return true;
  }
  return false;
}

bool TFavouritesPage::OnMenuCommand(Ui entry) {
  if (entry == Ui::MnShowFavEdit) {
    MnShowFavEditClick();
    return true;
  }
  return false;
}

bool TFavouritesPage::OnContextMenu(HWND target, POINT screen) {
  if (target != LbMyLove.hwnd()) return false;
  host_.PopupMenuAt(Ui::PmMyFav, screen);
  return true;
}

bool TFavouritesPage::EditBarShown() const { return host_.MenuChecked(Ui::MnShowFavEdit); }

void TFavouritesPage::ShowEditBar(bool shown) {
  host_.SetMenuChecked(Ui::MnShowFavEdit, shown);
  CbFavEdit.SetChecked(shown);
  PnlNewFav.Show(shown);
  host_.Relayout();
}

void TFavouritesPage::CbFavEditClick() { ShowEditBar(CbFavEdit.Checked()); }

void TFavouritesPage::MnShowFavEditClick() { ShowEditBar(!host_.MenuChecked(Ui::MnShowFavEdit)); }

void TFavouritesPage::LbMyLoveDropFiles(HDROP drop) {
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    const std::string trimmed = Trim(WideToUtf8(path));
    AddMyLove(host_.Store().MyLoveList, trimmed, trimmed);
  }
  DragFinish(drop);
}

void TFavouritesPage::Layout(int width, int height) {
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

void TFavouritesPage::FitEditFields() {
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
