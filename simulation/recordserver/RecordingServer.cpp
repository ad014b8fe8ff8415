#include "RecordingServer.h"
#include "StoreTimeLapseProvider.h"

#include "recordserver/MediaCodec.h"

#include "mirelog/Log.h"
#include "playcontroller/CameraForPlay.h"
#include "playcontroller/RecordExport.h"
#include "pluginmanager/PluginManager.h"
#include "quorbase/Util.h"

#include <QDateTime>
#include <QDir>
#include <QStandardPaths>

#include <cmath>

namespace teskrecordserver {

using namespace teskplaycontroller;

namespace {

// Errors of cameras that the store does not know or cannot answer for.
constexpr Quor::Base::Error::ErrorCode kDeviceOffline{0x20, 0x2001};

void CopyFile(const FileRow &row, CPlaybackFile &file)
{
    file.SetFileBegTime(row.begin);
    file.SetFileEndTime(row.end);
    file.SetFileName(row.file_name);
    file.SetFileSize(row.file_size);
    file.SetFileISOBeginTime(row.iso_begin);
    file.SetFileISOEndTime(row.iso_end);
}

template<class File>
std::shared_ptr<File> MakeFile(const FileRow &row)
{
    auto file = std::make_shared<File>();
    CopyFile(row, *file);
    file->SetRecordFileType(row.record_file_type);
    return file;
}

CPlaybackFile::Type TypeOfRecording(int record_file_type)
{
    switch (record_file_type) {
    case 1:
        return CPlaybackFile::TypeAlarm;
    case 2:
        return CPlaybackFile::TypeMotion;
    default:
        return CPlaybackFile::TypeRegular;
    }
}

std::shared_ptr<CPersonVehicleFile> MakeEventFile(const EventRow &row)
{
    auto file = MakeFile<CPersonVehicleFile>(row);
    file->SetEventType(row.event_type);
    file->SetFileType(CPlaybackFile::TypeIntelligent);
    return file;
}

} // namespace

CRecordingServer::CRecordingServer() = default;
CRecordingServer::~CRecordingServer() = default;

std::string CRecordingServer::DefaultStoreDir()
{
    const QByteArray data_dir = qgetenv("TESK_DATA_DIR");
    if (!data_dir.isEmpty())
        return QDir(QString::fromLocal8Bit(data_dir)).filePath("store").toStdString();
    return (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            "/TeskVideoSearch/store")
        .toStdString();
}

CStoreStatus CRecordingServer::Open(const std::string &dir, const GeneratorOptions &options,
                                    bool generate)
{
    catalogue_.Close();
    plans_.clear();
    dir_ = dir;
    QDir store(QString::fromStdString(dir));
    if (!store.exists() && !store.mkpath(".")) {
        return CStoreStatus::Fail(StoreError::Io,
                                  "The store directory " + dir + " cannot be created.");
    }
    const std::string path = store.filePath(kCatalogueFile).toStdString();
    if (auto status = catalogue_.Open(path); !status)
        return status;
    if (generate && !catalogue_.Meta("generated")) {
        if (auto status = GenerateSample(catalogue_, dir, options); !status)
            return status;
    }
    for (const RecordPlanRow &plan : catalogue_.RecordPlans())
        plans_[{plan.site_id, plan.camera_id}] = plan;
    TESK_LOG_INFO("Recording store %s open: %lld cameras, %lld recordings", dir.c_str(),
                  static_cast<long long>(catalogue_.Count("cameras")),
                  static_cast<long long>(catalogue_.Count("recordings")));
    return CStoreStatus::Ok();
}

const std::string &CRecordingServer::StoreDir() const
{
    return dir_;
}

CRecordCatalogue &CRecordingServer::Catalogue()
{
    return catalogue_;
}

const CRecordCatalogue &CRecordingServer::Catalogue() const
{
    return catalogue_;
}

void CRecordingServer::PublishToHost() const
{
    auto &directory = OrlPluginManager::CCameraDirectory::Instance();
    directory.Clear();
    std::vector<OrlPluginManager::Camera> cameras;
    for (const CameraRow &row : catalogue_.Cameras()) {
        OrlPluginManager::Camera camera;
        camera.id = row.id;
        camera.site_id = row.site_id;
        camera.name = row.name;
        camera.device_id = row.device_id;
        camera.area_name = row.area_name;
        camera.element_type = row.element_type;
        camera.time_zone = row.time_zone;
        cameras.push_back(std::move(camera));
    }
    directory.SetCameras(cameras);
    for (const PermissionDenialRow &denial : catalogue_.PermissionDenials())
        directory.SetPermissionDenied(denial.site_id, denial.camera_id, denial.item, true);

    OrlPluginManager::SysConfigResult config;
    config.time_zone_type = OrlSearchTimeType::ClientTime;
    config.show_time_difference = true;
    config.client_time_zone.utc_bias = QDateTime::currentDateTime().offsetFromUtc();
    directory.SetGeneralConfig(config);

    auto &registry = CPlaybackParamRegistry::Instance();
    registry.Clear();
    for (const auto &entry : plans_) {
        OrlPlayBackParamSet param;
        param.location_type = entry.second.location_type;
        param.storage_media_type = entry.second.storage_media_type;
        param.stream_type = entry.second.stream_type;
        param.record_plan_configured = entry.second.configured;
        registry.Set(entry.first.first, entry.first.second, param);
    }
}

void CRecordingServer::Install(const std::shared_ptr<CRecordingServer> &server)
{
    CRecordingSourceRegistry::SetSource(server);
    CStoreTimeLapseProvider::Install(server);
    OrlPluginManager::CPlaybackBusinessInterfaceMgr::SetDownloadHandler(
        std::make_shared<teskplaycontroller::CRecordFileDownloadHandler>());
}

std::shared_ptr<CRecordingServer> CRecordingServer::StartDefault(CStoreStatus &status)
{
    auto server = std::make_shared<CRecordingServer>();
    status = server->Open(DefaultStoreDir());
    if (!status)
        return nullptr;
    server->PublishToHost();
    Install(server);
    return server;
}

std::string CRecordingServer::StorePath(const std::string &relative) const
{
    return QDir(QString::fromStdString(dir_))
        .filePath(QString::fromStdString(relative))
        .toStdString();
}

bool CRecordingServer::LoadCapturePicture(const CapturePictureRow &picture, QImage &out,
                                          std::string &error) const
{
    if (!picture.jpeg_path.empty()) {
        const std::string path = StorePath(picture.jpeg_path);
        QImage image;
        if (!image.load(QString::fromStdString(path), "JPEG")) {
            error = "The capture picture " + path + " cannot be read.";
            TESK_LOG_ERROR("%s", error.c_str());
            return false;
        }
        out = std::move(image);
        return true;
    }
    const auto media = catalogue_.MediaFile(picture.media_id);
    if (!media) {
        error = "The capture picture " + std::to_string(picture.id) + " names no media file.";
        TESK_LOG_ERROR("%s", error.c_str());
        return false;
    }
    return DecodeFrameAt(StorePath(media->path), picture.media_offset, out, error);
}

int CRecordingServer::ExportCapturePictures(const std::string &site_id,
                                            const std::string &camera_id, int64_t begin,
                                            int64_t end, const std::string &dir,
                                            const std::atomic<bool> *stop, std::string &error) const
{
    const QDir target(QString::fromStdString(dir));
    if (!target.exists() && !target.mkpath(".")) {
        error = "The picture directory " + dir + " cannot be created.";
        TESK_LOG_ERROR("%s", error.c_str());
        return -1;
    }
    int written = 0;
    for (const CapturePictureRow &picture :
         catalogue_.CapturePictures(site_id, camera_id, begin, end)) {
        if (stop && *stop)
            break;
        QImage image;
        std::string reason;
        if (!LoadCapturePicture(picture, image, reason))
            continue;
        const QString path = target.filePath(QString::number(written) + ".jpg");
        if (!image.save(path, "JPEG", 85)) {
            error = "The picture " + path.toStdString() + " cannot be written.";
            TESK_LOG_ERROR("%s", error.c_str());
            return -1;
        }
        ++written;
    }
    return written;
}

CameraSearchAnswer CRecordingServer::SearchCamera(const CameraVideoSearchCondition &condition,
                                                  const TeskCameraInfo &camera,
                                                  const std::atomic<bool> &cancelled)
{
    CameraSearchAnswer answer;
    answer.pair_storage_info = camera.pair_storage_info;
    answer.trace_id = Quor::Base::GuidUtil::CreateGuid();
    const auto &play = camera.ptr_camera_for_play;
    const std::string site_id = play ? play->GetSiteID() : std::string();
    const std::string camera_id = play ? play->GetCameraID() : std::string();
    if (!play || !catalogue_.FindCamera(site_id, camera_id)) {
        answer.failed = true;
        answer.error_code = kDeviceOffline;
        answer.str_error_info = OrlErrorCodeTrans::GetErrorInfoByErrorCode(kDeviceOffline);
        TESK_LOG_ERROR("Camera %s of site %s is not in the store", camera_id.c_str(),
                       site_id.c_str());
        return answer;
    }
    if (const auto failure = catalogue_.SearchFailure(site_id, camera_id)) {
        answer.failed = true;
        answer.param_error_type = failure->param_error_type;
        answer.error_code = {failure->module_code, failure->error_code};
        answer.str_error_info = failure->error_text;
        return answer;
    }

    const int64_t begin = condition.begin_time;
    const int64_t end = condition.end_time;
    auto &files = answer.files;
    switch (condition.search_type) {
    case VideoSearchRecord:
        for (const RecordingRow &row : catalogue_.Recordings(site_id, camera_id, begin, end)) {
            if (cancelled)
                break;
            auto file = MakeFile<CDeviceFile>(row);
            file->SetFileType(TypeOfRecording(row.record_file_type));
            files.push_back(std::move(file));
        }
        break;
    case VideoSearchTag: {
        TagFilter filter;
        if (const auto &extra = condition.ptr_label_extra) {
            filter.label_type = extra->GetVal_label_type();
            filter.name_part = extra->GetVal_str_lable_name();
        }
        for (const TagRow &row : catalogue_.Tags(site_id, camera_id, begin, end, filter)) {
            if (cancelled)
                break;
            auto file = MakeFile<CLabelFile>(row);
            file->SetFileType(CPlaybackFile::TypeTag);
            file->SetLabelID(row.label_id);
            file->SetLabelName(row.name);
            file->SetLabelDesc(row.description);
            file->SetRcordLabelType(row.label_type);
            file->SetLabelColor(row.color);
            files.push_back(std::move(file));
        }
        break;
    }
    case VideoSearchLock:
        for (const FileRow &row : catalogue_.Locks(site_id, camera_id, begin, end)) {
            if (cancelled)
                break;
            auto file = MakeFile<CDeviceFile>(row);
            file->SetFileType(CPlaybackFile::TypeLock);
            file->SetLocked(true);
            files.push_back(std::move(file));
        }
        break;
    case VideoSearchPersonVehicle: {
        int event_type = condition.event_type;
        if (const auto &extra = condition.ptr_person_vehicle_extra)
            event_type = extra->GetVal_event_type();
        for (const EventRow &row : catalogue_.Events(site_id, camera_id, begin, end, event_type)) {
            if (cancelled)
                break;
            files.push_back(MakeEventFile(row));
        }
        break;
    }
    default:
        // POS and ATM events are not recorded by these devices.
        break;
    }
    return answer;
}

void CRecordingServer::SearchVCA(const VCAIncrementalCondition &condition, IVCAResultSink &sink,
                                 const std::atomic<bool> &cancelled)
{
    CVCAIncrementalObserver::Param state;
    state.search_guid = condition.search_guid;
    state.resource_key.resource_id = condition.camera_id;
    state.resource_key.site_id = condition.site_id;
    state.vca_type = condition.vca_type;
    state.vca_event_type = condition.event_type;
    const auto plan = plans_.find({condition.site_id, condition.camera_id});
    if (plan != plans_.end()) {
        state.vca_storage_mediatype = plan->second.storage_media_type;
        state.pair_storage_info = {
            static_cast<ResourceData::StorageLocation>(plan->second.location_type),
            static_cast<ResourceData::StorageMediaType>(plan->second.storage_media_type)};
    }
    state.trace_id = Quor::Base::GuidUtil::CreateGuid();

    if (!catalogue_.FindCamera(condition.site_id, condition.camera_id)) {
        state.state_type = 2;
        state.error_code = kDeviceOffline;
        state.str_error_info = OrlErrorCodeTrans::GetErrorInfoByErrorCode(kDeviceOffline);
        sink.ReportState(state);
        return;
    }
    if (const auto failure = catalogue_.SearchFailure(condition.site_id, condition.camera_id)) {
        state.state_type = 2;
        state.param_error_type = failure->param_error_type;
        state.error_code = {failure->module_code, failure->error_code};
        state.str_error_info = failure->error_text;
        sink.ReportState(state);
        return;
    }

    auto rows = catalogue_.Events(condition.site_id, condition.camera_id, condition.begin_time,
                                  condition.end_time, condition.event_type);
    const bool over_maximum =
        condition.max_result_num > 0 && rows.size() > size_t(condition.max_result_num);
    if (over_maximum)
        rows.resize(size_t(condition.max_result_num));
    for (size_t at = 0; at < rows.size(); at += kVcaBatchSize) {
        if (cancelled)
            return;
        PlaybackFileList batch;
        for (size_t i = at; i < std::min(rows.size(), at + kVcaBatchSize); ++i)
            batch.push_back(MakeEventFile(rows[i]));
        sink.PushResults(batch);
    }
    if (cancelled)
        return;
    state.state_type = over_maximum ? 5 : 6;
    state.vca_configed = true;
    state.support_vca_configed = true;
    sink.ReportState(state);
}

bool CRecordingServer::DecodeFrame(const ResourceKey &camera, int64_t t, QImage &out,
                                   std::string &error)
{
    const auto recording = catalogue_.RecordingAt(camera.site_id, camera.resource_id, t);
    if (!recording) {
        error = "No recording of camera " + camera.resource_id + " holds " +
                Quor::Base::TimeUtil::TimeT2ISODatetime(t, 0, true) + ".";
        return false;
    }
    const auto media = catalogue_.MediaFile(recording->media_id);
    if (!media || media->duration <= 0) {
        error = "The recording " + recording->file_name + " has no media file.";
        TESK_LOG_ERROR("%s", error.c_str());
        return false;
    }
    const double position =
        std::fmod(recording->media_offset + double(t - recording->begin), media->duration);
    return DecodeFrameAt(StorePath(media->path), position, out, error);
}

} // namespace teskrecordserver
