// The trim assistant over the transmitter screen on the in-memory link: each step's
// whole exchange (the point chosen as a click chooses it, each reading's count written
// as an up-down step writes it, drain first), Done and Cancel returning the output to
// normal, Cancel writing back the counts as found, and what is refused.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/transmitter/screen_fixture.h"
#include "transmitter/trim_assistant.h"

namespace kelvane::testing {
namespace {

class MeterAssistant : public ScreenTest {};

// The page's counts are 1500 and 30000: 1781.25 counts a mA until the readings say.
TEST_F(MeterAssistant, EachReadingWritesTheCountItCallsForAndTheEndReturnsToNormal) {
    const auto chosen = [](int reg, int count, int command) {
        return exchange({echoed(5, reg, count), echoed(5, 9, command), echoed(5, reg, count),
                         echoed(5, 9, command)});
    };
    const auto stepWrite = [](int reg, int count) {
        return exchange({{collected(0)}, echoed(5, reg, count)});
    };
    // "Normal(4 ~ 20mA)" checks its twin on the calibration page: one write from each.
    const std::vector<std::string> normal = exchange({echoed(6, 9, 31), echoed(6, 9, 31)});
    enum Action { Four, Twenty, Done, Cancel };
    struct Step {
        std::variant<Action, const char*> action;  // a choice or button, or a reading
        std::vector<std::string> sent;
        const char* said = "";
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
        int four, twenty;  // the page's counts at the end
    } rows[] = {
        {"4 mA within at the second reading, then Done",
         {{Four, chosen(7, 1500, 27), "Enter the meter's reading at count 1500"},
          {"3.950", stepWrite(7, 1589), "count 1589 written: enter the new reading"},
          {"4.001", {}, "Within 0.002 mA at count 1589: the next point, or Done"},
          {Done, normal}},
         1589,
         30000},
        {"Cancel writes back the chosen point's count",
         {{Four, chosen(7, 1500, 27)},
          {"3.950", stepWrite(7, 1589)},
          {Cancel, exchange({stepWrite(7, 1500), normal})}},
         1500,
         30000},
        {"Cancel after both points chooses the other one again with its count",
         {{Four, chosen(7, 1500, 27)},
          {"3.950", stepWrite(7, 1589)},
          {Twenty, chosen(8, 30000, 28)},
          {"20.100", stepWrite(8, 29822)},
          {Cancel, exchange({{collected(0)},
                             chosen(7, 1500, 27),
                             {collected(0)},
                             chosen(8, 30000, 28),
                             normal})}},
         1500,
         30000},
        {"a reading that is not a number writes nothing",
         {{Four, chosen(7, 1500, 27)},
          {"4,012", {}, "'4,012' is not a reading in mA: nothing was written"},
          {Done, normal}},
         1500,
         30000},
        {"a reading so far off that the count leaves 0 … 32767 writes nothing",
         {{Four, chosen(7, 1500, 27)},
          {"25",
           {},
           "A reading of 25 mA gives no count within 0 … 32767: nothing was "
           "written. Check the meter and its range."},
          {Done, normal}},
         1500,
         30000},
        {"a reading before a point is chosen writes nothing",
         {{"3.950", {}, "Choose 4 mA or 20 mA, then enter the meter's reading"}, {Done, {}}},
         1500,
         30000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        device.registers[7] = 1500;  // the counts as found, whatever the last row left
        device.registers[8] = 30000;
        readAndClearLog();
        screen.TrimWithMeterClick();
        TrimAssistant& assistant = *screen.trimAssistant();
        EXPECT_TRUE(assistant.isVisible());
        for (const Step& step : row.steps) {
            log.clear();
            if (const auto* reading = std::get_if<const char*>(&step.action)) {
                SCOPED_TRACE(*reading);
                assistant.reading().setText(QString::fromUtf8(*reading));
                assistant.EnterClick();
            } else {
                const Action action = std::get<Action>(step.action);
                SCOPED_TRACE(action);
                action == Four     ? assistant.FourClick()
                : action == Twenty ? assistant.TwentyClick()
                : action == Done   ? assistant.DoneClick()
                                   : assistant.CancelClick();
            }
            EXPECT_EQ(log.steps, step.sent);
            if (*step.said != '\0') {
                EXPECT_EQ(assistant.status().toStdString(), step.said);
            }
        }
        EXPECT_FALSE(assistant.isVisible());
        EXPECT_TRUE(ui().RadioButton3->isChecked());
        EXPECT_EQ(text(ui().Edit2), std::to_string(row.four));
        EXPECT_EQ(text(ui().Edi41), std::to_string(row.four)) << "the calibration page's twin";
        EXPECT_EQ(text(ui().Edit3), std::to_string(row.twenty));
    }
}

// Return in the reading's field enters the reading, also when the assistant opens again
// after a click on Done (a clicked button keeps the focus).
TEST_F(MeterAssistant, ReturnInTheReadingEntersItEachTimeTheAssistantOpens) {
    readAndClearLog();
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        screen.TrimWithMeterClick();
        TrimAssistant& assistant = *screen.trimAssistant();
        assistant.FourClick();
        assistant.reading().setText(QStringLiteral("4,01"));
        QTest::keyClick(&assistant.reading(), Qt::Key_Return);
        EXPECT_TRUE(assistant.isVisible());
        EXPECT_EQ(assistant.status().toStdString(),
                  "'4,01' is not a reading in mA: nothing was written");
        auto* done = assistant.findChild<QPushButton*>(QStringLiteral("Done"));
        QTest::mouseClick(done, Qt::LeftButton);
        EXPECT_FALSE(assistant.isVisible());
    }
}

TEST_F(MeterAssistant, IsRefusedWhileAnotherSequenceRunsAndBeforeARead) {
    screen.TrimWithMeterClick();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Read the device first: the assistant "
                                                        "starts from its trim counts"});
    readAndClearLog();
    dialogs.entries.clear();
    screen.Btn71Click();  // measuring
    screen.TrimWithMeterClick();
    EXPECT_EQ(
        dialogs.texts(),
        std::vector<std::string>{"Wait until the running exchange ends, or stop the measurement"});
    EXPECT_EQ(screen.trimAssistant(), nullptr);
}

}  // namespace
}  // namespace kelvane::testing
