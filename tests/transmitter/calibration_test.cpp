// The calibration page over the in-memory link: every point's Start and Done on the
// wire, the coefficient and zero polls, the references and their edit rules, failed
// input preparations, and the serial number loader.
#include "device/calibration_rules.h"
#include "tests/transmitter/screen_fixture.h"

namespace kelvane::testing {
namespace {

class Calibration : public ScreenTest {
  protected:
    // A write step the device echoes: drain, request, echo.
    static std::vector<std::string> step(int function, int reg, int value) {
        return {collected(0), sent(function, reg, value), collected(8)};
    }
    void click(QPushButton* button) {
        button->setEnabled(true);
        button->click();  // through the handler guard, as the user's click
    }
};

struct PointCase {
    const char* name;
    void (TForm2::*start)();
    void (TForm2::*done)();
    QPushButton* TForm2Design::*doneButton;
    int inputType;
    int activePoint;
    std::vector<std::string> startSteps;
    int store;
};

TEST_F(Calibration, EachPointStartsAndIsStoredAsItsTableSays) {
    const auto s = [](int f, int r, int v) { return Calibration::step(f, r, v); };
    const auto bare = [](int f, int r, int v) {
        return std::vector<std::string>{sent(f, r, v), collected(8)};
    };
    const PointCase cases[] = {
        {"RTD LO", &TForm2::Btn11Click, &TForm2::Btn13Click, &TForm2Design::Btn13, 10, 1,
         exchange({s(5, 0, 10), s(5, 1, 0), s(5, 10, 0), s(6, 9, 37)}), 2},
        {"RTD HI", &TForm2::Btn12Click, &TForm2::Btn14Click, &TForm2Design::Btn14, 10, 2,
         exchange({bare(5, 10, 500), bare(5, 9, 37)}), 3},
        {"T/C LO", &TForm2::Btn31Click, &TForm2::Btn33Click, &TForm2Design::Btn33, 1, 5,
         exchange({s(5, 10, 0), s(5, 9, 36)}), 8},
        {"T/C HI", &TForm2::Btn32Click, &TForm2::Btn34Click, &TForm2Design::Btn34, 1, 6,
         exchange({s(5, 10, 1000), s(5, 9, 36)}), 9},
        {"voltage LO", &TForm2::Btn21Click, &TForm2::Btn23Click, &TForm2Design::Btn23, 11, 7,
         exchange({s(5, 0, 11), s(5, 1, 0), s(5, 10, 0), s(6, 9, 38)}), 14},
        {"voltage HI", &TForm2::Btn22Click, &TForm2::Btn24Click, &TForm2Design::Btn24, 11, 8,
         exchange({s(5, 10, 10000), s(5, 9, 38)}), 15},
        {"current LO", &TForm2::Button9Click, &TForm2::Button11Click, &TForm2Design::Button11, 12,
         11, exchange({s(5, 0, 12), s(5, 1, 0), s(5, 10, 4000), s(6, 9, 39)}), 20},
        {"current HI", &TForm2::Button10Click, &TForm2::Button12Click, &TForm2Design::Button12, 12,
         12, exchange({s(5, 10, 20000), s(5, 9, 39)}), 21},
    };
    for (const PointCase& c : cases) {
        SCOPED_TRACE(c.name);
        device.registers[1] = 1;  // deg F: the preparations choose deg C
        readAndClearLog();
        (screen.*c.start)();
        EXPECT_EQ(log.steps, c.startSteps);
        EXPECT_EQ(ui().Item1->itemIndex(), c.inputType);
        EXPECT_EQ(state.currentInputType, c.inputType);
        EXPECT_EQ(screen.activeCalibrationPoint(), c.activePoint);
        EXPECT_TRUE(ui().Timer4->isActive());
        EXPECT_EQ(ui().Timer4->interval(), 1000);
        for (QWidget* control : screen.lockedControls()) {
            EXPECT_EQ(control->isEnabled(), control == ui().*c.doneButton)
                << control->objectName().toStdString();
        }
        log.clear();
        (screen.*c.done)();
        EXPECT_EQ(log.steps, s(5, 9, c.store));
        EXPECT_FALSE(ui().Timer4->isActive());
        EXPECT_TRUE(ui().BtnP1->isEnabled());
    }
}

TEST_F(Calibration, DoneWithoutAStartStillSendsItsStoreCode) {
    const std::pair<void (TForm2::*)(), int> dones[] = {
        {&TForm2::Btn13Click, 2},     {&TForm2::Btn14Click, 3},     {&TForm2::Btn33Click, 8},
        {&TForm2::Btn34Click, 9},     {&TForm2::Btn23Click, 14},    {&TForm2::Btn24Click, 15},
        {&TForm2::Button11Click, 20}, {&TForm2::Button12Click, 21}, {&TForm2::Button3Click, 1},
    };
    for (const auto& [done, store] : dones) {
        log.clear();
        (screen.*done)();
        EXPECT_EQ(log.steps, step(5, 9, store));
    }
    EXPECT_EQ(screen.activeCalibrationPoint(), 0);
}

TEST_F(Calibration, TheCoefficientPollShowsThePointsEditsFromItsSecondTick) {
    struct Case {
        void (TForm2::*start)();
        QLineEdit* TForm2Design::*a0;
        QLineEdit* TForm2Design::*second;  // A1 or A2, or nothing
        bool a2;
    };
    const Case cases[] = {
        {&TForm2::Btn11Click, &TForm2Design::rtd_lo_a0, &TForm2Design::rtd_lo_a1, false},
        {&TForm2::Btn12Click, &TForm2Design::rtd_hi_a0, &TForm2Design::rtd_hi_a1, false},
        {&TForm2::Btn31Click, &TForm2Design::tc_lo_a0, &TForm2Design::tc_lo_a2, true},
        {&TForm2::Btn32Click, &TForm2Design::tc_hi_a0, &TForm2Design::tc_hi_a2, true},
        {&TForm2::Btn21Click, &TForm2Design::v_lo_a0, nullptr, false},
        {&TForm2::Btn22Click, &TForm2Design::v_hi_a0, nullptr, false},
        {&TForm2::Button9Click, &TForm2Design::mA_lo_a0, nullptr, false},
        {&TForm2::Button10Click, &TForm2Design::mA_hi_a0, nullptr, false},
    };
    device.coefficients = {0x7FFF, 0x8000, 0xFFFF};
    const auto allCoefficientEdits = [this] {
        return std::vector<QLineEdit*>{ui().rtd_lo_a0, ui().rtd_lo_a1, ui().rtd_hi_a0,
                                       ui().rtd_hi_a1, ui().tc_lo_a0,  ui().tc_lo_a2,
                                       ui().tc_hi_a0,  ui().tc_hi_a2,  ui().v_lo_a0,
                                       ui().v_hi_a0,   ui().mA_lo_a0,  ui().mA_hi_a0};
    };
    for (const Case& c : cases) {
        for (QLineEdit* edit : allCoefficientEdits()) {
            edit->setText("0");
        }
        readAndClearLog();
        (screen.*c.start)();
        log.clear();
        screen.Timer4Timer();
        EXPECT_EQ(log.steps, (std::vector<std::string>{collected(0), sent(4, 0x1003, 3)}));
        EXPECT_EQ(text(ui().*c.a0), "0") << "the first tick only asks";
        log.clear();
        screen.Timer4Timer();
        EXPECT_EQ(log.steps, (std::vector<std::string>{collected(11), sent(4, 0x1003, 3)}));
        EXPECT_EQ(text(ui().*c.a0), "32767");
        if (c.second != nullptr) {
            EXPECT_EQ(text(ui().*c.second), c.a2 ? "-1" : "-32768");
        }
        // Only the active point's edits change.
        for (QLineEdit* edit : allCoefficientEdits()) {
            if (edit != ui().*c.a0 && (c.second == nullptr || edit != ui().*c.second)) {
                EXPECT_EQ(text(edit), "0") << edit->objectName().toStdString();
            }
        }
        ui().Timer4->stop();
    }
}

TEST_F(Calibration, AMissingPollReplyLeavesTheEditsAndAsksAgain) {
    readAndClearLog();
    screen.Btn12Click();
    screen.Timer4Timer();
    screen.Timer4Timer();
    ASSERT_EQ(text(ui().rtd_hi_a0), "100");
    device.coefficients[0] = 5;
    device.silentFrom = device.heard + 1;
    log.clear();
    screen.Timer4Timer();
    screen.Timer4Timer();
    EXPECT_EQ(log.steps, (std::vector<std::string>{collected(11), sent(4, 0x1003, 3), collected(0),
                                                   sent(4, 0x1003, 3)}));
    EXPECT_EQ(text(ui().rtd_hi_a0), "100");
}

TEST_F(Calibration, TheZeroPollPreparesThermocoupleKAndShowsFromItsFirstTick) {
    device.coefficients[0] = 0xFFF6;
    readAndClearLog();
    screen.Button2Click();
    EXPECT_EQ(log.steps, exchange({step(5, 0, 1), step(6, 1, 0), {sent(4, 0x1003, 1)}}));
    EXPECT_TRUE(ui().Timer5->isActive());
    EXPECT_TRUE(ui().Button3->isEnabled());
    EXPECT_FALSE(ui().Button2->isEnabled());
    EXPECT_EQ(ui().Item1->itemIndex(), 1);
    EXPECT_EQ(screen.activeCalibrationPoint(), 0) << "the zero leaves the active point alone";
    log.clear();
    screen.Timer5Timer();
    EXPECT_EQ(log.steps, (std::vector<std::string>{collected(7), sent(4, 0x1003, 1)}));
    EXPECT_EQ(text(ui().Edit5), "-10");
    log.clear();
    screen.Button3Click();
    EXPECT_EQ(log.steps, exchange({{collected(7)}, {sent(5, 9, 1), collected(8)}}))
        << "Done's drain takes the poll's last reply";
    EXPECT_FALSE(ui().Timer5->isActive());
}

TEST_F(Calibration, AFailedPreparationReleasesTheLockAndSendsNothingMore) {
    struct Case {
        const char* name;
        unsigned silentFrom;  // counted from the first request of the Start
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {"input type unanswered",
         1,
         {collected(0), sent(5, 0, 10), collected(0), sent(5, 0, 10), collected(0)}},
        {"unit unanswered", 2,
         exchange({step(5, 0, 10),
                   {collected(0), sent(5, 1, 0), collected(0), collected(0), sent(5, 1, 0),
                    collected(0)}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        readAndClearLog();
        device.silentFrom = device.heard + c.silentFrom;
        screen.Btn11Click();
        EXPECT_EQ(log.steps, c.steps);
        EXPECT_FALSE(ui().Timer4->isActive());
        EXPECT_TRUE(ui().BtnP1->isEnabled());
        EXPECT_EQ(screen.activeCalibrationPoint(), 0);
        device.silentFrom = 0;
    }
}

TEST_F(Calibration, PointsWithoutPreparationGoOnWhenNothingAnswers) {
    // An unanswered write step: the request, its wait, a drain, the repeat, its wait.
    const auto unanswered = [](bool drainFirst, int function, int reg, int value) {
        std::vector<std::string> steps{sent(function, reg, value), collected(0), collected(0),
                                       sent(function, reg, value), collected(0)};
        if (drainFirst) {
            steps.insert(steps.begin(), collected(0));
        }
        return steps;
    };
    struct Case {
        void (TForm2::*start)();
        QPushButton* TForm2Design::*done;
        int inputType;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        {&TForm2::Btn12Click, &TForm2Design::Btn14, 10,
         exchange({unanswered(false, 5, 10, 500), unanswered(false, 5, 9, 37)})},
        {&TForm2::Btn31Click, &TForm2Design::Btn33, 1,
         exchange({unanswered(true, 5, 10, 0), unanswered(true, 5, 9, 36)})},
        {&TForm2::Btn32Click, &TForm2Design::Btn34, 1,
         exchange({unanswered(true, 5, 10, 1000), unanswered(true, 5, 9, 36)})},
        {&TForm2::Btn22Click, &TForm2Design::Btn24, 11,
         exchange({unanswered(true, 5, 10, 10000), unanswered(true, 5, 9, 38)})},
        {&TForm2::Button10Click, &TForm2Design::Button12, 12,
         exchange({unanswered(true, 5, 10, 20000), unanswered(true, 5, 9, 39)})},
    };
    for (const Case& c : cases) {
        device.registers[0] = 9;  // the page starts on millivolt: the Start chooses the type
        readAndClearLog();
        device.silentFrom = device.heard + 1;
        (screen.*c.start)();
        EXPECT_EQ(log.steps, c.steps);
        EXPECT_EQ(ui().Item1->itemIndex(), c.inputType);
        EXPECT_TRUE(ui().Timer4->isActive());
        EXPECT_TRUE((ui().*c.done)->isEnabled());
        EXPECT_FALSE(ui().Btn11->isEnabled());
        device.silentFrom = 0;
        ui().Timer4->stop();
    }
}

TEST_F(Calibration, ReferencesGoOnTheWireAsSixteenBitTwosComplement) {
    struct Case {
        ExitEdit* TForm2Design::*edit;
        void (TForm2::*start)();
        const char* text;
        int wire;
    };
    const Case cases[] = {
        {&TForm2Design::RTD_Lo, &TForm2::Btn11Click, "-200", 0xFF38},
        {&TForm2Design::TC_Hi, &TForm2::Btn32Click, "1370", 1370},
        {&TForm2Design::VHi1, &TForm2::Btn22Click, "10.000", 0x2710},
        {&TForm2Design::VLo1, &TForm2::Btn21Click, "-10.000", 0xD8F0},
        {&TForm2Design::VHi1, &TForm2::Btn22Click, "1.234", 1234},
        {&TForm2Design::mAHi1, &TForm2::Button10Click, "20.000", 0x4E20},
        {&TForm2Design::mAHi1, &TForm2::Button10Click, "19.999", 19999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        readAndClearLog();
        (ui().*c.edit)->setText(c.text);
        (screen.*c.start)();
        EXPECT_NE(std::find(log.steps.begin(), log.steps.end(), sent(5, 10, c.wire)),
                  log.steps.end());
        ui().Timer4->stop();
    }
}

TEST_F(Calibration, AReferenceThatIsNotANumberSendsNothingAndLeavesTheScreenUsable) {
    const std::pair<const char*, const char*> cases[] = {
        {"abc", "'abc' is not a valid integer value"},
        {"99999", "'99999' is not a valid integer value"},  // past the 16-bit register
    };
    for (const auto& [reference, message] : cases) {
        readAndClearLog();
        dialogs.entries.clear();
        ui().RTD_Lo->setText(reference);
        ui().Btn11->click();
        EXPECT_EQ(dialogs.texts(), std::vector<std::string>{message});
        EXPECT_TRUE(log.steps.empty());
        EXPECT_TRUE(ui().BtnP1->isEnabled());
        EXPECT_FALSE(ui().Timer4->isActive());
    }
}

TEST_F(Calibration, ReferenceEditsKeepTheirLimits) {
    struct Case {
        ExitEdit* TForm2Design::*edit;
        void (TForm2::*exit)();
        const char* typed;
        const char* after;
    };
    const Case cases[] = {
        {&TForm2Design::RTD_Lo, &TForm2::RTD_LoExit, "700", "-200"},
        {&TForm2Design::RTD_Lo, &TForm2::RTD_LoExit, "600", "600"},
        {&TForm2Design::RTD_Lo, &TForm2::RTD_LoExit, "-201", "-200"},
        {&TForm2Design::RTD_Hi, &TForm2::RTD_HiExit, "-300", "600"},
        {&TForm2Design::TC_Lo, &TForm2::TC_LoExit, "1371", "-50"},
        {&TForm2Design::TC_Hi, &TForm2::TC_HiExit, "-51", "1370"},
        {&TForm2Design::TC_Hi, &TForm2::TC_HiExit, "+40", "+40"},
        {&TForm2Design::VLo1, &TForm2::VLo1Exit, "12", "-10.000"},
        {&TForm2Design::VLo1, &TForm2::VLo1Exit, "-3.14159", "-3.142"},
        {&TForm2Design::VHi1, &TForm2::VHi1Exit, "-10.001", "10.000"},
        {&TForm2Design::mALo1, &TForm2::mALo1Exit, "20.5", "4.000"},
        {&TForm2Design::mAHi1, &TForm2::mAHi1Exit, "3", "20.000"},
        {&TForm2Design::mAHi1, &TForm2::mAHi1Exit, "12", "12.000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        (ui().*c.edit)->setText(c.typed);
        (screen.*c.exit)();
        EXPECT_EQ(text(ui().*c.edit), c.after);
    }
    // Leaving the edit as focus does: through the handler guard and its error box.
    ui().RTD_Hi->setText("5.5");
    emit ui().RTD_Hi->exited();
    ui().mALo1->setText("");
    emit ui().mALo1->exited();
    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{"'5.5' is not a valid integer value",
                                        "'' is not a valid floating point value"}));
    EXPECT_EQ(text(ui().RTD_Hi), "5.5");
}

TEST_F(Calibration, ASerialNumberLoadsItsTwoHalvesAndShowsTheNext) {
    struct Case {
        const char* typed;
        int high, low;
        const char* next;
    };
    const Case cases[] = {
        {"12345678", 0x00BC, 0x614E, "12345679"},
        {"123.9", 0, 123, "124"},
        {"4294967295", 0xFFFF, 0xFFFF, "0"},
        {"4294967296", 0, 0, "1"},
        {"-1", 0xFFFF, 0xFFFF, "0"},
        {"-1.9", 0xFFFF, 0xFFFF, "0"},
        {"1e30", 0, 0, "1"},
        {"65536", 1, 0, "65537"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        log.clear();
        ui().Edit1->setText(c.typed);
        screen.Button1Click();
        EXPECT_EQ(log.steps, exchange({echoed(5, 0x1F02, c.high), echoed(5, 0x1F03, c.low),
                                       echoed(5, 9, 34)}));
        EXPECT_EQ(text(ui().Edit1), c.next);
    }
    EXPECT_EQ(text(ui().Serial_Y), "0000") << "the label waits for the next identification";
}

TEST_F(Calibration, ASerialNumberThatIsNotANumberIsRefused) {
    for (const char* typed : {"", "nan", "inf", "-inf", "12a"}) {
        SCOPED_TRACE(typed);
        dialogs.entries.clear();
        ui().Edit1->setText(typed);
        ui().Button1->click();
        EXPECT_EQ(dialogs.texts(),
                  std::vector<std::string>{"'" + std::string(typed) +
                                           "' is not a valid floating point value"});
        EXPECT_TRUE(log.steps.empty());
        EXPECT_EQ(text(ui().Edit1), typed);
    }
}

TEST_F(Calibration, ALoadWhileMeasuringTakesThePollsReplyAndRepeatsItsFirstWrite) {
    readAndClearLog();
    screen.Btn71Click();
    log.clear();
    ui().Edit1->setText("7");
    ui().Button1->click();  // never locked
    EXPECT_EQ(log.steps, exchange({{sent(5, 0x1F02, 0), collected(15)},
                                   echoed(5, 0x1F02, 0),
                                   echoed(5, 0x1F03, 7),
                                   echoed(5, 9, 34)}));
    EXPECT_EQ(device.written[0x1F03], 7);
}

TEST_F(Calibration, AnActivationAfterALoadPutsTheIdentifiedSerialNumberBack) {
    ui().Edit1->setText("12345678");
    screen.Button1Click();
    ASSERT_EQ(text(ui().Edit1), "12345679");
    screen.FormActivate();
    EXPECT_EQ(text(ui().Edit1), "200001");
}

TEST_F(Calibration, ServiceAccessShowsThePageYetTheScreenOpensOnConfiguration) {
    EXPECT_FALSE(ui().PageCont->isTabVisible(1));
    EXPECT_TRUE(ui().GroupBox6->isHidden());
    screen.setServiceAccess(true);
    EXPECT_TRUE(ui().PageCont->isTabVisible(1));
    EXPECT_FALSE(ui().GroupBox6->isHidden());
    ui().PageCont->setCurrentWidget(ui().TabSheet1);
    screen.FormActivate();
    EXPECT_EQ(ui().PageCont->currentWidget(), ui().Configuration);
    EXPECT_EQ(text(ui().Edit1), "200001");
}

}  // namespace
}  // namespace kelvane::testing
