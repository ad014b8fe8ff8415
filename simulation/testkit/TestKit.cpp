#include "TestKit.h"

#include "playcontroller/CameraForPlay.h"
#include "pluginmanager/PluginManager.h"

namespace TestKit {

teskplaycontroller::CResourceKey CameraKey(const std::string &site, const std::string &id)
{
    teskplaycontroller::CResourceKey key;
    key.SetVal_site_id(site);
    key.SetVal_resource_id(id);
    return key;
}

teskplaycontroller::CTeskCameraInfo CameraInfo(const std::string &site, const std::string &id)
{
    teskplaycontroller::CTeskCameraInfo info;
    info.SetVal_ptr_camera_for_play(std::make_shared<teskplaycontroller::CCameraForPlay>(site, id));
    return info;
}

teskplaycontroller::CCameraVideoSearchCondition
CameraSearchCondition(const std::string &guid, teskplaycontroller::VideoSearchType type,
                      const std::vector<CameraRef> &cameras, int64_t begin, int64_t end)
{
    teskplaycontroller::CCameraVideoSearchCondition condition;
    condition.SetVal_search_guid(guid);
    condition.SetVal_search_type(type);
    condition.SetVal_begin_time(begin);
    condition.SetVal_end_time(end);
    QVector<teskplaycontroller::CTeskCameraInfo> infos;
    for (const CameraRef &camera : cameras)
        infos.append(CameraInfo(camera.site, camera.id));
    condition.SetVal_tesk_camera_info(infos);
    return condition;
}

std::vector<CameraRef> DirectoryCameras()
{
    std::vector<CameraRef> cameras;
    for (const auto &camera : OrlPluginManager::CCameraDirectory::Instance().FindCameras({}))
        cameras.push_back({camera.site_id, camera.id});
    return cameras;
}

teskplaycontroller::CVCAIncrementalCondition
VCASearchCondition(const std::string &guid, int number, const CameraRef &camera,
                   teskplaycontroller::VCASearchType type)
{
    teskplaycontroller::CVCAIncrementalCondition condition;
    condition.SetVal_search_guid(guid);
    condition.SetVal_search_number(number);
    condition.SetVal_site_id(camera.site);
    condition.SetVal_camera_id(camera.id);
    condition.SetVal_vca_type(type);
    return condition;
}

teskplaycontroller::PlaybackFileList DeviceFiles(int count, int64_t first_begin, int64_t length)
{
    teskplaycontroller::PlaybackFileList files;
    for (int i = 0; i < count; ++i) {
        const int64_t begin = first_begin + i * length;
        files.push_back(std::make_shared<teskplaycontroller::CDeviceFile>(begin, begin + length - 1,
                                                                          "f" + std::to_string(i)));
    }
    return files;
}

teskrecordserver::GeneratorOptions SmallStoreOptions(int cameras, int days, int64_t anchor,
                                                     uint64_t seed)
{
    teskrecordserver::GeneratorOptions options;
    options.seed = seed;
    options.sites = 2;
    options.cameras = cameras;
    options.days = days;
    options.anchor = anchor;
    options.clip_fps = 5;
    options.jpeg_capture_hours = 2;
    return options;
}

std::shared_ptr<teskrecordserver::CRecordingServer>
OpenStore(const std::string &dir, const teskrecordserver::GeneratorOptions &options,
          std::string &error)
{
    auto server = std::make_shared<teskrecordserver::CRecordingServer>();
    const auto status = server->Open(dir, options);
    if (!status.IsOk()) {
        error = status.Message();
        return nullptr;
    }
    return server;
}

} // namespace TestKit
