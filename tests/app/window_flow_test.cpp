#include <gtest/gtest.h>

#include "app/tform8.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>

#include "app/program_windows.h"
#include "link/in_memory_port.h"
#include "platform/linux/linux_ports.h"
#include "tests/support/scripted_peer.h"
#include "tests/support/whole_captions.h"

namespace kelvane {
namespace {

using testing::kQtrHIdentity;

class NoPorts final : public SerialDeviceSource {
  public:
    DeviceListing listDevices() override { return listing; }
    DeviceListing listing;
};

class WindowFlow : public ::testing::Test {
  protected:
    WindowFlow() {
        port.attach("/dev/ttyUSB0", device);
        startProgram();
    }
    void startProgram() {
        windows.reset();
        programEnds = 0;
        windows = std::make_unique<ProgramWindows>(
            ProgramParts{link, state, dialogs, ports, [this] { ++programEnds; }});
        windows->form8().show();  // the message loop shows the main window
    }
    QWidget& window(const char* name) {
        for (QWidget* w : windows->all()) {
            if (w->objectName() == name) {
                return *w;
            }
        }
        throw std::runtime_error(name);
    }
    QAction& action(QWidget& owner, const char* name) { return *owner.findChild<QAction*>(name); }
    QString scanStatus() { return windows->form3().findChild<QLabel*>("Label5")->text(); }
    // The splash's 5000 ms are up.
    void afterSplash() { windows->form8().Timer1Timer(); }

    VirtualClock clock;
    InMemoryPort port{clock};
    RecordingDialogs dialogs;
    Link link{port, dialogs};
    testing::ScriptedPeer device;
    ProgramState state;
    NoPorts devices;
    LinuxPortNames ports{devices};
    int programEnds = 0;
    std::unique_ptr<ProgramWindows> windows;
};

TEST_F(WindowFlow, EveryWindowIsCreatedOnceHiddenInItsOrder) {
    EXPECT_EQ(windows->creationOrder(),
              (std::vector<QString>{"TForm8", "TForm3", "TForm1", "TForm2", "TForm4", "TForm5",
                                    "TForm6", "TForm7", "TForm9", "TForm10"}));
    for (QWidget* w : windows->all()) {
        EXPECT_EQ(w->isVisible(), w->objectName() == "TForm8") << w->objectName().toStdString();
        EXPECT_EQ(w->parentWidget(), nullptr);
    }
    // The Scan screen's creation set English before anything was shown.
    EXPECT_EQ(state.languageId, 50);
    // The splash counts its 5000 ms from its creation.
    EXPECT_TRUE(windows->form8().timer1().isActive());
    EXPECT_EQ(windows->form8().timer1().interval(), 5000);
}

TEST(Splash, CountsItsFiveSecondsFromItsCreationNotItsShowing) {
    TForm8 splash({});
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(splash.timer1().isActive());
    EXPECT_EQ(splash.timer1().interval(), 5000);
}

TEST_F(WindowFlow, SplashHandsOverToTheScanScreenOnce) {
    afterSplash();
    EXPECT_TRUE(windows->form3().isVisible());
    EXPECT_FALSE(windows->form8().isVisible());
    EXPECT_FALSE(windows->form8().timer1().isActive());
    EXPECT_EQ(scanStatus(), "Press Start");
    EXPECT_EQ(programEnds, 0);
}

TEST_F(WindowFlow, ClosingTheSplashEndsTheProgramBeforeTheScanScreenShows) {
    windows->form8().close();
    EXPECT_EQ(programEnds, 1);
    EXPECT_FALSE(windows->form8().timer1().isActive());
    EXPECT_FALSE(windows->form3().isVisible());
}

TEST_F(WindowFlow, EveryWayOutClosesTheHiddenMainWindow) {
    struct Way {
        const char* name;
        std::function<void(ProgramWindows&)> take;
    };
    const Way ways[] = {
        {"Scan screen File > Exit",
         [](ProgramWindows& w) { w.form3().findChild<QAction*>("Exit")->trigger(); }},
        {"Scan screen closed", [](ProgramWindows& w) { w.form3().close(); }},
        {"transmitter screen File > Exit", [](ProgramWindows& w) { w.form2().Exit1Click(); }},
        {"transmitter screen closed", [](ProgramWindows& w) { w.form2().close(); }},
        {"Scan screen's Start without the system's device list",
         [this](ProgramWindows& w) {
             devices.listing.error = "Cannot read the list of serial devices";
             w.form3().Button1Click();
             devices.listing.error.reset();
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        startProgram();
        afterSplash();
        ASSERT_FALSE(windows->form8().isVisible());
        way.take(*windows);
        EXPECT_EQ(programEnds, 1);
    }
}

TEST_F(WindowFlow, OneAboutScreenFromBothHelpMenusAndClosingItOnlyHidesIt) {
    afterSplash();
    action(windows->form3(), "About").trigger();
    QWidget& about = window("TForm9");
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(about.size(), QSize(461, 330));
    EXPECT_EQ(about.pos(), QPoint(446, 237));
    about.close();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(programEnds, 0);
    windows->form2().HelpClick();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(&windows->form9(), &about);
    EXPECT_EQ(programEnds, 0);
}

TEST_F(WindowFlow, ProbeThatFindsATransmitterShowsTheTransmitterScreen) {
    devices.listing.devices = {{"/dev/ttyUSB0", true, ""}};
    device.setResponder([](const std::vector<std::uint8_t>& frame, const LineSettings& line) {
        if (frame[0] == 0x01 && frame[1] == 0x04 && frame[2] == 0x1F) {
            return testing::ScriptedPeer::paced(kQtrHIdentity, line);
        }
        return PeerAnswer{};  // the configuration read is not this test's business
    });
    afterSplash();
    windows->form3().Button1Click();
    windows->form3().Timer1Timer();
    EXPECT_FALSE(windows->form3().isVisible());
    EXPECT_TRUE(windows->form2().isVisible());
    EXPECT_EQ(programEnds, 0);
}

TEST_F(WindowFlow, ScanStartOnTheTransmitterScreenWithoutAdapterReturnsToTheScanScreen) {
    afterSplash();
    windows->form3().hide();
    windows->form2().show();
    windows->form2().StartClick();
    EXPECT_FALSE(windows->form2().isVisible());
    EXPECT_TRUE(windows->form3().isVisible());
    EXPECT_EQ(scanStatus(), "Communication Error");
    EXPECT_EQ(programEnds, 0);
}

TEST_F(WindowFlow, LanguageChoiceMarksTheSameItemOnEveryScreen) {
    windows->form2().TraditionalClick();
    EXPECT_EQ(state.languageId, 1028);
    for (const char* name :
         {"TForm3", "TForm1", "TForm2", "TForm4", "TForm5", "TForm7", "TForm10"}) {
        SCOPED_TRACE(name);
        QWidget& screen = window(name);
        EXPECT_FALSE(action(screen, "English").isChecked());
        EXPECT_TRUE(action(screen, "Traditional").isChecked());
        EXPECT_FALSE(action(screen, "Simplified").isChecked());
    }
    // The hidden Scan screen is re-captioned too.
    EXPECT_EQ(windows->form3().windowTitle(), QString::fromUtf8("掃描"));
}

// Every label, frame title, button and menu of every screen shows whole in each
// language, and Qt's own dialogs speak the language chosen.
TEST_F(WindowFlow, EveryCaptionOfEveryScreenShowsWholeInEveryLanguage) {
    const struct {
        std::int16_t language;
        const char* fileDialogLookIn;  // Qt's own words in its file dialog
    } languages[] = {
        {kLanguageEnglish, "Look in:"},
        {kLanguageTraditionalChinese, "尋找於："},
        {kLanguageSimplifiedChinese, "查找范围："},
    };
    for (const auto& [language, lookIn] : languages) {
        SCOPED_TRACE(language);
        windows->form3().chooseLanguage(language);
#ifndef _WIN32  // the Windows packages carry Qt's translations; a test folder does not
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"),
                  QString::fromUtf8(lookIn));
#endif
        for (QWidget* screen : windows->all()) {
            SCOPED_TRACE(screen->objectName().toStdString());
            screen->show();
            QApplication::processEvents();
            EXPECT_EQ(testing::cutCaptions(*screen), std::vector<std::string>{});
            screen->hide();
        }
    }
}

TEST_F(WindowFlow, SplashShowsTheMakersPictureAndLinesWithoutACaption) {
    QWidget& splash = windows->form8();
    EXPECT_EQ(splash.size(), QSize(460, 331));
    EXPECT_TRUE(splash.windowTitle().trimmed().isEmpty());
    EXPECT_TRUE(windows->form9().windowTitle().trimmed().isEmpty());
    const QLabel* picture = splash.findChild<QLabel*>("Image1");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), QSize(169, 97));
    EXPECT_EQ(splash.findChild<QLabel*>("Label1")->text(),
              QString::fromUtf8("凱維恩儀器股份有限公司"));
    EXPECT_NE(splash.findChild<QLabel*>("Label6"), nullptr);
    EXPECT_EQ(windows->form9().findChild<QLabel*>("Image1")->pixmap().size(), QSize(169, 97));
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST_F(WindowFlow, TheAboutScreenShowsTheVersion) {
    const QLabel* version = windows->form9().findChild<QLabel*>("Version");
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(version->text().startsWith("Version 0.1.0"));
}

}  // namespace
}  // namespace kelvane
