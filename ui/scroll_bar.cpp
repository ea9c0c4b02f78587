#include "ui/scroll_bar.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace kelvane {

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    // A stand-alone bar takes focus when clicked or tabbed to, as the platform's
    // bars do: clicking it leaves the field being edited, and its keys scroll it.
    setFocusPolicy(Qt::StrongFocus);
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

void ScrollBar::mousePressEvent(QMouseEvent* event) {
    valueAtPress_ = value();
    QScrollBar::mousePressEvent(event);
}

void ScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    QScrollBar::mouseReleaseEvent(event);
    // The left button ends its gesture as the platform reports it; the middle button
    // (a jump to the pointer, or a drag) ends one when it moved the bar.
    if (event->button() == Qt::LeftButton || value() != valueAtPress_) {
        endScroll();
    }
}

void ScrollBar::contextMenuEvent(QContextMenuEvent* event) {
    // Scroll Here, Top, Bottom, Page Up …: the menu runs and moves the bar before it
    // returns, and no release of a button reaches the bar afterwards.
    const int before = value();
    QScrollBar::contextMenuEvent(event);
    if (value() != before) {
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

void ScrollBar::keyPressEvent(QKeyEvent* event) {
    // The platform's keys: left and up step back, right and down step on, whatever
    // the bar's orientation (Qt's own scroll bar turns the horizontal arrows round).
    SliderAction action = SliderNoAction;
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            action = SliderSingleStepSub;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            action = SliderSingleStepAdd;
            break;
        case Qt::Key_PageUp:
            action = SliderPageStepSub;
            break;
        case Qt::Key_PageDown:
            action = SliderPageStepAdd;
            break;
        case Qt::Key_Home:
            action = SliderToMinimum;
            break;
        case Qt::Key_End:
            action = SliderToMaximum;
            break;
        default:
            QScrollBar::keyPressEvent(event);
            return;
    }
    triggerAction(action);
    event->accept();
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
