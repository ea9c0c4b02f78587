// UpDown: a pair of arrow buttons whose own position runs 0 … 100 and wraps. Each
// click reports changingEx with the direction of the arrow clicked, also when the
// click wraps the position around; an arrow held down repeats its click. The trim
// counts are stepped by those reports.
#pragma once

#include <QToolButton>
#include <QWidget>

namespace kelvane {

enum class UpDownDirection { None, Up, Down };

class UpDown final : public QWidget {
    Q_OBJECT
  public:
    explicit UpDown(QWidget* parent = nullptr);

    int position() const { return position_; }
    // Holding an arrow repeats its click after this delay, then at this interval.
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 75;
    QToolButton* upArrow() const { return up_; }
    QToolButton* downArrow() const { return down_; }
    // The user's click on an arrow, also callable from tests.
    void clickUp() { step(+1); }
    void clickDown() { step(-1); }

  signals:
    void changingEx(kelvane::UpDownDirection direction);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void step(int by);

    static constexpr int kMinimum = 0;
    static constexpr int kMaximum = 100;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int position_ = kMinimum;
};

}  // namespace kelvane
