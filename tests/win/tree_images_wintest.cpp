// The trees' shared image list: the built-in pictures from the resources and
// program icons put in at chosen positions.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/image_list_win.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

std::string OwnExePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return WideToUtf8(path);
}

// The pixels of one image drawn on white.
std::vector<DWORD> Pixels(HIMAGELIST list, int index, int size) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = size;
  bi.bmiHeader.biHeight = -size;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<DWORD> pixels;
  if (bmp && bits) {
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, size, size};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    const auto* p = static_cast<const DWORD*>(bits);
    pixels.assign(p, p + size * size);
    SelectObject(dc, old);
  }
  if (bmp) DeleteObject(bmp);
  DeleteDC(dc);
  return pixels;
}

bool AllWhite(const std::vector<DWORD>& pixels) {
  for (DWORD p : pixels) {
    if ((p & 0xFFFFFF) != 0xFFFFFF) return false;
  }
  return true;
}

class TreeImagesTest : public ::testing::Test {
 protected:
  // The shell's icon calls want COM on the thread, as the program entry sets up.
  void SetUp() override { ole_ = SUCCEEDED(OleInitialize(nullptr)); }
  void TearDown() override {
    if (ole_) OleUninitialize();
  }
  bool ole_ = false;
};

TEST_F(TreeImagesTest, HoldsTheElevenBuiltInPicturesWithTransparentBackground) {
  TreeImageList images;
  ASSERT_NE(images.handle(), nullptr);
  EXPECT_EQ(images.count(), TreeImageList::kBuiltInImages);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(images.handle(), &cx, &cy));
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);

  // Every picture differs from the others, draws something, and lets the
  // background through at its top-left corner (the strip's background colour).
  std::vector<std::vector<DWORD>> drawn;
  for (int i = 0; i < TreeImageList::kBuiltInImages; ++i) {
    drawn.push_back(Pixels(images.handle(), i, 16));
    ASSERT_EQ(drawn.back().size(), 256u);
    EXPECT_EQ(drawn.back()[0] & 0xFFFFFF, 0xFFFFFFu) << "image " << i;
    EXPECT_FALSE(AllWhite(drawn.back())) << "image " << i;
    for (int j = 0; j < i; ++j) EXPECT_NE(drawn[i], drawn[j]) << i << " and " << j;
  }
}

TEST_F(TreeImagesTest, ScalesThePicturesToTheSizeAsked) {
  TreeImageList images(24);
  ASSERT_NE(images.handle(), nullptr);
  EXPECT_EQ(images.count(), TreeImageList::kBuiltInImages);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(images.handle(), &cx, &cy));
  EXPECT_EQ(cx, 24);
  EXPECT_EQ(cy, 24);
  EXPECT_EQ(Pixels(images.handle(), 3, 24)[0] & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(TreeImagesTest, ProgramIconsAppendFromElevenAndRefuseGaps) {
  TreeImageList images;
  ASSERT_NE(images.handle(), nullptr);
  const std::vector<DWORD> last_built_in = Pixels(images.handle(), 10, 16);

  ASSERT_TRUE(images.InsertIcon(OwnExePath(), 11));
  EXPECT_EQ(images.count(), 12);
  const std::vector<DWORD> icon = Pixels(images.handle(), 11, 16);
  EXPECT_NE(icon, last_built_in);
  EXPECT_EQ(Pixels(images.handle(), 10, 16), last_built_in);

  ASSERT_TRUE(images.InsertIcon(OwnExePath(), 12));
  EXPECT_EQ(images.count(), 13);
  EXPECT_EQ(Pixels(images.handle(), 12, 16), icon);

  // Beyond the end, before the start, or a file without an icon: refused,
  // the list unchanged.
  EXPECT_FALSE(images.InsertIcon(OwnExePath(), 14));
  EXPECT_FALSE(images.InsertIcon(OwnExePath(), -1));
  EXPECT_FALSE(images.InsertIcon(OwnExePath() + ".missing\\none.exe", 13));
  EXPECT_EQ(images.count(), 13);
  // The history emptied: the built-in pictures are left, unchanged.
  images.RemoveIcons();
  EXPECT_EQ(images.count(), TreeImageList::kBuiltInImages);
  EXPECT_EQ(Pixels(images.handle(), 10, 16), last_built_in);
  ASSERT_TRUE(images.InsertIcon(OwnExePath(), 11));
}

TEST_F(TreeImagesTest, InsertingInsideMovesLaterImagesUp) {
  TreeImageList images;
  ASSERT_NE(images.handle(), nullptr);
  std::vector<std::vector<DWORD>> before;
  for (int i = 0; i < images.count(); ++i) before.push_back(Pixels(images.handle(), i, 16));

  ASSERT_TRUE(images.InsertIcon(OwnExePath(), 4));
  ASSERT_EQ(images.count(), 12);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Pixels(images.handle(), i, 16), before[i]) << i;
  for (int i = 4; i < 11; ++i) EXPECT_EQ(Pixels(images.handle(), i + 1, 16), before[i]) << i;
  const std::vector<DWORD> icon = Pixels(images.handle(), 4, 16);
  for (const auto& old : before) EXPECT_NE(icon, old);
}

TEST_F(TreeImagesTest, ProgramsShowTheirOwnIcons) {
  wchar_t system[MAX_PATH] = {}, windows[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring notepad = std::wstring(system) + L"\\notepad.exe";
  const std::wstring regedit = std::wstring(windows) + L"\\regedit.exe";
  // The oracle: each file's own first small icon, drawn into a list of its own.
  auto own_icon = [](const std::wstring& file) -> std::vector<DWORD> {
    HICON small_icon = nullptr;
    if (ExtractIconExW(file.c_str(), 0, nullptr, &small_icon, 1) == 0 || !small_icon) return {};
    HIMAGELIST one = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    ImageList_ReplaceIcon(one, -1, small_icon);
    DestroyIcon(small_icon);
    std::vector<DWORD> pixels = Pixels(one, 0, 16);
    ImageList_Destroy(one);
    return pixels;
  };
  TreeImageList images;
  ASSERT_NE(images.handle(), nullptr);
  ASSERT_TRUE(images.InsertIcon(WideToUtf8(notepad), 11));
  ASSERT_TRUE(images.InsertIcon(WideToUtf8(regedit), 12));
  const std::vector<DWORD> want_notepad = own_icon(notepad), want_regedit = own_icon(regedit);
  ASSERT_FALSE(want_notepad.empty());
  EXPECT_EQ(Pixels(images.handle(), 11, 16), want_notepad);
  EXPECT_EQ(Pixels(images.handle(), 12, 16), want_regedit);
  EXPECT_NE(Pixels(images.handle(), 11, 16), Pixels(images.handle(), 12, 16))
      << "two programs, two pictures";
}

}  // namespace
}  // namespace zd
