// Several transmitters at once on the in-memory link: every port gets its own whole
// exchange whatever another port does, and the summary says what each one did.
#include "cli/many_ports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>

#include "device/config_file.h"
#include "tests/support/scripted_peer.h"
#include "tests/support/simulated_line.h"

namespace kelvane::cli {
namespace {

using testing::collected;
using testing::echoed;
using testing::exchange;
using testing::sent;

TEST(ManyPorts, EachPortRunsItsOwnExchangeAndAFailureStaysOnItsPort) {
    const Configuration wanted = parseConfigurationJson(R"j({"input": "PT-100",
        "unit": "deg C", "lower": -100, "upper": 500, "offset": 0.5, "output": "4mA ~ 20mA",
        "break": "UpScale(>20mA)"})j")
                                     .configuration;
    const std::vector<std::string> written =
        exchange({{collected(0), sent(4, 0x1F00, 4), collected(13)},
                  echoed(5, 2, 0xFF9C),
                  echoed(5, 3, 500),
                  echoed(5, 4, 5),
                  echoed(5, 1, 0),
                  echoed(5, 5, 0),
                  echoed(5, 6, 1),
                  echoed(6, 0, 10),
                  {collected(0), sent(4, 0x1006, 1), collected(7)}});
    // How a port's device behaves besides its simulator fault.
    enum class Peer { Simulator, Exceptions, Absent, Throws, CtrlC };
    const struct {
        const char* port;
        std::optional<sim::Fault> fault;
        int status;
        const char* summary;
        Peer peer = Peer::Simulator;
    } rows[] = {
        {"/dev/ttyUSB0", std::nullopt, kSuccess, "/dev/ttyUSB0\tQTR-H\t200001\tWrite Success"},
        {"/dev/ttyUSB1", sim::Fault::NoReply, kDeviceFailed,
         "/dev/ttyUSB1\t-\t-\tFAILED: no reply from the device on /dev/ttyUSB1"},
        {"/dev/ttyUSB2", sim::Fault::StoreFails, kDeviceFailed,
         "/dev/ttyUSB2\tQTR-H\t200001\tFAILED: the device on /dev/ttyUSB2 reported that it did "
         "not store the configuration (Write Memory Fail)"},
        {"/dev/ttyUSB3", std::nullopt, kSuccess, "/dev/ttyUSB3\tQTR-H\t200001\tWrite Success"},
        {"/dev/ttyUSB4", std::nullopt, kDeviceFailed,
         "/dev/ttyUSB4\t-\t-\tFAILED: the device on /dev/ttyUSB4 answered with Modbus "
         "exception 4 (slave device failure)",
         Peer::Exceptions},
        {"/dev/ttyUSB5", std::nullopt, kDeviceFailed,
         "/dev/ttyUSB5\t-\t-\tFAILED: cannot open /dev/ttyUSB5: no such serial device",
         Peer::Absent},
        {"/dev/ttyUSB6", std::nullopt, kDeviceFailed,
         "/dev/ttyUSB6\t-\t-\tFAILED: the worker of /dev/ttyUSB6 failed", Peer::Throws},
        {"/dev/ttyUSB7", std::nullopt, kInterrupted,
         "/dev/ttyUSB7\tQTR-H\t200001\tFAILED: the write to the device on /dev/ttyUSB7 was "
         "interrupted during the store wait: the store was not checked, so whether the device "
         "stored the configuration is not known",
         Peer::CtrlC},
    };
    std::vector<std::unique_ptr<testing::SimulatedLine>> lines;
    testing::ScriptedPeer refusing;
    refusing.setResponder([](const std::vector<std::uint8_t>& request, const LineSettings& line) {
        return testing::ScriptedPeer::paced(
            testing::withCrc({request[0], static_cast<std::uint8_t>(request[1] | 0x80), 4}), line);
    });
    ManyPortsRun run;
    for (const auto& row : rows) {
        lines.push_back(std::make_unique<testing::SimulatedLine>());
        testing::SimulatedLine& line = *lines.back();
        if (row.peer == Peer::Exceptions) {
            line.port.attach(row.port, refusing);
        } else if (row.peer != Peer::Absent) {
            line.port.attach(row.port, line.peer);
        }
        if (row.fault) {
            line.device.setFault(*row.fault);
        }
        run.ports.push_back(row.port);
    }
    std::ostringstream liveErr;
    SharedLines sharedErr(liveErr);
    run.sharedErr = &sharedErr;
    run.pace = Pace::Line;
    run.open = [&](const std::string& port) {
        const auto index = static_cast<std::size_t>(
            std::find(run.ports.begin(), run.ports.end(), port) - run.ports.begin());
        testing::SimulatedLine& line = *lines[index];
        line.log.clear();
        const bool stopped = rows[index].peer == Peer::CtrlC;
        return OpenedPort{std::shared_ptr<SerialPort>(&line.port, [](SerialPort*) {}),
                          [&line, stopped](Micros wait) {
                              line.clock.advance(wait);
                              return !stopped;
                          },
                          [&line] { return line.clock.now(); }, &line.log};
    };
    run.command = [&wanted](TransmitterSession& session) {
        if (session.deviceName() == "/dev/ttyUSB6") {
            throw std::runtime_error("the worker of /dev/ttyUSB6 failed");
        }
        return session.write(wanted, false);
    };

    const std::vector<PortResult> results = runOnManyPorts(run);
    ASSERT_EQ(results.size(), std::size(rows));
    for (std::size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(rows[i].port);
        EXPECT_EQ(results[i].status, rows[i].status);
        EXPECT_EQ(summaryLine(results[i]), rows[i].summary);
        if (rows[i].peer == Peer::Simulator && rows[i].fault != sim::Fault::NoReply) {
            EXPECT_EQ(lines[i]->log.steps, written);
        }
        if (rows[i].peer == Peer::CtrlC) {  // everything but the store check
            EXPECT_EQ(lines[i]->log.steps,
                      std::vector<std::string>(written.begin(), written.end() - 3));
        }
        // Each failure was said on the shared stream as it happened, after its port.
        if (rows[i].status != kSuccess) {
            const std::string said = std::string(rows[i].summary);
            EXPECT_NE(liveErr.str().find(std::string(rows[i].port) + ": kelvane-cli: " +
                                         said.substr(said.find("FAILED: ") + 8)),
                      std::string::npos)
                << liveErr.str();
        }
    }
    EXPECT_EQ(overallStatus(results), kInterrupted);
}

TEST(ManyPorts, MeasureWritesOneCsvWithAPortColumn) {
    std::ostringstream shared;
    SharedLines lines(shared);
    std::vector<std::unique_ptr<testing::SimulatedLine>> devices;
    ManyPortsRun run;
    for (const char* port : {"/dev/ttyUSB0", "/dev/ttyUSB1"}) {
        devices.push_back(std::make_unique<testing::SimulatedLine>());
        devices.back()->port.attach(port, devices.back()->peer);
        devices.back()->device.setFault(sim::Fault::SensorOpen);
        run.ports.push_back(port);
    }
    run.open = [&](const std::string& port) {
        testing::SimulatedLine& line = *devices[port == run.ports[0] ? 0 : 1];
        return OpenedPort{std::shared_ptr<SerialPort>(&line.port, [](SerialPort*) {}),
                          [&line](Micros wait) {
                              line.clock.advance(wait);
                              return true;
                          },
                          [&line] { return line.clock.now(); }};
    };
    std::atomic<bool> stop{false};
    run.command = [&stop](TransmitterSession& session) {
        return session.measure(2, kDefaultMeasureInterval, stop);
    };
    run.sharedOut = &lines;
    EXPECT_EQ(overallStatus(runOnManyPorts(run)), kSuccess);
    std::istringstream csv(shared.str());
    std::map<std::string, int> values;
    for (std::string line; std::getline(csv, line);) {
        const std::string port = line.substr(0, line.find(','));
        EXPECT_EQ(line.substr(line.find(',', port.size() + 1)), ",32767,OPEN,deg C") << line;
        ++values[port];
    }
    EXPECT_EQ(values, (std::map<std::string, int>{{"/dev/ttyUSB0", 2}, {"/dev/ttyUSB1", 2}}));
}

}  // namespace
}  // namespace kelvane::cli
