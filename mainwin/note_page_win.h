// The note page ("笔记", without a tab): a memo saved as "note.txt".
#pragma once

#include "mainwin/page_win.h"

namespace zd {

class NotePage : public Page {
 public:
  using Page::Page;
  void Create(HWND parent);
  void Layout(int width, int height) override { MmNote.Place(0, 0, width, height); }

  Edit MmNote;
};

}  // namespace zd
