#include "platform/resources_win.h"

#include <cstring>

#include "platform/jpeg_decode.h"

namespace zd {

std::optional<std::string_view> LoadResourceBytes(const wchar_t* name, const wchar_t* type) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, name, type);
  if (!info) return std::nullopt;
  HGLOBAL data = LoadResource(module, info);
  if (!data) return std::nullopt;
  const void* bytes = LockResource(data);
  DWORD size = SizeofResource(module, info);
  if (!bytes || size == 0) return std::nullopt;
  return std::string_view(static_cast<const char*>(bytes), size);
}

UniqueBitmap BitmapFromPixels(int width, int height, const unsigned char* bgra) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp || !bits) return UniqueBitmap();
  std::memcpy(bits, bgra, static_cast<size_t>(width) * height * 4);
  return UniqueBitmap(bmp);
}

UniqueBitmap LoadBmpResource(const wchar_t* name) {
  auto bytes = LoadResourceBytes(name, L"bmp");
  if (!bytes || bytes->size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) {
    return UniqueBitmap();
  }
  BITMAPFILEHEADER file;
  std::memcpy(&file, bytes->data(), sizeof(file));
  if (file.bfType != 0x4D42 || file.bfOffBits >= bytes->size()) return UniqueBitmap();
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes->data() + sizeof(file));
  const void* pixels = bytes->data() + file.bfOffBits;
  WindowDC screen;
  return UniqueBitmap(
      CreateDIBitmap(screen.get(), &info->bmiHeader, CBM_INIT, pixels, info, DIB_RGB_COLORS));
}

UniqueBitmap LoadJpegResource(const wchar_t* name) {
  auto bytes = LoadResourceBytes(name, L"jpg");
  if (!bytes) return UniqueBitmap();
  std::optional<Picture> picture = DecodeJpeg(*bytes);
  if (!picture) return UniqueBitmap();
  return BitmapFromPixels(picture->width, picture->height, picture->bgra.data());
}

}  // namespace zd
