#pragma once

#include "search/WidgetRecords.h"
#include "views/ListSightCheckModel.h"

#include "ui_ListSightWidget.h"

namespace TeskVideoSearch {

struct ListSightWidgetData
{
    Ui::CListSightWidgetUI ui_;
    CListSightCheckModel *ptr_model_ = nullptr;
    CListSightWidgetParam param_;
    float design_width_ = 838.0f;
    int top_data_id_ = -1;
    int bottom_data_id_ = -1;
    int sort_type_ = SortStored;
    bool is_loading_ = false;
    // Set while one mark change propagates to its camera row or items, so that the marks
    // written on the way do not propagate again.
    bool is_propagating_ = false;
};

} // namespace TeskVideoSearch
