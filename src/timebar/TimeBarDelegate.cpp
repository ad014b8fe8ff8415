#include "timebar/TimeBarDelegate.h"

#include "timebar/AnimationProgressBar.h"
#include "timebar/TimeBarDelegate_p.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>

namespace TeskVideoSearch {

namespace {

constexpr int kBandTop = 30;
constexpr qreal kFileOpacity = 0.2;
constexpr qreal kHoverOpacity = 0.1;
constexpr qreal kSelectedOpacity = 1.0;

bool BeginsEarlier(const TimeBarParam &a, const TimeBarParam &b)
{
    return a.dtStart < b.dtStart;
}

// Maps UTC seconds to x in the bar and back, from one snapshot of the axis.
struct AxisMapping
{
    double current = 0;
    double unit_pixels = 0;
    double unit_seconds = 0;
    double centre = 0;

    // Multiplying before dividing keeps whole-pixel edges whole.
    double X(int64_t t) const { return (t - current) * unit_pixels / unit_seconds + centre; }
    double Time(double x) const { return current + (x - centre) * unit_seconds / unit_pixels; }
};

// The first index from `from` on whose begin is not before t. Runs grow a few bands at a
// time, so galloping from `from` reads a few nearby entries instead of halving the whole list.
size_t FirstBeginNotBefore(const std::vector<int64_t> &begin, size_t from, double t)
{
    const size_t n = begin.size();
    size_t low = from; // everything before low begins before t
    size_t high = from;
    size_t step = 1;
    while (high < n && begin[high] < t) {
        low = high + 1;
        high = from + step;
        step *= 2;
    }
    high = std::min(high, n);
    return std::lower_bound(begin.begin() + low, begin.begin() + high, t,
                            [](int64_t value, double limit) { return value < limit; }) -
           begin.begin();
}

// Fills every run of overlapping or touching bands once, clipped to [clip_left, clip_right).
// A band covers the pixel columns [floor(x1), max(floor(x2), floor(x1) + 1)); a band whose
// first column lies inside the run or just after it joins the run. Filling each run once keeps
// translucent overlaps even, and bounds the fills by the gaps on screen, not by the bands.
void PaintRuns(QPainter &painter, const TimeBarRunIndex &index, const AxisMapping &axis,
               int clip_left, int clip_right, int fill_bottom)
{
    const size_t n = index.begin.size();
    if (n == 0 || clip_left >= clip_right)
        return;
    const auto column = [&](int64_t t) {
        return static_cast<int64_t>(std::floor(axis.X(t)));
    };
    const double t_left = axis.Time(clip_left);
    const double t_right = axis.Time(clip_right);
    size_t i = std::lower_bound(index.max_end.begin(), index.max_end.end(), t_left,
                                [](int64_t end, double t) { return end < t; }) -
               index.max_end.begin();
    while (i < n && index.begin[i] <= t_right) {
        if (axis.X(index.end[i]) < clip_left) {
            ++i;
            continue;
        }
        const int64_t left = column(index.begin[i]);
        int64_t right = std::max(column(index.end[i]), left + 1);
        size_t next = i + 1;
        // Past the right edge nothing more shows: stop growing there.
        while (next < n && right < clip_right) {
            // Everything that begins before the column after the run joins it.
            const double t_joins = axis.Time(static_cast<double>(right + 1));
            const size_t joined = FirstBeginNotBefore(index.begin, next, t_joins);
            if (joined == next)
                break;
            next = joined;
            right = std::max(
                {right, column(index.max_end[next - 1]), column(index.begin[next - 1]) + 1});
        }
        const int64_t fill_left = std::max<int64_t>(left, clip_left);
        const int64_t fill_right = std::min<int64_t>(right, clip_right);
        if (fill_left < fill_right) {
            painter.fillRect(QRect(static_cast<int>(fill_left), kBandTop,
                                   static_cast<int>(fill_right - fill_left),
                                   fill_bottom - kBandTop),
                             QColor(index.color[i]));
        }
        i = next;
    }
}

} // namespace

void TimeBarRunIndex::Build(const QVector<TimeBarParam> &sorted_bars, const int *only_type)
{
    begin.clear();
    end.clear();
    max_end.clear();
    color.clear();
    for (const TimeBarParam &bar : sorted_bars) {
        if (!only_type || bar.iTimeType == *only_type)
            Append(bar);
    }
}

void TimeBarRunIndex::Append(const TimeBarParam &bar)
{
    begin.push_back(bar.dtStart);
    end.push_back(std::max(bar.dtEnd, bar.dtStart));
    max_end.push_back(max_end.empty() ? end.back() : std::max(max_end.back(), end.back()));
    color.push_back(bar.barColor.isValid() ? bar.barColor.rgb() : QColor(33, 150, 243).rgb());
}

void TimeBarRunIndex::Truncate(size_t count)
{
    const size_t kept = begin.size() - std::min(count, begin.size());
    begin.resize(kept);
    end.resize(kept);
    max_end.resize(kept);
    color.resize(kept);
}

CTimeBarDelegate::CTimeBarDelegate(QObject *parent, const QList<int> &types)
    : CAbstractDelegate(parent, RecordFileDelegate)
    , d_ptr_(std::make_shared<TimeBarDelegateData>())
{
    d_ptr_->types_ = types;
    for (int type : types)
        d_ptr_->type_visible_.insert(type, true);
}

CTimeBarDelegate::~CTimeBarDelegate() = default;

void CTimeBarDelegate::AddTimeBars(const QVector<TimeBarParam> &bars)
{
    auto &d = *d_ptr_;
    if (bars.isEmpty())
        return;
    if (d.file_index_.empty()) {
        for (int type : d.types_)
            d.file_index_[type];
    }
    QVector<TimeBarParam> added = bars;
    std::stable_sort(added.begin(), added.end(), BeginsEarlier);
    // Bands that begin no later than the first new one stay where they are; only the tail after
    // them is merged with the new bands, and only its part of each type's index is redone. A
    // load that comes in time order so costs what it adds, not what the bar already shows.
    const int tail =
        static_cast<int>(std::upper_bound(d.qvc_file_bars_.cbegin(), d.qvc_file_bars_.cend(),
                                          added.front(), BeginsEarlier) -
                         d.qvc_file_bars_.cbegin());
    std::map<int, size_t> tail_of_type;
    for (int i = tail; i < d.qvc_file_bars_.size(); ++i)
        ++tail_of_type[d.qvc_file_bars_.at(i).iTimeType];
    for (const auto &[type, count] : tail_of_type) {
        const auto found = d.file_index_.find(type);
        if (found != d.file_index_.end())
            found->second.Truncate(count);
    }
    QVector<TimeBarParam> merged;
    merged.reserve(d.qvc_file_bars_.size() - tail + added.size());
    std::merge(std::make_move_iterator(d.qvc_file_bars_.begin() + tail),
               std::make_move_iterator(d.qvc_file_bars_.end()),
               std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()),
               std::back_inserter(merged), BeginsEarlier);
    // No reserve to the exact size: that would copy every band on every slice.
    d.qvc_file_bars_.resize(tail);
    for (TimeBarParam &bar : merged) {
        const auto found = d.file_index_.find(bar.iTimeType);
        if (found != d.file_index_.end())
            found->second.Append(bar);
        d.qvc_file_bars_.append(std::move(bar));
    }
}

QVector<TimeBarParam> CTimeBarDelegate::TimeBars() const
{
    return d_ptr_->qvc_file_bars_;
}

void CTimeBarDelegate::SetSelectedBars(const QVector<TimeBarParam> &bars)
{
    QVector<TimeBarParam> sorted = bars;
    std::stable_sort(sorted.begin(), sorted.end(), BeginsEarlier);
    d_ptr_->qvc_selected_bars_ = sorted;
    d_ptr_->selected_index_.Build(sorted, nullptr);
}

QVector<TimeBarParam> CTimeBarDelegate::SelectedBars() const
{
    return d_ptr_->qvc_selected_bars_;
}

void CTimeBarDelegate::SetHoverBars(const QVector<TimeBarParam> &bars)
{
    QVector<TimeBarParam> sorted = bars;
    std::stable_sort(sorted.begin(), sorted.end(), BeginsEarlier);
    d_ptr_->qvc_hover_bars_ = sorted;
    d_ptr_->hover_index_.Build(sorted, nullptr);
}

QVector<TimeBarParam> CTimeBarDelegate::HoverBars() const
{
    return d_ptr_->qvc_hover_bars_;
}

void CTimeBarDelegate::SetSyncBars(const QVector<TimeBarParam> &bars)
{
    d_ptr_->qvc_sync_bars_ = bars;
}

QVector<TimeBarParam> CTimeBarDelegate::SyncBars() const
{
    return d_ptr_->qvc_sync_bars_;
}

void CTimeBarDelegate::SetClearSyncBars(bool clear)
{
    d_ptr_->b_clear_sync_bars_ = clear;
}

void CTimeBarDelegate::ClearSyncBars()
{
    d_ptr_->qvc_sync_bars_.clear();
}

QList<int> CTimeBarDelegate::Types() const
{
    return d_ptr_->types_;
}

bool CTimeBarDelegate::HasType(int type) const
{
    return d_ptr_->type_visible_.contains(type);
}

void CTimeBarDelegate::SetTypeVisible(int type, bool visible)
{
    if (HasType(type))
        d_ptr_->type_visible_[type] = visible;
}

bool CTimeBarDelegate::IsTypeVisible(int type) const
{
    return d_ptr_->type_visible_.value(type, false);
}

void CTimeBarDelegate::Clear()
{
    auto &d = *d_ptr_;
    d.qvc_file_bars_.clear();
    d.file_index_.clear();
    SetSelectedBars({});
    SetHoverBars({});
    if (d.b_clear_sync_bars_)
        d.qvc_sync_bars_.clear();
}

void CTimeBarDelegate::Paint(QPainter &painter)
{
    const auto &d = *d_ptr_;
    CAnimationProgressBar *bar = ProgressBar();
    if (!bar || bar->UnitTimeLength() <= 0 || bar->UnitScaleLength() <= 0)
        return;
    AxisMapping axis;
    axis.current = static_cast<double>(bar->GetCurrentUTCTime());
    axis.unit_pixels = bar->UnitScaleLength();
    axis.unit_seconds = bar->UnitTimeLength();
    axis.centre = bar->width() / 2.0;

    // Nothing is drawn outside the allowed range, which can be narrower than the window.
    QDateTime range_from, range_to;
    bar->GetTimeRange(range_from, range_to);
    const double range_left = axis.X(range_from.toSecsSinceEpoch());
    const double range_right = axis.X(range_to.toSecsSinceEpoch());
    const int clip_left = static_cast<int>(std::max(0.0, std::floor(range_left)));
    const int clip_right = static_cast<int>(std::min<double>(bar->width(), std::ceil(range_right)));
    const int bottom = bar->height();

    painter.setRenderHint(QPainter::Antialiasing, false);
    bool any_visible = false;
    for (int type : d.types_) {
        if (!d.type_visible_.value(type, false))
            continue;
        any_visible = true;
        const auto found = d.file_index_.find(type);
        if (found == d.file_index_.end())
            continue;
        painter.setOpacity(d.opacity_ * kFileOpacity);
        PaintRuns(painter, found->second, axis, clip_left, clip_right, bottom);
    }
    if (!any_visible)
        return;
    // Hover and selection are drawn once over all kinds; the selection is opaque whatever
    // lies beneath it.
    painter.setOpacity(d.opacity_ * kHoverOpacity);
    PaintRuns(painter, d.hover_index_, axis, clip_left, clip_right, bottom);
    painter.setOpacity(d.opacity_ * kSelectedOpacity);
    PaintRuns(painter, d.selected_index_, axis, clip_left, clip_right, bottom);
}

} // namespace TeskVideoSearch
