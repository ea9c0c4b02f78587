// kelvane-sim as a program: started as a child process, it serves a simulated
// transmitter on a pseudo-terminal that the project's own link (PosixSerialPort) and a
// Modbus master we did not write (mbpoll) talk to in real time.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "link/link.h"
#include "platform/linux/posix_serial_port.h"
#include "tests/support/child_process.h"

namespace kelvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kIdentityReply = {0x01, 0x04, 0x08, 0x02, 0x05, 0x00, 0x00,
                              0x00, 0x03, 0x0D, 0x41, 0xC4, 0x74};

// kelvane-sim as a child process; its first line of output is the serial device.
class SimProcess : public testing::ChildProcess {
  public:
    explicit SimProcess(std::vector<std::string> arguments)
        : ChildProcess(KELVANE_SIM_PATH, std::move(arguments)) {}
    std::string firstLine() { return nextLine(std::chrono::seconds(5)); }
};

struct LinkOnSim {
    explicit LinkOnSim(const std::string& device, std::int16_t line = 0) {
        link.OpenDevice(device, line);
    }
    void exchange(std::int16_t function, std::int16_t field1, std::int16_t field2) {
        link.Drain();
        link.SendRequest(1, function, field1, field2);
        link.CollectResponse();
    }
    Bytes received() const {
        const auto& buffer = link.responseBuffer();
        return Bytes(buffer.begin(), buffer.begin() + link.receivedCount());
    }
    PosixSerialPort port;
    RecordingDialogs dialogs;
    Link link{port, dialogs};
};

TEST(SimProgram, ServesIdentityConfigurationAndWritesToTheLink) {
    SimProcess sim({});
    const std::string device = sim.firstLine();
    ASSERT_EQ(device.rfind("/dev/pts/", 0), 0U) << device;
    LinkOnSim client(device);
    ASSERT_TRUE(client.link.portOpen());
    EXPECT_TRUE(client.dialogs.entries.empty());

    client.exchange(4, 0x1F00, 4);
    EXPECT_EQ(client.received(), kIdentityReply);

    EXPECT_TRUE(client.link.ConfirmedWrite(6, 0, 10, 1));
    EXPECT_TRUE(client.link.ConfirmedWrite(5, 2, -200, 1));
    client.exchange(3, 0, 9);
    ASSERT_TRUE(client.link.ResponseCrcOk(21));
    EXPECT_EQ(client.link.RegisterValue(0), 10);
    EXPECT_EQ(client.link.SignedRegister(2), -200);

    client.exchange(4, 0x1000, 1);
    ASSERT_TRUE(client.link.ResponseCrcOk(5));
    EXPECT_GE(client.link.SignedRegister(0), -2000) << "PT-100 in 0.1 deg C";
    EXPECT_LE(client.link.SignedRegister(0), 6000);
    EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(SimProgram, ModelFirmwareSerialAndSpeedComeFromTheCommandLine) {
    SimProcess sim(
        {"--model", "QTN-H", "--firmware", "7", "--serial", "12345678", "--baud", "19200"});
    const std::string device = sim.firstLine();
    LinkOnSim client(device, 0);
    client.exchange(4, 0x1F00, 4);
    EXPECT_EQ(client.link.receivedCount(), 0) << "silent at 4800 baud";

    client.link.ClosePort();
    client.link.OpenDevice(device, 2);
    client.exchange(4, 0x1F00, 4);
    ASSERT_EQ(client.link.receivedCount(), 13);
    EXPECT_EQ(client.link.response(3), 17);
    EXPECT_EQ(client.link.response(4), 7);
    EXPECT_EQ(client.link.RegisterPair(2), 12345678U);
    EXPECT_EQ(sim.stop(SIGINT), 0);
}

TEST(SimProgram, SpeedChangeAnswersAtTheOldSpeedThenTheDeviceMoves) {
    SimProcess sim({});
    const std::string device = sim.firstLine();
    LinkOnSim client(device, 0);
    client.link.Drain();
    EXPECT_TRUE(client.link.ConfirmedWrite(6, 20, 3, 1)) << "echo at 4800";
    client.exchange(4, 0x1F00, 4);
    EXPECT_EQ(client.link.receivedCount(), 0);
    client.link.ClosePort();
    client.link.OpenDevice(device, 3);
    client.exchange(4, 0x1F00, 4);
    EXPECT_EQ(client.received(), kIdentityReply);
}

TEST(SimProgram, FaultsFromTheCommandLineShowOnTheLine) {
    SimProcess sim({"--fault", "bad-crc", "--fault", "adapter-pulled:3"});
    const std::string device = sim.firstLine();
    LinkOnSim client(device);
    client.exchange(3, 0, 9);
    EXPECT_EQ(client.link.receivedCount(), 23);
    EXPECT_FALSE(client.link.ResponseCrcOk(21));
    client.exchange(4, 0x1F00, 4);
    EXPECT_EQ(client.link.receivedCount(), 13);
    client.exchange(4, 0x1F00, 4);  // the third request pulls the adapter out
    EXPECT_EQ(client.link.receivedCount(), 0);
    EXPECT_FALSE(client.link.SendRequest(1, 4, 0x1F00, 4)) << "the port has hung up";
    client.link.ClosePort();
    client.link.OpenDevice(device, 0);
    EXPECT_FALSE(client.link.portOpen()) << "the serial device is gone";
    EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(SimProgram, AGapInsideTheReplySplitsItOverTwoCollections) {
    SimProcess sim({"--fault", "gap-in-reply"});
    LinkOnSim client(sim.firstLine());
    client.exchange(4, 0x1F00, 4);
    const Bytes first = client.received();
    EXPECT_GT(first.size(), 0U);
    EXPECT_LT(first.size(), 13U);
    client.link.CollectResponse();
    Bytes whole = first;
    const Bytes rest = client.received();
    whole.insert(whole.end(), rest.begin(), rest.end());
    EXPECT_EQ(whole, kIdentityReply);
}

TEST(SimProgram, ThePortMayBeClosedAndReopened) {
    SimProcess sim({});
    const std::string device = sim.firstLine();
    for (int round = 0; round < 3; ++round) {
        LinkOnSim client(device);
        ASSERT_TRUE(client.link.portOpen()) << round;
        client.exchange(4, 0x1F00, 4);
        EXPECT_EQ(client.received(), kIdentityReply) << round;
    }
}

TEST(SimProgram, LinkAndLogAreMadeAndTheLinkIsRemovedOnExit) {
    const std::string linkPath = "/tmp/kelvane-sim-link-" + std::to_string(getpid());
    const std::string logPath = "/tmp/kelvane-sim-log-" + std::to_string(getpid());
    unlink(logPath.c_str());
    {
        SimProcess sim({"--link", linkPath, "--log", logPath});
        const std::string device = sim.firstLine();
        char target[256] = {};
        ASSERT_GT(readlink(linkPath.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(std::string(target), device);
        LinkOnSim client(linkPath);
        client.exchange(4, 0x1F00, 4);
        EXPECT_EQ(client.received(), kIdentityReply);
        client.link.ClosePort();
        EXPECT_EQ(sim.stop(SIGINT), 0);
        struct stat gone {};
        EXPECT_NE(lstat(linkPath.c_str(), &gone), 0);
    }
    const std::string log = testing::readFile(logPath);
    EXPECT_NE(log.find("4800,N,8,1  request  01 04 1F 00 00 04 F6 1D"), std::string::npos) << log;
    EXPECT_NE(log.find("4800,N,8,1  reply    01 04 08 02 05 00 00 00 03 0D 41 C4 74"),
              std::string::npos)
        << log;
    unlink(logPath.c_str());
}

TEST(SimProgram, BadOptionsExitWithStatus2AndAMessage) {
    SimProcess sim({"--baud", "115200"});
    EXPECT_EQ(sim.waitForExit(), 2);
    EXPECT_NE(sim.errors().find("115200"), std::string::npos) << sim.errors();
    EXPECT_EQ(sim.allOutput(), "");
}

TEST(SimProgram, HelpListsTheOptions) {
    SimProcess sim({"--help"});
    EXPECT_EQ(sim.waitForExit(), 0);
    const std::string help = sim.allOutput();
    for (const char* option : {"--model", "--baud", "--fault", "--log", "--link"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

// mbpoll (Debian's Modbus master) runs to completion; its standard output is returned.
std::string runMbpoll(const std::string& arguments, int& status) {
    const std::string command = "timeout 20 mbpoll " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    if (!pipe) {
        status = -1;
        return output;
    }
    char chunk[512];
    std::size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        output.append(chunk, got);
    }
    const int raw = pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

TEST(SimProgram, AStandardModbusMasterReadsAndWritesIt) {
    if (system("command -v mbpoll > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "mbpoll is not installed";
    }
    SimProcess sim({"--baud", "9600"});
    const std::string device = sim.firstLine();
    const std::string line = " -m rtu -a 1 -b 9600 -P none -d 8 -s 1 -0 -1 -o 1 ";
    int status = 0;

    // Function 6: register 3 (upper range limit) = 555.
    std::string out = runMbpoll(line + "-t 4 -r 3 " + device + " 555", status);
    EXPECT_EQ(status, 0) << out;

    // Function 3: holding registers 0-8, the factory configuration with the new limit.
    out = runMbpoll(line + "-t 4 -r 0 -c 9 " + device, status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("[0]: \t1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("[3]: \t555\n"), std::string::npos) << out;
    EXPECT_NE(out.find("[8]: \t32000\n"), std::string::npos) << out;

    // Function 4: the identity block.
    out = runMbpoll(line + "-t 3 -r 0x1F00 -c 4 " + device, status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("[7936]: \t517\n"), std::string::npos) << out;
    EXPECT_NE(out.find("[7939]: \t3393\n"), std::string::npos) << out;

    // A register outside the map: mbpoll reports the device's exception.
    out = runMbpoll(line + "-t 4 -r 11 " + device, status);
    EXPECT_NE(status, 0) << out;
    EXPECT_NE(out.find("Illegal data address"), std::string::npos) << out;
    EXPECT_EQ(sim.stop(SIGTERM), 0);
}

}  // namespace
}  // namespace kelvane
