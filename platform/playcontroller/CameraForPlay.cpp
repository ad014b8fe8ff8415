#include "CameraForPlay.h"

#include <mutex>

namespace teskplaycontroller {

CPlaybackParamRegistry &CPlaybackParamRegistry::Instance()
{
    static CPlaybackParamRegistry registry;
    return registry;
}

void CPlaybackParamRegistry::Set(const std::string &site_id, const std::string &camera_id,
                                 const OrlPlayBackParamSet &param)
{
    std::unique_lock lock(mutex_);
    params_[{site_id, camera_id}] = param;
}

bool CPlaybackParamRegistry::Get(const std::string &site_id, const std::string &camera_id,
                                 OrlPlayBackParamSet &out) const
{
    std::shared_lock lock(mutex_);
    const auto it = params_.find({site_id, camera_id});
    if (it == params_.end())
        return false;
    out = it->second;
    return true;
}

void CPlaybackParamRegistry::Clear()
{
    std::unique_lock lock(mutex_);
    params_.clear();
}

CCameraForPlay::CCameraForPlay(const CCameraElement &element)
    : element_(element.GetData())
{}

CCameraForPlay::CCameraForPlay(const std::string &site_id, const std::string &camera_id)
{
    element_.site_id = site_id;
    element_.camera_id = camera_id;
}

std::string CCameraForPlay::GetCameraID() const
{
    return element_.camera_id;
}

std::string CCameraForPlay::GetSiteID() const
{
    return element_.site_id;
}

std::string CCameraForPlay::GetWorkStationID() const
{
    return element_.workstation_id;
}

std::string CCameraForPlay::GetCameraName() const
{
    return element_.camera_name;
}

std::string CCameraForPlay::GetAreaName() const
{
    return element_.area_name;
}

std::string CCameraForPlay::GetStreamSecretKey() const
{
    return element_.stream_secret_key;
}

bool CCameraForPlay::GetPlaybackParam(COrlPlayBackParamSet &out) const
{
    OrlPlayBackParamSet param;
    if (!CPlaybackParamRegistry::Instance().Get(element_.site_id, element_.camera_id, param))
        return false;
    // Written into the shared structure, so that every copy of `out` sees it.
    if (auto shared = out.GetDataPtr())
        *shared = param;
    else
        out = COrlPlayBackParamSet(param);
    return true;
}

CCameraElement CCameraForPlay::GetCameraElement() const
{
    return CCameraElement(element_);
}

CResourceKey CCameraForPlay::GetResourceKey() const
{
    CResourceKey key;
    key.SetVal_resource_id(element_.camera_id);
    key.SetVal_site_id(element_.site_id);
    return key;
}

} // namespace teskplaycontroller
