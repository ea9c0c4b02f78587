#include "ui/number_text.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kelvane {

namespace {

std::string trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first])))
        ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1])))
        --last;
    return text.substr(first, last - first);
}

// Only plain decimal notation: strtod would also take "inf", "nan" and hex.
bool looksDecimal(const std::string& body) {
    for (char c : body) {
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.' &&
            c != 'e' && c != 'E') {
            return false;
        }
    }
    return true;
}

}  // namespace

int textToInt(const std::string& text) {
    const std::string body = trimmed(text);
    const auto fail = [&]() {
        return ConversionError("'" + text + "' is not a valid integer value");
    };
    size_t digitsFrom = (!body.empty() && (body[0] == '+' || body[0] == '-')) ? 1 : 0;
    if (body.size() == digitsFrom) {
        throw fail();
    }
    for (size_t i = digitsFrom; i < body.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(body[i]))) {
            throw fail();
        }
    }
    errno = 0;
    const long long value = std::strtoll(body.c_str(), nullptr, 10);
    if (errno == ERANGE || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max()) {
        throw fail();
    }
    return static_cast<int>(value);
}

double textToFloat(const std::string& text) {
    const std::string body = trimmed(text);
    const auto fail = [&]() {
        return ConversionError("'" + text + "' is not a valid floating point value");
    };
    if (body.empty() || !looksDecimal(body)) {
        throw fail();
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(body.c_str(), &end);
    if (end != body.c_str() + body.size() || errno == ERANGE || !std::isfinite(value)) {
        throw fail();
    }
    return value;
}

std::string formatFixed(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    // Round the decimal digits the pattern keeps, half away from zero; the small
    // nudge absorbs binary representation error (2.675 is stored as 2.67499…).
    double scaled = std::fabs(value) * scale;
    scaled = std::floor(scaled + 0.5 + 1e-9 * std::max(1.0, scaled));
    const bool negative = value < 0 && scaled != 0.0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%.*f", negative ? "-" : "", decimals, scaled / scale);
    return buffer;
}

}  // namespace kelvane
