#include "numtext/big_integer.h"

#include <algorithm>
#include <bit>

namespace velmo {

BigInteger::BigInteger(std::uint64_t value) {
  if (value != 0) limbs_.push_back(value);
}

BigInteger BigInteger::FromDigits(std::string_view digits) {
  // Eighteen digits at a time: 10^18 fits a limb.
  BigInteger result;
  result.limbs_.reserve(digits.size() / 18 + 1);
  while (!digits.empty()) {
    std::size_t take = std::min<std::size_t>(18, digits.size());
    std::uint64_t chunk = 0;
    std::uint64_t scale = 1;
    for (std::size_t i = 0; i < take; ++i) {
      chunk = chunk * 10 + static_cast<std::uint64_t>(digits[i] - '0');
      scale *= 10;
    }
    result.MultiplyBy(scale);
    UInt128 carry = chunk;
    for (std::size_t i = 0; carry != 0; ++i) {
      if (i == result.limbs_.size()) result.limbs_.push_back(0);
      carry += result.limbs_[i];
      result.limbs_[i] = static_cast<std::uint64_t>(carry);
      carry >>= 64;
    }
    digits.remove_prefix(take);
  }
  return result;
}

void BigInteger::MultiplyBy(std::uint64_t factor) {
  UInt128 carry = 0;
  for (std::uint64_t& limb : limbs_) {
    carry += static_cast<UInt128>(limb) * factor;
    limb = static_cast<std::uint64_t>(carry);
    carry >>= 64;
  }
  if (carry != 0) limbs_.push_back(static_cast<std::uint64_t>(carry));
  Trim();
}

void BigInteger::MultiplyByPowerOf5(int exponent) {
  // 5^27 is the largest power of five within a limb.
  constexpr std::uint64_t kFiveTo27 = 7450580596923828125ull;
  for (; exponent >= 27; exponent -= 27) MultiplyBy(kFiveTo27);
  std::uint64_t rest = 1;
  for (; exponent > 0; --exponent) rest *= 5;
  MultiplyBy(rest);
}

void BigInteger::ShiftLeft(int bits) {
  if (IsZero() || bits <= 0) return;
  const int whole = bits / 64;
  const int part = bits % 64;
  limbs_.insert(limbs_.begin(), static_cast<std::size_t>(whole), 0);
  if (part == 0) return;
  std::uint64_t carry = 0;
  for (std::size_t i = static_cast<std::size_t>(whole); i < limbs_.size(); ++i) {
    std::uint64_t limb = limbs_[i];
    limbs_[i] = (limb << part) | carry;
    carry = limb >> (64 - part);
  }
  if (carry != 0) limbs_.push_back(carry);
}

void BigInteger::Subtract(const BigInteger& other) {
  std::uint64_t borrow = 0;
  for (std::size_t i = 0; i < limbs_.size(); ++i) {
    const std::uint64_t subtrahend = i < other.limbs_.size() ? other.limbs_[i] : 0;
    if (borrow == 0 && subtrahend == 0 && i >= other.limbs_.size()) break;
    const std::uint64_t limb = limbs_[i];
    limbs_[i] = limb - subtrahend - borrow;
    borrow = (limb < subtrahend || (limb == subtrahend && borrow != 0)) ? 1 : 0;
  }
  Trim();
}

int BigInteger::BitLength() const {
  if (IsZero()) return 0;
  return static_cast<int>((limbs_.size() - 1) * 64 + std::bit_width(limbs_.back()));
}

std::uint64_t BigInteger::WordFrom(int bit) const {
  const auto index = static_cast<std::size_t>(bit / 64);
  if (index >= limbs_.size()) return 0;
  const int offset = bit % 64;
  UInt128 pair = limbs_[index];
  if (index + 1 < limbs_.size()) pair |= static_cast<UInt128>(limbs_[index + 1]) << 64;
  return static_cast<std::uint64_t>(pair >> offset);
}

UInt128 BigInteger::BitsFrom(int bit) const {
  return (static_cast<UInt128>(WordFrom(bit + 64)) << 64) | WordFrom(bit);
}

UInt128 BigInteger::TopBits(bool& sticky) const {
  const int drop = BitLength() - 128;
  if (drop <= 0) {
    sticky = false;
    return BitsFrom(0) << -drop;
  }
  // What lies below the top 128 bits is sticky.
  const UInt128 top = BitsFrom(drop);
  const auto whole = static_cast<std::size_t>(drop / 64);
  sticky = (limbs_[whole] & ((std::uint64_t{1} << (drop % 64)) - 1)) != 0;
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
  // Schoolbook division by estimates: the top 64 bits of the divisor, one
  // more so that the estimate never exceeds the truth, divide the dividend's
  // leading bits for up to 62 quotient bits at a time; what the estimate
  // leaves over is taken in the next round or by the final subtractions.
  const int divisorBits = divisor.BitLength();
  const int low = std::max(divisorBits - 64, 0);
  const auto divisorTop = static_cast<std::uint64_t>(divisor.BitsFrom(low));
  UInt128 quotient = 0;
  for (;;) {
    const int gap = dividend.BitLength() - divisorBits;
    if (gap < 2) break;
    const int shift = std::max(gap - 62, 0);
    const UInt128 estimate = dividend.BitsFrom(low + shift) / (static_cast<UInt128>(divisorTop) + 1);
    if (estimate == 0) break;
    BigInteger product = divisor;
    product.MultiplyBy(static_cast<std::uint64_t>(estimate));
    product.ShiftLeft(shift);
    dividend.Subtract(product);
    quotient += estimate << shift;
  }
  while (Compare(dividend, divisor) >= 0) {
    dividend.Subtract(divisor);
    ++quotient;
  }
  return quotient;
}

}  // namespace velmo
