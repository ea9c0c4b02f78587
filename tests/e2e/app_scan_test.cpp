// The kelvane program end to end: started as a child process (offscreen), it shows the
// splash, presses Start (--auto-start), finds the adapter named by --port (kelvane-sim
// on a pseudo-terminal) or its own --simulate one, probes it and opens the transmitter
// screen. --report-windows tells the test which windows were shown and hidden.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace {

using kelvane::testing::ChildProcess;
using kelvane::testing::readFile;

const std::vector<std::string> kSplashToTransmitterScreen = {
    "shown TForm8", "shown TForm3", "hidden TForm8", "hidden TForm3", "shown TForm2"};

TEST(KelvaneProgram, FindsTheTransmitterOnThePortGivenAndOpensTheTransmitterScreen) {
    const std::string logPath = "/tmp/kelvane-app-test-log-" + std::to_string(getpid());
    unlink(logPath.c_str());
    ChildProcess sim(KELVANE_SIM_PATH, {"--log", logPath});
    const std::string device = sim.nextLine();
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;

    ChildProcess kelvane(KELVANE_APP_PATH, {"--port", device, "--auto-start", "--report-windows"});
    EXPECT_EQ(kelvane.linesUntil("shown TForm2"), kSplashToTransmitterScreen) << kelvane.errors();

    // The probe's identity read at 4800 baud, answered by the transmitter.
    const std::string log = readFile(logPath);
    EXPECT_NE(log.find("4800,N,8,1  request  01 04 1F 00 00 04 F6 1D"), std::string::npos) << log;
    EXPECT_NE(log.find("4800,N,8,1  reply    01 04 08 02 05 00 00 00 03 0D 41 C4 74"),
              std::string::npos)
        << log;
    // No recovery broadcast: the first attempt found it.
    EXPECT_EQ(log.find("request  00 05 00 13"), std::string::npos) << log;
    unlink(logPath.c_str());
}

TEST(KelvaneProgram, SimulateServesItsOwnTransmitterWithNoHardware) {
    ChildProcess kelvane(KELVANE_APP_PATH, {"--simulate", "--auto-start", "--report-windows"});
    const std::string announced = kelvane.nextLine();
    EXPECT_EQ(announced.rfind("simulated transmitter on /dev/", 0), 0u) << announced;
    EXPECT_EQ(kelvane.linesUntil("shown TForm2"), kSplashToTransmitterScreen) << kelvane.errors();
}

TEST(KelvaneProgram, HelpDocumentsTheOptions) {
    ChildProcess kelvane(KELVANE_APP_PATH, {"--help"});
    const std::string help = kelvane.allOutput();
    for (const char* option : {"--port", "--simulate", "--auto-start", "--report-windows"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

}  // namespace
