// The dialog service on screen: modal Qt message boxes bearing the application
// title and a single OK button.
#pragma once

#include <QWidget>

#include "link/dialog_service.h"

namespace kelvane {

class QtDialogs final : public DialogService {
  public:
    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
};

}  // namespace kelvane
