#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace kelvane {

namespace {

void showBox(QMessageBox::Icon icon, const std::string& text) {
    QMessageBox box(icon, QApplication::applicationName(), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace

void QtDialogs::showMessage(const std::string& text) {
    showBox(QMessageBox::NoIcon, text);
}

void QtDialogs::showError(const std::string& text) {
    showBox(QMessageBox::Critical, text);
}

}  // namespace kelvane
