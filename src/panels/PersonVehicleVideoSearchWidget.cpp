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

void CPersonVehicleVideoSearchWidget::LoadWidget(std::shared_ptr<CVideoSearchController> controller,
                                                 const VideoDataType &data_type,
                                                 const FilterVCADataType &filter_type)
{
    CAbstractSearchWidget::LoadWidget(controller, data_type, filter_type);
    if (!DataManager() || property("Initialized").toBool())
        return;
    setProperty("Initialized", true);
    data_->ptr_core_->SetupForm();
    data_->ptr_core_->ConnectPage(this);
}

void CPersonVehicleVideoSearchWidget::ClearSearchResult(bool cancel)
{
    data_->ptr_core_->ClearSearchResult(cancel);
}

void CPersonVehicleVideoSearchWidget::StartSearchVideo(
    teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    // The panel runs one search for both detection pages.
    data_->ptr_core_->PrepareSearch(condition);
}

bool CPersonVehicleVideoSearchWidget::GetPlaybackParam(CClipPlaybackParam &param)
{
    return data_->ptr_core_->GetPlaybackParam(param);
}

void CPersonVehicleVideoSearchWidget::GetExportInfo(QVector<CVideoDownloadInfo> &records,
                                                    DownloadTimeType &time)
{
    data_->ptr_core_->GetExportInfo(records, time);
}

void CPersonVehicleVideoSearchWidget::UpdataTimeSliderCurrentFile(const int &data_id)
{
    data_->ptr_core_->UpdataTimeSliderCurrentFile(data_id);
}

TVS_SEARCH_PAGE_CORE_SLOTS(CPersonVehicleVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_OPERATION_SLOT(CPersonVehicleVideoSearchWidget)

} // namespace TeskVideoSearch
