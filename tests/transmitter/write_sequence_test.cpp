// Write To Device on the in-memory link: validation and its red fields, the seven
// confirmed writes with their values, scales and order, the swap of the limits,
// the firmware that is asked whether it stored, and the failures on the way.
#include "tests/support/comma_locale.h"
#include "tests/transmitter/screen_fixture.h"

namespace kelvane::testing {
namespace {

class WriteSequence : public ScreenTest {
  protected:
    void type(QLineEdit* field, const char* value) { field->setText(value); }
    // The write as the event loop runs it: the click, then the 50 ms tick.
    void writeConfiguration() {
        screen.BtnP2Click();
        if (ui().Timer3->isActive()) {
            screen.Timer3Timer();
        }
    }
    bool red(const QLineEdit* field) const {
        return field->palette().color(QPalette::Base) == QColor(255, 0, 0);
    }
    std::string status() const { return text(ui().Lab83); }
    QColor statusColour() const { return labelColour(*ui().Lab83); }
};

TEST_F(WriteSequence, SendsSevenConfirmedWritesThenAsksWhetherTheDeviceStored) {
    readAndClearLog();  // thermocouple K, deg C, firmware V05
    type(ui().Edi3, "-20");
    type(ui().Edi4, "1200");
    type(ui().Edi61, "2.5");

    screen.BtnP2Click();
    EXPECT_TRUE(log.steps.empty()) << "the click only validates and arms the tick";
    EXPECT_TRUE(ui().Timer3->isActive());
    EXPECT_EQ(ui().Timer3->interval(), 50);
    EXPECT_EQ(status(), "Transmission...");
    EXPECT_EQ(statusColour(), QColor(0, 0, 255));
    EXPECT_FALSE(ui().BtnP1->isEnabled());

    screen.Timer3Timer();
    EXPECT_FALSE(ui().Timer3->isActive());
    EXPECT_EQ(log.steps,
              exchange({echoed(5, 2, 0xFFEC), echoed(5, 3, 1200), echoed(5, 4, 25), echoed(5, 1, 0),
                        echoed(5, 5, 0), echoed(5, 6, 1), echoed(6, 0, 1)}));
    // Firmware above V04 reports whether it stored: locked and blue until then.
    EXPECT_TRUE(ui().Timer6->isActive());
    EXPECT_EQ(ui().Timer6->interval(), 2000);
    EXPECT_EQ(status(), "Transmission...");
    EXPECT_FALSE(ui().BtnP2->isEnabled());

    log.clear();
    screen.Timer6Timer();
    EXPECT_FALSE(ui().Timer6->isActive());
    EXPECT_EQ(log.steps,
              (std::vector<std::string>{collected(0), sent(4, 0x1006, 1), collected(7)}));
    EXPECT_EQ(status(), "Write Success");
    EXPECT_EQ(statusColour(), QColor(0, 128, 0));
    EXPECT_TRUE(ui().BtnP2->isEnabled());
    EXPECT_EQ(device.registers[2], 0xFFEC);
    EXPECT_EQ(device.registers[4], 25);
}

TEST_F(WriteSequence, ValuesAreScaledByTheInputTypeAndTruncated) {
    struct Case {
        std::array<std::uint16_t, 9> read;  // what the page was read from
        const char* lower;
        const char* upper;
        const char* offset;
        std::uint16_t reg2, reg3, reg4;
    };
    const Case cases[] = {
        {{9, 0, 0, 0, 0, 0, 0, 0, 0}, "-60.00", "60.00", "0.29", 0xE890, 6000, 29},
        {{9, 1, 0, 0, 0, 0, 0, 0, 0}, "-12.345", "0.999", "-0.019", 0xFB2E, 99, 0xFFFF},
        {{11, 0, 0, 0, 0, 0, 0, 0, 0}, "-10", "10", "1.0", 0xD8F0, 10000, 1000},
        {{12, 0, 0, 0, 0, 0, 0, 0, 0}, "4", "20", "-1.2", 4000, 20000, 0xFB50},
        {{1, 0, 0, 0, 0, 0, 0, 0, 0}, "0", "1370", "0.3", 0, 1370, 3},
        {{1, 0, 0, 0, 0, 0, 0, 0, 0}, "-12.7", "12.7", "-71.0", 0xFFF4, 12, 0xFD3A},
        {{10, 1, 0, 0, 0, 0, 0, 0, 0}, "-328", "1112", "72.0", 0xFEB8, 1112, 720},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lower) + " " + c.upper + " " + c.offset);
        device.registers = c.read;
        readAndClearLog();
        type(ui().Edi3, c.lower);
        type(ui().Edi4, c.upper);
        type(ui().Edi61, c.offset);
        writeConfiguration();
        ASSERT_EQ(log.steps.size(), 14u);
        EXPECT_EQ(log.steps[0], sent(5, 2, c.reg2));
        EXPECT_EQ(log.steps[2], sent(5, 3, c.reg3));
        EXPECT_EQ(log.steps[4], sent(5, 4, c.reg4));
        EXPECT_EQ(log.steps[12], sent(6, 0, c.read[0]));
    }
}

TEST_F(WriteSequence, AnUpperLimitBelowTheLowerChangesPlacesOnThePage) {
    readAndClearLog();
    type(ui().Edi3, "900");
    type(ui().Edi4, "100");
    writeConfiguration();
    EXPECT_EQ(text(ui().Edi3), "100");
    EXPECT_EQ(text(ui().Edi4), "900");
    EXPECT_EQ(log.steps[0], sent(5, 2, 100));
    EXPECT_EQ(log.steps[2], sent(5, 3, 900));

    readAndClearLog();
    type(ui().Edi3, "300");
    type(ui().Edi4, "300.0");
    writeConfiguration();
    EXPECT_EQ(text(ui().Edi3), "300") << "equal values stay where they are";
    EXPECT_EQ(text(ui().Edi4), "300.0");
}

TEST_F(WriteSequence, ValidationMarksEveryFailingFieldAndSendsNothing) {
    struct Case {
        const char* name;
        int unit;  // chosen after the read
        const char* lower;
        const char* upper;
        const char* offset;
        bool lowerRed, upperRed, offsetRed;
    };
    const Case cases[] = {
        {"all within", 0, "-50", "1370", "71.0", false, false, false},
        {"offset past its limit", 0, "-50", "1370", "71.1", false, false, true},
        {"deg F range in deg C", 0, "-50", "2000", "0", false, true, false},
        {"deg F range in deg F", 1, "-58", "2498", "127.8", false, false, false},
        {"all three at once", 0, "-51", "1371", "-71.1", true, true, true},
        {"past the float range", 0, "1e300", "-1e300", "1e60", true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        readAndClearLog();
        ui().Item3->setItemIndex(c.unit);
        type(ui().Edi3, c.lower);
        type(ui().Edi4, c.upper);
        type(ui().Edi61, c.offset);
        screen.BtnP2Click();
        const bool fails = c.lowerRed || c.upperRed || c.offsetRed;
        EXPECT_EQ(red(ui().Edi3), c.lowerRed);
        EXPECT_EQ(red(ui().Edi4), c.upperRed);
        EXPECT_EQ(red(ui().Edi61), c.offsetRed);
        EXPECT_EQ(ui().Timer3->isActive(), !fails);
        if (fails) {
            EXPECT_EQ(status(), "Write Fail");
            EXPECT_EQ(statusColour(), QColor(255, 0, 0));
            EXPECT_TRUE(ui().BtnP1->isEnabled()) << "a failed validation locks nothing";
        }
        EXPECT_TRUE(log.steps.empty());
        ui().Timer3->stop();
    }
}

TEST_F(WriteSequence, AFahrenheitLimitFailsOnceTheUnitTurnsToCelsius) {
    device.registers[1] = 1;  // thermocouple K in deg F
    readAndClearLog();
    type(ui().Edi4, "2000");
    screen.Edi4Exit();
    ASSERT_EQ(text(ui().Edi4), "2000") << "within -58 … 2498";
    ui().Item3->setItemIndex(0);
    EXPECT_EQ(text(ui().Edi4), "2000") << "a unit change leaves the fields alone";
    screen.BtnP2Click();
    EXPECT_TRUE(red(ui().Edi4));
    EXPECT_FALSE(red(ui().Edi3));
    EXPECT_EQ(status(), "Write Fail");
    EXPECT_TRUE(log.steps.empty());
}

TEST_F(WriteSequence, WriteStopsMeasurementPollingFirst) {
    readAndClearLog();
    screen.Btn71Click();
    ASSERT_TRUE(ui().Timer1->isActive());
    screen.BtnP2Click();
    EXPECT_FALSE(ui().Timer1->isActive());
    EXPECT_TRUE(ui().Timer3->isActive());
}

TEST_F(WriteSequence, ARedFieldStaysRedUntilItIsLeftOrAReadStarts) {
    readAndClearLog();
    type(ui().Edi4, "5000");
    screen.BtnP2Click();
    ASSERT_TRUE(red(ui().Edi4));
    type(ui().Edi4, "100");
    screen.BtnP2Click();
    EXPECT_TRUE(red(ui().Edi4)) << "a later validation does not clear it";
    ui().Timer3->stop();
    screen.Edi4Exit();
    EXPECT_FALSE(red(ui().Edi4));
}

TEST_F(WriteSequence, FirmwareUpToV04IsDoneRightAfterTheWrites) {
    for (std::uint16_t identity : {0x0204, 0x0205}) {
        SCOPED_TRACE(identity);
        device.identityWord = identity;
        readAndClearLog();
        writeConfiguration();
        const bool asks = identity == 0x0205;
        EXPECT_EQ(ui().Timer6->isActive(), asks);
        EXPECT_EQ(status(), asks ? "Transmission..." : "Write Success");
        EXPECT_EQ(ui().BtnP2->isEnabled(), !asks);
        ui().Timer6->stop();
    }
}

TEST_F(WriteSequence, AFailedEchoIsRepeatedOnceAndTheWritesGoOn) {
    readAndClearLog();
    device.silentRequests = {device.heard + 1};
    writeConfiguration();
    EXPECT_EQ(log.steps, exchange({{sent(5, 2, 0xFFCE), collected(0)},
                                   echoed(5, 2, 0xFFCE),
                                   echoed(5, 3, 400),
                                   echoed(5, 4, 0xFFF6),
                                   echoed(5, 1, 0),
                                   echoed(5, 5, 0),
                                   echoed(5, 6, 1),
                                   echoed(6, 0, 1)}));
    EXPECT_TRUE(ui().Timer6->isActive());
}

TEST_F(WriteSequence, ADeviceThatFallsSilentStopsTheWritesAtThatRegister) {
    readAndClearLog();
    device.registers = {};
    type(ui().Edi3, "10");
    type(ui().Edi4, "20");
    type(ui().Edi61, "0.5");
    device.silentFrom = device.heard + 5;  // after the unit write
    writeConfiguration();
    EXPECT_EQ(log.steps, exchange({echoed(5, 2, 10),
                                   echoed(5, 3, 20),
                                   echoed(5, 4, 5),
                                   echoed(5, 1, 0),
                                   {sent(5, 5, 0), collected(0), sent(5, 5, 0), collected(0)}}));
    EXPECT_EQ(status(), "Write Fail");
    EXPECT_EQ(statusColour(), QColor(255, 0, 0));
    EXPECT_TRUE(ui().BtnP2->isEnabled());
    EXPECT_FALSE(ui().Timer6->isActive());
    EXPECT_EQ(device.written,
              (std::map<std::uint16_t, std::uint16_t>{{1, 0}, {2, 10}, {3, 20}, {4, 5}}));
}

TEST_F(WriteSequence, TheStoreCheckDecidesOnThisReplyAlone) {
    struct Case {
        const char* name;
        std::uint16_t storeStatus;
        bool silent;
        const char* shown;
    };
    const Case cases[] = {
        {"stored", 0x0000, false, "Write Success"},
        {"stored, high byte ignored", 0xAB00, false, "Write Success"},
        {"storing failed", 0x0001, false, "Write Memory Fail"},
        // The buffer still holds the input type's echo, whose byte 4 is 0.
        {"no reply", 0x0000, true, "Write Memory Fail"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device.storeStatus = c.storeStatus;
        readAndClearLog();
        writeConfiguration();
        ASSERT_TRUE(ui().Timer6->isActive());
        ASSERT_EQ(link.response(4), 0);
        if (c.silent) {
            device.silentFrom = device.heard + 1;
        }
        screen.Timer6Timer();
        EXPECT_EQ(status(), c.shown);
        EXPECT_EQ(statusColour(),
                  std::string(c.shown) == "Write Success" ? QColor(0, 128, 0) : QColor(255, 0, 0));
        EXPECT_TRUE(ui().BtnP1->isEnabled());
        device.silentFrom = 0;
    }
}

TEST_F(WriteSequence, TheStoreCheckStillAnswersAfterAnActivation) {
    readAndClearLog();
    writeConfiguration();
    ASSERT_TRUE(ui().Timer6->isActive());
    screen.FormActivate();  // a new read starts during the two seconds' wait
    EXPECT_TRUE(ui().Timer6->isActive());
    EXPECT_TRUE(ui().Timer2->isActive());
    // The store check's drain takes the read's waiting reply; its own answer decides.
    screen.Timer6Timer();
    EXPECT_EQ(status(), "Write Success");
    EXPECT_TRUE(ui().BtnP1->isEnabled()) << "its unlock lands in the middle of the read";
    screen.Timer2Timer();
    EXPECT_EQ(status(), "Read Fail");
}

TEST_F(WriteSequence, NothingIsWrittenWhileAChoiceIsMissing) {
    // No read has succeeded: every radio group is without a choice.
    screen.BtnP2Click();
    EXPECT_EQ(status(), "Write Fail");
    EXPECT_FALSE(ui().Timer3->isActive());
    EXPECT_TRUE(peer.sent.empty());
}

TEST_F(WriteSequence, AFieldThatStopsBeingANumberBeforeTheTickFailsTheWriteAndUnlocks) {
    readAndClearLog();
    ui().BtnP2->click();
    ASSERT_TRUE(ui().Timer3->isActive());
    type(ui().Edi61, "abc");
    screen.Timer3Timer();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"'abc' is not a valid floating point value"});
    EXPECT_EQ(status(), "Write Fail");
    EXPECT_TRUE(ui().BtnP2->isEnabled());
    EXPECT_EQ(log.steps, exchange({echoed(5, 2, 0xFFCE), echoed(5, 3, 400)}));
}

TEST_F(WriteSequence, AValueChangedPastSixteenBitsAfterValidationNeverReachesTheWire) {
    readAndClearLog();
    screen.BtnP2Click();
    ASSERT_TRUE(ui().Timer3->isActive());
    type(ui().Edi4, "40000");
    screen.Timer3Timer();
    EXPECT_EQ(log.steps, exchange({echoed(5, 2, 0xFFCE)}));
    EXPECT_TRUE(red(ui().Edi4));
    EXPECT_EQ(status(), "Write Fail");
    EXPECT_TRUE(ui().BtnP2->isEnabled());
}

TEST_F(WriteSequence, ANonNumberAtTheClickStopsTheValidationBeforeAnyLock) {
    readAndClearLog();
    type(ui().Edi3, "");
    ui().BtnP2->click();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"'' is not a valid floating point value"});
    EXPECT_FALSE(ui().Timer3->isActive());
    EXPECT_TRUE(ui().BtnP2->isEnabled());
    EXPECT_EQ(status(), "Read Success");
}

TEST_F(WriteSequence, UnderACommaDecimalLocaleThePageReadsChecksAndWritesWithAPoint) {
    CommaLocale german;
    ASSERT_TRUE(CommaLocale::active());
    readAndClearLog();
    EXPECT_EQ(text(ui().Edi61), "-1.0");
    EXPECT_EQ(text(ui().Label1), "-71.0");
    EXPECT_EQ(text(ui().Label3), "+71.0");
    type(ui().Edi61, "12.34");
    screen.Edi61Exit();
    EXPECT_EQ(text(ui().Edi61), "12.3");
    EXPECT_TRUE(dialogs.entries.empty());
    writeConfiguration();
    EXPECT_EQ(log.steps[4], sent(5, 4, 123));

    device.registers = {9, 0, 0xE890, 6000, 29, 0, 0, 0, 0};
    readAndClearLog();
    EXPECT_EQ(text(ui().Edi3), "-60.00");
    EXPECT_EQ(text(ui().Edi61), "0.29");
    EXPECT_EQ(text(ui().Label3), "+6.00");
    writeConfiguration();
    EXPECT_EQ(log.steps[4], sent(5, 4, 29));
    EXPECT_TRUE(dialogs.entries.empty());
}

TEST_F(WriteSequence, MessagesFollowTheLanguageId) {
    const std::pair<std::int16_t, const char*> cases[] = {
        {kLanguageTraditionalChinese, "寫入Memory失敗"},
        {kLanguageSimplifiedChinese, "写入Memory失败"},
        {kLanguageEnglish, "Write Memory Fail"},
    };
    device.storeStatus = 1;
    for (const auto& [language, shown] : cases) {
        state.languageId = kLanguageEnglish;
        readAndClearLog();
        state.languageId = language;
        writeConfiguration();
        screen.Timer6Timer();
        EXPECT_EQ(ui().Lab83->text(), QString::fromUtf8(shown));
    }
    state.languageId = kLanguageTraditionalChinese;
    screen.BtnP2Click();
    EXPECT_EQ(ui().Lab83->text(), QString::fromUtf8("傳輸中..."));
    screen.Timer3Timer();
    screen.Timer6Timer();
    state.languageId = kLanguageSimplifiedChinese;
    ui().Edi3->setText("99999");
    screen.BtnP2Click();
    EXPECT_EQ(ui().Lab83->text(), QString::fromUtf8("写入失败"));
}

}  // namespace
}  // namespace kelvane::testing
