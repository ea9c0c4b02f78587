// The transmitter screen's sequences against a real kelvane-sim over a pseudo-
// terminal, in real time, the event loop firing the timers: a write the simulator
// keeps, live measurement with the sensor-open fault, and a calibration point.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <functional>
#include <string>
#include <vector>

#include "link/link.h"
#include "platform/linux/posix_serial_port.h"
#include "tests/support/child_process.h"
#include "transmitter/tform2.h"

namespace kelvane {
namespace {

class SimulatedScreen : public ::testing::Test {
  protected:
    void start(std::vector<std::string> simArguments) {
        sim_ = std::make_unique<testing::ChildProcess>(KELVANE_SIM_PATH, std::move(simArguments));
        const std::string device = sim_->nextLine(std::chrono::seconds(5));
        ASSERT_FALSE(device.empty()) << "kelvane-sim gave no device";
        link.OpenDevice(device, 0);
        ASSERT_TRUE(link.portOpen());
        state.languageId = kLanguageEnglish;
        state.modelCode = 2;
        state.deviceAddress = 1;
        state.firmwareVersionIndex = 5;
        screen = std::make_unique<TForm2>(link, state, dialogs, ScreenHooks{});
    }
    const TForm2Design& ui() const { return screen->design(); }

    // Runs the event loop until `done` holds; the limit only guards against a hang.
    bool runUntil(const std::function<bool()>& done) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 15000) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return done();
    }
    bool timersIdle() const {
        for (const QTimer* timer :
             {ui().Timer1, ui().Timer2, ui().Timer3, ui().Timer4, ui().Timer5, ui().Timer6}) {
            if (timer->isActive()) {
                return false;
            }
        }
        return true;
    }
    void read() {
        screen->BtnP1Click();
        ASSERT_TRUE(runUntil([this] { return timersIdle(); }));
        ASSERT_EQ(ui().Lab83->text(), "Read Success");
    }
    // The simulator's configuration registers, read over the same line.
    std::vector<int> deviceRegisters() {
        link.Drain();
        link.SendRequest(1, 3, 0, 9);
        link.CollectResponse();
        EXPECT_TRUE(link.ResponseCrcOk(21));
        std::vector<int> words;
        for (int i = 0; i < 9; ++i) {
            words.push_back(link.SignedRegister(i));
        }
        return words;
    }

    std::unique_ptr<testing::ChildProcess> sim_;
    PosixSerialPort port;
    RecordingDialogs dialogs;
    Link link{port, dialogs};
    ProgramState state;
    std::unique_ptr<TForm2> screen;
};

TEST_F(SimulatedScreen, AWriteIsKeptByTheSimulatorAndReadBack) {
    start({});
    read();
    ui().Item1->setItemIndex(10);  // PT-100
    ui().Item3->setItemIndex(1);   // deg F
    ui().Edi3->setText("-100");
    ui().Edi4->setText("900");
    ui().Edi61->setText("-7.5");
    ui().Item4->setItemIndex(1);
    ui().BtnP2->click();
    ASSERT_TRUE(runUntil([this] { return timersIdle(); }));
    EXPECT_EQ(ui().Lab83->text(), "Write Success");

    const std::vector<int> expected{10,
                                    1,
                                    -100,
                                    900,
                                    -75,
                                    1,
                                    ui().Item5->itemIndex(),
                                    ui().Edit2->text().toInt(),
                                    ui().Edit3->text().toInt()};
    EXPECT_EQ(deviceRegisters(), expected);
    ui().Edi4->setText("0");
    read();
    EXPECT_EQ(ui().Edi4->text(), "900");
    EXPECT_EQ(ui().Edi61->text(), "-7.5");
    EXPECT_EQ(ui().Label4->text(), "deg F");
    EXPECT_TRUE(dialogs.entries.empty());
}

TEST_F(SimulatedScreen, MeasurementShowsLiveValuesThenOpenWhenTheSensorBreaks) {
    // Requests: identity, configuration, the measurement command, then process values;
    // the sensor breaks from the 9th request on.
    start({"--fault", "sensor-open:9"});
    read();
    std::vector<QString> shown;
    QObject::connect(ui().PV1_Edit, &QLineEdit::textChanged,
                     [&](const QString& value) { shown.push_back(value); });
    ui().Btn71->click();
    ASSERT_TRUE(ui().Timer1->isActive());
    ASSERT_TRUE(runUntil([&] { return !shown.empty() && shown.back() == "OPEN"; }));
    ASSERT_GE(shown.size(), 3u);
    for (size_t i = 0; i + 1 < shown.size(); ++i) {
        bool number = false;
        const int degrees = shown[i].toInt(&number);
        EXPECT_TRUE(number) << shown[i].toStdString();
        EXPECT_GT(degrees, -50);
        EXPECT_LT(degrees, 1370);
    }
    EXPECT_EQ(ui().PV1_Edit2->text(), "OPEN");
    EXPECT_EQ(ui().Lab83->text(), "Read Success");
    ui().Btn72->click();
    EXPECT_TRUE(timersIdle());
    EXPECT_TRUE(ui().BtnP1->isEnabled());
}

TEST_F(SimulatedScreen, AnRtdCalibrationIsStoredAndALoadedSerialNumberIsIdentified) {
    start({"--log", "-"});
    screen->setServiceAccess(true);
    read();
    std::vector<QString> a0;
    QObject::connect(ui().rtd_lo_a0, &QLineEdit::textChanged,
                     [&](const QString& value) { a0.push_back(value); });
    ui().Btn11->click();
    ASSERT_TRUE(ui().Timer4->isActive());
    EXPECT_EQ(ui().Item1->itemIndex(), 10);
    ASSERT_TRUE(runUntil([&] { return a0.size() >= 2; })) << "the coefficients never showed";
    ui().Btn13->click();
    EXPECT_TRUE(timersIdle());

    // The store code 2 reached the simulator: its traffic log (standard error) shows
    // the request after the begin code 37.
    const std::string traffic = sim_->errors();
    const auto begin = traffic.find("request  01 06 00 09 00 25");
    const auto stored = traffic.find("request  01 05 00 09 00 02");
    ASSERT_NE(begin, std::string::npos) << traffic;
    ASSERT_NE(stored, std::string::npos) << traffic;
    EXPECT_LT(begin, stored);

    ui().Edit1->setText("12345678");
    ui().Button1->click();
    EXPECT_EQ(ui().Edit1->text(), "12345679");
    read();
    EXPECT_EQ(ui().Serial_Y->text(), "12345678");
    EXPECT_TRUE(dialogs.entries.empty());
}

}  // namespace
}  // namespace kelvane
