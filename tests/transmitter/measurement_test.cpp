// Live measurement: the display of process values by input type on both pages, and
// the polling on the in-memory link (Start, each step, Stop), with missing replies,
// an unconfirmed measurement command and a change of input type while it runs.
#include "device/measurement_rules.h"
#include "tests/transmitter/screen_fixture.h"

namespace kelvane::testing {
namespace {

TEST(ProcessValueDisplay, EachInputTypeHasItsScaleAndPattern) {
    struct Case {
        int type;
        std::uint16_t raw;
        const char* configuration;
        const char* calibration;
    };
    const Case cases[] = {
        {1, 255, "25", "25.5"},
        {1, 0xFF01, "-25", "-25.5"},
        {1, 0xFFFF, "0", "-0.1"},
        {1, 2345, "234", "234.5"},
        {1, 0x8000, "-3276", "-3276.8"},
        {1, 0x7FFF, "OPEN", "OPEN"},
        {8, 19, "1", "1.9"},
        {-1, 100, "10", "10.0"},
        {13, 100, "10", "10.0"},
        {10, 1234, "123.4", "123.4"},
        {10, 0xFFFB, "-0.5", "-0.5"},
        {9, 0xE890, "-60.00", "-60.00"},
        {9, 29, "0.29", "0.29"},
        {9, 0x7FFF, "OPEN", "OPEN"},
        {11, 0xD8F0, "-10.000", "-10.000"},
        {12, 4000, "4.000", "4.000"},
        {12, 1, "0.001", "0.001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.raw));
        const ProcessValueTexts shown = processValueTexts(c.type, static_cast<std::int16_t>(c.raw));
        EXPECT_EQ(shown.configuration, c.configuration);
        EXPECT_EQ(shown.calibration, c.calibration);
    }
}

class Measurement : public ScreenTest {
  protected:
    std::vector<std::string> startExchange() const {
        return {collected(0), sent(5, 9, 40), collected(8), collected(0), sent(4, 0x1000, 1)};
    }
    std::vector<std::string> stepExchange(int replyBytes) const {
        return {collected(replyBytes), collected(0), sent(4, 0x1000, 1)};
    }
    std::string pv() const { return text(ui().PV1_Edit); }
    std::string pv2() const { return text(ui().PV1_Edit2); }
};

TEST_F(Measurement, StartLocksAllButStopAndAsksForTheFirstValue) {
    readAndClearLog();
    ui().Item1->setItemIndex(10);
    screen.Btn71Click();
    EXPECT_EQ(log.steps, startExchange());
    EXPECT_TRUE(ui().Timer1->isActive());
    EXPECT_EQ(ui().Timer1->interval(), 500);
    EXPECT_EQ(state.currentInputType, 10);
    for (QWidget* control : screen.lockedControls()) {
        const bool stop = control == ui().Btn72 || control == ui().Btn52;
        EXPECT_EQ(control->isEnabled(), stop) << control->objectName().toStdString();
    }
    EXPECT_EQ(text(ui().Lab83), "Read Success") << "Start shows no message of its own";
}

TEST_F(Measurement, EachStepShowsItsReplyAndAsksForTheNext) {
    readAndClearLog();
    device.processValue = 0xFF01;  // answers the request Start sends
    screen.Btn71Click();
    log.clear();
    screen.Timer1Timer();
    EXPECT_EQ(log.steps, stepExchange(7));
    EXPECT_EQ(pv(), "-25");
    EXPECT_EQ(pv2(), "-25.5");
    EXPECT_EQ(text(ui().Lab83), "Read Success");
    EXPECT_EQ(labelColour(*ui().Lab83), QColor(0, 128, 0));

    // The sensor open code is a good reply; it answers the request of this step.
    device.processValue = 0x7FFF;
    screen.Timer1Timer();
    screen.Timer1Timer();
    EXPECT_EQ(pv(), "OPEN");
    EXPECT_EQ(pv2(), "OPEN");
    EXPECT_EQ(labelColour(*ui().Lab83), QColor(0, 128, 0));
}

TEST_F(Measurement, AMissingReplyFailsOneStepAndPollingGoesOn) {
    readAndClearLog();
    device.processValue = 1234;
    screen.Btn71Click();
    screen.Timer1Timer();
    ASSERT_EQ(pv(), "123");
    device.silentRequests = {device.heard + 1};
    device.processValue = 999;
    screen.Timer1Timer();  // its request goes unanswered
    log.clear();
    screen.Timer1Timer();
    EXPECT_EQ(log.steps, stepExchange(0));
    EXPECT_EQ(text(ui().Lab83), "Read Fail");
    EXPECT_EQ(labelColour(*ui().Lab83), QColor(255, 0, 0));
    EXPECT_EQ(pv(), "123") << "the fields keep their last value";
    EXPECT_TRUE(ui().Timer1->isActive());
    screen.Timer1Timer();
    EXPECT_EQ(text(ui().Lab83), "Read Success");
    EXPECT_EQ(pv(), "99");
}

TEST_F(Measurement, ACorruptedReplyFailsItsStepAndIsNotShown) {
    readAndClearLog();
    device.processValue = 100;
    screen.Btn71Click();
    screen.Timer1Timer();
    ASSERT_EQ(pv(), "10");
    device.corruptProcessValue = true;
    screen.Timer1Timer();  // collects the good reply; asks again and gets a bad one
    screen.Timer1Timer();
    EXPECT_EQ(text(ui().Lab83), "Read Fail");
    EXPECT_EQ(pv(), "10");
    EXPECT_EQ(pv2(), "10.0");
}

TEST_F(Measurement, PollingStartsEvenWhenTheDeviceDoesNotConfirmMeasurementMode) {
    readAndClearLog();
    device.silentRequests = {device.heard + 1, device.heard + 2};
    screen.Btn71Click();
    EXPECT_EQ(log.steps,
              (std::vector<std::string>{collected(0), sent(5, 9, 40), collected(0), sent(5, 9, 40),
                                        collected(0), collected(0), sent(4, 0x1000, 1)}));
    EXPECT_TRUE(ui().Timer1->isActive());
}

TEST_F(Measurement, ANewInputTypeScalesTheNextValueAndTellsTheDeviceNothing) {
    readAndClearLog();
    device.processValue = 0xE890;
    screen.Btn71Click();
    screen.Timer1Timer();
    EXPECT_EQ(pv(), "-600");
    log.clear();
    ui().Item1->setItemIndex(9);
    EXPECT_TRUE(log.steps.empty());
    screen.Timer1Timer();
    EXPECT_EQ(pv(), "-60.00");
    EXPECT_EQ(pv2(), "-60.00");
}

TEST_F(Measurement, StopDrainsUnlocksAndKeepsTheLastMessageAndValue) {
    for (auto stop : {&TForm2::Btn72Click, &TForm2::Btn52Click}) {
        readAndClearLog();
        device.processValue = 4000;
        ui().Item1->setItemIndex(12);
        (stop == &TForm2::Btn72Click ? screen.Btn71Click() : screen.Btn51Click());
        screen.Timer1Timer();
        log.clear();
        (screen.*stop)();
        EXPECT_EQ(log.steps, (std::vector<std::string>{collected(7)}));
        EXPECT_FALSE(ui().Timer1->isActive());
        EXPECT_EQ(pv(), "4.000");
        EXPECT_EQ(text(ui().Lab83), "Read Success");
        for (QWidget* control : screen.lockedControls()) {
            EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
        }
    }
}

TEST_F(Measurement, TheCalibrationPageStartsTheSamePolling) {
    readAndClearLog();
    screen.Btn51Click();
    EXPECT_EQ(log.steps, startExchange());
    EXPECT_TRUE(ui().Timer1->isActive());
    EXPECT_TRUE(ui().Btn52->isEnabled());
}

}  // namespace
}  // namespace kelvane::testing
