#include "views/VideoOperationWidget.h"
#include "views/SegmentNumWidget.h"

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <functional>

using namespace TeskVideoSearch;

namespace {

constexpr int kWaitMs = 5000;

bool WaitFor(const std::function<bool()> &condition)
{
    return QTest::qWaitFor(condition, kWaitMs);
}

CVideoOperationWidget &Popup()
{
    return PlexaControl::CUiSingleton<CVideoOperationWidget>::Instance();
}

SplitTimeLabelMap Lengths(std::initializer_list<SecondSplitTimeType> types)
{
    SplitTimeLabelMap map;
    for (SecondSplitTimeType type : types)
        map[type] = QStringLiteral("length %1").arg(int(type));
    return map;
}

CVideoOperationInitParam Param(bool show_split, bool split_enable, bool show_search,
                               bool search_enable)
{
    CVideoOperationInitParam param;
    param.SetVal_is_show_split_btn(show_split);
    param.SetVal_split_enable(split_enable);
    param.SetVal_is_show_search_btn(show_search);
    param.SetVal_search_btn_enable(search_enable);
    param.SetVal_split_invisble_tooltip(QStringLiteral("split is not possible here"));
    param.SetVal_search_invisble_tooltip(QStringLiteral("search is not possible here"));
    param.SetVal_map_split_time_type(
        Lengths({SplitOneMinute, SplitTenMinutes, SplitTwoMinutes, SplitFiveMinutes}));
    return param;
}

QWidget *Child(const char *name)
{
    return Popup().findChild<QWidget *>(QString::fromLatin1(name));
}

CSegmentNumWidget *Chooser()
{
    return Popup().findChild<CSegmentNumWidget *>();
}

class OperationPopup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TeskResources::Register();
        outside_.setGeometry(400, 300, 200, 150);
        outside_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&outside_));
        // Every case starts with the pointer away from the pop-up.
        QTest::mouseMove(&outside_, QPoint(100, 100));
    }

    void TearDown() override
    {
        Popup().ClearData();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::mouseMove(&outside_, QPoint(100, 100));
    }

    // Initialised and shown where a view would place it.
    void Open(CVideoOperationInitParam param)
    {
        Popup().InitWidgetParam(param);
        Popup().move(120, 160);
        Popup().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Popup()));
    }

    QWidget outside_;
};

TEST_F(OperationPopup, HeightAndVisibilityFollowTheShownRows)
{
    struct Case
    {
        bool split, search;
        bool visible;
        int height;
    };
    for (const Case &c : {Case{true, true, true, CVideoOperationWidget::kTwoRowsHeight},
                          Case{true, false, true, CVideoOperationWidget::kOneRowHeight},
                          Case{false, true, true, CVideoOperationWidget::kOneRowHeight},
                          Case{false, false, false, 0}}) {
        SCOPED_TRACE(testing::Message() << "split " << c.split << " search " << c.search);
        Popup().show();
        auto param = Param(c.split, true, c.search, true);
        Popup().InitWidgetParam(param);
        EXPECT_EQ(Popup().isVisible(), c.visible);
        EXPECT_EQ(Child("ptr_split_widget_")->isVisibleTo(&Popup()), c.split);
        EXPECT_EQ(Child("ptr_search_widget_")->isVisibleTo(&Popup()), c.search);
        if (c.visible) {
            EXPECT_EQ(Popup().height(), c.height);
            // Both rows fill the pop-up; neither is squeezed.
            EXPECT_EQ(Child(c.split ? "ptr_split_widget_" : "ptr_search_widget_")->height(), 32);
        }
    }
}

TEST_F(OperationPopup, DisabledSplitRowExplainsItselfAndIgnoresTheOperator)
{
    Open(Param(true, false, true, true));
    QSignalSpy split(&Popup(), &CVideoOperationWidget::SignalSecondSplitClicked);
    QSignalSpy search(&Popup(), &CVideoOperationWidget::SignalSecondSearchClicked);
    QWidget *row = Child("ptr_split_widget_");
    QWidget *name = Child("ptr_split_name_label_");
    for (QWidget *widget : {row, name, Child("ptr_split_imagel_label_")}) {
        EXPECT_FALSE(widget->isEnabled());
        EXPECT_EQ(widget->toolTip(), "split is not possible here");
    }
    QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), name->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(name, &help);
    EXPECT_EQ(QToolTip::text(), "split is not possible here");
    // The tip window must be gone before the pointer moves: it would take the pointer's events.
    QToolTip::hideText();
    ASSERT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }));

    QTest::mouseMove(name, QPoint(4, 4));
    ASSERT_TRUE(WaitFor([&] { return row->objectName() == QString("ptr_hover_split_widget_"); }));
    EXPECT_FALSE(Chooser()->isVisible());
    QTest::mouseClick(name, Qt::LeftButton);
    QTest::mouseDClick(row, Qt::LeftButton);
    QTest::mouseRelease(row, Qt::LeftButton);
    EXPECT_TRUE(Popup().isVisible());
    EXPECT_EQ(split.count(), 0);
    EXPECT_EQ(search.count(), 0);

    // The enabled search row keeps its own name as its tip.
    EXPECT_EQ(Child("ptr_search_widget_")->toolTip(),
              Popup().tr("Korv-ControlClient.846c0e77d1d54897bf272ab4eb7be3af.button"));
}

TEST_F(OperationPopup, EnteringTheSplitRowOpensTheChooserCentredAbove)
{
    Open(Param(true, true, true, false));
    QWidget *row = Child("ptr_split_widget_");
    QTest::mouseMove(row, QPoint(10, 10));
    ASSERT_TRUE(WaitFor([&] { return Chooser() && Chooser()->isVisible(); }));
    EXPECT_EQ(row->objectName(), "ptr_hover_split_widget_");
    const QRect chooser(Chooser()->mapToGlobal(QPoint()), Chooser()->size());
    const QPoint row_top = row->mapToGlobal(QPoint());
    EXPECT_EQ(chooser.bottom() + 1, row_top.y());
    EXPECT_LE(std::abs(chooser.center().x() - Popup().geometry().center().x()), 1);

    // The pointer may travel between the row and the chooser; elsewhere the chooser closes.
    QTest::mouseMove(Chooser(), QPoint(chooser.width() / 2, chooser.height() / 2));
    QTest::mouseMove(row, QPoint(10, 10));
    QTest::mouseMove(Chooser(), QPoint(chooser.width() / 2, chooser.height() / 2));
    EXPECT_TRUE(Chooser()->isVisible());
    QTest::mouseMove(&outside_, QPoint(50, 50));
    ASSERT_TRUE(WaitFor([&] { return !Chooser()->isVisible(); }));
    QTest::mouseMove(row, QPoint(10, 10));
    ASSERT_TRUE(WaitFor([&] { return Chooser()->isVisible(); }));

    // Leaving for the search row restores the look and closes the chooser.
    QTest::mouseMove(Child("ptr_search_name_label_"), QPoint(4, 4));
    ASSERT_TRUE(WaitFor([&] { return row->objectName() == QString("ptr_split_widget_"); }));
    ASSERT_TRUE(WaitFor([&] { return !Chooser()->isVisible(); }));
    EXPECT_EQ(Child("ptr_hover_search_widget_"), Child("ptr_search_name_label_")->parentWidget());
    EXPECT_EQ(Child("ptr_search_widget_"), nullptr);
    // A disabled search row keeps the operator's explanation as its tip.
    EXPECT_EQ(Child("ptr_hover_search_widget_")->toolTip(), "search is not possible here");
}

TEST_F(OperationPopup, ChoosingALengthClosesBothAndEmitsOnce)
{
    Open(Param(true, true, true, true));
    QSignalSpy split(&Popup(), &CVideoOperationWidget::SignalSecondSplitClicked);
    QSignalSpy search(&Popup(), &CVideoOperationWidget::SignalSecondSearchClicked);
    QTest::mouseMove(Child("ptr_split_widget_"), QPoint(10, 10));
    ASSERT_TRUE(WaitFor([&] { return Chooser() && Chooser()->isVisible(); }));

    auto *combo = Chooser()->findChild<QComboBox *>("ptr_time_lenght_combox_");
    ASSERT_NE(combo, nullptr);
    // Offered in key order: the longest length first.
    ASSERT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->itemText(0), "length 3");
    EXPECT_EQ(combo->itemText(3), "length 6");
    combo->showPopup();
    QAbstractItemView *list = Chooser()->View();
    ASSERT_TRUE(WaitFor([&] { return list->isVisible(); }));
    // The drop-down list lies outside the chooser: working in it must not close anything.
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_TRUE(Popup().isVisible());
    EXPECT_EQ(split.count(), 0);
    QTest::keyClick(list, Qt::Key_Return);

    ASSERT_TRUE(WaitFor([&] { return split.count() == 1; }));
    EXPECT_EQ(search.count(), 0);
    EXPECT_FALSE(Popup().isVisible());
    EXPECT_FALSE(Chooser()->isVisible());
    EXPECT_EQ(Popup().GetSecondSplitTimeType(), SplitTwoMinutes);
    QCoreApplication::processEvents();
    EXPECT_EQ(split.count(), 1);
}

TEST_F(OperationPopup, RowClicksEmitTheirOperation)
{
    Open(Param(true, true, true, true));
    QSignalSpy split(&Popup(), &CVideoOperationWidget::SignalSecondSplitClicked);
    QSignalSpy search(&Popup(), &CVideoOperationWidget::SignalSecondSearchClicked);
    QTest::mouseClick(Child("ptr_search_name_label_"), Qt::LeftButton);
    EXPECT_EQ(search.count(), 1);
    EXPECT_FALSE(Popup().isVisible());

    Open(Param(true, true, true, true));
    QTest::mouseClick(Child("ptr_split_imagel_label_"), Qt::LeftButton);
    EXPECT_EQ(split.count(), 1);
    EXPECT_EQ(search.count(), 1);
    EXPECT_FALSE(Popup().isVisible());
    // Without a choice the chooser's first entry, the longest length, applies.
    EXPECT_EQ(Popup().GetSecondSplitTimeType(), SplitTenMinutes);
}

TEST_F(OperationPopup, AClickOutsideClosesBothUntilCleared)
{
    Open(Param(true, true, true, true));
    QSignalSpy split(&Popup(), &CVideoOperationWidget::SignalSecondSplitClicked);
    QSignalSpy search(&Popup(), &CVideoOperationWidget::SignalSecondSearchClicked);
    QTest::mouseMove(Child("ptr_split_widget_"), QPoint(10, 10));
    ASSERT_TRUE(WaitFor([&] { return Chooser() && Chooser()->isVisible(); }));

    // Clicks on the pop-up's margin and on the chooser keep both open.
    QTest::mouseClick(&Popup(), Qt::LeftButton, {}, QPoint(2, 1));
    QTest::mouseClick(Chooser(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(Popup().isVisible());
    EXPECT_TRUE(Chooser()->isVisible());

    QTest::mouseClick(&outside_, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_FALSE(Popup().isVisible());
    EXPECT_FALSE(Chooser()->isVisible());
    EXPECT_EQ(split.count() + search.count(), 0);

    // Cleared: the application is no longer watched and the chooser is gone.
    Popup().ClearData();
    EXPECT_FALSE(Popup().property(CVideoOperationWidget::kInstallEventFilterProperty).toBool());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Chooser(), nullptr);
    EXPECT_EQ(Popup().GetSecondSplitTimeType(), SplitThreeHours);
    Popup().show();
    QTest::mouseClick(&outside_, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_TRUE(Popup().isVisible());

    // The next initialisation arms it again with a new chooser.
    Open(Param(true, true, false, false));
    EXPECT_TRUE(Popup().property(CVideoOperationWidget::kInstallEventFilterProperty).toBool());
    EXPECT_NE(Chooser(), nullptr);
    QTest::mouseClick(&outside_, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_FALSE(Popup().isVisible());
}

TEST(SegmentNumWidget, RefillingReportsNothingButAChoiceDoes)
{
    CSegmentNumWidget chooser;
    QSignalSpy changed(&chooser, &CSegmentNumWidget::SignalTimeTypeChanged);
    auto *combo = chooser.findChild<QComboBox *>("ptr_time_lenght_combox_");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(chooser.CurrentValue(), 0);
    chooser.SetItems(Lengths({SplitOneMinute, SplitHalfHour}));
    chooser.SetItems(Lengths({SplitFiveMinutes, SplitTwentyMinutes, SplitOneMinute}));
    EXPECT_EQ(changed.count(), 0);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(chooser.CurrentValue(), SplitTwentyMinutes);
    EXPECT_EQ(combo->itemData(2).toInt(), SplitOneMinute);

    // Refilling twice must not leave two connections behind.
    chooser.show();
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(chooser.CurrentValue(), SplitFiveMinutes);
}

} // namespace
