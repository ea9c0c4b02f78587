#include "app/family_screens.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "ui/language_marks.h"

namespace kelvane {

FamilyScreen::FamilyScreen(const char* objectName) : QMainWindow(nullptr) {
    setObjectName(objectName);
    QMenu* language = menuBar()->addMenu("Language");
    language->setObjectName("Language");
    const LanguageItems items = addLanguageItems(*language);
    English = items.english;
    Traditional = items.traditional;
    Simplified = items.simplified;
}

void FamilyScreen::applyLanguage(std::int16_t languageId) {
    checkLanguageItem(*English, *Traditional, *Simplified, languageId);
}

TForm6::TForm6() : QWidget(nullptr) {
    setObjectName("TForm6");
}

}  // namespace kelvane
