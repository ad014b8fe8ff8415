#pragma once

#include "panels/SearchPageCore.h"
#include "ui_LockVideoSearchWidget.h"

#include <memory>

namespace TeskVideoSearch {

struct CLockVideoSearchWidgetData
{
    Ui::CLockVideoSearchWidgetUI ui_;
    std::unique_ptr<CSearchPageCore> ptr_core_;
};

} // namespace TeskVideoSearch
