// The screen design: every control of both pages by name and kind, the design
// states the behaviour relies on, every choice shown whole in every language, and
// the mask that covers exactly two input types.
#include <QApplication>
#include <QMenu>
#include <QScreen>

#include "tests/transmitter/screen_fixture.h"

namespace kelvane::testing {
namespace {

class Design : public ScreenTest {};

TEST_F(Design, EveryControlExistsWithItsKind) {
    const std::pair<const char*, std::vector<const char*>> kinds[] = {
        {"QPushButton",
         {"BtnP1",   "BtnP2",    "Btn71",    "Btn72",   "Btn11",   "Btn12",   "Btn13",
          "Btn14",   "Btn21",    "Btn22",    "Btn23",   "Btn24",   "Btn31",   "Btn32",
          "Btn33",   "Btn34",    "Btn51",    "Btn52",   "Button1", "Button2", "Button3",
          "Button9", "Button10", "Button11", "Button12"}},
        {"kelvane::RadioGroup", {"Item1", "Item3", "Item4", "Item5"}},
        {"QGroupBox",
         {"Item2", "Item6", "Item7", "Item8", "GroupBox1", "GroupBox2", "GroupBox3", "GroupBox4",
          "GroupBox5", "GroupBox6", "GroupBox7", "GroupBox8", "GroupBox9", "GroupBox10"}},
        {"kelvane::ExitEdit",
         {"Edi3", "Edi4", "Edi61", "RTD_Lo", "RTD_Hi", "TC_Lo", "TC_Hi", "VLo1", "VHi1", "mALo1",
          "mAHi1"}},
        {"QLineEdit", {"Edi1",      "Edi2",      "Edit1",     "Edit2",     "Edit3",    "Edit4",
                       "Edit5",     "Edit6",     "Edi41",     "Edi42",     "PV1_Edit", "PV1_Edit2",
                       "rtd_lo_a0", "rtd_lo_a1", "rtd_hi_a0", "rtd_hi_a1", "tc_lo_a0", "tc_lo_a2",
                       "tc_hi_a0",  "tc_hi_a2",  "v_lo_a0",   "v_hi_a0",   "mA_lo_a0", "mA_hi_a0"}},
        {"QRadioButton", {"RadioButton1", "RadioButton2", "RadioButton3", "Rad1", "Rad2", "Rad3"}},
        {"kelvane::ScrollBar", {"ScrollBar1", "ScrollBar2", "ScrollBar3", "ScrollBar4"}},
        {"kelvane::UpDown", {"UpDown1", "UpDown2", "UpDown3", "UpDown4"}},
        {"QLabel",
         {"Label1",  "Label2",  "Label3",  "Label4",  "Label5",  "Label6",  "Label7",  "Label8",
          "Label9",  "Label10", "Label11", "Label12", "Label13", "Label14", "Label15", "Label16",
          "Label17", "Label18", "Label19", "Label20", "Label21", "Label27", "Label28", "Label46",
          "Lab21",   "Lab22",   "Lab23",   "Lab81",   "Lab82",   "Lab83",   "Device",  "Serial_Y",
          "Lab_11",  "Lab_12",  "Lab_13",  "Lab_14",  "Lab_15",  "Lab_16",  "Lab_21",  "Lab_22",
          "Lab_23",  "Lab_24",  "Lab_31",  "Lab_32",  "Lab_33",  "Lab_34",  "Lab_35",  "Lab_36"}},
        {"QTabWidget", {"PageCont"}},
        {"QMenu", {"File1", "Language", "Scan"}},
        {"QAction", {"Exit1", "English", "Traditional", "Simplified", "Start", "Help"}},
        {"QTimer", {"Timer1", "Timer2", "Timer3", "Timer4", "Timer5", "Timer6"}},
    };
    for (const auto& [kind, names] : kinds) {
        for (const char* name : names) {
            const auto found = screen.findChildren<QObject*>(name);
            ASSERT_EQ(found.size(), 1) << name;
            EXPECT_TRUE(found[0]->inherits(kind)) << name << " is a " << kind;
        }
    }
}

TEST_F(Design, WindowPagesAndDesignStates) {
    EXPECT_EQ(screen.size(), QSize(825, 604));
    EXPECT_EQ(screen.windowTitle(), "Kelvane Instruments Co., Ltd.");
    if (const QScreen* display = QGuiApplication::primaryScreen()) {
        EXPECT_EQ(screen.geometry().center(), display->availableGeometry().center());
    }
    EXPECT_EQ(ui().PageCont->count(), 2);
    EXPECT_TRUE(ui().PageCont->isTabVisible(0));
    EXPECT_FALSE(ui().PageCont->isTabVisible(1));
    EXPECT_EQ(ui().PageCont->widget(1), ui().TabSheet1);
    for (const QLineEdit* edit :
         {ui().Edi1, ui().Edi2, ui().Edit2, ui().Edit3, ui().Edi41, ui().Edi42, ui().PV1_Edit,
          ui().PV1_Edit2, static_cast<QLineEdit*>(ui().RTD_Lo)}) {
        EXPECT_TRUE(edit->isReadOnly()) << edit->objectName().toStdString();
    }
    EXPECT_FALSE(ui().Edi3->isReadOnly());
    EXPECT_EQ(text(ui().Edi3), "0");
    EXPECT_EQ(text(ui().TC_Hi), "1000");
    EXPECT_EQ(text(ui().mALo1), "4.000");
    EXPECT_EQ(text(ui().Edit6), "0 mV");
    EXPECT_EQ(text(ui().Serial_Y), "0000");
    EXPECT_EQ(text(ui().Lab83), "Transmission Success");
    EXPECT_TRUE(ui().Edit4->isHidden());
    EXPECT_TRUE(ui().Label18->isHidden());
    EXPECT_TRUE(ui().GroupBox6->isHidden());
    EXPECT_TRUE(ui().GroupBox9->isHidden());
    EXPECT_EQ(labelColour(*ui().Lab83), QColor(0, 255, 0)) << "lime";
    EXPECT_TRUE(ui().Lab83->font().bold());
    EXPECT_EQ(ui().Lab83->font().pixelSize(), 21);
    for (const QLineEdit* edit : {ui().Edi1, ui().Edi2}) {
        EXPECT_EQ(edit->palette().color(QPalette::Base), edit->palette().color(QPalette::Button))
            << edit->objectName().toStdString() << " is drawn in the button face colour";
    }
    EXPECT_EQ(text(ui().Label1), "-100");
    EXPECT_EQ(text(ui().Label3), "100");
    EXPECT_TRUE(ui().RadioButton3->isChecked());
    EXPECT_FALSE(ui().RadioButton1->isEnabled());
    EXPECT_FALSE(ui().RadioButton2->isEnabled());
    EXPECT_TRUE(ui().Rad3->isChecked());
    EXPECT_FALSE(ui().Rad1->isEnabled());
    for (const ScrollBar* bar :
         {ui().ScrollBar1, ui().ScrollBar2, ui().ScrollBar3, ui().ScrollBar4}) {
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 32767);
        EXPECT_EQ(bar->singleStep(), 16);
        EXPECT_EQ(bar->pageStep(), 50);
    }
    EXPECT_EQ(ui().Item1->count(), 13);
    EXPECT_EQ(ui().Item1->columns(), 3);
    EXPECT_EQ(ui().Item5->item(2)->text(), "Cut");
    EXPECT_EQ(ui().Item1->itemIndex(), -1);
    EXPECT_FALSE(ui().English->isChecked());
}

TEST_F(Design, EveryChoiceOfTheConfigurationPageShowsWholeInEveryLanguage) {
    screen.show();
    QApplication::processEvents();
    const std::pair<const char*, void (TForm2::*)()> languages[] = {
        {"English", &TForm2::EnglishClick},
        {"Traditional Chinese", &TForm2::TraditionalClick},
        {"Simplified Chinese", &TForm2::SimplifiedClick},
    };
    for (const auto& [language, choose] : languages) {
        SCOPED_TRACE(language);
        (screen.*choose)();
        QApplication::processEvents();
        for (QRadioButton* choice : ui().Configuration->findChildren<QRadioButton*>()) {
            SCOPED_TRACE(choice->text().toStdString());
            EXPECT_GE(choice->width(), choice->sizeHint().width());
            // Inside its frame, and clear of the next column's choices.
            const QWidget* frame = choice->parentWidget();
            EXPECT_TRUE(frame->rect().contains(choice->geometry()));
            for (QRadioButton* other : frame->findChildren<QRadioButton*>()) {
                if (other != choice) {
                    EXPECT_FALSE(other->geometry().intersects(choice->geometry()))
                        << other->text().toStdString();
                }
            }
        }
    }
    screen.hide();
}

TEST_F(Design, MaskCoversExactlyTheVoltageAndCurrentChoices) {
    // A QTN-H: the activation on showing reads its identity and masks the two.
    state.modelCode = 17;
    device.identityWord = 0x1105;
    screen.show();
    screen.activateWindow();
    QApplication::processEvents();
    ui().GroupBox9->show();  // where the platform moves no focus
    EXPECT_EQ(ui().Item1->geometry(), QRect(32, 8, 385, 145));
    EXPECT_EQ(ui().GroupBox9->geometry(), QRect(272, 48, 137, 49));
    const QWidget* page = ui().Configuration;
    const QRect mask = ui().GroupBox9->geometry();
    for (int i = 0; i < ui().Item1->count(); ++i) {
        const QRadioButton* item = ui().Item1->item(i);
        const QRect onPage(item->mapTo(page, QPoint(0, 0)), item->size());
        SCOPED_TRACE(item->text().toStdString());
        if (i == 11 || i == 12) {
            EXPECT_TRUE(mask.contains(onPage));
        } else {
            EXPECT_FALSE(mask.intersects(onPage));
        }
    }
    // Above Item1 in the stacking order, so it takes the clicks.
    const auto siblings = page->children();
    EXPECT_GT(siblings.indexOf(ui().GroupBox9), siblings.indexOf(ui().Item1));
    const QPoint voltage = ui().Item1->item(11)->geometry().center() + ui().Item1->pos();
    const QWidget* hit = page->childAt(voltage);
    EXPECT_TRUE(hit == ui().GroupBox9 || hit->parentWidget() == ui().GroupBox9)
        << hit->metaObject()->className() << " " << voltage.x() << "," << voltage.y();
    screen.hide();
}

}  // namespace
}  // namespace kelvane::testing
