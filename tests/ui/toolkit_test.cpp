// The toolkit behaviours the screens rely on: a radio group's item index (click
// handler on change only, clamping, none, hidden items), the up-down's directions
// and wrap (a held arrow, with its writes, is the output trim test's), the scroll bar's
// reports (its gestures' writes likewise), and the edit that reports leaving it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include "ui/exit_edit.h"
#include "ui/radio_group.h"
#include "ui/scroll_bar.h"
#include "ui/up_down.h"

namespace kelvane {
namespace {

struct Group {
    Group() : group({"a", "b", "c"}, 2) {
        QObject::connect(&group, &RadioGroup::clicked,
                         [this] { indexes.push_back(group.itemIndex()); });
    }
    RadioGroup group;
    std::vector<int> indexes;  // the index each click handler saw
};

TEST(RadioGroup, SettingTheIndexRunsTheHandlerOnlyWhenTheChoiceChanges) {
    Group g;
    EXPECT_EQ(g.group.itemIndex(), -1);
    g.group.setItemIndex(1);
    g.group.setItemIndex(1);
    g.group.setItemIndex(7);   // past the last item: the last
    g.group.setItemIndex(99);  // the last again: no change
    g.group.setItemIndex(-1);
    g.group.setItemIndex(-5);
    EXPECT_EQ(g.indexes, (std::vector<int>{1, 2, -1}));
    for (int i = 0; i < g.group.count(); ++i) {
        EXPECT_FALSE(g.group.item(i)->isChecked());
    }
}

TEST(RadioGroup, AUsersClickRunsTheHandlerOnce) {
    Group g;
    g.group.item(0)->click();
    g.group.item(0)->click();
    g.group.item(2)->click();
    EXPECT_EQ(g.indexes, (std::vector<int>{0, 2}));
    EXPECT_EQ(g.group.itemIndex(), 2);
    EXPECT_FALSE(g.group.item(0)->isChecked());
}

TEST(RadioGroup, AHiddenItemCanStillBeChosenFromCode) {
    Group g;
    g.group.setItemVisible(2, false);
    g.group.setItemIndex(2);
    EXPECT_EQ(g.group.itemIndex(), 2);
    EXPECT_TRUE(g.group.item(2)->isChecked());
    EXPECT_TRUE(g.group.item(2)->isHidden());
}

TEST(RadioGroup, ItemsRunDownEachColumnFirst) {
    RadioGroup group({"1", "2", "3", "4", "5", "6", "7"}, 3);
    group.resize(300, 120);
    group.show();
    QApplication::processEvents();
    // Three per column: 1 2 3 | 4 5 6 | 7.
    EXPECT_EQ(group.item(0)->x(), group.item(2)->x());
    EXPECT_LT(group.item(2)->x(), group.item(3)->x());
    EXPECT_EQ(group.item(3)->y(), group.item(0)->y());
    EXPECT_EQ(group.item(6)->y(), group.item(0)->y());
    EXPECT_LE(group.item(0)->geometry().right(), group.item(3)->x());
}

TEST(UpDown, ReportsTheClickedArrowsDirectionAlsoWhenItsPositionWraps) {
    UpDown upDown;
    std::vector<UpDownDirection> seen;
    QObject::connect(&upDown, &UpDown::changingEx,
                     [&](UpDownDirection direction) { seen.push_back(direction); });
    upDown.clickDown();  // 0 wraps to 100
    EXPECT_EQ(upDown.position(), 100);
    upDown.clickUp();  // 100 wraps to 0
    EXPECT_EQ(upDown.position(), 0);
    upDown.clickUp();
    upDown.clickDown();
    EXPECT_EQ(seen, (std::vector<UpDownDirection>{UpDownDirection::Down, UpDownDirection::Up,
                                                  UpDownDirection::Up, UpDownDirection::Down}));
}

TEST(UpDown, ArrowButtonsAreTheClicks) {
    UpDown upDown;
    upDown.resize(20, 40);
    std::vector<UpDownDirection> seen;
    QObject::connect(&upDown, &UpDown::changingEx,
                     [&](UpDownDirection direction) { seen.push_back(direction); });
    upDown.findChild<QToolButton*>("up")->click();
    EXPECT_EQ(seen, std::vector<UpDownDirection>{UpDownDirection::Up});
}

TEST(ScrollBar, PositionChangesFromCodeAreReportedOnceEach) {
    ScrollBar bar(Qt::Horizontal);
    bar.setRange(0, 32767);
    std::vector<int> positions;
    QObject::connect(&bar, &ScrollBar::positionChanged, [&](int p) { positions.push_back(p); });
    bar.setValue(100);
    bar.setValue(100);
    bar.setValue(40000);  // the bar holds 0 … 32767
    EXPECT_EQ(positions, (std::vector<int>{100, 32767}));
}

TEST(ScrollBar, AnArrowClickReportsTheStepAndThenTheEndOfScroll) {
    ScrollBar bar(Qt::Horizontal);
    bar.setRange(0, 32767);
    bar.setSingleStep(16);
    bar.resize(200, 18);
    bar.show();
    QApplication::processEvents();
    std::vector<ScrollCode> codes;
    QObject::connect(&bar, &ScrollBar::scrolled, [&](ScrollCode code) { codes.push_back(code); });
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(195, 9));
    EXPECT_EQ(bar.value(), 16);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), ScrollCode::LineDown);
    EXPECT_EQ(codes.back(), ScrollCode::EndScroll);
}

TEST(ScrollBar, DraggingTheThumbTracksThenReportsItsPositionAndTheEndOfScroll) {
    ScrollBar bar(Qt::Horizontal);
    bar.setRange(0, 32767);
    bar.setPageStep(50);
    bar.resize(200, 18);
    bar.show();
    QApplication::processEvents();
    std::vector<ScrollCode> codes;
    QObject::connect(&bar, &ScrollBar::scrolled, [&](ScrollCode code) { codes.push_back(code); });
    // The thumb stands at the start, right after the left arrow.
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = Qt::Horizontal;
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.pageStep = bar.pageStep();
    option.singleStep = bar.singleStep();
    const QPoint thumb =
        bar.style()
            ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar)
            .center();
    QTest::mousePress(&bar, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(&bar, thumb + QPoint(60, 0));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, thumb + QPoint(60, 0));
    EXPECT_GT(bar.value(), 0);
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(codes.front(), ScrollCode::ThumbTrack);
    EXPECT_EQ(codes[codes.size() - 2], ScrollCode::ThumbPosition);
    EXPECT_EQ(codes.back(), ScrollCode::EndScroll);
}

TEST(ScrollBar, AWheelTurnThatMovesTheBarEndsItsOwnGesture) {
    ScrollBar bar(Qt::Horizontal);
    bar.setRange(0, 32767);
    bar.setSingleStep(16);
    bar.setValue(1000);
    std::vector<ScrollCode> codes;
    int endsSeen = 0;
    int valueAtEnd = -1;
    QObject::connect(&bar, &ScrollBar::scrolled, [&](ScrollCode code) {
        codes.push_back(code);
        if (code == ScrollCode::EndScroll) {
            ++endsSeen;
            valueAtEnd = bar.value();
        }
    });
    const auto turn = [&](int delta) {
        QWheelEvent wheel(QPointF(10, 9), QPointF(10, 9), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&bar, &wheel);
    };
    turn(-120);
    EXPECT_NE(bar.value(), 1000);
    EXPECT_EQ(endsSeen, 1);
    EXPECT_EQ(valueAtEnd, bar.value()) << "the end comes after the move";

    // At the end of its range the bar does not move, and no gesture ends.
    bar.setValue(bar.value() < 1000 ? 0 : 32767);
    turn(-120);
    EXPECT_EQ(endsSeen, 1);
}

TEST(ScrollBar, OnlyTheReleaseOfAScrollingKeyEndsAGesture) {
    ScrollBar bar(Qt::Horizontal);
    int ends = 0;
    QObject::connect(&bar, &ScrollBar::scrolled,
                     [&](ScrollCode code) { ends += code == ScrollCode::EndScroll ? 1 : 0; });
    const auto release = [&](int key, bool autoRepeat) {
        QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(&bar, &event);
    };
    release(Qt::Key_Tab, false);
    release(Qt::Key_A, false);
    release(Qt::Key_Right, true);
    EXPECT_EQ(ends, 0);
    release(Qt::Key_Right, false);
    release(Qt::Key_PageDown, false);
    release(Qt::Key_Home, false);
    EXPECT_EQ(ends, 3);
}

TEST(ExitEdit, LosingFocusToAnotherWindowOrAMenuIsNotLeavingTheField) {
    ExitEdit edit;
    int exits = 0;
    QObject::connect(&edit, &ExitEdit::exited, [&] { ++exits; });
    for (Qt::FocusReason reason :
         {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason, Qt::MenuBarFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(&edit, &out);
    }
    EXPECT_EQ(exits, 0);
    for (Qt::FocusReason reason :
         {Qt::MouseFocusReason, Qt::TabFocusReason, Qt::BacktabFocusReason, Qt::OtherFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(&edit, &out);
    }
    EXPECT_EQ(exits, 4);
}

TEST(ExitEdit, LeavingForAnotherControlReportsTheExit) {
    QWidget window;
    auto* first = new ExitEdit(&window);
    auto* second = new ExitEdit(&window);
    second->move(0, 30);
    int exits = 0;
    QObject::connect(first, &ExitEdit::exited, [&] { ++exits; });
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    first->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    if (!first->hasFocus()) {
        GTEST_SKIP() << "this platform plugin gives no keyboard focus";
    }
    second->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(exits, 1);
}

TEST(ScrollBar, ClickingTheBarTakesFocusSoTheEditedFieldIsLeft) {
    QWidget window;
    auto* edit = new ExitEdit(&window);
    auto* bar = new ScrollBar(Qt::Horizontal, &window);
    bar->setRange(0, 32767);
    bar->setGeometry(0, 40, 200, 18);
    int exits = 0;
    QObject::connect(edit, &ExitEdit::exited, [&] { ++exits; });
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    edit->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    if (!edit->hasFocus()) {
        GTEST_SKIP() << "this platform plugin gives no keyboard focus";
    }
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(195, 9));
    EXPECT_TRUE(bar->hasFocus());
    EXPECT_EQ(exits, 1);
}

TEST(ScrollBar, KeysStepAsOnThePlatformAndTheirReleaseEndsTheGesture) {
    ScrollBar bar(Qt::Horizontal);
    bar.setRange(0, 32767);
    bar.setSingleStep(16);
    bar.setPageStep(50);
    bar.setValue(1000);
    std::vector<ScrollCode> codes;
    QObject::connect(&bar, &ScrollBar::scrolled, [&](ScrollCode code) { codes.push_back(code); });
    struct Case {
        Qt::Key key;
        ScrollCode code;
        int value;
    };
    const Case cases[] = {
        {Qt::Key_Right, ScrollCode::LineDown, 1016},    {Qt::Key_Down, ScrollCode::LineDown, 1032},
        {Qt::Key_Left, ScrollCode::LineUp, 1016},       {Qt::Key_Up, ScrollCode::LineUp, 1000},
        {Qt::Key_PageDown, ScrollCode::PageDown, 1050}, {Qt::Key_PageUp, ScrollCode::PageUp, 1000},
        {Qt::Key_End, ScrollCode::Bottom, 32767},       {Qt::Key_Home, ScrollCode::Top, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        codes.clear();
        QTest::keyClick(&bar, c.key);
        EXPECT_EQ(bar.value(), c.value);
        EXPECT_EQ(codes, (std::vector<ScrollCode>{c.code, ScrollCode::EndScroll}));
    }
}

}  // namespace
}  // namespace kelvane
