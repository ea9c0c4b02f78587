// kelvane-session DEVICE LOG [LANGUAGE PNG]: the program's own windows on the system's
// serial port,
// driven through one technician's session, with the traffic written to LOG: Start on
// the Scan screen (the adapter DEVICE, as --port gives it), the probe, the transmitter
// screen's read, Write To Device with the page as read, and Read under Measuring Value
// for four polls, then Stop. It prints each status the transmitter screen shows. With
// LANGUAGE (en, zh-tw or zh-cn) the screen switches to it after the read, and after the
// write it is saved as the picture PNG. The
// Windows build runs it under wine beside the Linux one to compare the two traffic
// logs request by request.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>

#include "app/program_windows.h"
#include "app/system_ports.h"
#include "i18n/transmitter_texts.h"
#include "link/link.h"
#include "link/link_traffic_log.h"
#include "ui/qt_dialogs.h"

using namespace kelvane;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = QApplication::arguments();
    const std::map<QString, void (TForm2::*)()> languages{{"en", &TForm2::EnglishClick},
                                                          {"zh-tw", &TForm2::TraditionalClick},
                                                          {"zh-cn", &TForm2::SimplifiedClick}};
    if ((arguments.size() != 3 && arguments.size() != 5) ||
        (arguments.size() == 5 && languages.count(arguments[3]) == 0)) {
        std::fprintf(stderr, "usage: kelvane-session DEVICE LOG [en|zh-tw|zh-cn PNG]\n");
        return 2;
    }
    ProgramOptions options;
    options.ports = {arguments[1].toStdString()};
    SystemPorts system;
    std::string error;
    if (!system.start(options, error)) {
        std::fprintf(stderr, "kelvane-session: %s\n", error.c_str());
        return 2;
    }
    std::ofstream logFile(arguments[2].toStdString());
    QtDialogs dialogs;
    Link link(system.port(), dialogs);
    LinkTrafficLog trafficLog(logFile);
    link.setObserver(&trafficLog);
    ProgramState state;
    ProgramWindows windows({link, state, dialogs, system.names(), [] { QCoreApplication::quit(); },
                            true, [&system] { return system.simulatedMeter(); }});
    TForm2& screen = windows.form2();
    const TForm2Design& ui = screen.design();

    // Each step waits for the status that ends the one before it.
    QString lastStatus;
    int polls = 0;
    int step = 0;
    QObject::connect(ui.Timer1, &QTimer::timeout, [&] { ++polls; });
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString status = ui.Lab83->text();
        if (screen.isVisible() && status != lastStatus) {
            lastStatus = status;
            std::printf("%s\n", status.toUtf8().constData());
            std::fflush(stdout);
            if (step == 0 && status == "Read Success") {
                step = 1;
                if (arguments.size() == 5) {
                    (screen.*languages.at(arguments[3]))();
                }
                screen.BtnP2Click();
            } else if (step == 1 &&
                       status == QString::fromUtf8(chooseText(state.languageId,
                                                              transmitter_texts::kWriteSuccess))) {
                if (arguments.size() == 5) {
                    screen.grab().save(arguments[4]);
                }
                step = 2;
                polls = 0;
                screen.Btn71Click();
            }
        }
        if (step == 2 && polls == 4) {
            step = 3;
            screen.Btn72Click();
            QCoreApplication::quit();
        }
    });
    watch.start();
    // A session that stalls ends on its own.
    QTimer::singleShot(60'000, [] { QCoreApplication::exit(1); });
    windows.form8().show();
    return application.exec() == 0 && step == 3 ? 0 : 1;
}
