#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "i18n/message_choice.h"

namespace kelvane {

QString qtTranslationName(std::int16_t languageId) {
    if (languageId == kLanguageTraditionalChinese) {
        return QStringLiteral("qtbase_zh_TW");
    }
    if (languageId == kLanguageSimplifiedChinese) {
        return QStringLiteral("qtbase_zh_CN");
    }
    return {};
}

QtTranslations::QtTranslations() = default;

QtTranslations::~QtTranslations() {
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

void QtTranslations::applyLanguage(std::int16_t languageId) {
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
        installed_ = false;
    }
    const QString name = qtTranslationName(languageId);
    loaded_ = name.isEmpty();
    if (name.isEmpty()) {
        return;
    }
    for (const QString& folder :
         {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
          QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        if (translator_.load(name, folder)) {
            installed_ = QCoreApplication::installTranslator(&translator_);
            loaded_ = installed_;
            return;
        }
    }
}

}  // namespace kelvane
