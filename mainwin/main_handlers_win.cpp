// The main window's menus and the handlers of its controls.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>

#include "mainwin/form_model.h"
#include "mainwin/main_window_win.h"
#include "mainwin/win_util_win.h"
#include "platform/errors.h"
#include "platform/wide_win.h"
#include "store/AppParams.h"
#include "store/startup_load.h"

namespace zd {
namespace {

constexpr UINT kFirstMenuCommand = 1000;
constexpr int kTabWidth = 84;
constexpr int kTabHeight = 26;

// Files dropped on the favourites list arrive at the list box itself.
LRESULT CALLBACK FavouritesDropProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR ref) {
  if (msg == WM_DROPFILES) {
    HWND root = reinterpret_cast<HWND>(ref);
    SendMessageW(root, WM_DROPFILES, wp, lp);
    return 0;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

void TFrmMain::CreateMenus() {
  menus_ = BuildMainMenus();
  UINT next = kFirstMenuCommand;
  std::function<void(HMENU, const std::vector<MenuItem>&)> fill =
      [&](HMENU menu, const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items) {
          UINT id = 0;
          if (!item.name.empty() && !item.IsSeparator()) {
            id = next++;
            menu_commands_[item.name] = id;
            menu_ids_[id] = item.name;
          }
          if (!item.visible) continue;  // hidden entries exist but are not shown
          std::wstring caption = Utf8ToWide(item.caption);
          if (item.IsSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
          } else if (item.IsSubmenu()) {
            HMENU sub = CreatePopupMenu();
            fill(sub, item.items);
            MENUITEMINFOW mii{};
            mii.cbSize = sizeof(mii);
            mii.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_ID;
            mii.wID = id;
            mii.hSubMenu = sub;
            mii.dwTypeData = caption.data();
            InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mii);
          } else {
            AppendMenuW(menu, MF_STRING, id, caption.c_str());
          }
        }
      };
  for (const PopupMenu& popup : menus_) {
    HMENU menu = CreatePopupMenu();
    fill(menu, popup.items);
    popup_menus_[popup.name] = UniqueMenu(menu);
  }
  if (HMENU fav = Menu("PmMyFav")) {
    CheckMenuItem(fav, MenuCommand("MnShowFavEdit"), MF_BYCOMMAND | MF_CHECKED);
  }

  clicks_["CbZDOnTop"] = [this] { CbZDOnTopClick(); };
  clicks_["CbZDRefresh"] = [this] { CbZDRefreshClick(); };
  clicks_["CbAutoRunDocs"] = [this] { CbAutoRunDocsClick(); };
  clicks_["CbQueryAutoRunDoc"] = [this] { CbQueryAutoRunDocClick(); };
  clicks_["CbFavEdit"] = [this] { CbFavEditClick(); };
  clicks_["MnShowFavEdit"] = [this] { MnShowFavEditClick(); };
  clicks_["MnZDAutoRun"] = [this] { MnZDAutoRunClick(); };
  clicks_["MnZDExit"] = [this] { MnZDExitClick(); };
  clicks_["MnOpenZapdock"] = [this] { ShowAtBottomRight(); };
  clicks_["MnRefresh"] = [this] { tracker_->CheckAllDocs(); };
  clicks_["BtnMoreSpecDir"] = [this] {
    RECT r;
    GetWindowRect(Control("BtnMoreSpecDir"), &r);
    PopupAt("PmMoreSpecialDir", POINT{r.left, r.bottom});
  };
  SetWindowSubclass(Control("LbMyLove"), FavouritesDropProc, 1, reinterpret_cast<DWORD_PTR>(hwnd_));
}

void TFrmMain::Click(std::string_view name) {
  HWND control = Control(name);
  if (control) {
    // A check box clicked by code flips like one clicked by the user.
    LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    if (style == BS_AUTOCHECKBOX) SetChecked(control, !IsChecked(control));
  }
  auto it = clicks_.find(name);
  if (it != clicks_.end()) it->second();
}

void TFrmMain::OnCommand(UINT id, UINT code, HWND control) {
  if (!control) {
    auto menu = menu_ids_.find(id);
    if (menu != menu_ids_.end()) {
      auto it = clicks_.find(menu->second);
      if (it != clicks_.end()) it->second();
    }
    return;
  }
  if (code != BN_CLICKED) return;
  auto name = control_ids_.find(id);
  if (name == control_ids_.end()) return;
  auto it = clicks_.find(name->second);
  if (it != clicks_.end()) it->second();
}

void TFrmMain::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType == ODT_TAB) {
    if (item.hwndItem == Control("TVControl")) TVAllDocsDrawTab(item);
    if (item.hwndItem == Control("PageControl1")) PageControl1DrawTab(item);
    return;
  }
  if (item.hwndItem == Control("ImgZDPCControl") || item.CtlType == ODT_BUTTON) {
    // The system page is one picture; its flat buttons show the part of the
    // picture they cover, sunken while pressed, framed while focused.
    HWND page = Control("TabSheet4");
    RECT rc = item.rcItem;
    if (system_picture_) {
      BITMAP bm{};
      GetObjectW(system_picture_.get(), sizeof(bm), &bm);
      POINT origin = {0, 0};
      MapWindowPoints(item.hwndItem, page, &origin, 1);
      HDC mem = CreateCompatibleDC(item.hDC);
      HGDIOBJ old = SelectObject(mem, system_picture_.get());
      SetStretchBltMode(item.hDC, HALFTONE);
      StretchBlt(item.hDC, -origin.x, -origin.y, Px(bm.bmWidth), Px(bm.bmHeight), mem, 0, 0,
                 bm.bmWidth, bm.bmHeight, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
    } else if (item.hwndItem == Control("ImgZDPCControl")) {
      HBRUSH brush = CreateSolidBrush(kFormColor);
      FillRect(item.hDC, &rc, brush);
      DeleteObject(brush);
    }
    if (item.CtlType == ODT_BUTTON) {
      if (item.itemState & ODS_SELECTED) DrawEdge(item.hDC, &rc, BDR_SUNKENOUTER, BF_RECT);
      if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &rc);
    }
  }
}

void TFrmMain::TVAllDocsDrawTab(const DRAWITEMSTRUCT& item) {
  // The strip is one picture; each tab shows its own slice of it, taken from
  // the picture's lower band while the tab is selected.
  if (!tab_strip_) return;
  int tab = static_cast<int>(item.itemID);
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC mem = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(mem, tab_strip_.get());
  SetStretchBltMode(item.hDC, HALFTONE);
  const RECT& rc = item.rcItem;
  StretchBlt(item.hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem,
             tab * kTabWidth, selected ? kTabHeight : 0, kTabWidth, kTabHeight, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

void TFrmMain::PageControl1DrawTab(const DRAWITEMSTRUCT& item) {
  HWND tabs = item.hwndItem;
  wchar_t text[128] = {};
  TCITEMW tci{};
  tci.mask = TCIF_TEXT;
  tci.pszText = text;
  tci.cchTextMax = ARRAYSIZE(text);
  SendMessageW(tabs, TCM_GETITEMW, item.itemID, reinterpret_cast<LPARAM>(&tci));
  HBRUSH brush = CreateSolidBrush(kFormColor);
  RECT rc = item.rcItem;
  FillRect(item.hDC, &rc, brush);
  DeleteObject(brush);
  HGDIOBJ old = SelectObject(item.hDC, tab_font_.get());
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
  DrawTextW(item.hDC, text, -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  SelectObject(item.hDC, old);
}

void TFrmMain::PageControl1Change() {
  int tab = static_cast<int>(SendMessageW(Control("PageControl1"), TCM_GETCURSEL, 0, 0));
  ShowWindow(Control("TabSheet8"), tab == 0 ? SW_SHOW : SW_HIDE);
  ShowWindow(Control("tbDemo"), tab == 1 ? SW_SHOW : SW_HIDE);
}

int TFrmMain::ActivePageIndex() const { return active_page_; }

void TFrmMain::SetActivePage(int page_index) { ShowPageOfTVControl(ClampPageIndex(page_index)); }

void TFrmMain::ShowPageOfTVControl(int page_index) {
  active_page_ = page_index;
  int tab = TabIndexOfPage(page_index);
  if (tab >= 0) SendMessageW(Control("TVControl"), TCM_SETCURSEL, tab, 0);
  for (int i = 0; i < kTVControlPageCount; ++i) {
    ShowWindow(Control(kTVControlPages[i].name), i == page_index ? SW_SHOW : SW_HIDE);
  }
}

void TFrmMain::TVControlChange() {
  int tab = static_cast<int>(SendMessageW(Control("TVControl"), TCM_GETCURSEL, 0, 0));
  int page = PageIndexOfTab(tab);
  if (page >= 0) ShowPageOfTVControl(page);
  if (tab >= 0 && tab <= 2) tracker_->CheckAllDocs();
}

void TFrmMain::CbZDOnTopClick() {
  // Not saved: every start begins as a normal window.
  SetWindowPos(hwnd_, IsChecked(Control("CbZDOnTop")) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TFrmMain::CbZDRefreshClick() {
  bool on = IsChecked(Control("CbZDRefresh"));
  if (on) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    GetScrollInfo(Control("SbCheckTime"), SB_CTL, &si);
    SetTimer(hwnd_, kTimerCheckDocs, static_cast<UINT>(si.nPos) * 1000, nullptr);
  } else {
    KillTimer(hwnd_, kTimerCheckDocs);
  }
  if (store_.settings) store_.settings->WriteBool(kSectionDefault, "CbRefresh", on);
}

void TFrmMain::UpdateIntervalLabel(int seconds) {
  SetWindowTextUtf8(Control("LbZDCheckTime"),
                    lang::FormatText(lang::Texts().IntervalFormat, seconds));
}

void TFrmMain::SbCheckTimeChange(int position) {
  position = ClampCheckInterval(position);
  UpdateIntervalLabel(position);
  if (IsChecked(Control("CbZDRefresh"))) {
    SetTimer(hwnd_, kTimerCheckDocs, static_cast<UINT>(position) * 1000, nullptr);
  }
  if (store_.settings) store_.settings->WriteInteger(kSectionDefault, "CheckDocInterval", position);
}

void TFrmMain::CbAutoRunDocsClick() {
  if (store_.settings) {
    store_.settings->WriteBool(kSectionDefault, "RunSelectDoc",
                               IsChecked(Control("CbAutoRunDocs")));
  }
}

void TFrmMain::CbQueryAutoRunDocClick() {
  if (store_.settings) {
    store_.settings->WriteBool(kSectionDefault, "QueryAutoRunDoc",
                               IsChecked(Control("CbQueryAutoRunDoc")));
  }
}

void TFrmMain::SetFavEditVisible(bool visible) {
  ShowWindow(Control("PnlNewFav"), visible ? SW_SHOW : SW_HIDE);
  LayoutControls();
}

void TFrmMain::CbFavEditClick() {
  bool visible = IsChecked(Control("CbFavEdit"));
  CheckMenuItem(Menu("PmMyFav"), MenuCommand("MnShowFavEdit"),
                MF_BYCOMMAND | (visible ? MF_CHECKED : MF_UNCHECKED));
  SetFavEditVisible(visible);
}

void TFrmMain::MnShowFavEditClick() {
  HMENU menu = Menu("PmMyFav");
  UINT id = MenuCommand("MnShowFavEdit");
  bool visible = (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) == 0;
  CheckMenuItem(menu, id, MF_BYCOMMAND | (visible ? MF_CHECKED : MF_UNCHECKED));
  SetChecked(Control("CbFavEdit"), visible);
  SetFavEditVisible(visible);
}

void TFrmMain::MnZDAutoRunClick() {
  if (!deps_.registry) return;
  if (IsChecked(Control("MnZDAutoRun"))) {
    deps_.registry->WriteString(RegRoot::kLocalMachine, kRunKey, ProductName,
                                "\"" + deps_.exe_path + "\"");
  } else {
    deps_.registry->DeleteValue(RegRoot::kLocalMachine, kRunKey, ProductName);
  }
}

void TFrmMain::LbMyLoveDropFiles(HDROP drop) {
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    std::string trimmed = Trim(WideToUtf8(path));
    AddMyLove(store_.MyLoveList, trimmed, trimmed);
  }
  DragFinish(drop);
}

void TFrmMain::TimerFirstRunTimer() {
  KillTimer(hwnd_, kTimerFirstRun);
  if (first_load_done_) return;
  first_load_done_ = true;
  HWND progress = Control("ProgressBar1");
  ShowWindow(progress, SW_SHOW);
  SendMessageW(progress, PBM_SETSTEP, 25, 0);
  SendMessageW(progress, PBM_STEPIT, 0, 0);
  // The whole load writes the settings file once, at its end.
  std::optional<SettingsFile::Hold> hold;
  if (store_.settings) hold.emplace(*store_.settings);
  try {
    ListFileLoad(store_.MyLoveList, *store_.files, *store_.codec, store_.ConfigDir + kFavFileName);
    if (store_.settings) {
      DefaultSettings d = ReadDefaultSettings(*store_.settings);
      CheckMenuItem(Menu("PmMyFav"), MenuCommand("MnShowFavEdit"),
                    MF_BYCOMMAND | (d.show_fav_edit ? MF_CHECKED : MF_UNCHECKED));
      SetChecked(Control("CbFavEdit"), d.show_fav_edit);
      CbFavEditClick();
      for (TreeModel* t : {&tv_docs_, &tv_app_, &tv_path_, &tv_doc_}) t->Clear();
      PumpMessages();
      {
        // Re-registering the history inserts thousands of nodes: draw once, after.
        const char* views[] = {"TVDocs", "TVDoc", "TVApp", "TVPath"};
        for (const char* view : views) SendMessageW(Control(view), WM_SETREDRAW, FALSE, 0);
        tracker_->LoadHistory(*store_.settings, d.need_remove_url);
        for (const char* view : views) {
          SendMessageW(Control(view), WM_SETREDRAW, TRUE, 0);
          InvalidateRect(Control(view), nullptr, TRUE);
        }
      }
      // Setting the check boxes runs their handlers, which write the keys back.
      SetChecked(Control("CbAutoRunDocs"), d.run_select_doc);
      SetChecked(Control("CbZDRefresh"), d.refresh);
      SetChecked(Control("CbQueryAutoRunDoc"), d.query_auto_run_doc);
      SetScrollPos(Control("SbCheckTime"), SB_CTL, d.check_interval, TRUE);
      CbAutoRunDocsClick();
      CbZDRefreshClick();
      CbQueryAutoRunDocClick();
      ShowPageOfTVControl(ClampPageIndex(d.control_index));
      UpdateIntervalLabel(d.check_interval);
    }
  }
  ZD_CATCH_LOG(__func__)
  try {
    ListFileLoad(store_.MyRunList, *store_.files, *store_.codec, store_.ConfigDir + kRunFileName);
    SendMessageW(progress, PBM_STEPIT, 0, 0);
    ListFileLoad(store_.MyRecentList, *store_.files, *store_.codec,
                 store_.ConfigDir + kRecentFileName);
    SendMessageW(progress, PBM_STEPIT, 0, 0);
    SendMessageW(progress, PBM_STEPIT, 0, 0);
  }
  ZD_CATCH_LOG(__func__)
  hold.reset();
  SendMessageW(progress, PBM_SETPOS, 0, 0);
  ShowWindow(progress, SW_HIDE);
  // A refresh asked for during the load runs now.
  tracker_->HistoryLoaded();
}

}  // namespace zd
