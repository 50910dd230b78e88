#include "mainwin/system_page_win.h"

#include <windows.h>

#include "lang/captions.h"
#include "launch/system_actions.h"
#include "platform/resources_win.h"

namespace zd {

void SystemPage::Create(HWND parent) {
  ControlFactory& f = host_.Factory();
  const int lang = host_.Deps().language_index;
  f.Make(sheet, kPanelClass, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent, 0, 0, 10,
         10);
}

void SystemPage::MakeControls() {
  if (made_ || !sheet) return;
  made_ = true;
  ControlFactory& f = host_.Factory();
  const int lang = host_.Deps().language_index;
  const HWND page = sheet.hwnd();
  const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  f.Make(ImgZDPCControl, L"STATIC", "", child | SS_OWNERDRAW, page, 0, 0, 760, 470);
  for (SpeedButton& b : buttons) {
    // Drawn as the part of the picture they cover; their text is their name
    // for screen readers and other programs (the label, else the hint).
    std::string_view name = lang::CaptionOf(b.id, lang);
    if (name.empty()) name = lang::HintOf(b.id, lang);
    f.Make(b.button, L"BUTTON", name, child | BS_OWNERDRAW, page, b.left, b.top, b.width, b.height);
    f.AddHint(b.button, lang::HintOf(b.id, lang));
    OnClick(b.button, [this, id = b.id] {
      if (id == Ui::BtnMoreSpecDir) {
        BtnMoreSpecDirClick();
      } else if (const std::optional<SystemAction> action = SystemActionOf(id)) {
        RunSystemAction(*action, host_.Opener(), host_.Shell());
      }
    });
  }
  for (Button& b : unused_buttons) {
    f.Make(b, L"BUTTON", "", WS_CHILD | WS_CLIPSIBLINGS | BS_OWNERDRAW, page, 0, 0, 10, 10);
  }
  picture_ = LoadJpegResource(L"ImgZDPCControl");
  RECT size{};
  GetClientRect(page, &size);
  Layout(size.right, size.bottom);
}

const Button& SystemPage::Find(Ui id) const {
  for (const SpeedButton& b : buttons)
    if (b.id == id) return b.button;
  return buttons.back().button;
}

bool SystemPage::OnMenuCommand(Ui entry) {
  // "更多..." and the tray's "系统常用" share the page's actions.
  const std::optional<SystemAction> action = SystemActionOf(entry);
  if (!action) return false;
  RunSystemAction(*action, host_.Opener(), host_.Shell());
  return true;
}

void SystemPage::BtnMoreSpecDirClick() {
  RECT r;
  GetWindowRect(Find(Ui::BtnMoreSpecDir).hwnd(), &r);
  host_.PopupMenuAt(Ui::PmMoreSpecialDir, POINT{r.left, r.bottom});
}

bool SystemPage::OnDrawItem(const DRAWITEMSTRUCT& item) {
  bool ours = item.hwndItem == ImgZDPCControl.hwnd();
  for (const SpeedButton& b : buttons) ours = ours || item.hwndItem == b.button.hwnd();
  if (!ours) return false;
  // The page is one picture; its flat buttons show the part of the picture
  // they cover, sunken while pressed, framed while focused.
  RECT rc = item.rcItem;
  if (picture_) {
    BITMAP bm{};
    GetObjectW(picture_.get(), sizeof(bm), &bm);
    POINT origin = {0, 0};
    MapWindowPoints(item.hwndItem, sheet.hwnd(), &origin, 1);
    UniqueDC memory(CreateCompatibleDC(item.hDC));
    SelectGuard select(memory.get(), picture_.get());
    SetStretchBltMode(item.hDC, HALFTONE);
    StretchBlt(item.hDC, -origin.x, -origin.y, Px(bm.bmWidth), Px(bm.bmHeight), memory.get(), 0, 0,
               bm.bmWidth, bm.bmHeight, SRCCOPY);
  } else if (item.hwndItem == ImgZDPCControl.hwnd()) {
    FillRect(item.hDC, &rc, FormBrush());
  }
  if (item.CtlType == ODT_BUTTON) {
    if (item.itemState & ODS_SELECTED) DrawEdge(item.hDC, &rc, BDR_SUNKENOUTER, BF_RECT);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &rc);
  }
  return true;
}

void SystemPage::Layout(int width, int height) { ImgZDPCControl.Place(0, 0, width, height); }

}  // namespace zd
