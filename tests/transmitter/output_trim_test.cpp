// The output trim on both pages over the in-memory link: the mirrored point choices
// with their doubled requests, the normal output's confirmed write, the up-down steps
// and scroll gestures with each handler's drains, the twin counts and bars, and a trim
// action between two measurement steps.
#include "device/trim_rules.h"
#include "tests/transmitter/screen_fixture.h"

namespace kelvane::testing {
namespace {

class OutputTrim : public ScreenTest {
  protected:
    // After a read (4 mA count 1500, 20 mA count 30000), with `point` chosen.
    void readWithChoice(QRadioButton* point) {
        readAndClearLog();
        if (point != nullptr) {
            point->setChecked(true);
        }
        log.clear();
    }
    void expectCounts(int fourMilliamp, int twentyMilliamp) const {
        for (const QLineEdit* field : {ui().Edit2, ui().Edi41}) {
            EXPECT_EQ(text(field), std::to_string(fourMilliamp))
                << field->objectName().toStdString();
        }
        for (const QLineEdit* field : {ui().Edit3, ui().Edi42}) {
            EXPECT_EQ(text(field), std::to_string(twentyMilliamp))
                << field->objectName().toStdString();
        }
        EXPECT_EQ(ui().ScrollBar3->value(), fourMilliamp);
        EXPECT_EQ(ui().ScrollBar1->value(), fourMilliamp);
        EXPECT_EQ(ui().ScrollBar4->value(), twentyMilliamp);
        EXPECT_EQ(ui().ScrollBar2->value(), twentyMilliamp);
    }
};

TEST_F(OutputTrim, ChoosingAPointOnEitherPageSendsCountAndCommandTwice) {
    struct Case {
        const char* name;
        QRadioButton* TForm2Design::*clicked;
        QRadioButton* TForm2Design::*twin;
        int reg, count, command;
    };
    const Case cases[] = {
        {"4 mA", &TForm2Design::RadioButton1, &TForm2Design::Rad1, 7, 1500, 27},
        {"20mA", &TForm2Design::RadioButton2, &TForm2Design::Rad2, 8, 30000, 28},
        {"4 mA on the calibration page", &TForm2Design::Rad1, &TForm2Design::RadioButton1, 7, 1500,
         27},
        {"20mA on the calibration page", &TForm2Design::Rad2, &TForm2Design::RadioButton2, 8, 30000,
         28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        readWithChoice(nullptr);
        (ui().*c.clicked)->setChecked(true);
        EXPECT_EQ(log.steps, exchange({echoed(5, c.reg, c.count), echoed(5, 9, c.command),
                                       echoed(5, c.reg, c.count), echoed(5, 9, c.command)}));
        EXPECT_TRUE((ui().*c.twin)->isChecked());
        log.clear();
        (ui().*c.clicked)->setChecked(true);
        (ui().*c.twin)->setChecked(true);
        EXPECT_TRUE(log.steps.empty()) << "the chosen point sends nothing";
        EXPECT_EQ(text(ui().Lab83), "Read Success") << "no trim action reports";
        ui().RadioButton3->setChecked(true);
    }
}

TEST_F(OutputTrim, NormalOutputIsAConfirmedWriteFromEachPage) {
    struct Case {
        QRadioButton* TForm2Design::*clicked;
        bool answered;
        std::vector<std::string> steps;
    };
    const std::vector<std::string> unanswered{sent(6, 9, 31), collected(0), sent(6, 9, 31),
                                              collected(0)};
    const Case cases[] = {
        {&TForm2Design::RadioButton3, true, exchange({echoed(6, 9, 31), echoed(6, 9, 31)})},
        {&TForm2Design::Rad3, true, exchange({echoed(6, 9, 31), echoed(6, 9, 31)})},
        {&TForm2Design::RadioButton3, false, exchange({unanswered, unanswered})},
    };
    for (const Case& c : cases) {
        readWithChoice(ui().RadioButton1);
        device.silentFrom = c.answered ? 0 : device.heard + 1;
        (ui().*c.clicked)->setChecked(true);
        EXPECT_EQ(log.steps, c.steps);
        EXPECT_TRUE(ui().RadioButton3->isChecked());
        EXPECT_TRUE(ui().Rad3->isChecked());
        device.silentFrom = 0;
    }
}

TEST_F(OutputTrim, UpDownStepsDrainWhereTheirHandlerDoes) {
    struct Case {
        const char* name;
        void (TForm2::*upDown)(UpDownDirection);
        QRadioButton* TForm2Design::*chosen;  // nullptr: Normal
        int reg;
        int from;
        bool up;
        int to;
        std::vector<std::string> steps;
    };
    const auto write = [](int reg, int value) { return echoed(5, reg, value); };
    const Case cases[] = {
        {"UpDown3 up", &TForm2::UpDown3ChangingEx, &TForm2Design::RadioButton1, 7, 1500, true, 1501,
         exchange({{collected(0)}, write(7, 1501)})},
        {"UpDown3 at the top", &TForm2::UpDown3ChangingEx, &TForm2Design::RadioButton1, 7, 32767,
         true, 32767, exchange({{collected(0)}, write(7, 32767)})},
        {"UpDown3 with Normal",
         &TForm2::UpDown3ChangingEx,
         nullptr,
         7,
         1500,
         false,
         1499,
         {collected(0)}},
        {"UpDown4 down at 0", &TForm2::UpDown4ChangingEx, &TForm2Design::RadioButton2, 8, 0, false,
         0, exchange({{collected(0)}, write(8, 0)})},
        {"UpDown4 with 4 mA chosen",
         &TForm2::UpDown4ChangingEx,
         &TForm2Design::RadioButton1,
         8,
         100,
         true,
         101,
         {collected(0)}},
        {"UpDown1 down", &TForm2::UpDown1ChangingEx, &TForm2Design::Rad1, 7, 1500, false, 1499,
         exchange({{collected(0)}, write(7, 1499)})},
        {"UpDown1 with Normal", &TForm2::UpDown1ChangingEx, nullptr, 7, 1500, true, 1501, {}},
        {"UpDown1 up at the top", &TForm2::UpDown1ChangingEx, &TForm2Design::Rad1, 7, 32767, true,
         32767, exchange({{collected(0)}, write(7, 32767)})},
        {"UpDown2 up", &TForm2::UpDown2ChangingEx, &TForm2Design::Rad2, 8, 30000, true, 30001,
         exchange({{collected(0), collected(0)}, write(8, 30001)})},
        {"UpDown2 with Normal",
         &TForm2::UpDown2ChangingEx,
         nullptr,
         8,
         30000,
         false,
         29999,
         {collected(0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        readWithChoice(c.chosen == nullptr ? nullptr : ui().*c.chosen);
        ScrollBar* bar = c.reg == 7 ? ui().ScrollBar3 : ui().ScrollBar4;
        bar->setValue(c.from);
        const int other = c.reg == 7 ? ui().ScrollBar4->value() : ui().ScrollBar3->value();
        log.clear();
        (screen.*c.upDown)(c.up ? UpDownDirection::Up : UpDownDirection::Down);
        EXPECT_EQ(log.steps, c.steps);
        if (c.reg == 7) {
            expectCounts(c.to, other);
        } else {
            expectCounts(other, c.to);
        }
        ui().RadioButton3->setChecked(true);
    }
}

TEST_F(OutputTrim, AClickWithoutADirectionStepsTheLastWayStartingDown) {
    readWithChoice(ui().RadioButton1);
    // A fresh up-down button stands at 0: clicking down wraps it, with no direction.
    ui().UpDown3->clickDown();
    EXPECT_EQ(text(ui().Edit2), "1499");
    screen.UpDown4ChangingEx(UpDownDirection::Up);
    screen.UpDown3ChangingEx(UpDownDirection::None);
    EXPECT_EQ(text(ui().Edit2), "1500") << "the last direction is shared by every button";
    screen.UpDown1ChangingEx(UpDownDirection::Down);
    screen.UpDown2ChangingEx(UpDownDirection::None);
    EXPECT_EQ(text(ui().Edit3), "30000");
}

TEST_F(OutputTrim, AScrollGestureWritesOnceAtItsEndAndOnlyAtTheChosenPoint) {
    readWithChoice(ui().RadioButton1);
    ui().ScrollBar3->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ui().ScrollBar3->endScroll();
    EXPECT_EQ(log.steps, echoed(5, 7, 1516));
    expectCounts(1516, 30000);

    log.clear();
    ui().ScrollBar4->triggerAction(QAbstractSlider::SliderPageStepSub);
    ui().ScrollBar4->endScroll();
    EXPECT_TRUE(log.steps.empty()) << "20mA is not the chosen point";
    expectCounts(1516, 29950);

    // With 20mA chosen, moving the 4 mA bar changes the page only.
    readWithChoice(ui().RadioButton2);
    ui().ScrollBar3->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ui().ScrollBar3->endScroll();
    EXPECT_TRUE(log.steps.empty());
    expectCounts(1532, 30000);  // the device kept 1516 from the write above

    // A drag of the calibration page's bar: every notification drains there, the
    // counts follow it all the way, and the write waits for the end.
    readWithChoice(ui().Rad1);
    emit ui().ScrollBar1->scrolled(ScrollCode::ThumbTrack);
    ui().ScrollBar1->setValue(1600);
    expectCounts(1600, 30000);
    log.clear();
    ui().RadioButton3->setChecked(true);
    log.clear();
    emit ui().ScrollBar1->scrolled(ScrollCode::ThumbTrack);
    ui().ScrollBar1->endScroll();
    EXPECT_EQ(log.steps, (std::vector<std::string>{collected(0), collected(0)}))
        << "with Normal chosen the drag only drains";

    readWithChoice(ui().Rad1);
    for (int position : {1600, 1700, 1800}) {
        emit ui().ScrollBar1->scrolled(ScrollCode::ThumbTrack);
        ui().ScrollBar1->setValue(position);
    }
    ui().ScrollBar1->endScroll();
    EXPECT_EQ(log.steps, exchange({{collected(0), collected(0), collected(0), collected(0)},
                                   echoed(5, 7, 1800)}));
    expectCounts(1800, 30000);

    // Its 20 mA twin does not drain.
    readWithChoice(ui().Rad2);
    emit ui().ScrollBar2->scrolled(ScrollCode::ThumbTrack);
    ui().ScrollBar2->setValue(20000);
    ui().ScrollBar2->endScroll();
    EXPECT_EQ(log.steps, echoed(5, 8, 20000));
}

TEST_F(OutputTrim, ATrimStepBetweenTwoMeasurementStepsFailsOneStep) {
    readWithChoice(ui().RadioButton1);
    screen.Btn71Click();
    screen.Timer1Timer();
    ASSERT_EQ(text(ui().Lab83), "Read Success");
    log.clear();
    ui().UpDown3->clickUp();  // not locked while measurement polls
    EXPECT_EQ(log.steps, exchange({{collected(7)}, echoed(5, 7, 1501)}));
    screen.Timer1Timer();
    EXPECT_EQ(text(ui().Lab83), "Read Fail");
    screen.Timer1Timer();
    EXPECT_EQ(text(ui().Lab83), "Read Success");
}

TEST(TrimRules, StepsStayWithinTheCountRange) {
    struct Case {
        int count;
        StepDirection direction;
        StepDirection last;
        int next;
        StepDirection lastAfter;
    };
    const Case cases[] = {
        {10, StepDirection::Up, StepDirection::Down, 11, StepDirection::Up},
        {10, StepDirection::Down, StepDirection::Up, 9, StepDirection::Down},
        {32767, StepDirection::Up, StepDirection::Down, 32767, StepDirection::Up},
        {0, StepDirection::Down, StepDirection::Up, 0, StepDirection::Down},
        {10, StepDirection::None, StepDirection::Down, 9, StepDirection::Down},
        {10, StepDirection::None, StepDirection::Up, 11, StepDirection::Up},
        {1, StepDirection::None, StepDirection::Down, 0, StepDirection::Down},
    };
    for (const Case& c : cases) {
        StepDirection last = c.last;
        EXPECT_EQ(steppedCount(c.count, c.direction, last), c.next) << c.count;
        EXPECT_EQ(last, c.lastAfter);
    }
}

}  // namespace
}  // namespace kelvane::testing
