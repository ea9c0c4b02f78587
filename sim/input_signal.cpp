#include "sim/input_signal.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kelvane::sim {

namespace {

struct TypeRange {
    int lower;  // degrees Celsius, or the range register's step for signal inputs
    int upper;
};

// Maximal ranges by input type code, in the range registers' steps.
constexpr std::array<TypeRange, 13> kMaximalRanges = {{
    {-50, 1000},      // 0 thermocouple J
    {-50, 1370},      // 1 thermocouple K
    {-270, 400},      // 2 thermocouple T
    {-50, 700},       // 3 thermocouple E
    {0, 1750},        // 4 thermocouple B
    {-50, 1750},      // 5 thermocouple R
    {-50, 1750},      // 6 thermocouple S
    {-50, 1300},      // 7 thermocouple N
    {-50, 1800},      // 8 thermocouple C
    {-6000, 6000},    // 9 millivolt, 0.01 mV
    {-200, 600},      // 10 PT-100
    {-10000, 10000},  // 11 voltage, 0.001 V
    {0, 24000},       // 12 current, 0.001 mA
}};

constexpr double kPi = 3.14159265358979323846;
constexpr double kSwingPeriodSeconds = 180.0;
constexpr double kRipplePeriodSeconds = 23.0;
constexpr std::int64_t kNoiseSlotMicros = 250'000;

int fahrenheitTenths(int celsius) {
    // The program converts whole degrees the same way: ×1.8 + 32, truncated.
    return static_cast<int>(static_cast<float>(celsius) * 1.8f + 32.0f) * 10;
}

}  // namespace

bool isTemperatureInput(std::uint16_t inputType) {
    return inputType <= 8 || inputType == 10;
}

int processStepsPerRangeStep(std::uint16_t inputType) {
    return isTemperatureInput(inputType) ? 10 : 1;
}

std::optional<ProcessRange> maximalProcessRange(std::uint16_t inputType, std::uint16_t unit) {
    if (inputType >= kMaximalRanges.size()) {
        return std::nullopt;
    }
    const TypeRange range = kMaximalRanges[inputType];
    if (!isTemperatureInput(inputType)) {
        return ProcessRange{range.lower, range.upper};
    }
    if (unit == 1) {
        return ProcessRange{fahrenheitTenths(range.lower), fahrenheitTenths(range.upper)};
    }
    return ProcessRange{range.lower * 10, range.upper * 10};
}

double noiseAt(std::uint32_t seed, std::int64_t slot) {
    // splitmix64 of (seed, slot): well mixed, and the same on every platform.
    std::uint64_t x = (static_cast<std::uint64_t>(seed) << 32) ^ static_cast<std::uint64_t>(slot);
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    x ^= x >> 31;
    return static_cast<double>(x >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
}

std::optional<int> simulatedProcessValue(std::uint16_t inputType, std::uint16_t unit,
                                         std::int16_t rangeLow, std::int16_t rangeHigh,
                                         std::int16_t offset, std::uint32_t seed, Micros now) {
    const auto maximal = maximalProcessRange(inputType, unit);
    if (!maximal) {
        return std::nullopt;
    }
    const int steps = processStepsPerRangeStep(inputType);
    int low = std::clamp(rangeLow * steps, maximal->lower, maximal->upper);
    int high = std::clamp(rangeHigh * steps, maximal->lower, maximal->upper);
    if (low > high) {
        std::swap(low, high);
    }
    if (high - low < 10) {
        low = maximal->lower;
        high = maximal->upper;
    }
    const double seconds = static_cast<double>(now.count()) / 1e6;
    const double phase = (noiseAt(seed, -1) + 1.0) * kPi;
    const double middle = (low + high) / 2.0;
    const double span = high - low;
    const double swing = 0.25 * span * std::sin(2.0 * kPi * seconds / kSwingPeriodSeconds + phase) +
                         0.03 * span * std::sin(2.0 * kPi * seconds / kRipplePeriodSeconds);
    const double noise =
        std::max(1.0, span / 2000.0) * noiseAt(seed, now.count() / kNoiseSlotMicros);
    const long value = std::lround(middle + swing + noise) + offset;
    return static_cast<int>(std::clamp<long>(value, maximal->lower, maximal->upper));
}

}  // namespace kelvane::sim
