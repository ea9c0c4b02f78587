// Typed numbers in extended precision, computed in software. The values the page
// scales, compares or truncates before they reach the device are read as the 80-bit
// extended type holds them (a 64-bit significand, rounded to nearest, ties to even)
// and carried on with its rounding, so 0.29 mV × 100 is 29 and 1370 °C stays exact
// with every compiler: some have no extended type, mingw's reads only to double.
#pragma once

#include <cstdint>
#include <string>

namespace kelvane {

class Extended {
  public:
    // The texts textToFloat reads, in the range of the extended type (about
    // ±1.19e4932, so "1e400" is a number that fails every limit); else
    // ConversionError "'<text>' is not a valid floating point value".
    static Extended fromText(const std::string& text);

    // The product with a whole factor (a register scale), rounded to extended.
    Extended times(unsigned factor) const;
    // Rounded to double or float as a conversion of the extended value rounds; a value
    // past the float range is infinite, so it fails every comparison with a limit.
    double toDouble() const;
    float toFloat() const;
    // The value truncated toward zero, as a 32-bit word: its integer's low 32 bits.
    std::uint32_t truncatedLow32() const;

    friend bool operator<(const Extended& a, const Extended& b);

  private:
    bool negative_ = false;
    std::uint64_t significand_ = 0;  // its top bit set, or zero for the value 0
    int exponent_ = 0;               // the value is significand × 2^exponent
};

}  // namespace kelvane
