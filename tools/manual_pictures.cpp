#include "tools/manual_pictures.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>
#include <cmath>

#include "device/number_text.h"
#include "scan/tform3.h"
#include "tools/screen_bench.h"
#include "transmitter/trim_assistant.h"

namespace kelvane::tools {
namespace {

// A system with no serial port: the Scan screen as it first shows.
class NoPorts final : public PortNameSource {
  public:
    PortNameListing listNames() override { return {}; }
    std::string resolve(const std::string&) const override { return {}; }
};

QString at(const QDir& images, const char* name) {
    return images.filePath(QString::fromLatin1(name));
}

bool scanScreen(std::int16_t languageId, const QDir& images) {
    VirtualClock clock;
    InMemoryPort port{clock};
    RecordingDialogs dialogs;
    Link link{port, dialogs};
    ProgramState state;
    state.languageId = languageId;
    NoPorts ports;
    TForm3 scan(link, state, dialogs, ports, ScanHooks{});
    scan.applyLanguage(languageId);
    scan.show();
    return saveWindow(scan, at(images, "scan.png"));
}

}  // namespace

bool renderManualPictures(std::int16_t languageId, const QDir& images) {
    bool ok = scanScreen(languageId, images);
    {
        ScreenBench bench(languageId);
        ok &= saveWindow(bench.screen, at(images, "transmitter.png"));
    }
    {
        ScreenBench bench(languageId);
        bench.refusedWrite();
        ok &= saveWindow(bench.screen, at(images, "failed-validation.png"));
    }
    {
        ScreenBench bench(languageId);
        bench.measuring();
        ok &= saveWindow(bench.screen, at(images, "measuring.png"));
    }
    {
        ScreenBench bench(languageId);
        ok &= saveWindow(bench.trendAfterTwoMinutes(), at(images, "trend.png"));
    }
    {
        // The 4 mA point within the tolerance at the second reading of the simulated
        // meter, each reading as its three decimals show it.
        ScreenBench bench(languageId);
        bench.screen.TrimWithMeterClick();
        TrimAssistant& assistant = *bench.screen.trimAssistant();
        assistant.meter().setText(QStringLiteral("Fluke 87V"));
        assistant.FourClick();
        for (int reading = 0; reading < 2; ++reading) {
            const double shown = bench.device.outputMilliamps(bench.clock.now());
            assistant.reading().setText(QString::fromStdString(formatFixed(shown, 3)));
            assistant.EnterClick();
        }
        // The readout refreshes four times a second: let it show the output as left.
        QEventLoop wait;
        QTimer::singleShot(300, &wait, &QEventLoop::quit);
        wait.exec();
        ok &= saveWindow(assistant, at(images, "trim-assistant.png"));
        assistant.DoneClick();
    }
    return ok;
}

}  // namespace kelvane::tools
