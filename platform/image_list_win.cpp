#include "platform/image_list_win.h"

#include <shellapi.h>

#include "platform/resources_win.h"
#include "platform/wow64_path_win.h"

namespace zd {
namespace {

// The strip's background; it becomes transparent.
constexpr COLORREF kMaskColor = RGB(0xF5, 0xFA, 0xFE);

// The strip redrawn with images of `size` pixels instead of its own height.
UniqueBitmap ScaledStrip(HBITMAP strip, int images, int size) {
  BITMAP info{};
  if (!GetObjectW(strip, sizeof(info), &info)) return UniqueBitmap();
  WindowDC screen;
  UniqueBitmap scaled(CreateCompatibleBitmap(screen.get(), images * size, size));
  UniqueDC from(CreateCompatibleDC(screen.get()));
  UniqueDC to(CreateCompatibleDC(screen.get()));
  if (!scaled || !from || !to) return UniqueBitmap();
  bool ok = false;
  {
    SelectGuard select_from(from.get(), strip);
    SelectGuard select_to(to.get(), scaled.get());
    SetStretchBltMode(to.get(), HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    ok = StretchBlt(to.get(), 0, 0, images * size, size, from.get(), 0, 0, info.bmWidth,
                    info.bmHeight, SRCCOPY) != FALSE;
  }
  return ok ? std::move(scaled) : UniqueBitmap();
}

// A program's picture: the executable's own first icon; the shell's icon for
// the file only when it has none (the shell answers a generic picture for
// every program on some systems).
UniqueIcon FileIcon(const std::string& path, int size) {
  const std::wstring real = RealFileSystemPath(path);
  const bool want_small = size <= GetSystemMetrics(SM_CXSMICON);
  HICON large = nullptr, little = nullptr;
  if (ExtractIconExW(real.c_str(), 0, want_small ? nullptr : &large, want_small ? &little : nullptr,
                     1) > 0) {
    if (HICON own = want_small ? little : large) return UniqueIcon(own);
  }
  SHFILEINFOW info{};
  if (SHGetFileInfoW(real.c_str(), 0, &info, sizeof(info),
                     SHGFI_ICON | (want_small ? SHGFI_SMALLICON : SHGFI_LARGEICON)) &&
      info.hIcon) {
    return UniqueIcon(info.hIcon);
  }
  return UniqueIcon();
}

}  // namespace

TreeImageList::TreeImageList(int size) : size_(size > 0 ? size : 16) {
  UniqueBitmap strip = LoadBmpResource(L"TreeImages");
  if (!strip) return;
  BITMAP info{};
  if (!GetObjectW(strip.get(), sizeof(info), &info) || info.bmHeight <= 0 ||
      info.bmWidth != info.bmHeight * kBuiltInImages) {
    return;
  }
  if (info.bmHeight != size_) {
    strip = ScaledStrip(strip.get(), kBuiltInImages, size_);
    if (!strip) return;
  }
  UniqueImageList list(ImageList_Create(size_, size_, ILC_COLOR32 | ILC_MASK, kBuiltInImages, 16));
  if (!list || ImageList_AddMasked(list.get(), strip.get(), kMaskColor) < 0 ||
      ImageList_GetImageCount(list.get()) != kBuiltInImages) {
    return;
  }
  list_ = std::move(list);
}

int TreeImageList::count() const { return list_ ? ImageList_GetImageCount(list_.get()) : 0; }

bool TreeImageList::InsertIcon(const std::string& executable, int position) {
  if (!list_) return false;
  const int end = count();
  if (position < 0 || position > end) return false;
  UniqueIcon icon = FileIcon(executable, size_);
  if (!icon) return false;
  // The list copies the picture; the shell's handle is ours to destroy.
  if (position == end) return ImageList_ReplaceIcon(list_.get(), -1, icon.get()) >= 0;
  // Image lists only append. Move every later image up by one, from the
  // last, as icons: ImageList_Copy's swap loses the transparency of
  // 32-bit images on some systems. (Not atomic like the append above, but
  // only a GDI failure could stop it half-way.)
  UniqueIcon last(ImageList_GetIcon(list_.get(), end - 1, ILD_NORMAL));
  if (!last || ImageList_ReplaceIcon(list_.get(), -1, last.get()) < 0) return false;
  for (int i = end - 1; i > position; --i) {
    UniqueIcon moved(ImageList_GetIcon(list_.get(), i - 1, ILD_NORMAL));
    if (!moved || ImageList_ReplaceIcon(list_.get(), i, moved.get()) < 0) return false;
  }
  return ImageList_ReplaceIcon(list_.get(), position, icon.get()) >= 0;
}

void TreeImageList::RemoveIcons() {
  if (list_ && count() > kBuiltInImages) ImageList_SetImageCount(list_.get(), kBuiltInImages);
}

}  // namespace zd
