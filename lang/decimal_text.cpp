#include "lang/decimal_text.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace zd::lang {
namespace {

// An unsigned integer of any size, 32-bit limbs from the lowest; only the
// steps that exact rounding between decimal and binary needs.
class BigNumber {
 public:
  explicit BigNumber(uint32_t value) {
    if (value != 0) limbs_.push_back(value);
  }

  void MultiplyAdd(uint32_t factor, uint32_t add) {
    uint64_t carry = add;
    for (uint32_t& limb : limbs_) {
      carry += static_cast<uint64_t>(limb) * factor;
      limb = static_cast<uint32_t>(carry);
      carry >>= 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<uint32_t>(carry));
  }

  void ShiftLeft(int bits) {
    if (limbs_.empty()) return;
    limbs_.insert(limbs_.begin(), static_cast<size_t>(bits / 32), 0u);
    const int rest = bits % 32;
    if (rest == 0) return;
    uint32_t carry = 0;
    for (uint32_t& limb : limbs_) {
      const uint32_t next = limb >> (32 - rest);
      limb = (limb << rest) | carry;
      carry = next;
    }
    if (carry != 0) limbs_.push_back(carry);
  }

  void Subtract(const BigNumber& less) {
    int64_t borrow = 0;
    for (size_t i = 0; i < limbs_.size(); ++i) {
      int64_t d = static_cast<int64_t>(limbs_[i]) - borrow -
                  (i < less.limbs_.size() ? static_cast<int64_t>(less.limbs_[i]) : 0);
      borrow = d < 0;
      limbs_[i] = static_cast<uint32_t>(d + (borrow << 32));
    }
    Trim();
  }

  int Bits() const {
    return limbs_.empty() ? 0
                          : static_cast<int>(32 * limbs_.size()) - std::countl_zero(limbs_.back());
  }
  bool IsZero() const { return limbs_.empty(); }

  // Divides by ten and answers the remainder.
  uint32_t DivideByTen() {
    uint64_t rest = 0;
    for (size_t i = limbs_.size(); i-- > 0;) {
      rest = (rest << 32) | limbs_[i];
      limbs_[i] = static_cast<uint32_t>(rest / 10);
      rest %= 10;
    }
    Trim();
    return static_cast<uint32_t>(rest);
  }

  friend int Compare(const BigNumber& a, const BigNumber& b) {
    if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    for (size_t i = a.limbs_.size(); i-- > 0;) {
      if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
    }
    return 0;
  }

 private:
  void Trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
  }
  std::vector<uint32_t> limbs_;
};

BigNumber PowerOfTen(int exponent) {
  BigNumber n(1);
  for (int i = 0; i < exponent; ++i) n.MultiplyAdd(10, 0);
  return n;
}

constexpr int kMantissaBits = 24;
constexpr int kLowestExponent = -149;  // of the lowest bit of the smallest subnormal
constexpr int kHighestExponent = 104;  // of the lowest bit of the largest float's mantissa
// A float is told apart from its neighbours within its first 112 significant
// digits; what follows only says whether the rest is zero.
constexpr size_t kKeptDigits = 120;

}  // namespace

std::string OneDecimal(float value) {
  const uint32_t bits = std::bit_cast<uint32_t>(value);
  const std::string sign = (bits >> 31) != 0 ? "-" : "";
  const uint32_t biased = (bits >> 23) & 0xFF;
  uint32_t mantissa = bits & 0x7FFFFF;
  if (biased == 0xFF) return sign + (mantissa != 0 ? "nan" : "inf");
  int exponent = kLowestExponent;
  if (biased != 0) {
    mantissa |= 1u << 23;
    exponent = static_cast<int>(biased) - 150;
  }
  // tenths = value * 10, rounded to the nearest and to even on a tie.
  BigNumber tenths(0);
  if (exponent >= 0) {
    tenths = BigNumber(mantissa);
    tenths.MultiplyAdd(10, 0);
    tenths.ShiftLeft(exponent);
  } else if (-exponent < 40) {  // else below a twentieth: rounds to zero
    const uint64_t scaled = uint64_t{mantissa} * 10;
    const int shift = -exponent;
    const uint64_t whole = scaled >> shift;
    const uint64_t rest = scaled & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    const bool up = rest > half || (rest == half && (whole & 1) != 0);
    tenths = BigNumber(static_cast<uint32_t>(whole + up));
  }
  std::string digits;
  while (!tenths.IsZero() || digits.size() < 2) {
    digits += static_cast<char>('0' + tenths.DivideByTen());
  }
  digits.insert(digits.begin() + 1, '.');
  std::reverse(digits.begin(), digits.end());
  return sign + digits;
}

std::optional<float> ParseDecimal(std::string_view text) {
  const size_t point = text.find('.');
  if (text.empty() || point == 0 || point + 1 == text.size()) return std::nullopt;
  // value = digits * 10^scale
  std::string digits;
  int scale = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i == point) continue;
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    if (i > point && point != std::string_view::npos) --scale;
    if (!digits.empty() || text[i] != '0') digits += text[i];
  }
  while (!digits.empty() && digits.back() == '0') digits.pop_back(), ++scale;
  if (digits.empty()) return 0.0f;
  if (digits.size() > kKeptDigits) {  // the rest ends in a nonzero digit
    scale += static_cast<int>(digits.size() - kKeptDigits) - 1;
    digits.resize(kKeptDigits);
    digits += '1';
  }
  // value < 10^magnitude; beyond these bounds it overflows, or lies below
  // half the smallest subnormal.
  const int magnitude = static_cast<int>(digits.size()) + scale;
  if (magnitude > 39 || magnitude < -45) return std::nullopt;

  // The 25 leading bits of value * 2^shift, the last of them the rounding bit.
  BigNumber rest(0);
  for (char c : digits) rest.MultiplyAdd(10, static_cast<uint32_t>(c - '0'));
  BigNumber divisor = PowerOfTen(std::max(-scale, 0));
  for (int i = 0; i < scale; ++i) rest.MultiplyAdd(10, 0);
  int shift = kMantissaBits - (rest.Bits() - divisor.Bits());
  if (shift >= 0) {
    rest.ShiftLeft(shift);
  } else {
    divisor.ShiftLeft(-shift);
  }
  BigNumber least = divisor;
  least.ShiftLeft(kMantissaBits);
  if (Compare(rest, least) < 0) rest.ShiftLeft(1), ++shift;
  if (shift > 1 - kLowestExponent) {  // a subnormal: fewer bits
    divisor.ShiftLeft(shift - (1 - kLowestExponent));
    shift = 1 - kLowestExponent;
  }
  uint32_t bits = 0;
  for (int i = kMantissaBits; i >= 0; --i) {
    BigNumber part = divisor;
    part.ShiftLeft(i);
    if (Compare(rest, part) >= 0) {
      rest.Subtract(part);
      bits |= 1u << i;
    }
  }
  uint32_t mantissa = bits >> 1;
  int exponent = 1 - shift;
  if ((bits & 1) != 0 && (!rest.IsZero() || (mantissa & 1) != 0)) ++mantissa;
  if (mantissa == 1u << kMantissaBits) mantissa >>= 1, ++exponent;
  if (mantissa == 0 || exponent > kHighestExponent) return std::nullopt;
  if (mantissa < 1u << (kMantissaBits - 1)) return std::bit_cast<float>(mantissa);
  return std::bit_cast<float>(static_cast<uint32_t>(exponent - kLowestExponent + 1) << 23 |
                              (mantissa & 0x7FFFFF));
}

}  // namespace zd::lang
