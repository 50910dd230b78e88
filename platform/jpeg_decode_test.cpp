#include "platform/jpeg_decode.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace zd {
namespace {

struct Rgb {
  int r, g, b;
};

struct EncodeOptions {
  int width = 0, height = 0;
  bool gray = false;
  bool cmyk = false;
  bool progressive = false;
  int quality = 95;
};

// Encodes a picture whose pixel (x, y) is pixel(x, y); for gray pictures the
// red component is the grey level, for CMYK pictures r, g, b and 0 are C, M, Y, K.
std::string Encode(const EncodeOptions& o, const std::function<Rgb(int, int)>& pixel) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long out_size = 0;
  jpeg_mem_dest(&cinfo, &out, &out_size);
  cinfo.image_width = o.width;
  cinfo.image_height = o.height;
  cinfo.input_components = o.gray ? 1 : o.cmyk ? 4 : 3;
  cinfo.in_color_space = o.gray ? JCS_GRAYSCALE : o.cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, o.quality, TRUE);
  // Full-resolution chroma, so that colour comparisons can be tight.
  for (int c = 0; c < cinfo.num_components; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  if (o.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(o.width) * cinfo.input_components);
  for (int y = 0; y < o.height; ++y) {
    for (int x = 0; x < o.width; ++x) {
      Rgb p = pixel(x, y);
      unsigned char* d = &row[static_cast<size_t>(x) * cinfo.input_components];
      d[0] = static_cast<unsigned char>(p.r);
      if (!o.gray) {
        d[1] = static_cast<unsigned char>(p.g);
        d[2] = static_cast<unsigned char>(p.b);
      }
      if (o.cmyk) d[3] = 0;
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(out), out_size);
  std::free(out);
  return bytes;
}

// Smooth content compresses with small errors; sharp edges would not.
Rgb Gradient(int x, int y) { return {20 + x * 4, 30 + y * 5, 200 - (x + y) * 2}; }

// Largest difference of any channel between the decoded picture and pixel().
int MaxError(const Picture& p, const std::function<Rgb(int, int)>& pixel) {
  int worst = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const uint8_t* d = &p.bgra[(static_cast<size_t>(y) * p.width + x) * 4];
      Rgb want = pixel(x, y);
      worst = std::max({worst, std::abs(d[0] - want.b), std::abs(d[1] - want.g),
                        std::abs(d[2] - want.r), std::abs(d[3] - 255)});
    }
  }
  return worst;
}

TEST(JpegDecode, ColourPicturesDecodeTopDownInBgraOrder) {
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    // Odd sizes: partial blocks at the right and bottom edges.
    const std::string jpeg =
        Encode({.width = 37, .height = 23, .progressive = progressive}, Gradient);
    std::optional<Picture> p = DecodeJpeg(jpeg);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->width, 37);
    EXPECT_EQ(p->height, 23);
    ASSERT_EQ(p->bgra.size(), 37u * 23u * 4u);
    EXPECT_LE(MaxError(*p, Gradient), 8);
  }
}

TEST(JpegDecode, RowsAreNotFlippedAndChannelsNotSwapped) {
  // Top half red, bottom half blue: a flip or an RGB/BGR mix-up shows at once.
  auto halves = [](int, int y) { return y < 16 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; };
  std::optional<Picture> p = DecodeJpeg(Encode({.width = 16, .height = 32}, halves));
  ASSERT_TRUE(p.has_value());
  const uint8_t* top = &p->bgra[(4 * 16 + 8) * 4];
  const uint8_t* bottom = &p->bgra[(28 * 16 + 8) * 4];
  EXPECT_LT(top[0], 20);   // blue
  EXPECT_GT(top[2], 235);  // red
  EXPECT_GT(bottom[0], 235);
  EXPECT_LT(bottom[2], 20);
}

TEST(JpegDecode, GrayscalePicturesBecomeGreyBgra) {
  auto level = [](int x, int y) {
    int v = 40 + x * 6 + y * 3;
    return Rgb{v, v, v};
  };
  std::optional<Picture> p = DecodeJpeg(Encode({.width = 20, .height = 17, .gray = true}, level));
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->width, 20);
  EXPECT_EQ(p->height, 17);
  ASSERT_EQ(p->bgra.size(), 20u * 17u * 4u);
  EXPECT_LE(MaxError(*p, level), 6);
}

TEST(JpegDecode, RejectsCmyk) {
  auto ink = [](int x, int y) { return Rgb{x * 10, y * 10, 50}; };
  const std::string cmyk = Encode({.width = 8, .height = 8, .cmyk = true}, ink);
  EXPECT_FALSE(DecodeJpeg(cmyk).has_value());
}

TEST(JpegDecode, EveryTruncationIsRejected) {
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    const std::string jpeg =
        Encode({.width = 24, .height = 24, .progressive = progressive}, Gradient);
    ASSERT_TRUE(DecodeJpeg(jpeg).has_value());
    for (size_t len = 0; len < jpeg.size(); ++len) {
      EXPECT_FALSE(DecodeJpeg(std::string_view(jpeg).substr(0, len)).has_value())
          << "prefix of " << len << " of " << jpeg.size() << " bytes";
    }
  }
}

TEST(JpegDecode, RejectsGarbageAndDamagedData) {
  EXPECT_FALSE(DecodeJpeg("").has_value());
  EXPECT_FALSE(DecodeJpeg("\xFF\xD8").has_value());
  EXPECT_FALSE(DecodeJpeg("\x89PNG\r\n\x1a\n\0\0\0\rIHDR").has_value());
  std::mt19937 rng(12345);
  std::string noise(4096, '\0');
  for (char& c : noise) c = static_cast<char>(rng());
  EXPECT_FALSE(DecodeJpeg(noise).has_value());
  // A JPEG start marker followed by noise.
  noise[0] = '\xFF';
  noise[1] = '\xD8';
  EXPECT_FALSE(DecodeJpeg(noise).has_value());

  // Noise written over the entropy-coded data of a real picture: libjpeg would
  // return a picture with damaged blocks and a warning; we want none.
  const std::string jpeg = Encode({.width = 32, .height = 32}, Gradient);
  const size_t sos = jpeg.find("\xFF\xDA");
  ASSERT_NE(sos, std::string::npos);
  int rejected = 0;
  for (int trial = 0; trial < 20; ++trial) {
    std::string damaged = jpeg;
    for (size_t i = sos + 20; i + 2 < damaged.size(); i += 3) damaged[i] = static_cast<char>(rng());
    std::optional<Picture> p = DecodeJpeg(damaged);
    if (!p) {
      ++rejected;
    } else {
      // Whatever comes back must still be a whole picture of the declared size.
      EXPECT_EQ(p->bgra.size(), static_cast<size_t>(p->width) * p->height * 4);
    }
  }
  EXPECT_GT(rejected, 0);
}

// Offset of the SOF0 marker's height field in a baseline picture.
size_t SofSizeOffset(const std::string& jpeg) {
  const size_t sof = jpeg.find("\xFF\xC0");
  return sof == std::string::npos ? sof : sof + 5;
}

TEST(JpegDecode, AbsurdDeclaredSizesAreRejected) {
  std::string jpeg = Encode({.width = 16, .height = 16}, Gradient);
  const size_t at = SofSizeOffset(jpeg);
  ASSERT_NE(at, std::string::npos);
  auto with_size = [&](int w, int h) {
    std::string s = jpeg;
    s[at] = static_cast<char>(h >> 8);
    s[at + 1] = static_cast<char>(h & 0xFF);
    s[at + 2] = static_cast<char>(w >> 8);
    s[at + 3] = static_cast<char>(w & 0xFF);
    return s;
  };
  // Sanity: writing the true size back keeps the picture valid.
  EXPECT_TRUE(DecodeJpeg(with_size(16, 16)).has_value());
  EXPECT_FALSE(DecodeJpeg(with_size(65535, 65535)).has_value());
  EXPECT_FALSE(DecodeJpeg(with_size(16385, 16)).has_value());
  EXPECT_FALSE(DecodeJpeg(with_size(16, 16385)).has_value());
  EXPECT_FALSE(DecodeJpeg(with_size(16384, 16384)).has_value());
}

TEST(JpegDecode, SizeLimitsSitAtTheirBoundaries) {
  EXPECT_TRUE(IsAcceptablePictureSize(1, 1));
  EXPECT_TRUE(IsAcceptablePictureSize(kMaxPictureSide, 4096));
  EXPECT_TRUE(IsAcceptablePictureSize(4096, kMaxPictureSide));
  EXPECT_FALSE(IsAcceptablePictureSize(kMaxPictureSide, 4097));
  EXPECT_FALSE(IsAcceptablePictureSize(kMaxPictureSide + 1, 1));
  EXPECT_FALSE(IsAcceptablePictureSize(1, kMaxPictureSide + 1));
  EXPECT_FALSE(IsAcceptablePictureSize(0, 10));
  EXPECT_FALSE(IsAcceptablePictureSize(10, 0));
  EXPECT_FALSE(IsAcceptablePictureSize(-5, 10));
}

TEST(JpegDecode, WidestAcceptedPictureDecodesAndOneMoreColumnDoesNot) {
  // Real pictures at the side limit, not patched headers: only the size check
  // can tell these two apart.
  auto flat = [](int, int) { return Rgb{90, 140, 210}; };
  std::optional<Picture> widest = DecodeJpeg(Encode({.width = kMaxPictureSide, .height = 8}, flat));
  ASSERT_TRUE(widest.has_value());
  EXPECT_EQ(widest->width, kMaxPictureSide);
  EXPECT_LE(MaxError(*widest, flat), 3);
  EXPECT_FALSE(DecodeJpeg(Encode({.width = kMaxPictureSide + 1, .height = 8}, flat)).has_value());
  EXPECT_FALSE(DecodeJpeg(Encode({.width = 8, .height = kMaxPictureSide + 1}, flat)).has_value());
}

}  // namespace
}  // namespace zd
