#include "scan/tform3.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QThread>

#include "link/in_memory_port.h"
#include "platform/linux/linux_ports.h"
#include "tests/support/scripted_peer.h"
#include "ui/status_label.h"

namespace kelvane {
namespace {

using testing::kQtrHIdentity;
using testing::ScriptedPeer;

class FakeDevices final : public SerialDeviceSource {
  public:
    DeviceListing listDevices() override { return listing; }
    DeviceListing listing;
};

// A listing as Windows gives it, names with what WMI says of each device, when one is
// set; the Linux names otherwise.
class FixedListing final : public PortNameSource {
  public:
    PortNameListing listNames() override { return listing ? *listing : otherwise->listNames(); }
    std::string resolve(const std::string& portName) const override {
        return listing ? portName : otherwise->resolve(portName);
    }
    std::optional<PortNameListing> listing;
    PortNameSource* otherwise = nullptr;
};

class RecordingScreen final : public LanguageAware {
  public:
    void applyLanguage(std::int16_t languageId) override { applied.push_back(languageId); }
    std::vector<std::int16_t> applied;
};

class ScanScreen : public ::testing::Test {
  protected:
    ScanScreen() { port.attach("/dev/ttyUSB0", device); }

    TForm3& screen(std::vector<SerialDevice> extra = {}) {
        ScanHooks hooks;
        hooks.closeMainWindow = [this] { ++mainWindowCloses; };
        hooks.showAbout = [this] { ++aboutShown; };
        hooks.showTransmitterScreen = [this] { ++transmitterShown; };
        names = std::make_unique<LinuxPortNames>(devices, std::move(extra));
        fixed.otherwise = names.get();
        form = std::make_unique<TForm3>(link, state, dialogs, fixed, hooks);
        form->show();
        return *form;
    }
    QLabel& status() { return *form->findChild<QLabel*>("Label5"); }
    QListWidget& ports() { return *form->findChild<QListWidget*>("ListBox1"); }
    QListWidget& bauds() { return *form->findChild<QListWidget*>("ListBox2"); }
    QAction& action(const char* name) { return *form->findChild<QAction*>(name); }
    QString statusText() { return status().text(); }
    QColor statusColour() { return labelColour(status()); }

    VirtualClock clock;
    InMemoryPort port{clock};
    RecordingDialogs dialogs;
    Link link{port, dialogs};
    ScriptedPeer device;
    ProgramState state;
    FakeDevices devices;
    std::unique_ptr<LinuxPortNames> names;
    FixedListing fixed;
    std::unique_ptr<TForm3> form;
    int mainWindowCloses = 0;
    int aboutShown = 0;
    int transmitterShown = 0;
};

TEST_F(ScanScreen, StartsInEnglishWithItsDesignedControls) {
    TForm3& scan = screen();
    EXPECT_EQ(state.languageId, 50);
    EXPECT_EQ(scan.windowTitle(), "Scan");
    EXPECT_EQ(scan.size(), QSize(357, 328));
    EXPECT_EQ(statusText(), "Press Start");
    EXPECT_EQ(statusColour(), colourOf(StatusColour::Blue));
    EXPECT_TRUE(status().font().bold());
    EXPECT_EQ(status().font().pixelSize(), 16);
    EXPECT_EQ(scan.findChild<QLabel*>("Label3")->text(), "Com :");
    EXPECT_EQ(scan.findChild<QLabel*>("Label2")->text(), "Baud :");
    EXPECT_EQ(scan.findChild<QPushButton*>("Button1")->text(), "Start");
    ASSERT_EQ(bauds().count(), 4);
    EXPECT_EQ(bauds().item(0)->text(), "4800,N,8,1");
    EXPECT_EQ(bauds().item(3)->text(), "38400,N,8,1");
    EXPECT_TRUE(action("English").isChecked());
    EXPECT_FALSE(action("Traditional").isChecked());
    EXPECT_FALSE(action("Simplified").isChecked());
    EXPECT_FALSE(scan.timer1().isActive());
    EXPECT_EQ(scan.timer1().interval(), 20);
    EXPECT_TRUE(scan.timer1().isSingleShot());
}

TEST_F(ScanScreen, SingleAdapterIsSelectedAndTheProbeIsArmed) {
    devices.listing.devices = {{"/dev/ttyUSB0", true, "FT232R USB UART"}};
    TForm3& scan = screen();
    scan.Button1Click();
    ASSERT_EQ(ports().count(), 1);
    EXPECT_EQ(ports().item(0)->text(),
              "FT232R USB UART USB-to-Serial Comm Port (COM1) /dev/ttyUSB0");
    EXPECT_EQ(ports().currentRow(), 0);
    EXPECT_EQ(state.portNumber, 1);
    EXPECT_EQ(state.listedPortCount, 1);
    EXPECT_EQ(statusText(), "Scan...");
    EXPECT_EQ(statusColour(), colourOf(StatusColour::Blue));
    // The 20 ms start once the label has painted its new status.
    for (int turn = 0; turn < 50 && !scan.timer1().isActive(); ++turn) {
        QApplication::processEvents();
    }
    EXPECT_TRUE(scan.timer1().isActive());
    EXPECT_EQ(scan.timer1().interval(), 20);
    EXPECT_TRUE(device.sent.empty());  // the probe waits for the timer
}

TEST_F(ScanScreen, TheLastAdapterWinsAndOtherPortsAreOnlyListed) {
    devices.listing.devices = {{"/dev/ttyS0", false, ""}, {"/dev/ttyUSB0", true, "A"}};
    TForm3& scan = screen({{"/dev/pts/9", true, "Kelvane Simulator"}});
    scan.Button1Click();
    ASSERT_EQ(ports().count(), 3);
    EXPECT_EQ(ports().item(0)->text(), "Communications Port (COM1) /dev/ttyS0");
    EXPECT_EQ(ports().item(2)->text(),
              "Kelvane Simulator USB-to-Serial Comm Port (COM3) /dev/pts/9");
    EXPECT_EQ(ports().currentRow(), 2);
    EXPECT_EQ(state.portNumber, 3);
    EXPECT_EQ(names->resolve("COM3"), "/dev/pts/9");
}

TEST_F(ScanScreen, NoAdapterMeansCommunicationErrorAndNoProbe) {
    devices.listing.devices = {{"/dev/ttyS0", false, ""}};
    TForm3& scan = screen();
    scan.Button1Click();
    EXPECT_EQ(ports().count(), 1);
    EXPECT_EQ(ports().currentRow(), -1);
    EXPECT_EQ(state.portNumber, 0);
    EXPECT_EQ(statusText(), "Communication Error");
    EXPECT_EQ(statusColour(), colourOf(StatusColour::Red));
    EXPECT_FALSE(scan.timer1().isActive());
}

TEST_F(ScanScreen, AFailedSystemListWithCommandLinePortsIsToldAndTheScanGoesOn) {
    fixed.listing = PortNameListing{{{"USB-to-Serial Comm Port (COM23)"}},
                                    std::nullopt,
                                    "Could not connect. Error code = 80041003"};
    TForm3& scan = screen();
    scan.Button1Click();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{*fixed.listing->notice});
    EXPECT_EQ(mainWindowCloses, 0);
    EXPECT_EQ(state.portNumber, 23);
    EXPECT_EQ(statusText(), "Scan...");
}

TEST_F(ScanScreen, SecondStartEmptiesTheListAndScansAgain) {
    devices.listing.devices = {{"/dev/ttyUSB0", true, ""}};
    TForm3& scan = screen();
    scan.Button1Click();
    devices.listing.devices = {};
    scan.Button1Click();
    EXPECT_EQ(ports().count(), 0);
    EXPECT_EQ(state.portNumber, 0);
    EXPECT_EQ(state.listedPortCount, 0);
    EXPECT_EQ(statusText(), "Communication Error");
}

TEST_F(ScanScreen, UnreadableDeviceListIsToldInAMessageBoxAndEndsTheProgram) {
    devices.listing.error = "Cannot read the list of serial devices (/sys/class/tty): denied";
    TForm3& scan = screen();
    scan.Button1Click();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{*devices.listing.error});
    EXPECT_EQ(mainWindowCloses, 1);
    EXPECT_EQ(ports().count(), 0);
    EXPECT_EQ(statusText(), "Press Start");
    EXPECT_FALSE(scan.timer1().isActive());
}

TEST_F(ScanScreen, ProbeThatFindsATransmitterHandsOverToTheTransmitterScreen) {
    devices.listing.devices = {{"/dev/ttyUSB0", true, ""}};
    TForm3& scan = screen();
    device.queueReply(kQtrHIdentity);
    scan.Button1Click();
    scan.Timer1Timer();
    EXPECT_FALSE(scan.timer1().isActive());
    EXPECT_FALSE(scan.isVisible());
    EXPECT_EQ(transmitterShown, 1);
    EXPECT_EQ(statusText(), "Scan...");
    EXPECT_EQ(bauds().currentRow(), 0);
    EXPECT_EQ(state.modelCode, 2);
}

TEST_F(ScanScreen, SilentDeviceEndsOnRedDeviceNotFoundWithNoBaudLineSelected) {
    devices.listing.devices = {{"/dev/ttyUSB0", true, ""}};
    TForm3& scan = screen();
    scan.Button1Click();
    scan.Timer1Timer();
    EXPECT_TRUE(scan.isVisible());
    EXPECT_EQ(transmitterShown, 0);
    EXPECT_EQ(statusText(), "Device Not Found");
    EXPECT_EQ(statusColour(), colourOf(StatusColour::Red));
    EXPECT_EQ(bauds().currentRow(), -1);
    EXPECT_TRUE(bauds().selectedItems().isEmpty());
    EXPECT_EQ(device.sent.size(), 13u);
}

TEST_F(ScanScreen, StatusMessagesFollowTheLanguage) {
    struct Case {
        void (TForm3::*routine)();
        std::int16_t id;
        const char* scanning;
        const char* communicationError;
        const char* notFound;
        const char* driverProblem;  // the only adapter's driver reports code 10
    };
    const Case cases[] = {
        {&TForm3::EnglishClick, 50, "Scan...", "Communication Error", "Device Not Found",
         "Driver not working (code 10)"},
        {&TForm3::TraditionalClick, 1028, "掃描...", "通訊錯誤", "找不到裝置",
         "驅動程式無法運作 (代碼 10)"},
        {&TForm3::SimplifiedClick, 2052, "扫描...", "通讯错误", "找不到装置",
         "驱动程序无法工作 (代码 10)"},
    };
    TForm3& scan = screen();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        (scan.*c.routine)();
        EXPECT_EQ(state.languageId, c.id);
        devices.listing.devices = {};
        scan.Button1Click();
        EXPECT_EQ(statusText(), QString::fromUtf8(c.communicationError));
        devices.listing.devices = {{"/dev/ttyUSB0", true, ""}};
        scan.Button1Click();
        EXPECT_EQ(statusText(), QString::fromUtf8(c.scanning));
        scan.Timer1Timer();
        EXPECT_EQ(statusText(), QString::fromUtf8(c.notFound));
        // Listed, never probed, its code named in red.
        fixed.listing =
            PortNameListing{{{"Communications Port (COM1)", false},
                             {"Prolific PL2303GT USB Serial COM Port (COM3)", true, 10}},
                            std::nullopt,
                            std::nullopt};
        scan.Button1Click();
        EXPECT_EQ(ports().count(), 2);
        EXPECT_EQ(ports().currentRow(), -1);
        EXPECT_EQ(statusText(), QString::fromUtf8(c.driverProblem));
        EXPECT_EQ(statusColour(), colourOf(StatusColour::Red));
        EXPECT_FALSE(scan.timer1().isActive());
        fixed.listing.reset();
    }
}

TEST_F(ScanScreen, LanguageRoutinesRecaptionTheScreenAndReachEveryRegisteredScreen) {
    struct Case {
        void (TForm3::*routine)();
        std::int16_t id;
        const char* checked;
        std::array<const char*, 6> captions;  // title, Label5, Button1, File, Exit, Language
    };
    const Case cases[] = {
        {&TForm3::TraditionalClick,
         1028,
         "Traditional",
         {"掃描", "請按開始", "開始", "檔案&", "離開&", "語言&"}},
        {&TForm3::SimplifiedClick,
         2052,
         "Simplified",
         {"扫描", "请按开始", "开始", "文件&", "离开&", "语言&"}},
        {&TForm3::EnglishClick,
         50,
         "English",
         {"Scan", "Press Start", "Start", "File", "Exit", "Language"}},
    };
    TForm3& scan = screen();
    RecordingScreen other;
    scan.addLanguageScreen(other);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        (scan.*c.routine)();
        EXPECT_EQ(scan.windowTitle(), QString::fromUtf8(c.captions[0]));
        EXPECT_EQ(statusText(), QString::fromUtf8(c.captions[1]));
        EXPECT_EQ(scan.findChild<QPushButton*>("Button1")->text(),
                  QString::fromUtf8(c.captions[2]));
        EXPECT_EQ(scan.findChild<QMenu*>("File")->title(), QString::fromUtf8(c.captions[3]));
        EXPECT_EQ(action("Exit").text(), QString::fromUtf8(c.captions[4]));
        EXPECT_EQ(scan.findChild<QMenu*>("Language")->title(), QString::fromUtf8(c.captions[5]));
        EXPECT_EQ(action("About").text(), "Help");
        for (const char* item : {"English", "Traditional", "Simplified"}) {
            EXPECT_EQ(action(item).isChecked(), std::string(item) == c.checked) << item;
        }
        EXPECT_EQ(action("English").text(), "English");
        EXPECT_EQ(action("Traditional").text(), "Chinese Traditional");
        EXPECT_EQ(other.applied.back(), c.id);
    }
    EXPECT_EQ(other.applied.size(), 3u);
}

TEST_F(ScanScreen, ChoosingALanguageResetsTheStatusTextButKeepsItsColour) {
    devices.listing.devices = {};
    TForm3& scan = screen();
    scan.Button1Click();
    ASSERT_EQ(statusColour(), colourOf(StatusColour::Red));
    action("Simplified").trigger();
    EXPECT_EQ(statusText(), QString::fromUtf8("请按开始"));
    EXPECT_EQ(statusColour(), colourOf(StatusColour::Red));
    // The language already current, chosen again: still one mark, on the same item.
    action("Simplified").trigger();
    EXPECT_TRUE(action("Simplified").isChecked());
    EXPECT_FALSE(action("English").isChecked());
}

TEST_F(ScanScreen, MenusExitCloseAndHelpGoThroughTheHooks) {
    TForm3& scan = screen();
    action("About").trigger();
    EXPECT_EQ(aboutShown, 1);
    action("Exit").trigger();
    EXPECT_EQ(mainWindowCloses, 1);
    scan.close();
    EXPECT_EQ(mainWindowCloses, 2);
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST_F(ScanScreen, TheLinkKeepsNoResolverIntoAScreenThatIsGone) {
    ScriptedPeer named;
    port.attach("COM1", named);
    screen();
    form.reset();
    // With the screen gone, port names open as they are, through nothing of it.
    link.OpenPort(0, 0);
    EXPECT_TRUE(link.portOpen());
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

TEST_F(ScanScreen, AnAdapterThatCannotBeOpenedIsExplainedOnceAndTheProbeGoesOn) {
    struct Case {
        const char* name;
        bool refused, busy;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"no permission",
         true,
         false,
#ifdef _WIN32
         {"Cannot open /dev/ttyUSB0: permission denied.\nAsk your administrator whether your "
          "account may use the adapter's COM port."}},
#else
         {"Cannot open /dev/ttyUSB0: permission denied.\nAdd your user to the dialout group: "
          "sudo usermod -aG dialout $USER, then log in again."}},
#endif
        {"held by another program",
         false,
         true,
         {"Cannot open /dev/ttyUSB0: another program is using it.\nClose that program, then "
          "press Start again."}},
        {"simply absent", false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.entries.clear();
        devices.listing.devices = {
            {c.refused || c.busy ? "/dev/ttyUSB0" : "/dev/ttyUSB7", true, "FT232R"}};
        port.setRefused("/dev/ttyUSB0", c.refused);
        port.setBusy("/dev/ttyUSB0", c.busy);
        TForm3& scan = screen();
        scan.Button1Click();
        scan.Timer1Timer();
        EXPECT_EQ(dialogs.texts(), c.shown);
        EXPECT_EQ(statusText(), "Device Not Found");
    }
    // In the language chosen.
    dialogs.entries.clear();
    devices.listing.devices = {{"/dev/ttyUSB0", true, "FT232R"}};
    port.setRefused("/dev/ttyUSB0", false);
    port.setBusy("/dev/ttyUSB0", true);
    TForm3& scan = screen();
    scan.chooseLanguage(kLanguageSimplifiedChinese);
    scan.Button1Click();
    scan.Timer1Timer();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"无法打开 /dev/ttyUSB0: 另一个程序正在使用。\n"
                                       "请关闭该程序,再按开始。"});
}

}  // namespace
}  // namespace kelvane

namespace kelvane {
namespace {

// Counts the paints of a widget, and what it showed at the last one.
class PaintCounter final : public QObject {
  public:
    explicit PaintCounter(QLabel& label) : label_(label) { label.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            lastText = label_.text();
        }
        return false;
    }
    int paints = 0;
    QString lastText;

  private:
    QLabel& label_;
};

TEST_F(ScanScreen, TheProbeStartsOnlyAfterScanHasBeenPaintedAndStaleClicksAreIgnored) {
    devices.listing.devices = {{"/dev/ttyUSB0", true, "FT232R"}};
    TForm3& scan = screen();
    PaintCounter counter(status());
    int paintsWhenProbed = -1;
    QString shownWhenProbed;
    QPushButton* start = scan.findChild<QPushButton*>("Button1");
    device.setResponder([&](const std::vector<std::uint8_t>&, const LineSettings&) {
        if (paintsWhenProbed < 0) {
            paintsWhenProbed = counter.paints;
            shownWhenProbed = counter.lastText;
            // Four clicks on Start while the probe holds the window.
            for (int click = 0; click < 4; ++click) {
                const QPointF centre(start->width() / 2.0, start->height() / 2.0);
                QCoreApplication::postEvent(
                    start,
                    new QMouseEvent(QEvent::MouseButtonPress, centre, start->mapToGlobal(centre),
                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
                QCoreApplication::postEvent(
                    start,
                    new QMouseEvent(QEvent::MouseButtonRelease, centre, start->mapToGlobal(centre),
                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
            }
        }
        return PeerAnswer{};  // a silent device: the probe runs its passes
    });
    start->click();
    for (int turn = 0; turn < 400 && statusText() != "Device Not Found"; ++turn) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    ASSERT_EQ(statusText(), "Device Not Found");
    EXPECT_GT(paintsWhenProbed, 0);
    EXPECT_EQ(shownWhenProbed, "Scan...");
    const size_t heard = device.sent.size();
    QApplication::processEvents();
    EXPECT_EQ(device.sent.size(), heard) << "the clicks queued during the probe start no scan";
    EXPECT_EQ(statusText(), "Device Not Found");
    EXPECT_FALSE(scan.timer1().isActive());
    EXPECT_FALSE(start->isEnabled());
    for (int turn = 0; turn < 100 && !start->isEnabled(); ++turn) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    EXPECT_TRUE(start->isEnabled()) << "Start takes new presses again";
}

}  // namespace
}  // namespace kelvane
