// Status labels: one message at a time in blue (in progress), green (success) or
// red (failure). The colour is set before the text, always in that order.
#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

namespace kelvane {

enum class StatusColour { Blue, Green, Red };

inline QColor colourOf(StatusColour colour) {
    switch (colour) {
        case StatusColour::Blue:
            return QColor(0, 0, 255);
        case StatusColour::Green:
            return QColor(0, 128, 0);
        case StatusColour::Red:
            return QColor(255, 0, 0);
    }
    return QColor(0, 0, 0);
}

inline void setLabelColour(QLabel& label, const QColor& colour) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

inline void showStatus(QLabel& label, StatusColour colour, const QString& text) {
    setLabelColour(label, colourOf(colour));
    label.setText(text);
}

inline QColor labelColour(const QLabel& label) {
    return label.palette().color(QPalette::WindowText);
}

}  // namespace kelvane
