#include "PlaybackBusiness.h"

#include <mutex>

namespace OrlPluginManager {

namespace {
std::mutex handler_mutex;
std::shared_ptr<IRecordDownloadHandler> download_handler;
} // namespace

void CPlaybackBusinessInterfaceMgr::SetDownloadHandler(
    std::shared_ptr<IRecordDownloadHandler> handler)
{
    std::lock_guard<std::mutex> lock(handler_mutex);
    download_handler = std::move(handler);
}

bool CPlaybackBusinessInterfaceMgr::DownloadRecordFiles(
    const play_plugin_protocol::DownloadRequestParam &request,
    play_plugin_protocol::ErrorResultInfo &error)
{
    std::shared_ptr<IRecordDownloadHandler> handler;
    {
        std::lock_guard<std::mutex> lock(handler_mutex);
        handler = download_handler;
    }
    if (!handler) {
        error.error_code = 1;
        error.error_text = "No download service is available.";
        return false;
    }
    return handler->DownloadRecordFiles(request, error);
}

} // namespace OrlPluginManager
