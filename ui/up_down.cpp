#include "ui/up_down.h"

namespace kelvane {

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    up_->setObjectName("up");
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    down_->setObjectName("down");
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setAutoRepeat(true);
        arrow->setAutoRepeatDelay(kRepeatDelayMs);
        arrow->setAutoRepeatInterval(kRepeatIntervalMs);
    }
    connect(up_, &QToolButton::clicked, this, [this]() { clickUp(); });
    connect(down_, &QToolButton::clicked, this, [this]() { clickDown(); });
}

void UpDown::step(int by) {
    int next = position_ + by;
    if (next > kMaximum || next < kMinimum) {
        next = next > kMaximum ? kMinimum : kMaximum;
    }
    // The arrow clicked gives the direction, also for a click that wraps the position:
    // a down click must never step up because another button last stepped up.
    emit changingEx(by > 0 ? UpDownDirection::Up : UpDownDirection::Down);
    position_ = next;
}

void UpDown::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace kelvane
