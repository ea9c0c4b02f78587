#include "ui/radio_group.h"

#include <algorithm>

namespace kelvane {

namespace {
// Room for the frame title above the items and a margin around them, in pixels.
constexpr int kTitleSpace = 16;
constexpr int kBottomSpace = 4;
constexpr int kSideSpace = 8;
}  // namespace

RadioGroup::RadioGroup(const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(parent), columns_(std::max(1, columns)) {
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), this);
        items_.push_back(button);
        connect(button, &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked && index_ != i) {
                index_ = i;
                emit clicked();
            }
        });
    }
    layoutItems();
}

void RadioGroup::setItemIndex(int index) {
    const int clamped = std::clamp(index, -1, count() - 1);
    if (clamped == index_) {
        return;
    }
    choose(clamped);
    emit clicked();
}

void RadioGroup::choose(int index) {
    index_ = index;
    if (index >= 0) {
        // The toggled handler sees index_ already set and stays quiet.
        item(index)->setChecked(true);
        return;
    }
    for (QRadioButton* button : items_) {
        if (button->isChecked()) {
            // Auto-exclusive buttons refuse to uncheck the checked one directly.
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    layoutItems();
}

void RadioGroup::layoutItems() {
    if (items_.empty()) {
        return;
    }
    const int rows = (count() + columns_ - 1) / columns_;
    const int columnWidth = (width() - 2 * kSideSpace) / columns_;
    const int rowHeight = (height() - kTitleSpace - kBottomSpace) / rows;
    const int buttonHeight = std::max(0, std::min(rowHeight - 4, 21));
    for (int i = 0; i < count(); ++i) {
        const int column = i / rows;
        const int row = i % rows;
        const int top = kTitleSpace + row * rowHeight + (rowHeight - buttonHeight) / 2;
        // A gap after each column but the last keeps every item inside its own column.
        const int gap = column + 1 < columns_ ? columnGap_ : 0;
        item(i)->setGeometry(kSideSpace + column * columnWidth, top, columnWidth - gap,
                             buttonHeight);
    }
}

}  // namespace kelvane
