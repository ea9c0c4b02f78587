// The screen against the simulated transmitter on the in-memory link: a read shows
// what the device holds, and an activation during measurement polling stops it and
// reads anew.
#include <gtest/gtest.h>

#include "link/in_memory_port.h"
#include "link/link.h"
#include "sim/in_memory_device.h"
#include "tests/support/simulated_line.h"
#include "transmitter/tform2.h"

namespace kelvane {
namespace {

class SimulatedDevice : public ::testing::Test, protected testing::SimulatedLine {
  protected:
    SimulatedDevice() : SimulatedLine(sim::DeviceSettings{17, 9, 4000000001u}) {
        state.deviceAddress = 1;
        state.modelCode = 17;
        state.languageId = kLanguageEnglish;
    }
    void read() {
        screen.BtnP1Click();
        ASSERT_TRUE(screen.design().Timer2->isActive());
        screen.Timer2Timer();
    }

    ProgramState state;
    TForm2 screen{link, state, dialogs, ScreenHooks{}};
};

TEST_F(SimulatedDevice, ReadShowsWhatTheDeviceHolds) {
    read();
    const TForm2Design& ui = screen.design();
    EXPECT_EQ(ui.Lab83->text(), "Read Success");
    EXPECT_EQ(ui.Serial_Y->text(), "4000000001");
    EXPECT_EQ(ui.Label7->text(), "V09");
    EXPECT_EQ(ui.Label18->text(), "QTN-H");
    EXPECT_TRUE(ui.GroupBox9->isVisibleTo(ui.Configuration));
    EXPECT_EQ(ui.Item1->itemIndex(), device.holdingRegister(0));
    EXPECT_EQ(ui.Item3->itemIndex(), device.holdingRegister(1));
    EXPECT_EQ(ui.Edi4->text(),
              QString::number(static_cast<std::int16_t>(device.holdingRegister(3))));
    EXPECT_EQ(ui.Edit3->text(), QString::number(device.holdingRegister(8)));
    EXPECT_EQ(ui.ScrollBar4->value(), device.holdingRegister(8));
}

TEST_F(SimulatedDevice, ActivationDuringPollingStopsItAndReadsAgain) {
    read();
    const TForm2Design& ui = screen.design();
    screen.BtnAllOFF();
    ui.Timer1->start();  // measurement polling, as its Start leaves it
    const unsigned heardBefore = device.requestsHeard();
    screen.FormActivate();
    EXPECT_FALSE(ui.Timer1->isActive());
    EXPECT_TRUE(ui.Timer2->isActive());
    EXPECT_EQ(device.requestsHeard(), heardBefore + 2);  // identity and configuration
    screen.Timer2Timer();
    EXPECT_EQ(ui.Lab83->text(), "Read Success");
    EXPECT_FALSE(ui.Timer1->isActive()) << "measurement does not restart after the read";
    EXPECT_TRUE(ui.Btn71->isEnabled());
}

TEST_F(SimulatedDevice, TrimPointsDriveTheSimulatedOutputWithThePageCount) {
    read();
    const TForm2Design& ui = screen.design();
    ui.RadioButton1->setChecked(true);
    EXPECT_EQ(device.outputMode(), sim::OutputMode::Hold4mA);
    EXPECT_EQ(device.holdingRegister(7), ui.Edit2->text().toUInt());
    screen.UpDown3ChangingEx(UpDownDirection::Up);
    ui.ScrollBar3->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ui.ScrollBar3->endScroll();
    EXPECT_EQ(ui.Edit2->text(), QString::number(device.holdingRegister(7)));
    ui.Rad2->setChecked(true);
    EXPECT_EQ(device.outputMode(), sim::OutputMode::Hold20mA);
    ui.RadioButton3->setChecked(true);
    EXPECT_EQ(device.outputMode(), sim::OutputMode::Normal);
    EXPECT_EQ(device.lastCommand(), 31);
}

}  // namespace
}  // namespace kelvane
