#include "mainwin/home_page_win.h"

namespace zd {

void HomePage::Create(HWND parent) {
  host_.Factory().Make(sheet, kPanelClass, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent,
                       0, 0, 10, 10);
}

}  // namespace zd
