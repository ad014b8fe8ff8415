#pragma once

#include "search/SearchRecords.h"

#include "ui_VideoSingleRecordWidget.h"

namespace TeskVideoSearch {

struct VideoSingleRecordWidgetData
{
    Ui::CVideoSingleRecordWidgetUI ui_;
    int record_index_ = -1;
    VideoSplitInfo record_;
};

} // namespace TeskVideoSearch
