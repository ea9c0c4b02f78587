// The transmitter screen talking to the simulated transmitter on the in-memory link,
// read once and ready to be pictured: what kelvane-screens renders its states from.
#pragma once

#include <QApplication>
#include <QWidget>
#include <cstdio>

#include "link/in_memory_port.h"
#include "link/link.h"
#include "sim/in_memory_device.h"
#include "transmitter/tform2.h"

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
