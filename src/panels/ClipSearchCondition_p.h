#pragma once

#include "ui_ClipSearchCondition.h"

namespace TeskVideoSearch {

struct ClipSearchConditionData
{
    Ui::CClipSearchConditionUI ui_;
    CConditionWidgetInitParam init_param_;
};

} // namespace TeskVideoSearch
