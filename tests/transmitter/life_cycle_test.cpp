// The transmitter screen's life cycle: activation (and telling activations from
// other focus changes), the lock's exact control set, timers, status colours,
// menus and the language captions.
#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include "i18n/help_files.h"
#include "i18n/transmitter_texts.h"
#include "tests/transmitter/screen_fixture.h"
#include "transmitter/activation_tracker.h"

namespace kelvane::testing {
namespace {

class LifeCycle : public ScreenTest {};

TEST_F(LifeCycle, ActivationStopsPollingShowsTheIdentityAndStartsARead) {
    ui().Timer1->start();
    ui().Timer3->start();
    ui().Timer6->start();
    state.serialNumber = 4294967295u;
    state.firmwareVersionIndex = 3;
    state.modelCode = 17;
    screen.FormActivate();
    EXPECT_FALSE(ui().Timer1->isActive());
    EXPECT_FALSE(ui().Timer3->isActive());
    EXPECT_TRUE(ui().Timer6->isActive()) << "a pending store check still runs";
    EXPECT_TRUE(ui().Timer2->isActive());
    EXPECT_EQ(requests(),
              (std::vector<std::array<int, 3>>{kIdentityRequest, kConfigurationRequest}));
    EXPECT_EQ(ui().PageCont->currentWidget(), ui().Configuration);
    EXPECT_EQ(text(ui().Edit1), "4294967295");
    EXPECT_EQ(text(ui().Label18), "QTR-H") << "the read's identity (model 2) replaced QTN-H";
    EXPECT_TRUE(ui().English->isChecked());
    EXPECT_EQ(text(ui().Label7), "V05");
    EXPECT_FALSE(ui().Item5->item(2)->isHidden());
}

TEST_F(LifeCycle, ActivationReappliesTheCurrentLanguageBeforeTheRead) {
    state.languageId = kLanguageSimplifiedChinese;
    screen.FormActivate();
    EXPECT_TRUE(ui().Simplified->isChecked());
    EXPECT_FALSE(ui().English->isChecked());
    EXPECT_EQ(ui().BtnP1->text(), QString::fromUtf8("读出"));
    EXPECT_EQ(ui().Lab83->text(), QString::fromUtf8("传输中..."));
    screen.Timer2Timer();
    EXPECT_EQ(ui().Lab83->text(), QString::fromUtf8("读出成功"));
}

TEST_F(LifeCycle, ActivationWithoutAnAnsweringDeviceShowsTheProbedIdentity) {
    device.silentIdentity = true;
    struct Case {
        int model;
        int firmware;
        const char* name;
        bool masked;
        const char* version;
        bool cut;
    };
    const Case cases[] = {
        {17, 3, "QTN-H", true, "V03", false},
        {1, 4, "QTR-D", false, "V04", true},
        {16, 21, "QTR-D", false, "", true},  // an unnamed model keeps the previous name
        {2, 20, "QTR-H", false, "V20", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        state.modelCode = static_cast<std::int16_t>(c.model);
        state.firmwareVersionIndex = static_cast<std::int16_t>(c.firmware);
        screen.FormActivate();
        EXPECT_EQ(text(ui().Lab83), "Read Fail");
        EXPECT_EQ(text(ui().Label18), c.name);
        EXPECT_EQ(!ui().GroupBox9->isHidden(), c.masked);
        EXPECT_EQ(text(ui().Label7), c.version);
        EXPECT_EQ(!ui().Item5->item(2)->isHidden(), c.cut);
        EXPECT_EQ(text(ui().Serial_Y), "200001");
    }
}

TEST_F(LifeCycle, LockCoversExactlyTheTwentyEightSequenceControlsInOrder) {
    const char* const expected[] = {
        "Btn11",        "Btn12",   "Btn13",   "Btn14",   "Btn21",    "Btn22",    "Btn23",
        "Btn24",        "Btn31",   "Btn32",   "Btn33",   "Btn34",    "BtnP1",    "BtnP2",
        "Btn51",        "Btn52",   "Btn71",   "Btn72",   "Rad1",     "Rad2",     "RadioButton1",
        "RadioButton2", "Button2", "Button3", "Button9", "Button10", "Button11", "Button12"};
    const auto locked = screen.lockedControls();
    for (size_t i = 0; i < locked.size(); ++i) {
        EXPECT_EQ(locked[i]->objectName().toStdString(), expected[i]);
    }

    screen.BtnAllOFF();
    int disabled = 0;
    QList<QAbstractButton*> buttons = ui().Configuration->findChildren<QAbstractButton*>();
    buttons += ui().TabSheet1->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (button->parent()->inherits("kelvane::RadioGroup") ||
            button->parent()->inherits("kelvane::UpDown")) {
            EXPECT_TRUE(button->isEnabled());
            continue;
        }
        const bool inLock = std::find(locked.begin(), locked.end(), button) != locked.end();
        EXPECT_EQ(button->isEnabled(), !inLock) << button->objectName().toStdString();
        disabled += inLock ? 1 : 0;
    }
    EXPECT_EQ(disabled, 28);
    for (QWidget* usable : std::initializer_list<QWidget*>{
             ui().Item1, ui().Item3, ui().Item4, ui().Item5, ui().Edi3, ui().Edi4, ui().Edi61,
             ui().ScrollBar3, ui().ScrollBar4, ui().UpDown3, ui().UpDown4}) {
        EXPECT_TRUE(usable->isEnabled()) << usable->objectName().toStdString();
    }
    screen.BtnAllON();
    for (QWidget* control : locked) {
        EXPECT_TRUE(control->isEnabled());
    }
}

TEST_F(LifeCycle, TrimPointsBecomeUsableOnlyAfterTheFirstSequenceEnds) {
    EXPECT_FALSE(ui().RadioButton1->isEnabled());
    EXPECT_FALSE(ui().Rad2->isEnabled());
    EXPECT_TRUE(ui().RadioButton3->isChecked());
    device.silentIdentity = true;
    readConfiguration();
    EXPECT_TRUE(ui().RadioButton1->isEnabled());
    EXPECT_TRUE(ui().Rad2->isEnabled());
}

TEST_F(LifeCycle, TimersAreDisabledWithTheirIntervalsAndAllOffSparesTimer6) {
    const std::pair<QTimer*, int> timers[] = {{ui().Timer1, 500},  {ui().Timer2, 1000},
                                              {ui().Timer3, 50},   {ui().Timer4, 1000},
                                              {ui().Timer5, 1000}, {ui().Timer6, 2000}};
    for (const auto& [timer, interval] : timers) {
        EXPECT_FALSE(timer->isActive());
        EXPECT_EQ(timer->interval(), interval);
        timer->start();
    }
    screen.TimerAllOFF();
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(timers[i].first->isActive());
    }
    EXPECT_TRUE(ui().Timer6->isActive());
}

TEST_F(LifeCycle, StatusMessagesInThreeColoursAndThreeLanguages) {
    namespace t = transmitter_texts;
    const std::pair<const Texts*, StatusColour> messages[] = {
        {&t::kTransmission, StatusColour::Blue}, {&t::kReadSuccess, StatusColour::Green},
        {&t::kReadFail, StatusColour::Red},      {&t::kWriteSuccess, StatusColour::Green},
        {&t::kWriteFail, StatusColour::Red},     {&t::kWriteMemoryFail, StatusColour::Red}};
    for (const auto& [texts, colour] : messages) {
        for (std::int16_t language : {kLanguageEnglish, kLanguageTraditionalChinese,
                                      kLanguageSimplifiedChinese, std::int16_t{0}}) {
            state.languageId = language;
            screen.showStatusMessage(colour, *texts);
            EXPECT_EQ(ui().Lab83->text(), QString::fromUtf8(chooseText(language, *texts)));
            EXPECT_EQ(labelColour(*ui().Lab83), colourOf(colour));
        }
    }
    EXPECT_EQ(QString::fromUtf8(t::kWriteMemoryFail.traditional),
              QString::fromUtf8("寫入Memory失敗"));
}

TEST_F(LifeCycle, MenusReachTheRestOfTheProgram) {
    std::vector<std::string> calls;
    ScreenHooks hooks;
    hooks.closeMainWindow = [&] { calls.push_back("close"); };
    hooks.showAbout = [&] { calls.push_back("about"); };
    hooks.startScan = [&] { calls.push_back("scan"); };
    hooks.chooseLanguage = [&](std::int16_t id) { calls.push_back(std::to_string(id)); };
    TForm2 wired(link, state, dialogs, hooks);
    wired.design().Timer1->start();
    wired.show();
    wired.design().Start->trigger();
    EXPECT_FALSE(wired.isVisible());
    EXPECT_FALSE(wired.design().Timer1->isActive());
    wired.design().Help->trigger();
    wired.design().Traditional->trigger();
    wired.design().Simplified->trigger();
    wired.design().English->trigger();
    wired.design().Exit1->trigger();
    wired.show();
    wired.close();
    EXPECT_EQ(calls,
              (std::vector<std::string>{"scan", "about", "1028", "2052", "50", "close", "close"}));
}

TEST_F(LifeCycle, LanguageItemsWithoutTheShellSwitchTheScreenAlone) {
    screen.TraditionalClick();
    EXPECT_EQ(state.languageId, kLanguageTraditionalChinese);
    EXPECT_TRUE(ui().Traditional->isChecked());
    EXPECT_FALSE(ui().English->isChecked());
    EXPECT_EQ(ui().BtnP1->text(), QString::fromUtf8("讀出"));
}

TEST_F(LifeCycle, LanguageCaptionsFollowTheCatalogueAndMarkOneItem) {
    namespace t = transmitter_texts;
    for (std::int16_t language :
         {kLanguageTraditionalChinese, kLanguageSimplifiedChinese, kLanguageEnglish}) {
        SCOPED_TRACE(language);
        screen.applyLanguage(language);
        EXPECT_EQ(ui().Traditional->isChecked(), language == kLanguageTraditionalChinese);
        EXPECT_EQ(ui().Simplified->isChecked(), language == kLanguageSimplifiedChinese);
        EXPECT_EQ(ui().English->isChecked(), language == kLanguageEnglish);
        int applied = 0;
        const auto check = [&](const t::CaptionEntry& entry) {
            const QString expected = QString::fromUtf8(chooseText(language, entry.texts));
            QString shown;
            const QObject* control = screen.findChild<QObject*>(entry.control);
            ASSERT_NE(control, nullptr) << entry.control;
            if (auto* menu = qobject_cast<const QMenu*>(control)) {
                shown = menu->title();
            } else if (auto* action = qobject_cast<const QAction*>(control)) {
                shown = action->text();
            } else if (entry.kind == t::CaptionKind::Tab) {
                shown = ui().PageCont->tabText(
                    ui().PageCont->indexOf(qobject_cast<QWidget*>(const_cast<QObject*>(control))));
            } else if (auto* box = qobject_cast<const QGroupBox*>(control)) {
                shown = box->title();
            } else if (auto* label = qobject_cast<const QLabel*>(control)) {
                shown = label->text();
            } else if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
                shown = button->text();
            }
            EXPECT_EQ(shown, expected) << entry.control;
            ++applied;
        };
        for (const auto& entry : t::kMenuCaptions)
            check(entry);
        for (const auto& entry : t::kConfigurationCaptions)
            check(entry);
        for (const auto& entry : t::kCalibrationCaptions)
            check(entry);
        EXPECT_EQ(applied, 63);
        // Unchanging captions stay as designed.
        EXPECT_EQ(ui().Device->text(), "KV-LPX");
        EXPECT_EQ(ui().RadioButton3->text(), "Normal(4 ~ 20mA)");
        EXPECT_EQ(ui().Item1->item(11)->text(), "Voltage (-10 - 10V)");
        EXPECT_EQ(ui().Traditional->text(), "Chinese Traditional");
    }
    screen.applyLanguage(kLanguageTraditionalChinese);
    EXPECT_EQ(ui().Help->text(), "Help&");
    EXPECT_EQ(ui().Lab82->text(), QString::fromUtf8("序號        :"));
    screen.applyLanguage(kLanguageSimplifiedChinese);
    EXPECT_EQ(ui().Help->text(), "Help");
    EXPECT_EQ(ui().GroupBox4->title(), QString::fromUtf8(" 4~20mA 输出讯号调整"));
}

TEST(ActivationTracker, CountsFirstShowingAndReturnsFromOtherWindowsNotFromOtherApplications) {
    ActivationTracker tracker;
    int screen = 0;
    int about = 0;
    EXPECT_TRUE(tracker.focusMoved(&screen, &screen)) << "first showing";
    EXPECT_FALSE(tracker.focusMoved(nullptr, &screen)) << "to another application";
    EXPECT_FALSE(tracker.focusMoved(&screen, &screen)) << "back from another application";
    EXPECT_FALSE(tracker.focusMoved(&about, &screen));
    EXPECT_FALSE(tracker.focusMoved(nullptr, &screen));
    EXPECT_FALSE(tracker.focusMoved(&about, &screen));
    EXPECT_TRUE(tracker.focusMoved(&screen, &screen)) << "back from the About screen";
    tracker.screenHidden(&screen);
    EXPECT_TRUE(tracker.focusMoved(&screen, &screen)) << "shown again after hiding";
}

TEST_F(LifeCycle, FocusFromAnotherWindowOfTheProgramActivatesTheScreen) {
    screen.show();
    screen.activateWindow();
    QApplication::processEvents();
    if (QGuiApplication::focusWindow() != screen.windowHandle()) {
        GTEST_SKIP() << "this platform plugin does not move window focus";
    }
    EXPECT_EQ(peer.sent.size(), 2u) << "first showing reads";
    EXPECT_TRUE(ui().Timer2->isActive());
    screen.Timer2Timer();

    QWidget about;
    about.show();
    about.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(peer.sent.size(), 2u);
    screen.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(peer.sent.size(), 4u) << "coming back from another window reads again";
    ui().Timer2->stop();
    screen.hide();
    about.hide();
}

}  // namespace
}  // namespace kelvane::testing

namespace kelvane::testing {
namespace {

class FirstFrame : public ScreenTest {};

TEST_F(FirstFrame, TheScreenIsFirstShownWithItsIdentityAndTransmission) {
    screen.show();  // nothing has been painted yet
    EXPECT_EQ(text(ui().Serial_Y), "200001");
    EXPECT_EQ(text(ui().Label7), "V05");
    EXPECT_EQ(text(ui().Lab83), "Transmission...");
    EXPECT_EQ(labelColour(*ui().Lab83), QColor(0, 0, 255));
    EXPECT_EQ(ui().PageCont->currentWidget(), ui().Configuration);
    screen.hide();
}

TEST(HelpContents, TheHelpFileFollowsTheLanguageId) {
    const std::pair<std::int16_t, const char*> cases[] = {
        {50, "QTR-E.chm"}, {1028, "QTR-T.chm"}, {2052, "QTR-S.chm"}, {7, "QTR-E.chm"}};
    for (const auto& [language, file] : cases) {
        EXPECT_STREQ(helpFileName(language), file) << language;
    }
}

}  // namespace
}  // namespace kelvane::testing
