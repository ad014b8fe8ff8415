#include "TestKit.h"

#include "playcontroller/CameraForPlay.h"

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

} // namespace TestKit
