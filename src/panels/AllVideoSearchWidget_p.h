#pragma once

#include "panels/SearchPageCore.h"
#include "ui_AllVideoSearchWidget.h"

#include <QString>

#include <memory>

namespace TeskVideoSearch {

struct AllVideoSearchWidgetData
{
    Ui::CAllVideoSearchWidgetUI ui_;
    std::unique_ptr<CSearchPageCore> ptr_core_;
    // Identifier of the last re-split of all recordings; older answers are ignored.
    QString current_split_guid_;
    // Segment length in seconds that the shown rows were split with.
    int split_time_ = 0;
};

} // namespace TeskVideoSearch
