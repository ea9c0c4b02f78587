// The captions of a shown window that do not show whole: a label, button, radio button
// or check box narrower than its text, a frame whose title runs past it, a menu of the
// menu bar off the bar. Each is named with its object name and text.
#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QWidget>
#include <string>
#include <vector>

namespace kelvane::testing {

inline std::vector<std::string> cutCaptions(QWidget& window) {
    std::vector<std::string> cut;
    const auto name = [](const QObject& object, const QString& text) {
        return object.objectName().toStdString() + " \"" + text.toStdString() + "\"";
    };
    const auto textWidth = [](const QWidget& widget, QString text) {
        text.remove(QLatin1Char('&'));
        int widest = 0;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            widest = std::max(widest, widget.fontMetrics().horizontalAdvance(line));
        }
        return widest;
    };
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty() && !label->wordWrap() &&
            label->width() < textWidth(*label, label->text())) {
            cut.push_back(name(*label, label->text()));
        }
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty()) {
            continue;
        }
        // Radio buttons and check boxes need their mark beside the text.
        const bool marked = button->inherits("QRadioButton") || button->inherits("QCheckBox");
        const int needed = marked ? button->sizeHint().width() : textWidth(*button, button->text());
        if (button->width() < needed) {
            cut.push_back(name(*button, button->text()));
        }
    }
    for (QGroupBox* frame : window.findChildren<QGroupBox*>()) {
        if (frame->isVisible() && !frame->title().isEmpty() &&
            frame->width() < textWidth(*frame, frame->title()) + 8) {
            cut.push_back(name(*frame, frame->title()));
        }
    }
    for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        for (QAction* menu : bar->actions()) {
            const QRect at = bar->actionGeometry(menu);
            if (bar->isVisible() && (at.isEmpty() || !bar->rect().contains(at))) {
                cut.push_back(name(*menu, menu->text()));
            }
        }
    }
    return cut;
}

}  // namespace kelvane::testing
