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
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <unistd.h>

#include <pwd.h>
#include <unistd.h>

namespace teskrecordserver {

using namespace teskplaycontroller;

namespace {

// Errors of cameras that the store does not know or cannot answer for.
constexpr Quor::Base::Error::ErrorCode kDeviceOffline{0x20, 0x2001};
// The store's catalogue failed while answering (damaged, unreadable, locked too long).
constexpr Quor::Base::Error::ErrorCode kStoreUnreadable{0x20, 0x2002};

std::string StoreFailureText(const std::string &store, const std::string &error)
{
    return "The recording store " + store + " cannot be read: " + error;
}

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

// Who a change is logged for when the request names nobody: the account running the client.
std::string OperatorOf(const std::string &named)
{
    if (!named.empty())
        return named;
    if (const passwd *account = ::getpwuid(::geteuid()))
        return account->pw_name;
    return "uid " + std::to_string(::geteuid());
}

std::string Quoted(const std::string &text)
{
    return "\"" + text + "\"";
}

std::string SpanText(int64_t begin, int64_t end)
{
    return Quor::Base::TimeUtil::TimeT2ISODatetime(begin, 0, true) + "/" +
           Quor::Base::TimeUtil::TimeT2ISODatetime(end, 0, true);
}

CStoreStatus Abandoned()
{
    return CStoreStatus::Fail(StoreError::Io,
                              "The request was abandoned: it was not carried out in time.");
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

std::string CRecordingServer::PartialStoreDir(const std::string &dir, int64_t pid)
{
    const QFileInfo target(QDir::cleanPath(QString::fromStdString(dir)));
    return (target.absolutePath() + "/." + target.fileName() + kPartialSuffix +
            QString::number(pid))
        .toStdString();
}

void CRecordingServer::RemoveAbandonedCreations(const std::string &dir)
{
    const QFileInfo target(QDir::cleanPath(QString::fromStdString(dir)));
    const QString prefix = "." + target.fileName() + kPartialSuffix;
    QDir parent(target.absolutePath());
    for (const QString &name :
         parent.entryList({prefix + "*"}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        const qint64 pid = name.mid(prefix.size()).toLongLong(&numeric);
        // Only the folder of a creator that no longer runs: a live one is still writing.
        if (!numeric || pid <= 0 || pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 ||
            errno != ESRCH)
            continue;
        TESK_LOG_INFO("Removing %s, left by a store creation that was stopped",
                      qPrintable(parent.filePath(name)));
        QDir(parent.filePath(name)).removeRecursively();
    }
}

CStoreStatus CRecordingServer::Create(const std::string &dir, const GeneratorOptions &options)
{
    const std::string partial = PartialStoreDir(dir, ::getpid());
    QDir(QString::fromStdString(partial)).removeRecursively();
    if (!QDir().mkpath(QString::fromStdString(partial)))
        return CStoreStatus::Fail(StoreError::Io, "The store " + dir + " cannot be created: " +
                                                      std::strerror(errno) + ".");
    CStoreStatus status;
    {
        CRecordCatalogue catalogue;
        status = catalogue.Open(partial + "/" + kCatalogueFile);
        if (status)
            status = GenerateSample(catalogue, partial, options);
    }
    if (status && ::rename(partial.c_str(), dir.c_str()) != 0) {
        // Another process created the store meanwhile: theirs is as good as ours.
        if (errno != ENOTEMPTY && errno != EEXIST)
            status = CStoreStatus::Fail(
                StoreError::Io,
                "The store " + dir + " cannot be put in place: " + std::strerror(errno) + ".");
    }
    QDir(QString::fromStdString(partial)).removeRecursively();
    return status;
}

CStoreStatus CRecordingServer::Open(const std::string &dir, const GeneratorOptions &options,
                                    bool generate)
{
    catalogue_.Close();
    plans_.clear();
    media_.reset();
    media_cameras_.clear();
    dir_ = dir;
    if (dir.empty())
        return CStoreStatus::Fail(StoreError::Io, "No store folder was given.");
    const QString folder = QString::fromStdString(dir);
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return CStoreStatus::Fail(StoreError::Io, "The store " + dir + " is not a folder.");
    RemoveAbandonedCreations(dir);
    QDir store(folder);
    const std::string path = store.filePath(kCatalogueFile).toStdString();
    if (!QFileInfo::exists(QString::fromStdString(path))) {
        // A folder of the user's own files is never made into a store.
        if (info.exists() &&
            !store.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
                 .isEmpty())
            return CStoreStatus::Fail(StoreError::Foreign,
                                      "The folder " + dir +
                                          " holds files and no store catalogue; it is not a "
                                          "store and was left untouched.");
        if (generate) {
            if (auto status = Create(dir, options); !status)
                return status;
        } else if (!store.exists() && !store.mkpath(".")) {
            return CStoreStatus::Fail(StoreError::Io,
                                      "The store directory " + dir +
                                          " cannot be created: " + std::strerror(errno) + ".");
        }
    }
    if (auto status = catalogue_.Open(path); !status)
        return status;
    // A catalogue that an earlier version left without its sample gets it in place.
    if (generate && !catalogue_.Meta("generated")) {
        if (auto status = GenerateSample(catalogue_, dir, options); !status)
            return status;
    }
    LoadStoreState();
    if (const std::string error = CRecordCatalogue::TakeThreadReadError(); !error.empty())
        return CStoreStatus::Fail(StoreError::Sql,
                                  "The store " + path + " cannot be read: " + error + ".");
    TESK_LOG_INFO("Recording store %s open: %lld cameras, %lld recordings", dir.c_str(),
                  static_cast<long long>(catalogue_.Count("cameras")),
                  static_cast<long long>(catalogue_.Count("recordings")));
    return CStoreStatus::Ok();
}

// What the server keeps of an open catalogue: record plans and where each camera's media is.
void CRecordingServer::LoadStoreState()
{
    plans_.clear();
    media_cameras_.clear();
    for (const RecordPlanRow &plan : catalogue_.RecordPlans())
        plans_[{plan.site_id, plan.camera_id}] = plan;
    media_format_ = MediaFormat();
    // A store written before its media was generated on demand names the size in its clips.
    if (const auto clips = catalogue_.MediaFiles(); !clips.empty()) {
        media_format_.width = clips.front().width;
        media_format_.height = clips.front().height;
    }
    const auto meta_int = [&](const char *key, int fallback) {
        const auto value = catalogue_.Meta(key);
        return value ? std::atoi(value->c_str()) : fallback;
    };
    media_format_.width = meta_int("media_width", media_format_.width);
    media_format_.height = meta_int("media_height", media_format_.height);
    media_format_.fps = meta_int("media_fps", media_format_.fps);
    for (const CameraRow &camera : catalogue_.Cameras())
        media_cameras_[CameraMediaPath(camera)] = camera;
    media_ = std::make_unique<CMediaCache>(StorePath(kMediaCacheFolder), media_options_);
}

CStoreStatus CRecordingServer::OpenReadOnly(const std::string &dir)
{
    catalogue_.Close();
    plans_.clear();
    dir_ = dir;
    const std::string path =
        QDir(QString::fromStdString(dir)).filePath(kCatalogueFile).toStdString();
    if (auto status = catalogue_.OpenReadOnly(path); !status)
        return status;
    LoadStoreState();
    if (const std::string error = CRecordCatalogue::TakeThreadReadError(); !error.empty())
        return CStoreStatus::Fail(StoreError::Sql,
                                  "The store " + path + " cannot be read: " + error + ".");
    TESK_LOG_INFO("Recording store %s open for reading only", dir.c_str());
    return CStoreStatus::Ok();
}

const std::string &CRecordingServer::StoreDir() const
{
    return dir_;
}

void CRecordingServer::SetMediaCacheOptions(const MediaCacheOptions &options)
{
    media_options_ = options;
}

CMediaCache &CRecordingServer::MediaCache()
{
    if (!media_)
        media_ = std::make_unique<CMediaCache>(StorePath(kMediaCacheFolder), media_options_);
    return *media_;
}

const MediaFormat &CRecordingServer::MediaFormatOfStore() const
{
    return media_format_;
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
    const auto camera = media_cameras_.find(media->path);
    if (camera != media_cameras_.end())
        return CameraFrame(camera->second, picture.time, out, error);
    // A store written before media told its time: a clip file at an offset.
    return DecodeFrameAt(StorePath(media->path), picture.media_offset, out, error);
}

bool CRecordingServer::CameraMedia(const CameraRow &camera, int64_t t, CMediaLease &lease,
                                   std::string &error) const
{
    if (!media_) {
        error = "No store is open.";
        return false;
    }
    return media_->Acquire(camera, media_format_, t, lease, error);
}

bool CRecordingServer::CameraFrame(const CameraRow &camera, int64_t t, QImage &out,
                                   std::string &error) const
{
    CMediaLease lease;
    if (!CameraMedia(camera, t, lease, error))
        return false;
    return DecodeFrameAt(lease.Path(), lease.OffsetOf(static_cast<double>(t)), out, error);
}

bool CRecordingServer::MediaAt(const ResourceKey &camera, int64_t t, CMediaLease &lease,
                               std::string &error) const
{
    if (!catalogue_.RecordingAt(camera.site_id, camera.resource_id, t)) {
        error = "No recording of camera " + camera.resource_id + " holds " +
                Quor::Base::TimeUtil::TimeT2ISODatetime(t, 0, true) + ".";
        return false;
    }
    const auto row = catalogue_.FindCamera(camera.site_id, camera.resource_id);
    if (!row) {
        error = "The camera " + camera.resource_id + " is not in the store.";
        return false;
    }
    return CameraMedia(*row, t, lease, error);
}

bool CRecordingServer::MediaForPlay(const ResourceKey &camera, int64_t t,
                                    teskplaycontroller::RecordingMedia &out, std::string &error)
{
    if (!catalogue_.RecordingAt(camera.site_id, camera.resource_id, t)) {
        error = "No recording of camera " + camera.resource_id + " holds " +
                Quor::Base::TimeUtil::TimeT2ISODatetime(t, 0, true) + ".";
        return false;
    }
    const auto row = catalogue_.FindCamera(camera.site_id, camera.resource_id);
    if (!row || !media_) {
        error = row ? "No store is open."
                    : "The camera " + camera.resource_id + " is not in the store.";
        return false;
    }
    CMediaLease lease;
    if (media_->IsReady(*row, media_format_, t)) {
        if (!media_->Acquire(*row, media_format_, t, lease, error))
            return false;
    } else {
        // The player starts on a short lead piece while the whole piece is written beside it;
        // at the lead's end it asks again and gets the whole piece, or the next lead.
        media_->Prefetch(*row, media_format_, t);
        if (!media_->AcquireLead(*row, media_format_, t, lease, error))
            return false;
    }
    out.path = lease.Path();
    out.begin = lease.Begin();
    out.seconds = lease.Seconds();
    out.hold = std::make_shared<CMediaLease>(std::move(lease));
    return true;
}

bool CRecordingServer::TrackPointAt(const ResourceKey &camera, int64_t t, double &longitude,
                                    double &latitude)
{
    if (!catalogue_.FindCamera(camera.site_id, camera.resource_id))
        return false;
    // One loop of about 1 km per 20 minutes around a centre picked by the camera's name.
    const uint32_t seed = static_cast<uint32_t>(
        std::hash<std::string>()(camera.site_id + "/" + camera.resource_id) & 0xffffu);
    const double centre_lon = 8.5 + (seed % 100) * 0.001;
    const double centre_lat = 47.3 + (seed / 100 % 100) * 0.001;
    const double angle = 2.0 * M_PI * static_cast<double>(t % 1200) / 1200.0;
    longitude = centre_lon + 0.006 * std::cos(angle);
    latitude = centre_lat + 0.004 * std::sin(angle);
    return true;
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
    CRecordCatalogue::TakeThreadReadError();
    const auto pictures = catalogue_.CapturePictures(site_id, camera_id, begin, end);
    if (const std::string failure = CRecordCatalogue::TakeThreadReadError(); !failure.empty()) {
        error = StoreFailureText(dir_, failure);
        return -1;
    }
    int written = 0;
    for (const CapturePictureRow &picture : pictures) {
        if (stop && *stop)
            break;
        QImage image;
        std::string reason;
        if (!LoadCapturePicture(picture, image, reason))
            continue;
        // NewOnly: a file already there is someone else's and stays as it is.
        QFile file(target.filePath(QString::number(written) + ".jpg"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            error = "The picture " + file.fileName().toStdString() + " cannot be written" +
                    (file.exists() ? std::string(": a file of that name exists.")
                                   : ": " + file.errorString().toStdString() + ".");
            TESK_LOG_ERROR("%s", error.c_str());
            return -1;
        }
        if (!image.save(&file, "JPEG", 85) || !file.flush()) {
            error = "The picture " + file.fileName().toStdString() +
                    " cannot be written: " + file.errorString().toStdString() + ".";
            file.remove();
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
    CRecordCatalogue::TakeThreadReadError();
    const auto store_failed = [&] {
        const std::string error = CRecordCatalogue::TakeThreadReadError();
        if (error.empty())
            return false;
        answer.files.clear();
        answer.failed = true;
        answer.error_code = kStoreUnreadable;
        answer.str_error_info = StoreFailureText(dir_, error);
        return true;
    };
    const bool known = play && catalogue_.FindCamera(site_id, camera_id);
    if (store_failed())
        return answer;
    if (!known) {
        answer.failed = true;
        answer.error_code = kDeviceOffline;
        answer.str_error_info = OrlErrorCodeTrans::GetErrorInfoByErrorCode(kDeviceOffline);
        TESK_LOG_ERROR("Camera %s of site %s is not in the store", camera_id.c_str(),
                       site_id.c_str());
        return answer;
    }
    const auto failure = catalogue_.SearchFailure(site_id, camera_id);
    if (store_failed())
        return answer;
    if (failure) {
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
    store_failed();
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

    CRecordCatalogue::TakeThreadReadError();
    const auto store_failed = [&] {
        const std::string error = CRecordCatalogue::TakeThreadReadError();
        if (error.empty())
            return false;
        state.state_type = VCAStateFailed;
        state.error_code = kStoreUnreadable;
        state.str_error_info = StoreFailureText(dir_, error);
        sink.ReportState(state);
        return true;
    };
    const bool known = catalogue_.FindCamera(condition.site_id, condition.camera_id).has_value();
    if (store_failed())
        return;
    if (!known) {
        state.state_type = VCAStateFailed;
        state.error_code = kDeviceOffline;
        state.str_error_info = OrlErrorCodeTrans::GetErrorInfoByErrorCode(kDeviceOffline);
        sink.ReportState(state);
        return;
    }
    const auto failure = catalogue_.SearchFailure(condition.site_id, condition.camera_id);
    if (store_failed())
        return;
    if (failure) {
        state.state_type = VCAStateFailed;
        state.param_error_type = failure->param_error_type;
        state.error_code = {failure->module_code, failure->error_code};
        state.str_error_info = failure->error_text;
        sink.ReportState(state);
        return;
    }

    auto rows = catalogue_.Events(condition.site_id, condition.camera_id, condition.begin_time,
                                  condition.end_time, condition.event_type);
    if (store_failed())
        return;
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
    state.state_type = over_maximum ? VCAStateOverMaximum : VCAStateFinished;
    state.vca_configed = true;
    state.support_vca_configed = true;
    sink.ReportState(state);
}

bool CRecordingServer::DecodeFrame(const ResourceKey &camera, int64_t t, QImage &out,
                                   std::string &error)
{
    CMediaLease lease;
    if (!MediaAt(camera, t, lease, error))
        return false;
    return DecodeFrameAt(lease.Path(), lease.OffsetOf(static_cast<double>(t)), out, error);
}

std::optional<CameraRow> CRecordingServer::CameraForChange(const std::string &camera_id,
                                                           const std::string &site_id,
                                                           const std::string &workstation_id,
                                                           std::string &error) const
{
    // Each site is served by one workstation here, so a workstation names a site.
    const std::string &site = !site_id.empty() ? site_id : workstation_id;
    std::optional<CameraRow> camera;
    if (!site.empty()) {
        camera = catalogue_.FindCamera(site, camera_id);
    } else {
        auto matches = catalogue_.FindCamerasById(camera_id);
        if (matches.size() > 1) {
            error = "The camera " + camera_id + " exists on several sites; name its site.";
            return std::nullopt;
        }
        if (!matches.empty())
            camera = std::move(matches.front());
    }
    if (!camera) {
        error = OrlErrorCodeTrans::GetErrorInfoByErrorCode(kDeviceOffline);
        TESK_LOG_ERROR("Change refused: camera %s of site %s is not in the store",
                       camera_id.c_str(), site.c_str());
        return std::nullopt;
    }
    if (const auto failure = catalogue_.SearchFailure(camera->site_id, camera->id)) {
        error = failure->error_text;
        return std::nullopt;
    }
    return camera;
}

bool CRecordingServer::OperateLabel(const OperatLabelParam &param, CChangeClaim &claim,
                                    std::string &error)
{
    const auto camera =
        CameraForChange(param.camera_id, param.site_id, param.workstation_id, error);
    if (!camera)
        return false;
    const bool remove = param.operation_type == LabelOperationDelete;
    if (!remove && param.operation_type != LabelOperationModify) {
        error = "This recorder does not add tags.";
        return false;
    }
    if (!remove && param.label_name.empty()) {
        error = "A tag needs a name.";
        return false;
    }
    if (!remove && (param.label_type < 101 || param.label_type > 103)) {
        error = "Unknown tag type " + std::to_string(param.label_type) + ".";
        return false;
    }
    if (!remove && param.begin_time > 0 && param.end_time < param.begin_time) {
        error = "The tag's end lies before its begin.";
        return false;
    }

    RecordChangeRow change;
    change.time = QDateTime::currentSecsSinceEpoch();
    change.operator_name = OperatorOf(param.operator_name);
    change.operation = remove ? "delete-tag" : "modify-tag";
    change.site_id = camera->site_id;
    change.camera_id = camera->id;
    change.target = param.label_id;
    const CStoreStatus status = catalogue_.Write([&](CRecordCatalogue &store) -> CStoreStatus {
        const auto before = store.FindTag(camera->site_id, camera->id, param.label_id);
        if (!before)
            return CStoreStatus::Fail(StoreError::NotFound,
                                      "The tag " + param.label_id + " does not exist (any more).");
        CStoreStatus changed;
        if (remove) {
            change.detail =
                "deleted " + Quoted(before->name) + " at " + SpanText(before->begin, before->end);
            changed = store.DeleteTag(camera->key, param.label_id);
        } else {
            TagChange update;
            update.name = param.label_name;
            update.description = param.label_desc;
            update.label_type = param.label_type;
            change.detail =
                "name " + Quoted(before->name) + " -> " + Quoted(update.name) + ", description " +
                Quoted(before->description) + " -> " + Quoted(update.description) + ", type " +
                std::to_string(before->label_type) + " -> " + std::to_string(update.label_type);
            if (param.begin_time > 0) {
                const auto recording =
                    store.RecordingAt(camera->site_id, camera->id, param.begin_time);
                if (!recording)
                    return CStoreStatus::Fail(StoreError::NotFound,
                                              "No recording holds the tag's new begin.");
                update.begin = param.begin_time;
                update.end = param.end_time;
                update.recording_id = recording->id;
                update.iso_begin = IsoInZone(update.begin, camera->time_zone);
                update.iso_end = IsoInZone(update.end, camera->time_zone);
                change.detail += ", span " + SpanText(before->begin, before->end) + " -> " +
                                 SpanText(update.begin, update.end);
            }
            changed = store.ModifyTag(camera->key, param.label_id, update);
        }
        if (!changed)
            return changed;
        if (auto logged = store.AppendRecordChange(change); !logged)
            return logged;
        return claim.ClaimCommit() ? CStoreStatus::Ok() : Abandoned();
    });
    if (!status) {
        error = status.Message();
        return false;
    }
    TESK_LOG_INFO("Tag %s of camera %s: %s by %s", param.label_id.c_str(), camera->id.c_str(),
                  change.operation.c_str(), change.operator_name.c_str());
    return true;
}

bool CRecordingServer::LockAndUnlockRecord(const LockRecordFileParam &param, CChangeClaim &claim,
                                           std::string &error)
{
    const auto camera =
        CameraForChange(param.camera_id, param.site_id, param.workstation_id, error);
    if (!camera)
        return false;
    if (param.end_time < param.begin_time) {
        error = "The recording's end lies before its begin.";
        return false;
    }
    const bool lock = param.operation_type == LockOperationLock;
    RecordChangeRow change;
    change.time = QDateTime::currentSecsSinceEpoch();
    change.operator_name = OperatorOf(param.operator_name);
    change.operation = lock ? "lock" : "unlock";
    change.site_id = camera->site_id;
    change.camera_id = camera->id;
    change.target = SpanText(param.begin_time, param.end_time);
    const CStoreStatus status = catalogue_.Write([&](CRecordCatalogue &store) -> CStoreStatus {
        CStoreStatus changed;
        if (lock) {
            for (const FileRow &held :
                 store.Locks(camera->site_id, camera->id, param.begin_time, param.end_time)) {
                if (held.begin == param.begin_time && held.end == param.end_time)
                    return CStoreStatus::Fail(StoreError::Sql, "The recording is locked already.");
            }
            const auto recording = store.RecordingAt(camera->site_id, camera->id, param.begin_time);
            if (!recording)
                return CStoreStatus::Fail(StoreError::NotFound, "No recording holds the span.");
            FileRow row;
            row.recording_id = recording->id;
            row.begin = param.begin_time;
            row.end = param.end_time;
            row.iso_begin = IsoInZone(row.begin, camera->time_zone);
            row.iso_end = IsoInZone(row.end, camera->time_zone);
            change.detail = "locked " + recording->file_name;
            changed = store.AddLock(camera->key, row);
        } else {
            change.detail = "unlocked";
            changed = store.RemoveLock(camera->key, param.begin_time, param.end_time);
        }
        if (!changed)
            return changed;
        if (auto logged = store.AppendRecordChange(change); !logged)
            return logged;
        return claim.ClaimCommit() ? CStoreStatus::Ok() : Abandoned();
    });
    if (!status) {
        error = status.Message();
        return false;
    }
    TESK_LOG_INFO("Camera %s %s %s by %s", camera->id.c_str(), change.operation.c_str(),
                  change.target.c_str(), change.operator_name.c_str());
    return true;
}

} // namespace teskrecordserver
