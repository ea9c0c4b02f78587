// kelvane-cli against a real kelvane-sim over a pseudo-terminal, in real time: read,
// edit, write, diff and read again; a measurement; a silent device, noise and a
// streaming line; a busy port.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "tests/support/child_process.h"

namespace kelvane {
namespace {

using testing::ChildProcess;

struct Finished {
    int status;
    std::string out;
    std::string err;
};

class CliProgram : public ::testing::Test {
  protected:
    void startSim(std::vector<std::string> arguments = {}) {
        sim = std::make_unique<ChildProcess>(KELVANE_SIM_PATH, std::move(arguments));
        device = sim->nextLine(std::chrono::seconds(5));
        ASSERT_FALSE(device.empty());
    }
    Finished cli(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--port", device});
        ChildProcess program(KELVANE_CLI_PATH, arguments);
        Finished run{0, program.allOutput(), ""};
        run.status = program.waitForExit();
        run.err = program.errors();
        return run;
    }
    std::string file(const std::string& name) {
        return "/tmp/kelvane-cli-test-" + std::to_string(getpid()) + "-" + name;
    }

    std::unique_ptr<ChildProcess> sim;
    std::string device;
};

TEST_F(CliProgram, AFileReadFromTheDeviceIsEditedWrittenAndReadBack) {
    startSim();
    const Finished reading = cli({"read"});
    ASSERT_EQ(reading.status, 0) << reading.err;
    std::string json = reading.out;
    json.replace(json.find("\"upper\": 400"), 12, "\"upper\": 750");
    const std::string path = file("a.json");
    std::ofstream(path) << json;

    const Finished write = cli({"write", path});
    EXPECT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(write.out, "Write Success\n");
    const Finished diff = cli({"diff", path});
    EXPECT_EQ(diff.status, 0) << diff.out;
    EXPECT_NE(cli({"read"}).out.find("\"upper\": 750,"), std::string::npos);

    json.replace(json.find("\"upper\": 750"), 12, "\"upper\": 751");
    std::ofstream(path) << json;
    const Finished differs = cli({"diff", path});
    EXPECT_EQ(differs.status, 1);
    EXPECT_EQ(differs.out, "upper: device 750, file 751\n");
    std::remove(path.c_str());
}

TEST_F(CliProgram, ThreeTransmittersAreWrittenAtOnceEachWithItsWholeExchange) {
    startSim();
    const std::string golden = file("golden.json");
    std::ofstream(golden) << cli({"read"}).out;
    std::vector<std::unique_ptr<ChildProcess>> sims;
    std::vector<std::string> arguments;
    for (int i = 0; i < 3; ++i) {
        const std::string log = file("sim" + std::to_string(i) + ".log");
        sims.push_back(std::make_unique<ChildProcess>(
            KELVANE_SIM_PATH,
            std::vector<std::string>{"--serial", std::to_string(300001 + i), "--log", log}));
        arguments.insert(arguments.end(),
                         {"--port", sims.back()->nextLine(std::chrono::seconds(5))});
    }
    arguments.insert(arguments.end(), {"write", golden});
    ChildProcess program(KELVANE_CLI_PATH, arguments);
    const std::string out = program.allOutput();
    EXPECT_EQ(program.waitForExit(), 0) << program.errors();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const std::string line =
            arguments[2 * i + 1] + "\tQTR-H\t" + std::to_string(300001 + i) + "\tWrite Success\n";
        EXPECT_NE(out.find(line), std::string::npos) << out;
        sims[i].reset();  // ends the simulator, so that its log is complete
        std::ifstream log(file("sim" + std::to_string(i) + ".log"));
        std::vector<std::string> requests;
        for (std::string entry; std::getline(log, entry);) {
            const auto at = entry.find("request  ");
            if (at != std::string::npos) {
                requests.push_back(entry.substr(at + 9, 5));  // address and function
            }
        }
        // The identity read, the seven confirmed writes and the store check.
        EXPECT_EQ(requests, (std::vector<std::string>{"01 04", "01 05", "01 05", "01 05", "01 05",
                                                      "01 05", "01 05", "01 06", "01 04"}));
    }
}

// With several ports every port has its answer: read's array keeps a failed port as an
// entry with its error, each message comes out as it happens after its port, and a
// folder that cannot be written, a port given twice and Ctrl+C are each said per port.
TEST_F(CliProgram, SeveralPortsEachGetTheirAnswer) {
    startSim();
    const std::string good = device;
    ChildProcess silentSim(KELVANE_SIM_PATH, {"--fault", "no-reply"});
    const std::string silent = silentSim.nextLine(std::chrono::seconds(5));
    const std::string absent = "/dev/kelvane-no-such-port";
    const auto run = [](std::vector<std::string> arguments) {
        ChildProcess program(KELVANE_CLI_PATH, std::move(arguments));
        Finished finished{0, program.allOutput(), ""};
        finished.status = program.waitForExit();
        finished.err = program.errors();
        return finished;
    };

    const Finished read = run({"--port", good, "--port", silent, "--port", absent, "read"});
    EXPECT_EQ(read.status, 1);
    EXPECT_NE(read.out.find("\"port\": \"" + good + "\",\n  \"model\": \"QTR-H\""),
              std::string::npos)
        << read.out;
    EXPECT_NE(read.out.find("\"port\": \"" + silent +
                            "\",\n  \"error\": \"no reply from the "
                            "device on " +
                            silent + "\""),
              std::string::npos)
        << read.out;
    EXPECT_NE(read.out.find("\"port\": \"" + absent + "\",\n  \"error\": \"cannot open"),
              std::string::npos)
        << read.out;
    EXPECT_NE(read.err.find(silent + ": kelvane-cli: no reply from the device on " + silent),
              std::string::npos)
        << read.err;
    EXPECT_NE(read.err.find(absent + ": kelvane-cli: cannot open " + absent), std::string::npos)
        << read.err;

    // A folder under a file cannot be made: each port's file is said not written.
    const std::string notAFolder = file("plain");
    std::ofstream(notAFolder) << "x";
    const Finished folder =
        run({"--port", good, "--port", silent, "read", "-o", notAFolder + "/out"});
    EXPECT_EQ(folder.status, 2);
    EXPECT_NE(folder.out.find(good + "\tQTR-H\t200001\tFAILED: cannot write " + notAFolder),
              std::string::npos)
        << folder.out;
    std::remove(notAFolder.c_str());

    const Finished twice = run({"--port", good, "--port", good, "identify"});
    EXPECT_EQ(twice.status, 2);
    EXPECT_EQ(twice.err, "kelvane-cli: --port " + good + " is given twice\n");

    ChildProcess measuring(KELVANE_CLI_PATH, {"--port", good, "--port", silent, "measure"});
    EXPECT_EQ(measuring.nextLine(std::chrono::seconds(5)), "port,time,raw,value,unit");
    EXPECT_EQ(measuring.nextLine(std::chrono::seconds(5)).rfind(good + ",", 0), 0u);
    EXPECT_EQ(measuring.stop(SIGINT), 1) << "the silent port failed; the other ended cleanly";
    EXPECT_NE(measuring.errors().find(silent + ": kelvane-cli: no reply"), std::string::npos);
}

// Each point of a transmitter whose DAC is 300 counts from the counts it reports is
// trimmed against kelvane-sim's meter, each "mA?" answered with what the meter shows,
// to within 0.002 mA in at most three readings; the output is left at normal.
TEST_F(CliProgram, ATrimAgainstTheMeterReachesTheToleranceInThreeReadings) {
    const std::string meter = file("meter.txt");
    startSim({"--dac", "6100,32300", "--meter", meter});
    for (const char* point : {"4mA", "20mA"}) {
        SCOPED_TRACE(point);
        ChildProcess trim(KELVANE_CLI_PATH, {"--port", device, "trim", point, "--meter"});
        std::size_t answered = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!trim.ended() && std::chrono::steady_clock::now() < deadline) {
            const std::string asked = trim.errors();
            std::size_t prompts = 0;
            for (std::size_t at = asked.find("mA?\n"); at != std::string::npos;
                 at = asked.find("mA?\n", at + 1)) {
                ++prompts;
            }
            if (prompts > answered) {
                std::ifstream shown(meter);
                std::string line, last;
                while (std::getline(shown, line)) {
                    last = line;
                }
                trim.send(last.substr(7, last.find(" mA") - 7) + "\n");  // "output 4.183 mA"
                ++answered;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_EQ(trim.waitForExit(), 0) << trim.errors();
        EXPECT_LE(answered, 3u);
        const std::string out = trim.allOutput();
        EXPECT_NE(out.find("within 0.002 mA at count "), std::string::npos) << out;
        EXPECT_NE(out.find("normal output\n"), std::string::npos) << out;
    }
    std::remove(meter.c_str());
}

TEST_F(CliProgram, MeasureWritesOneCsvLinePerValue) {
    startSim();
    const Finished measure = cli({"measure", "--count", "3"});
    ASSERT_EQ(measure.status, 0) << measure.err;
    std::istringstream lines(measure.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "time,raw,value,unit");
    const std::regex value(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z,-?\d+,-?\d+\.\d,deg C)");
    int values = 0;
    while (std::getline(lines, line)) {
        EXPECT_TRUE(std::regex_match(line, value)) << line;
        ++values;
    }
    EXPECT_EQ(values, 3);
}

TEST_F(CliProgram, ASilentDeviceEndsWithExitOneAndSaysSo) {
    startSim({"--fault", "no-reply"});
    const Finished reading = cli({"read"});
    EXPECT_EQ(reading.status, 1);
    EXPECT_EQ(reading.err, "kelvane-cli: no reply from the device on " + device + "\n");
}

// An RS-485 device that misses a request begun within the Modbus gap after its reply
// hears every request of a read and a write the first time: nine requests for the
// write (identity, seven writes, store check), no repeat.
TEST_F(CliProgram, ADeviceThatNeedsTheModbusGapHearsEveryRequest) {
    startSim({"--fault", "needs-gap"});
    const Finished reading = cli({"read"});
    ASSERT_EQ(reading.status, 0) << reading.err;
    const std::string path = file("gap.json");
    std::ofstream(path) << reading.out;
    const Finished write = cli({"--log", "-", "write", path});
    EXPECT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(write.out, "Write Success\n");
    std::size_t requests = 0;
    for (std::size_t at = write.err.find("request"); at != std::string::npos;
         at = write.err.find("request", at + 1)) {
        ++requests;
    }
    EXPECT_EQ(requests, 9U) << write.err;
    std::remove(path.c_str());
}

TEST_F(CliProgram, NoiseAndAStreamingLineAreNeverTakenForADevice) {
    const struct {
        const char* fault;
        std::vector<std::string> command;
        const char* said;
    } rows[] = {
        {"noise-before-reply", {"read"}, "failed its CRC check"},
        {"streaming-line", {"identify"}, "failed its CRC check"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fault);
        startSim({"--fault", row.fault});
        const Finished run = cli(row.command);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(row.said), std::string::npos) << run.err;
        sim.reset();
    }
}

TEST_F(CliProgram, ASecondProgramOnABusyPortIsToldWhy) {
    startSim();
    ChildProcess first(KELVANE_CLI_PATH, {"--port", device, "measure"});
    ASSERT_EQ(first.nextLine(std::chrono::seconds(5)), "time,raw,value,unit");
    const Finished second = cli({"identify"});
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err,
              "kelvane-cli: cannot open " + device + ": it is in use by another program\n");
    EXPECT_EQ(first.stop(SIGINT), 0) << "Ctrl+C ends the measurement cleanly";
}

TEST_F(CliProgram, RecoveryFindsADeviceLeftAtAnotherSpeed) {
    startSim({"--baud", "9600"});
    EXPECT_EQ(cli({"identify"}).status, 1);
    const Finished recovered = cli({"identify", "--recover"});
    EXPECT_EQ(recovered.status, 0) << recovered.err;
    EXPECT_EQ(recovered.out, "model QTR-H (model code 2)\nfirmware V05 (index 5)\nserial 200001\n");
    EXPECT_NE(recovered.err.find("now listens at address 1, 19200,N,8,1"), std::string::npos);
}

TEST_F(CliProgram, BadFilesAndUsageEndWithExitTwoAndNothingSent) {
    startSim({"--log", "-"});
    const std::string path = file("bad.json");
    std::ofstream(path) << R"({"input": "Thermocouple Q"})";
    const Finished bad = cli({"write", path});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("input: \"Thermocouple Q\" is not one of"), std::string::npos);
    EXPECT_EQ(cli({"trim", "7mA"}).status, 2);
    EXPECT_EQ(cli({"trim", "4mA", "--count", "40000"}).status, 2);
    EXPECT_EQ(cli({"frobnicate"}).status, 2);
    EXPECT_EQ(sim->errors().find("request"), std::string::npos) << "the device heard nothing";
    std::remove(path.c_str());
}

}  // namespace
}  // namespace kelvane
