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

// std::from_chars never looks at the locale, unlike strtod, which reads "0,5"
// under a comma-decimal locale and stops at the point of "0.5".
template <class Number>
Number parseDecimal(const std::string& text) {
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
    Number value{};
    const char* end = body.data() + body.size();
    const auto result = std::from_chars(body.data(), end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        throw fail();
    }
    return value;
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

double textToFloat(const std::string& text) {
    return parseDecimal<double>(text);
}

Decimal::Decimal(bool negative, std::string digits, long exponent)
    : negative_(negative), digits_(std::move(digits)), exponent_(exponent) {
    const size_t first = digits_.find_first_not_of('0');
    if (first == std::string::npos) {
        *this = Decimal();
        return;
    }
    const size_t last = digits_.find_last_not_of('0');
    exponent_ += static_cast<long>(digits_.size() - 1 - last);
    digits_ = digits_.substr(first, last - first + 1);
}

Decimal Decimal::fromText(const std::string& text) {
    const auto fail = [&]() {
        return ConversionError("'" + text + "' is not a valid floating point value");
    };
    // The grammar of the floating point reading: a sign, digits with at most one
    // point (at least one digit in all), and an exponent with at least one digit.
    const std::string body = trimmed(text);
    size_t at = 0;
    bool negative = false;
    if (at < body.size() && (body[at] == '+' || body[at] == '-')) {
        negative = body[at++] == '-';
    }
    std::string digits;
    long exponent = 0;
    bool point = false;
    bool anyDigit = false;
    for (; at < body.size(); ++at) {
        const char c = body[at];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
            anyDigit = true;
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
    if (at < body.size() && (body[at] == 'e' || body[at] == 'E')) {
        ++at;
        bool exponentNegative = false;
        if (at < body.size() && (body[at] == '+' || body[at] == '-')) {
            exponentNegative = body[at++] == '-';
        }
        if (at == body.size()) {
            throw fail();
        }
        long written = 0;
        for (; at < body.size() && std::isdigit(static_cast<unsigned char>(body[at])); ++at) {
            // Held short of overflow: an exponent this long is out of range anyway.
            written = std::min(written * 10 + (body[at] - '0'), 100'000'000L);
        }
        exponent += exponentNegative ? -written : written;
    }
    if (at != body.size()) {
        throw fail();
    }
    const Decimal value(negative, digits, exponent);
    // The range of extended precision, from its smallest step to its largest value.
    static const Decimal kSmallest(false, "364519953188247460253", -4971);
    static const Decimal kLargest(false, "118973149535723176502", 4912);
    Decimal magnitude = value;
    magnitude.negative_ = false;
    if (!magnitude.digits_.empty() && (magnitude < kSmallest || kLargest < magnitude)) {
        throw fail();
    }
    return value;
}

Decimal Decimal::scaledBy(unsigned factor) const {
    // Long multiplication of the digits, from the last one up.
    std::string product;
    unsigned long long carry = 0;
    for (auto digit = digits_.rbegin(); digit != digits_.rend(); ++digit) {
        carry += static_cast<unsigned long long>(*digit - '0') * factor;
        product.insert(product.begin(), static_cast<char>('0' + carry % 10));
        carry /= 10;
    }
    for (; carry > 0; carry /= 10) {
        product.insert(product.begin(), static_cast<char>('0' + carry % 10));
    }
    return Decimal(negative_, product, exponent_);
}

template <class Binary>
Binary Decimal::toBinary() const {
    if (digits_.empty()) {
        return Binary(0);
    }
    const std::string text = digits_ + "e" + std::to_string(exponent_);
    Binary value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Past the type's range on one side or the other of its exponents.
        const bool large = exponent_ + static_cast<long>(digits_.size()) > 0;
        value = large ? std::numeric_limits<Binary>::infinity() : Binary(0);
    }
    return negative_ ? -value : value;
}

double Decimal::toDouble() const {
    return toBinary<double>();
}

float Decimal::toFloat() const {
    return toBinary<float>();
}

std::uint32_t Decimal::truncatedLow32() const {
    // The integer part's digits; whole zeros past them count only while they can
    // change the low 32 bits (10^32 is a multiple of 2^32).
    const long integerDigits = static_cast<long>(digits_.size()) + exponent_;
    std::uint64_t low = 0;
    for (long i = 0; i < std::min(integerDigits, static_cast<long>(digits_.size()) + 32); ++i) {
        const int digit =
            i < static_cast<long>(digits_.size()) ? digits_[static_cast<size_t>(i)] - '0' : 0;
        low = (low * 10 + static_cast<std::uint64_t>(digit)) % 4294967296ULL;
    }
    return static_cast<std::uint32_t>(negative_ ? (4294967296ULL - low) % 4294967296ULL : low);
}

bool operator<(const Decimal& a, const Decimal& b) {
    if (a.negative_ != b.negative_) {
        // Zero is never negative, so signs that differ decide unless both are zero.
        return a.negative_ && !(a.digits_.empty() && b.digits_.empty());
    }
    // Compare magnitudes: the place of the leading digit, then the digits themselves.
    const auto lessMagnitude = [](const Decimal& x, const Decimal& y) {
        if (x.digits_.empty() || y.digits_.empty()) {
            return x.digits_.empty() && !y.digits_.empty();
        }
        const long xLead = x.exponent_ + static_cast<long>(x.digits_.size());
        const long yLead = y.exponent_ + static_cast<long>(y.digits_.size());
        return xLead != yLead ? xLead < yLead : x.digits_ < y.digits_;
    };
    return a.negative_ ? lessMagnitude(b, a) : lessMagnitude(a, b);
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
