#include "ui/scroll_bar.h"

#include <QKeyEvent>
#include <QMouseEvent>

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

void ScrollBar::keyReleaseEvent(QKeyEvent* event) {
    QScrollBar::keyReleaseEvent(event);
    if (!event->isAutoRepeat()) {
        endScroll();
    }
}

}  // namespace kelvane
