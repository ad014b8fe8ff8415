#include "panels/PersonVehicleVideoSearchWidget.h"
#include "panels/PersonVehicleVideoSearchWidget_p.h"

#include <QVariant>

namespace TeskVideoSearch {

CPersonVehicleVideoSearchWidget::CPersonVehicleVideoSearchWidget(QWidget *parent)
    : CAbstractSearchWidget(parent)
    , data_(std::make_shared<CPersonVehicleVideoSearchWidgetData>())
{
    data_->ui_.setupUi(this);
    data_->ptr_core_ = std::make_unique<CSearchPageCore>(
        this, base_data_, MakeSearchPageForm(data_->ui_), PageTotalSource::DataManager);
}

CPersonVehicleVideoSearchWidget::~CPersonVehicleVideoSearchWidget() = default;

void CPersonVehicleVideoSearchWidget::StartSearchVideo(
    teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    // The panel runs one search for both detection pages.
    data_->ptr_core_->PrepareSearch(condition);
}

TVS_SEARCH_PAGE_CORE_BINDING(CPersonVehicleVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_QUERIES(CPersonVehicleVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_SLOTS(CPersonVehicleVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_OPERATION_SLOT(CPersonVehicleVideoSearchWidget)

} // namespace TeskVideoSearch
