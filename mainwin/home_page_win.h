// The outer page "我的主页": room for the vendor's content page.
#pragma once

#include "mainwin/page_win.h"

namespace zd {

class HomePage : public Page {
 public:
  using Page::Page;
  void Create(HWND parent);
};

}  // namespace zd
