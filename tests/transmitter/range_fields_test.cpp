// The input type rules and field checks applied to the screen's controls: choices
// run the rules, leaving a field checks it, a conversion error goes to the error box.
#include "tests/transmitter/screen_fixture.h"

namespace kelvane::testing {
namespace {

class RangeFields : public ScreenTest {};

TEST_F(RangeFields, ChoosingTypeThenUnitShowsRangeLabelsAndOffsetLimitsOnly) {
    ui().Edi3->setText("5");
    ui().Edi4->setText("2000");
    ui().Edi61->setText("1.5");
    ui().Item3->setItemIndex(0);
    ui().Item1->setItemIndex(1);
    EXPECT_EQ(text(ui().Edi1), "-50");
    EXPECT_EQ(text(ui().Edi2), "1370");
    EXPECT_EQ(text(ui().Label1), "-71.0");
    EXPECT_EQ(text(ui().Label3), "+71.0");
    EXPECT_EQ(text(ui().Label6), "deg C");
    ui().Item3->setItemIndex(1);
    EXPECT_EQ(text(ui().Edi1), "-58");
    EXPECT_EQ(text(ui().Edi2), "2498");
    EXPECT_EQ(text(ui().Label1), "-127.8");
    EXPECT_EQ(text(ui().Label5), "deg F");
    EXPECT_EQ(text(ui().Edi3), "5");
    EXPECT_EQ(text(ui().Edi4), "2000");
    EXPECT_EQ(text(ui().Edi61), "1.5");
    EXPECT_TRUE(dialogs.entries.empty());
}

TEST_F(RangeFields, ChoosingAUnitBeforeAnyInputTypeLeavesEverythingAsItIs) {
    ASSERT_EQ(ui().Item1->itemIndex(), -1);
    ui().Item3->setItemIndex(1);
    EXPECT_EQ(text(ui().Edi1), "0");
    EXPECT_EQ(text(ui().Edi2), "0");
    EXPECT_EQ(text(ui().Label4), "deg C");
    EXPECT_EQ(text(ui().Label1), "-100");
    EXPECT_EQ(text(ui().Label3), "100");
    EXPECT_EQ(state.currentInputType, 0);
}

TEST_F(RangeFields, LeavingTheFieldsNormalisesThemForTheCurrentInputType) {
    ui().Item3->setItemIndex(0);
    ui().Item1->setItemIndex(1);
    const std::tuple<ExitEdit*, const char*, const char*> cases[] = {
        {ui().Edi3, "2000", "-50"},  {ui().Edi4, "-100", "1370"},   {ui().Edi3, "12.7", "12"},
        {ui().Edi3, "-12.7", "-12"}, {ui().Edi3, "", "-50"},        {ui().Edi4, "", "1370"},
        {ui().Edi61, "100", "71.0"}, {ui().Edi61, "-100", "-71.0"}, {ui().Edi61, "12.34", "12.3"},
        {ui().Edi61, "", "0.0"},
    };
    for (const auto& [field, typed, shown] : cases) {
        SCOPED_TRACE(field->objectName().toStdString() + " " + typed);
        field->setText(typed);
        emit field->exited();
        EXPECT_EQ(text(field), shown);
    }
    ui().Item1->setItemIndex(11);
    ui().Edi4->setText("12");
    emit ui().Edi4->exited();
    EXPECT_EQ(text(ui().Edi4), "10.000");
    ui().Edi4->setText("3.14159");
    emit ui().Edi4->exited();
    EXPECT_EQ(text(ui().Edi4), "3.142");
    EXPECT_TRUE(dialogs.entries.empty());
}

TEST_F(RangeFields, BeforeAnyChoiceTheChecksUseWholeNumbers) {
    ui().Edi3->setText("0.7");
    emit ui().Edi3->exited();
    EXPECT_EQ(text(ui().Edi3), "0");
}

TEST_F(RangeFields, TextThatIsNotANumberShowsTheErrorBoxAndKeepsTheText) {
    TForm2::markField(*ui().Edi61, true);
    ui().Edi61->setText("1,5");
    emit ui().Edi61->exited();
    ASSERT_EQ(dialogs.entries.size(), 1u);
    EXPECT_EQ(dialogs.entries[0].kind, RecordingDialogs::Entry::Kind::Error);
    EXPECT_EQ(dialogs.entries[0].text, "'1,5' is not a valid floating point value");
    EXPECT_EQ(text(ui().Edi61), "1,5");
    EXPECT_NE(ui().Edi61->palette().color(QPalette::Base), QColor(255, 0, 0));
}

}  // namespace
}  // namespace kelvane::testing
