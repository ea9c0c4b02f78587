// Model names of the transmitter family and their model codes ("QTR-H" is code 2),
// for the kelvane-sim command line and the program's --simulate option.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kelvane::sim {

// "QTR-H" → 2, "QTR-D" → 1, "QTN-H" → 17 (case-insensitive), or a decimal code 0–255.
std::optional<std::uint8_t> parseModel(const std::string& text);

// The model name of a model code, or nothing for a code with no name.
std::optional<std::string> modelName(std::uint8_t modelCode);

}  // namespace kelvane::sim
