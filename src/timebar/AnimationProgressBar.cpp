#include "timebar/AnimationProgressBar.h"

#include "timebar/AnimationProgressBar_p.h"

#include "mirelog/Log.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace TeskVideoSearch {

namespace {

constexpr int kLevelCount = 7;
// Seconds between two major ticks, and the visible span, per level.
constexpr float kUnitSeconds[kLevelCount] = {50400, 7200, 3600, 1800, 600, 300, 60};
constexpr int kSpanSeconds[kLevelCount] = {604800, 86400, 43200, 21600, 7200, 3600, 720};

constexpr int kUnitsPerWindow = 12;
constexpr int kHalfUnits = kUnitsPerWindow / 2;
constexpr int kHeaderHeight = 30; // left to the delegates' headers above the border
constexpr int kSecondsPerDay = 86400;
constexpr int kSecondsPerWeek = 604800;
constexpr int kMaxTipDistance = 43200;
constexpr int kDragReportTicks = 200;
constexpr int kDwellMs = 500;
constexpr int kVelocitySampleMs = 150;
constexpr int kInertiaStartWindowMs = 71;
constexpr int kInertiaPressWindowMs = 201;
constexpr double kInertiaMinSpeed = 0.012;
constexpr double kInertiaFastSpeed = 0.36;
constexpr double kInertiaDecayDivisor = 30;
constexpr double kInertiaStepFactor = 10;
constexpr double kSlideMinSpeed = 0.02;
constexpr int kNonlinearSlideMs = 480;
constexpr int kNonlinearSlideHalfSteps = 28;
constexpr int kTipOffset = 15;
constexpr int kLabelWidth = 34;
constexpr int kLabelHeight = 10;

int64_t PositiveMod(int64_t value, int64_t divisor)
{
    const int64_t rest = value % divisor;
    return rest < 0 ? rest + divisor : rest;
}

int64_t UnitMs(int level)
{
    return static_cast<int64_t>(kUnitSeconds[level]) * 1000;
}

// Ranges outside what an unsigned 32-bit time_t holds cannot be reached by the setters.
bool FitsUnsignedTime(int64_t seconds)
{
    return seconds >= 0 && seconds <= static_cast<int64_t>(UINT32_MAX);
}

} // namespace

CAnimationProgressBar::CAnimationProgressBar(QWidget *parent)
    : QWidget(parent)
    , d_ptr_(std::make_shared<AnimationProgressBarData>())
{
    qRegisterMetaType<CProgressBarDragData>("CProgressBarDragData");
    qRegisterMetaType<CProgressBarDragData>("TeskVideoSearch::CProgressBarDragData");
    qRegisterMetaType<time_t>("time_t");
    qRegisterMetaType<TotalValue>("TeskVideoSearch::CAnimationProgressBar::TotalValue");

    setMouseTracking(true);
    // paintEvent covers every pixel; skipping Qt's own background fill saves a full blend.
    setAttribute(Qt::WA_OpaquePaintEvent);
    d_ptr_->current_ms_ = d_ptr_->now_ms_();
    d_ptr_->time_spec_offset_ = -d_ptr_->utc_bias_ * 60;

    for (QTimer *timer : {&d_ptr_->slide_timer_, &d_ptr_->scale_timer_, &d_ptr_->inertia_timer_})
        timer->setInterval(d_ptr_->animation_interval_);
    connect(&d_ptr_->scale_timer_, &QTimer::timeout, this,
            &CAnimationProgressBar::OnScaleAnimationTimeOut);
    connect(&d_ptr_->inertia_timer_, &QTimer::timeout, this, [this] { OnInertiaStep(); });
    d_ptr_->velocity_timer_.setInterval(kVelocitySampleMs);
    connect(&d_ptr_->velocity_timer_, &QTimer::timeout, this, [this] { OnVelocitySample(); });
    d_ptr_->dwell_timer_.setInterval(kDwellMs);
    d_ptr_->dwell_timer_.setSingleShot(true);
    connect(&d_ptr_->dwell_timer_, &QTimer::timeout, this, &CAnimationProgressBar::OnHoverTimeOut);

    SetTimeRange(QDateTime(QDate(1971, 1, 1), QTime(0, 0)),
                 QDateTime(QDate(2105, 1, 1), QTime(0, 0)));

    d_ptr_->ptr_time_tip_lb = new QLabel(this);
    d_ptr_->ptr_time_tip_lb->setObjectName("d_ptr_->ptr_time_tip_lb");
    d_ptr_->ptr_time_tip_lb->setFixedSize(54, 13);
    d_ptr_->ptr_time_tip_lb->setAlignment(Qt::AlignCenter);
    d_ptr_->ptr_time_tip_lb->hide();
    d_ptr_->scale_line_height_ = 8;
    RecomputeUnits();
}

CAnimationProgressBar::~CAnimationProgressBar()
{
    // The delegates are children too; deleting them here keeps them from painting or being
    // asked for tips while QWidget tears down the rest.
    RemoveAllDelegate();
}

// ---- levels -------------------------------------------------------------------------------

void CAnimationProgressBar::SetCurrentLevel(TotalValue level)
{
    if (level < d_ptr_->lowest_level_ || level > d_ptr_->highest_level_)
        return;
    StopAllAnimation();
    d_ptr_->current_level_ = level;
    RecomputeUnits();
    Redraw();
    emit SignalLevelChanged(level);
}

CAnimationProgressBar::TotalValue CAnimationProgressBar::GetCurrentLevel() const
{
    return static_cast<TotalValue>(d_ptr_->current_level_);
}

void CAnimationProgressBar::SetMaxAndMinLevel(TotalValue lowest, TotalValue highest)
{
    if (lowest < LevelSevenDays || highest > LevelTwelveMinutes || lowest > highest) {
        TESK_LOG_ERROR("Time bar: level range %d - %d refused", static_cast<int>(lowest),
                       static_cast<int>(highest));
        return;
    }
    d_ptr_->lowest_level_ = lowest;
    d_ptr_->highest_level_ = highest;
}

void CAnimationProgressBar::GetMaxAndMinLevel(int &lowest, int &highest) const
{
    lowest = d_ptr_->lowest_level_;
    highest = d_ptr_->highest_level_;
}

void CAnimationProgressBar::ScaleByStep(int step)
{
    auto &d = *d_ptr_;
    const int direction = step < 0 ? -1 : 1;
    if (d.is_scaling_) {
        // Only a step back reverses the running animation from where it is.
        if (d.scaling_from_level_ - d.scaling_to_level_ == direction) {
            std::swap(d.scaling_from_level_, d.scaling_to_level_);
            d.scaling_elapsed_ = d.scaling_duration_ - d.scaling_elapsed_;
        }
        return;
    }
    const int target = d.current_level_ + direction;
    if (target < d.lowest_level_ || target > d.highest_level_)
        return;
    d.scaling_from_level_ = d.current_level_;
    d.scaling_to_level_ = target;
    d.current_level_ = std::min(d.scaling_from_level_, d.scaling_to_level_);
    d.is_scaling_ = true;
    d.scaling_elapsed_ = 0;
    d.scale_timer_.start();
    emit SignalScalingStarted();
}

bool CAnimationProgressBar::isScaling() const
{
    return d_ptr_->is_scaling_;
}

void CAnimationProgressBar::OnScaleAnimationTimeOut()
{
    d_ptr_->scaling_elapsed_ += d_ptr_->scale_timer_.interval();
    if (d_ptr_->scaling_elapsed_ <= d_ptr_->scaling_duration_)
        RecomputeUnits();
    else
        StopScaling();
    emit SignalScaling();
}

void CAnimationProgressBar::StopScaling()
{
    auto &d = *d_ptr_;
    d.is_scaling_ = false;
    d.current_level_ = d.scaling_to_level_;
    d.scale_timer_.stop();
    RecomputeUnits();
    emit SignalScalingEnded();
    emit SignalLevelChanged(static_cast<TotalValue>(d.current_level_));
}

void CAnimationProgressBar::RecomputeUnits()
{
    auto &d = *d_ptr_;
    d.base_unit_length_ = static_cast<float>(width()) / kUnitsPerWindow;
    if (!d.is_scaling_) {
        d.unit_scale_length_ = d.base_unit_length_;
        d.unit_time_length_ = kUnitSeconds[d.current_level_];
        d.scaling_ratio_ = 1;
        PlaceWithinRange(true);
        Redraw();
        return;
    }
    const int coarse = std::min(d.scaling_from_level_, d.scaling_to_level_);
    const float ratio = static_cast<float>(kSpanSeconds[coarse]) / kSpanSeconds[coarse + 1];
    const float progress = static_cast<float>(d.scaling_elapsed_) / d.scaling_duration_;
    d.scaling_ratio_ = ratio;
    d.unit_time_length_ = kUnitSeconds[coarse];
    const bool zoom_out = d.scaling_to_level_ <= d.scaling_from_level_;
    d.unit_scale_length_ = d.base_unit_length_ *
                           (zoom_out ? ratio - progress * (ratio - 1) : 1 + progress * (ratio - 1));
    Redraw();
}

// Keeps the window (current ± 6 units) inside the allowed range.
void CAnimationProgressBar::PlaceWithinRange(bool silent)
{
    auto &d = *d_ptr_;
    const int64_t half = static_cast<int64_t>(kHalfUnits * d.unit_time_length_ * 1000);
    if (d.current_ms_ - half < d.range_start_ms_) {
        if (!silent)
            emit SignalShowTimeRangeOutDialog();
        d.current_ms_ = d.range_start_ms_ + half;
    } else if (d.current_ms_ + half > d.range_end_ms_) {
        if (!silent)
            emit SignalShowTimeRangeOutDialog();
        d.current_ms_ = d.range_end_ms_ - half;
    }
}

// ---- time ---------------------------------------------------------------------------------

bool CAnimationProgressBar::IsInDaylightSaving(__int64 t) const
{
    const auto &d = *d_ptr_;
    if (!d.b_dst_)
        return false;
    if (d.tm_dst_begin_ < d.tm_dst_end_)
        return t >= d.tm_dst_begin_ && t < d.tm_dst_end_;
    return t < d.tm_dst_end_ || t >= d.tm_dst_begin_;
}

int CAnimationProgressBar::DeviceOffsetSeconds(__int64 t) const
{
    return -d_ptr_->utc_bias_ * 60 - (IsInDaylightSaving(t) ? d_ptr_->daylight_bias_ * 60 : 0);
}

// The device's wall clock written into a Qt::UTC date-time; receivers read its fields.
QDateTime CAnimationProgressBar::DeviceWallClock(__int64 t) const
{
    return QDateTime::fromSecsSinceEpoch(t + DeviceOffsetSeconds(t), Qt::UTC);
}

void CAnimationProgressBar::SetCurrentDateTime(const QDateTime &date_time, bool animate,
                                               int duration, AnimationType type)
{
    auto &d = *d_ptr_;
    if (d.is_pressed_ || d.is_inertia_moving_)
        return;
    if (d.is_sliding_)
        StopSliding();
    if (animate && d.is_scaling_)
        StopScaling();

    QDateTime wall = date_time;
    if (!wall.isValid()) {
        // A wall clock that the local zone skips: read it an hour on, as the device does.
        wall = QDateTime(date_time.date(), date_time.time().addSecs(d.daylight_bias_ / -60 * 3600));
    }
    const QString text = wall.date().toString(Qt::ISODate) + "T" + wall.time().toString("HH:mm:ss");
    const int bias = d.utc_bias_ >= 0 ? d.utc_bias_ : -d.utc_bias_;
    const QString offset = QString("%1%2:%3")
                               .arg(d.utc_bias_ >= 0 ? "-" : "+")
                               .arg(bias / 60)
                               .arg(bias % 60, 2, 10, QChar('0'));
    int64_t t = ISOTimeToTimeT((text + offset).toStdString());
    emit SignalStopAtTime(QDateTime::fromSecsSinceEpoch(t - d.utc_bias_ * 60, Qt::UTC));
    if (d.b_dst_) {
        const bool in_dst = d.tm_dst_begin_ < d.tm_dst_end_
                                ? t > d.tm_dst_begin_ && t <= d.tm_dst_end_
                                : !(t >= d.tm_dst_end_ && t < d.tm_dst_begin_);
        if (in_dst)
            t += d.daylight_bias_ * 60;
    }
    if (!animate) {
        d.current_ms_ = t * 1000;
        PlaceWithinRange(true);
        Redraw();
    } else {
        StartSliding(static_cast<unsigned>(t), duration, type);
    }
}

void CAnimationProgressBar::SetPlayBackTime(unsigned int utc_time, bool animate, int duration,
                                            AnimationType type)
{
    auto &d = *d_ptr_;
    if (d.is_pressed_ || d.is_inertia_moving_)
        return;
    if (d.is_sliding_)
        StopSliding();
    if (animate && d.is_scaling_)
        StopScaling();
    if (!animate) {
        d.current_ms_ = static_cast<int64_t>(utc_time) * 1000;
        PlaceWithinRange(true);
        Redraw();
    } else {
        StartSliding(utc_time, duration, type);
    }
    emit SignalStopAtTime(DeviceWallClock(utc_time));
}

void CAnimationProgressBar::SetCurrentUTCTime(__int64 utc_time)
{
    d_ptr_->slide_target_ = static_cast<uint32_t>(utc_time);
    d_ptr_->current_ms_ = utc_time * 1000;
    emit SignalStopAtTime(GetCurrentDateTime());
}

__int64 CAnimationProgressBar::GetCurrentUTCTime() const
{
    return d_ptr_->current_ms_ / 1000;
}

QDateTime CAnimationProgressBar::GetCurrentDateTime() const
{
    return DeviceWallClock(GetCurrentUTCTime());
}

QDateTime CAnimationProgressBar::GetCurrentDateTimeByTimeZone() const
{
    const int64_t t = GetCurrentUTCTime();
    const int offset =
        d_ptr_->utc_bias_ * 60 - (IsInDaylightSaving(t) ? d_ptr_->daylight_bias_ * 60 : 0);
    return QDateTime::fromMSecsSinceEpoch(d_ptr_->current_ms_, Qt::OffsetFromUTC, offset);
}

__int64 CAnimationProgressBar::GetCurrentUTCDayTime() const
{
    const int64_t t = GetCurrentUTCTime();
    return t - PositiveMod(t + DeviceOffsetSeconds(t), kSecondsPerDay);
}

__int64 CAnimationProgressBar::GetSliderLeftUTCTime() const
{
    return d_ptr_->current_ms_ -
           static_cast<int64_t>(kHalfUnits * kUnitSeconds[d_ptr_->current_level_] * 1000.0f);
}

__int64 CAnimationProgressBar::GetSliderRightUTCTime() const
{
    return d_ptr_->current_ms_ +
           static_cast<int64_t>(kHalfUnits * kUnitSeconds[d_ptr_->current_level_] * 1000.0f);
}

void CAnimationProgressBar::SetTimeRange(const QDateTime &from, const QDateTime &to)
{
    auto &d = *d_ptr_;
    const int64_t from_s = from.toSecsSinceEpoch();
    const int64_t to_s = to.toSecsSinceEpoch();
    if (!from.isValid() || !to.isValid() || from_s >= to_s || !FitsUnsignedTime(from_s) ||
        !FitsUnsignedTime(to_s))
        return;
    d.range_start_ms_ = from_s * 1000;
    d.range_end_ms_ = to_s * 1000;
    if (d.current_ms_ < d.range_start_ms_ || d.current_ms_ > d.range_end_ms_)
        d.current_ms_ = d.range_start_ms_ + kHalfUnits * UnitMs(d.current_level_);
    Redraw();
}

void CAnimationProgressBar::GetTimeRange(QDateTime &from, QDateTime &to) const
{
    from = QDateTime::fromSecsSinceEpoch(d_ptr_->range_start_ms_ / 1000);
    to = QDateTime::fromSecsSinceEpoch(d_ptr_->range_end_ms_ / 1000);
}

void CAnimationProgressBar::SetTimeZoneInfor(CProgressBarTimeZoneParam &param)
{
    auto &d = *d_ptr_;
    d.tm_dst_begin_ = param.GetVal_tm_dst_begin();
    d.tm_dst_end_ = param.GetVal_tm_dst_end();
    d.utc_bias_ = param.GetVal_utc_bias();
    d.daylight_bias_ = param.GetVal_daylight_bias();
    d.b_dst_ = param.GetVal_b_dst();
    d.time_spec_offset_ = -d.utc_bias_ * 60;
    d.label_cache_.clear();
    Redraw();
    emit SignalStopAtTime(GetCurrentDateTime());
}

QDateTime CAnimationProgressBar::TimeTConvertToDateTime(float x) const
{
    const int64_t t = UTCSecondsAtXPos(x);
    return QDateTime::fromSecsSinceEpoch(t, Qt::OffsetFromUTC, DeviceOffsetSeconds(t));
}

bool CAnimationProgressBar::IsDatetimeValid(const QDateTime &date_time) const
{
    const int64_t ms = date_time.toMSecsSinceEpoch();
    return date_time.isValid() && ms >= d_ptr_->range_start_ms_ && ms <= d_ptr_->range_end_ms_;
}

QDateTime CAnimationProgressBar::GetAvailableDateTime(const QDateTime &date_time) const
{
    const int64_t ms = std::clamp<int64_t>(date_time.toMSecsSinceEpoch(), d_ptr_->range_start_ms_,
                                           d_ptr_->range_end_ms_);
    return QDateTime::fromMSecsSinceEpoch(ms, date_time.timeSpec(), date_time.offsetFromUtc());
}

// ---- geometry -----------------------------------------------------------------------------

__int64 CAnimationProgressBar::UTCSecondsAtXPos(float x) const
{
    const auto &d = *d_ptr_;
    if (d.unit_scale_length_ <= 0)
        return GetCurrentUTCTime();
    const double offset_ms =
        (x - width() / 2.0) * d.unit_time_length_ / d.unit_scale_length_ * 1000.0;
    return (d.current_ms_ + static_cast<int64_t>(offset_ms)) / 1000;
}

float CAnimationProgressBar::XPosAtUTCSeconds(unsigned int utc_time) const
{
    const int64_t distance = static_cast<int64_t>(utc_time) - GetCurrentUTCTime();
    if (distance > kMaxTipDistance || distance < -kMaxTipDistance)
        return -1.0f;
    const float x = VisualXPosAtUTCSeconds(utc_time);
    return x < 0 || x > width() ? -1.0f : x;
}

float CAnimationProgressBar::VisualXPosAtUTCSeconds(unsigned int utc_time) const
{
    const auto &d = *d_ptr_;
    const int64_t distance = static_cast<int64_t>(utc_time) - GetCurrentUTCTime();
    return distance * d.unit_scale_length_ / d.unit_time_length_ + width() / 2.0f;
}

float CAnimationProgressBar::UnitScaleLength() const
{
    return d_ptr_->unit_scale_length_;
}

float CAnimationProgressBar::UnitTimeLength() const
{
    return d_ptr_->unit_time_length_;
}

// ---- movement -----------------------------------------------------------------------------

void CAnimationProgressBar::MoveByOffsetX(float offset_x, bool silent)
{
    auto &d = *d_ptr_;
    if (static_cast<int64_t>(kSpanSeconds[d.current_level_]) * 1000 >
        d.range_end_ms_ - d.range_start_ms_) {
        if (!silent)
            emit SignalShowTimeRangeOutDialog();
        return;
    }
    if (d.unit_scale_length_ <= 0)
        return;
    // Dragging to the right goes back in time.
    d.current_ms_ -=
        static_cast<int64_t>(d.unit_time_length_ * offset_x * 1000.0 / d.unit_scale_length_);
    PlaceWithinRange(silent);
    Redraw();
}

void CAnimationProgressBar::StopAllAnimation()
{
    if (d_ptr_->is_scaling_)
        StopScaling();
    if (d_ptr_->is_inertia_moving_)
        StopInertia();
    if (d_ptr_->is_sliding_)
        StopSliding();
}

void CAnimationProgressBar::SetStopMoving()
{
    d_ptr_->inertia_timer_.stop();
    d_ptr_->is_inertia_moving_ = false;
}

void CAnimationProgressBar::StartSliding(unsigned int utc_time, int duration, AnimationType type)
{
    auto &d = *d_ptr_;
    d.is_sliding_ = true;
    d.slide_target_ = utc_time;
    d.slide_elapsed_ = 0;
    const int64_t diff = static_cast<int64_t>(utc_time) - GetCurrentUTCTime();
    int64_t rest = diff % kSecondsPerDay;
    if (rest == 0) {
        // Whole days away: jump to one day from the target, on the side it comes from, and
        // animate only that day.
        int64_t days = diff / kSecondsPerDay;
        days += days < 1 ? 1 : -1;
        d.current_ms_ += days * kSecondsPerDay * 1000;
        rest = diff < 1 ? -kSecondsPerDay : kSecondsPerDay;
    }
    const double distance = rest * d.unit_scale_length_ / kUnitSeconds[d.current_level_];
    double speed = type == AnimationFittedSpeed && duration > 0 ? distance / duration : 0;
    if (std::abs(speed) < kSlideMinSpeed) {
        speed = speed > 0 ? kSlideMinSpeed : -kSlideMinSpeed;
        d.slide_duration_ = static_cast<int32_t>(distance / speed);
    } else {
        d.slide_duration_ = duration;
    }
    d.slide_timer_.disconnect();
    connect(&d.slide_timer_, &QTimer::timeout, this, [this] { OnLinearSlideStep(); });
    d.slide_timer_.start();
}

void CAnimationProgressBar::OnLinearSlideStep()
{
    auto &d = *d_ptr_;
    d.slide_elapsed_ += d.animation_interval_;
    const int remaining = d.slide_duration_ - d.slide_elapsed_;
    if (remaining >= d.animation_interval_) {
        const float distance = VisualXPosAtUTCSeconds(d.slide_target_) - width() / 2.0f;
        MoveByOffsetX(-(distance * d.animation_interval_ / remaining), true);
    } else {
        StopSliding();
    }
}

void CAnimationProgressBar::StopSliding()
{
    auto &d = *d_ptr_;
    d.is_sliding_ = false;
    d.slide_timer_.stop();
    d.slide_timer_.disconnect();
    d.slide_duration_ = 0;
    d.slide_elapsed_ = 0;
    const uint32_t target = d.slide_target_;
    d.slide_target_ = 0;
    SetPlayBackTime(target, false, 1000, AnimationFittedSpeed);
}

void CAnimationProgressBar::StartNolinearSliding(__int64 utc_time)
{
    auto &d = *d_ptr_;
    if (d.is_sliding_)
        StopSliding();
    if (d.is_scaling_)
        StopScaling();
    d.is_sliding_ = true;
    d.slide_target_ = static_cast<uint32_t>(utc_time);
    d.slide_timer_.disconnect();
    d.nonlinear_step_ =
        (VisualXPosAtUTCSeconds(d.slide_target_) - width() / 2.0f) / 2 / kNonlinearSlideHalfSteps;
    d.slide_elapsed_ = 0;
    connect(&d.slide_timer_, &QTimer::timeout, this, [this] { OnNonlinearSlideStep(); });
    d.slide_timer_.start();
}

// Fifteen steps whose speed rises then falls and that add up to the whole distance.
void CAnimationProgressBar::OnNonlinearSlideStep()
{
    auto &d = *d_ptr_;
    d.slide_elapsed_ += d.animation_interval_;
    if (d.slide_elapsed_ >= kNonlinearSlideMs) {
        StopSliding();
        return;
    }
    const int k = d.slide_elapsed_ / d.animation_interval_;
    MoveByOffsetX(-d.nonlinear_step_ * (k <= 8 ? k - 1 : 16 - k), true);
}

// ---- inertia ------------------------------------------------------------------------------

bool CAnimationProgressBar::StartInertia(int global_x)
{
    auto &d = *d_ptr_;
    if (d.is_inertia_moving_)
        return false;
    const int64_t now = d.now_ms_();
    bool start = false;
    if (now - d.last_move_time_ < kInertiaStartWindowMs) {
        if (std::abs(d.inertia_speed_) >= kInertiaMinSpeed) {
            start = true;
        } else if (now - d.press_time_ < kInertiaPressWindowMs) {
            const int64_t elapsed = std::max<int64_t>(now - d.press_time_, 1);
            d.inertia_speed_ = static_cast<double>(global_x - d.press_reference_x_) / elapsed;
            start = std::abs(d.inertia_speed_) > kInertiaMinSpeed;
        }
    }
    if (!start) {
        d.inertia_speed_ = 0;
        return false;
    }
    d.is_inertia_moving_ = true;
    d.inertia_timer_.start();
    return true;
}

void CAnimationProgressBar::OnInertiaStep()
{
    auto &d = *d_ptr_;
    MoveByOffsetX(std::trunc(d.inertia_speed_ * kInertiaStepFactor), false);
    emit SignalMovingAtAtTime(static_cast<uint>(GetCurrentUTCTime()));
    double &speed = d.inertia_speed_;
    if (speed >= kInertiaMinSpeed) {
        speed -= speed > kInertiaFastSpeed ? speed / kInertiaDecayDivisor : kInertiaMinSpeed;
    } else if (speed <= -kInertiaMinSpeed) {
        speed += speed < -kInertiaFastSpeed ? -speed / kInertiaDecayDivisor : kInertiaMinSpeed;
    } else {
        StopInertia();
        emit SignalStopAtTime(GetCurrentDateTime());
        emit SignalClickedAtTime(static_cast<time_t>(GetCurrentUTCTime()));
    }
}

void CAnimationProgressBar::StopInertia()
{
    d_ptr_->is_inertia_moving_ = false;
    d_ptr_->inertia_timer_.stop();
    d_ptr_->inertia_speed_ = 0;
}

void CAnimationProgressBar::OnVelocitySample()
{
    auto &d = *d_ptr_;
    const int x = d.last_global_x_;
    d.inertia_speed_ = x == d.velocity_sample_x_
                           ? 0.0
                           : static_cast<double>(x - d.velocity_sample_x_) / kVelocitySampleMs;
    d.velocity_sample_x_ = x;
}

// ---- delegates ----------------------------------------------------------------------------

void CAnimationProgressBar::InsertDelegate(CAbstractDelegate *delegate, int index)
{
    if (!delegate)
        return;
    delegate->SetProgressBar(this);
    d_ptr_->qvc_delegates_.insert(std::clamp(index, 0, d_ptr_->qvc_delegates_.size()), delegate);
    Redraw();
}

void CAnimationProgressBar::RemoveDelegate(CAbstractDelegate *delegate)
{
    if (!delegate)
        return;
    d_ptr_->qvc_delegates_.removeAll(delegate);
    delete delegate;
    Redraw();
}

void CAnimationProgressBar::RemoveAllDelegate()
{
    const auto delegates = d_ptr_->qvc_delegates_;
    d_ptr_->qvc_delegates_.clear();
    qDeleteAll(delegates);
}

QVector<CAbstractDelegate *> CAnimationProgressBar::Delegate() const
{
    return d_ptr_->qvc_delegates_;
}

QVector<QPair<QRect, QPixmap>>
CAnimationProgressBar::GetValidPixmapByDelegateType(const AbstractDelegateType &type)
{
    for (CAbstractDelegate *delegate : d_ptr_->qvc_delegates_) {
        if (delegate->Type() == type)
            return delegate->ValidPixmaps();
    }
    return {};
}

QVector<QPair<QRect, QString>>
CAnimationProgressBar::GetValidTipByDelegateType(const AbstractDelegateType &type)
{
    for (CAbstractDelegate *delegate : d_ptr_->qvc_delegates_) {
        if (delegate->Type() == type)
            return delegate->ValidTips();
    }
    return {};
}

// ---- switches -----------------------------------------------------------------------------

QRect CAnimationProgressBar::GetHandleRect() const
{
    return d_ptr_->handle_rect_;
}

void CAnimationProgressBar::SetHandleRect(const QRect &rect)
{
    d_ptr_->handle_rect_ = rect;
}

QRect CAnimationProgressBar::GetlevelRect() const
{
    return d_ptr_->level_rect_;
}

void CAnimationProgressBar::SetlevelRect(const QRect &rect)
{
    d_ptr_->level_rect_ = rect;
}

void CAnimationProgressBar::SetSimplifyMode(bool simplify)
{
    d_ptr_->is_simplify_mode_ = simplify;
    Redraw();
}

bool CAnimationProgressBar::IsSimplifyMode() const
{
    return d_ptr_->is_simplify_mode_;
}

void CAnimationProgressBar::SetScaleLineHeight(int height)
{
    d_ptr_->scale_line_height_ = height;
}

void CAnimationProgressBar::SetDrawMiddleLine(bool draw)
{
    d_ptr_->b_draw_middle_line_ = draw;
    Redraw();
}

void CAnimationProgressBar::SetBackgroundColor(const QColor &color)
{
    d_ptr_->background_color_ = color;
}

void CAnimationProgressBar::SetDragEnable(bool enable)
{
    d_ptr_->b_drag_enable_ = enable;
}

void CAnimationProgressBar::SetPressed(bool pressed)
{
    d_ptr_->is_pressed_ = pressed;
}

void CAnimationProgressBar::DisableMouseEvent()
{
    d_ptr_->b_mouse_enabled_ = false;
}

void CAnimationProgressBar::SetTimeTipVisible(bool) {}

void CAnimationProgressBar::Redraw()
{
    d_ptr_->b_need_repaint_ = true;
    for (CAbstractDelegate *delegate : d_ptr_->qvc_delegates_)
        delegate->Refresh();
    update();
}

QPoint CAnimationProgressBar::PointerPos() const
{
    return d_ptr_->pointer_pos_;
}

// ---- drag reports -------------------------------------------------------------------------

void CAnimationProgressBar::EmitDragInMove(__int64 utc_time, bool remember)
{
    CProgressBarDragData data;
    data.SetVal_drag_state(DragMoving);
    data.SetVal_tm_drag(utc_time);
    emit SignalDragData(data, false);
    if (remember) {
        d_ptr_->b_remembered_drag_ = true;
        d_ptr_->remembered_drag_time_ = utc_time;
    }
    d_ptr_->dwell_timer_.start(kDwellMs);
}

void CAnimationProgressBar::EmitDragInRelease(__int64 utc_time)
{
    CProgressBarDragData data;
    data.SetVal_drag_state(DragReleased);
    data.SetVal_tm_drag(utc_time);
    emit SignalDragData(data, false);
    d_ptr_->dwell_timer_.stop();
    d_ptr_->b_remembered_drag_ = false;
}

void CAnimationProgressBar::OnHoverTimeOut()
{
    auto &d = *d_ptr_;
    CProgressBarDragData data;
    data.SetVal_drag_state(DragDwell);
    if (d.b_remembered_drag_) {
        data.SetVal_tm_drag(d.remembered_drag_time_);
        d.b_remembered_drag_ = false;
    } else {
        data.SetVal_tm_drag(GetCurrentUTCTime());
    }
    d.dwell_timer_.stop();
    emit SignalDragData(data, true);
}

// ---- events -------------------------------------------------------------------------------

void CAnimationProgressBar::resizeEvent(QResizeEvent *event)
{
    d_ptr_->cache_pixmap_ = QPixmap(event->size());
    RecomputeUnits();
    QWidget::resizeEvent(event);
}

void CAnimationProgressBar::wheelEvent(QWheelEvent *event)
{
    event->accept();
    if (d_ptr_->is_inertia_moving_ || d_ptr_->is_sliding_)
        return;
    // One notch is 120 eighths of a degree; a step of two notches at once is not a zoom.
    const int step = event->angleDelta().y() / 8 / 15;
    if (step == 1 || step == -1)
        ScaleByStep(step);
}

void CAnimationProgressBar::mousePressEvent(QMouseEvent *event)
{
    auto &d = *d_ptr_;
    d.pointer_pos_ = event->pos();
    if (!d.b_mouse_enabled_ || event->button() == Qt::RightButton || d.is_scaling_ || d.is_sliding_)
        return;
    if (d.is_inertia_moving_) {
        StopInertia();
        d.b_press_stopped_inertia_ = true;
    }
    d.is_pressed_ = true;
    d.last_pointer_x_ = event->x();
    d.inertia_speed_ = 0;
    d.press_reference_x_ = event->globalX();
    d.last_global_x_ = event->globalX();
    d.velocity_sample_x_ = event->globalX();
    d.press_time_ = d.now_ms_();
    d.last_move_time_ = 0;
    d.pointer_side_ = AnimationProgressBarData::kPointerSideNone;
    d.press_pos_ = event->pos();
    bool consumed = false;
    for (CAbstractDelegate *delegate : d.qvc_delegates_) {
        if ((consumed = delegate->HandleClick(event->pos())))
            break;
    }
    if (d.b_drag_enable_ && !consumed) {
        CProgressBarDragData data;
        data.SetVal_drag_state(DragPressed);
        data.SetVal_tm_drag(GetCurrentUTCTime());
        emit SignalDragData(data, false);
        d.is_drag_active_ = true;
        d.last_move_report_clock_ = d.clock_() - kDragReportTicks;
    }
    setCursor(Qt::ArrowCursor);
}

void CAnimationProgressBar::mouseMoveEvent(QMouseEvent *event)
{
    auto &d = *d_ptr_;
    d.pointer_pos_ = event->pos();
    // A flag pressed from outside (SetPressed) must not turn a hover into a drag.
    if (d.is_pressed_ && d.b_mouse_enabled_ && event->buttons() != Qt::NoButton) {
        setCursor(Qt::OpenHandCursor);
        d.last_global_x_ = event->globalX();
        const float dx = event->x() - d.last_pointer_x_;
        d.last_pointer_x_ = event->x();
        MoveByOffsetX(dx, false);
        d.last_move_time_ = d.now_ms_();
        const int side = event->x() > 0 ? 1 : 0;
        if (side == d.pointer_side_) {
            if (!d.velocity_timer_.isActive())
                d.velocity_timer_.start();
        } else {
            d.pointer_side_ = side;
            d.inertia_speed_ = 0;
            d.press_time_ = d.last_move_time_;
            d.press_reference_x_ = event->globalX();
            d.velocity_sample_x_ = event->globalX();
            d.velocity_timer_.start();
        }
        if (d.b_drag_enable_ && d.is_drag_active_ &&
            d.clock_() - d.last_move_report_clock_ >= kDragReportTicks) {
            d.last_move_report_clock_ = d.clock_();
            EmitDragInMove(GetCurrentUTCTime(), false);
        }
        emit SignalDragAtTime(static_cast<uint>(GetCurrentUTCTime()));
    }
    if (event->y() >= kHeaderHeight)
        emit SignalUpdateTip();
    OnUpdateTimeTip();
}

void CAnimationProgressBar::mouseReleaseEvent(QMouseEvent *event)
{
    auto &d = *d_ptr_;
    d.pointer_pos_ = event->pos();
    if (event->button() != Qt::RightButton && d.is_pressed_) {
        setCursor(Qt::ArrowCursor);
        d.is_pressed_ = false;
        d.velocity_timer_.stop();
        if (d.last_move_time_ != 0) {
            if (!StartInertia(event->globalX())) {
                emit SignalStopAtTime(GetCurrentDateTime());
                emit SignalClickedAtTime(static_cast<time_t>(GetCurrentUTCTime()));
            }
        } else if (d.b_press_stopped_inertia_) {
            emit SignalStopAtTime(GetCurrentDateTime());
        } else {
            bool consumed = false;
            for (CAbstractDelegate *delegate : d.qvc_delegates_) {
                if ((consumed = delegate->HandleClick(d.press_pos_)))
                    break;
            }
            const int64_t at = UTCSecondsAtXPos(d.press_pos_.x()) * 1000;
            if (!consumed && at >= d.range_start_ms_ && at <= d.range_end_ms_) {
                emit SignalClickedTimeBar();
                Redraw();
            }
        }
        if (d.b_drag_enable_ && d.is_drag_active_)
            EmitDragInRelease(GetCurrentUTCTime());
        d.last_pointer_x_ = 0;
        d.pointer_side_ = AnimationProgressBarData::kPointerSideNone;
        d.press_reference_x_ = 0;
        d.press_time_ = 0;
        d.last_move_time_ = 0;
        d.b_press_stopped_inertia_ = false;
    }
    d.is_pressed_ = false;
    d.velocity_timer_.stop();
    d.is_drag_active_ = false;
    setCursor(Qt::ArrowCursor);
}

void CAnimationProgressBar::enterEvent(QEvent *event)
{
    emit SignalEnter();
    QWidget::enterEvent(event);
}

void CAnimationProgressBar::leaveEvent(QEvent *event)
{
    emit SignalLeave();
    d_ptr_->ptr_time_tip_lb->hide();
    setCursor(Qt::ArrowCursor);
    QWidget::leaveEvent(event);
}

bool CAnimationProgressBar::IsOverReservedRect(const QPoint &p) const
{
    const auto &d = *d_ptr_;
    const bool over_handle = !d.handle_rect_.isEmpty() && p.x() <= d.handle_rect_.width() &&
                             p.y() >= height() - d.handle_rect_.height();
    const bool over_level = !d.level_rect_.isEmpty() && p.x() >= width() - d.level_rect_.width() &&
                            p.y() >= height() - d.level_rect_.height();
    return over_handle || over_level;
}

void CAnimationProgressBar::OnUpdateTimeTip()
{
    auto &d = *d_ptr_;
    const QPoint p = d.pointer_pos_;
    QLabel *tip = d.ptr_time_tip_lb;
    if (IsOverReservedRect(p)) {
        tip->hide();
        return;
    }
    tip->setText(TimeTConvertToDateTime(p.x()).toString("hh:mm:ss"));
    int y = p.y() + kTipOffset;
    if (y + tip->height() > height())
        y = height() - tip->height();
    tip->move(p.x() + kTipOffset, y);
}

// ---- painting -----------------------------------------------------------------------------

void CAnimationProgressBar::paintEvent(QPaintEvent *)
{
    auto &d = *d_ptr_;
    d.b_need_repaint_ = false;
    QPainter painter(this);
    QFont font = this->font();
    font.setFamily("Segoe UI");
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setPen(QColor("#cccccc"));

    painter.fillRect(rect(), d.background_color_);
    PaintScale(painter);
    painter.setPen(QPen(QColor(170, 170, 170), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, kHeaderHeight, width() - 1, height() - kHeaderHeight - 1);
    for (CAbstractDelegate *delegate : d.qvc_delegates_) {
        painter.save();
        delegate->Paint(painter);
        painter.restore();
    }
    if (d.b_draw_middle_line_) {
        painter.setRenderHint(QPainter::Antialiasing);
        const int middle = width() / 2;
        painter.setPen(QPen(QColor("#B62C31"), 3));
        painter.drawLine(middle - 3, kHeaderHeight, middle - 3, height());
        painter.setOpacity(0.58);
        painter.setPen(QPen(QColor("#2e2e2e"), 3));
        painter.drawLine(middle, kHeaderHeight, middle, height());
    }
}

void CAnimationProgressBar::PaintScale(QPainter &painter)
{
    const auto &d = *d_ptr_;
    const int level = d.current_level_;
    const int64_t unit = static_cast<int64_t>(kUnitSeconds[level]);
    const int64_t period = level == LevelSevenDays ? kSecondsPerWeek : kSecondsPerDay;
    const int64_t now = GetCurrentUTCTime();
    // Major ticks fall on multiples of the unit in device standard time.
    const int64_t rest = PositiveMod(PositiveMod(now + d.time_spec_offset_, period), unit);
    const float x0 = width() / 2.0f - rest * d.unit_scale_length_ / unit;
    const int64_t t0 = now - rest;
    if (d.is_scaling_)
        PaintScaleScaling(painter, x0, t0);
    else
        PaintScaleAtRest(painter, x0, t0);
}

void CAnimationProgressBar::PaintScaleAtRest(QPainter &painter, float x0, __int64 t0)
{
    const auto &d = *d_ptr_;
    const int level = d.current_level_;
    const float u = d.unit_scale_length_;
    const int64_t unit = static_cast<int64_t>(d.unit_time_length_);
    const int line = d.scale_line_height_;
    const bool four_minor = level == LevelSixHours || level == LevelTwoHours;
    const int minor_count = four_minor ? 4 : 5;
    const QPen major_pen(QColor(128, 128, 128));
    painter.setPen(major_pen);
    for (int i = -kHalfUnits - 1; i <= kHalfUnits + 1; ++i) {
        const float x = x0 + i * u;
        if (i >= -kHalfUnits && i <= kHalfUnits + 1)
            painter.drawLine(QPointF(x, kHeaderHeight), QPointF(x, kHeaderHeight + line));
        for (int m = 1; m <= minor_count; ++m) {
            const float mx = x + m * u / (minor_count + 1);
            const int bottom = !four_minor && m == 3 ? 28 + line : 26 + line;
            painter.drawLine(QPointF(mx, kHeaderHeight), QPointF(mx, bottom));
        }
    }
    painter.setPen(QColor(77, 77, 77));
    for (int i = -kHalfUnits; i <= kHalfUnits + 1; ++i) {
        const int64_t t = t0 + i * unit;
        if (d.is_simplify_mode_ &&
            PositiveMod(PositiveMod(t + d.time_spec_offset_, kSecondsPerDay), 3 * unit) != 0)
            continue;
        PaintLabel(painter, x0 + i * u, t);
    }
}

void CAnimationProgressBar::PaintScaleScaling(QPainter &painter, float x0, __int64 t0)
{
    const auto &d = *d_ptr_;
    const int coarse = std::min(d.scaling_from_level_, d.scaling_to_level_);
    const int ratio = kSpanSeconds[coarse] / kSpanSeconds[coarse + 1];
    const float sub_length = d.unit_scale_length_ / ratio;
    const int64_t sub_time = static_cast<int64_t>(kUnitSeconds[coarse]) / ratio;
    const float fade = std::clamp((d.unit_scale_length_ - d.base_unit_length_) /
                                      ((ratio - 1) * d.base_unit_length_),
                                  0.0f, 1.0f);
    const float progress =
        std::clamp(static_cast<float>(d.scaling_elapsed_) / d.scaling_duration_, 0.0f, 1.0f);
    const int64_t from_label = 3 * static_cast<int64_t>(kUnitSeconds[d.scaling_from_level_]);
    const int64_t to_label = 3 * static_cast<int64_t>(kUnitSeconds[d.scaling_to_level_]);
    const int64_t fine_label = 3 * static_cast<int64_t>(kUnitSeconds[coarse + 1]);
    const int line = d.scale_line_height_;
    const int count = kHalfUnits * ratio;
    const QPen tick_pen(QColor(128, 128, 128));
    const QPen label_pen(QColor(77, 77, 77));
    for (int i = -count; i <= count; ++i) {
        const float x = x0 + i * sub_length;
        if (x < -kLabelWidth || x > width() + kLabelWidth)
            continue;
        const int64_t t = t0 + i * sub_time;
        const bool major = i % ratio == 0;
        const float opacity = major ? 1.0f : fade;
        painter.setOpacity(opacity);
        painter.setPen(tick_pen);
        painter.drawLine(QPointF(x, kHeaderHeight), QPointF(x, kHeaderHeight + line));

        float label_opacity = opacity;
        if (d.is_simplify_mode_) {
            const int64_t day_time = PositiveMod(t + d.time_spec_offset_, kSecondsPerDay);
            if (day_time % fine_label != 0)
                continue;
            const bool on_from = day_time % from_label == 0;
            const bool on_to = day_time % to_label == 0;
            label_opacity = on_to && !on_from ? progress : on_from && !on_to ? 1 - progress : 1;
        }
        if (label_opacity <= 0)
            continue;
        painter.setOpacity(label_opacity);
        painter.setPen(label_pen);
        PaintLabel(painter, x, t);
    }
    painter.setOpacity(1);
}

void CAnimationProgressBar::PaintLabel(QPainter &painter, float x, __int64 t)
{
    auto &d = *d_ptr_;
    const int minute =
        static_cast<int>(PositiveMod(t + DeviceOffsetSeconds(t), kSecondsPerDay) / 60);
    auto found = d.label_cache_.find(minute);
    if (found == d.label_cache_.end()) {
        QStaticText text(QString("%1:%2")
                             .arg(minute / 60, 2, 10, QChar('0'))
                             .arg(minute % 60, 2, 10, QChar('0')));
        text.setTextFormat(Qt::PlainText);
        text.prepare(QTransform(), painter.font());
        found = d.label_cache_.insert(minute, text);
    }
    const QSizeF size = found->size();
    const QRectF box(x - kLabelWidth / 2.0, kHeaderHeight + 2 + d.scale_line_height_, kLabelWidth,
                     kLabelHeight);
    painter.drawStaticText(
        QPointF(box.center().x() - size.width() / 2, box.center().y() - size.height() / 2), *found);
}

} // namespace TeskVideoSearch
