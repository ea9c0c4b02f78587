// TForm3, the Scan screen: lists the serial ports, picks the USB-to-serial adapter,
// probes it for a device and hands over to the transmitter screen. It also holds the
// language routines that re-caption every screen of the program.
#pragma once

#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "i18n/language_aware.h"
#include "link/dialog_service.h"
#include "link/link.h"
#include "link/port_list.h"
#include "link/program_state.h"

class QAction;
class QLabel;
class QMenu;

namespace kelvane {

// What the Scan screen asks of the rest of the program.
struct ScanHooks {
    std::function<void()> closeMainWindow;
    std::function<void()> showAbout;
    std::function<void()> showTransmitterScreen;
};

class TForm3 : public QMainWindow, public LanguageAware {
    Q_OBJECT
  public:
    // `ports` lists the names the scan reads; while this screen lives, the link opens
    // the port-name table's entries through it.
    TForm3(Link& link, ProgramState& state, DialogService& dialogs, PortNameSource& ports,
           ScanHooks hooks);

    // Screens the language routines re-caption besides this one, in order.
    void addLanguageScreen(LanguageAware& screen) { languageScreens_.push_back(&screen); }

    void FormCreate();
    void Button1Click();
    void Timer1Timer();
    void iConTest();
    // Starts the probe's 20 ms once the status label has painted "Scan...".
    void armProbe();
    // The message box for an adapter that exists but cannot be opened.
    void explainOpenFailure();
    void GetSerialN(std::int16_t address);
    void ExitClick();
    void AboutClick();
    void EnglishClick();
    void TraditionalClick();
    void SimplifiedClick();
    // Runs the language routine of a language id: 1028 Traditional, 2052 Simplified,
    // any other English. The transmitter screen's Language items and its activation
    // (with the current language id) come here.
    void chooseLanguage(std::int16_t languageId);
    void applyCurrentLanguage() { chooseLanguage(state_.languageId); }

    void applyLanguage(std::int16_t languageId) override;

    QTimer& timer1() { return timer1_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;  // TForm3::FormClose

  private:
    void buildControls();
    void buildMenu();
    void runLanguageRoutine(std::int16_t languageId);
    void selectBaudLine(int line);
    template <class Handler>
    void handle(Handler&& handler);

    Link& link_;
    ProgramState& state_;
    DialogService& dialogs_;
    PortNameSource& ports_;
    // Shared with the link's resolver, which outlives the screen and must never reach
    // through a screen that is gone.
    std::shared_ptr<PortNameSource*> resolving_ = std::make_shared<PortNameSource*>(&ports_);
    ScanHooks hooks_;
    bool probeWaitsForPaint_ = false;
    // How long after a probe the Start button ignores clicks: those queued while the
    // window was blocked are delivered right after it.
    static constexpr int kStaleClickWindowMs = 250;
    // The longest the probe waits for the status label's paint.
    static constexpr int kLongestPaintWaitMs = 500;
    std::vector<LanguageAware*> languageScreens_;

    QLabel* Label3 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* ListBox2 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Button1 = nullptr;
    QMenu* File = nullptr;
    QAction* Exit = nullptr;
    QMenu* Language = nullptr;
    QAction* English = nullptr;
    QAction* Traditional = nullptr;
    QAction* Simplified = nullptr;
    QAction* About = nullptr;
    QTimer timer1_;
};

}  // namespace kelvane
