// Where the program's windows open: the splash, the Scan screen and the transmitter
// screen are centred on the primary screen.
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kelvane {

inline void centreOnScreen(QWidget& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.move(screen->availableGeometry().center() - window.rect().center());
    }
}

}  // namespace kelvane
