#include "lattice/FlowLayoutWidget.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

namespace {

Lattice::FlowLayoutInfo TileInfo()
{
    Lattice::FlowLayoutInfo info;
    info.margins = QMargins(0, 0, 0, 24);
    info.horizontal_spacing = 4;
    info.vertical_spacing = 4;
    info.item_size = QSize(175, 131);
    return info;
}

} // namespace

TEST(FlowLayoutWidget, ColumnsRowsAndHeightFollowTheWidth)
{
    Lattice::CFlowLayoutWidget flow;
    flow.SetLayoutInfo(TileInfo());
    EXPECT_EQ(flow.heightForWidth(800), 24); // margins only
    for (int i = 0; i < 10; ++i)
        flow.AddWidget(new QWidget);
    // n columns need n * 175 + (n - 1) * 4 pixels; never fewer than one column.
    EXPECT_EQ(flow.GetColumnCount(711), 3);
    EXPECT_EQ(flow.GetColumnCount(712), 4);
    EXPECT_EQ(flow.GetColumnCount(50), 1);
    EXPECT_EQ(flow.heightForWidth(716), 3 * 131 + 2 * 4 + 24);
    EXPECT_EQ(flow.heightForWidth(50), 10 * 131 + 9 * 4 + 24);

    flow.resize(716, flow.heightForWidth(716));
    flow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&flow));
    EXPECT_EQ(flow.WidgetAt(5)->geometry(), QRect(179, 135, 175, 131));
    // An insertion shifts the later items by one cell; a removal closes the gap.
    QWidget *sixth = flow.WidgetAt(5);
    auto *first = new QWidget;
    flow.InsertWidget(0, first);
    QTest::qWait(0);
    EXPECT_EQ(flow.WidgetAt(6), sixth);
    EXPECT_EQ(sixth->geometry(), QRect(358, 135, 175, 131));
    EXPECT_EQ(first->geometry().topLeft(), QPoint(0, 0));
    flow.RemoveWidget(first);
    EXPECT_EQ(flow.Count(), 10);
    QTest::qWait(0);
    EXPECT_EQ(flow.WidgetAt(5)->geometry(), QRect(179, 135, 175, 131));
}

TEST(FlowLayoutWidget, GrowsItsScrollAreaAsItemsArrive)
{
    QScrollArea area;
    area.setWidgetResizable(true);
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *flow = new Lattice::CFlowLayoutWidget;
    flow->SetLayoutInfo(TileInfo());
    layout->addWidget(flow);
    layout->addStretch();
    area.setWidget(content);
    area.resize(400, 300);
    area.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&area));
    for (int i = 0; i < 12; ++i)
        flow->AddWidget(new QWidget);
    // Two columns fit in 400 pixels less the scroll bar: six rows.
    TVS_WAIT_EQ(flow->height(), 6 * 131 + 5 * 4 + 24, 5000);
    EXPECT_GT(area.verticalScrollBar()->maximum(), 0);
}
