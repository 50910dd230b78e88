// Feeds arbitrary bytes to the JPEG decoder: it must never crash, hang, leak or
// return a picture whose pixel buffer disagrees with its size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/jpeg_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::optional<zd::Picture> p =
      zd::DecodeJpeg(std::string_view(reinterpret_cast<const char*>(data), size));
  if (p) {
    if (!zd::IsAcceptablePictureSize(p->width, p->height)) std::abort();
    if (p->bgra.size() != static_cast<size_t>(p->width) * p->height * 4) std::abort();
    for (size_t i = 3; i < p->bgra.size(); i += 4) {
      if (p->bgra[i] != 255) std::abort();
    }
  }
  return 0;
}
