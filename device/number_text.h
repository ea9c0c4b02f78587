// Number conversion and fixed-pattern formatting as the screens use them: text
// that is not a number raises ConversionError with the platform's wording, which
// the handler guard shows in the error box; "0.0", "0.00", "0.000" patterns.
// Numbers are read and written with a decimal point whatever the system's locale.
#pragma once

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

// At least one integer digit, a minus sign when negative, exactly `decimals`
// decimals, halves rounded away from zero: formatFixed(-60, 2) == "-60.00". The
// number rounded is the shortest decimal that reads back as `value`, so 2.675 gives
// "2.68" and 0.004999999999 gives "0.00".
std::string formatFixed(double value, int decimals);

}  // namespace kelvane
