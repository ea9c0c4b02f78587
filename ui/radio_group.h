// RadioGroup: a framed group of radio buttons with one item index, as the screens
// use it. Setting the index from code runs the click handlers when the choice
// changes; an index past the last item picks the last; -1 chooses none; a hidden
// item can still be chosen from code. Items are laid out column by column, in even
// columns unless that would clip an item.
#pragma once

#include <QGroupBox>
#include <QRadioButton>
#include <QStringList>
#include <vector>

namespace kelvane {

class RadioGroup final : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroup(const QStringList& items, int columns, QWidget* parent = nullptr);

    int itemIndex() const { return index_; }
    // Clamps to −1 … count − 1 and emits clicked() when the choice changes.
    void setItemIndex(int index);
    int count() const { return static_cast<int>(items_.size()); }
    QRadioButton* item(int i) const { return items_.at(static_cast<size_t>(i)); }
    void setItemVisible(int i, bool visible) { item(i)->setVisible(visible); }
    int columns() const { return columns_; }
    // Room left free at the right of every column but the last, in pixels.
    void setColumnGap(int gap) {
        columnGap_ = gap;
        layoutItems();
    }

  signals:
    // The choice changed, by the user or by code.
    void clicked();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void choose(int index);
    void layoutItems();
    // Each column's width, its gap included, and the gap after every column but the last.
    struct Columns {
        std::vector<int> widths;
        int gap;
    };
    Columns columnWidths(int rows) const;

    std::vector<QRadioButton*> items_;
    int columns_ = 1;
    int columnGap_ = 6;
    int index_ = -1;
};

}  // namespace kelvane
