#include "uidatacontroller/ExpandCollapseWidget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

using tesk_ui_data_controller::CCommonExpandCollapseWidget;

struct Owner
{
    Owner()
    {
        window.resize(800, 400);
        auto *layout = new QHBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        column = new CCommonExpandCollapseWidget(&window);
        column->setMinimumWidth(200);
        column->setMaximumWidth(360);
        right = new QWidget(&window);
        layout->addWidget(column);
        layout->addWidget(right, 1);
        column->InitUI(&window, right);
        window.show();
    }
    QWidget window;
    CCommonExpandCollapseWidget *column = nullptr;
    QWidget *right = nullptr;
};

TEST(ExpandCollapseWidget, HandleFoldsAndUnfoldsAndOnlyTheOperatorIsAnnounced)
{
    Owner owner;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner.window));
    QSignalSpy announced(owner.column, &CCommonExpandCollapseWidget::SignalExpandCollapse);
    QToolButton *handle = owner.column->GetHandleButton();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle->parentWidget(), owner.right);
    EXPECT_TRUE(handle->isVisible());

    QTest::mouseClick(handle, Qt::LeftButton);
    EXPECT_FALSE(owner.column->IsExpanded());
    EXPECT_FALSE(owner.column->isVisible());
    QTest::mouseClick(handle, Qt::LeftButton);
    EXPECT_TRUE(owner.column->isVisible());
    ASSERT_EQ(announced.count(), 2);
    EXPECT_FALSE(announced.at(0).at(0).toBool());
    EXPECT_TRUE(announced.at(1).at(0).toBool());

    owner.column->SetExpandCollapseStatus(false);
    EXPECT_FALSE(owner.column->isVisible());
    EXPECT_EQ(announced.count(), 2);
    // The handle stays reachable on the neighbour's edge, vertically centred.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return handle->y() == (owner.right->height() - handle->height()) / 2; }, 5000));
}

TEST(ExpandCollapseWidget, DraggingTheEdgeResizesWithinItsRangeOnlyWhileResizable)
{
    Owner owner;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner.window));
    auto drag = [&](int dx) {
        const QPoint edge(owner.column->width() - 2, 100);
        QTest::mousePress(owner.column, Qt::LeftButton, {}, edge);
        QMouseEvent move(QEvent::MouseMove, edge + QPoint(dx, 0),
                         owner.column->mapToGlobal(edge + QPoint(dx, 0)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(owner.column, &move);
        QTest::mouseRelease(owner.column, Qt::LeftButton, {}, edge + QPoint(dx, 0));
    };
    drag(-500);
    EXPECT_TRUE(QTest::qWaitFor([&] { return owner.column->width() == 200; }, 5000));
    drag(60);
    EXPECT_TRUE(QTest::qWaitFor([&] { return owner.column->width() == 260; }, 5000));
    drag(1000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return owner.column->width() == 360; }, 5000));

    owner.column->setResizable(false);
    drag(-50);
    QApplication::sendPostedEvents();
    EXPECT_EQ(owner.column->width(), 360);
}

} // namespace
