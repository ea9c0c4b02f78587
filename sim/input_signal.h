// What the simulated sensor measures: the maximal range of each input type in the
// process-value register's scale (0.1 degree, 0.01 mV, 0.001 V, 0.001 mA), and a
// slowly varying, slightly noisy signal inside the configured range that depends only
// on a seed and the time, so that tests see the same values on every run.
#pragma once

#include <cstdint>
#include <optional>

#include "link/serial_port.h"

namespace kelvane::sim {

// Process-value register value of an open sensor.
inline constexpr std::int16_t kSensorOpen = 32767;

struct ProcessRange {
    int lower = 0;
    int upper = 0;
};

bool isTemperatureInput(std::uint16_t inputType);

// Register steps of the process value per step of the range registers 2 and 3: ten
// for temperature inputs (0.1 degree against whole degrees), one for the others.
int processStepsPerRangeStep(std::uint16_t inputType);

// The input type's maximal range in process-value steps, in degrees Fahrenheit for a
// temperature input with unit 1; nothing for an unknown input type.
std::optional<ProcessRange> maximalProcessRange(std::uint16_t inputType, std::uint16_t unit);

// A reproducible number in [-1, 1] for a seed and a slot of time.
double noiseAt(std::uint32_t seed, std::int64_t slot);

// The measured value in process-value steps: a slow swing around the middle of the
// configured range (registers 2 and 3; the maximal range when they make no sense),
// plus a little noise, plus the offset correction, kept inside the maximal range.
std::optional<int> simulatedProcessValue(std::uint16_t inputType, std::uint16_t unit,
                                         std::int16_t rangeLow, std::int16_t rangeHigh,
                                         std::int16_t offset, std::uint32_t seed, Micros now);

}  // namespace kelvane::sim
