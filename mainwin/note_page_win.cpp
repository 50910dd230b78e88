#include "mainwin/note_page_win.h"

namespace zd {

void NotePage::Create(HWND parent) {
  ControlFactory& f = host_.Factory();
  f.Make(sheet, kPanelClass, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent, 0, 0, 10,
         10);
  f.Make(MmNote, L"EDIT", "",
         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
             ES_WANTRETURN | WS_TABSTOP,
         sheet.hwnd(), 0, 0, 10, 10, WS_EX_CLIENTEDGE);
}

}  // namespace zd
