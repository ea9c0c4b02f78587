// Help Contents, F1 and View > Manual: the language's help opened where the system
// keeps it (device/help_location.h), through the shell on Windows and the desktop's
// browser elsewhere.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>

namespace kelvane {

void openHelp(std::int16_t languageId);

// F1 in any window of the program opens the help of the language `languageId` gives.
class HelpKey final : public QObject {
  public:
    explicit HelpKey(std::function<std::int16_t()> languageId)
        : languageId_(std::move(languageId)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<std::int16_t()> languageId_;
};

}  // namespace kelvane
