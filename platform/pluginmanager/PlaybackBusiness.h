#pragma once

#include "quorbase/Singleton.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace play_plugin_protocol {

// One recording span to download into "<target_path>.mp4".
struct DownloadFileParam
{
    std::string target_path;
    std::string camera_id;
    int32_t begin_time = 0;
    int32_t end_time = 0;
    int32_t location_type = 0;
};

struct DownloadRequestParam
{
    std::vector<DownloadFileParam> files;
};

struct ErrorResultInfo
{
    int error_code = 0;
    std::string error_text;
};

} // namespace play_plugin_protocol

namespace OrlPluginManager {

// What carries out record downloads for the plug-in manager; the playback services install it.
class IRecordDownloadHandler
{
public:
    virtual ~IRecordDownloadHandler() = default;
    virtual bool DownloadRecordFiles(const play_plugin_protocol::DownloadRequestParam &request,
                                     play_plugin_protocol::ErrorResultInfo &error) = 0;
};

class TESK_PLATFORM_VISIBLE CPlaybackBusinessInterfaceMgr
    : public Quor::Base::CSingleton<CPlaybackBusinessInterfaceMgr>
{
public:
    static void SetDownloadHandler(std::shared_ptr<IRecordDownloadHandler> handler);
    // Downloads every file of the request; false with `error` set when one fails or no
    // handler is installed.
    bool DownloadRecordFiles(const play_plugin_protocol::DownloadRequestParam &request,
                             play_plugin_protocol::ErrorResultInfo &error);

private:
    friend class Quor::Base::CSingleton<CPlaybackBusinessInterfaceMgr>;
    CPlaybackBusinessInterfaceMgr() = default;
};

} // namespace OrlPluginManager
