#pragma once

#include "timebar/TimeBarDelegate.h"

#include <QMap>
#include <QRgb>

#include <cstdint>
#include <map>
#include <vector>

namespace TeskVideoSearch {

// Bands of one record type sorted by begin, with the running maximum of their ends, so that
// painting finds the first visible band by binary search and skips whole overlapping runs.
struct TimeBarRunIndex
{
    std::vector<int64_t> begin;
    std::vector<int64_t> end;
    std::vector<int64_t> max_end;
    std::vector<QRgb> color;

    void Build(const QVector<TimeBarParam> &sorted_bars, const int *only_type);
    // Adds a band that begins no earlier than the last one.
    void Append(const TimeBarParam &bar);
    // Drops the last `count` bands.
    void Truncate(size_t count);
};

struct TimeBarDelegateData
{
    QVector<TimeBarParam> qvc_file_bars_; // sorted by dtStart
    QVector<TimeBarParam> qvc_selected_bars_;
    QVector<TimeBarParam> qvc_hover_bars_;
    QVector<TimeBarParam> qvc_sync_bars_;
    QList<int> types_;
    QMap<int, bool> type_visible_;
    float opacity_ = 1.0f;
    bool b_clear_sync_bars_ = false;

    std::map<int, TimeBarRunIndex> file_index_;
    TimeBarRunIndex hover_index_;
    TimeBarRunIndex selected_index_;
};

} // namespace TeskVideoSearch
