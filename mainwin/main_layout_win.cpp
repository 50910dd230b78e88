// The controls of the main window: created once, placed again on every resize.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <algorithm>

#include "mainwin/form_model.h"
#include "mainwin/main_window_win.h"
#include "mainwin/win_util_win.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kHiddenChild = WS_CHILD | WS_CLIPSIBLINGS;
constexpr DWORD kCheck = WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kTree =
    WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_INFOTIP;

// The inner tab strip: fixed tabs, one slice each of the "monitorbtn" picture.
constexpr int kTabWidth = 84;
constexpr int kTabHeight = 26;
constexpr int kSearchRowHeight = 36;
constexpr int kHintHeight = 22;
constexpr int kRightPanelWidth = 180;
constexpr int kFavEditHeight = 72;
constexpr int kFavButtonsWidth = 67;

struct SpeedButton {
  const char* name;
  const char* hint;
  int left, top, width, height;
};
// Flat buttons over the labelled spots of the system page's picture.
constexpr SpeedButton kSystemButtons[] = {
    {"SpeedButton5", "", 8, 14, 98, 25},
    {"SpeedButton6", "", 107, 15, 101, 23},
    {"SpeedButton7", "我的桌面", 210, 14, 87, 23},
    {"SpeedButton8", "垃圾回收站", 299, 14, 105, 24},
    {"SpeedButton9", "控制面板", 7, 44, 98, 24},
    {"SpeedButton23", "历史记录", 106, 44, 94, 24},
    {"SpeedButton22", "收藏夹", 207, 45, 97, 24},
    {"SpeedButton19", "网上邻居", 305, 45, 104, 24},
    {"BtmManageTask", "任务管理器", 7, 74, 96, 25},
    {"SpeedButton17", "开始菜单", 107, 75, 91, 24},
    {"SpeedButton14", "程序", 204, 75, 96, 23},
    {"SpeedButton11", "桌面路径", 302, 75, 108, 24},
    {"SpeedButton16", "启动", 9, 106, 90, 22},
    {"SpeedButton1", "Windows系统路径", 96, 107, 112, 22},
    {"BtnMoreSpecDir", "更多...", 216, 106, 77, 23},
};

}  // namespace

int TFrmMain::Px(int design_pixels) const {
  return static_cast<int>(design_pixels * scale_ + (design_pixels >= 0 ? 0.5 : -0.5));
}

HWND TFrmMain::Make(const char* name, const wchar_t* cls, std::string_view text, DWORD style,
                    HWND parent, int x, int y, int w, int h, DWORD ex_style) {
  UINT id = next_control_id_++;
  HWND hwnd = CreateWindowExW(ex_style, cls, Utf8ToWide(text).c_str(), style, Px(x), Px(y), Px(w),
                              Px(h), parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return nullptr;
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  controls_[name] = hwnd;
  design_rects_[name] = RECT{x, y, x + w, y + h};
  control_ids_[id] = name;
  return hwnd;
}

void TFrmMain::AddHint(HWND control, std::string_view hint) {
  if (!tooltip_ || !control || hint.empty()) return;
  std::wstring text = Utf8ToWide(hint);
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(control);
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = text.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void TFrmMain::CreateControls() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  const int lang = deps_.language_index;
  HWND outer = Make("PageControl1", WC_TABCONTROLW, "",
                    kChild | TCS_OWNERDRAWFIXED | TCS_FOCUSNEVER, hwnd_, 0, 0, 100, 100);
  for (const char* page : {"TabSheet8", "tbDemo"}) {
    std::wstring caption = Utf8ToWide(DesignCaption(page, lang));
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(outer, TCM_INSERTITEMW, SendMessageW(outer, TCM_GETITEMCOUNT, 0, 0),
                 reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(outer, TCM_SETITEMSIZE, 0, MAKELPARAM(Px(96), Px(24)));

  HWND launcher = Make("TabSheet8", kPanelClass, "", kChild | WS_CLIPCHILDREN, hwnd_, 0, 0, 10, 10);
  Make("tbDemo", kPanelClass, "", kHiddenChild | WS_CLIPCHILDREN, hwnd_, 0, 0, 10, 10);
  CreateLauncherPage(launcher);
  // A group box only frames its neighbours: keep it under them, or it paints
  // over the controls it is meant to hold.
  for (const auto& [name, hwnd] : controls_) {
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (lstrcmpiW(cls, L"Button") == 0 &&
        (GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) {
      SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void TFrmMain::CreateLauncherPage(HWND page) {
  const int lang = deps_.language_index;
  // The search row.
  HWND row = Make("ScrollBox5", kPanelClass, "", kChild, page, 0, 0, 100, kSearchRowHeight);
  Make("ShapeSearch", L"STATIC", "", kChild | SS_ETCHEDFRAME, row, 4, 5, 100, 26);
  HWND search =
      Make("EdtSearch", L"EDIT", "", kChild | WS_TABSTOP | ES_AUTOHSCROLL, row, 9, 9, 100, 19);
  SendMessageW(search, EM_SETCUEBANNER, TRUE,
               reinterpret_cast<LPARAM>(Utf8ToWide("请输入你要查找的关键字").c_str()));
  Make("BtnZDSearch", L"BUTTON", DesignCaption("BtnZDSearch", lang), kChild | kButton, row, 0, 5,
       80, 26);
  Make("MnZDAutoRun", L"BUTTON", "开机时启动", kChild | kCheck, row, 0, 8, 100, 20);

  HWND tabs = Make("TVControl", WC_TABCONTROLW, "",
                   kChild | TCS_OWNERDRAWFIXED | TCS_FIXEDWIDTH | TCS_FOCUSNEVER, page, 0,
                   kSearchRowHeight, 100, 100);
  SendMessageW(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(Px(kTabWidth), Px(kTabHeight)));
  SendMessageW(tabs, TCM_SETPADDING, 0, MAKELPARAM(0, 0));
  for (const PageInfo& info : kTVControlPages) {
    if (!info.tab_visible) continue;
    std::wstring caption = Utf8ToWide(info.caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tabs, TCM_INSERTITEMW, SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0),
                 reinterpret_cast<LPARAM>(&item));
  }
  for (int i = 0; i < kTVControlPageCount; ++i) {
    Make(kTVControlPages[i].name, kPanelClass, "", kHiddenChild | WS_CLIPCHILDREN, page, 0, 0, 10,
         10);
  }
  CreateTreePages();
  CreateSystemPage(Control("TabSheet4"));
  CreateFavouritesPage(Control("TabSheet5"));
  // The embedded browser's host; the page stays out of sight until the first load.
  Make("WebBrowser1", kPanelClass, "", kChild, Control("TabSheet2"), 0, 0, 10, 10);
  Make("MmNote", L"EDIT", "",
       kChild | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP,
       Control("TabSheet3"), 0, 0, 10, 10, WS_EX_CLIENTEDGE);
  CreateSettingsPage(Control("TabSheet6"));

  HWND right = Make("PnlRight", kPanelClass, "", kChild, page, 0, 0, kRightPanelWidth, 100);
  // Room for the vendor's button panel.
  Make("PnlVendor", kPanelClass, "", kChild, right, 9, 100, kRightPanelWidth - 18, 200);
  Make("PnlHint", L"STATIC", "", kChild | SS_LEFT | SS_CENTERIMAGE | SS_PATHELLIPSIS, page, 0, 0,
       100, kHintHeight, WS_EX_STATICEDGE);
  CreateHiddenControls(page);
}

void TFrmMain::CreateTreePages() {
  const std::pair<const char*, const char*> trees[] = {
      {"TVDoc", "TabSheet7"}, {"TVApp", "TabSheet9"}, {"TVPath", "TabSheet10"}};
  for (const auto& [tree, page] : trees) {
    HWND hwnd = Make(tree, WC_TREEVIEWW, "", kChild | kTree, Control(page), 0, 0, 10, 10);
    SendMessageW(hwnd, TVM_SETEXTENDEDSTYLE, TVS_EX_DOUBLEBUFFER, TVS_EX_DOUBLEBUFFER);
    SendMessageW(hwnd, TVM_SETBKCOLOR, 0, kFormColor);
  }
}

void TFrmMain::CreateSystemPage(HWND page) {
  Make("ImgZDPCControl", L"STATIC", "", kChild | SS_OWNERDRAW, page, 0, 0, 760, 470);
  for (const SpeedButton& b : kSystemButtons) {
    HWND button =
        Make(b.name, L"BUTTON", "", kChild | BS_OWNERDRAW, page, b.left, b.top, b.width, b.height);
    AddHint(button, b.hint);
  }
  // Never shown; kept so the page has every button of its design.
  for (const char* name : {"SpeedButton2", "SpeedButton3", "SpeedButton4", "SpeedButton10",
                           "SpeedButton12", "SpeedButton13", "SpeedButton15"}) {
    Make(name, L"BUTTON", "", kHiddenChild | BS_OWNERDRAW, page, 0, 0, 10, 10);
  }
}

void TFrmMain::CreateFavouritesPage(HWND page) {
  HWND bar =
      Make("PnlNewFav", kPanelClass, "", kChild | WS_CLIPCHILDREN, page, 0, 0, 100, kFavEditHeight);
  Make("GbZDFavEdit", L"BUTTON", "收藏夹编辑", kChild | BS_GROUPBOX, bar, 2, 0, 100, 70);
  Make("LblZDFavName", L"STATIC", "名称", kChild | SS_RIGHT, bar, 6, 22, 38, 18);
  Make("EdtNewFavDisplay", L"EDIT", "", kChild | WS_TABSTOP | ES_AUTOHSCROLL, bar, 48, 18, 100, 21,
       WS_EX_CLIENTEDGE);
  Make("LblZDFavPath", L"STATIC", "路径", kChild | SS_RIGHT, bar, 6, 47, 38, 18);
  Make("EdtNewFavPath", L"EDIT", "", kChild | WS_TABSTOP | ES_AUTOHSCROLL, bar, 48, 43, 100, 21,
       WS_EX_CLIENTEDGE);
  for (const char* edit : {"EdtNewFavDisplay", "EdtNewFavPath"}) {
    SendMessageW(Control(edit), WM_SETFONT, reinterpret_cast<WPARAM>(fav_edit_font_.get()), FALSE);
  }
  HWND buttons = Make("PnlFavButtons", kPanelClass, "", kChild, bar, 0, 14, kFavButtonsWidth, 52);
  Make("BtnZDAddToFav", L"BUTTON", "", kChild | kButton, buttons, 4, 0, 59, 25);
  Make("BtnZDUpdateFav", L"BUTTON", "", kChild | kButton, buttons, 4, 27, 59, 25);

  Make("GbZDFavList", L"BUTTON", "收藏夹", kChild | BS_GROUPBOX, page, 0, kFavEditHeight, 100, 100);
  HWND list =
      Make("LbMyLove", L"LISTBOX", "",
           kChild | WS_VSCROLL | WS_TABSTOP | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
           page, 0, 0, 100, 100);
  AddHint(list, "鼠标右键有更多功能");
  HWND check = Make("CbFavEdit", L"BUTTON", "显示收藏夹编辑栏", kChild | kCheck, page, 80,
                    kFavEditHeight, 150, 16);
  SendMessageW(check, WM_SETFONT, reinterpret_cast<WPARAM>(small_font_.get()), FALSE);
  SetChecked(check, true);
}

void TFrmMain::CreateSettingsPage(HWND page) {
  const int lang = deps_.language_index;
  Make("CbZDOnTop", L"BUTTON", "窗体总在最上方", kChild | kCheck, page, 16, 10, 220, 20);

  Make("GBZDNavSet", L"BUTTON", "导航已打开文档", kChild | BS_GROUPBOX, page, 8, 38, 380, 86);
  Make("CbZDRefresh", L"BUTTON", "刷新", kChild | kCheck, page, 20, 60, 80, 20);
  HWND bar =
      Make("SbCheckTime", L"SCROLLBAR", "", kChild | WS_TABSTOP | SBS_HORZ, page, 104, 61, 270, 18);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 60;
  si.nMax = 600;
  si.nPage = 1;
  si.nPos = 120;
  SetScrollInfo(bar, SB_CTL, &si, FALSE);
  Make("LbZDCheckTime", L"STATIC", "每15秒刷新一次", kChild, page, 20, 92, 350, 20);

  Make("GbZDAutoRundDoc", L"BUTTON", "设置启动文档", kChild | BS_GROUPBOX, page, 8, 134, 380, 86);
  HWND set = Make("BtnZDAutoRunSet", L"BUTTON", DesignCaption("BtnZDAutoRunSet", lang),
                  kChild | kButton, page, 20, 154, 150, 26);
  AddHint(set, "启动文档设置");
  Make("CbQueryAutoRunDoc", L"BUTTON", "自动启动文档时询问", kChild | kCheck, page, 20, 190, 170,
       20);
  Make("CbAutoRunDocs", L"BUTTON", "自动启动历史文档", kChild | kCheck, page, 200, 190, 170, 20);

  const char* column[] = {"BtnZDDeleteAllDocs", "BtnZDPCStart", "BtnAbout", "BtnHelp"};
  for (int i = 0; i < 4; ++i) {
    Make(column[i], L"BUTTON", DesignCaption(column[i], lang), kChild | kButton, page, 410,
         44 + 36 * i, 170, 28);
  }
  AddHint(Control("BtnHelp"), "帮助文档");

  Make("BtnFilter", L"BUTTON", DesignCaption("BtnFilter", lang), kHiddenChild | kButton, page, 410,
       200, 120, 26);
  Make("BtnDocDisplay", L"BUTTON", DesignCaption("BtnDocDisplay", lang), kHiddenChild | kButton,
       page, 410, 232, 120, 26);
  Make("RgAutorOpenType", L"BUTTON", "启动后自动打开", kHiddenChild | BS_GROUPBOX, page, 8, 228,
       380, 96);
  const char* items[] = {"上一次所有文档", "收藏中的文档", "所有历史文档"};
  for (int i = 0; i < 3; ++i) {
    std::string name = "RgAutorOpenType." + std::to_string(i);
    Make(name.c_str(), L"BUTTON", items[i],
         kHiddenChild | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), page, 20, 248 + 22 * i, 300,
         20);
  }
}

void TFrmMain::CreateHiddenControls(HWND page) {
  const int lang = deps_.language_index;
  Make("ListBox1", L"LISTBOX", "", kHiddenChild | LBS_NOINTEGRALHEIGHT, page, 0, 0, 100, 100);
  Make("LbAutoRun", L"LISTBOX", "", kHiddenChild | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT, page, 0,
       0, 100, 100);
  Make("LbSearchResult", L"LISTBOX", "", kHiddenChild | LBS_NOINTEGRALHEIGHT, page, 0, 0, 100, 100);
  Make("GroupBox1", L"BUTTON", DesignCaption("GroupBox1", lang), kHiddenChild | BS_GROUPBOX, page,
       0, 0, 200, 200);
  Make("TVDocs", WC_TREEVIEWW, "", kHiddenChild | kTree, page, 4, 16, 190, 180);
  Make("ProgressBar1", PROGRESS_CLASSW, "", kHiddenChild, page, 0, 0, 200, 16);
  Make("SbNote", kPanelClass, "", kHiddenChild, page, 0, 0, 100, 100);
  HWND adv = Make("ScrollBox8", kPanelClass, "", kHiddenChild, page, 0, 0, 120, 30);
  Make("CbAdvSet", L"BUTTON", DesignCaption("CbAdvSet", lang), kChild | kCheck, adv, 4, 4, 110, 20);
  HWND relate = Make("SbRelate", kPanelClass, "", kHiddenChild, page, 0, 0, 120, 100);
  Make("LbRelation", L"LISTBOX", "", kChild | LBS_NOINTEGRALHEIGHT, relate, 0, 0, 120, 100);
  for (const char* name :
       {"BtnZDStart", "BtnAddToQuickLaunch", "Button1", "Button3", "Button4", "Button5"}) {
    Make(name, L"BUTTON", DesignCaption(name, lang), kHiddenChild | kButton, page, 0, 0, 90, 26);
  }
}

void TFrmMain::LayoutControls() {
  RECT client;
  GetClientRect(hwnd_, &client);
  const int width = client.right, height = client.bottom;
  auto place = [](HWND hwnd, int x, int y, int w, int h) {
    if (hwnd) MoveWindow(hwnd, x, y, std::max(w, 0), std::max(h, 0), TRUE);
  };
  HWND outer = Control("PageControl1");
  place(outer, 0, 0, width, height);
  RECT display = {0, 0, width, height};
  SendMessageW(outer, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const int pw = display.right - display.left, ph = display.bottom - display.top;
  place(Control("TabSheet8"), display.left, display.top, pw, ph);
  place(Control("tbDemo"), display.left, display.top, pw, ph);
  // Pages lie over their tab control; later siblings start below it.
  for (const char* page : {"TabSheet8", "tbDemo"}) {
    SetWindowPos(Control(page), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  // Search row, hint bar, right panel, and the inner pages in between.
  const int row_h = Px(kSearchRowHeight), hint_h = Px(kHintHeight), right_w = Px(kRightPanelWidth);
  place(Control("ScrollBox5"), 0, 0, pw, row_h);
  place(Control("ShapeSearch"), Px(4), Px(5), pw - Px(200), Px(26));
  place(Control("EdtSearch"), Px(9), Px(9), pw - Px(210), Px(19));
  place(Control("BtnZDSearch"), pw - Px(190), Px(5), Px(80), Px(26));
  place(Control("MnZDAutoRun"), pw - Px(104), Px(8), Px(100), Px(20));
  place(Control("PnlHint"), 0, ph - hint_h, pw, hint_h);
  place(Control("PnlRight"), pw - right_w, row_h, right_w, ph - row_h - hint_h);
  HWND tabs = Control("TVControl");
  const int tw = pw - right_w, th = ph - row_h - hint_h;
  place(tabs, 0, row_h, tw, th);
  RECT inner = {0, 0, tw, th};
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&inner));
  const int iw = inner.right - inner.left, ih = inner.bottom - inner.top;
  for (const PageInfo& info : kTVControlPages) {
    HWND sheet = Control(info.name);
    place(sheet, inner.left, row_h + inner.top, iw, ih);
    SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (const char* tree : {"TVDoc", "TVApp", "TVPath"}) place(Control(tree), 0, 0, iw, ih);
  place(Control("MmNote"), 0, 0, iw, ih);
  RECT browser;
  GetWindowRect(Control("WebBrowser1"), &browser);
  MapWindowPoints(nullptr, Control("TabSheet2"), reinterpret_cast<POINT*>(&browser), 2);
  place(Control("WebBrowser1"), 0, browser.top < 0 ? browser.top : 0, iw, ih);
  place(Control("ImgZDPCControl"), 0, 0, iw, ih);

  // Favourites: the edit bar on top (when shown), the list below it.
  const bool bar_visible = (GetWindowLongPtrW(Control("PnlNewFav"), GWL_STYLE) & WS_VISIBLE) != 0;
  const int bar_h = bar_visible ? Px(kFavEditHeight) : 0;
  place(Control("PnlNewFav"), 0, 0, iw, Px(kFavEditHeight));
  place(Control("GbZDFavEdit"), Px(2), 0, iw - Px(4), Px(kFavEditHeight) - Px(2));
  const int buttons_left = iw - Px(kFavButtonsWidth) - Px(8);
  place(Control("PnlFavButtons"), buttons_left, Px(14), Px(kFavButtonsWidth), Px(54));
  FormResize();
  place(Control("GbZDFavList"), Px(2), bar_h, iw - Px(4), ih - bar_h - Px(2));
  place(Control("LbMyLove"), Px(8), bar_h + Px(20), iw - Px(16), ih - bar_h - Px(28));
  place(Control("CbFavEdit"), Px(80), bar_h, Px(150), Px(16));
  SetWindowPos(Control("CbFavEdit"), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TFrmMain::FormResize() {
  // The name and path fields follow the window's width, but stop short of
  // the two buttons at the bar's right edge so nothing is hidden under them.
  RECT window;
  GetWindowRect(hwnd_, &window);
  RECT buttons;
  GetWindowRect(Control("PnlFavButtons"), &buttons);
  MapWindowPoints(nullptr, Control("PnlNewFav"), reinterpret_cast<POINT*>(&buttons), 2);
  int width = (window.right - window.left) - Px(128);
  width = std::min<int>(width, buttons.left - Px(4) - Px(48));
  for (const char* edit : {"EdtNewFavDisplay", "EdtNewFavPath"}) {
    RECT r;
    HWND hwnd = Control(edit);
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, Control("PnlNewFav"), reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(hwnd, r.left, r.top, std::max(width, 0), r.bottom - r.top, TRUE);
  }
}

}  // namespace zd
