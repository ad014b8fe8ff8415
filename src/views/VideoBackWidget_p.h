#pragma once

#include "ui_VideoBackWidget.h"

namespace TeskVideoSearch {

class CVideoSplitRecordWidget;

struct VideoBackWidgetData
{
    Ui::CVideoBackWidgetUI ui_;
    CVideoSplitRecordWidget *ptr_split_record_widget_ = nullptr;
    int current_index_ = 0;
};

} // namespace TeskVideoSearch
