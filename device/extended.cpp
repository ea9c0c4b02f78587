#include "device/extended.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <vector>

#include "device/number_text.h"

namespace kelvane {

namespace {

// A non-negative integer of any size, in 32-bit limbs from the lowest up: just what
// rounding a decimal text to a binary significand needs.
class Natural {
  public:
    explicit Natural(std::uint64_t value = 0) {
        for (; value != 0; value >>= 32) {
            limbs_.push_back(static_cast<std::uint32_t>(value));
        }
    }

    void multiplyAdd(std::uint32_t factor, std::uint32_t addend = 0) {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : limbs_) {
            carry += static_cast<std::uint64_t>(limb) * factor;
            limb = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
        if (carry != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(carry));
        }
        trim();
    }

    int bitLength() const {
        if (limbs_.empty()) {
            return 0;
        }
        int bits = static_cast<int>(limbs_.size() - 1) * 32;
        for (std::uint32_t top = limbs_.back(); top != 0; top >>= 1) {
            ++bits;
        }
        return bits;
    }
    bool bit(int index) const {
        const auto limb = static_cast<size_t>(index / 32);
        return index >= 0 && limb < limbs_.size() && ((limbs_[limb] >> (index % 32)) & 1U) != 0;
    }
    // True when any bit below `index` is set.
    bool anyBitBelow(int index) const {
        for (int i = 0; i < index && i < bitLength(); ++i) {
            if (bit(i)) {
                return true;
            }
        }
        return false;
    }
    bool isZero() const { return limbs_.empty(); }

    Natural shiftedLeft(int bits) const {
        Natural result;
        result.limbs_.assign(static_cast<size_t>(bits / 32), 0);
        std::uint32_t carry = 0;
        for (const std::uint32_t limb : limbs_) {
            const int within = bits % 32;
            result.limbs_.push_back(within == 0 ? limb : (limb << within) | carry);
            carry = within == 0 ? 0 : limb >> (32 - within);
        }
        result.limbs_.push_back(carry);
        result.trim();
        return result;
    }
    // The bits from `from` up, as a number (at most 64 of them are asked for).
    std::uint64_t bitsFrom(int from) const {
        std::uint64_t value = 0;
        for (int i = bitLength() - 1; i >= from; --i) {
            value = (value << 1) | (bit(i) ? 1U : 0U);
        }
        return value;
    }

    friend bool operator<(const Natural& a, const Natural& b) {
        if (a.limbs_.size() != b.limbs_.size()) {
            return a.limbs_.size() < b.limbs_.size();
        }
        return std::lexicographical_compare(a.limbs_.rbegin(), a.limbs_.rend(), b.limbs_.rbegin(),
                                            b.limbs_.rend());
    }
    // this − other, for other ≤ this.
    void subtract(const Natural& other) {
        std::int64_t borrow = 0;
        for (size_t i = 0; i < limbs_.size(); ++i) {
            std::int64_t difference = static_cast<std::int64_t>(limbs_[i]) - borrow -
                                      (i < other.limbs_.size() ? other.limbs_[i] : 0);
            borrow = difference < 0 ? 1 : 0;
            limbs_[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
        }
        trim();
    }

    // The quotient by `divisor`, leaving the remainder in this number.
    Natural divideBy(const Natural& divisor) {
        Natural quotient;
        for (int shift = bitLength() - divisor.bitLength(); shift >= 0; --shift) {
            const Natural part = divisor.shiftedLeft(shift);
            if (!(*this < part)) {
                subtract(part);
                quotient.setBit(shift);
            }
        }
        return quotient;
    }

  private:
    void setBit(int index) {
        const auto limb = static_cast<size_t>(index / 32);
        if (limbs_.size() <= limb) {
            limbs_.resize(limb + 1, 0);
        }
        limbs_[limb] |= 1U << (index % 32);
    }
    void trim() {
        while (!limbs_.empty() && limbs_.back() == 0) {
            limbs_.pop_back();
        }
    }

    std::vector<std::uint32_t> limbs_;
};

// `value` × 2^exponent rounded to `bits` significant bits, to nearest with ties to
// even; `inexactBelow` says the value was already cut short of more non-zero bits.
// The result: the significand (`bits` wide) and its binary exponent.
struct Rounded {
    std::uint64_t significand;
    int exponent;
};
Rounded roundToBits(const Natural& value, int exponent, int bits, bool inexactBelow) {
    const int cut = value.bitLength() - bits;
    if (cut <= 0) {
        return {value.bitsFrom(0) << -cut, exponent + cut};
    }
    std::uint64_t significand = value.bitsFrom(cut);
    const bool half = value.bit(cut - 1);
    const bool beyondHalf = inexactBelow || value.anyBitBelow(cut - 1);
    if (half && (beyondHalf || (significand & 1U) != 0)) {
        ++significand;
        if (bits == 64 ? significand == 0 : (significand >> bits) != 0) {
            return {std::uint64_t{1} << (bits - 1), exponent + cut + 1};  // carried out
        }
    }
    return {significand, exponent + cut};
}

Natural timesPowerOfTen(Natural value, long exponent) {
    for (long i = 0; i < exponent; ++i) {
        value.multiplyAdd(10);
    }
    return value;
}

// The extended type's range: its largest finite value's exponent, and the smallest
// step (2^-16445) halved.
constexpr int kLargestTopBit = 16383;
constexpr int kSmallestTopBit = -16446;

}  // namespace

Extended Extended::fromText(const std::string& text) {
    const auto fail = [&]() {
        return ConversionError("'" + text + "' is not a valid floating point value");
    };
    // The floating point reading's grammar: blanks, a sign, digits with at most one
    // point (at least one digit in all), an exponent with at least one digit, blanks.
    size_t at = 0;
    size_t end = text.size();
    while (at < end && std::isspace(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    while (end > at && std::isspace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    Extended value;
    if (at < end && (text[at] == '+' || text[at] == '-')) {
        value.negative_ = text[at++] == '-';
    }
    Natural digits;
    long exponent = 0;  // of ten
    int significantDigits = 0;
    bool point = false;
    bool anyDigit = false;
    for (; at < end; ++at) {
        const char c = text[at];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            anyDigit = true;
            digits.multiplyAdd(10, static_cast<std::uint32_t>(c - '0'));
            significantDigits += (significantDigits > 0 || c != '0') ? 1 : 0;
            exponent -= point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) {
        throw fail();
    }
    if (at < end && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        bool exponentNegative = false;
        if (at < end && (text[at] == '+' || text[at] == '-')) {
            exponentNegative = text[at++] == '-';
        }
        if (at == end || !std::isdigit(static_cast<unsigned char>(text[at]))) {
            throw fail();
        }
        long written = 0;
        for (; at < end && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
            // Held short of overflow: an exponent this long is out of range anyway.
            written = std::min(written * 10 + (text[at] - '0'), 100'000'000L);
        }
        exponent += exponentNegative ? -written : written;
    }
    if (at != end) {
        throw fail();
    }
    if (digits.isZero()) {
        return value;
    }
    // Ten to the power of the leading digit's place, against the range first, so
    // that "1e99999999" costs nothing.
    const long place = exponent + significantDigits;
    if (place > 4934 || place < -4953) {
        throw fail();
    }
    Rounded rounded{};
    if (exponent >= 0) {
        rounded = roundToBits(timesPowerOfTen(digits, exponent), 0, 64, false);
    } else {
        // digits / 10^-exponent, with at least 66 quotient bits before the rounding.
        const Natural divisor = timesPowerOfTen(Natural(1), -exponent);
        const int scale = std::max(0, 66 + divisor.bitLength() - digits.bitLength());
        Natural remainder = digits.shiftedLeft(scale);
        const Natural quotient = remainder.divideBy(divisor);
        rounded = roundToBits(quotient, -scale, 64, !remainder.isZero());
    }
    const int topBit = rounded.exponent + 63;
    if (topBit > kLargestTopBit || topBit < kSmallestTopBit) {
        throw fail();
    }
    value.significand_ = rounded.significand;
    value.exponent_ = rounded.exponent;
    return value;
}

Extended Extended::times(unsigned factor) const {
    Natural product(significand_);
    product.multiplyAdd(factor);
    Extended result = *this;
    if (product.isZero()) {
        result.significand_ = 0;
        return result;
    }
    const Rounded rounded = roundToBits(product, exponent_, 64, false);
    result.significand_ = rounded.significand;
    result.exponent_ = rounded.exponent;
    return result;
}

double Extended::toDouble() const {
    if (significand_ == 0) {
        return negative_ ? -0.0 : 0.0;
    }
    const Rounded rounded = roundToBits(Natural(significand_), exponent_, 53, false);
    const double magnitude = std::ldexp(static_cast<double>(rounded.significand), rounded.exponent);
    return negative_ ? -magnitude : magnitude;
}

float Extended::toFloat() const {
    if (significand_ == 0) {
        return negative_ ? -0.0F : 0.0F;
    }
    // Anything above the largest float, even by less than its rounding, is infinite.
    constexpr std::uint64_t kLargestFloatSignificand = 0xFFFFFF0000000000ULL;
    const bool beyond =
        exponent_ > 64 || (exponent_ == 64 && significand_ > kLargestFloatSignificand);
    const Rounded rounded = roundToBits(Natural(significand_), exponent_, 24, false);
    const float magnitude =
        beyond ? std::numeric_limits<float>::infinity()
               : std::ldexp(static_cast<float>(rounded.significand), rounded.exponent);
    return negative_ ? -magnitude : magnitude;
}

std::uint32_t Extended::truncatedLow32() const {
    std::uint64_t whole = 0;
    if (exponent_ >= 0) {
        whole = exponent_ >= 32 ? 0 : significand_ << exponent_;  // 2^32 divides the rest
    } else if (exponent_ > -64) {
        whole = significand_ >> -exponent_;
    }
    const auto low = static_cast<std::uint32_t>(whole);
    return negative_ ? static_cast<std::uint32_t>(0U - low) : low;
}

bool operator<(const Extended& a, const Extended& b) {
    const bool aZero = a.significand_ == 0;
    const bool bZero = b.significand_ == 0;
    if (aZero || bZero) {
        // Zero of either sign against a number: the number's sign decides.
        return aZero ? (!bZero && !b.negative_) : a.negative_;
    }
    if (a.negative_ != b.negative_) {
        return a.negative_;
    }
    // Same sign: compare magnitudes, the other way round for negative numbers.
    const Extended& smaller = a.negative_ ? b : a;
    const Extended& larger = a.negative_ ? a : b;
    return smaller.exponent_ != larger.exponent_ ? smaller.exponent_ < larger.exponent_
                                                 : smaller.significand_ < larger.significand_;
}

}  // namespace kelvane
