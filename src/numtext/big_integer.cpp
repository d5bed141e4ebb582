#include "numtext/big_integer.h"

#include <algorithm>
#include <bit>

namespace velmo {

BigInteger::BigInteger(std::uint64_t value) {
  while (value != 0) {
    limbs_.push_back(static_cast<std::uint32_t>(value));
    value >>= 32;
  }
}

BigInteger BigInteger::FromDigits(std::string_view digits) {
  // Nine digits at a time: 10^9 fits a limb.
  BigInteger result;
  result.limbs_.reserve(digits.size() / 9 + 1);
  while (!digits.empty()) {
    std::size_t take = std::min<std::size_t>(9, digits.size());
    std::uint32_t chunk = 0;
    std::uint32_t scale = 1;
    for (std::size_t i = 0; i < take; ++i) {
      chunk = chunk * 10 + static_cast<std::uint32_t>(digits[i] - '0');
      scale *= 10;
    }
    result.MultiplyBy(scale);
    std::uint64_t carry = chunk;
    for (std::size_t i = 0; carry != 0; ++i) {
      if (i == result.limbs_.size()) result.limbs_.push_back(0);
      carry += result.limbs_[i];
      result.limbs_[i] = static_cast<std::uint32_t>(carry);
      carry >>= 32;
    }
    digits.remove_prefix(take);
  }
  return result;
}

void BigInteger::MultiplyBy(std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : limbs_) {
    carry += static_cast<std::uint64_t>(limb) * factor;
    limb = static_cast<std::uint32_t>(carry);
    carry >>= 32;
  }
  if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  Trim();
}

void BigInteger::MultiplyByPowerOf5(int exponent) {
  // 5^13 is the largest power of five within a limb.
  constexpr std::uint32_t kFiveTo13 = 1220703125;
  for (; exponent >= 13; exponent -= 13) MultiplyBy(kFiveTo13);
  std::uint32_t rest = 1;
  for (; exponent > 0; --exponent) rest *= 5;
  MultiplyBy(rest);
}

void BigInteger::ShiftLeft(int bits) {
  if (IsZero() || bits <= 0) return;
  const int whole = bits / 32;
  const int part = bits % 32;
  limbs_.insert(limbs_.begin(), static_cast<std::size_t>(whole), 0);
  if (part == 0) return;
  std::uint32_t carry = 0;
  for (std::size_t i = static_cast<std::size_t>(whole); i < limbs_.size(); ++i) {
    std::uint32_t limb = limbs_[i];
    limbs_[i] = (limb << part) | carry;
    carry = limb >> (32 - part);
  }
  if (carry != 0) limbs_.push_back(carry);
}

void BigInteger::ShiftRightOne() {
  for (std::size_t i = 0; i < limbs_.size(); ++i) {
    std::uint32_t next = i + 1 < limbs_.size() ? limbs_[i + 1] : 0;
    limbs_[i] = (limbs_[i] >> 1) | (next << 31);
  }
  Trim();
}

void BigInteger::Subtract(const BigInteger& other) {
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < limbs_.size(); ++i) {
    std::int64_t difference = static_cast<std::int64_t>(limbs_[i]) - borrow -
                              (i < other.limbs_.size() ? static_cast<std::int64_t>(other.limbs_[i]) : 0);
    borrow = difference < 0 ? 1 : 0;
    limbs_[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
  }
  Trim();
}

int BigInteger::BitLength() const {
  if (IsZero()) return 0;
  return static_cast<int>(limbs_.size() - 1) * 32 + std::bit_width(limbs_.back());
}

UInt128 BigInteger::TopBits(bool& sticky) const {
  const int drop = BitLength() - 128;
  if (drop <= 0) {
    // At most four limbs: the whole number, moved up.
    UInt128 top = 0;
    for (std::size_t i = limbs_.size(); i > 0; --i) top = (top << 32) | limbs_[i - 1];
    sticky = false;
    return top << -drop;
  }
  // Bits drop to drop + 127, 32 at a time; what lies below drop is sticky.
  auto word = [this](int bit) {
    auto index = static_cast<std::size_t>(bit / 32);
    const int offset = bit % 32;
    std::uint64_t pair = limbs_[index];
    if (index + 1 < limbs_.size()) pair |= static_cast<std::uint64_t>(limbs_[index + 1]) << 32;
    return static_cast<std::uint32_t>(pair >> offset);
  };
  UInt128 top = 0;
  for (int k = 3; k >= 0; --k) top = (top << 32) | word(drop + 32 * k);
  const auto whole = static_cast<std::size_t>(drop / 32);
  sticky = (limbs_[whole] & ((1u << (drop % 32)) - 1)) != 0;
  for (std::size_t i = 0; i < whole && !sticky; ++i) sticky = limbs_[i] != 0;
  return top;
}

int Compare(const BigInteger& a, const BigInteger& b) {
  if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
  for (std::size_t i = a.limbs_.size(); i > 0; --i) {
    if (a.limbs_[i - 1] != b.limbs_[i - 1]) return a.limbs_[i - 1] < b.limbs_[i - 1] ? -1 : 1;
  }
  return 0;
}

void BigInteger::Trim() {
  while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
}

UInt128 DivideInto(BigInteger& dividend, const BigInteger& divisor) {
  // Long division one bit at a time: the quotients here have at most 128
  // bits, so this is a few hundred steps over a few hundred limbs.
  const int gap = dividend.BitLength() - divisor.BitLength();
  if (gap < 0) return 0;
  BigInteger shifted = divisor;
  shifted.ShiftLeft(gap);
  UInt128 quotient = 0;
  for (int bit = gap; bit >= 0; --bit) {
    quotient <<= 1;
    if (Compare(dividend, shifted) >= 0) {
      dividend.Subtract(shifted);
      quotient |= 1;
    }
    shifted.ShiftRightOne();
  }
  return quotient;
}

}  // namespace velmo
