// The image list shared by the four document trees: 11 built-in pictures,
// then program icons inserted at run time.
#pragma once

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <string>

#include "platform/handles_win.h"
#include "platform/icon_source.h"

namespace zd {

inline void DestroyImageListFn(HIMAGELIST h) { ImageList_Destroy(h); }
using UniqueImageList = UniqueAny<HIMAGELIST, DestroyImageListFn>;

class TreeImageList : public IconSource {
 public:
  static constexpr int kBuiltInImages = 11;

  // `size`: the side of one image in pixels, 16 at 96 DPI; the built-in
  // pictures are scaled to it. handle() is null when the pictures are missing.
  explicit TreeImageList(int size = 16);

  // For TVM_SETIMAGELIST. The trees do not take ownership: this object must
  // outlive them or be detached from them first.
  HIMAGELIST handle() const { return list_.get(); }
  int size() const { return size_; }
  int count() const;

  // Appends at count(), or inserts below it moving later images up; a
  // position beyond the end is refused.
  bool InsertIcon(const std::string& executable, int position) override;
  void RemoveIcons() override;

 private:
  int size_;
  UniqueImageList list_;
};

}  // namespace zd
