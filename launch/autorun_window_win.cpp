#include "launch/autorun_window_win.h"

#include "lang/captions.h"
#include "platform/errors.h"
#include "platform/wide_win.h"
#include "platform/win_util_win.h"
#include "platform/window_class_win.h"

namespace zd {
namespace {

constexpr wchar_t kClassName[] = L"ZapdockAutorunDocuments";
constexpr int kWidth = 520;
constexpr int kHeight = 440;
constexpr COLORREF kRed = RGB(220, 0, 0);

}  // namespace

TFrmAutorunDoc::TFrmAutorunDoc(OpenPath open)
    : open_(std::move(open)), factory_(GetModuleHandleW(nullptr), fonts_) {}

TFrmAutorunDoc::~TFrmAutorunDoc() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::unique_ptr<TFrmAutorunDoc> TFrmAutorunDoc::Create(HINSTANCE instance, HWND owner,
                                                       OpenPath open) {
  if (!RegisterWindowClassOnce(instance, kClassName, ObjectWindowProc<TFrmAutorunDoc>,
                               GetSysColorBrush(COLOR_BTNFACE))) {
    return nullptr;
  }
  std::unique_ptr<TFrmAutorunDoc> window(new TFrmAutorunDoc(std::move(open)));
  window->owner_ = owner;
  HWND hwnd =
      CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, L"文档自动启动",
                      WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, CW_USEDEFAULT, CW_USEDEFAULT, kWidth,
                      kHeight, owner, nullptr, instance, window.get());
  if (!hwnd) return nullptr;
  return window;
}

LRESULT TFrmAutorunDoc::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      const double scale = WindowDpi(hwnd_) / 96.0;
      factory_.set_scale(scale);
      fonts_.Make(scale);
      CreateControls();
      CenterOnScreen(hwnd_, factory_.Px(kWidth), factory_.Px(kHeight));
      return 0;
    }
    case WM_SIZE:
      Layout();
      return 0;
    case WM_COMMAND: {
      const HWND control = reinterpret_cast<HWND>(lp);
      const UINT code = HIWORD(wp);
      if (control == LbSelectDoc.hwnd()) {
        if (code == LBN_SELCHANGE) LbSelectDocClick();
        if (code == LBN_DBLCLK) LbSelectDocDblClick();
      } else if (code == BN_CLICKED) {
        if (control == CbSelectAll.hwnd()) CbSelectAllClick();
        if (control == CbNotQuery.hwnd()) CbNotQueryClick();
        if (control == BtnConfirm.hwnd()) BtnConfirmClick();
        if (control == SpeedButton2.hwnd()) SpeedButton2Click();
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
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TFrmAutorunDoc::CreateControls() {
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
  f.Make(SpeedButton2, L"BUTTON", caption(Ui::SpeedButton2), kChild | WS_TABSTOP | BS_PUSHBUTTON,
         hwnd_, 420, 352, 80, 26);
  f.Make(LblResetHint, L"STATIC", caption(Ui::LblResetHint), kChild, hwnd_, 10, 384, 490, 18);
}

void TFrmAutorunDoc::Layout() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int w = client.right, h = client.bottom;
  const ControlFactory& f = factory_;
  LblSelectDocHint.Place(f.Px(10), f.Px(8), w - f.Px(20), f.Px(36));
  LbSelectDoc.Place(f.Px(10), f.Px(48), w - f.Px(20), h - f.Px(48 + 100));
  CbNotQuery.Place(f.Px(10), h - f.Px(92), f.Px(200), f.Px(20));
  CbSelectAll.Place(f.Px(220), h - f.Px(92), f.Px(120), f.Px(20));
  BtnConfirm.Place(w - f.Px(180), h - f.Px(66), f.Px(80), f.Px(26));
  SpeedButton2.Place(w - f.Px(90), h - f.Px(66), f.Px(80), f.Px(26));
  LblResetHint.Place(f.Px(10), h - f.Px(32), w - f.Px(20), f.Px(18));
}

void TFrmAutorunDoc::Open(const DocArray& docs, bool query_auto_run_doc) {
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

std::optional<AutorunSelection::Confirmed> TFrmAutorunDoc::ShowDocSelection(
    DocArray& docs, bool query_auto_run_doc) {
  Open(docs, query_auto_run_doc);
  // Modal: the owner waits while this window is up.
  if (owner_) EnableWindow(owner_, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  running_ = true;
  MSG msg;
  while (running_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (running_) PostQuitMessage(static_cast<int>(msg.wParam));  // WM_QUIT is the main loop's
  running_ = false;
  if (owner_) {
    EnableWindow(owner_, TRUE);
    SetForegroundWindow(owner_);
  }
  ShowWindow(hwnd_, SW_HIDE);
  if (!confirmed_) return std::nullopt;
  return model_.Confirm(docs);
}

void TFrmAutorunDoc::ShowSelection() {
  const std::vector<bool>& selected = model_.selection();
  for (size_t i = 0; i < selected.size(); ++i) {
    SendMessageW(LbSelectDoc.hwnd(), LB_SETSEL, selected[i] ? TRUE : FALSE, static_cast<LPARAM>(i));
  }
}

std::vector<bool> TFrmAutorunDoc::ListSelection() const {
  std::vector<bool> selected(model_.row_count(), false);
  for (size_t i = 0; i < selected.size(); ++i) {
    selected[i] = SendMessageW(LbSelectDoc.hwnd(), LB_GETSEL, i, 0) > 0;
  }
  return selected;
}

void TFrmAutorunDoc::CbSelectAllClick() {
  model_.SetSelectAll(CbSelectAll.Checked());
  ShowSelection();
}

void TFrmAutorunDoc::LbSelectDocClick() {
  model_.ClickRows(ListSelection());
  CbSelectAll.SetChecked(model_.select_all());
  ShowSelection();
}

void TFrmAutorunDoc::LbSelectDocDblClick() {
  const LRESULT row = SendMessageW(LbSelectDoc.hwnd(), LB_GETCARETINDEX, 0, 0);
  if (row < 0 || !docs_ || static_cast<size_t>(row) >= docs_->size() || !open_) return;
  open_((*docs_)[static_cast<size_t>(row)].path);
}

void TFrmAutorunDoc::CbNotQueryClick() { model_.SetNotQuery(CbNotQuery.Checked()); }

void TFrmAutorunDoc::BtnConfirmClick() { End(true); }

void TFrmAutorunDoc::SpeedButton2Click() { End(false); }

void TFrmAutorunDoc::End(bool confirmed) {
  confirmed_ = confirmed;
  running_ = false;
  ShowWindow(hwnd_, SW_HIDE);
}

}  // namespace zd
