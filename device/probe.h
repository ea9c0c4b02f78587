// The device probe and identification, without any window: reading the identity
// block (input registers 0x1F00–0x1F03) and classifying it into a device family,
// and the probe's sequence of the first attempt at 4800 baud followed, when no
// transmitter answers, by four recovery passes. TForm3::iConTest and
// TForm3::GetSerialN run these on the program's link.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "device/register_map.h"
#include "link/link.h"
#include "link/program_state.h"

namespace kelvane {

// Family codes of the identity block; only a transmitter opens a screen.
enum class DeviceFamily : std::int16_t {
    None = 0,
    Transmitter = 1,
    SignalConditioner = 2,
    MultiPointTransmitter = 3,
    Distributor = 4,
    Isolator = 5,
};

// The family that model byte b3 (register 0x1F00 high byte) with the firmware byte b4
// names; None when it names no family.
DeviceFamily familyOf(std::uint8_t b3, std::uint8_t b4);

// What one identity reply says. Response bytes 3 … 10 are the ones looked at.
struct Identification {
    DeviceFamily family = DeviceFamily::None;
    std::int16_t modelCode = 0;             // for a transmitter only
    std::int16_t firmwareVersionIndex = 0;  // 0 for register value 3110
    std::uint32_t serialNumber = 0;
};
inline constexpr int kIdentityBytesLookedAt = regmap::kIdentityDataEnd;
Identification identify(const std::array<std::uint8_t, kIdentityBytesLookedAt>& reply);

// Leaves an identification in the program-wide values: the family code, and for a
// recognised family the firmware version index and the serial number; the model code
// for a transmitter. An unrecognised reply leaves every value as it was.
void recordIdentification(const Identification& identification, ProgramState& state);

// TForm3::GetSerialN's exchange: drain, read the identity block of `address`,
// classify it. Only a reply that brought at least the bytes looked at is classified,
// so that bytes left in the buffer by an earlier reply never identify a device.
void readIdentity(Link& link, ProgramState& state, std::int16_t address);

enum class ProbeOutcome { TransmitterFound, DeviceNotFound };

struct ProbeSteps {
    std::function<void(std::int16_t address)> getSerialN;  // identify the device at address
    std::function<void(int line)> selectBaudLine;          // 4 = one past the last line
    // Called once when the first open of the adapter fails; the probe then goes on.
    std::function<void()> firstOpenFailed;
};

// TForm3::iConTest's sequence on the port of state.portNumber: first attempt at
// 4800 baud; a transmitter ends the probe with the port left open at 4800 baud.
// Otherwise, at each line setting, broadcast "take address 1" and "switch to 19200
// baud", then read the identity at 19200 baud; after the fourth pass: not found.
ProbeOutcome runProbe(Link& link, ProgramState& state, const ProbeSteps& steps);

}  // namespace kelvane
