// Number conversion and fixed-pattern formatting as the screens use them: text
// that is not a number raises ConversionError with the platform's wording, which
// the handler guard shows in the error box; "0.0", "0.00", "0.000" patterns.
// Numbers are read and written with a decimal point whatever the system's locale.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kelvane {

class ConversionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Decimal integer, optional sign, surrounding blanks allowed; else
// ConversionError("'<text>' is not a valid integer value").
int textToInt(const std::string& text);

// Decimal number with optional fraction and exponent, surrounding blanks allowed;
// else ConversionError("'<text>' is not a valid floating point value"). "nan",
// "inf" and numbers past the type's range are not numbers.
double textToFloat(const std::string& text);

// A number exactly as its text writes it, ±digits × 10^exponent, for the values that
// are scaled, compared or truncated before they reach the device: no binary rounding
// comes between the text and the result, so 0.29 × 100 is 29 with every compiler
// (some have no extended precision, or read it only to double precision).
class Decimal {
  public:
    // The texts textToFloat reads, in the range of extended precision (about
    // ±1.19e4932, so "1e400" is a number that fails every limit); else ConversionError.
    static Decimal fromText(const std::string& text);

    // The exact product with a whole factor (a register scale: 1, 10, 100, 1000).
    Decimal scaledBy(unsigned factor) const;
    // The nearest double or float: infinite past its range, zero below it.
    double toDouble() const;
    float toFloat() const;
    // The value truncated toward zero, as a 32-bit word (the low 32 bits of the integer).
    std::uint32_t truncatedLow32() const;

    friend bool operator<(const Decimal& a, const Decimal& b);

  private:
    Decimal() = default;
    Decimal(bool negative, std::string digits, long exponent);
    template <class Binary>
    Binary toBinary() const;

    bool negative_ = false;
    std::string digits_;  // no leading or trailing zeros; empty for zero
    long exponent_ = 0;
};

// At least one integer digit, a minus sign when negative, exactly `decimals`
// decimals, halves rounded away from zero: formatFixed(-60, 2) == "-60.00". The
// number rounded is the shortest decimal that reads back as `value`, so 2.675 gives
// "2.68" and 0.004999999999 gives "0.00".
std::string formatFixed(double value, int decimals);

}  // namespace kelvane
