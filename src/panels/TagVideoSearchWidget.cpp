#include "panels/TagVideoSearchWidget.h"
#include "panels/TagVideoSearchWidget_p.h"

#include <QVariant>

namespace TeskVideoSearch {

CTagVideoSearchWidget::CTagVideoSearchWidget(QWidget *parent)
    : CAbstractSearchWidget(parent)
    , data_(std::make_shared<CTagVideoSearchWidgetData>())
{
    data_->ui_.setupUi(this);
    data_->ptr_core_ = std::make_unique<CSearchPageCore>(
        this, base_data_, MakeSearchPageForm(data_->ui_), PageTotalSource::DataManager);
}

CTagVideoSearchWidget::~CTagVideoSearchWidget() = default;

void CTagVideoSearchWidget::LoadWidget(std::shared_ptr<CVideoSearchController> controller,
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

void CTagVideoSearchWidget::ClearSearchResult(bool cancel)
{
    data_->ptr_core_->ClearSearchResult(cancel);
}

void CTagVideoSearchWidget::StartSearchVideo(
    teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    // The panel runs one search for every tag page.
    data_->ptr_core_->PrepareSearch(condition);
}

bool CTagVideoSearchWidget::GetPlaybackParam(CClipPlaybackParam &param)
{
    return data_->ptr_core_->GetPlaybackParam(param);
}

void CTagVideoSearchWidget::GetExportInfo(QVector<CVideoDownloadInfo> &records,
                                          DownloadTimeType &time)
{
    data_->ptr_core_->GetExportInfo(records, time);
}

void CTagVideoSearchWidget::UpdataTimeSliderCurrentFile(const int &data_id)
{
    data_->ptr_core_->UpdataTimeSliderCurrentFile(data_id);
}

void CTagVideoSearchWidget::UpdateCustomData(const int &data_id)
{
    data_->ptr_core_->UpdateCustomData(data_id);
}

void CTagVideoSearchWidget::ReloadSearchVideoData()
{
    data_->ptr_core_->ReloadSearchVideoData();
}

TVS_SEARCH_PAGE_CORE_SLOTS(CTagVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_OPERATION_SLOT(CTagVideoSearchWidget)

} // namespace TeskVideoSearch
