// The kelvane program end to end: started as a child process (offscreen), it shows the
// splash, presses Start (--auto-start), finds the adapter named by --port (kelvane-sim
// on a pseudo-terminal) or its own --simulate one, probes it and opens the transmitter
// screen. --report-windows tells the test which windows were shown and hidden.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A child program with its standard output on a pipe and its standard error in a file.
// The destructor always ends it.
class Child {
  public:
    Child(const std::string& program, std::vector<std::string> arguments) {
        errPath_ = "/tmp/kelvane-app-test-" + std::to_string(getpid()) + "-" +
                   std::to_string(counter_++) + ".err";
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            dup2(out[1], STDOUT_FILENO);
            const int err = ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, STDERR_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv;
            std::string path = program;
            argv.push_back(path.data());
            for (std::string& argument : arguments) {
                argv.push_back(argument.data());
            }
            argv.push_back(nullptr);
            execv(path.c_str(), argv.data());
            _exit(127);
        }
        ::close(out[1]);
        out_ = out[0];
    }
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) {
            ::close(out_);
        }
        unlink(errPath_.c_str());
    }

    // The next line of standard output; empty when none comes within `limit` (a guard
    // against a hanging program, not a measured time).
    std::string nextLine(std::chrono::seconds limit = std::chrono::seconds(30)) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd waiting{out_, POLLIN, 0};
            if (poll(&waiting, 1, 100) <= 0) {
                continue;
            }
            char c;
            if (::read(out_, &c, 1) != 1) {
                break;
            }
            if (c == '\n') {
                return line;
            }
            line += c;
        }
        return line;
    }
    // Lines up to and including `last`, or all that came before the output stopped.
    std::vector<std::string> linesUntil(const std::string& last) {
        std::vector<std::string> lines;
        for (std::string line = nextLine(); !line.empty(); line = nextLine()) {
            lines.push_back(line);
            if (line == last) {
                break;
            }
        }
        return lines;
    }
    // Everything the program writes until it exits.
    std::string allOutput() {
        std::string text;
        char chunk[512];
        ssize_t got;
        while ((got = ::read(out_, chunk, sizeof chunk)) > 0) {
            text.append(chunk, static_cast<std::size_t>(got));
        }
        return text;
    }
    std::string errors() const {
        std::ifstream in(errPath_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

  private:
    static inline int counter_ = 0;
    pid_t pid_ = -1;
    int out_ = -1;
    std::string errPath_;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::vector<std::string> kSplashToTransmitterScreen = {
    "shown TForm8", "shown TForm3", "hidden TForm8", "hidden TForm3", "shown TForm2"};

TEST(KelvaneProgram, FindsTheTransmitterOnThePortGivenAndOpensTheTransmitterScreen) {
    const std::string logPath = "/tmp/kelvane-app-test-log-" + std::to_string(getpid());
    unlink(logPath.c_str());
    Child sim(KELVANE_SIM_PATH, {"--log", logPath});
    const std::string device = sim.nextLine();
    ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;

    Child kelvane(KELVANE_APP_PATH, {"--port", device, "--auto-start", "--report-windows"});
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
    Child kelvane(KELVANE_APP_PATH, {"--simulate", "--auto-start", "--report-windows"});
    const std::string announced = kelvane.nextLine();
    EXPECT_EQ(announced.rfind("simulated transmitter on /dev/", 0), 0u) << announced;
    EXPECT_EQ(kelvane.linesUntil("shown TForm2"), kSplashToTransmitterScreen) << kelvane.errors();
}

TEST(KelvaneProgram, HelpDocumentsTheOptions) {
    Child kelvane(KELVANE_APP_PATH, {"--help"});
    const std::string help = kelvane.allOutput();
    for (const char* option : {"--port", "--simulate", "--auto-start", "--report-windows"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

}  // namespace
