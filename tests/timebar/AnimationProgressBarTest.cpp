#include "Screenshot.h"
#include "TimeBarTestSupport.h"

#include "lattice/NewInfoDlg.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QImage>
#include <QSet>
#include <QSignalSpy>

using namespace TeskVideoSearch;
using namespace TimeBarTest;

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 86;
constexpr int kWaitMs = 10000;
const float kUnits[] = {50400, 7200, 3600, 1800, 600, 300, 60};

class AnimationProgressBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar_ = std::make_unique<CClockedBar>();
        bar_->resize(kWidth, kHeight);
        bar_->SetLevelRange(CAnimationProgressBar::LevelSevenDays,
                            CAnimationProgressBar::LevelOneHour);
        CProgressBarTimeZoneParam utc;
        bar_->SetTimeZoneInfor(utc);
        bar_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar_.get()));
        bar_->SetPlayBackTime(kNoon);
    }
    void TearDown() override { bar_.reset(); }

    void Press(QPoint pos) { QTest::mousePress(bar_.get(), Qt::LeftButton, {}, pos); }
    void Release(QPoint pos) { QTest::mouseRelease(bar_.get(), Qt::LeftButton, {}, pos); }

    std::unique_ptr<CClockedBar> bar_;
};

// ---- geometry at every level --------------------------------------------------------------

class LevelGeometryTest : public AnimationProgressBarTest, public ::testing::WithParamInterface<int>
{};

TEST_P(LevelGeometryTest, WindowEdgesAndInstantsUnderX)
{
    const int level = GetParam();
    bar_->SetMaxAndMinLevel(CAnimationProgressBar::LevelSevenDays,
                            CAnimationProgressBar::LevelTwelveMinutes);
    bar_->SetCurrentLevel(static_cast<CAnimationProgressBar::TotalValue>(level));
    ASSERT_EQ(bar_->GetCurrentLevel(), level);
    const int64_t half = static_cast<int64_t>(6 * kUnits[level]);
    EXPECT_EQ(bar_->GetSliderLeftUTCTime(), (kNoon - half) * 1000);
    EXPECT_EQ(bar_->GetSliderRightUTCTime(), (kNoon + half) * 1000);
    EXPECT_FLOAT_EQ(bar_->UnitScaleLength(), kWidth / 12.0f);
    EXPECT_FLOAT_EQ(bar_->UnitTimeLength(), kUnits[level]);

    EXPECT_EQ(bar_->UTCSecondsAtXPos(0), kNoon - half);
    EXPECT_EQ(bar_->UTCSecondsAtXPos(kWidth / 2), kNoon);
    EXPECT_EQ(bar_->UTCSecondsAtXPos(kWidth), kNoon + half);
    EXPECT_NEAR(bar_->VisualXPosAtUTCSeconds(kNoon - half), 0.0f, 0.01f);
    EXPECT_NEAR(bar_->VisualXPosAtUTCSeconds(kNoon + half), kWidth, 0.01f);
    // Beyond the window the visual position keeps going while the bounded one gives up.
    EXPECT_LT(bar_->VisualXPosAtUTCSeconds(kNoon - 2 * half), 0.0f);
    EXPECT_FLOAT_EQ(bar_->XPosAtUTCSeconds(kNoon - 2 * half), -1.0f);
    // Half a day is the limit even where the window spans a week.
    EXPECT_FLOAT_EQ(bar_->XPosAtUTCSeconds(kNoon + 43201), -1.0f);
    EXPECT_FLOAT_EQ(bar_->XPosAtUTCSeconds(kNoon - 43201), -1.0f);
    const int64_t inside = std::min<int64_t>(half / 2, 43000);
    EXPECT_NEAR(bar_->XPosAtUTCSeconds(static_cast<unsigned>(kNoon - inside)),
                kWidth / 2.0f - inside * (kWidth / 12.0f) / kUnits[level], 0.01f);
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelGeometryTest, ::testing::Range(0, 7));

// ---- wheel zoom ---------------------------------------------------------------------------

TEST_F(AnimationProgressBarTest, OneNotchZoomsAnimatedAndTwoNotchesDoNothing)
{
    QSignalSpy started(bar_.get(), &CAnimationProgressBar::SignalScalingStarted);
    QSignalSpy ended(bar_.get(), &CAnimationProgressBar::SignalScalingEnded);
    QSignalSpy level(bar_.get(), &CAnimationProgressBar::SignalLevelChanged);
    ASSERT_EQ(bar_->GetCurrentLevel(), CAnimationProgressBar::LevelSevenDays);

    Wheel(*bar_, 240);
    Wheel(*bar_, -240);
    EXPECT_EQ(started.count(), 0);
    EXPECT_FALSE(bar_->isScaling());

    Wheel(*bar_, 120);
    EXPECT_EQ(started.count(), 1);
    EXPECT_TRUE(bar_->isScaling());
    QSignalSpy ticks(bar_.get(), &CAnimationProgressBar::SignalScaling);
    ASSERT_TRUE(ticks.wait(kWaitMs));
    // Mid-way the week's unit has grown from a twelfth of the width towards seven twelfths.
    EXPECT_GT(bar_->UnitScaleLength(), kWidth / 12.0f);
    EXPECT_LE(bar_->UnitScaleLength(), 7 * kWidth / 12.0f);
    EXPECT_FLOAT_EQ(bar_->UnitTimeLength(), kUnits[0]);

    ASSERT_TRUE(ended.wait(kWaitMs));
    EXPECT_EQ(bar_->GetCurrentLevel(), CAnimationProgressBar::LevelOneDay);
    ASSERT_EQ(level.count(), 1);
    EXPECT_EQ(level.at(0).at(0).value<CAnimationProgressBar::TotalValue>(),
              CAnimationProgressBar::LevelOneDay);
    EXPECT_FLOAT_EQ(bar_->UnitScaleLength(), kWidth / 12.0f);
    EXPECT_FLOAT_EQ(bar_->UnitTimeLength(), kUnits[1]);
    EXPECT_GE(ticks.count(), 20);
}

TEST_F(AnimationProgressBarTest, ZoomStopsAtTheAllowedLevels)
{
    QSignalSpy started(bar_.get(), &CAnimationProgressBar::SignalScalingStarted);
    Wheel(*bar_, -120); // already the coarsest allowed
    EXPECT_EQ(started.count(), 0);
    bar_->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelOneHour);
    Wheel(*bar_, 120); // already the finest allowed
    EXPECT_EQ(started.count(), 0);
    EXPECT_EQ(bar_->GetCurrentLevel(), CAnimationProgressBar::LevelOneHour);
    // Outside the allowed range a level request is ignored.
    bar_->SetCurrentLevel(CAnimationProgressBar::LevelTwelveMinutes);
    EXPECT_EQ(bar_->GetCurrentLevel(), CAnimationProgressBar::LevelOneHour);
    bar_->SetCurrentLevel(static_cast<CAnimationProgressBar::TotalValue>(9));
    EXPECT_EQ(bar_->GetCurrentLevel(), CAnimationProgressBar::LevelOneHour);

    // A range outside the tables, or reversed, is refused.
    bar_->SetMaxAndMinLevel(static_cast<CAnimationProgressBar::TotalValue>(-1),
                            CAnimationProgressBar::LevelOneHour);
    bar_->SetMaxAndMinLevel(CAnimationProgressBar::LevelSevenDays,
                            static_cast<CAnimationProgressBar::TotalValue>(9));
    bar_->SetMaxAndMinLevel(CAnimationProgressBar::LevelOneHour,
                            CAnimationProgressBar::LevelOneDay);
    int lowest = -1, highest = -1;
    bar_->GetMaxAndMinLevel(lowest, highest);
    EXPECT_EQ(lowest, CAnimationProgressBar::LevelSevenDays);
    EXPECT_EQ(highest, CAnimationProgressBar::LevelOneHour);
}

TEST_F(AnimationProgressBarTest, ReverseNotchRunsTheAnimationBackAndSameNotchIsIgnored)
{
    bar_->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelTwelveHours);
    QSignalSpy ended(bar_.get(), &CAnimationProgressBar::SignalScalingEnded);
    QSignalSpy level(bar_.get(), &CAnimationProgressBar::SignalLevelChanged);
    Wheel(*bar_, 120);
    QSignalSpy ticks(bar_.get(), &CAnimationProgressBar::SignalScaling);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.count() >= 5; }, kWaitMs));
    const float grown = bar_->UnitScaleLength();
    EXPECT_GT(grown, kWidth / 12.0f);

    Wheel(*bar_, 120); // same direction: ignored
    Wheel(*bar_, -120);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.count() >= 7; }, kWaitMs));
    EXPECT_LT(bar_->UnitScaleLength(), grown); // shrinking back from where it was
    ASSERT_TRUE(ended.wait(kWaitMs));
    EXPECT_EQ(bar_->GetCurrentLevel(), CAnimationProgressBar::LevelTwelveHours);
    EXPECT_EQ(level.count(), 1);
    EXPECT_FLOAT_EQ(bar_->UnitTimeLength(), kUnits[2]);
}

// ---- dragging -----------------------------------------------------------------------------

TEST_F(AnimationProgressBarTest, SlowDragMovesBackInTimeAndStopsWithoutInertia)
{
    bar_->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelOneDay);
    QSignalSpy dragged(bar_.get(), &CAnimationProgressBar::SignalDragAtTime);
    QSignalSpy stopped(bar_.get(), &CAnimationProgressBar::SignalStopAtTime);
    QSignalSpy clicked(bar_.get(), &CAnimationProgressBar::SignalClickedAtTime);
    QSignalSpy bar_clicked(bar_.get(), &CAnimationProgressBar::SignalClickedTimeBar);
    Press({600, 60});
    bar_->now_ms += 100;
    DragMove(*bar_, {650, 60});
    bar_->now_ms += 100;
    DragMove(*bar_, {700, 60});
    bar_->now_ms += 500; // a pause before letting go: no inertia
    Release({700, 60});

    // 100 px at 100 px per 2 h unit.
    EXPECT_EQ(bar_->GetCurrentUTCTime(), kNoon - 7200);
    ASSERT_EQ(dragged.count(), 2);
    EXPECT_EQ(dragged.at(1).at(0).toUInt(), kNoon - 7200);
    EXPECT_EQ(stopped.count(), 1);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).value<time_t>(), kNoon - 7200);
    EXPECT_EQ(bar_clicked.count(), 0);
    EXPECT_FALSE(bar_->Axis().is_inertia_moving_);
}

TEST_F(AnimationProgressBarTest, ClickNeverMovesTheAxis)
{
    QSignalSpy bar_clicked(bar_.get(), &CAnimationProgressBar::SignalClickedTimeBar);
    QSignalSpy stopped(bar_.get(), &CAnimationProgressBar::SignalStopAtTime);
    Press({300, 60});
    bar_->now_ms += 40;
    Release({300, 60});
    EXPECT_EQ(bar_->GetCurrentUTCTime(), kNoon);
    EXPECT_EQ(bar_clicked.count(), 1);
    EXPECT_EQ(stopped.count(), 0);
}

TEST_F(AnimationProgressBarTest, FastReleaseStartsInertiaThatDecaysToAStop)
{
    bar_->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelOneDay);
    QSignalSpy moving(bar_.get(), &CAnimationProgressBar::SignalMovingAtAtTime);
    QSignalSpy stopped(bar_.get(), &CAnimationProgressBar::SignalStopAtTime);
    QSignalSpy clicked(bar_.get(), &CAnimationProgressBar::SignalClickedAtTime);
    Press({300, 60});
    bar_->now_ms += 40;
    DragMove(*bar_, {340, 60});
    bar_->now_ms += 20;
    DragMove(*bar_, {380, 60});
    bar_->now_ms += 10;
    Release({380, 60}); // 80 px in 70 ms
    const int64_t after_drag = bar_->GetCurrentUTCTime();
    EXPECT_EQ(after_drag, kNoon - 80 * 72);
    ASSERT_TRUE(bar_->Axis().is_inertia_moving_);
    EXPECT_EQ(stopped.count(), 0);

    // External time setters yield to the moving axis.
    bar_->SetPlayBackTime(kNoon + 3600);
    EXPECT_NE(bar_->GetCurrentUTCTime(), kNoon + 3600);

    ASSERT_TRUE(stopped.wait(kWaitMs));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_FALSE(bar_->Axis().is_inertia_moving_);
    ASSERT_GE(moving.count(), 3);
    // It keeps going back in time, each step no longer than the one before.
    int64_t previous = after_drag;
    int64_t previous_step = INT64_MAX;
    for (const auto &args : moving) {
        const int64_t t = args.at(0).toUInt();
        const int64_t step = previous - t;
        EXPECT_GE(step, 0);
        EXPECT_LE(step, previous_step);
        previous_step = step;
        previous = t;
    }
    EXPECT_LT(bar_->GetCurrentUTCTime(), after_drag);
}

TEST_F(AnimationProgressBarTest, DragIsClampedAtTheRangeStartWithOneNoticePerMove)
{
    bar_->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelOneDay);
    const QDateTime from = QDateTime::fromSecsSinceEpoch(kNoon - 43200, Qt::UTC);
    const QDateTime to = QDateTime::fromSecsSinceEpoch(kNoon + 3 * 86400, Qt::UTC);
    bar_->SetTimeRange(from, to);
    bar_->SetPlayBackTime(kNoon + 1000);
    Lattice::CNewInfoDlg::ClearShownTexts();
    QSignalSpy out(bar_.get(), &CAnimationProgressBar::SignalShowTimeRangeOutDialog);
    Press({600, 60});
    bar_->now_ms += 100;
    DragMove(*bar_, {610, 60}); // still inside: 10 px is 720 s
    EXPECT_EQ(out.count(), 0);
    bar_->now_ms += 100;
    DragMove(*bar_, {700, 60});
    bar_->now_ms += 100;
    DragMove(*bar_, {800, 60});
    bar_->now_ms += 500;
    Release({800, 60});
    EXPECT_EQ(out.count(), 2);
    EXPECT_EQ(bar_->GetSliderLeftUTCTime(), (kNoon - 43200) * 1000);
    // The file bar turns each into a corner notice.
    EXPECT_EQ(Lattice::CNewInfoDlg::ShownTexts().size(), 2);
    Lattice::CNewInfoDlg::CloseAll();
}

TEST_F(AnimationProgressBarTest, DragReportsAreLimitedAndADwellFollows)
{
    bar_->SetDragEnable(true);
    QSignalSpy reports(bar_.get(), &CAnimationProgressBar::SignalDragData);
    auto state = [&](int i) {
        return reports.at(i).at(0).value<CProgressBarDragData>().GetVal_drag_state();
    };
    Press({600, 60});
    ASSERT_EQ(reports.count(), 1);
    EXPECT_EQ(state(0), DragPressed);
    DragMove(*bar_, {610, 60}); // the press leaves room for one report at once
    DragMove(*bar_, {620, 60});
    bar_->ticks += 199;
    DragMove(*bar_, {630, 60});
    EXPECT_EQ(reports.count(), 2);
    bar_->ticks += 1;
    DragMove(*bar_, {640, 60});
    ASSERT_EQ(reports.count(), 3);
    EXPECT_EQ(state(1), DragMoving);
    EXPECT_EQ(state(2), DragMoving);
    EXPECT_EQ(reports.at(2).at(0).value<CProgressBarDragData>().GetVal_tm_drag(),
              bar_->GetCurrentUTCTime());

    // Holding still: the dwell report, which asks the receiver to clear.
    ASSERT_TRUE(reports.wait(kWaitMs));
    ASSERT_EQ(reports.count(), 4);
    EXPECT_EQ(state(3), DragDwell);
    EXPECT_TRUE(reports.at(3).at(1).toBool());

    bar_->now_ms += 500;
    Release({640, 60});
    ASSERT_EQ(reports.count(), 5);
    EXPECT_EQ(state(4), DragReleased);
    EXPECT_FALSE(reports.at(4).at(1).toBool());
}

// ---- slides and setters -------------------------------------------------------------------

TEST_F(AnimationProgressBarTest, SlidesLandExactlyOnTheirTarget)
{
    // Whole days away: a jump to one day short, then the slide.
    bar_->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelOneDay);
    const unsigned later = kNoon + 3 * 86400;
    bar_->SetPlayBackTime(later, true, 300, CAnimationProgressBar::AnimationFittedSpeed);
    EXPECT_EQ(bar_->GetCurrentUTCTime(), later - 86400);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bar_->Axis().is_sliding_; }, kWaitMs));
    EXPECT_EQ(bar_->GetCurrentUTCTime(), later);
    const unsigned earlier = later - 2 * 86400;
    bar_->SetPlayBackTime(earlier, true, 300, CAnimationProgressBar::AnimationFittedSpeed);
    EXPECT_EQ(bar_->GetCurrentUTCTime(), earlier + 86400);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bar_->Axis().is_sliding_; }, kWaitMs));
    EXPECT_EQ(bar_->GetCurrentUTCTime(), earlier);

    bar_->StartNolinearSliding(earlier - 20000);
    EXPECT_TRUE(bar_->Axis().is_sliding_);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bar_->Axis().is_sliding_; }, kWaitMs));
    EXPECT_EQ(bar_->GetCurrentUTCTime(), earlier - 20000);

    // At minimum speed a later instant is reached at once.
    bar_->SetPlayBackTime(earlier - 15000, true, 1000,
                          CAnimationProgressBar::AnimationMinimumSpeed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bar_->Axis().is_sliding_; }, kWaitMs));
    EXPECT_EQ(bar_->GetCurrentUTCTime(), earlier - 15000);
    EXPECT_EQ(bar_->Axis().slide_elapsed_, 0);
}

TEST_F(AnimationProgressBarTest, SettersYieldToAPressedAxis)
{
    Press({600, 60});
    bar_->SetPlayBackTime(kNoon + 100);
    bar_->SetCurrentDateTime(QDateTime::fromSecsSinceEpoch(kNoon + 200, Qt::UTC));
    EXPECT_EQ(bar_->GetCurrentUTCTime(), kNoon);
    Release({600, 60});
    bar_->SetPlayBackTime(kNoon + 100);
    EXPECT_EQ(bar_->GetCurrentUTCTime(), kNoon + 100);

    // Pressed from outside: setters wait, and a hover does not drag.
    bar_->SetPressed(true);
    HoverMove(*bar_, {700, 60});
    bar_->SetPlayBackTime(kNoon + 300);
    EXPECT_EQ(bar_->GetCurrentUTCTime(), kNoon + 100);
    bar_->SetPressed(false);
    bar_->SetPlayBackTime(kNoon + 300);
    EXPECT_EQ(bar_->GetCurrentUTCTime(), kNoon + 300);
}

// ---- device wall clock --------------------------------------------------------------------

struct WallClockCase
{
    const char *name;
    int64_t begin;
    int64_t end;
    int64_t instant;
    int expected_offset; // seconds east of UTC
};

class DeviceWallClockTest : public AnimationProgressBarTest,
                            public ::testing::WithParamInterface<WallClockCase>
{};

// UTC-5 with an hour of daylight saving; the periods are UTC instants.
TEST_P(DeviceWallClockTest, OffsetAtTheInstantUnderTheCentre)
{
    const auto &c = GetParam();
    CProgressBarTimeZoneParam zone;
    zone.SetVal_utc_bias(300);
    zone.SetVal_daylight_bias(-60);
    zone.SetVal_b_dst(true);
    zone.SetVal_tm_dst_begin(c.begin);
    zone.SetVal_tm_dst_end(c.end);
    bar_->SetTimeZoneInfor(zone);
    bar_->SetPlayBackTime(static_cast<unsigned>(c.instant));
    const QDateTime wall = bar_->TimeTConvertToDateTime(kWidth / 2);
    EXPECT_EQ(wall.toSecsSinceEpoch(), c.instant);
    EXPECT_EQ(wall.offsetFromUtc(), c.expected_offset);
    EXPECT_EQ(bar_->GetCurrentDateTime(),
              QDateTime::fromSecsSinceEpoch(c.instant + c.expected_offset, Qt::UTC));
    // Midnight of the device's day, as a UTC instant.
    EXPECT_EQ((bar_->GetCurrentUTCDayTime() + c.expected_offset) % 86400, 0);
}

constexpr int64_t kSpring = 1773558000; // 2026-03-15 07:00 UTC
constexpr int64_t kAutumn = 1793430000; // 2026-10-31 07:00 UTC
INSTANTIATE_TEST_SUITE_P(
    Transitions, DeviceWallClockTest,
    ::testing::Values(WallClockCase{"before_spring", kSpring, kAutumn, kSpring - 1, -5 * 3600},
                      WallClockCase{"at_spring", kSpring, kAutumn, kSpring, -4 * 3600},
                      WallClockCase{"before_autumn", kSpring, kAutumn, kAutumn - 1, -4 * 3600},
                      WallClockCase{"at_autumn", kSpring, kAutumn, kAutumn, -5 * 3600},
                      // A period that wraps the year end, as in the southern hemisphere.
                      WallClockCase{"wrapped_inside", kAutumn, kSpring, kSpring - 1, -4 * 3600},
                      WallClockCase{"wrapped_outside", kAutumn, kSpring, kSpring, -5 * 3600}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(AnimationProgressBarTest, SetCurrentDateTimeReadsTheDeviceWallClock)
{
    CProgressBarTimeZoneParam zone;
    zone.SetVal_utc_bias(-120); // UTC+2
    bar_->SetTimeZoneInfor(zone);
    QSignalSpy stopped(bar_.get(), &CAnimationProgressBar::SignalStopAtTime);
    bar_->SetCurrentDateTime(QDateTime(QDate(2026, 6, 1), QTime(14, 30), Qt::UTC));
    EXPECT_EQ(bar_->GetCurrentUTCTime(), kNoon + 1800);
    ASSERT_EQ(stopped.count(), 1);
    EXPECT_EQ(stopped.at(0).at(0).toDateTime().time(), QTime(14, 30));

    zone.SetVal_utc_bias(330); // UTC-5:30
    bar_->SetTimeZoneInfor(zone);
    bar_->SetCurrentDateTime(QDateTime(QDate(2026, 6, 1), QTime(6, 30), Qt::UTC));
    EXPECT_EQ(bar_->GetCurrentUTCTime(), kNoon);
}

TEST_F(AnimationProgressBarTest, TimeRangeRejectsReversedBoundsAndMovesTheAxisInside)
{
    QDateTime from, to;
    bar_->GetTimeRange(from, to);
    bar_->SetTimeRange(QDateTime::fromSecsSinceEpoch(kNoon + 10),
                       QDateTime::fromSecsSinceEpoch(kNoon));
    QDateTime from2, to2;
    bar_->GetTimeRange(from2, to2);
    EXPECT_EQ(from, from2);
    EXPECT_EQ(to, to2);

    bar_->SetTimeRange(QDateTime::fromSecsSinceEpoch(kNoon + 86400 * 30),
                       QDateTime::fromSecsSinceEpoch(kNoon + 86400 * 60));
    EXPECT_EQ(bar_->GetSliderLeftUTCTime(), (kNoon + 86400 * 30) * 1000);
    EXPECT_TRUE(bar_->IsDatetimeValid(QDateTime::fromSecsSinceEpoch(kNoon + 86400 * 60)));
    EXPECT_FALSE(bar_->IsDatetimeValid(QDateTime::fromSecsSinceEpoch(kNoon + 86400 * 60 + 1)));
    EXPECT_EQ(bar_->GetAvailableDateTime(QDateTime::fromSecsSinceEpoch(kNoon)).toSecsSinceEpoch(),
              kNoon + 86400 * 30);
}

TEST_F(AnimationProgressBarTest, HoverKeepsTheTimeTipOnTheInstantUnderThePointer)
{
    bar_->SetCurrentTimeSliderLevel(CAnimationProgressBar::LevelOneDay);
    CProgressBarTimeZoneParam zone;
    zone.SetVal_utc_bias(-60); // UTC+1
    bar_->SetTimeZoneInfor(zone);
    QSignalSpy tip_requests(bar_.get(), &CAnimationProgressBar::SignalUpdateTip);
    auto *tip = bar_->findChild<QLabel *>("d_ptr_->ptr_time_tip_lb");
    ASSERT_NE(tip, nullptr);
    HoverMove(*bar_, {650, 70}); // 50 px right of noon: an hour later, 14:00 on the device
    EXPECT_EQ(tip->text(), "14:00:00");
    EXPECT_EQ(tip->pos(), QPoint(665, kHeight - tip->height()));
    EXPECT_EQ(tip_requests.count(), 1);
    HoverMove(*bar_, {650, 10}); // over the header: no file tip is asked for
    EXPECT_EQ(tip_requests.count(), 1);
    EXPECT_EQ(tip->pos(), QPoint(665, 25));
    EXPECT_FALSE(tip->isVisible());
}

// Grey levels of the tick row: full ticks are RGB(128,128,128), faded ones lie between.
QSet<int> TickGreys(QWidget &bar)
{
    const QImage image = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QSet<int> greys;
    for (int x = 1; x < image.width() - 1; ++x)
        greys.insert(qRed(image.pixel(x, 33)));
    return greys;
}

TEST_F(AnimationProgressBarTest, TicksBetweenMajorTicksFadeInDuringAZoom)
{
    const QSet<int> at_rest = TickGreys(*bar_);
    EXPECT_EQ(at_rest, (QSet<int>{128, 255}));

    bar_->ScaleByStep(1);
    // Stepped by hand, half-way through the animation.
    for (int tick = 0; tick < 13; ++tick)
        QMetaObject::invokeMethod(bar_.get(), "OnScaleAnimationTimeOut");
    const QSet<int> mid_way = TickGreys(*bar_);
    EXPECT_TRUE(std::any_of(mid_way.begin(), mid_way.end(),
                            [](int grey) { return grey > 128 && grey < 255; }));
    TestSupport::SaveShot(bar_.get(), "timebar-zooming.png");
    while (bar_->isScaling())
        QMetaObject::invokeMethod(bar_.get(), "OnScaleAnimationTimeOut");
    EXPECT_EQ(bar_->GetCurrentLevel(), CAnimationProgressBar::LevelOneDay);
    EXPECT_EQ(TickGreys(*bar_), (QSet<int>{128, 255}));
}

} // namespace
