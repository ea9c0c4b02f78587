// The output trim on both pages over the in-memory link: the mirrored point choices
// with their doubled requests, the normal output's confirmed write, the up-down steps
// and scroll gestures with each handler's drains, the twin counts and bars, and a trim
// action between two measurement steps.
#include <QTest>
#include <QToolButton>
#include <functional>

#include "device/trim_rules.h"
#include "tests/support/context_menu.h"
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
    // A click whose arrow is not known (none of the program's buttons sends one now).
    screen.UpDown3ChangingEx(UpDownDirection::None);
    EXPECT_EQ(text(ui().Edit2), "1499");
    screen.UpDown4ChangingEx(UpDownDirection::Up);
    screen.UpDown3ChangingEx(UpDownDirection::None);
    EXPECT_EQ(text(ui().Edit2), "1500") << "the last direction is shared by every button";
    screen.UpDown1ChangingEx(UpDownDirection::Down);
    screen.UpDown2ChangingEx(UpDownDirection::None);
    EXPECT_EQ(text(ui().Edit3), "30000");
}

// Each arrow click steps the way of its arrow, also when it wraps the button's own
// position right after another button stepped the other way.
TEST_F(OutputTrim, EveryArrowClickStepsTheWayOfItsArrow) {
    using Prepare = std::function<void(const TForm2Design&)>;
    const struct {
        const char* name;
        Prepare before;  // the clicks before the one checked
        UpDown* TForm2Design::*clicked;
        bool up;
        QRadioButton* TForm2Design::*chosen;
        int reg;
        int count;  // the count before the checked click
    } rows[] = {
        {"4 mA down, wrapping at 0, after a 20mA up",
         [](const TForm2Design& ui) { ui.UpDown4->clickUp(); }, &TForm2Design::UpDown3, false,
         &TForm2Design::RadioButton1, 7, 1500},
        {"4 mA up, wrapping at 100, after a 20mA down",
         [](const TForm2Design& ui) {
             ui.UpDown3->clickDown();
             ui.UpDown4->clickDown();
         },
         &TForm2Design::UpDown3, true, &TForm2Design::RadioButton1, 7, 1499},
        {"20mA down, wrapping at 0, after a 4 mA up",
         [](const TForm2Design& ui) { ui.UpDown3->clickUp(); }, &TForm2Design::UpDown4, false,
         &TForm2Design::RadioButton2, 8, 30000},
        {"20mA up in mid-range after a 4 mA down",
         [](const TForm2Design& ui) {
             ui.UpDown4->clickUp();
             ui.UpDown3->clickDown();
         },
         &TForm2Design::UpDown4, true, &TForm2Design::RadioButton2, 8, 30001},
        {"calibration page 4 mA down, wrapping, after its 20 mA up",
         [](const TForm2Design& ui) { ui.UpDown2->clickUp(); }, &TForm2Design::UpDown1, false,
         &TForm2Design::Rad1, 7, 1500},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        // A screen of its own, so that every up-down button starts at position 0, reading
        // the counts 1500 and 30000.
        device.registers[7] = 1500;
        device.registers[8] = 30000;
        TForm2 fresh{link, state, dialogs, ScreenHooks{}};
        const TForm2Design& ui = fresh.design();
        fresh.BtnP1Click();
        fresh.Timer2Timer();
        (ui.*row.chosen)->setChecked(true);
        row.before(ui);
        QLineEdit* field = row.reg == 7 ? ui.Edit2 : ui.Edit3;
        ASSERT_EQ(text(field), std::to_string(row.count));
        log.clear();
        UpDown* upDown = ui.*row.clicked;
        row.up ? upDown->clickUp() : upDown->clickDown();
        const int stepped = row.count + (row.up ? 1 : -1);
        EXPECT_EQ(text(field), std::to_string(stepped));
        EXPECT_EQ(log.steps, exchange({{collected(0)}, echoed(5, row.reg, stepped)}));
        EXPECT_EQ(device.registers[static_cast<size_t>(row.reg)], stepped);
    }
}

TEST_F(OutputTrim, AHeldArrowStepsAndWritesOnEveryRepeat) {
    screen.show();
    QApplication::processEvents();
    const struct {
        QToolButton* (UpDown::*arrow)() const;
        int step;
    } rows[] = {{&UpDown::upArrow, 1}, {&UpDown::downArrow, -1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.step);
        device.registers[7] = 1500;  // the count as found, whatever the last row wrote
        readWithChoice(ui().RadioButton1);
        QToolButton* arrow = (ui().UpDown3->*row.arrow)();
        QTest::mousePress(arrow, Qt::LeftButton, {}, arrow->rect().center());
        QTest::qWait(UpDown::kRepeatDelayMs + 10 * UpDown::kRepeatIntervalMs);
        QTest::mouseRelease(arrow, Qt::LeftButton, {}, arrow->rect().center());
        const int steps =
            text(ui().Edit2) == "" ? 0 : (std::stoi(text(ui().Edit2)) - 1500) * row.step;
        EXPECT_GE(steps, 3);
        std::vector<std::string> expected;
        for (int i = 1; i <= steps; ++i) {
            for (const std::string& step :
                 exchange({{collected(0)}, echoed(5, 7, 1500 + i * row.step)})) {
                expected.push_back(step);
            }
        }
        EXPECT_EQ(log.steps, expected);
    }
    screen.hide();
}

// Gestures on a bar other than the left button's: one write of the final count when
// its point is chosen and the bar moved, none otherwise.
TEST_F(OutputTrim, EveryGestureThatMovesABarWritesItsFinalCountOnce) {
    screen.show();
    QApplication::processEvents();
    const auto menu = [](const char* item) {
        return [item](ScrollBar& bar) { chooseFromContextMenu(bar, item); };
    };
    const struct {
        const char* name;
        std::function<void(ScrollBar&)> gesture;
        QRadioButton* TForm2Design::*chosen;
        bool writes;
        std::optional<int> count;  // the bar's count afterwards; none: anywhere but 1500
    } rows[] = {
#ifndef _WIN32  // Windows' scroll bars leave the middle button alone
        {"middle click",
         [](ScrollBar& bar) { QTest::mouseClick(&bar, Qt::MiddleButton, {}, bar.rect().center()); },
         &TForm2Design::RadioButton1, true, std::nullopt},
#endif
        {"context menu: Right edge", menu("Right edge"), &TForm2Design::RadioButton1, true, 32767},
        {"context menu: Page right", menu("Page right"), &TForm2Design::RadioButton1, true, 1550},
        {"context menu: Scroll here", menu("Scroll here"), &TForm2Design::RadioButton1, true,
         std::nullopt},
        {"context menu with 20mA chosen", menu("Page left"), &TForm2Design::RadioButton2, false,
         1450},
        // A gesture that does not move the bar ends nothing, so writes nothing.
        {"context menu: Left edge, already there",
         [this](ScrollBar& bar) {
             chooseFromContextMenu(bar, "Left edge");
             log.clear();
             chooseFromContextMenu(bar, "Left edge");
         },
         &TForm2Design::RadioButton1, false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        device.registers[7] = 1500;
        readWithChoice(ui().*row.chosen);
        row.gesture(*ui().ScrollBar3);
        const int count = ui().ScrollBar3->value();
        if (row.count) {
            EXPECT_EQ(count, *row.count);
        } else {
            EXPECT_NE(count, 1500);
        }
        EXPECT_EQ(text(ui().Edit2), std::to_string(count));
        EXPECT_EQ(log.steps, row.writes ? echoed(5, 7, count) : std::vector<std::string>{});
    }
    screen.hide();
}

// Measurement takes the device out of the trim point: neither page goes on showing it,
// nothing more is sent for it, and choosing the point again sends its command.
TEST_F(OutputTrim, StartingMeasurementShowsNormalOutputOnBothPages) {
    for (QRadioButton* TForm2Design::*point :
         {&TForm2Design::RadioButton1, &TForm2Design::RadioButton2, &TForm2Design::Rad1}) {
        readWithChoice(ui().*point);
        screen.Btn71Click();
        EXPECT_EQ(log.steps,
                  exchange({{collected(0)}, echoed(5, 9, 40), {collected(0), sent(4, 0x1000, 1)}}));
        EXPECT_TRUE(ui().RadioButton3->isChecked());
        EXPECT_TRUE(ui().Rad3->isChecked());
        for (QRadioButton* trim : {ui().RadioButton1, ui().RadioButton2, ui().Rad1, ui().Rad2}) {
            EXPECT_FALSE(trim->isChecked()) << trim->objectName().toStdString();
        }
        screen.Btn72Click();
        log.clear();
        ui().UpDown3->clickUp();
        EXPECT_EQ(log.steps, std::vector<std::string>{collected(0)}) << "a step only drains";
        log.clear();
        ui().RadioButton1->setChecked(true);
        const int count = std::stoi(text(ui().Edit2));
        EXPECT_EQ(log.steps, exchange({echoed(5, 7, count), echoed(5, 9, 27), echoed(5, 7, count),
                                       echoed(5, 9, 27)}));
        ui().RadioButton3->setChecked(true);
    }
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
    // Not locked while measurement polls; measurement left the 4 mA point, so the step
    // writes nothing, but its drain takes the waiting reply.
    ui().UpDown3->clickUp();
    EXPECT_EQ(log.steps, std::vector<std::string>{collected(7)});
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
