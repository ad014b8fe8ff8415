#pragma once

#include "timebar/BaseFileProgressBar.h"

#include <QLabel>
#include <QPointer>

#include <tuple>
#include <utility>
#include <vector>

namespace TeskVideoSearch {

class CFileTipBar;
class CTimeBarLoadingLabel;

// Orders by begin, then end, then index text.
using TimeSliderFileKey = std::tuple<int64_t, int64_t, std::string>;

struct BaseFileProgressBarData
{
    QPointer<CTimeBarDelegate> ptr_time_bar_delegate_; // a host may remove it
    QPointer<CLevelPanel> ptr_level_panel_;
    OrlPluginManager::COrlTimeZoneInfor device_time_zone_;
    // The file lookup: unique keys in order, with the running maximum of the ends so that a
    // hover finds its files by binary search instead of walking every recording.
    std::vector<std::pair<TimeSliderFileKey, std::shared_ptr<TimeSliderFile>>> file_lookup_;
    std::vector<int64_t> lookup_max_end_;
    std::vector<std::shared_ptr<TimeSliderFile>> qvc_files_;
    CFileTipBar *ptr_file_tip = nullptr;
    QWidget *ptr_parent_ = nullptr;
    QLabel *ptr_show_range_label_ = nullptr;
    QLabel *ptr_title_label_ = nullptr;
    QLabel *ptr_date_label_ = nullptr;
    CTimeBarLoadingLabel *ptr_loading_label_ = nullptr;
    QWidget *ptr_tip_parent_ = nullptr;
};

} // namespace TeskVideoSearch
