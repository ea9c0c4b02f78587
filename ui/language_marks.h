// The Language menu every screen has, and what the screens do alike when the
// language changes: the check mark on the chosen language's item, and the font
// fallback that keeps Han characters in the chosen Chinese's own forms. The Scan
// screen, the transmitter screen and the other families' screens use these.
#pragma once

#include <QAction>
#include <QFont>
#include <QMenu>
#include <QStringList>
#include <QWidget>
#include <cstdint>

#include "link/program_state.h"

namespace kelvane {

struct LanguageItems {
    QAction* english;
    QAction* traditional;
    QAction* simplified;
};

// The three checkable items, named English, Traditional and Simplified; their
// captions read the same in every language, so no language routine changes them.
inline LanguageItems addLanguageItems(QMenu& menu) {
    const auto add = [&menu](const char* name, const char* caption) {
        QAction* item = menu.addAction(QString::fromUtf8(caption));
        item->setObjectName(name);
        item->setCheckable(true);
        return item;
    };
    return {add("English", "English"), add("Traditional", "Chinese Traditional"),
            add("Simplified", "Chinese Simplified")};
}

// Any language id other than the two Chinese ones is English.
inline void checkLanguageItem(QAction& english, QAction& traditional, QAction& simplified,
                              std::int16_t languageId) {
    const bool isTraditional = languageId == kLanguageTraditionalChinese;
    const bool isSimplified = languageId == kLanguageSimplifiedChinese;
    english.setChecked(!isTraditional && !isSimplified);
    traditional.setChecked(isTraditional);
    simplified.setChecked(isSimplified);
}

// Han characters have different forms in Traditional and Simplified Chinese, and the
// system's fallback picks them by the locale; naming the language's own font after
// the design's keeps each language in its forms without changing the design font.
// Windows names its own CJK fonts first; Noto serves where they are missing (wine).
inline void useHanForms(QWidget& widget, QStringList families, std::int16_t languageId) {
    if (languageId == kLanguageTraditionalChinese) {
#ifdef Q_OS_WIN
        families << "PMingLiU"
                 << "Microsoft JhengHei";
#endif
        families << "Noto Sans CJK TC";
    } else if (languageId == kLanguageSimplifiedChinese) {
#ifdef Q_OS_WIN
        families << "SimSun"
                 << "Microsoft YaHei";
#endif
        families << "Noto Sans CJK SC";
    }
    QFont font = widget.font();
    font.setFamilies(families);
    widget.setFont(font);
}

}  // namespace kelvane
