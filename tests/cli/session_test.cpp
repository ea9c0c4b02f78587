// kelvane-cli's sessions against the simulated transmitter on the in-memory link:
// the whole exchange of a read and a write, a read -> file -> write -> read round trip
// for every input family, diff, a refused write, measurement with the sensor open,
// trim points, and a silent device.
#include "cli/transmitter_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>

#include "device/config_file.h"
#include "link/in_memory_port.h"
#include "sim/in_memory_device.h"
#include "tests/support/scripted_peer.h"
#include "tests/support/simulated_line.h"

namespace kelvane::cli {
namespace {

using testing::collected;
using testing::echoed;
using testing::exchange;
using testing::sent;

class Session : public ::testing::Test, protected testing::SimulatedLine {
  protected:
    Session() {
        port.attach("/dev/ttyUSB0", peer);
        link.OpenDevice("/dev/ttyUSB0", 0);
    }
    TransmitterSession session() {
        return TransmitterSession(
            link, "/dev/ttyUSB0", out, err, [this](Micros wait) { return pause(wait); },
            [this] { return clock.now(); });
    }
    Configuration configuration(const char* json) {
        return parseConfigurationJson(json).configuration;
    }
    // A wait on the virtual clock; with ctrlCAfter set, Ctrl+C cuts every wait there.
    bool pause(Micros wait) {
        const bool interrupted = ctrlCAfter && *ctrlCAfter < wait;
        clock.advance(interrupted ? *ctrlCAfter : wait);
        return !interrupted;
    }

    std::ostringstream out, err;
    std::optional<Micros> ctrlCAfter;
};

TEST_F(Session, ReadTakesTheReplyAsSoonAsTheLineFallsSilent) {
    const auto read = session().read();
    ASSERT_TRUE(read);
    EXPECT_EQ(log.steps, (std::vector<std::string>{collected(0), sent(4, 0x1F00, 4), collected(13),
                                                   sent(3, 0, 9), collected(23)}));
    EXPECT_EQ(read->identity->serialNumber, 200001u);
    EXPECT_EQ(configurationJson(*read),
              "{\n  \"format\": 2,\n  \"model\": \"QTR-H\",\n  \"firmware\": \"V05\",\n"
              "  \"serial\": 200001,\n  \"input\": \"thermocouple-K\",\n  \"unit\": \"celsius\",\n"
              "  \"lower\": 0,\n  \"upper\": 400,\n  \"offset\": 0.0,\n  \"output\": \"4-20mA\",\n"
              "  \"break\": \"downscale\",\n  \"trim4mA\": 6400,\n  \"trim20mA\": 32000\n}\n");
}

// The same exchange on both paces; the line pace costs the line's time only: before
// each request the Modbus gap (the drain's, then a wait after the identity's reply),
// the request, the device's 3 ms turnaround and the reply's bytes.
TEST_F(Session, AReadOnTheLinePaceTakesTheLinesTimeAndTheScreenPaceItsPauses) {
    const long long c = characterTimeMicros(LineSettings{});
    const Micros turnaround = sim::kReplyDelay;
    const Micros lineTime = Micros(8 * c + 13 * c + 8 * c + 23 * c) + 2 * turnaround;
    const std::pair<Pace, Micros> paces[] = {
        {Pace::Line, 2 * interFrameGap(LineSettings{}) + lineTime},
        {Pace::Screen, 3 * kReadTimeout + lineTime},
    };
    for (const auto& [pace, took] : paces) {
        link.setPace(pace);
        log.clear();
        const Micros started = clock.now();
        ASSERT_TRUE(session().read());
        EXPECT_EQ(clock.now() - started, took);
        EXPECT_EQ(log.steps,
                  (std::vector<std::string>{collected(0), sent(4, 0x1F00, 4), collected(13),
                                            sent(3, 0, 9), collected(23)}));
    }
}

TEST_F(Session, WriteSendsTheSevenConfirmedWritesThenChecksTheStore) {
    const Micros before = clock.now();
    EXPECT_EQ(session().write(configuration(R"j({"input": "mV (-60~60mV)", "unit": "deg F",
        "lower": 12.5, "upper": -60.00, "offset": 0.29, "output": "20mA ~ 4mA",
        "break": "Cut"
})j"),
                              false),
              kSuccess);
    EXPECT_EQ(log.steps, exchange({{collected(0), sent(4, 0x1F00, 4), collected(13)},
                                   echoed(5, 2, 0xE890),
                                   echoed(5, 3, 1250),
                                   echoed(5, 4, 29),
                                   echoed(5, 1, 1),
                                   echoed(5, 5, 1),
                                   echoed(5, 6, 2),
                                   echoed(6, 0, 9),
                                   {collected(0), sent(4, 0x1006, 1), collected(7)}}));
    // The device is given two seconds to store: the store check's drain starts then
    // and ends after its 100 ms of silence.
    const size_t drain = log.steps.size() - 3;
    EXPECT_EQ(log.times[drain] - log.times[drain - 1], Micros(2'100'000));
    EXPECT_GE(clock.now() - before, Micros(2'000'000));
    EXPECT_EQ(out.str(), "Write Success\n");
}

TEST_F(Session, EveryInputFamilyGoesThroughAFileToTheNextDeviceUnchanged) {
    const char* files[] = {
        R"j({"input": "Thermocouple K", "unit": "deg C", "lower": -50, "upper": 1370,
            "offset": -71.0, "output": "4mA ~ 20mA", "break": "UpScale(>20mA)"})j",
        R"j({"input": "PT-100", "unit": "deg F", "lower": -328, "upper": 1112, "offset": 7.2,
            "output": "20mA ~ 4mA", "break": "DownScale(< 4mA)"})j",
        R"j({"input": "mV (-60~60mV)", "unit": "deg C", "lower": -60.00, "upper": 0.29,
            "offset": -6.00, "output": "4mA ~ 20mA", "break": "Cut"
})j",
        R"j({"input": "Voltage (-10 - 10V)", "unit": "deg C", "lower": -10.000, "upper": 9.999,
            "offset": 1.000, "output": "4mA ~ 20mA", "break": "Cut"
})j",
        R"j({"input": "Current (0 - 24mA)", "unit": "deg F", "lower": 4.000, "upper": 20.000,
            "offset": -0.001, "output": "20mA ~ 4mA", "break": "UpScale(>20mA)"
})j",
    };
    for (const char* text : files) {
        SCOPED_TRACE(text);
        ASSERT_EQ(session().write(configuration(text), false), kSuccess) << err.str();
        auto first = session().read();
        ASSERT_TRUE(first);
        // The file read from this device, written to a fresh one, reads back the same.
        const ConfigurationFile file = parseConfigurationJson(configurationJson(*first));
        sim::Transmitter next{sim::DeviceSettings{1, 4, 7}};
        sim::InMemoryDevice nextPeer{next};
        port.attach("/dev/ttyUSB1", nextPeer);
        link.OpenDevice("/dev/ttyUSB1", 0);
        ASSERT_EQ(session().write(file.configuration, false), kSuccess) << err.str();
        const auto second = session().read();
        ASSERT_TRUE(second);
        first->identity.reset();
        ConfigurationFile secondFile = *second;
        secondFile.identity.reset();
        secondFile.configuration.trim4mA = first->configuration.trim4mA;
        secondFile.configuration.trim20mA = first->configuration.trim20mA;
        EXPECT_EQ(configurationJson(secondFile), configurationJson(*first));
        EXPECT_EQ(session().diff(file.configuration), kSuccess) << out.str();
        link.OpenDevice("/dev/ttyUSB0", 0);
    }
}

TEST_F(Session, DiffNamesEachFieldThatDiffers) {
    EXPECT_EQ(session().diff(configuration(R"j({"input": "Thermocouple K", "unit": "deg F",
        "lower": 0, "upper": 400.4, "offset": 1.25, "output": "4mA ~ 20mA",
        "break": "DownScale(< 4mA)"})j")),
              kDeviceFailed);
    // 400.4 writes 400, the device's value; 1.25 writes 12 tenths, not the device's 0.
    EXPECT_EQ(out.str(), "unit: device deg C, file deg F\noffset: device 0.0, file 1.25\n");
}

TEST_F(Session, AFileWithReversedLimitsIsWrittenSwappedAndThenMatches) {
    const Configuration reversed = configuration(R"j({"input": "Thermocouple K", "unit": "deg C",
        "lower": 900, "upper": 100, "offset": 0, "output": "4mA ~ 20mA",
        "break": "DownScale(< 4mA)"})j");
    ASSERT_EQ(session().write(reversed, false), kSuccess);
    EXPECT_EQ(device.holdingRegister(2), 100);
    EXPECT_EQ(device.holdingRegister(3), 900);
    out.str("");
    EXPECT_EQ(session().diff(reversed), kSuccess) << out.str();
}

TEST(SessionChoices, ChoicesTheScreenDoesNotOfferOnThisDeviceAreRefused) {
    // A file read from another model, and choices this device lacks.
    const struct {
        sim::DeviceSettings device;
        const char* json;
        const char* message;
    } cases[] = {
        {{2, 3, 1},
         R"j({"input": "Thermocouple K", "unit": "deg C", "lower": 0, "upper": 100,
             "offset": 0, "output": "4mA ~ 20mA", "break": "Cut"})j",
         "kelvane-cli: break: \"Cut\" needs firmware V04 or later; the device has V03\n"},
        {{17, 5, 1},
         R"j({"input": "Voltage (-10 - 10V)", "unit": "deg C", "lower": 0, "upper": 10,
             "offset": 0, "output": "4mA ~ 20mA", "break": "Cut"})j",
         "kelvane-cli: input: a QTN-H has no voltage or current input\n"},
        {{2, 5, 1},
         R"j({"format": 2, "model": "QTN-H", "firmware": "V05", "serial": 9, "input": "pt100",
             "unit": "celsius", "lower": 0, "upper": 100, "offset": 0, "output": "4-20mA",
             "break": "cut"})j",
         "kelvane-cli: model: the file was read from a QTN-H, the device is a QTR-H\n"},
    };
    for (const auto& c : cases) {
        testing::SimulatedLine line(c.device);
        std::ostringstream out, err;
        TransmitterSession session(
            line.link, "COM1", out, err,
            [&line](Micros wait) {
                line.clock.advance(wait);
                return true;
            },
            [&line] { return line.clock.now(); });
        const ConfigurationFile file = parseConfigurationJson(c.json);
        EXPECT_EQ(session.write(file.configuration, false, file.identity), kBadInput);
        EXPECT_EQ(err.str(), c.message);
        EXPECT_EQ(line.device.requestsHeard(), 1u) << "only the identity read";
    }
}

TEST_F(Session, AWriteThatFailsValidationSendsNothing) {
    const struct {
        const char* json;
        const char* message;
    } cases[] = {
        {R"j({"input": "Thermocouple K", "unit": "deg C", "lower": -50, "upper": 2000,
             "offset": 0, "output": "4mA ~ 20mA", "break": "Cut"})j",
         "upper: 2000 is outside -50 … 1370 deg C"},
        {R"j({"input": "Thermocouple K", "unit": "deg C", "lower": -50, "upper": 1370,
             "offset": 71.1, "output": "4mA ~ 20mA", "break": "Cut"})j",
         "offset: 71.1 is outside -71.0 … +71.0 deg C"},
        {R"j({"input": "Thermocouple K", "unit": "deg F", "lower": -59, "upper": 2498,
             "offset": 0, "output": "4mA ~ 20mA", "break": "Cut"})j",
         "lower: -59 is outside -58 … 2498 deg F"},
        {R"j({"input": "mV (-60~60mV)", "unit": "deg C", "lower": -60.01, "upper": 60,
             "offset": 0, "output": "4mA ~ 20mA", "break": "Cut"})j",
         "lower: -60.01 is outside -60.00 … 60.00 mV"},
    };
    for (const auto& c : cases) {
        err.str("");
        const unsigned heard = device.requestsHeard();
        EXPECT_EQ(session().write(configuration(c.json), false), kBadInput);
        EXPECT_EQ(err.str(), std::string("kelvane-cli: ") + c.message + "\n");
        EXPECT_EQ(device.requestsHeard(), heard);
    }
}

TEST_F(Session, MeasurementWritesCsvAndOpenForABrokenSensor) {
    device.setFault(sim::Fault::SensorOpen);
    std::atomic<bool> stop{false};
    EXPECT_EQ(session().measure(3, kDefaultMeasureInterval, stop), kSuccess);
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "time,raw,value,unit");
    int values = 0;
    while (std::getline(lines, line)) {
        EXPECT_NE(line.find("T"), std::string::npos);
        EXPECT_EQ(line.substr(line.find(',')), ",32767,OPEN,deg C");
        ++values;
    }
    EXPECT_EQ(values, 3);
    // One request every 500 ms on the virtual clock, the exchange's own time included.
    std::vector<Micros> requests;
    for (size_t i = 0; i < log.steps.size(); ++i) {
        if (log.steps[i] == sent(4, 0x1000, 1)) {
            requests.push_back(log.times[i]);
        }
    }
    ASSERT_EQ(requests.size(), 3u);
    // The whole exchange after the read: a drain and the confirmed command 40, then a
    // drain, the request and its reply for each value.
    const std::vector<std::string> step{collected(0), sent(4, 0x1000, 1), collected(7)};
    const std::vector<std::string> after(log.steps.end() - 12, log.steps.end());
    EXPECT_EQ(after, exchange({{collected(0)}, echoed(5, 9, 40), step, step, step}));
    EXPECT_EQ(requests[1] - requests[0], Micros(500'000));
    EXPECT_EQ(requests[2] - requests[1], Micros(500'000));
}

TEST_F(Session, TrimPointsAreChosenAsTheScreenChoosesThem) {
    EXPECT_EQ(session().trim(TrimPoint::TwentyMilliamp, 31000), kSuccess);
    EXPECT_EQ(log.steps, exchange({echoed(5, 8, 31000), echoed(5, 9, 28)}));
    EXPECT_EQ(device.outputMode(), sim::OutputMode::Hold20mA);
    log.clear();
    EXPECT_EQ(session().trim(std::nullopt, std::nullopt), kSuccess);
    EXPECT_EQ(log.steps, echoed(6, 9, 31));
    for (const auto& [count, status] :
         {std::pair{0, kSuccess}, std::pair{32767, kSuccess}, std::pair{-1, kBadInput},
          std::pair{32768, kBadInput}, std::pair{40000, kBadInput}}) {
        log.clear();
        EXPECT_EQ(session().trim(TrimPoint::FourMilliamp, count), status) << count;
        EXPECT_EQ(log.steps, status == kSuccess ? exchange({echoed(5, 7, count), echoed(5, 9, 27)})
                                                : std::vector<std::string>{})
            << count;
    }
}

// A trim against a meter, answered from a script: each reading's count written with the
// single write of an up-down step, the output back to normal in every case, and the
// count as found written back unless the trim reached the tolerance.
TEST_F(Session, ATrimAgainstAMeterWritesTheCountEachReadingCallsFor) {
    const std::vector<std::string> readAndChoose =
        exchange({{collected(0), sent(4, 0x1F00, 4), collected(13), sent(3, 0, 9), collected(23)},
                  echoed(5, 7, 6400),
                  echoed(5, 9, 27)});
    const std::vector<std::string> writeBack = echoed(5, 7, 6400);
    const std::vector<std::string> normal = echoed(6, 9, 31);
    const struct {
        const char* name;
        const char* readings;
        int maxReadings;
        int status;
        std::vector<std::vector<std::string>> then;  // after the read and the choice
        int asked;
    } rows[] = {
        {"within at the second reading",
         "3.964\n4.001\n",
         8,
         kSuccess,
         {echoed(5, 7, 6458), normal},
         2},
        {"a reading that is not a number",
         "3.964\n4,001\n",
         8,
         kBadInput,
         {echoed(5, 7, 6458), writeBack, normal},
         2},
        {"end of input", "", 8, kBadInput, {writeBack, normal}, 1},
        {"the readings run out",
         " 3.964\r\n3.990\n",
         2,
         kDeviceFailed,
         {echoed(5, 7, 6458), writeBack, normal},
         2},
        {"so far off that the count leaves 0 … 32767",
         "25.0\n",
         8,
         kBadInput,
         {writeBack, normal},
         1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        // The count as found is the factory's again: a trim that succeeded leaves its own.
        device.respond(testing::requestFrame(1, 6, 7, 6400), clock.now());
        log.clear();
        err.str("");
        std::istringstream readings(row.readings);
        EXPECT_EQ(
            session().trimWithMeter(TrimPoint::FourMilliamp, 0.002, row.maxReadings, readings),
            row.status)
            << err.str();
        std::vector<std::string> steps = readAndChoose;
        for (const auto& part : row.then) {
            steps.insert(steps.end(), part.begin(), part.end());
        }
        EXPECT_EQ(log.steps, steps);
        EXPECT_EQ(device.outputMode(), sim::OutputMode::Normal);
        std::size_t asked = 0;
        for (std::size_t at = err.str().find("mA?\n"); at != std::string::npos;
             at = err.str().find("mA?\n", at + 1)) {
            ++asked;
        }
        EXPECT_EQ(asked, static_cast<std::size_t>(row.asked)) << err.str();
        device.clearFaults();
    }
}

// A write to a transmitter under a fault from the given request on: the exit status and
// what is said, the store check's own words; then a V04 device, which has no store check.
// Ctrl+C 0.1 s into the store wait, while the device still shows the previous store's
// success although this store fails, ends without a verdict.
TEST_F(Session, WriteOutcomesSayWhatTheDeviceDidAndNeverClaimAnUnconfirmedStore) {
    constexpr unsigned kStoreCheck = 9;  // identity read, seven writes, then the store check
    const struct {
        const char* name;
        std::vector<std::pair<sim::Fault, unsigned>> faults;
        int status;
        bool storeChecked;
        const char* said;
        std::optional<Micros> ctrlCAfter = std::nullopt;
    } rows[] = {
        {"stored", {}, kSuccess, true, ""},
        {"Ctrl+C in the store wait of a failing store",
         {{sim::Fault::StoreFails, 2}},
         kInterrupted,
         false,
         "was interrupted during the store wait: the store was not checked",
         Micros(100'000)},
        {"failed store",
         {{sim::Fault::StoreFails, 1}},
         kDeviceFailed,
         true,
         "reported that it did not store the configuration"},
        {"silent during the store check",
         {{sim::Fault::NoReply, kStoreCheck}},
         kDeviceFailed,
         true,
         "stopped answering during the store check"},
        {"noise before a failed store's status",
         {{sim::Fault::StoreFails, 1}, {sim::Fault::NoiseBeforeReply, kStoreCheck}},
         kDeviceFailed,
         true,
         "to the store check could not be read"},
        {"bad CRC on the store status",
         {{sim::Fault::BadCrc, kStoreCheck}},
         kDeviceFailed,
         true,
         "to the store check could not be read"},
        {"noise before the identity",
         {{sim::Fault::NoiseBeforeReply, 1}},
         kDeviceFailed,
         false,
         "failed its CRC check"},
        {"another model",
         {{sim::Fault::OtherModel, 1}},
         kDeviceFailed,
         false,
         "is not one of our transmitters (model code "},
    };
    const auto write = [this](TransmitterSession session) {
        return session.write(configuration(R"j({"input": "PT-100", "unit": "deg C",
            "lower": -100, "upper": 500, "offset": 0, "output": "4mA ~ 20mA",
            "break": "UpScale(>20mA)"})j"),
                             false);
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        device.clearFaults();
        const unsigned heard = device.requestsHeard();
        for (const auto& [fault, from] : row.faults) {
            device.setFaultFromRequest(fault, heard + from);
        }
        err.str("");
        out.str("");
        log.clear();
        ctrlCAfter = row.ctrlCAfter;
        EXPECT_EQ(write(session()), row.status);
        EXPECT_NE(err.str().find(row.said), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), row.status == kSuccess ? "Write Success\n" : "");
        EXPECT_EQ(std::count(log.steps.begin(), log.steps.end(), sent(4, 0x1006, 1)),
                  row.storeChecked ? 1 : 0);
    }

    // Firmware V04 reports nothing about storing: no store check, even if it failed.
    testing::SimulatedLine v04({2, 4, 200001});
    v04.device.setFault(sim::Fault::StoreFails);
    std::ostringstream v04Out;
    EXPECT_EQ(write(TransmitterSession(
                  v04.link, "COM1", v04Out, err,
                  [&v04](Micros wait) {
                      v04.clock.advance(wait);
                      return true;
                  },
                  [&v04] { return v04.clock.now(); })),
              kSuccess);
    EXPECT_EQ(std::count(v04.log.steps.begin(), v04.log.steps.end(), sent(4, 0x1006, 1)), 0);
}

TEST_F(Session, MeasurementEndsOnAFailedPortAndCountsMissingValues) {
    std::atomic<bool> stop{false};
    // The adapter pulled out after one value: at once, exit 1, the port named.
    device.setFaultFromRequest(sim::Fault::AdapterPulled, device.requestsHeard() + 5);
    EXPECT_EQ(session().measure(10, kDefaultMeasureInterval, stop), kDeviceFailed);
    EXPECT_NE(err.str().find("the port /dev/ttyUSB0 failed"), std::string::npos) << err.str();
    // One value asked for and answered, the second request unanswered as the adapter
    // goes, the third refused by the port: nothing after it.
    EXPECT_EQ(std::count(log.steps.begin(), log.steps.end(), sent(4, 0x1000, 1)), 3);
    EXPECT_EQ(log.steps.back(), sent(4, 0x1000, 1));
}

TEST_F(Session, MeasurementWithFewerValuesThanCountedFails) {
    std::atomic<bool> stop{false};
    // Identity, configuration, command 40, two values; then the device falls silent
    // and is polled on, as the screen does, until the count is spent.
    device.setFaultFromRequest(sim::Fault::NoReply, device.requestsHeard() + 6);
    EXPECT_EQ(session().measure(4, kDefaultMeasureInterval, stop), kDeviceFailed);
    EXPECT_NE(err.str().find("2 of 4 values came"), std::string::npos) << err.str();
    EXPECT_EQ(std::count(log.steps.begin(), log.steps.end(), sent(4, 0x1000, 1)), 4);
}

TEST_F(Session, ASilentDeviceIsReportedNotWaitedFor) {
    device.setFault(sim::Fault::NoReply);
    EXPECT_FALSE(session().read());
    EXPECT_EQ(err.str(), "kelvane-cli: no reply from the device on /dev/ttyUSB0\n");
    std::atomic<bool> stop{false};
    EXPECT_EQ(session().measure(2, Micros(500'000), stop), kDeviceFailed);
}

}  // namespace
}  // namespace kelvane::cli
