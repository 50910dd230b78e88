#include "launch/autorun_selection_window_win.h"

#include "lang/captions.h"
#include "platform/errors.h"
#include "platform/wide_win.h"
#include "platform/win_util_win.h"

namespace zd {
namespace {

constexpr wchar_t kClassName[] = L"ZapdockAutorunDocuments";
constexpr int kWidth = 520;
constexpr int kHeight = 440;
constexpr COLORREF kRed = RGB(220, 0, 0);

}  // namespace

AutorunSelectionWindow::~AutorunSelectionWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::unique_ptr<AutorunSelectionWindow> AutorunSelectionWindow::Create(HWND owner, OpenPath open) {
  std::unique_ptr<AutorunSelectionWindow> window(new AutorunSelectionWindow(std::move(open)));
  window->owner_ = owner;
  return Made(std::move(window), CreateArgs::Dialog(kClassName, "文档自动启动", owner, kWidth,
                                                    kHeight, /*sizeable=*/true));
}

LRESULT AutorunSelectionWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: {
      const HWND control = reinterpret_cast<HWND>(lp);
      if (control && control == LbSelectDoc.hwnd()) {
        if (HIWORD(wp) == LBN_SELCHANGE) LbSelectDocClick();
        if (HIWORD(wp) == LBN_DBLCLK) LbSelectDocDblClick();
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) == LblResetHint.hwnd()) {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, kRed);
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_CLOSE:
      End(false);  // the frame's close changes nothing
      return 0;
  }
  return Window::OnMessage(msg, wp, lp);
}

void AutorunSelectionWindow::OnCreate() {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  ControlFactory& f = factory_;
  auto caption = [](Ui part) { return lang::CaptionOf(part, 0); };
  f.Make(LblSelectDocHint, L"STATIC", caption(Ui::LblSelectDocHint), kChild, hwnd_, 10, 8, 490, 36);
  f.Make(LbSelectDoc, L"LISTBOX", "",
         kChild | WS_TABSTOP | WS_VSCROLL | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
         hwnd_, 10, 48, 490, 270, WS_EX_CLIENTEDGE);
  f.Make(CbNotQuery, L"BUTTON", caption(Ui::CbNotQuery), kChild | WS_TABSTOP | BS_AUTOCHECKBOX,
         hwnd_, 10, 326, 200, 20);
  f.Make(CbSelectAll, L"BUTTON", caption(Ui::CbSelectAll), kChild | WS_TABSTOP | BS_AUTOCHECKBOX,
         hwnd_, 220, 326, 120, 20);
  f.Make(BtnConfirm, L"BUTTON", caption(Ui::BtnConfirm), kChild | WS_TABSTOP | BS_DEFPUSHBUTTON,
         hwnd_, 330, 352, 80, 26);
  f.Make(BtnCancel, L"BUTTON", caption(Ui::BtnCancel), kChild | WS_TABSTOP | BS_PUSHBUTTON, hwnd_,
         420, 352, 80, 26);
  f.Make(LblResetHint, L"STATIC", caption(Ui::LblResetHint), kChild, hwnd_, 10, 384, 490, 18);
  OnClick(CbSelectAll, [this] { CbSelectAllClick(); });
  OnClick(CbNotQuery, [this] { CbNotQueryClick(); });
  OnClick(BtnConfirm, [this] { BtnConfirmClick(); });
  OnClick(BtnCancel, [this] { BtnCancelClick(); });
}

void AutorunSelectionWindow::Layout() {
  const auto [w, h] = ClientSize();
  const ControlFactory& f = factory_;
  LblSelectDocHint.Place(f.Px(10), f.Px(8), w - f.Px(20), f.Px(36));
  LbSelectDoc.Place(f.Px(10), f.Px(48), w - f.Px(20), h - f.Px(48 + 100));
  CbNotQuery.Place(f.Px(10), h - f.Px(92), f.Px(200), f.Px(20));
  CbSelectAll.Place(f.Px(220), h - f.Px(92), f.Px(120), f.Px(20));
  BtnConfirm.Place(w - f.Px(180), h - f.Px(66), f.Px(80), f.Px(26));
  BtnCancel.Place(w - f.Px(90), h - f.Px(66), f.Px(80), f.Px(26));
  LblResetHint.Place(f.Px(10), h - f.Px(32), w - f.Px(20), f.Px(18));
}

void AutorunSelectionWindow::Open(const DocArray& docs, bool query_auto_run_doc) {
  docs_ = &docs;
  model_.Open(docs, query_auto_run_doc);
  SendMessageW(LbSelectDoc.hwnd(), WM_SETREDRAW, FALSE, 0);
  SendMessageW(LbSelectDoc.hwnd(), LB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < model_.row_count(); ++i) {
    SendMessageW(LbSelectDoc.hwnd(), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Utf8ToWide(model_.RowText(i)).c_str()));
  }
  SendMessageW(LbSelectDoc.hwnd(), WM_SETREDRAW, TRUE, 0);
  ShowSelection();
  CbNotQuery.SetChecked(model_.not_query());
  CbSelectAll.SetChecked(false);
  confirmed_ = false;
}

std::optional<AutorunSelection::Confirmed> AutorunSelectionWindow::ShowDocSelection(
    DocArray& docs, bool query_auto_run_doc) {
  Open(docs, query_auto_run_doc);
  // Modal: the owner waits while this window is up; closing hides it.
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  RunModal(owner_);
  ShowWindow(hwnd_, SW_HIDE);
  if (!confirmed_) return std::nullopt;
  return model_.Confirm(docs);
}

void AutorunSelectionWindow::ShowSelection() {
  const std::vector<bool>& selected = model_.selection();
  for (size_t i = 0; i < selected.size(); ++i) {
    SendMessageW(LbSelectDoc.hwnd(), LB_SETSEL, selected[i] ? TRUE : FALSE, static_cast<LPARAM>(i));
  }
}

std::vector<bool> AutorunSelectionWindow::ListSelection() const {
  std::vector<bool> selected(model_.row_count(), false);
  for (size_t i = 0; i < selected.size(); ++i) {
    selected[i] = SendMessageW(LbSelectDoc.hwnd(), LB_GETSEL, i, 0) > 0;
  }
  return selected;
}

void AutorunSelectionWindow::CbSelectAllClick() {
  model_.SetSelectAll(CbSelectAll.Checked());
  ShowSelection();
}

void AutorunSelectionWindow::LbSelectDocClick() {
  model_.ClickRows(ListSelection());
  CbSelectAll.SetChecked(model_.select_all());
  ShowSelection();
}

void AutorunSelectionWindow::LbSelectDocDblClick() {
  const LRESULT row = SendMessageW(LbSelectDoc.hwnd(), LB_GETCARETINDEX, 0, 0);
  if (row < 0 || !docs_ || static_cast<size_t>(row) >= docs_->size() || !open_) return;
  open_((*docs_)[static_cast<size_t>(row)].path);
}

void AutorunSelectionWindow::CbNotQueryClick() { model_.SetNotQuery(CbNotQuery.Checked()); }

void AutorunSelectionWindow::BtnConfirmClick() { End(true); }

void AutorunSelectionWindow::BtnCancelClick() { End(false); }

void AutorunSelectionWindow::End(bool confirmed) {
  confirmed_ = confirmed;
  ShowWindow(hwnd_, SW_HIDE);
}

}  // namespace zd
