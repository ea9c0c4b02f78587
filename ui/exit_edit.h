// ExitEdit: a single-line edit that reports when keyboard focus leaves it for
// another control of its window (the field checks run then). Switching to another
// window or application, or opening a menu, is not leaving the field.
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
        // A menu, opened by the mouse or by Alt, takes focus only for a while: it is
        // not another control, so the field is not left.
        if (event->reason() != Qt::ActiveWindowFocusReason &&
            event->reason() != Qt::PopupFocusReason && event->reason() != Qt::MenuBarFocusReason) {
            emit exited();
        }
    }
};

}  // namespace kelvane
