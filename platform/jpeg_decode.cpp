#include "platform/jpeg_decode.h"

// clang-format off
#include <csetjmp>
#include <cstddef>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on

#include <new>

namespace zd {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return; we
// leave through longjmp back to the decode call.
struct ErrorState {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorState*>(cinfo->err)->jump, 1);
}

// Warnings mean damaged data (libjpeg pads a truncated file with grey rows and
// only warns): a half-grey picture is worse than none, so they are fatal.
void EmitMessage(j_common_ptr cinfo, int msg_level) {
  if (msg_level < 0) ErrorExit(cinfo);
}

// The default prints to stderr; a resource loader has nobody to tell.
void OutputMessage(j_common_ptr) {}

// Every local here is trivially destructible: a longjmp back into this frame
// must not skip a destructor. The picture lives in the caller.
bool DecodeInto(jpeg_decompress_struct& cinfo, ErrorState& err, std::string_view bytes,
                Picture& picture) {
  if (setjmp(err.jump)) return false;
  jpeg_create_decompress(&cinfo);
  // Progressive pictures keep all coefficients in memory; beyond this the
  // memory manager fails cleanly (there is no backing store).
  cinfo.mem->max_memory_to_use = 512L << 20;
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
  if (!IsAcceptablePictureSize(cinfo.image_width, cinfo.image_height)) return false;
  const bool gray = cinfo.jpeg_color_space == JCS_GRAYSCALE && cinfo.num_components == 1;
  const bool color = (cinfo.jpeg_color_space == JCS_YCbCr || cinfo.jpeg_color_space == JCS_RGB) &&
                     cinfo.num_components == 3;
  if (!gray && !color) return false;  // CMYK, YCCK and oddities
  cinfo.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 4 || cinfo.output_width != cinfo.image_width ||
      cinfo.output_height != cinfo.image_height) {
    return false;
  }
  const size_t stride = static_cast<size_t>(cinfo.output_width) * 4;
  picture.width = static_cast<int>(cinfo.output_width);
  picture.height = static_cast<int>(cinfo.output_height);
  picture.bgra.reserve(stride * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    const size_t offset = picture.bgra.size();
    picture.bgra.resize(offset + stride);
    JSAMPROW row = picture.bgra.data() + offset;
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

std::optional<Picture> DecodeJpeg(std::string_view bytes) {
  static_assert(sizeof(unsigned long) >= sizeof(size_t), "jpeg_mem_src takes unsigned long");
  if (bytes.size() < 4) return std::nullopt;
  jpeg_decompress_struct cinfo{};
  ErrorState err{};
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = ErrorExit;
  err.mgr.emit_message = EmitMessage;
  err.mgr.output_message = OutputMessage;
  Picture picture;
  bool ok = false;
  try {
    ok = DecodeInto(cinfo, err, bytes, picture);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  jpeg_destroy_decompress(&cinfo);
  if (!ok) return std::nullopt;
  return picture;
}

}  // namespace zd
