#include "lang/decimal_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zd::lang {
namespace {

// The standard library's conversions are the oracle.
std::string LibraryOneDecimal(float value) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1);
  return std::string(buf, res.ptr);
}

std::optional<float> LibraryParse(const std::string& text) {
  float value = 0;
  const auto res =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

// Exact decimal text of a float or of the midpoint between two (a double holds both).
std::string ExactText(double value) {
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 160);
  std::string text(buf, res.ptr);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text += '0';
  return text;
}

std::vector<float> EdgeFloats() {
  constexpr float kMax = std::numeric_limits<float>::max();
  std::vector<float> values = {0.0f,
                               -0.0f,
                               0.25f,
                               0.75f,
                               2.25f,
                               0.05f,
                               0.15f,
                               0.35f,
                               9.95f,
                               99.95f,
                               3.5f,
                               3.6f,
                               10.04f,
                               -0.04f,
                               -0.05f,
                               -2.25f,
                               1e10f,
                               16777216.0f,
                               16777217.0f,
                               1e-30f,
                               kMax,
                               -kMax,
                               std::numeric_limits<float>::min(),
                               std::numeric_limits<float>::denorm_min(),
                               std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN(),
                               -std::numeric_limits<float>::quiet_NaN()};
  // every tie of the first decimal up to 100, and the floats beside it
  for (int k = 0; k < 2000; ++k) {
    const float tie = static_cast<float>(k) / 20.0f;
    values.insert(values.end(), {tie, std::nextafter(tie, 0.0f), std::nextafter(tie, 1e9f)});
  }
  // a walk over the bit patterns, through subnormals, normals and the top range
  for (uint32_t bits = 0; bits < 0x7F800000u; bits += 0x000F4243u) {
    values.push_back(std::bit_cast<float>(bits));
  }
  return values;
}

TEST(DecimalText, OneDecimalAgreesWithTheLibrary) {
  for (float value : EdgeFloats()) {
    EXPECT_EQ(OneDecimal(value), LibraryOneDecimal(value)) << std::bit_cast<uint32_t>(value);
  }
}

TEST(DecimalText, ParseAgreesWithTheLibrary) {
  const std::string ones(150, '1'), zeros(200, '0');
  std::vector<std::string> texts = {"0",
                                    "000.000",
                                    "3.6",
                                    "10",
                                    "007.5",
                                    "0.001",
                                    "12.25",
                                    "16777217",
                                    "16777219",
                                    "340282346638528859811704183484516925440",
                                    "340282356779733661637539395458142568447",
                                    "340282356779733661637539395458142568448",
                                    "9999999999999999999999999999999999999999",
                                    "0." + std::string(44, '0') + "7006",
                                    "0." + std::string(44, '0') + "70065",
                                    "0." + std::string(45, '0') + "1",
                                    "0." + std::string(60, '0') + "1",
                                    "16777217." + zeros + "1",
                                    "16777217." + zeros,
                                    ones,
                                    "0." + ones,
                                    ones + "." + ones};
  // every float of the walk, and the exact midpoint above it: ties go to even
  for (float value : EdgeFloats()) {
    if (!std::isfinite(value) || std::signbit(value)) continue;
    texts.push_back(ExactText(value));
    const float next = std::nextafter(value, std::numeric_limits<float>::infinity());
    if (std::isfinite(next)) texts.push_back(ExactText((static_cast<double>(value) + next) / 2));
  }
  for (const std::string& text : texts) {
    const std::optional<float> want = LibraryParse(text);
    const std::optional<float> got = ParseDecimal(text);
    ASSERT_EQ(got.has_value(), want.has_value()) << text;
    if (want) {
      EXPECT_EQ(std::bit_cast<uint32_t>(*got), std::bit_cast<uint32_t>(*want)) << text;
    }
  }
}

TEST(DecimalText, ParseTakesDigitsAndOnePointBetweenThem) {
  for (const char* text :
       {"", ".", ".5", "5.", "3..6", "3.6.1", "-1", "+2", "1e3", " 3", "3 ", "3,6", "0x1"}) {
    EXPECT_EQ(ParseDecimal(text), std::nullopt) << text;
  }
}

}  // namespace
}  // namespace zd::lang
