#include "panels/AbstractSearchWidget.h"

#include "data/VideoDataManager.h"
#include "search/CommonFunction.h"
#include "search/VideoSearchController.h"

#include "mirelog/Log.h"
#include "playcontroller/PlaybackFile.h"

namespace TeskVideoSearch {

CAbstractSearchWidget::CAbstractSearchWidget(QWidget *parent)
    : QWidget(parent)
    , base_data_(std::make_shared<CAbstractSearchWidgetData>())
{
    RegisterSearchMetaTypes();
    qRegisterMetaType<VideoDataType>("VideoDataType");
    qRegisterMetaType<VideoDataType>("TeskVideoSearch::VideoDataType");
}

CAbstractSearchWidget::~CAbstractSearchWidget() = default;

void CAbstractSearchWidget::InitWidgetParam(CClipSearchWidgetInitParam &param)
{
    base_data_->SetVal_init_param_(param);
}

void CAbstractSearchWidget::LoadWidget(std::shared_ptr<CVideoSearchController> controller,
                                       const VideoDataType &data_type,
                                       const FilterVCADataType &filter_type)
{
    // The views keep the first data manager; a second binding would leave them on a stale one.
    if (property("Initialized").toBool()) {
        TESK_LOG_ERROR("page of kind %d is bound already; kind %d refused",
                       static_cast<int>(DataManager()->GetDataType()), static_cast<int>(data_type));
        return;
    }
    if (!controller) {
        TESK_LOG_ERROR("page of kind %d: no search controller to bind",
                       static_cast<int>(data_type));
        return;
    }
    base_data_->SetVal_ptr_search_controller_(controller);
    auto manager = std::make_shared<CVideoDataManager>();
    base_data_->SetVal_ptr_data_manager_(manager);
    CVideoDataInitParam init;
    init.SetVal_video_data_type(data_type);
    init.SetVal_filter_vca_data_type(filter_type);
    init.SetVal_ptr_expand_interface(
        base_data_->GetVal_init_param_().GetVal_ptr_expand_interface());
    manager->InitDataParam(init, controller);
}

void CAbstractSearchWidget::ClearSearchResult(bool) {}

void CAbstractSearchWidget::StartSearchVideo(teskplaycontroller::CCameraVideoSearchCondition &) {}

bool CAbstractSearchWidget::GetPlaybackParam(CClipPlaybackParam &)
{
    return false;
}

void CAbstractSearchWidget::GetExportInfo(QVector<CVideoDownloadInfo> &, DownloadTimeType &) {}

void CAbstractSearchWidget::UpdateCustomData(const int &) {}

void CAbstractSearchWidget::DeleteCustomData(teskplaycontroller::CResourceKey &, const __int64 &,
                                             const __int64 &)
{}

void CAbstractSearchWidget::ReloadSearchVideoData() {}

void CAbstractSearchWidget::UpdataTimeSliderCurrentFile(const int &) {}

std::shared_ptr<CVideoSearchController> CAbstractSearchWidget::SearchController() const
{
    return base_data_->GetVal_ptr_search_controller_();
}

std::shared_ptr<CVideoDataManager> CAbstractSearchWidget::DataManager() const
{
    return base_data_->GetVal_ptr_data_manager_();
}

std::vector<std::shared_ptr<TimeSliderFile>>
CAbstractSearchWidget::GetTimeSliderFile(const CameraFilesList &camera_files, int first_data_id)
{
    std::vector<std::shared_ptr<TimeSliderFile>> bands;
    const auto manager = DataManager();
    if (!SearchController() || !manager)
        return bands;
    const bool device_time = manager->GetDataTimeType().first == OrlSearchTimeType::DeviceTime;
    // Rows arrive in display order, so a row's position is the data id the views know it by.
    int data_id = first_data_id;
    for (const CameraFilesEntry &row : camera_files) {
        const std::string index =
            CCommonFunction::CreateTimeSliderFileIndex(data_id, data_id).toStdString();
        const std::string camera_id = row.first.GetVal_camera_key().GetVal_resource_id();
        for (const PlaybackFilePtr &file : row.second) {
            if (!file)
                continue;
            int64_t begin = file->GetFileBegTime();
            int64_t end = file->GetFileEndTime();
            if (device_time) {
                begin = CCommonFunction::SwitchISOTimeToEast8ZoneTime(file->GetFileISOBeginTime());
                end = CCommonFunction::SwitchISOTimeToEast8ZoneTime(file->GetFileISOEndTime());
            }
            auto band = std::make_shared<TimeSliderFile>(
                index, file->GetFileName(), begin, end,
                CCommonFunction::SwitchPlaybackFileTypeToSliderType(file->GetFileType()),
                camera_id);
            if (auto device = std::dynamic_pointer_cast<teskplaycontroller::CDeviceFile>(file))
                band->SetRecordFileType(device->GetRecordFileType());
            bands.push_back(std::move(band));
        }
        ++data_id;
    }
    return bands;
}

} // namespace TeskVideoSearch
