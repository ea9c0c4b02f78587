// Choosing an item of a widget's own context menu, as a user's right click would:
// the menu runs modally, so the choice is made from the event loop it runs.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace kelvane::testing {

// Opens a widget's context menu at its middle and chooses the item with `text`.
inline void chooseFromContextMenu(QWidget& widget, const QString& text) {
    QTimer::singleShot(0, [text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                // Through the menu's own keys, so that the menu returns the choice.
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        menu->close();
        ADD_FAILURE() << "no menu item " << text.toStdString();
    });
    const QPoint middle = widget.rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, middle, widget.mapToGlobal(middle));
    QApplication::sendEvent(&widget, &event);
}

}  // namespace kelvane::testing
