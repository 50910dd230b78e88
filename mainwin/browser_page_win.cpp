#include "mainwin/browser_page_win.h"

#include "mainwin/form_model.h"

namespace zd {

void TBrowserPage::Create(HWND parent) {
  ControlFactory& f = host_.Factory();
  f.Make(sheet, kPanelClass, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent, 0, 0, 10,
         10);
  f.Make(WebBrowser1, kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, sheet.hwnd(), 0, 0,
         10, 10);
  SetWindowPos(WebBrowser1.hwnd(), nullptr, 0, kMinimisedTop, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TBrowserPage::Layout(int width, int height) {
  // Keeps its place out of sight until the first load brings it in.
  const RECT r = WebBrowser1.RectInParent();
  WebBrowser1.Place(0, r.top < 0 ? r.top : 0, width, height);
}

}  // namespace zd
