#include "views/VideoBackWidget.h"
#include "views/VideoSingleRecordWidget.h"
#include "views/VideoSplitRecordWidget.h"

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace TeskVideoSearch;

namespace {

constexpr int kWaitMs = 5000;

VideoSplitInfo Step(const QString &name, const QSize &picture = {320, 180})
{
    VideoSplitInfo record;
    record.record_name = name;
    record.record_image = QImage(picture, QImage::Format_RGB32);
    record.record_image.fill(QColor(70, 110, 160));
    record.split_time_duration = 600;
    return record;
}

QRect GlobalRect(const QWidget *widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

class BackBar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TeskResources::Register();
        window_.setGeometry(40, 40, 480, 120);
        bar_ = new CVideoBackWidget(&window_);
        bar_->setGeometry(10, 10, 460, 32);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    void AddSteps(int count)
    {
        for (int i = 0; i < count; ++i)
            bar_->AddRecord(Step(QStringLiteral("Step %1").arg(i)));
    }

    CVideoSplitRecordWidget *Popup() const { return bar_->findChild<CVideoSplitRecordWidget *>(); }

    QWidget *Part(const char *name) const
    {
        return bar_->findChild<QWidget *>(QString::fromLatin1(name));
    }

    QWidget window_;
    CVideoBackWidget *bar_ = nullptr;
};

TEST_F(BackBar, ChainOfThreeStepsSizesThePopupAndAnswersRecords)
{
    EXPECT_FALSE(bar_->isVisible());
    AddSteps(3);
    EXPECT_TRUE(bar_->isVisible());
    EXPECT_EQ(bar_->CurrentIndex(), 2);

    QTest::mouseClick(Part("ptr_right_widget_"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Popup()->isVisible(); }, kWaitMs));
    // Laid out, every step gets its full height and the last one is not cut off.
    const auto steps = Popup()->findChildren<CVideoSingleRecordWidget *>();
    ASSERT_EQ(steps.size(), 3);
    auto *list = Popup()->findChild<QWidget *>("ptr_list_widget_");
    for (const CVideoSingleRecordWidget *step : steps)
        EXPECT_EQ(step->height(), CVideoSplitRecordWidget::kRecordHeight);
    EXPECT_EQ(list->height(), Popup()->ListHeight());
    auto *panel = Popup()->findChild<QWidget *>("CVideoSplitRecordWidgetUI");
    EXPECT_LE(GlobalRect(list).bottom(), GlobalRect(panel).bottom());
    EXPECT_GE(GlobalRect(list).top(),
              GlobalRect(Popup()->findChild<QWidget *>("ptr_root_widget_")).bottom());

    EXPECT_EQ(bar_->Record(1).record_name, "Step 1");
    EXPECT_EQ(bar_->Record(1).split_time_duration, 600);
    for (int out_of_range : {5, 3, -1}) {
        const VideoSplitInfo empty = bar_->Record(out_of_range);
        EXPECT_TRUE(empty.record_name.isEmpty()) << out_of_range;
        EXPECT_TRUE(empty.record_image.isNull()) << out_of_range;
        EXPECT_EQ(empty.split_time_duration, 0) << out_of_range;
    }
}

TEST_F(BackBar, PopupOpensUnderTheRightPartOrAboveItNearTheScreenBottom)
{
    AddSteps(2);
    QWidget *right = Part("ptr_right_widget_");
    QTest::mouseClick(right, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Popup()->isVisible(); }, kWaitMs));
    EXPECT_EQ(right->objectName(), "ptr_enter_right_widget_");
    const QRect panel = GlobalRect(Popup()->findChild<QWidget *>("CVideoSplitRecordWidgetUI"));
    EXPECT_EQ(panel.top(), GlobalRect(right).bottom() + 1 + CVideoBackWidget::kPopupGap);
    EXPECT_EQ(panel.left(), GlobalRect(right).left());
    Popup()->hide();
    EXPECT_EQ(Part("ptr_right_widget_"), right);

    bar_->setLayoutDirection(Qt::RightToLeft);
    QTest::mouseClick(right, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Popup()->isVisible(); }, kWaitMs));
    EXPECT_EQ(GlobalRect(Popup()->findChild<QWidget *>("CVideoSplitRecordWidgetUI")).right(),
              GlobalRect(right).right());
    Popup()->hide();

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    window_.move(40, screen.bottom() - 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return GlobalRect(right).bottom() > screen.bottom() - 60; },
                                kWaitMs));
    QTest::mouseClick(right, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Popup()->isVisible(); }, kWaitMs));
    const QRect above = GlobalRect(Popup()->findChild<QWidget *>("CVideoSplitRecordWidgetUI"));
    EXPECT_EQ(above.bottom() + 1 + CVideoBackWidget::kPopupGap, GlobalRect(right).top());
}

TEST_F(BackBar, SteppingBackWalksTheChainToTheFirstResult)
{
    AddSteps(3);
    QSignalSpy changed(bar_, &CVideoBackWidget::SignalBackRecordChanged);
    QSignalSpy left(bar_, &CVideoBackWidget::SignalLeftWidgetClicked);
    auto *name = bar_->findChild<QLabel *>("ptr_right_text_label_");

    QTest::mouseClick(Part("ptr_left_widget_"), Qt::LeftButton);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.takeFirst().at(0).toInt(), 1);
    EXPECT_EQ(left.count(), 1);
    EXPECT_EQ(name->text(), "Step 1");
    // The name is shown whole.
    EXPECT_GE(name->width(), name->fontMetrics().horizontalAdvance(name->text()));
    EXPECT_TRUE(bar_->Record(2).record_name.isEmpty());

    QTest::mouseClick(Part("ptr_left_widget_"), Qt::LeftButton);
    QTest::mouseClick(Part("ptr_left_widget_"), Qt::LeftButton);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 0);
    EXPECT_EQ(changed.at(1).at(0).toInt(), -1);
    EXPECT_FALSE(bar_->isVisible());

    // A new chain starts from scratch.
    AddSteps(1);
    EXPECT_TRUE(bar_->isVisible());
    EXPECT_EQ(Popup()->RecordCount(), 1);
}

TEST_F(BackBar, ChoosingFromThePopupReportsTheStepOrTheRoot)
{
    AddSteps(3);
    QSignalSpy changed(bar_, &CVideoBackWidget::SignalBackRecordChanged);
    QTest::mouseClick(Part("ptr_right_widget_"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Popup()->isVisible(); }, kWaitMs));
    const auto steps = Popup()->findChildren<CVideoSingleRecordWidget *>();
    QWidget *content = steps.at(0)->findChild<QWidget *>("ptr_content_widget_");
    ASSERT_NE(content, nullptr);
    // Qt drops a move to where the pointer already is; start from elsewhere.
    QTest::mouseMove(&window_, QPoint(1, 1));
    QTest::mouseMove(content, QPoint(20, 20));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return content->objectName() == "ptr_hover_content_widget_"; }, kWaitMs));
    QTest::mouseClick(content, Qt::LeftButton);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 0);
    EXPECT_FALSE(Popup()->isVisible());
    EXPECT_EQ(bar_->CurrentIndex(), 0);
    // Closing the list gives the right part its plain look back.
    EXPECT_EQ(Part("ptr_right_widget_")->objectName(), "ptr_right_widget_");

    QTest::mouseClick(Part("ptr_right_widget_"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Popup()->isVisible(); }, kWaitMs));
    QTest::mouseClick(Popup()->findChild<QWidget *>("ptr_root_back_label_"), Qt::LeftButton);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(0).toInt(), -1);
    EXPECT_FALSE(bar_->isVisible());
    EXPECT_EQ(Popup()->RecordCount(), 0);
}

TEST(SingleRecordWidget, PictureKeepsItsShapeAndPressReportsTheIndex)
{
    CVideoSingleRecordWidget step;
    step.resize(240, 60);
    QSignalSpy clicked(&step, &CVideoSingleRecordWidget::SignalRecordWidgetClicked);
    auto *image = step.findChild<QLabel *>("ptr_image_label_");
    step.SetRecord(Step("Wide"), 4);
    EXPECT_EQ(image->pixmap(Qt::ReturnByValue).size(), QSize(64, 36));
    step.SetRecord(Step("Square", {100, 100}), 4);
    EXPECT_EQ(image->pixmap(Qt::ReturnByValue).size(), QSize(36, 36));
    step.SetRecord(Step("None", {0, 0}), 4);
    EXPECT_FALSE(image->pixmap(Qt::ReturnByValue).isNull());
    EXPECT_EQ(step.Record().record_name, "None");

    QTest::mouseClick(step.findChild<QWidget *>("ptr_text_label_"), Qt::LeftButton);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 4);
    QTest::mouseClick(step.findChild<QWidget *>("ptr_text_label_"), Qt::RightButton);
    EXPECT_EQ(clicked.count(), 1);
}

} // namespace
