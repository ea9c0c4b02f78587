// ScrollBar: a scroll bar whose position changes are reported whether the user or
// code moved it (positionChanged), and whose scroll notifications include the end
// of a gesture (EndScroll: the user let go after dragging or clicking, or a wheel
// turn moved it), which the trim controls use to write the device once per gesture.
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
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

}  // namespace kelvane
