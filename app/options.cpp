#include "app/options.h"

#include <QCommandLineParser>
#include <cstring>

#include "link/port_names.h"

namespace kelvane {

ProgramOptions parseOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Kelvane configures a 4-20 mA temperature transmitter (QTR-H, QTR-D, QTN-H)\n"
        "connected through a USB-to-serial adapter. It lists the serial ports, picks the\n"
        "USB-to-serial adapter, probes it for a transmitter and opens the transmitter\n"
        "screen. Without options it looks only at the adapters the system has.");
    const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
    const QCommandLineOption version("version", "Show the version and exit.");
#ifdef _WIN32
    const QCommandLineOption port(
        "port",
        "List the COM port DEVICE (COM1 to COM255) as a USB-to-serial adapter, e.g. an "
        "RS-485 converter whose driver names it otherwise. May be given more than once; "
        "the scan chooses the last adapter listed.",
        "DEVICE");
    const QCommandLineOption simulate(
        "simulate",
        "Start a simulated transmitter inside the program and list it as a USB-to-serial "
        "adapter on a free COM number, so that the program finds a device with no "
        "hardware.");
#else
    const QCommandLineOption port(
        "port",
        "List DEVICE as a USB-to-serial adapter (e.g. an RS-485 converter on /dev/ttyS1, "
        "or a pseudo-terminal of kelvane-sim). May be given more than once; the scan "
        "chooses the last adapter listed.",
        "DEVICE");
    const QCommandLineOption simulate(
        "simulate",
        "Start a simulated transmitter inside the program on a pseudo-terminal and list it "
        "as a USB-to-serial adapter, so that the program finds a device with no hardware.");
#endif
    const QCommandLineOption simulateModel(
        "simulate-model",
        "Model of the simulated transmitter: QTR-H (default), QTR-D, QTN-H or a model code "
        "0-255. Implies --simulate.",
        "MODEL");
    const QCommandLineOption reportWindows(
        "report-windows",
        "Print a line on standard output each time a window is shown or hidden "
        "(\"shown TForm2\" when the transmitter screen opens), for scripts and tests.");
    const QCommandLineOption autoStart(
        "auto-start",
        "Press Start on the Scan screen when the splash hands over to it, as a user would.");
    const QCommandLineOption service(
        "service",
        "For service staff: show the transmitter screen's calibration page (sensor "
        "calibration, output trim, measured value) and its serial number loader, which are "
        "hidden otherwise. The screen still opens on its Configuration page.");
    const QCommandLineOption log(
        "log",
        "Write every request sent to the device and every reply collected, in hex with the "
        "line setting and the time, to FILE (appended), or to standard error for -. For a bug "
        "report; without it nothing is written.",
        "FILE");
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(autoStart);
    parser.addOption(port);
    parser.addOption(simulate);
    parser.addOption(simulateModel);
    parser.addOption(reportWindows);
    parser.addOption(service);
    parser.addOption(log);

    ProgramOptions options;
    options.helpText = parser.helpText().replace("<executable_name>", "kelvane").toStdString();
    if (!parser.parse(arguments)) {
        options.error = parser.errorText().toStdString();
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.error =
            "Unexpected argument: " + parser.positionalArguments().first().toStdString();
        return options;
    }
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    for (const QString& device : parser.values(port)) {
        options.ports.push_back(device.toStdString());
#ifdef _WIN32
        if (!portIndexOfName(options.ports.back())) {
            options.error =
                "--port takes a COM port from COM1 to COM255, not " + options.ports.back();
            return options;
        }
#endif
    }
    options.simulateModel = parser.value(simulateModel).toStdString();
    options.simulate = parser.isSet(simulate) || parser.isSet(simulateModel);
    options.reportWindows = parser.isSet(reportWindows);
    options.autoStart = parser.isSet(autoStart);
    options.service = parser.isSet(service);
    options.logPath = parser.value(log).toStdString();
    return options;
}

bool asksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ||
            std::strcmp(argv[i], "--version") == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace kelvane
