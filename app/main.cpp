// Program entry: the command line, the windows in their creation order, the splash
// shown when the message loop starts, and the loop that ends when the main window
// (the splash, shown or hidden) is closed.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>

#include "app/options.h"
#include "app/program_windows.h"
#include "app/system_ports.h"
#include "app/window_report.h"
#include "device/file_paths.h"
#include "kelvane_version.h"
#include "link/link.h"
#include "link/link_traffic_log.h"
#include "link/program_state.h"
#include "ui/qt_dialogs.h"
#ifdef _WIN32
#include "platform/windows/console.h"
#include "platform/windows/running_instance.h"
#endif

int main(int argc, char* argv[]) {
#ifdef _WIN32
    kelvane::attachParentConsole();
    kelvane::holdRunningInstanceMutex();
#endif
    if (kelvane::asksForHelp(argc, argv)) {
        // Before any window system is needed.
        QStringList arguments;
        for (int i = 0; i < argc; ++i) {
            arguments << QString::fromLocal8Bit(argv[i]);
        }
        const kelvane::ProgramOptions asked = kelvane::parseOptions(arguments);
        if (asked.version) {
            std::printf("kelvane %s\n", KELVANE_VERSION_TEXT);
        } else {
            std::fputs(asked.helpText.c_str(), stdout);
        }
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Kelvane");
    // Every window's title bar and task-bar button: the program's icon in each size.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QString(":/kelvane/icons/kelvane-%1.png").arg(size));
    }
    QApplication::setWindowIcon(icon);
    // Hiding the last visible window (the splash hides itself) must not end the run;
    // only closing the main window does.
    QApplication::setQuitOnLastWindowClosed(false);

    const kelvane::ProgramOptions options = kelvane::parseOptions(QApplication::arguments());
    if (options.error) {
        std::fprintf(stderr, "kelvane: %s\n\n%s", options.error->c_str(), options.helpText.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(options.helpText.c_str(), stdout);
        return 0;
    }

    try {
        kelvane::SystemPorts system;
        std::string error;
        if (!system.start(options, error)) {
            std::fprintf(stderr, "kelvane: %s\n", error.c_str());
            return 1;
        }
        if (options.simulate) {
            std::printf("simulated transmitter on %s\n", system.simulatedDevice().c_str());
            std::fflush(stdout);
        }

        kelvane::QtDialogs dialogs;
        kelvane::Link link(system.port(), dialogs);
        std::ofstream logFile;
        std::unique_ptr<kelvane::LinkTrafficLog> trafficLog;
        if (!options.logPath.empty()) {
            if (options.logPath != "-") {
                logFile.open(kelvane::pathFromUtf8(options.logPath), std::ios::app);
                if (!logFile) {
                    std::fprintf(stderr, "kelvane: cannot write the log %s\n",
                                 options.logPath.c_str());
                    return 2;
                }
            }
            trafficLog = std::make_unique<kelvane::LinkTrafficLog>(
                options.logPath == "-" ? std::cerr : logFile);
            link.setObserver(trafficLog.get());
        }
        kelvane::ProgramState state;
        kelvane::ProgramWindows windows({link, state, dialogs, system.names(),
                                         [] { QCoreApplication::quit(); }, options.autoStart,
                                         [&system] { return system.simulatedMeter(); }});
        windows.form2().setServiceAccess(options.service);
        std::unique_ptr<kelvane::WindowReport> report;
        if (options.reportWindows) {
            report = std::make_unique<kelvane::WindowReport>(windows.all(), stdout);
        }
        windows.form8().show();
        application.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), error.what());
    }
    return 0;
}
