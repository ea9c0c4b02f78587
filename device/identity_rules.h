// The read sequence's identity test as a plain function: which identity words a
// read accepts (model codes 1, 2, 16, 17, or the early word 3110) and the firmware
// version index they carry. Used by TForm2::BtnP1Click.
#pragma once

#include <cstdint>
#include <optional>

namespace kelvane {

struct AcceptedIdentity {
    std::uint8_t modelCode;
    int firmwareIndex;
};

// From the first identity register's high byte (model code) and low byte.
std::optional<AcceptedIdentity> acceptIdentity(std::uint8_t modelByte, std::uint8_t versionByte);

}  // namespace kelvane
