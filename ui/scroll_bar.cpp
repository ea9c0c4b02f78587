#include "ui/scroll_bar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace kelvane {

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    connect(this, &QScrollBar::valueChanged, this, &ScrollBar::positionChanged);
    connect(this, &QScrollBar::actionTriggered, this, [this](int action) {
        switch (action) {
            case SliderSingleStepAdd:
                emit scrolled(ScrollCode::LineDown);
                break;
            case SliderSingleStepSub:
                emit scrolled(ScrollCode::LineUp);
                break;
            case SliderPageStepAdd:
                emit scrolled(ScrollCode::PageDown);
                break;
            case SliderPageStepSub:
                emit scrolled(ScrollCode::PageUp);
                break;
            case SliderToMinimum:
                emit scrolled(ScrollCode::Top);
                break;
            case SliderToMaximum:
                emit scrolled(ScrollCode::Bottom);
                break;
            case SliderMove:
                emit scrolled(ScrollCode::ThumbTrack);
                break;
            default:
                break;
        }
    });
    connect(this, &QScrollBar::sliderReleased, this,
            [this]() { emit scrolled(ScrollCode::ThumbPosition); });
}

void ScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    QScrollBar::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        endScroll();
    }
}

void ScrollBar::wheelEvent(QWheelEvent* event) {
    // A wheel turn has no release to end it: each turn that moves the bar is a
    // gesture of its own, so the count written to the device follows the bar.
    const int before = value();
    QScrollBar::wheelEvent(event);
    if (value() != before) {
        endScroll();
    }
}

void ScrollBar::keyReleaseEvent(QKeyEvent* event) {
    QScrollBar::keyReleaseEvent(event);
    // Only the keys that scroll the bar make a gesture; the release of Tab that
    // brought focus here, say, ends nothing.
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            if (!event->isAutoRepeat()) {
                endScroll();
            }
            break;
        default:
            break;
    }
}

}  // namespace kelvane
