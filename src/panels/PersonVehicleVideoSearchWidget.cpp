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

void CPersonVehicleVideoSearchWidget::OnSearchResult(ClipSearchEvent search_event)
{
    data_->ptr_core_->OnSearchResult(search_event);
}

void CPersonVehicleVideoSearchWidget::OnUpdateExportBtnState(bool checked)
{
    data_->ptr_core_->OnUpdateExportBtnState(checked);
}

void CPersonVehicleVideoSearchWidget::OnDataOperation(OperationType operation_type, int data_id)
{
    data_->ptr_core_->OnDataOperation(operation_type, data_id);
}

void CPersonVehicleVideoSearchWidget::OnShowThumbnailWidget()
{
    data_->ptr_core_->OnShowThumbnailWidget();
}

void CPersonVehicleVideoSearchWidget::OnShowListWidget()
{
    data_->ptr_core_->OnShowListWidget();
}

void CPersonVehicleVideoSearchWidget::OnCameraFilterChanged()
{
    data_->ptr_core_->OnCameraFilterChanged();
}

void CPersonVehicleVideoSearchWidget::OnSortTypeChanged(int sort_type)
{
    data_->ptr_core_->OnSortTypeChanged(sort_type);
}

void CPersonVehicleVideoSearchWidget::OnCameraAboutToDelete(QVector<QString> camera_ids)
{
    data_->ptr_core_->OnCameraAboutToDelete(camera_ids);
}

void CPersonVehicleVideoSearchWidget::OnTimeProgressSelectedFileChanged(
    std::shared_ptr<TimeSliderFile> file)
{
    data_->ptr_core_->OnTimeProgressSelectedFileChanged(file);
}

void CPersonVehicleVideoSearchWidget::OnMaxTipCloseBtnClicked()
{
    data_->ptr_core_->OnMaxTipCloseBtnClicked();
}

} // namespace TeskVideoSearch
