// The transmitter screen reads a real kelvane-sim over a pseudo-terminal, through the
// termios port, in real time: the event loop fires Timer2 and the page shows the
// simulated device's configuration with green "Read Success".
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <string>
#include <vector>

#include "link/link.h"
#include "platform/linux/posix_serial_port.h"
#include "sim/transmitter.h"
#include "tests/support/child_process.h"
#include "transmitter/tform2.h"

namespace kelvane {
namespace {

TEST(AppTransmitter, ReadsTheSimulatedDeviceOverAPseudoTerminal) {
    testing::ChildProcess sim(KELVANE_SIM_PATH, {"--serial", "12345678", "--firmware", "7"});
    const std::string device = sim.nextLine(std::chrono::seconds(5));
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
