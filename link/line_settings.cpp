#include "link/line_settings.h"

#include <charconv>
#include <vector>

namespace kelvane {

namespace {

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        fields.push_back(
            text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

std::optional<int> parsePositive(std::string_view field) {
    int value = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || value <= 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<Parity> parseParity(std::string_view field) {
    if (field.size() != 1) {
        return std::nullopt;
    }
    switch (field[0]) {
        case 'N':
        case 'n':
            return Parity::None;
        case 'E':
        case 'e':
            return Parity::Even;
        case 'O':
        case 'o':
            return Parity::Odd;
        case 'M':
        case 'm':
            return Parity::Mark;
        case 'S':
        case 's':
            return Parity::Space;
        default:
            return std::nullopt;
    }
}

std::optional<StopBits> parseStopBits(std::string_view field) {
    if (field == "1")
        return StopBits::One;
    if (field == "1.5")
        return StopBits::OneAndHalf;
    if (field == "2")
        return StopBits::Two;
    return std::nullopt;
}

}  // namespace

std::optional<LineSettings> parseLineSettings(std::string_view text) {
    const auto fields = splitFields(text);
    if (fields.size() != 4) {
        return std::nullopt;
    }
    const auto baud = parsePositive(fields[0]);
    const auto parity = parseParity(fields[1]);
    const auto dataBits = parsePositive(fields[2]);
    const auto stopBits = parseStopBits(fields[3]);
    if (!baud || !parity || !dataBits || *dataBits < 5 || *dataBits > 8 || !stopBits) {
        return std::nullopt;
    }
    return LineSettings{*baud, *parity, *dataBits, *stopBits};
}

std::string toString(const LineSettings& settings) {
    static constexpr char kParityLetters[] = {'N', 'E', 'O', 'M', 'S'};
    static constexpr const char* kStopTexts[] = {"1", "1.5", "2"};
    return std::to_string(settings.baud) + ',' + kParityLetters[static_cast<int>(settings.parity)] +
           ',' + std::to_string(settings.dataBits) + ',' +
           kStopTexts[static_cast<int>(settings.stopBits)];
}

double bitsPerCharacter(const LineSettings& settings) {
    static constexpr double kStopBitCount[] = {1.0, 1.5, 2.0};
    const double parityBits = settings.parity == Parity::None ? 0.0 : 1.0;
    return 1.0 + settings.dataBits + parityBits +
           kStopBitCount[static_cast<int>(settings.stopBits)];
}

long long characterTimeMicros(const LineSettings& settings) {
    return static_cast<long long>(bitsPerCharacter(settings) * 1'000'000.0 / settings.baud + 0.5);
}

}  // namespace kelvane
