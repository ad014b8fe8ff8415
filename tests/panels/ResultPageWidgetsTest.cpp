#include "Screenshot.h"
#include "WaitFor.h"
#include "panels/CustomMultiComBox.h"
#include "panels/CustomTabBarFrame.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

using namespace TeskVideoSearch;

namespace {

class CameraFilter : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 0; i < 5; ++i)
            filter_.AddCheckItem(QString("Camera %1").arg(i + 1), i);
        filter_.resize(200, 28);
        filter_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&filter_));
    }

    void OpenList()
    {
        filter_.showPopup();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(filter_.view()->window()));
    }
    void ClickRow(int row)
    {
        QAbstractItemView *view = filter_.view();
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void CloseList()
    {
        QTest::keyClick(filter_.view(), Qt::Key_Escape);
        TVS_WAIT_TRUE(!filter_.view()->isVisible(), 5000);
    }

    CCustomMultiComBox filter_;
};

TEST_F(CameraFilter, OneSignalPerClosingWithTheTickedItems)
{
    QSignalSpy changed(&filter_, &CCustomMultiComBox::SignalCheckedItemChanged);
    struct Opening
    {
        std::vector<int> clicks;
        int signals_after;
        QVariantList checked;
    };
    const Opening openings[] = {
        {{0, 2, 3}, 1, {0, 2, 3}},
        {{}, 1, {0, 2, 3}},     // opened and closed without a change: no signal
        {{3, 3}, 2, {0, 2, 3}}, // ticked back: still a change of this opening
        {{2, 4}, 3, {0, 3, 4}},
    };
    for (const Opening &o : openings) {
        OpenList();
        for (int row : o.clicks) {
            ClickRow(row);
            EXPECT_TRUE(filter_.view()->isVisible()) << "a click keeps the list open";
        }
        EXPECT_EQ(changed.count(), o.signals_after - (o.clicks.empty() ? 0 : 1));
        TestSupport::SaveShot(filter_.view()->window(), "cond-filter-list.png");
        CloseList();
        EXPECT_EQ(changed.count(), o.signals_after);
        EXPECT_EQ(filter_.GetCheckedData(), o.checked);
    }
    EXPECT_EQ(filter_.GetCheckedTexts(), (QStringList{"Camera 1", "Camera 4", "Camera 5"}));
    TestSupport::SaveShot(&filter_, "cond-filter.png");
}

TEST_F(CameraFilter, ProgrammaticTicksReportAtTheNextClosing)
{
    QSignalSpy changed(&filter_, &CCustomMultiComBox::SignalCheckedItemChanged);
    filter_.SetItemChecked(1, true);
    EXPECT_EQ(changed.count(), 0);
    OpenList();
    CloseList();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(filter_.IsItemChecked(1));
}

TEST(TabBarFrame, AdjustWidthFollowsTheTabs)
{
    CCustomTabBarFrame frame;
    EXPECT_EQ(frame.GetTabbarAdjustWidth(), 1);
    auto *bar = frame.CreateTabBar();
    bar->addTab("All");
    const int one = frame.GetTabbarAdjustWidth();
    EXPECT_EQ(one, bar->sizeHint().width() + 1);
    bar->addTab("Manual tag (1234)");
    const int two = frame.GetTabbarAdjustWidth();
    EXPECT_EQ(two, bar->width() + 1);
    EXPECT_GT(two, one);
    EXPECT_EQ(frame.CreateTabBar(), bar);
    frame.resize(two + 40, bar->sizeHint().height());
    TestSupport::SaveShot(&frame, "cond-tabbar.png");
}

} // namespace
