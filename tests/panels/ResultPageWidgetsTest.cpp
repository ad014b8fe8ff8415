#include "Screenshot.h"
#include "WaitFor.h"
#include "panels/CustomMultiComBox.h"
#include "panels/CustomTabBarFrame.h"

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
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

// The client's style paints the tab texts at 14 px, the current one demi-bold, inside 12 px of
// padding on either side; the bar must measure them so whatever the application's font (9 pt
// on an X server, 12 pt offscreen), or the texts are clipped at both ends.
TEST(TabBarFrame, EveryTabHoldsItsTextInTheClientStyle)
{
    struct Restore
    {
        QFont font = QApplication::font();
        QString sheet = qApp->styleSheet();
        ~Restore()
        {
            QApplication::setFont(font);
            qApp->setStyleSheet(sheet);
        }
    } restore;
    qApp->setStyleSheet(TeskResources::ClientStyleSheet());
    QFont plain;
    plain.setPixelSize(14);
    QFont bold = plain;
    bold.setWeight(QFont::DemiBold);
    constexpr int kPadding = 2 * 12;
    const QStringList texts = {"All Recordings(350)", "Person(403)", "Event Tag(35)",
                               "Manual Tag(1234)", "Other Tag(35)"};
    for (const qreal points : {9.0, 12.0}) {
        SCOPED_TRACE(points);
        QFont font = restore.font;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        CCustomTabBarFrame frame;
        auto *bar = frame.CreateTabBar();
        for (const QString &text : texts)
            bar->addTab(text);
        frame.setFixedWidth(frame.GetTabbarAdjustWidth());
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        // Every tab becomes the current one in turn; none may clip its text then.
        for (int current = 0; current < bar->count(); ++current) {
            bar->setCurrentIndex(current);
            for (int i = 0; i < bar->count(); ++i) {
                const QFontMetrics painted(i == current ? bold : plain);
                const int needed = painted.horizontalAdvance(bar->tabText(i)) + kPadding;
                EXPECT_GE(bar->tabRect(i).width(), needed)
                    << bar->tabText(i).toStdString() << " with tab " << current << " current";
            }
        }
        EXPECT_LE(bar->tabRect(bar->count() - 1).right(), frame.width());
        TestSupport::SaveShot(&frame,
                              points < 10 ? "tabbar-small-font.png" : "tabbar-large-font.png");
    }
}

} // namespace
