// A transmitter screen on the in-memory link, talking to a configurable device:
// ConfigDevice answers the identity read, the configuration read, the process value,
// the store status and the calibration coefficients with the words a test sets,
// keeps the registers written, and can stay silent or corrupt a reply. The exchange
// log sees every request and collection on the link.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "link/in_memory_port.h"
#include "link/link.h"
#include "link/registers.h"
#include "tests/support/exchange_log.h"
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
    std::uint16_t processValue = 255;
    bool corruptProcessValue = false;
    std::uint16_t storeStatus = 0;
    std::array<std::uint16_t, 3> coefficients{100, 0xFFFF, 0x8000};
    // Requests (counted from 1) left unanswered, and the one from which the device
    // falls silent for good (0: never).
    std::set<unsigned> silentRequests;
    unsigned silentFrom = 0;
    unsigned heard = 0;
    // The last value written to each register the device keeps (0 … 10, 0x1F02, 0x1F03).
    std::map<std::uint16_t, std::uint16_t> written;

    Bytes reply(const Bytes& frame) {
        ++heard;
        if (silentRequests.count(heard) != 0 || (silentFrom != 0 && heard >= silentFrom)) {
            return {};
        }
        const std::uint8_t function = frame.at(1);
        const std::uint16_t first = wordFrom(frame.at(2), frame.at(3));
        const std::uint16_t second = wordFrom(frame.at(4), frame.at(5));
        const auto readReply = [&](std::vector<std::uint16_t> words) {
            Bytes body{frame[0], function, static_cast<std::uint8_t>(2 * words.size())};
            for (std::uint16_t word : words) {
                body.push_back(highByte(word));
                body.push_back(lowByte(word));
            }
            return withCrc(body);
        };
        if (function == 4 && first == 0x1000 && second == 1) {
            Bytes reply = readReply({processValue});
            if (corruptProcessValue)
                reply[4] ^= 0x01;
            return reply;
        }
        if (function == 4 && first == 0x1006 && second == 1)
            return readReply({storeStatus});
        if (function == 4 && first == 0x1003 && second == 3)
            return readReply({coefficients[0], coefficients[1], coefficients[2]});
        if (function == 4 && first == 0x1003 && second == 1)
            return readReply({coefficients[0]});
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
        if (function == 5 || function == 6) {
            written[first] = second;
            if (first < registers.size())
                registers[first] = second;
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
        link.setObserver(&log);
        state.deviceAddress = 1;
        state.languageId = kLanguageEnglish;
        state.modelCode = 2;
        state.firmwareVersionIndex = 5;
        state.serialNumber = 200001;
        screen.setDetailsAsker([this](RecordDetails& given) {
            given = details;
            return true;
        });
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

    // The page after a successful read of the device's configuration, with the
    // exchange log emptied so that a test sees only what follows.
    void readAndClearLog() {
        readConfiguration();
        ASSERT_EQ(text(ui().Lab83), "Read Success");
        log.clear();
        peer.sent.clear();
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
    ExchangeLog log;
    ProgramState state;
    TForm2 screen{link, state, dialogs, ScreenHooks{}};
    RecordDetails details;  // what the record's details dialog is answered with
};

inline const std::array<int, 3> kIdentityRequest{4, 0x1F00, 4};
inline const std::array<int, 3> kConfigurationRequest{3, 0, 9};

}  // namespace kelvane::testing
