// JPEG decoding for the pictures among the program's resources (the tab strip
// and the system page). Portable: the Windows side turns the pixels into a DIB.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zd {

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> bgra;  // top-down rows, 4 bytes per pixel, alpha 255
};

// Limits on the declared size of a picture, checked before any pixel memory is
// taken: a corrupt header must not make us allocate gigabytes.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr int64_t kMaxPicturePixels = int64_t{64} << 20;

constexpr bool IsAcceptablePictureSize(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

// Decodes a baseline or progressive JPEG in grayscale or colour. nullopt for
// anything else: corrupt or truncated data (any libjpeg warning counts as
// corruption), CMYK pictures, sizes outside the limits above. Prints nothing.
std::optional<Picture> DecodeJpeg(std::string_view bytes);

}  // namespace zd
