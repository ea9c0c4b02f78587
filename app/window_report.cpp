#include "app/window_report.h"

#include <QEvent>
#include <QWidget>

namespace kelvane {

WindowReport::WindowReport(const std::vector<QWidget*>& windows, std::FILE* out) : out_(out) {
    for (QWidget* window : windows) {
        window->installEventFilter(this);
    }
}

bool WindowReport::eventFilter(QObject* watched, QEvent* event) {
    // Spontaneous show and hide events come from the window system (minimising,
    // desktop switches); only the program's own showing and hiding is reported.
    if (!event->spontaneous() && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        std::fprintf(out_, "%s %s\n", event->type() == QEvent::Show ? "shown" : "hidden",
                     qPrintable(watched->objectName()));
        std::fflush(out_);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kelvane
