#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
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

QString askForFile(QWidget* parent, bool save, const QString& caption, const QString& folder,
                   const QString& filter) {
    QString title = caption;
    title.remove(QLatin1Char('&'));
    while (title.endsWith(QLatin1Char('.'))) {
        title.chop(1);
    }
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // "JSON (*.json)": a name typed without an extension gets ".json".
    const int star = filter.indexOf(QStringLiteral("*."));
    if (save && star >= 0) {
        dialog.setDefaultSuffix(filter.mid(star + 2).section(QLatin1Char(')'), 0, 0));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace kelvane
