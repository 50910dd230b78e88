#include "online/vendor_panel_win.h"

#include "platform/resources_win.h"
#include "platform/wide_win.h"
#include "platform/win_util_win.h"

namespace zd {
namespace {

constexpr int kButton = 32;  // square buttons
constexpr int kGap = 3;

}  // namespace

std::unique_ptr<VendorPanel> VendorPanel::Create(HWND parent, int x, int y, Deps deps) {
  std::unique_ptr<VendorPanel> panel(new VendorPanel(std::move(deps)));
  CreateArgs args = CreateArgs::Child(L"ZapdockVendorPanel", parent, Place::kAt);
  args.x = x;
  args.y = y;
  args.width = kButton;
  args.height = 2 * kButton + kGap;
  return Made(std::move(panel), args);
}

VendorPanel::~VendorPanel() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void VendorPanel::OnCreate() {
  help_glyph_ = LoadBmpResource(L"BtnHelp");
  exit_glyph_ = LoadBmpResource(L"BtnExit");
  constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
  ControlFactory& f = factory_;
  // Drawn as pictures; their hints are their names for screen readers and other programs.
  f.Make(BtnHelp, L"BUTTON", deps_.help_hint, kStyle, hwnd_, 0, 0, kButton, kButton);
  f.Make(BtnExit, L"BUTTON", deps_.exit_hint, kStyle, hwnd_, 0, kButton + kGap, kButton, kButton);
  f.CreateTooltip(hwnd_);
  f.AddHint(BtnHelp, deps_.help_hint);
  f.AddHint(BtnExit, deps_.exit_hint);
  OnClick(BtnHelp, [this] { BtnHelpClick(); });
  OnClick(BtnExit, [this] { BtnExitClick(); });
}

LRESULT VendorPanel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DRAWITEM) {
    DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    return TRUE;
  }
  return Window::OnMessage(msg, wp, lp);
}

void VendorPanel::DrawButton(const DRAWITEMSTRUCT& item) {
  // Flat: the panel's colour, a frame only while pressed or focused.
  FillRect(item.hDC, &item.rcItem, FormBrush());
  RECT frame = item.rcItem;
  if (item.itemState & ODS_SELECTED) {
    DrawEdge(item.hDC, &frame, BDR_SUNKENOUTER, BF_RECT);
  } else if (item.itemState & ODS_FOCUS) {
    DrawEdge(item.hDC, &frame, BDR_RAISEDINNER, BF_RECT);
  }
  HBITMAP glyph = item.hwndItem == BtnHelp.hwnd() ? help_glyph_.get() : exit_glyph_.get();
  if (!glyph) return;
  BITMAP bm{};
  GetObjectW(glyph, sizeof(bm), &bm);
  HDC mem = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(mem, glyph);
  const int w = Px(bm.bmWidth), h = Px(bm.bmHeight);
  const int x = (item.rcItem.right - item.rcItem.left - w) / 2;
  const int y = (item.rcItem.bottom - item.rcItem.top - h) / 2;
  StretchBlt(item.hDC, x, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

UniqueMenu VendorPanel::MakeHelpMenu() const {
  UniqueMenu menu(CreatePopupMenu());
  AppendMenuW(menu.get(), MF_STRING, kDemoItem, Utf8ToWide(deps_.texts->HelpDemo).c_str());
  AppendMenuW(menu.get(), MF_STRING, kHomePageItem, Utf8ToWide(deps_.texts->HelpHome).c_str());
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.get(), MF_STRING, kAboutItem, Utf8ToWide(deps_.texts->HelpAbout).c_str());
  return menu;
}

void VendorPanel::BtnHelpClick() {
  UniqueMenu menu = MakeHelpMenu();
  POINT at{};
  GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if our window is in front.
  SetForegroundWindow(GetAncestor(hwnd_, GA_ROOT));
  const UINT chosen =
      TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  if (chosen) RunHelpCommand(static_cast<Command>(chosen));
}

void VendorPanel::RunHelpCommand(Command command) {
  const std::function<void()>* action = nullptr;
  switch (command) {
    case kDemoItem:
      action = &deps_.open_demo_notes;
      break;
    case kHomePageItem:
      action = &deps_.open_home_page;
      break;
    case kAboutItem:
      action = &deps_.show_about;
      break;
  }
  if (action && *action) (*action)();
}

void VendorPanel::BtnExitClick() {
  if (deps_.close_main_window) deps_.close_main_window();
}

}  // namespace zd
