// Qt's own texts (the buttons of message boxes and file dialogs, their labels and
// tooltips) in the language the Language menu chose: Qt's translations for Traditional
// and Simplified Chinese are installed on the application when that language is
// chosen, and removed for English. They are looked for beside the program first (the
// Windows packages carry them in a "translations" folder), then where Qt keeps them.
#pragma once

#include <QString>
#include <QTranslator>
#include <cstdint>

#include "i18n/language_aware.h"

namespace kelvane {

// "qtbase_zh_TW", "qtbase_zh_CN", or empty for English.
QString qtTranslationName(std::int16_t languageId);

class QtTranslations final : public LanguageAware {
  public:
    QtTranslations();
    ~QtTranslations() override;
    void applyLanguage(std::int16_t languageId) override;
    // Whether Qt's texts of the last language chosen were found.
    bool loaded() const { return loaded_; }

  private:
    QTranslator translator_;
    bool installed_ = false;
    bool loaded_ = false;
};

}  // namespace kelvane
