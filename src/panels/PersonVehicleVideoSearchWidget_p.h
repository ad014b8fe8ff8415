#pragma once

#include "panels/SearchPageCore.h"
#include "ui_PersonVehicleVideoSearchWidget.h"

#include <memory>

namespace TeskVideoSearch {

struct CPersonVehicleVideoSearchWidgetData
{
    Ui::CPersonVehicleVideoSearchWidgetUI ui_;
    std::unique_ptr<CSearchPageCore> ptr_core_;
};

} // namespace TeskVideoSearch
