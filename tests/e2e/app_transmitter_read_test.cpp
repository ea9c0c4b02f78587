// The transmitter screen reads a real kelvane-sim over a pseudo-terminal, through the
// termios port, in real time: the event loop fires Timer2 and the page shows the
// simulated device's configuration with green "Read Success".
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/posix_serial_port.h"
#include "sim/transmitter.h"
#include "transmitter/tform2.h"

namespace kelvane {
namespace {

// kelvane-sim as a child process; its first output line names the serial device.
class SimChild {
  public:
    explicit SimChild(std::vector<std::string> arguments) {
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::string program = KELVANE_SIM_PATH;
            std::vector<char*> argv{program.data()};
            for (std::string& argument : arguments) {
                argv.push_back(argument.data());
            }
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        ::close(out[1]);
        out_ = out[0];
    }
    ~SimChild() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) {
            ::close(out_);
        }
    }
    // The device path, waiting at most 50 polls of 100 ms for it.
    std::string devicePath() {
        std::string line;
        for (int polls = 0; polls < 50 && out_ >= 0;) {
            pollfd waiting{out_, POLLIN, 0};
            if (poll(&waiting, 1, 100) <= 0) {
                ++polls;
                continue;
            }
            char c;
            if (::read(out_, &c, 1) != 1 || c == '\n') {
                break;
            }
            line += c;
        }
        return line;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
};

QApplication& application() {
    static int argc = 1;
    static char name[] = "app_transmitter_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        static QApplication app(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    return *qApp;
}

TEST(AppTransmitter, ReadsTheSimulatedDeviceOverAPseudoTerminal) {
    application();
    SimChild sim({"--serial", "12345678", "--firmware", "7"});
    const std::string device = sim.devicePath();
    ASSERT_FALSE(device.empty()) << "kelvane-sim gave no device";

    PosixSerialPort port;
    RecordingDialogs dialogs;
    Link link(port, dialogs);
    link.OpenDevice(device, 0);
    ASSERT_TRUE(link.portOpen());
    ProgramState state;
    state.languageId = kLanguageEnglish;
    state.modelCode = 2;
    state.deviceAddress = 1;
    TForm2 screen(link, state, dialogs, ScreenHooks{});
    const TForm2Design& ui = screen.design();

    screen.BtnP1Click();
    ASSERT_TRUE(ui.Timer2->isActive()) << ui.Lab83->text().toStdString();
    // Let the event loop fire Timer2 as it would on screen.
    QElapsedTimer waited;
    waited.start();
    while (ui.Timer2->isActive() && waited.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ASSERT_FALSE(ui.Timer2->isActive());

    EXPECT_EQ(ui.Lab83->text(), "Read Success");
    EXPECT_EQ(labelColour(*ui.Lab83), QColor(0, 128, 0));
    EXPECT_EQ(ui.Serial_Y->text(), "12345678");
    EXPECT_EQ(ui.Label7->text(), "V07");
    EXPECT_EQ(ui.Label18->text(), "QTR-H");
    EXPECT_EQ(state.firmwareVersionIndex, 7);
    EXPECT_FALSE(ui.Item5->item(2)->isHidden());

    // The factory configuration of a simulated unit, as a freshly made one holds it.
    const sim::Transmitter fresh;
    const auto reg = [&](std::uint16_t n) { return fresh.holdingRegister(n); };
    EXPECT_EQ(ui.Item1->itemIndex(), reg(sim::reg::kInputType));
    EXPECT_EQ(ui.Item3->itemIndex(), reg(sim::reg::kUnit));
    EXPECT_EQ(ui.Edi3->text(),
              QString::number(static_cast<std::int16_t>(reg(sim::reg::kRangeLow))));
    EXPECT_EQ(ui.Edi4->text(),
              QString::number(static_cast<std::int16_t>(reg(sim::reg::kRangeHigh))));
    EXPECT_EQ(ui.Edit2->text(), QString::number(reg(sim::reg::kTrim4mA)));
    EXPECT_EQ(ui.Edit3->text(), QString::number(reg(sim::reg::kTrim20mA)));
    EXPECT_EQ(ui.ScrollBar1->value(), reg(sim::reg::kTrim4mA));
    EXPECT_TRUE(dialogs.entries.empty());
}

}  // namespace
}  // namespace kelvane
