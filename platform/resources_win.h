// Pictures and texts from the program's own resources.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/handles_win.h"

namespace zd {

// The raw bytes of a resource of a named type; nullopt when missing.
std::optional<std::string_view> LoadResourceBytes(const wchar_t* name, const wchar_t* type);

// A BMP file stored as a resource of type "bmp"; empty on failure.
UniqueBitmap LoadBmpResource(const wchar_t* name);
// A JPEG stored as a resource of type "jpg", decoded with libjpeg; empty on failure.
UniqueBitmap LoadJpegResource(const wchar_t* name);

// A 32-bit top-down DIB section from BGRA pixels.
UniqueBitmap BitmapFromPixels(int width, int height, const unsigned char* bgra);

}  // namespace zd
