#pragma once

#include "panels/SearchPageCore.h"
#include "ui_TagVideoSearchWidget.h"

#include <memory>

namespace TeskVideoSearch {

struct CTagVideoSearchWidgetData
{
    Ui::CTagVideoSearchWidgetUI ui_;
    std::unique_ptr<CSearchPageCore> ptr_core_;
};

} // namespace TeskVideoSearch
