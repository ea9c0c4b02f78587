#include "scan/tform3.h"

#include <QScopeGuard>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "device/port_name_rules.h"
#include "device/probe.h"
#include "i18n/message_choice.h"
#include "i18n/scan_texts.h"
#include "link/line_settings.h"
#include "ui/handler_guard.h"
#include "ui/language_marks.h"
#include "ui/status_label.h"
#include "ui/window_placement.h"

namespace kelvane {

namespace {

QString text(std::int16_t languageId, const Texts& texts) {
    return QString::fromUtf8(chooseText(languageId, texts));
}

// An adapter whose driver does not work, with Windows' problem code.
QString driverProblemText(std::int16_t languageId, std::uint32_t code) {
    return text(languageId, scan_texts::kDriverNotWorking).arg(code);
}

// The status label's design font; the others keep the system's font.
const QStringList kStatusFamilies{QString::fromUtf8("新細明體"), "PMingLiU"};

}  // namespace

TForm3::TForm3(Link& link, ProgramState& state, DialogService& dialogs, PortNameSource& ports,
               ScanHooks hooks)
    : QMainWindow(nullptr),
      link_(link),
      state_(state),
      dialogs_(dialogs),
      ports_(ports),
      hooks_(std::move(hooks)) {
    setObjectName("TForm3");
    setWindowTitle(QString::fromUtf8(scan_texts::kTitle.english));
    setFixedSize(357, 328);
    centreOnScreen(*this);
    buildMenu();
    buildControls();

    timer1_.setObjectName("Timer1");
    timer1_.setInterval(20);
    timer1_.setSingleShot(true);
    connect(&timer1_, &QTimer::timeout, this, [this] { handle([this] { Timer1Timer(); }); });

    // Once the screen is gone, port names open as they are.
    link_.setDeviceResolver(
        [ports = std::weak_ptr<PortNameSource*>(resolving_)](const std::string& name) {
            const auto live = ports.lock();
            return live ? (**live).resolve(name) : name;
        });
    FormCreate();
}

void TForm3::buildMenu() {
    File = menuBar()->addMenu(QString::fromUtf8(scan_texts::kFileMenu.english));
    File->setObjectName("File");
    Exit = File->addAction(QString::fromUtf8(scan_texts::kExitItem.english));
    Exit->setObjectName("Exit");
    connect(Exit, &QAction::triggered, this, [this] { handle([this] { ExitClick(); }); });

    Language = menuBar()->addMenu(QString::fromUtf8(scan_texts::kLanguageMenu.english));
    Language->setObjectName("Language");
    const LanguageItems items = addLanguageItems(*Language);
    English = items.english;
    Traditional = items.traditional;
    Simplified = items.simplified;
    connect(English, &QAction::triggered, this, [this] { handle([this] { EnglishClick(); }); });
    connect(Traditional, &QAction::triggered, this,
            [this] { handle([this] { TraditionalClick(); }); });
    connect(Simplified, &QAction::triggered, this,
            [this] { handle([this] { SimplifiedClick(); }); });
    English->setChecked(true);

    About = menuBar()->addAction(QString::fromUtf8(scan_texts::kAboutMenu.english));
    About->setObjectName("About");
    connect(About, &QAction::triggered, this, [this] { handle([this] { AboutClick(); }); });
}

void TForm3::buildControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    Label3 = new QLabel("Com :", client);
    Label3->setObjectName("Label3");
    Label3->setGeometry(16, 8, 100, 18);

    ListBox1 = new QListWidget(client);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setGeometry(16, 28, 325, 84);

    Label2 = new QLabel("Baud :", client);
    Label2->setObjectName("Label2");
    Label2->setGeometry(16, 120, 100, 18);

    ListBox2 = new QListWidget(client);
    ListBox2->setObjectName("ListBox2");
    ListBox2->setGeometry(16, 140, 150, 80);
    for (const char* settings : kLineSettingsTable) {
        ListBox2->addItem(QString::fromLatin1(settings));
    }

    Button1 = new QPushButton(QString::fromUtf8(scan_texts::kStartButton.english), client);
    Button1->setObjectName("Button1");
    Button1->setGeometry(206, 158, 110, 40);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    Label5 = new QLabel(QString::fromUtf8(scan_texts::kPressStart.english), client);
    Label5->setObjectName("Label5");
    Label5->setGeometry(16, 234, 325, 30);
    QFont statusFont;
    statusFont.setFamilies(kStatusFamilies);
    statusFont.setPixelSize(16);
    statusFont.setBold(true);
    Label5->setFont(statusFont);
    setLabelColour(*Label5, colourOf(StatusColour::Blue));
    Label5->installEventFilter(this);
}

template <class Handler>
void TForm3::handle(Handler&& handler) {
    guarded(dialogs_, std::forward<Handler>(handler));
}

void TForm3::FormCreate() {
    state_.languageId = kLanguageEnglish;
}

void TForm3::Button1Click() {
    handle([this] {
        // A new Start replaces a probe still waiting to begin.
        probeWaitsForPaint_ = false;
        timer1_.stop();
        ListBox1->clear();
        state_.listedPortCount = 0;
        state_.portNumber = 0;

        const PortNameListing listing = ports_.listNames();
        if (listing.error) {
            // Without the system's list of devices no scan can work: the message,
            // then the program ends, as it does when the platform's device
            // enumeration fails. The scan goes no further.
            dialogs_.showMessage(*listing.error);
            ExitClick();
            return;
        }
        if (listing.notice) {
            // The system's list failed, but the command line named the ports to use.
            dialogs_.showMessage(*listing.notice);
        }
        const AdapterScan scan = scanPortEntries(listing.names);
        for (const std::string& line : scan.lines) {
            // The names come in the system's own 8-bit encoding.
            ListBox1->addItem(QString::fromLocal8Bit(line.c_str()));
        }
        state_.listedPortCount = static_cast<std::int16_t>(scan.lines.size());
        state_.portNumber = scan.portNumber;
        if (scan.selectedLine >= 0 || scan.numberError) {
            state_.portNumberStart = scan.start;
            state_.portNumberLength = scan.length;
        }
        if (scan.selectedLine >= 0) {
            ListBox1->setCurrentRow(scan.selectedLine);
        }
        if (scan.numberError) {
            // Text that is no integer ends the Start here, with the error box.
            portNumberFromText(*scan.numberError);
        }

        if (state_.portNumber != 0) {
            showStatus(*Label5, StatusColour::Blue, text(state_.languageId, scan_texts::kScanning));
            armProbe();
        } else if (scan.driverProblem) {
            showStatus(*Label5, StatusColour::Red,
                       driverProblemText(state_.languageId, *scan.driverProblem));
        } else {
            showStatus(*Label5, StatusColour::Red,
                       text(state_.languageId, scan_texts::kCommunicationError));
        }
    });
}

void TForm3::armProbe() {
    if (!isVisible()) {
        timer1_.start();
        return;
    }
    // The 20 ms let the status label repaint before the probe blocks the window. A
    // window just shown (Scan > Start from the transmitter screen) cannot paint yet, so
    // they count from the label's paint, not from now.
    probeWaitsForPaint_ = true;
    Label5->update();
    // A window that never paints (minimised, a compositor holding frames back) must
    // not keep the probe waiting for ever.
    QTimer::singleShot(kLongestPaintWaitMs, this, [this] {
        if (probeWaitsForPaint_) {
            probeWaitsForPaint_ = false;
            timer1_.start();
        }
    });
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label5 && event->type() == QEvent::Paint && probeWaitsForPaint_) {
        probeWaitsForPaint_ = false;
        timer1_.start();  // the label paints as soon as this returns
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm3::Timer1Timer() {
    timer1_.stop();
    iConTest();
}

void TForm3::iConTest() {
    // Clicks on Start that arrive while the probe blocks the window are not new
    // presses: the button takes none until the queue they wait in has been emptied.
    Button1->setEnabled(false);
    const auto enableStart = qScopeGuard([this] {
        QTimer::singleShot(kStaleClickWindowMs, Button1, [this] { Button1->setEnabled(true); });
    });
    ProbeSteps steps;
    steps.getSerialN = [this](std::int16_t address) { GetSerialN(address); };
    steps.selectBaudLine = [this](int line) { selectBaudLine(line); };
    steps.firstOpenFailed = [this] { explainOpenFailure(); };
    if (runProbe(link_, state_, steps) == ProbeOutcome::TransmitterFound) {
        hide();
        if (hooks_.showTransmitterScreen) {
            hooks_.showTransmitterScreen();
        }
        return;
    }
    showStatus(*Label5, StatusColour::Red, text(state_.languageId, scan_texts::kDeviceNotFound));
}

void TForm3::explainOpenFailure() {
    // The commonest first-run problems on Linux, said once; an absent device says nothing.
    const std::string device = ports_.resolve("COM" + std::to_string(state_.portNumber));
    const auto message = openFailureMessage(link_.lastOpenFailure(), device, state_.languageId);
    if (message) {
        dialogs_.showMessage(*message);
    }
}

void TForm3::GetSerialN(std::int16_t address) {
    readIdentity(link_, state_, address);
}

void TForm3::selectBaudLine(int line) {
    if (line >= 0 && line < ListBox2->count()) {
        ListBox2->setCurrentRow(line);
    } else {
        // One past the last line: no line selected.
        ListBox2->setCurrentRow(-1);
        ListBox2->clearSelection();
    }
}

void TForm3::ExitClick() {
    if (hooks_.closeMainWindow) {
        hooks_.closeMainWindow();
    }
}

void TForm3::AboutClick() {
    if (hooks_.showAbout) {
        hooks_.showAbout();
    }
}

void TForm3::closeEvent(QCloseEvent* event) {
    event->accept();
    ExitClick();
}

void TForm3::EnglishClick() {
    runLanguageRoutine(kLanguageEnglish);
}
void TForm3::TraditionalClick() {
    runLanguageRoutine(kLanguageTraditionalChinese);
}
void TForm3::SimplifiedClick() {
    runLanguageRoutine(kLanguageSimplifiedChinese);
}

void TForm3::chooseLanguage(std::int16_t languageId) {
    if (languageId == kLanguageTraditionalChinese) {
        TraditionalClick();
    } else if (languageId == kLanguageSimplifiedChinese) {
        SimplifiedClick();
    } else {
        EnglishClick();
    }
}

void TForm3::runLanguageRoutine(std::int16_t languageId) {
    state_.languageId = languageId;
    applyLanguage(languageId);
    for (LanguageAware* screen : languageScreens_) {
        screen->applyLanguage(languageId);
    }
}

void TForm3::applyLanguage(std::int16_t languageId) {
    checkLanguageItem(*English, *Traditional, *Simplified, languageId);

    const QStringList systemFamilies{QApplication::font().family()};
    for (QWidget* widget : std::initializer_list<QWidget*>{this, File, Language}) {
        useHanForms(*widget, systemFamilies, languageId);
    }
    useHanForms(*Label5, kStatusFamilies, languageId);

    setWindowTitle(text(languageId, scan_texts::kTitle));
    // The status label's text goes back to "Press Start"; its colour stays.
    Label5->setText(text(languageId, scan_texts::kPressStart));
    Button1->setText(text(languageId, scan_texts::kStartButton));
    File->setTitle(text(languageId, scan_texts::kFileMenu));
    Exit->setText(text(languageId, scan_texts::kExitItem));
    Language->setTitle(text(languageId, scan_texts::kLanguageMenu));
    About->setText(text(languageId, scan_texts::kAboutMenu));
}

}  // namespace kelvane
