#include "panels/SearchCalendarWidget.h"
#include "WaitFor.h"

#include "PanelsTestSupport.h"

#include "plexacontrol/BeginEndCalendarTimePopup.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace TeskVideoSearch;

namespace {

constexpr qint64 kDay = 86400;

class SearchCalendar : public ::testing::Test
{
protected:
    void SetUp() override
    {
        calendar_.Init();
        calendar_.AddTimeRanges(
            {RangeLastSixHours, RangeToday, RangeYesterday, RangeLastSevenDays, RangeCustom});
        calendar_.resize(260, 30);
        calendar_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&calendar_));
    }

    // Chooses an entry the way the operator does: opens the list and clicks the row.
    void ChooseRow(int row)
    {
        calendar_.showPopup();
        QAbstractItemView *view = calendar_.view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseMove(view->viewport(), rect.center());
        view->setCurrentIndex(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }

    CSearchCalendarWidget calendar_;
};

TEST_F(SearchCalendar, PeriodOfEachEntry)
{
    struct Case
    {
        TimeRangeType type;
        int begin_days_back; // from today, at 00:00:00
        int end_days_back;   // from today, at 23:59:59
    };
    const Case cases[] = {{RangeToday, 0, 0}, {RangeYesterday, 1, 1}, {RangeLastSevenDays, 6, 0}};
    for (const Case &c : cases) {
        calendar_.setCurrentIndex(calendar_.GetTimeRangeIndex(c.type));
        QDateTime begin, end;
        QDate today;
        do {
            today = QDate::currentDate();
            ASSERT_TRUE(calendar_.GetTime(begin, end));
        } while (today != QDate::currentDate());
        EXPECT_EQ(begin, QDateTime(today.addDays(-c.begin_days_back), QTime(0, 0, 0))) << c.type;
        EXPECT_EQ(end, QDateTime(today.addDays(-c.end_days_back), QTime(23, 59, 59))) << c.type;
        EXPECT_EQ(calendar_.GetTimeZoneMode(), OrlSearchTimeType::ClientTime);
    }

    calendar_.setCurrentIndex(calendar_.GetTimeRangeIndex(RangeLastSixHours));
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    QDateTime begin, end;
    calendar_.GetTime(begin, end);
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    EXPECT_EQ(end.toSecsSinceEpoch() - begin.toSecsSinceEpoch(), 6 * 3600);
    EXPECT_GE(end.toSecsSinceEpoch(), before);
    EXPECT_LE(end.toSecsSinceEpoch(), after);
}

TEST_F(SearchCalendar, CustomPeriodFollowsTheHostTimeZoneMode)
{
    auto &directory = OrlPluginManager::CCameraDirectory::Instance();
    const auto saved = directory.GeneralConfig();
    auto config = saved;
    config.time_zone_type = OrlSearchTimeType::DeviceTime;
    directory.SetGeneralConfig(config);
    const QDateTime begin(QDate(2026, 3, 1), QTime(8, 0, 0));
    calendar_.SetCustomTime(begin, begin.addSecs(3600));
    QDateTime got_begin, got_end;
    calendar_.GetTime(got_begin, got_end);
    EXPECT_EQ(got_begin, begin);
    EXPECT_EQ(got_end, begin.addSecs(3600));
    EXPECT_EQ(calendar_.GetTimeZoneMode(), OrlSearchTimeType::DeviceTime);
    calendar_.setCurrentIndex(calendar_.GetTimeRangeIndex(RangeToday));
    EXPECT_EQ(calendar_.GetTimeZoneMode(), OrlSearchTimeType::ClientTime);
    directory.SetGeneralConfig(saved);
}

TEST_F(SearchCalendar, ChoosingCustomOpensThePopupUntilAnotherEntryOrAPressOutside)
{
    QWidget elsewhere;
    elsewhere.setGeometry(900, 600, 100, 100); // away from the combo and its pop-up
    elsewhere.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&elsewhere));
    QSignalSpy changed(&calendar_, &CSearchCalendarWidget::SignalTimeChanged);
    ChooseRow(calendar_.GetTimeRangeIndex(RangeCustom));
    TVS_WAIT_TRUE(calendar_.GetPopup() && calendar_.GetPopup()->isVisible(), 5000);
    EXPECT_TRUE(calendar_.isEditable());
    EXPECT_EQ(changed.count(), 0);
    auto *popup = qobject_cast<PlexaControl::CBeginEndCalendarTimePopup *>(calendar_.GetPopup());
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->GetBeginDateTime(), QDateTime(QDate::currentDate(), QTime(0, 0, 0)));
    EXPECT_EQ(popup->GetEndDateTime(), QDateTime(QDate::currentDate(), QTime(23, 59, 59)));
    // Below the combo, fitted into the screen.
    EXPECT_GE(popup->y(), calendar_.mapToGlobal(QPoint(0, 0)).y());
    // A press on the popup itself keeps it.
    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(popup->isVisible());

    // Another entry closes it and reports the change.
    ChooseRow(calendar_.GetTimeRangeIndex(RangeToday));
    TVS_WAIT_EQ(changed.count(), 1, 5000);
    EXPECT_FALSE(calendar_.isEditable());
    TVS_WAIT_TRUE(!popup->isVisible(), 5000);

    // So does a press elsewhere.
    ChooseRow(calendar_.GetTimeRangeIndex(RangeCustom));
    TVS_WAIT_TRUE(popup->isVisible(), 5000);
    QTest::mouseClick(&elsewhere, Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_FALSE(popup->isVisible());
}

TEST_F(SearchCalendar, RangeLongerThanTheLimitKeepsTheOldOne)
{
    calendar_.SetMaxCustomInterval(7);
    const QDateTime begin(QDate(2026, 5, 1), QTime(0, 0, 0));
    calendar_.SetCustomTime(begin, begin.addDays(1));
    const QString old_text = calendar_.lineEdit()->text();
    QSignalSpy changed(&calendar_, &CSearchCalendarWidget::SignalTimeChanged);
    QSignalSpy refused(&calendar_, &CSearchCalendarWidget::SignalMaxCustomTimeError);

    struct Case
    {
        qint64 span;
        bool accepted;
    };
    const Case cases[] = {{7 * kDay + 1, false}, {7 * kDay, true}};
    for (const Case &c : cases) {
        changed.clear();
        refused.clear();
        auto *popup =
            qobject_cast<PlexaControl::CBeginEndCalendarTimePopup *>(calendar_.GetPopup());
        ASSERT_TRUE(popup);
        const QDateTime from(QDate(2026, 6, 1), QTime(0, 0, 0));
        popup->GetBeginEdit()->setDateTime(from);
        popup->GetEndEdit()->setDateTime(from.addSecs(c.span));
        QTest::mouseClick(popup->GetOkButton(), Qt::LeftButton);
        QDateTime got_begin, got_end;
        calendar_.GetTime(got_begin, got_end);
        if (c.accepted) {
            EXPECT_EQ(changed.count(), 1) << c.span;
            EXPECT_EQ(refused.count(), 0) << c.span;
            EXPECT_EQ(got_end, from.addSecs(c.span));
            EXPECT_EQ(calendar_.lineEdit()->text(), calendar_.GetCustomText());
            EXPECT_EQ(calendar_.toolTip(), calendar_.GetCustomText());
        } else {
            EXPECT_EQ(changed.count(), 0) << c.span;
            ASSERT_EQ(refused.count(), 1) << c.span;
            EXPECT_FALSE(refused.first().first().toString().isEmpty());
            EXPECT_EQ(got_begin, begin) << c.span;
            EXPECT_EQ(got_end, begin.addDays(1)) << c.span;
            EXPECT_EQ(calendar_.lineEdit()->text(), old_text) << c.span;
        }
    }
    // Without a limit any range goes.
    calendar_.SetMaxCustomInterval(0);
    calendar_.OnTimeEditChanged(begin, begin.addDays(90));
    EXPECT_EQ(refused.count(), 0);
    QDateTime got_begin, got_end;
    calendar_.GetTime(got_begin, got_end);
    EXPECT_EQ(got_end, begin.addDays(90));
}

TEST_F(SearchCalendar, ResetCustomIntervalGoesBackToToday)
{
    calendar_.ResetCustomIntervalTime(); // no pop-up yet: nothing to reset
    const QDateTime begin(QDate(2026, 2, 1), QTime(0, 0, 0));
    calendar_.SetCustomTime(begin, begin.addDays(2));
    calendar_.ResetCustomIntervalTime();
    QDateTime got_begin, got_end;
    calendar_.GetTime(got_begin, got_end);
    EXPECT_EQ(got_begin, QDateTime(QDate::currentDate(), QTime(0, 0, 0)));
    EXPECT_EQ(got_end, QDateTime(QDate::currentDate(), QTime(23, 59, 59)));
    auto *popup = qobject_cast<PlexaControl::CBeginEndCalendarTimePopup *>(calendar_.GetPopup());
    EXPECT_EQ(popup->GetBeginDateTime(), got_begin);
}

} // namespace
