// ScrollBar: a scroll bar whose position changes are reported whether the user or
// code moved it (positionChanged), and whose scroll notifications include the end
// of a gesture (EndScroll: the user let go of the left button after dragging or
// clicking, let go of another button after moving the bar, a wheel turn or a command
// of the bar's context menu moved it), which the trim controls use to write the
// device once per gesture.
#pragma once

#include <QScrollBar>

namespace kelvane {

enum class ScrollCode {
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    ThumbPosition,
    ThumbTrack,
    Top,
    Bottom,
    EndScroll
};

class ScrollBar final : public QScrollBar {
    Q_OBJECT
  public:
    explicit ScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The end of a gesture, as the platform reports it when the user lets go.
    void endScroll() { emit scrolled(ScrollCode::EndScroll); }

  signals:
    void positionChanged(int position);
    void scrolled(kelvane::ScrollCode code);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    int valueAtPress_ = 0;
};

}  // namespace kelvane
