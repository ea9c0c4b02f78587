#include "ui/radio_group.h"

#include <QEvent>
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

void RadioGroup::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layoutItems();
    }
}

RadioGroup::Columns RadioGroup::columnWidths(int rows) const {
    // Even columns with a gap after each, as the design has them, unless an item would
    // be clipped: then each column gets the room its widest item needs (with the gaps
    // while they fit, without them otherwise), and the last column what is left.
    const int available = width() - 2 * kSideSpace;
    Columns even{std::vector<int>(static_cast<size_t>(columns_), available / columns_), columnGap_};
    std::vector<int> needed(static_cast<size_t>(columns_), 0);
    bool clipped = false;
    for (int i = 0; i < count(); ++i) {
        const auto column = static_cast<size_t>(i / rows);
        const int gap = static_cast<int>(column) + 1 < columns_ ? columnGap_ : 0;
        const int hint = item(i)->sizeHint().width();
        needed[column] = std::max(needed[column], hint);
        clipped = clipped || hint + gap > even.widths[column];
    }
    if (!clipped) {
        return even;
    }
    int total = 0;
    for (const int width : needed) {
        total += width;
    }
    for (const int gap : {columnGap_, 0}) {
        const int withGaps = total + gap * (columns_ - 1);
        if (withGaps <= available) {
            Columns fitted{needed, gap};
            for (size_t c = 0; c + 1 < needed.size(); ++c) {
                fitted.widths[c] += gap;
            }
            fitted.widths.back() += available - withGaps;
            return fitted;
        }
    }
    return even;
}

void RadioGroup::layoutItems() {
    if (items_.empty()) {
        return;
    }
    const int rows = (count() + columns_ - 1) / columns_;
    const Columns columns = columnWidths(rows);
    const std::vector<int>& widths = columns.widths;
    const int rowHeight = (height() - kTitleSpace - kBottomSpace) / rows;
    const int buttonHeight = std::max(0, std::min(rowHeight - 4, 21));
    int left = kSideSpace;
    for (int i = 0; i < count(); ++i) {
        const int column = i / rows;
        const int row = i % rows;
        if (row == 0 && column > 0) {
            left += widths[static_cast<size_t>(column - 1)];
        }
        const int top = kTitleSpace + row * rowHeight + (rowHeight - buttonHeight) / 2;
        // A gap after each column but the last keeps every item inside its own column.
        const int gap = column + 1 < columns_ ? columns.gap : 0;
        item(i)->setGeometry(left, top, widths[static_cast<size_t>(column)] - gap, buttonHeight);
    }
}

}  // namespace kelvane
