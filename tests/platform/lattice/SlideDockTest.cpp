#include "lattice/SlideDock.h"
#include "uidatacontroller/DownloadSlideWidgetPosRule.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

namespace {

TEST(SlideDock, SlidesOverTheOwnersRightSideAndHides)
{
    QWidget owner;
    owner.resize(900, 500);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    auto *panel = new QWidget;
    EXPECT_FALSE(Lattice::IsShowDockWidget(&owner));

    Lattice::CSlideOutData data;
    data.ptr_dock_widget = panel;
    data.ptr_pos_rule =
        std::make_shared<tesk_ui_data_controller::CDownloadSlideWidgetPosRule>(&owner);
    data.slide_width = 528;
    Lattice::ShowDockWidget(data);
    EXPECT_TRUE(Lattice::IsShowDockWidget(&owner));
    QWidget *frame = panel->parentWidget();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->parentWidget(), &owner);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return frame->geometry() == QRect(900 - 528, 0, 528, 500); }, 5000));

    // It follows the owner's size, and is never wider than the owner.
    owner.resize(400, 300);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->geometry() == QRect(0, 0, 400, 300); }, 5000));

    QTest::keyClick(frame, Qt::Key_Escape);
    EXPECT_FALSE(Lattice::IsShowDockWidget(&owner));

    // Shown again, the same frame carries it; its close button hides it.
    Lattice::ShowDockWidget(data);
    EXPECT_EQ(panel->parentWidget(), frame);
    EXPECT_TRUE(Lattice::IsShowDockWidget(&owner));
    auto *close = frame->findChild<QToolButton *>("ptr_dock_close_btn_");
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(Lattice::IsShowDockWidget(&owner));
}

TEST(SlideDock, IncompleteDataShowsNothing)
{
    QWidget owner;
    owner.show();
    Lattice::CSlideOutData data;
    data.ptr_pos_rule =
        std::make_shared<tesk_ui_data_controller::CDownloadSlideWidgetPosRule>(&owner);
    Lattice::ShowDockWidget(data);
    Lattice::HideDockWidget(nullptr);
    EXPECT_FALSE(Lattice::IsShowDockWidget(&owner));
    EXPECT_FALSE(Lattice::IsShowDockWidget(nullptr));
}

} // namespace
