// Reading the configuration on the in-memory link: the frames the device hears,
// decoding of each input family with negative, boundary and out-of-range raw
// values, the identity test, and missing, short or corrupted replies.
#include "tests/transmitter/screen_fixture.h"

namespace kelvane::testing {
namespace {

class ReadSequence : public ScreenTest {};

TEST_F(ReadSequence, SendsIdentityThenConfigurationAndFillsTheTemperaturePage) {
    readConfiguration();

    EXPECT_EQ(requests(),
              (std::vector<std::array<int, 3>>{kIdentityRequest, kConfigurationRequest}));
    EXPECT_EQ(ui().Item1->itemIndex(), 1);
    EXPECT_EQ(ui().Item3->itemIndex(), 0);
    EXPECT_EQ(text(ui().Edi3), "-50");
    EXPECT_EQ(text(ui().Edi4), "400");
    EXPECT_EQ(text(ui().Edi61), "-1.0");
    EXPECT_EQ(text(ui().Edi1), "-50");
    EXPECT_EQ(text(ui().Edi2), "1370");
    EXPECT_EQ(text(ui().Label1), "-71.0");
    EXPECT_EQ(text(ui().Label3), "+71.0");
    for (const QLabel* unit : {ui().Label4, ui().Label5, ui().Label6}) {
        EXPECT_EQ(text(unit), "deg C");
    }
    EXPECT_EQ(ui().Item4->itemIndex(), 0);
    EXPECT_EQ(ui().Item5->itemIndex(), 1);
    EXPECT_EQ(text(ui().Edit2), "1500");
    EXPECT_EQ(text(ui().Edi41), "1500");
    EXPECT_EQ(ui().ScrollBar3->value(), 1500);
    EXPECT_EQ(ui().ScrollBar1->value(), 1500);
    EXPECT_EQ(text(ui().Edit3), "30000");
    EXPECT_EQ(text(ui().Edi42), "30000");
    EXPECT_EQ(ui().ScrollBar4->value(), 30000);
    EXPECT_EQ(ui().ScrollBar2->value(), 30000);
    EXPECT_EQ(state.currentInputType, 1);
    EXPECT_EQ(text(ui().Lab83), "Read Success");
    EXPECT_EQ(labelColour(*ui().Lab83), QColor(0, 128, 0));
    EXPECT_EQ(text(ui().Serial_Y), "12345678");
    EXPECT_EQ(state.serialNumber, 200001u) << "the program keeps the probe's serial number";
    EXPECT_TRUE(ui().BtnP1->isEnabled());
    EXPECT_TRUE(ui().RadioButton1->isEnabled());
}

TEST_F(ReadSequence, StartLocksTheScreenAndWaitsForTheTimer) {
    screen.BtnP1Click();
    // A drain, the identity read, then the configuration request left for the tick.
    EXPECT_EQ(log.steps, (std::vector<std::string>{collected(0), sent(4, 0x1F00, 4), collected(13),
                                                   sent(3, 0, 9)}));
    EXPECT_TRUE(ui().Timer2->isActive());
    EXPECT_EQ(ui().Timer2->interval(), 1000);
    EXPECT_FALSE(ui().BtnP1->isEnabled());
    EXPECT_EQ(text(ui().Lab83), "Transmission...");
    EXPECT_EQ(labelColour(*ui().Lab83), QColor(0, 0, 255));
    log.clear();
    screen.Timer2Timer();
    EXPECT_FALSE(ui().Timer2->isActive());
    EXPECT_EQ(log.steps, std::vector<std::string>{collected(23)});
}

struct FamilyCase {
    const char* name;
    std::array<std::uint16_t, 9> registers;
    int item1;
    int item3;
    const char* unit;
    const char* lower;
    const char* upper;
    const char* offset;
    const char* lowest;
    const char* highest;
};

TEST_F(ReadSequence, DecodesEachInputFamilyWithItsScaleAndFormat) {
    const FamilyCase cases[] = {
        {"millivolt",
         {9, 1, 0xE890, 6000, 0xFFF6, 1, 0, 0, 32767},
         9,
         1,
         "mV",
         "-60.00",
         "60.00",
         "-0.10",
         "-60.00",
         "60.00"},
        {"voltage",
         {11, 0, 0xD8F0, 10000, 1000, 0, 2, 16, 16},
         11,
         0,
         "V",
         "-10.000",
         "10.000",
         "1.000",
         "-10.000",
         "10.000"},
        {"current past the last item",
         {13, 1, 4000, 20000, 0xFE0C, 0, 0, 0, 0},
         12,
         1,
         "mA",
         "4.000",
         "20.000",
         "-0.500",
         "0.000",
         "24.000"},
        {"PT-100 in deg F",
         {10, 1, 0x8000, 0x7FFF, 0x7FFF, 0, 0, 0, 0},
         10,
         1,
         "deg F",
         "-32768",
         "32767",
         "3276.7",
         "-328",
         "1112"},
        {"thermocouple with a unit past the last item",
         {0, 7, 0, 0, 0, 0, 0, 0, 0},
         0,
         1,
         "deg F",
         "0",
         "0",
         "0.0",
         "-58",
         "1832"},
    };
    for (const FamilyCase& c : cases) {
        SCOPED_TRACE(c.name);
        device.registers = c.registers;
        readConfiguration();
        EXPECT_EQ(text(ui().Lab83), "Read Success");
        EXPECT_EQ(ui().Item1->itemIndex(), c.item1);
        EXPECT_EQ(ui().Item3->itemIndex(), c.item3);
        EXPECT_EQ(state.currentInputType, c.item1);
        for (const QLabel* unit : {ui().Label4, ui().Label5, ui().Label6}) {
            EXPECT_EQ(text(unit), c.unit);
        }
        EXPECT_EQ(text(ui().Edi3), c.lower);
        EXPECT_EQ(text(ui().Edi4), c.upper);
        EXPECT_EQ(text(ui().Edi61), c.offset);
        EXPECT_EQ(text(ui().Edi1), c.lowest);
        EXPECT_EQ(text(ui().Edi2), c.highest);
    }
}

TEST_F(ReadSequence, ChoicesPastTheirLastItemTakeTheLastItem) {
    device.registers = {1, 2, 0, 0, 0, 2, 3, 0, 0};
    device.identityWord = 0x0203;  // firmware V03: "Cut" is hidden but still chosen
    readConfiguration();
    EXPECT_EQ(ui().Item3->itemIndex(), 1);
    EXPECT_EQ(ui().Item4->itemIndex(), 1);
    EXPECT_EQ(ui().Item5->itemIndex(), 2);
    EXPECT_TRUE(ui().Item5->item(2)->isHidden());
    EXPECT_TRUE(ui().Item5->item(2)->isChecked());
}

TEST_F(ReadSequence, TrimCountsOutsideTheBarsShowAsTheEndTheBarTakes) {
    device.registers = {1, 0, 0, 0, 0, 0, 0, 0xFFFF, 0x8000};
    readConfiguration();
    EXPECT_EQ(text(ui().Edit2), "0");
    EXPECT_EQ(text(ui().Edi41), "0");
    EXPECT_EQ(ui().ScrollBar3->value(), 0);
    EXPECT_EQ(text(ui().Edit3), "0");
    EXPECT_EQ(ui().ScrollBar2->value(), 0);
    device.registers[7] = 32767;
    readConfiguration();
    EXPECT_EQ(text(ui().Edit2), "32767");
    EXPECT_EQ(ui().ScrollBar1->value(), 32767);
}

TEST_F(ReadSequence, IdentitiesDecideWhatTheReadShows) {
    struct Case {
        std::uint16_t word;
        bool accepted;
        const char* version;
        bool cutShown;
        const char* model;
        bool masked;
    };
    const Case cases[] = {
        {3110, true, "V00", false, "QTR-H", false},  // unchanged from the previous read
        {0x1005, true, "V05", true, "QTR-H", false},
        {0x1103, true, "V03", false, "QTN-H", true},
        {0x0104, true, "V04", true, "QTR-D", false},
        {0x1115, true, "", true, "QTN-H", true},   // firmware index 21: no caption
        {0x1205, false, "", true, "QTN-H", true},  // model 18: the page stays as it was
    };
    device.identityWord = 0x0201;
    readConfiguration();
    ASSERT_EQ(text(ui().Label18), "QTR-H");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        device.identityWord = c.word;
        peer.sent.clear();
        readConfiguration();
        EXPECT_EQ(text(ui().Lab83), c.accepted ? "Read Success" : "Read Fail");
        EXPECT_EQ(peer.sent.size(), c.accepted ? 2u : 1u);
        EXPECT_EQ(text(ui().Label7), c.version);
        EXPECT_EQ(!ui().Item5->item(2)->isHidden(), c.cutShown);
        EXPECT_EQ(text(ui().Label18), c.model);
        EXPECT_EQ(!ui().GroupBox9->isHidden(), c.masked);
        EXPECT_TRUE(ui().BtnP1->isEnabled());
    }
}

TEST_F(ReadSequence, SilentDeviceFailsTheIdentityEvenWithAGoodOldReplyInTheBuffer) {
    device.registers[0] = 3;
    readConfiguration();
    ASSERT_EQ(text(ui().Lab83), "Read Success");
    device.silentIdentity = true;
    device.registers[0] = 5;
    peer.sent.clear();
    screen.BtnP1Click();
    EXPECT_FALSE(ui().Timer2->isActive());
    EXPECT_EQ(requests(), (std::vector<std::array<int, 3>>{kIdentityRequest}));
    EXPECT_EQ(text(ui().Lab83), "Read Fail");
    EXPECT_EQ(labelColour(*ui().Lab83), QColor(255, 0, 0));
    EXPECT_EQ(ui().Item1->itemIndex(), 3);
    EXPECT_TRUE(ui().BtnP2->isEnabled());
}

TEST_F(ReadSequence, AnIdentityReplyWithAWrongCrcIsReadFail) {
    // Noise on the line turns a right identity into another model: the CRC tells.
    device.corruptIdentityCrc = true;
    device.identityWord = 0x0106;
    readConfiguration();
    EXPECT_EQ(text(ui().Lab83), "Read Fail");
    EXPECT_EQ(log.steps,
              (std::vector<std::string>{collected(0), sent(4, 0x1F00, 4), collected(13)}))
        << "no configuration request follows";
    EXPECT_TRUE(ui().BtnP1->isEnabled());
}

TEST_F(ReadSequence, TheConfigurationReplyWaitsInThePortUntilTheTick) {
    screen.BtnP1Click();
    ASSERT_TRUE(ui().Timer2->isActive());
    // Another control drains the line during the second's wait (a trim step does):
    // the waiting reply goes with it, and the tick finds nothing to decode.
    link.Drain();
    screen.Timer2Timer();
    EXPECT_EQ(text(ui().Lab83), "Read Fail");
    EXPECT_EQ(ui().Item1->itemIndex(), -1);
    EXPECT_TRUE(ui().BtnP1->isEnabled());
}

TEST_F(ReadSequence, MissingShortOrCorruptedConfigurationLeavesThePageUnchanged) {
    for (const char* fault : {"missing", "short", "corrupted"}) {
        SCOPED_TRACE(fault);
        device = ConfigDevice{};
        readConfiguration();
        ui().Edi3->setText("123");
        device.registers[0] = 9;
        device.silentConfiguration = std::string(fault) == "missing";
        device.shortConfiguration = std::string(fault) == "short";
        device.corruptConfiguration = std::string(fault) == "corrupted";
        readConfiguration();
        EXPECT_EQ(text(ui().Lab83), "Read Fail");
        EXPECT_EQ(labelColour(*ui().Lab83), QColor(255, 0, 0));
        EXPECT_EQ(ui().Item1->itemIndex(), 1);
        EXPECT_EQ(text(ui().Edi3), "123");
        EXPECT_TRUE(ui().BtnP1->isEnabled());
    }
}

TEST_F(ReadSequence, ReadClearsTheRedMarkOfAFailedValidation) {
    TForm2::markField(*ui().Edi4, true);
    EXPECT_EQ(ui().Edi4->palette().color(QPalette::Base), QColor(255, 0, 0));
    screen.BtnP1Click();
    EXPECT_NE(ui().Edi4->palette().color(QPalette::Base), QColor(255, 0, 0));
}

TEST_F(ReadSequence, StatusFollowsTheLanguageId) {
    state.languageId = kLanguageTraditionalChinese;
    readConfiguration();
    EXPECT_EQ(ui().Lab83->text(), QString::fromUtf8("讀出成功"));
    state.languageId = kLanguageSimplifiedChinese;
    device.silentConfiguration = true;
    readConfiguration();
    EXPECT_EQ(ui().Lab83->text(), QString::fromUtf8("读出失败"));
    state.languageId = 7;
    readConfiguration();
    EXPECT_EQ(ui().Lab83->text(), "Read Fail");
}

}  // namespace
}  // namespace kelvane::testing
