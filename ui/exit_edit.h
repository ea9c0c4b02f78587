// ExitEdit: a single-line edit that reports when keyboard focus leaves it for
// another control of its window (the field checks run then). Switching to another
// window or application is not leaving the field.
#pragma once

#include <QFocusEvent>
#include <QLineEdit>

namespace kelvane {

class ExitEdit final : public QLineEdit {
    Q_OBJECT
  public:
    using QLineEdit::QLineEdit;

  signals:
    void exited();

  protected:
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        if (event->reason() != Qt::ActiveWindowFocusReason &&
            event->reason() != Qt::PopupFocusReason) {
            emit exited();
        }
    }
};

}  // namespace kelvane
