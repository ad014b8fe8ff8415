#pragma once

#include "ui_SegmentNumWidget.h"

namespace TeskVideoSearch {

struct SegmentNumWidgetData
{
    Ui::CSegmentNumWidgetUI ui_;
};

} // namespace TeskVideoSearch
