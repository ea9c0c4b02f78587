#include "device/number_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
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

// Only plain decimal notation: the library parsers would also take "inf", "nan".
bool looksDecimal(const std::string& body) {
    return std::all_of(body.begin(), body.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.' ||
               c == 'e' || c == 'E';
    });
}

}  // namespace

int textToInt(const std::string& text) {
    const std::string body = trimmed(text);
    const auto fail = [&]() {
        return ConversionError("'" + text + "' is not a valid integer value");
    };
    const char* first = body.data();
    const char* end = body.data() + body.size();
    if (first != end && *first == '+' && end - first > 1 && first[1] != '-') {
        ++first;
    }
    int value = 0;
    const auto result = std::from_chars(first, end, value, 10);
    if (first == end || result.ec != std::errc() || result.ptr != end) {
        throw fail();
    }
    return value;
}

// std::from_chars never looks at the locale, unlike strtod, which reads "0,5"
// under a comma-decimal locale and stops at the point of "0.5".
double textToFloat(const std::string& text) {
    const auto fail = [&]() {
        return ConversionError("'" + text + "' is not a valid floating point value");
    };
    std::string body = trimmed(text);
    if (body.size() > 1 && body[0] == '+' && body[1] != '-' && body[1] != '+') {
        body.erase(0, 1);  // from_chars takes no plus sign; the offset limits carry one
    }
    if (body.empty() || !looksDecimal(body)) {
        throw fail();
    }
    double value{};
    const char* end = body.data() + body.size();
    const auto result = std::from_chars(body.data(), end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        throw fail();
    }
    return value;
}

std::string formatFixed(double value, int decimals) {
    if (!std::isfinite(value)) {
        return value != value ? "NAN" : (value < 0 ? "-INF" : "INF");
    }
    // The shortest digits that read back as `value`: the number its text denotes.
    char digits[400];
    const auto shortest =
        std::to_chars(digits, digits + sizeof digits, std::fabs(value), std::chars_format::fixed);
    std::string integer(digits, shortest.ptr);
    std::string fraction;
    if (const auto point = integer.find('.'); point != std::string::npos) {
        fraction = integer.substr(point + 1);
        integer.erase(point);
    }
    const bool roundUp = static_cast<int>(fraction.size()) > decimals &&
                         fraction[static_cast<size_t>(decimals)] >= '5';
    fraction.resize(static_cast<size_t>(decimals), '0');
    // Half away from zero: carry the one through the kept digits.
    std::string kept = integer + fraction;
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[static_cast<size_t>(i)] == '9') {
            kept[static_cast<size_t>(i--)] = '0';
        }
        if (i < 0) {
            kept.insert(kept.begin(), '1');
        } else {
            ++kept[static_cast<size_t>(i)];
        }
    }
    const size_t integerDigits = kept.size() - static_cast<size_t>(decimals);
    std::string result = kept.substr(0, integerDigits);
    if (decimals > 0) {
        result += '.' + kept.substr(integerDigits);
    }
    const bool zero = std::all_of(kept.begin(), kept.end(), [](char c) { return c == '0'; });
    return (value < 0 && !zero) ? "-" + result : result;
}

}  // namespace kelvane
