// The "常用" page: the host of the embedded web browser, out of sight until the
// first load.
#pragma once

#include "mainwin/page_win.h"

namespace zd {

class TBrowserPage : public Page {
 public:
  using Page::Page;
  void Create(HWND parent);
  void Layout(int width, int height) override;

  Panel WebBrowser1;
};

}  // namespace zd
