// What the simulated transmitter measures and does: process value by input type and
// unit, sensor open, commands, calibration coefficients, store status, and each
// named fault as it appears on the line.
#include <gtest/gtest.h>

#include "link/registers.h"
#include "sim/input_signal.h"
#include "sim/transmitter.h"
#include "tests/support/scripted_peer.h"

namespace kelvane::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using kelvane::testing::withCrc;

constexpr auto& request = kelvane::testing::requestFrame;

void write(Transmitter& device, std::uint16_t reg, std::uint16_t value, Micros at = Micros{0}) {
    const Bytes frame = request(1, 5, reg, value);
    ASSERT_EQ(device.respond(frame, at), frame);
}

std::int16_t readInput(Transmitter& device, std::uint16_t reg, Micros at) {
    const Bytes reply = device.respond(request(1, 4, reg, 1), at);
    EXPECT_EQ(reply.size(), 7U);
    return toSigned16(wordFrom(reply[3], reply[4]));
}

Micros seconds(double s) {
    return Micros{static_cast<long long>(s * 1e6)};
}

struct Configured {
    const char* what;
    std::uint16_t type;
    std::uint16_t unit;
    std::int16_t low;  // range registers, in the type's range steps
    std::int16_t high;
    int pvLow;  // the range in process-value steps
    int pvHigh;
};

TEST(TransmitterMeasurement, ProcessValueStaysInsideTheConfiguredRangeInTheTypesScale) {
    const Configured cases[] = {
        {"K, deg C, 0 to 400", 1, 0, 0, 400, 0, 4000},
        {"K, deg F, 32 to 752", 1, 1, 32, 752, 320, 7520},
        {"PT-100, deg C, -100 to 200", 10, 0, -100, 200, -1000, 2000},
        {"T, deg C, -270 to -100", 2, 0, -270, -100, -2700, -1000},
        {"mV, -20 to 50 mV", 9, 0, -2000, 5000, -2000, 5000},
        {"voltage, 0 to 10 V", 11, 0, 0, 10000, 0, 10000},
        {"current, 4 to 20 mA", 12, 1, 4000, 20000, 4000, 20000},
    };
    for (const Configured& c : cases) {
        Transmitter device;
        write(device, 0, c.type);
        write(device, 1, c.unit);
        write(device, 2, static_cast<std::uint16_t>(c.low));
        write(device, 3, static_cast<std::uint16_t>(c.high));
        int lowest = 32767;
        int highest = -32768;
        for (int step = 0; step < 400; ++step) {
            const int value = readInput(device, 0x1000, seconds(step * 0.5));
            lowest = std::min(lowest, value);
            highest = std::max(highest, value);
        }
        EXPECT_GE(lowest, c.pvLow) << c.what;
        EXPECT_LE(highest, c.pvHigh) << c.what;
        EXPECT_GT(highest - lowest, (c.pvHigh - c.pvLow) / 10) << c.what << ": it varies";
    }
}

TEST(TransmitterMeasurement, ProcessValueVariesSlowlyAndRepeatsForTheSameSeedAndTime) {
    Transmitter first;
    Transmitter second;
    DeviceSettings otherSeed;
    otherSeed.seed = 99;
    Transmitter third(otherSeed);
    bool seedMatters = false;
    for (int step = 0; step < 50; ++step) {
        const Micros at = seconds(step * 0.5);
        const int value = first.processValue(at);
        EXPECT_EQ(value, second.processValue(at));
        seedMatters = seedMatters || value != third.processValue(at);
        // K 0 to 400 deg C: half a second moves it by a few tenths of a degree.
        EXPECT_LE(std::abs(value - first.processValue(at + seconds(0.5))), 40);
    }
    EXPECT_TRUE(seedMatters);
}

TEST(TransmitterMeasurement, OffsetCorrectionShiftsTheProcessValue) {
    Transmitter plain;
    Transmitter shifted;
    write(shifted, 4, 250);  // +25.0 deg C
    for (int step = 0; step < 20; ++step) {
        const Micros at = seconds(step * 3.0);
        EXPECT_EQ(shifted.processValue(at) - plain.processValue(at), 250);
    }
}

TEST(TransmitterMeasurement, OpenSensorReads32767) {
    Transmitter device;
    device.setFault(Fault::SensorOpen);
    EXPECT_EQ(readInput(device, 0x1000, seconds(1)), 32767);
    device.setFault(Fault::SensorOpen, false);
    EXPECT_NE(readInput(device, 0x1000, seconds(1)), 32767);
}

TEST(TransmitterMeasurement, NeverReportsTheOpenCodeForAWorkingSensor) {
    Transmitter device;
    write(device, 0, 8);  // thermocouple C, deg F: the highest range there is
    write(device, 1, 1);
    write(device, 2, 3000);
    write(device, 3, 32767);
    write(device, 4, 32767);
    for (int step = 0; step < 200; ++step) {
        EXPECT_LT(device.processValue(seconds(step)), 32767);
    }
}

TEST(TransmitterCommands, OutputCommandsHoldAndReleaseTheOutput) {
    Transmitter device;
    const std::pair<std::uint16_t, OutputMode> steps[] = {
        {27, OutputMode::Hold4mA},
        {40, OutputMode::Normal},  // measuring leaves the trim point
        {28, OutputMode::Hold20mA},
        {31, OutputMode::Normal}};
    for (const auto& [code, mode] : steps) {
        write(device, 9, code);
        EXPECT_EQ(device.outputMode(), mode) << "after " << code;
        EXPECT_EQ(device.lastCommand(), code);
    }
}

// The output a meter in the loop reads: at a trim point the DAC's current for that
// point's count (exactly 4.000 and 20.000 mA at the device's own counts, 6457 and 31917
// unless set), the sensor-break signal, and in normal operation the process value,
// mirrored by the output direction.
TEST(TransmitterOutput, TheCurrentIsTheDacsForTheTrimPointOrTheProcessValue) {
    const struct {
        const char* name;
        std::vector<std::pair<std::uint16_t, std::uint16_t>> writes;
        double milliamps;
        int dac4 = kFactoryDac4mA, dac20 = kFactoryDac20mA;
        bool sensorOpen = false;
    } rows[] = {
        {"4 mA point at the reported 6400", {{9, 27}}, 3.96418},
        {"20 mA point at the reported 32000", {{9, 28}}, 20.05216},
        {"4 mA point at the device's own count", {{7, 6457}, {9, 27}}, 4.0},
        {"20 mA point at the device's own count", {{8, 31917}, {9, 28}}, 20.0},
        {"a device 300 counts away", {{9, 27}}, 4.18321, 6100, 32300},
        {"downscale on a broken sensor", {{6, 0}}, 3.6, kFactoryDac4mA, kFactoryDac20mA, true},
        {"upscale on a broken sensor", {{6, 1}}, 21.0, kFactoryDac4mA, kFactoryDac20mA, true},
        {"cut on a broken sensor", {{6, 2}}, 0.0, kFactoryDac4mA, kFactoryDac20mA, true},
        {"a trim point holds on a broken sensor",
         {{6, 1}, {9, 27}},
         3.96418,
         kFactoryDac4mA,
         kFactoryDac20mA,
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        DeviceSettings settings;
        settings.dac4mA = row.dac4;
        settings.dac20mA = row.dac20;
        Transmitter device(settings);
        device.setFault(Fault::SensorOpen, row.sensorOpen);
        for (const auto& [reg, value] : row.writes) {
            write(device, reg, value);
        }
        EXPECT_NEAR(device.outputMilliamps(Micros{0}), row.milliamps, 0.00001);
    }
    // In normal operation the two output directions mirror each other about the middle.
    for (const Micros at : {seconds(0), seconds(7), seconds(60)}) {
        Transmitter rising;
        Transmitter falling;
        write(falling, 5, 1);
        const double low = rising.dacMilliamps(6400);
        const double high = rising.dacMilliamps(32000);
        EXPECT_GE(rising.outputMilliamps(at), low);
        EXPECT_LE(rising.outputMilliamps(at), high);
        EXPECT_NEAR(rising.outputMilliamps(at) + falling.outputMilliamps(at), low + high, 0.001);
    }
}

struct CalibrationCase {
    const char* what;
    std::uint16_t inputType;
    std::int16_t reference;
    std::uint16_t beginCode;
    std::uint16_t storeCode;
    CalibrationInput input;
    int settledA0;  // the converter's reading of the reference
    int processValue;
};

TEST(TransmitterCalibration, CoefficientsSettleOnTheReferenceAfterTheBeginCode) {
    const CalibrationCase cases[] = {
        {"RTD LO at 0 deg C", 10, 0, 37, 2, CalibrationInput::Rtd, 1000, 0},
        {"RTD HI at 500 deg C", 10, 500, 37, 3, CalibrationInput::Rtd, 2925, 5000},
        {"T/C HI at 1000 deg C", 1, 1000, 36, 9, CalibrationInput::Thermocouple, 4100, 10000},
        {"voltage LO at -10 V", 11, -10000, 38, 14, CalibrationInput::Voltage, -10000, -10000},
        {"current HI at 20 mA", 12, 20000, 39, 21, CalibrationInput::Current, 20000, 20000},
    };
    for (const CalibrationCase& c : cases) {
        Transmitter device;
        write(device, 0, c.inputType);
        write(device, 10, static_cast<std::uint16_t>(c.reference));
        write(device, 9, c.beginCode, seconds(10));
        EXPECT_EQ(device.calibrationInput(), c.input) << c.what;
        const int early = readInput(device, 0x1003, seconds(10.5));
        const int settled = readInput(device, 0x1003, seconds(25));
        EXPECT_NEAR(settled, c.settledA0, 12) << c.what;
        if (c.settledA0 > 100 || c.settledA0 < -100) {
            EXPECT_GT(std::abs(early - c.settledA0), 20) << c.what << ": still settling";
        }
        EXPECT_NEAR(readInput(device, 0x1000, seconds(25)), c.processValue, 1) << c.what;
        write(device, 9, c.storeCode, seconds(26));
        EXPECT_EQ(device.calibrationInput(), CalibrationInput::None) << c.what;
        EXPECT_EQ(readInput(device, 0x1006, seconds(27)), 0) << c.what;
    }
}

TEST(TransmitterCalibration, RtdShowsAGainAndThermocoupleAColdJunction) {
    Transmitter device;
    write(device, 0, 10);
    write(device, 9, 37);
    const int gain = readInput(device, 0x1004, seconds(5));
    EXPECT_NEAR(gain, 10000, 50);
    write(device, 0, 1);
    write(device, 9, 36);
    EXPECT_NEAR(readInput(device, 0x1005, seconds(5)), 250, 5) << "25.0 deg C";
}

TEST(TransmitterCalibration, ZeroReadingIsSmallAndStoringItZeroesIt) {
    Transmitter device;
    write(device, 0, 1);
    EXPECT_NEAR(readInput(device, 0x1003, seconds(1)), 0, 10);
    write(device, 9, 1);  // store the 0 mV zero
    for (int step = 0; step < 10; ++step) {
        EXPECT_NEAR(readInput(device, 0x1003, seconds(2 + step)), 0, 1);
    }
}

// A store takes kStoreTime after the last configuration write: until then the status
// still shows the store before it. Steps run in order on one device.
TEST(TransmitterFaults, StoreStatusShowsTheLastFinishedStore) {
    Transmitter device;
    EXPECT_EQ(readInput(device, 0x1006, seconds(1)), 0) << "nothing stored yet";
    const struct {
        const char* what;
        double writeAt;  // a configuration write then, under the store fault or not
        bool storeFails;
        double readAt;
        int status;
    } steps[] = {
        {"a good store, still running", 2.0, false, 2.9, 0},
        {"a good store, done", 2.0, false, 3.0, 0},
        {"a failing store, the good one still shown", 4.0, true, 4.9, 0},
        {"a failing store, done", 4.0, true, 5.0, 1},
        {"a good store after it, the failure still shown", 6.0, false, 6.5, 1},
        {"a second write starts the store again", 6.8, false, 7.5, 1},
        {"the good store, done", 6.8, false, 7.8, 0},
    };
    double written = -1;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        device.setFault(Fault::StoreFails, step.storeFails);
        if (step.writeAt != written) {
            write(device, 0, 1, seconds(step.writeAt));
            written = step.writeAt;
        }
        EXPECT_EQ(readInput(device, 0x1006, seconds(step.readAt)), step.status);
    }
    Transmitter neverWritten;
    neverWritten.setFault(Fault::StoreFails);
    EXPECT_EQ(readInput(neverWritten, 0x1006, seconds(1)), 1);
}

// Under needs-gap, a request that begins within 3.5 characters (7.3 ms at 4800) of the
// end of the last reply is not heard; its start is the transport's first byte when it
// knows it, else its own length on the line before its end.
TEST(TransmitterFaults, NeedsGapIgnoresARequestBegunWithinTheGap) {
    const LineSettings line = lineForBaudCode(0);
    const Micros byteTime{characterTimeMicros(line)};
    const Micros gap{7292};  // 3.5 characters of 10 bits at 4800 baud, rounded up
    const Bytes identity = request(1, 4, 0x1F00, 4);
    const struct {
        const char* what;
        Micros beganAfterReply;
        bool firstByteKnown;
        bool heard;
    } rows[] = {
        {"at the gap", gap, false, true},
        {"a microsecond short", gap - Micros(1), false, false},
        {"at once", Micros(0), false, false},
        {"at the gap, first byte seen", gap, true, true},
        {"a microsecond short, first byte seen", gap - Micros(1), true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Transmitter device;
        device.setFault(Fault::NeedsGap);
        const DeviceAnswer first = device.receive(identity, line, Micros(0));
        ASSERT_EQ(first.bytes.size(), 13U) << "the first request is always heard";
        const Micros began = first.bytes.back().after + row.beganAfterReply;
        const Micros ended = began + byteTime * 8;
        const DeviceAnswer next = row.firstByteKnown
                                      ? device.receive(identity, line, ended + Micros(500), began)
                                      : device.receive(identity, line, ended);
        EXPECT_EQ(next.bytes.size(), row.heard ? 13U : 0U);
    }
}

TEST(TransmitterFaults, OtherModelReportsAnotherFamilyInTheIdentity) {
    DeviceSettings settings;
    settings.otherModelCode = 51;  // an isolator
    Transmitter device(settings);
    device.setFault(Fault::OtherModel);
    const Bytes reply = device.respond(request(1, 4, 0x1F00, 1), Micros{0});
    EXPECT_EQ(reply, withCrc({1, 4, 2, 51, 5}));
}

TEST(TransmitterFaults, EachLineFaultShowsOnTheLine) {
    const LineSettings line = lineForBaudCode(0);
    const Micros byteTime{characterTimeMicros(line)};
    const Bytes identity = request(1, 4, 0x1F00, 4);
    const Bytes goodReply = Transmitter().respond(identity, Micros{0});

    Transmitter device;
    device.setFault(Fault::NoReply);
    EXPECT_TRUE(device.receive(request(1, 6, 0, 5), line, Micros{0}).bytes.empty());
    EXPECT_EQ(device.holdingRegister(0), 1) << "nothing was heard";

    device.clearFaults();
    device.setFault(Fault::BadCrc);
    DeviceAnswer answer = device.receive(identity, line, Micros{0});
    ASSERT_EQ(answer.bytes.size(), 13U);
    Bytes got;
    for (const TimedByte& byte : answer.bytes) {
        got.push_back(byte.value);
    }
    EXPECT_TRUE(std::equal(got.begin(), got.end() - 2, goodReply.begin()));
    EXPECT_NE(got[11], goodReply[11]);
    EXPECT_NE(got[12], goodReply[12]);

    device.clearFaults();
    device.setFault(Fault::ShortReply);
    answer = device.receive(identity, line, Micros{0});
    EXPECT_EQ(answer.bytes.size(), 7U);
    EXPECT_EQ(answer.bytes.back().value, goodReply[6]);

    device.clearFaults();
    device.setFault(Fault::LateReply);
    answer = device.receive(identity, line, Micros{0});
    ASSERT_EQ(answer.bytes.size(), 13U);
    EXPECT_GT(answer.bytes.front().after - byteTime, kReadTimeout);

    device.clearFaults();
    device.setFault(Fault::GapInReply);
    answer = device.receive(identity, line, Micros{0});
    ASSERT_EQ(answer.bytes.size(), 13U);
    EXPECT_LT(answer.bytes.front().after, Micros{10'000});
    Micros longest{0};
    for (std::size_t i = 1; i < answer.bytes.size(); ++i) {
        longest = std::max(longest, answer.bytes[i].after - answer.bytes[i - 1].after - byteTime);
    }
    EXPECT_GT(longest, kReadTimeout);

    device.clearFaults();
    device.setFault(Fault::AdapterPulled);
    answer = device.receive(identity, line, Micros{0});
    EXPECT_TRUE(answer.hangUp);
    EXPECT_TRUE(answer.bytes.empty());
    device.setFault(Fault::AdapterPulled, false);
    EXPECT_EQ(device.receive(identity, line, Micros{0}).bytes.size(), 13U) << "plugged back in";
}

TEST(TransmitterFaults, AFaultCanStartAtALaterRequest) {
    const LineSettings line = lineForBaudCode(0);
    Transmitter device;
    device.setFaultFromRequest(Fault::AdapterPulled, 3);
    const Bytes identity = request(1, 4, 0x1F00, 4);
    EXPECT_FALSE(device.receive(identity, line, Micros{0}).hangUp);
    EXPECT_FALSE(device.receive(identity, line, Micros{0}).hangUp);
    EXPECT_TRUE(device.receive(identity, line, Micros{0}).hangUp);
    EXPECT_TRUE(device.receive(identity, line, Micros{0}).hangUp) << "it stays pulled out";
    EXPECT_TRUE(device.pulledOut());
}

}  // namespace
}  // namespace kelvane::sim
