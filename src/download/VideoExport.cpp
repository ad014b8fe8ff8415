#include "download/VideoExport.h"

#include "download/VideoDownloadList.h"

#include "mirelog/Log.h"
#include "plexacontrol/StringConvert.h"
#include "uidatacontroller/DownloadFrameForVideoSearch.h"
#include "uidatacontroller/VideoListFram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <zip.h>

namespace TeskVideoSearch {

namespace {

// A translated sentence; the details that follow it are the file names and the reasons.
QString Text(const char *key)
{
    return QCoreApplication::translate("CVideoExporter", key);
}

QString Fail(VideoExportResult &result, const QString &message)
{
    result.ok = false;
    result.message = message;
    TESK_LOG_ERROR("%s", message.toUtf8().constData());
    return message;
}

// Writes `files` (entry name, path) into an AES-256 encrypted archive at `target`, under a
// temporary name first.
bool WriteEncryptedArchive(const QVector<QPair<QString, QString>> &files, const QString &target,
                           const QString &password, std::string &error)
{
    const std::string temporary =
        teskplaycontroller::CRecordExporter::TemporaryNameFor(target.toStdString());
    int code = 0;
    zip_t *archive = zip_open(temporary.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (!archive) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, code);
        error = zip_error_strerror(&reason);
        zip_error_fini(&reason);
        return false;
    }
    const QByteArray secret = password.toUtf8();
    for (const auto &file : files) {
        zip_source_t *source =
            zip_source_file(archive, QFile::encodeName(file.second).constData(), 0, -1);
        const zip_int64_t index = source ? zip_file_add(archive, file.first.toUtf8().constData(),
                                                        source, ZIP_FL_ENC_UTF_8)
                                         : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            error = zip_strerror(archive);
            zip_discard(archive);
            return false;
        }
        // Recordings are compressed already.
        if (zip_set_file_compression(archive, index, ZIP_CM_STORE, 0) < 0 ||
            zip_file_set_encryption(archive, index, ZIP_EM_AES_256, secret.constData()) < 0) {
            error = zip_strerror(archive);
            zip_discard(archive);
            return false;
        }
    }
    if (zip_close(archive) < 0) {
        error = zip_strerror(archive);
        zip_discard(archive);
        QFile::remove(QString::fromStdString(temporary));
        return false;
    }
    return teskplaycontroller::CRecordExporter::PublishFile(temporary, target.toStdString(), error);
}

std::vector<teskplaycontroller::ExportSpan> SpansOf(const PlaybackFileVector &files)
{
    std::vector<teskplaycontroller::ExportSpan> spans;
    for (const auto &file : files) {
        if (file && file->GetFileEndTime() > file->GetFileBegTime())
            spans.push_back({file->GetFileBegTime(), file->GetFileEndTime()});
    }
    return spans;
}

} // namespace

QVector<VideoExportFile> CVideoExporter::PlanFiles(const QVector<CVideoDownloadInfo> &records)
{
    QVector<VideoExportFile> plan;
    for (const CVideoDownloadInfo &record : records) {
        const VideoDownloadInfo &info = record.GetData();
        if (!info.ptr_camera_for_play)
            continue;
        VideoExportFile file;
        file.camera.site_id = info.ptr_camera_for_play->GetSiteID();
        file.camera.resource_id = info.ptr_camera_for_play->GetCameraID();
        file.directory = info.download_path;
        const auto name_of = [&](int group) {
            return group < info.qvc_custom_file_name.size()
                       ? PlexaControl::StringToQString(info.qvc_custom_file_name[group])
                       : QString();
        };
        if (info.is_merged) {
            file.name = name_of(0);
            for (const PlaybackFileVector &group : info.playback_files) {
                const auto spans = SpansOf(group);
                file.spans.insert(file.spans.end(), spans.begin(), spans.end());
            }
            plan.push_back(file);
            continue;
        }
        for (int group = 0; group < info.playback_files.size(); ++group) {
            VideoExportFile one = file;
            one.name = name_of(group);
            one.spans = SpansOf(info.playback_files[group]);
            plan.push_back(one);
        }
    }
    return plan;
}

VideoExportResult CVideoExporter::Export(const QVector<CVideoDownloadInfo> &records,
                                         const Progress &progress)
{
    VideoExportResult result;
    const QVector<VideoExportFile> plan = PlanFiles(records);
    if (plan.isEmpty()) {
        Fail(result, Text("NothingToExportQm4hTz"));
        return result;
    }
    const QString password = records.front().GetVal_pass_word();
    const QRegularExpression valid_name(
        tesk_ui_data_controller::CVideoListFramModel::FileMatchRegExpr());

    // Everything that can be checked before writing is checked first.
    QSet<QString> targets;
    for (const VideoExportFile &file : plan) {
        const QString directory = QDir::cleanPath(file.directory);
        if (file.directory.isEmpty() || !QDir().mkpath(directory) ||
            !QFileInfo(directory).isWritable()) {
            Fail(result, Text("ExportFolderNotWritableRb7uPd") + " " + file.directory);
            return result;
        }
        if (!valid_name.match(file.name).hasMatch()) {
            Fail(result, Text("ExportFileNameInvalidWc2nLs") + " \"" + file.name + "\"");
            return result;
        }
        if (file.spans.empty()) {
            Fail(result, Text("NothingToExportQm4hTz"));
            return result;
        }
        const QString target = directory + "/" + file.name + ".mp4";
        if (targets.contains(target) || (password.isEmpty() && QFileInfo::exists(target))) {
            Fail(result, Text("ExportFileExistsHd8kVe") + " " + target);
            return result;
        }
        targets.insert(target);
    }
    const QString first_directory = QDir::cleanPath(plan.front().directory);
    const QString archive = first_directory + "/" + plan.front().name + ".zip";
    if (!password.isEmpty() && QFileInfo::exists(archive)) {
        Fail(result, Text("ExportFileExistsHd8kVe") + " " + archive);
        return result;
    }

    // With a password the recordings are staged out of sight, then archived.
    std::unique_ptr<QTemporaryDir> staging;
    if (!password.isEmpty()) {
        staging = std::make_unique<QTemporaryDir>(first_directory + "/.tvs-export-XXXXXX");
        if (!staging->isValid()) {
            Fail(result, Text("ExportFolderNotWritableRb7uPd") + " " + first_directory);
            return result;
        }
    }
    QStringList written;
    QVector<QPair<QString, QString>> entries;
    const auto undo = [&] {
        for (const QString &path : written)
            QFile::remove(path);
    };
    bool cancelled = false;
    for (int index = 0; index < plan.size(); ++index) {
        const VideoExportFile &file = plan[index];
        const QString entry = file.name + ".mp4";
        const QString target =
            staging ? staging->filePath(entry) : QDir::cleanPath(file.directory) + "/" + entry;
        std::string error;
        const bool ok = teskplaycontroller::CRecordExporter::ExportSpans(
            file.camera, file.spans, target.toStdString(),
            [&](double share) {
                cancelled = progress && !progress((index + share) / plan.size(), entry);
                return !cancelled;
            },
            error);
        if (!ok) {
            undo();
            Fail(result, cancelled ? Text("ExportCancelledTb3wNy")
                                   : Text("ExportFileFailedXj5mQa") + " " + entry + " (" +
                                         QString::fromStdString(error) + ")");
            return result;
        }
        written << target;
        entries.push_back({entry, target});
    }
    if (staging) {
        if (progress)
            progress(1.0, QFileInfo(archive).fileName());
        std::string error;
        const bool ok = WriteEncryptedArchive(entries, archive, password, error);
        undo();
        if (!ok) {
            Fail(result, Text("ExportArchiveFailedPe9vJh") + " " + archive + " (" +
                             QString::fromStdString(error) + ")");
            return result;
        }
        written = QStringList{archive};
    }
    result.ok = true;
    result.files = written;
    result.message = Text("ExportFinishedLs6gRc") + " " + QString::number(written.size()) + " (" +
                     first_directory + ")";
    TESK_LOG_INFO("%s", result.message.toUtf8().constData());
    return result;
}

CVideoExportTask::CVideoExportTask(QObject *parent)
    : QObject(parent)
{}

CVideoExportTask::~CVideoExportTask()
{
    is_cancelled_ = true;
    if (worker_.joinable())
        worker_.join();
}

bool CVideoExportTask::Start(const QVector<CVideoDownloadInfo> &records)
{
    if (is_running_)
        return false;
    if (worker_.joinable())
        worker_.join();
    is_running_ = true;
    is_cancelled_ = false;
    // Deep copies: the worker must share nothing with the caller's records.
    QVector<CVideoDownloadInfo> copies;
    for (const CVideoDownloadInfo &record : records)
        copies.push_back(CVideoDownloadInfo(record.GetData()));
    worker_ = std::thread([this, copies] {
        int last_percent = -1;
        const VideoExportResult result =
            CVideoExporter::Export(copies, [&](double share, const QString &name) {
                const int percent = static_cast<int>(share * 100);
                if (percent != last_percent) {
                    last_percent = percent;
                    emit SignalProgress(percent, name);
                }
                return !is_cancelled_.load();
            });
        is_running_ = false;
        emit SignalFinished(result.ok, result.message, result.files);
    });
    return true;
}

void CVideoExportTask::Cancel()
{
    is_cancelled_ = true;
}

bool CVideoExportTask::IsRunning() const
{
    return is_running_;
}

int GetDownloadInfo(tesk_ui_data_controller::CDownloadFrameForVideoSearch *frame,
                    QVector<CVideoDownloadInfo> &out)
{
    out.clear();
    if (!frame)
        return 0;
    const auto storage =
        std::dynamic_pointer_cast<tesk_ui_data_controller::CDataStorage<CVideoDownloadInfo>>(
            frame->GetVideoListFram()->GetDataModel()->GetDataStorage());
    if (!storage)
        return 0;
    storage->GetAllDatas(out);
    for (CVideoDownloadInfo &record : out) {
        record.SetVal_is_merged(frame->IsMerged());
        record.SetVal_download_path(frame->GetSavePath());
        record.SetVal_pass_word(frame->GetPassword());
        record.SetVal_file_format(frame->GetFileFormat());
        record.SetVal_is_download_teskplayer(frame->IsDownloadPlayer());
        record.SetVal_is_save_as_evidence(frame->IsSaveAsEvidence());
    }
    return out.size();
}

CVideoExportController::CVideoExportController(
    tesk_ui_data_controller::CDownloadFrameForVideoSearch *frame, QObject *parent)
    : QObject(parent)
    , ptr_frame_(frame)
    , ptr_task_(new CVideoExportTask(this))
{
    connect(frame, &tesk_ui_data_controller::CDownloadFrameForVideoSearch::SignalDownload, this,
            &CVideoExportController::OnDownload);
    connect(frame, &tesk_ui_data_controller::CDownloadFrameForVideoSearch::SignalCancel, ptr_task_,
            &CVideoExportTask::Cancel);
    connect(ptr_task_, &CVideoExportTask::SignalProgress, this, &CVideoExportController::OnProgress,
            Qt::QueuedConnection);
    connect(ptr_task_, &CVideoExportTask::SignalFinished, this, &CVideoExportController::OnFinished,
            Qt::QueuedConnection);
}

CVideoExportTask *CVideoExportController::GetTask() const
{
    return ptr_task_;
}

void CVideoExportController::OnDownload()
{
    QVector<CVideoDownloadInfo> records;
    if (GetDownloadInfo(ptr_frame_, records) == 0) {
        ptr_frame_->ShowResult(Text("NothingToExportQm4hTz"), true);
        return;
    }
    if (ptr_task_->Start(records))
        ptr_frame_->SetDownloading(true);
}

void CVideoExportController::OnProgress(int percent, QString file_name)
{
    ptr_frame_->SetProgress(percent, file_name);
}

void CVideoExportController::OnFinished(bool b_ok, QString message, QStringList)
{
    ptr_frame_->SetDownloading(false);
    ptr_frame_->ShowResult(message, !b_ok);
}

} // namespace TeskVideoSearch
