#pragma once

#include "download/VideoDownloadInfo.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace DownloadTest {

// A camera of the given area and name, with a stream key when `secret` is not empty.
inline std::shared_ptr<teskplaycontroller::CCameraForPlay>
Camera(const std::string &site, const std::string &id, const std::string &area,
       const std::string &name, const std::string &secret = {})
{
    teskplaycontroller::CCameraElement element;
    element.SetVal_site_id(site);
    element.SetVal_camera_id(id);
    element.SetVal_area_name(area);
    element.SetVal_camera_name(name);
    element.SetVal_stream_secret_key(secret);
    return std::make_shared<teskplaycontroller::CCameraForPlay>(element);
}

// A record of one camera with a group per span, named and ranged as a result page would.
inline TeskVideoSearch::CVideoDownloadInfo
Record(std::shared_ptr<teskplaycontroller::CCameraForPlay> camera,
       const std::vector<std::pair<int64_t, int64_t>> &spans,
       const std::vector<std::string> &ranges = {})
{
    TeskVideoSearch::CVideoDownloadInfo record;
    auto &data = *record.GetDataPtr();
    data.site_id = QString::fromStdString(camera->GetSiteID());
    data.camera_id = QString::fromStdString(camera->GetCameraID());
    data.ptr_camera_for_play = camera;
    for (size_t i = 0; i < spans.size(); ++i) {
        data.playback_files.push_back({std::make_shared<teskplaycontroller::CPlaybackFile>(
            spans[i].first, spans[i].second, "file" + std::to_string(i))});
        data.qvc_custom_file_name.push_back("start" + std::to_string(i));
        data.qvc_file_time_range.push_back(i < ranges.size() ? ranges[i] : std::string());
    }
    return record;
}

} // namespace DownloadTest
