// The transmitter screen talking to the simulated transmitter on the in-memory link,
// read once and ready to be pictured: what kelvane-screens renders its states from.
#pragma once

#include <QApplication>
#include <QDateTime>
#include <QWidget>
#include <cstdio>

#include "device/number_text.h"
#include "link/in_memory_port.h"
#include "link/link.h"
#include "sim/in_memory_device.h"
#include "transmitter/tform2.h"
#include "transmitter/trend_window.h"

namespace kelvane::tools {

struct ScreenBench {
    VirtualClock clock;
    InMemoryPort port{clock};
    sim::Transmitter device{sim::DeviceSettings{}};
    sim::InMemoryDevice peer{device};
    RecordingDialogs dialogs;
    Link link{port, dialogs};
    ProgramState state;
    TForm2 screen{link, state, dialogs, hooks()};

    explicit ScreenBench(std::int16_t languageId = kLanguageEnglish) {
        port.attach("COM1", peer);
        link.OpenPort(0, 0);
        state.deviceAddress = 1;
        state.languageId = languageId;
        state.modelCode = device.modelCode();
        state.firmwareVersionIndex = device.firmwareIndex();
        state.serialNumber = device.serialNumber();
        screen.applyLanguage(languageId);
        // Showing the screen activates it, which starts a read; its tick follows.
        screen.show();
        QApplication::processEvents();
        if (!ui().Timer2->isActive()) {
            screen.FormActivate();
        }
        screen.Timer2Timer();
    }
    const TForm2Design& ui() const { return screen.design(); }

    // A write refused by the checks: the failing fields red.
    void refusedWrite() {
        ui().Item3->setItemIndex(0);
        ui().Edi3->setText("-60");
        ui().Edi4->setText("2000");
        ui().Edi61->setText("99.0");
        screen.BtnP2Click();
    }
    // Measuring, a few polling steps in.
    void measuring() {
        screen.Btn71Click();
        for (int tick = 0; tick < 4; ++tick) {
            screen.Timer1Timer();
        }
    }
    // The measuring value trend after two minutes of polling (one value every 500 ms).
    TrendWindow& trendAfterTwoMinutes() {
        screen.MeasuringValueTrendClick();
        const QDateTime start = QDateTime::currentDateTime();
        for (int i = 0; i < 240; ++i) {
            const auto raw =
                static_cast<std::int16_t>(2700 + (i % 80 < 40 ? i % 80 : 80 - i % 80) * 3);
            screen.trend()->addValue(std::chrono::milliseconds(500LL * i),
                                     start.addMSecs(500LL * i), raw, formatFixed(raw / 10.0, 1),
                                     "deg C");
        }
        screen.trend()->resize(640, 400);
        return *screen.trend();
    }

  private:
    // The simulated meter of --simulate: the output current now.
    ScreenHooks hooks() {
        ScreenHooks hooks;
        hooks.simulatedMeter = [this]() -> std::optional<double> {
            return device.outputMilliamps(clock.now());
        };
        return hooks;
    }
};

inline bool saveWindow(QWidget& window, const QString& path) {
    QApplication::processEvents();
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

}  // namespace kelvane::tools
