#include "ui/help_contents.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QUrl>

#include "device/help_location.h"
#ifdef _WIN32
#include "platform/windows/help_contents.h"
#endif

namespace kelvane {

void openHelp(std::int16_t languageId) {
    HelpPlaces places;
#ifdef _WIN32
    places.windows = true;
#endif
    places.currentFolder = QDir::toNativeSeparators(QDir::currentPath()).toStdString();
    places.programFolder =
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
    places.exists = [](const std::string& path) {
        return QFileInfo(QString::fromStdString(path)).isFile();
    };
    const auto target = helpTarget(languageId, places);
    if (!target) {
        return;  // no manual on this system: nothing to open, as a missing help file
    }
#ifdef _WIN32
    openHelpContents(*target);
#else
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(*target)));
#endif
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        watched->isWidgetType()) {
        openHelp(languageId_());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kelvane
