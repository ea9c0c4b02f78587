// The dialog service on screen: modal Qt message boxes bearing the application
// title and a single OK button; and the file dialog the screens ask for files with.
#pragma once

#include <QWidget>

#include "link/dialog_service.h"

namespace kelvane {

class QtDialogs final : public DialogService {
  public:
    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
};

// A file to open or save to, empty when the user cancels. The dialog's title is the
// caption of the item that opened it ("Open Configuration..." without its dots), and
// it is Qt's own dialog on every system, so that it speaks the language the Language
// menu chose rather than the system's.
QString askForFile(QWidget* parent, bool save, const QString& caption, const QString& folder,
                   const QString& filter);

}  // namespace kelvane
