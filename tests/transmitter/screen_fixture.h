// A transmitter screen on the in-memory link, talking to a configurable device:
// ConfigDevice answers the identity read and the configuration read with the
// words a test sets, records every frame, and can stay silent or corrupt a reply.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "link/in_memory_port.h"
#include "link/link.h"
#include "link/registers.h"
#include "tests/support/scripted_peer.h"
#include "transmitter/tform2.h"

namespace kelvane::testing {

using Bytes = std::vector<std::uint8_t>;

struct ConfigDevice {
    std::uint16_t identityWord = 0x0205;  // model 2 (QTR-H), firmware V05
    std::uint32_t serial = 12345678;
    std::array<std::uint16_t, 9> registers{1, 0, 0xFFCE, 0x0190, 0xFFF6, 0, 1, 1500, 30000};
    bool silentIdentity = false;
    bool corruptIdentityCrc = false;
    bool silentConfiguration = false;
    bool corruptConfiguration = false;
    bool shortConfiguration = false;

    Bytes reply(const Bytes& frame) const {
        const std::uint8_t function = frame.at(1);
        const std::uint16_t first = wordFrom(frame.at(2), frame.at(3));
        if (function == 4 && first == 0x1F00) {
            if (silentIdentity)
                return {};
            const std::uint16_t high = static_cast<std::uint16_t>(serial >> 16);
            const std::uint16_t low = static_cast<std::uint16_t>(serial & 0xFFFF);
            Bytes full = withCrc({frame[0], 4, 8, highByte(identityWord), lowByte(identityWord), 0,
                                  0, highByte(high), lowByte(high), highByte(low), lowByte(low)});
            if (corruptIdentityCrc)
                full[11] ^= 0x5A;
            return full;
        }
        if (function == 3 && first == 0) {
            if (silentConfiguration)
                return {};
            Bytes body{frame[0], 3, 18};
            for (std::uint16_t word : registers) {
                body.push_back(highByte(word));
                body.push_back(lowByte(word));
            }
            Bytes full = withCrc(body);
            if (corruptConfiguration)
                full[21] ^= 0x5A;
            if (shortConfiguration)
                full.pop_back();
            return full;
        }
        return frame;  // writes are echoed
    }
};

class ScreenTest : public ::testing::Test {
  protected:
    ScreenTest() {
        peer.setResponder([this](const Bytes& bytes, const LineSettings& line) {
            return ScriptedPeer::paced(device.reply(bytes), line);
        });
        port.attach("COM1", peer);
        link.OpenPort(0, 0);
        state.deviceAddress = 1;
        state.languageId = kLanguageEnglish;
        state.modelCode = 2;
        state.firmwareVersionIndex = 5;
        state.serialNumber = 200001;
    }

    // A read as the event loop runs it: the click, then the tick a second later.
    void readConfiguration() {
        screen.BtnP1Click();
        if (screen.design().Timer2->isActive()) {
            screen.Timer2Timer();
        }
    }

    // The request frames the device heard, as (function, first field, second field).
    std::vector<std::array<int, 3>> requests() const {
        std::vector<std::array<int, 3>> result;
        for (const SentFrame& frame : peer.sent) {
            result.push_back({frame.bytes.at(1), wordFrom(frame.bytes.at(2), frame.bytes.at(3)),
                              wordFrom(frame.bytes.at(4), frame.bytes.at(5))});
        }
        return result;
    }

    std::string text(const QLineEdit* edit) const { return edit->text().toStdString(); }
    std::string text(const QLabel* label) const { return label->text().toStdString(); }
    const TForm2Design& ui() const { return screen.design(); }

    VirtualClock clock;
    InMemoryPort port{clock};
    ScriptedPeer peer;
    ConfigDevice device;
    RecordingDialogs dialogs;
    Link link{port, dialogs};
    ProgramState state;
    TForm2 screen{link, state, dialogs, ScreenHooks{}};
};

inline const std::array<int, 3> kIdentityRequest{4, 0x1F00, 4};
inline const std::array<int, 3> kConfigurationRequest{3, 0, 9};

}  // namespace kelvane::testing
