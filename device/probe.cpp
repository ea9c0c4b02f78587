#include "device/probe.h"

#include "link/line_settings.h"
#include "link/registers.h"

namespace kelvane {

namespace {

using regmap::kDeviceAddress;
constexpr std::int16_t kAddressRegister = regmap::address(regmap::Register::DeviceAddress);
constexpr std::int16_t kBaudCodeRegister = regmap::address(regmap::Register::BaudRateCode);
constexpr std::int16_t kLine4800 = 0;
constexpr std::int16_t kLine19200 = 2;

}  // namespace

DeviceFamily familyOf(std::uint8_t b3, std::uint8_t b4) {
    if (b3 >= 32 && b3 <= 36) {
        return DeviceFamily::SignalConditioner;
    }
    if (wordFrom(b3, b4) == regmap::kEarlyIdentityWord || b3 == 1 || b3 == 2 || b3 == 17 ||
        b3 == 18) {
        return DeviceFamily::Transmitter;
    }
    if (b3 >= 3 && b3 <= 7) {
        return DeviceFamily::MultiPointTransmitter;
    }
    if (b3 == 49 || (b3 >= 55 && b3 <= 58)) {
        return DeviceFamily::Distributor;
    }
    if (b3 >= 50 && b3 <= 54) {
        return DeviceFamily::Isolator;
    }
    return DeviceFamily::None;
}

Identification identify(const std::array<std::uint8_t, kIdentityBytesLookedAt>& reply) {
    Identification result;
    const std::uint8_t b3 = reply[3];
    const std::uint8_t b4 = reply[4];
    result.family = familyOf(b3, b4);
    if (result.family == DeviceFamily::None) {
        return result;
    }
    if (result.family == DeviceFamily::Transmitter) {
        result.modelCode = b3;
    }
    const bool early = wordFrom(b3, b4) == regmap::kEarlyIdentityWord;
    result.firmwareVersionIndex = early ? 0 : b4;
    result.serialNumber = combine32(wordFrom(reply[7], reply[8]), wordFrom(reply[9], reply[10]));
    return result;
}

void recordIdentification(const Identification& identification, ProgramState& state) {
    if (identification.family == DeviceFamily::None) {
        return;
    }
    state.familyCode = static_cast<std::int16_t>(identification.family);
    if (identification.family == DeviceFamily::Transmitter) {
        state.modelCode = identification.modelCode;
    }
    state.firmwareVersionIndex = identification.firmwareVersionIndex;
    state.serialNumber = identification.serialNumber;
}

void readIdentity(Link& link, ProgramState& state, std::int16_t address) {
    // A silent line, a reply that fails its checks or a port that cannot be opened
    // identifies nothing: the attempt counts as silent.
    if (regmap::readIdentityBlock(link, address) != regmap::ReplyCheck::Good) {
        return;
    }
    std::array<std::uint8_t, kIdentityBytesLookedAt> reply{};
    for (int k = 0; k < kIdentityBytesLookedAt; ++k) {
        reply[static_cast<size_t>(k)] = link.response(k);
    }
    recordIdentification(identify(reply), state);
}

ProbeOutcome runProbe(Link& link, ProgramState& state, const ProbeSteps& steps) {
    const auto portIndex = static_cast<std::int16_t>(state.portNumber - 1);
    state.lineSettingsIndex = kLine4800;
    state.familyCode = 0;
    state.deviceAddress = kDeviceAddress;
    steps.selectBaudLine(0);

    const auto lineCount = static_cast<std::int16_t>(kLineSettingsTable.size());
    // A line that never falls silent (a device that streams, noise) is no transmitter's:
    // broadcasting four passes into it would hold the window for half a minute.
    const int cappedBefore = link.cappedCollections();
    const auto streamingLine = [&] {
        if (link.cappedCollections() == cappedBefore) {
            return false;
        }
        steps.selectBaudLine(lineCount);
        return true;
    };

    link.ClosePort();
    link.OpenPort(portIndex, kLine4800);
    if (!link.portOpen() && steps.firstOpenFailed) {
        steps.firstOpenFailed();
    }
    steps.getSerialN(kDeviceAddress);
    if (state.familyCode == static_cast<std::int16_t>(DeviceFamily::Transmitter)) {
        return ProbeOutcome::TransmitterFound;
    }
    if (streamingLine()) {
        state.familyCode = 0;
        return ProbeOutcome::DeviceNotFound;
    }
    state.familyCode = 0;
    state.deviceAddress = kDeviceAddress;

    // Recovery: whatever listens at this line setting is told to take address 1 and
    // 19200 baud, then asked for its identity at 19200 baud. The passes always run to
    // the end; what they find is not acted on.
    for (std::int16_t line = 0; line < lineCount;) {
        state.lineSettingsIndex = line;
        // The pass's steps, each followed by the streaming check (the family is still
        // 0 before the identity is asked for, so that it stays 0 whichever step ends).
        const std::function<void()> pass[] = {
            [&] {
                link.ClosePort();
                link.OpenPort(portIndex, line);
                link.Drain();
            },
            [&] {
                link.SendRequest(kBroadcastAddress, regmap::fn(FunctionCode::WriteAnyValue),
                                 kAddressRegister, kDeviceAddress);
                // No reply comes to a broadcast; these wait out the line.
                link.CollectResponse();
            },
            [&] {
                link.CollectResponse();
                link.SendRequest(kBroadcastAddress, regmap::fn(FunctionCode::WriteRegister),
                                 kBaudCodeRegister, kLine19200);
                link.CollectResponse();
            },
            [&] {
                link.ClosePort();
                link.OpenPort(portIndex, kLine19200);
                steps.getSerialN(kDeviceAddress);
            },
        };
        for (const auto& step : pass) {
            step();
            if (streamingLine()) {
                state.familyCode = 0;
                return ProbeOutcome::DeviceNotFound;
            }
        }
        ++line;
        state.lineSettingsIndex = line;
        steps.selectBaudLine(line);
        if (line < lineCount) {
            state.familyCode = 0;
        }
    }
    return ProbeOutcome::DeviceNotFound;
}

}  // namespace kelvane
