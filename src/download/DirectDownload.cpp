#include "download/DirectDownload.h"

#include "configuration/Configuration.h"
#include "mirelog/Log.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>

namespace TeskVideoSearch {

namespace {

// Local time of a "yyyy/MM/dd HH:mm:ss" text; 0 when it is not one.
int32_t ParseLocal(const QString &text)
{
    const QDateTime time = QDateTime::fromString(text.trimmed(), "yyyy/MM/dd HH:mm:ss");
    return time.isValid() ? static_cast<int32_t>(time.toSecsSinceEpoch()) : 0;
}

} // namespace

play_plugin_protocol::DownloadRequestParam
BuildDirectDownloadRequest(const QVector<CVideoDownloadInfo> &records, const std::string &save_path)
{
    play_plugin_protocol::DownloadRequestParam request;
    for (const CVideoDownloadInfo &record : records) {
        const VideoDownloadInfo &info = record.GetData();
        if (!info.ptr_camera_for_play)
            continue;
        teskplaycontroller::COrlPlayBackParamSet playback;
        info.ptr_camera_for_play->GetPlaybackParam(playback);
        for (const std::string &range : info.qvc_file_time_range) {
            play_plugin_protocol::DownloadFileParam file;
            file.target_path =
                save_path + "/Video/Video_" +
                QDateTime::currentDateTime().toString("yyyyMMddHHmmss").toStdString();
            file.camera_id = info.camera_id.toStdString();
            const QStringList parts = QString::fromStdString(range).split('-');
            if (parts.size() == 2) {
                file.begin_time = ParseLocal(parts[0]);
                file.end_time = ParseLocal(parts[1]);
            }
            file.location_type = playback.GetVal_location_type();
            request.files.push_back(file);
        }
    }
    return request;
}

bool DownloadRecordsDirectly(const QVector<CVideoDownloadInfo> &records, QString &message)
{
    const std::string save_path =
        tesk_configuration::CLocalSystemConfigManager::Instance().GetFileConfig().file_save_path;
    play_plugin_protocol::ErrorResultInfo error;
    if (OrlPluginManager::CPlaybackBusinessInterfaceMgr::Instance().DownloadRecordFiles(
            BuildDirectDownloadRequest(records, save_path), error))
        return true;
    message = QCoreApplication::translate("CVideoExporter", "DownloadFailedHTeWUwnETM") +
              QString::fromStdString(error.error_text);
    TESK_LOG_ERROR("%s", message.toUtf8().constData());
    return false;
}

} // namespace TeskVideoSearch
