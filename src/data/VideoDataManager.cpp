#include "data/VideoDataManager.h"

#include "extension/VideoSearchExpandInterface.h"
#include "search/CommonFunction.h"
#include "search/VideoSearchController.h"

#include <map>

namespace TeskVideoSearch {

struct VideoDataManagerData
{
    std::shared_ptr<CVideoSearchController> ptr_search_controller_;
    std::shared_ptr<teskplaycontroller::CTakeThumbnailController> ptr_thumbnail_controller_;
    CVideoSearchExpandInterface *ptr_expand_interface = nullptr;
    QVector<teskplaycontroller::ResourceKey> qvc_filter_camera_keys;
    FileSortType file_sort_type = SortStored;
    VideoDataType video_data_type = RegularVideo;
    FilterVCADataType filter_vca_data_type = FilterVcaNone;
    TimeTypePair time_type{OrlSearchTimeType::ClientTime, false};
    int viewport_width_ = 0;
    int current_data_num_ = 0;
};

CVideoDataManager::CVideoDataManager(QObject *parent)
    : QObject(parent)
    , data_(std::make_shared<VideoDataManagerData>())
{
    qRegisterMetaType<ResourceNumMap>("QMap<QPair<QString,QString>,int>");
    qRegisterMetaType<teskplaycontroller::ThumbnailKey>("teskplaycontroller::ThumbnailKey");
    qRegisterMetaType<teskplaycontroller::ThumbnailResult>("teskplaycontroller::ThumbnailResult");
}

CVideoDataManager::~CVideoDataManager() = default;

void CVideoDataManager::InitDataParam(CVideoDataInitParam &param,
                                      std::shared_ptr<CVideoSearchController> controller)
{
    const VideoDataInitParam &init = param.GetData();
    data_->ptr_expand_interface = init.ptr_expand_interface;
    data_->qvc_filter_camera_keys = init.qvc_filter_camera_keys;
    data_->file_sort_type = init.file_sort_type;
    data_->video_data_type = init.video_data_type;
    data_->filter_vca_data_type = init.filter_vca_data_type;
    data_->time_type = init.time_type;
    data_->ptr_search_controller_ = std::move(controller);
}

void CVideoDataManager::UpdateFilterCamera(const QVector<CResourceKey> &cameras)
{
    data_->qvc_filter_camera_keys =
        Quor::Base::Value::Field<QVector<CResourceKey>>::Unwrap(cameras);
}

QVector<CResourceKey> CVideoDataManager::GetFilterCamera()
{
    return Quor::Base::Value::Field<QVector<CResourceKey>>::Wrap(data_->qvc_filter_camera_keys);
}

void CVideoDataManager::UpdateFileSortType(const FileSortType &sort_type)
{
    data_->file_sort_type = sort_type;
}

FileSortType CVideoDataManager::GetFileSortType()
{
    return data_->file_sort_type;
}

void CVideoDataManager::UpdateDataTimeType(const TimeTypePair &time_type)
{
    data_->time_type = time_type;
}

TimeTypePair CVideoDataManager::GetDataTimeType()
{
    return data_->time_type;
}

VideoDataType CVideoDataManager::GetDataType()
{
    return data_->video_data_type;
}

FilterVCADataType CVideoDataManager::GetVCADataChildType()
{
    return data_->filter_vca_data_type;
}

void CVideoDataManager::UpdateScrollAreaViewPortWidth(const int &width)
{
    data_->viewport_width_ = width;
}

int CVideoDataManager::GetScrollAreaViewPortWidth()
{
    return data_->viewport_width_;
}

void CVideoDataManager::SetCurrentDataNum(const int &number, const bool &notify)
{
    if (number == data_->current_data_num_)
        return;
    data_->current_data_num_ = number;
    if (number > 0 && notify)
        emit SignalDataPrepared();
}

int CVideoDataManager::GetDataNum()
{
    return data_->current_data_num_;
}

void CVideoDataManager::UpdataDataNumBySearchFinished()
{
    if (data_->file_sort_type != SortStored || !data_->ptr_search_controller_)
        return;
    ResourceNumMap counts;
    for (const CCameraBaseInfo &camera :
         data_->ptr_search_controller_->GetSearchSuccessCameraInfo()) {
        CResourceKey key = camera.GetVal_camera_key();
        const int count =
            data_->ptr_search_controller_->GetSingleCameraFilesNum(data_->video_data_type, key);
        counts.insert({QString::fromStdString(key.GetVal_site_id()),
                       QString::fromStdString(key.GetVal_resource_id())},
                      count);
    }
    if (!counts.isEmpty())
        emit SignalUpdateResourceNum(counts);
}

std::shared_ptr<teskplaycontroller::CCameraForPlay>
CVideoDataManager::FindCameraForPlay(const std::string &camera_id)
{
    CVideoSearchController &controller = *data_->ptr_search_controller_;
    if (data_->video_data_type == VcaSearchVideo) {
        teskplaycontroller::CVCAIncrementalCondition vca;
        controller.GetCurrentVCASearchParam(vca);
        if (vca.GetVal_camera_id().empty())
            return nullptr;
        return std::make_shared<teskplaycontroller::CCameraForPlay>(vca.GetVal_site_id(),
                                                                    vca.GetVal_camera_id());
    }
    teskplaycontroller::CCameraVideoSearchCondition condition;
    controller.GetCurrentSearchParam(condition);
    for (const auto &camera : condition.GetData().tesk_camera_info) {
        if (camera.ptr_camera_for_play && camera.ptr_camera_for_play->GetCameraID() == camera_id)
            return camera.ptr_camera_for_play;
    }
    return nullptr;
}

CVideoDataManager::CameraFlags CVideoDataManager::GetCameraFlags(const CResourceKey &camera)
{
    CameraFlags flags;
    flags.is_regular = data_->video_data_type == RegularVideo;
    flags.split_by_length = flags.is_regular;
    const auto camera_for_play = FindCameraForPlay(camera.GetVal_resource_id());
    if (!camera_for_play)
        return flags;
    teskplaycontroller::COrlPlayBackParamSet playback;
    camera_for_play->GetPlaybackParam(playback);
    const int media_type = playback.GetVal_storage_media_type();
    if (flags.is_regular && media_type == ResourceData::StorageMediaPerFile)
        flags.split_by_length = false;
    if (CVideoSearchExpandInterface *expand = data_->ptr_expand_interface) {
        const QString storage_text = media_type == ResourceData::StorageMediaObject
                                         ? QString::number(playback.GetVal_storage_id())
                                         : QString();
        flags.thumbnail_supported = expand->IsSupportThumbnail(
            static_cast<ResourceData::StorageMediaType>(media_type),
            static_cast<ResourceData::StorageLocation>(playback.GetVal_location_type()),
            storage_text, QString::fromStdString(camera.GetVal_resource_id()));
        flags.search_by_image = expand->IsSupportSearchByImage();
    }
    return flags;
}

std::vector<CustomVideoDataPtr> CVideoDataManager::GetDataByIndex(const int &begin, const int &end)
{
    const int last = data_->current_data_num_ - 1;
    if (begin < 0 || end < 0 || begin > last || end > last || end < begin ||
        !data_->ptr_search_controller_)
        return {};

    CVideoFileParam param;
    VideoFileParam &request = *param.GetDataPtr();
    request.data_type = data_->video_data_type;
    request.qvc_filter_camera_keys = data_->qvc_filter_camera_keys;
    request.show_type = data_->file_sort_type;
    request.begin_index = begin;
    request.end_index = end;
    request.filter_vca_data_type = data_->filter_vca_data_type;
    CameraFilesList rows;
    data_->ptr_search_controller_->GetVideoFiles(rows, param);

    // Flags cost a look-up in the running condition and a call into the host: once per camera.
    // The texts are made once per camera too, so that thousands of items share them.
    struct CameraEntry
    {
        CameraFlags flags;
        QString site_id;
        QString camera_id;
    };
    std::map<std::pair<std::string, std::string>, CameraEntry> by_camera;
    const TimeTypePair time_type = data_->time_type;
    std::vector<CustomVideoDataPtr> items;
    items.reserve(static_cast<size_t>(rows.size()));
    int data_id = begin;
    for (const CameraFilesEntry &row : rows) {
        const CResourceKey key = row.first.GetVal_camera_key();
        auto item = std::make_shared<CCustomVideoData>();
        item->SetFileDatas(row.second);
        const auto camera_id = std::make_pair(key.GetVal_site_id(), key.GetVal_resource_id());
        auto found = by_camera.find(camera_id);
        if (found == by_camera.end())
            found = by_camera
                        .emplace(camera_id, CameraEntry{GetCameraFlags(key),
                                                        QString::fromStdString(camera_id.first),
                                                        QString::fromStdString(camera_id.second)})
                        .first;
        const CameraEntry &camera = found->second;
        item->InsertPairData(KeyDataId, data_id++);
        item->InsertPairData(KeySiteId, camera.site_id);
        item->InsertPairData(KeyShowCameraName, data_->video_data_type != VcaSearchVideo);
        item->InsertPairData(KeyCameraId, camera.camera_id);
        item->InsertPairData(KeyCameraName, row.first.GetVal_camera_name());
        item->InsertPairData(KeyBadgeState, -1);
        const PlaybackFilePtr first = row.second.isEmpty() ? nullptr : row.second.front();
        item->InsertPairData(KeyBeginTimeText,
                             first ? CCommonFunction::GetZonesTimeByTimeType(
                                         first->GetFileISOBeginTime(), first->GetFileBegTime(),
                                         time_type.second, time_type.first)
                                   : QString());
        const CameraFlags &flags = camera.flags;
        item->InsertPairData(KeyIsRegularKind, flags.is_regular);
        item->InsertPairData(KeyIsSplitByLength, flags.split_by_length);
        item->InsertPairData(KeySearchByImageSupported, flags.search_by_image);
        item->InsertPairData(KeyThumbnailSupported, flags.thumbnail_supported);
        CResourceKey count_key = key;
        item->InsertPairData(KeyCameraFileCount,
                             data_->ptr_search_controller_->GetSingleCameraFilesNum(
                                 data_->video_data_type, count_key));
        items.push_back(std::move(item));
    }
    return items;
}

void CVideoDataManager::ConvertData(std::vector<CameraItemsRun> &out,
                                    const std::vector<CustomVideoDataPtr> &items)
{
    // Runs are found within `items` only: a run never continues a pair that `out` already held.
    const size_t first_new = out.size();
    for (const CustomVideoDataPtr &item : items) {
        const QString site = item->GetPairData(KeySiteId).toString();
        const QString camera = item->GetPairData(KeyCameraId).toString();
        const bool same_camera =
            out.size() > first_new && !out.back().second.empty() &&
            out.back().second.back()->GetPairData(KeySiteId).toString() == site &&
            out.back().second.back()->GetPairData(KeyCameraId).toString() == camera;
        if (!same_camera) {
            teskplaycontroller::CResourceKey key;
            key.SetVal_site_id(site.toStdString());
            key.SetVal_resource_id(camera.toStdString());
            out.emplace_back(key, std::vector<CustomVideoDataPtr>());
        }
        out.back().second.push_back(item);
    }
}

bool CVideoDataManager::GetThumbnailByTime(const teskplaycontroller::ThumbnailKey &key)
{
    if (!data_->ptr_search_controller_)
        return false;
    if (!data_->ptr_thumbnail_controller_) {
        // The manager owns the controller as its Qt child; the shared pointer only refers to
        // it, so that the child is deleted once, with the manager.
        data_->ptr_thumbnail_controller_ =
            std::shared_ptr<teskplaycontroller::CTakeThumbnailController>(
                new teskplaycontroller::CTakeThumbnailController(this), [](QObject *) {});
        connect(data_->ptr_thumbnail_controller_.get(),
                &teskplaycontroller::CTakeThumbnailController::signalTakeThumbnailState, this,
                &CVideoDataManager::SignalThumbnailFinished, Qt::UniqueConnection);
    }
    const auto camera = FindCameraForPlay(key.camera_id);
    if (!camera)
        return true;
    if (!data_->ptr_thumbnail_controller_->TakeThumbnailByTime(camera, {key.time}))
        emit SignalThumbnailFinished(key, teskplaycontroller::ThumbnailResult());
    return true;
}

void CVideoDataManager::StopLoadThumbnail()
{
    if (!data_->ptr_thumbnail_controller_)
        return;
    data_->ptr_thumbnail_controller_->Clear();
    data_->ptr_thumbnail_controller_->StopTakeThumbnail();
}

} // namespace TeskVideoSearch
