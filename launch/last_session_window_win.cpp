#include "launch/last_session_window_win.h"

#include <commctrl.h>

#include "lang/captions.h"
#include "lang/lang_tables.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

constexpr wchar_t kClassName[] = L"ZapdockLastSession";
constexpr int kWidth = 560;
constexpr int kHeight = 400;
constexpr int kRowHeight = 20;
constexpr UINT_PTR kSubclassId = 9;

}  // namespace

LastSessionWindow::~LastSessionWindow() {
  if (LbSessionDocs) RemoveWindowSubclass(LbSessionDocs.hwnd(), ListProc, kSubclassId);
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK LastSessionWindow::ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                             DWORD_PTR self) {
  const LRESULT result = DefSubclassProc(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_LBUTTONDOWN:
    case LB_SETSEL:
      reinterpret_cast<LastSessionWindow*>(self)->LbSessionDocsChange();
      break;
    default:
      break;
  }
  return result;
}

std::unique_ptr<LastSessionWindow> LastSessionWindow::Create(HWND owner, int language) {
  std::unique_ptr<LastSessionWindow> window(new LastSessionWindow(owner, language));
  return Made(std::move(window),
              CreateArgs::Dialog(kClassName,
                                 std::string(lang::CaptionOf(Ui::MnRestoreLastSession, language)),
                                 owner, kWidth, kHeight, /*sizeable=*/true));
}

void LastSessionWindow::OnCreate() {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  ControlFactory& f = factory_;
  auto caption = [this](Ui part) { return lang::CaptionOf(part, language_); };
  f.Make(LblSessionQuestion, L"STATIC", "", kChild, hwnd_, 10, 8, 530, 20);
  f.Make(LbSessionDocs, L"LISTBOX", caption(Ui::LbSessionDocs),
         kChild | WS_TABSTOP | WS_VSCROLL | LBS_MULTIPLESEL | LBS_NOTIFY | LBS_OWNERDRAWFIXED |
             LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
         hwnd_, 10, 32, 530, 290, WS_EX_CLIENTEDGE);
  SendMessageW(LbSessionDocs.hwnd(), LB_SETITEMHEIGHT, 0, f.Px(kRowHeight));
  f.Make(BtnOpenSession, L"BUTTON", caption(Ui::BtnOpenSession),
         kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, hwnd_, 370, 330, 80, 26);
  f.Make(BtnCancelSession, L"BUTTON", caption(Ui::BtnCancelSession),
         kChild | WS_TABSTOP | BS_PUSHBUTTON, hwnd_, 460, 330, 80, 26);
  // A tick changed by a key or a click: Wine's list sends no LBN_SELCHANGE
  // for a multiple selection, so the list says so itself.
  SetWindowSubclass(LbSessionDocs.hwnd(), ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  OnClick(BtnOpenSession, [this] { BtnOpenSessionClick(); });
  OnClick(BtnCancelSession, [this] { BtnCancelSessionClick(); });
}

void LastSessionWindow::Layout() {
  const auto [w, h] = ClientSize();
  LblSessionQuestion.Place(Px(10), Px(8), w - Px(20), Px(20));
  LbSessionDocs.Place(Px(10), Px(32), w - Px(20), h - Px(32 + 44));
  BtnOpenSession.Place(w - Px(180), h - Px(36), Px(80), Px(26));
  BtnCancelSession.Place(w - Px(90), h - Px(36), Px(80), Px(26));
  SendMessageW(LbSessionDocs.hwnd(), LB_SETITEMHEIGHT, 0, Px(kRowHeight));
}

LRESULT LastSessionWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (item.hwndItem != LbSessionDocs.hwnd()) break;
      LbSessionDocsDrawItem(item);
      return TRUE;
    }
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lp) == LbSessionDocs.hwnd()) {
        if (HIWORD(wp) == LBN_SELCHANGE) LbSessionDocsChange();
        return 0;
      }
      // Enter and Escape, as the modal loop's dialog keys send them.
      if (!lp && LOWORD(wp) == IDOK && IsWindowEnabled(BtnOpenSession.hwnd())) End(true);
      if (!lp && LOWORD(wp) == IDCANCEL) End(false);
      break;
    case WM_CLOSE:
      End(false);  // the frame's close opens nothing
      return 0;
  }
  return Window::OnMessage(msg, wp, lp);
}

void LastSessionWindow::Open(const std::vector<SessionDoc>& docs) {
  docs_ = docs;
  const HWND list = LbSessionDocs.hwnd();
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const SessionDoc& doc : docs_) {
    SendMessageW(list, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Utf8ToWide(SessionRowText(doc)).c_str()));
  }
  // Everything that was open is offered; a tick taken off leaves a row out.
  SendMessageW(list, LB_SETSEL, TRUE, -1);
  SendMessageW(list, LB_SETCARETINDEX, 0, FALSE);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  LbSessionDocsChange();
  confirmed_ = false;
}

std::optional<std::vector<std::string>> LastSessionWindow::Ask(
    const std::vector<SessionDoc>& docs) {
  Open(docs);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(LbSessionDocs.hwnd());
  RunModal(owner_);
  ShowWindow(hwnd_, SW_HIDE);
  if (!confirmed_) return std::nullopt;
  return Ticked();
}

std::vector<std::string> LastSessionWindow::Ticked() const {
  std::vector<std::string> paths;
  for (size_t i = 0; i < docs_.size(); ++i) {
    if (SendMessageW(LbSessionDocs.hwnd(), LB_GETSEL, i, 0) > 0) paths.push_back(docs_[i].path);
  }
  return paths;
}

void LastSessionWindow::LbSessionDocsChange() {
  const auto ticked = static_cast<int>(Ticked().size());
  LblSessionQuestion.SetText(lang::FormatText(lang::Texts().LastSessionQuestion, ticked));
  EnableWindow(BtnOpenSession.hwnd(), ticked > 0);
}

void LastSessionWindow::LbSessionDocsDrawItem(const DRAWITEMSTRUCT& item) const {
  RECT rc = item.rcItem;
  FillRect(item.hDC, &rc, GetSysColorBrush(COLOR_WINDOW));
  if (item.itemID < docs_.size()) {
    const SessionDoc& doc = docs_[item.itemID];
    const int side = rc.bottom - rc.top - Px(4);
    RECT box = {rc.left + Px(4), rc.top + Px(2), rc.left + Px(4) + side, rc.top + Px(2) + side};
    const bool ticked = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (ticked ? DFCS_CHECKED : 0));
    SetBkMode(item.hDC, TRANSPARENT);
    RECT text = rc;
    text.left = box.right + Px(6);
    const std::wstring name = Utf8ToWide(doc.name.empty() ? doc.path : doc.name);
    SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
    RECT measured = text;
    DrawTextW(item.hDC, name.c_str(), -1, &measured,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_CALCRECT);
    DrawTextW(item.hDC, name.c_str(), -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    // The path, quieter, after the name.
    if (doc.name != doc.path && measured.right + Px(12) < text.right) {
      text.left = measured.right + Px(12);
      const std::wstring path = Utf8ToWide(doc.path);
      SetTextColor(item.hDC, GetSysColor(COLOR_GRAYTEXT));
      DrawTextW(item.hDC, path.c_str(), -1, &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    }
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &rc);
}

void LastSessionWindow::BtnOpenSessionClick() { End(true); }

void LastSessionWindow::BtnCancelSessionClick() { End(false); }

void LastSessionWindow::End(bool confirmed) {
  confirmed_ = confirmed;
  ShowWindow(hwnd_, SW_HIDE);
}

}  // namespace zd
