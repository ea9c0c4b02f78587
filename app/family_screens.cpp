#include "app/family_screens.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "i18n/scan_texts.h"
#include "ui/language_marks.h"

namespace kelvane {

FamilyScreen::FamilyScreen(const char* objectName) : QMainWindow(nullptr) {
    setObjectName(objectName);
    QMenu* language = menuBar()->addMenu("Language");
    language->setObjectName("Language");
    const auto addItem = [language](const char* name, const char* caption) {
        QAction* item = language->addAction(QString::fromUtf8(caption));
        item->setObjectName(name);
        item->setCheckable(true);
        return item;
    };
    English = addItem("English", scan_texts::kEnglishItem);
    Traditional = addItem("Traditional", scan_texts::kTraditionalItem);
    Simplified = addItem("Simplified", scan_texts::kSimplifiedItem);
}

void FamilyScreen::applyLanguage(std::int16_t languageId) {
    checkLanguageItem(*English, *Traditional, *Simplified, languageId);
}

TForm6::TForm6() : QWidget(nullptr) {
    setObjectName("TForm6");
}

}  // namespace kelvane
