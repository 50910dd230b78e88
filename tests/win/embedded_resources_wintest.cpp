// The resources compiled into the program: every picture the windows load by
// name is present, decodes, has the size its users assume, and looks the way
// they rely on (tab captions inside their slots, a quiet page background).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/jpeg_decode.h"
#include "zd_version.h"

namespace zd {
namespace {

std::optional<std::string_view> ResourceBytes(const wchar_t* name, const wchar_t* type) {
  HRSRC info = FindResourceW(nullptr, name, type);
  if (!info) return std::nullopt;
  HGLOBAL handle = LoadResource(nullptr, info);
  const void* data = handle ? LockResource(handle) : nullptr;
  if (!data) return std::nullopt;
  return std::string_view(static_cast<const char*>(data), SizeofResource(nullptr, info));
}

int Luma(const uint8_t* bgra) { return (bgra[0] * 29 + bgra[1] * 150 + bgra[2] * 77) >> 8; }

const uint8_t* Pixel(const Picture& p, int x, int y) {
  return &p.bgra[(static_cast<size_t>(y) * p.width + x) * 4];
}

// Pixels darker than `luma` in the rectangle [x0, x1) x [y0, y1).
int DarkPixels(const Picture& p, int x0, int y0, int x1, int y1, int luma) {
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) n += Luma(Pixel(p, x, y)) < luma;
  }
  return n;
}

TEST(EmbeddedResources, ButtonGlyphsAre16x16TrueColourBitmaps) {
  // The panel colour of the main window, the glyphs' background.
  const uint8_t kBgR = 0xF5, kBgG = 0xFA, kBgB = 0xFE;
  for (const wchar_t* name : {L"BtnZDStart", L"BtnZDPCStart", L"BtnZDSearch", L"BtnZDAddToFav",
                              L"BtnZDUpdateFav", L"BtnZDDeleteAllDocs", L"BtnHelp", L"BtnAbout"}) {
    SCOPED_TRACE(testing::Message() << name);
    std::optional<std::string_view> bytes = ResourceBytes(name, L"bmp");
    ASSERT_TRUE(bytes.has_value());
    ASSERT_GE(bytes->size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    std::memcpy(&file, bytes->data(), sizeof file);
    std::memcpy(&info, bytes->data() + sizeof file, sizeof info);
    EXPECT_EQ(file.bfType, 0x4D42);  // "BM"
    EXPECT_EQ(info.biWidth, 16);
    EXPECT_EQ(info.biHeight, 16);  // bottom-up
    EXPECT_EQ(info.biBitCount, 24);
    EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
    const size_t stride = 16 * 3;  // already a multiple of 4
    ASSERT_GE(bytes->size(), file.bfOffBits + stride * 16);
    const auto* pixels = reinterpret_cast<const uint8_t*>(bytes->data() + file.bfOffBits);
    int drawn = 0;
    for (int i = 0; i < 16 * 16; ++i) {
      const uint8_t* p = pixels + i * 3;
      drawn += std::abs(p[0] - kBgB) + std::abs(p[1] - kBgG) + std::abs(p[2] - kBgR) > 40;
    }
    EXPECT_GT(drawn, 20) << "the glyph is (nearly) empty";
    EXPECT_LT(drawn, 16 * 16 - 8) << "the glyph leaves no background";
    // Corners carry the background, so the glyph sits on the panel seamlessly.
    const uint8_t* corner = pixels;  // bottom-left
    EXPECT_NEAR(corner[0], kBgB, 6);
    EXPECT_NEAR(corner[1], kBgG, 6);
    EXPECT_NEAR(corner[2], kBgR, 6);
  }
}

TEST(EmbeddedResources, TabStripHasBothLooksAndACaptionInEverySlot) {
  constexpr int kTabs = 8, kTabW = 84, kBandH = 26;
  constexpr int kInk = 90;  // darker than the tab borders, as dark as caption text
  std::optional<std::string_view> bytes = ResourceBytes(L"monitorbtn", L"jpg");
  ASSERT_TRUE(bytes.has_value());
  std::optional<Picture> strip = DecodeJpeg(*bytes);
  ASSERT_TRUE(strip.has_value());
  ASSERT_EQ(strip->width, kTabs * kTabW);
  ASSERT_EQ(strip->height, 2 * kBandH);
  for (int band = 0; band < 2; ++band) {
    const int top = band * kBandH;
    for (int tab = 0; tab < kTabs; ++tab) {
      SCOPED_TRACE(testing::Message() << "band " << band << " tab " << tab);
      const int left = tab * kTabW;
      // Caption strokes in the middle of the slot...
      EXPECT_GT(DarkPixels(*strip, left + 8, top + 5, left + kTabW - 8, top + kBandH - 4, kInk),
                15);
      // ...and none near its sides, where they would spill into the neighbour.
      EXPECT_EQ(DarkPixels(*strip, left, top, left + 5, top + kBandH, kInk), 0);
      EXPECT_EQ(DarkPixels(*strip, left + kTabW - 5, top, left + kTabW, top + kBandH, kInk), 0);
    }
  }
  // The selected look must differ visibly from the normal one.
  long diff = 0;
  for (int y = 0; y < kBandH; ++y) {
    for (int x = 0; x < strip->width; ++x) {
      diff += std::abs(Luma(Pixel(*strip, x, y)) - Luma(Pixel(*strip, x, y + kBandH)));
    }
  }
  EXPECT_GT(diff / (kBandH * strip->width), 2);
}

TEST(EmbeddedResources, SystemPageCarriesALabelUnderEveryButton) {
  std::optional<std::string_view> bytes = ResourceBytes(L"ImgZDPCControl", L"jpg");
  ASSERT_TRUE(bytes.has_value());
  std::optional<Picture> page = DecodeJpeg(*bytes);
  ASSERT_TRUE(page.has_value());
  EXPECT_EQ(page->width, 760);
  EXPECT_EQ(page->height, 470);
  // The flat buttons have no captions: the picture's label under each one is
  // all the user sees of it.
  const int spots[][4] = {{8, 14, 98, 25},    {107, 15, 101, 23}, {210, 14, 87, 23},
                          {299, 14, 105, 24}, {7, 44, 98, 24},    {106, 44, 94, 24},
                          {207, 45, 97, 24},  {305, 45, 104, 24}, {7, 74, 96, 25},
                          {107, 75, 91, 24},  {204, 75, 96, 23},  {302, 75, 108, 24},
                          {9, 106, 90, 22},   {96, 107, 112, 22}, {216, 106, 77, 23}};
  for (const auto& s : spots) {
    SCOPED_TRACE(testing::Message() << s[0] << "," << s[1]);
    EXPECT_GT(DarkPixels(*page, s[0] + 20, s[1], s[0] + s[2], s[1] + s[3], 120), 10);
  }
  // Below the spots the page stays quiet.
  EXPECT_EQ(DarkPixels(*page, 0, 140, 420, 470, 200), 0);
}

TEST(EmbeddedResources, IconLoadsAtTheSizesTheShellAsksFor) {
  for (int size : {16, 24, 32, 48, 256}) {
    SCOPED_TRACE(size);
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm{};
    ASSERT_NE(GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, size);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(EmbeddedResources, VersionInfoSaysZapdock35) {
  wchar_t path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<uint8_t> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00030005u);
  EXPECT_EQ(fixed->dwProductVersionMS, (ZD_VERSION_MAJOR << 16u) | ZD_VERSION_MINOR);
  wchar_t* text = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\080404B0\\ProductName",
                             reinterpret_cast<void**>(&text), &len));
  EXPECT_EQ(std::wstring(text), L"Zapdock");
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\080404B0\\FileVersion",
                             reinterpret_cast<void**>(&text), &len));
  EXPECT_EQ(std::wstring(text), L"" ZD_VERSION_TEXT);
  // A UTF-8 slip in the .rc would turn the Chinese description into mojibake.
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\080404B0\\FileDescription",
                             reinterpret_cast<void**>(&text), &len));
  EXPECT_NE(std::wstring(text).find(L"\u684C\u9762"), std::wstring::npos);  // 桌面
}

TEST(EmbeddedResources, ManifestAndLanguageTextArePresent) {
  std::optional<std::string_view> manifest =
      ResourceBytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_TRUE(manifest.has_value());
  EXPECT_NE(manifest->find("Microsoft.Windows.Common-Controls"), std::string_view::npos);
  EXPECT_NE(manifest->find("PerMonitorV2"), std::string_view::npos);
  EXPECT_NE(manifest->find("asInvoker"), std::string_view::npos);
  std::optional<std::string_view> allneed = ResourceBytes(L"allneed", L"TXT");
  ASSERT_TRUE(allneed.has_value());
  EXPECT_FALSE(allneed->empty());
}

}  // namespace
}  // namespace zd
