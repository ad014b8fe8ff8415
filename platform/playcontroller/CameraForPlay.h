#pragma once

#include "playcontroller/ResourceKey.h"
#include "pluginmanager/ResourceData.h"

#include <map>
#include <memory>
#include <shared_mutex>
#include <string>

namespace teskplaycontroller {

// Where and how a camera's recordings are kept, as its record plan says.
#define TESK_FIELDS_OrlPlayBackParamSet(F)                                                         \
    F(int, location_type, ResourceData::StorageLocationDevice)                                     \
    F(int, storage_id, 0) /* pool of an object store */                                            \
    F(int, storage_media_type, ResourceData::StorageMediaDevice)                                   \
    F(int, stream_type, 0)                                                                         \
    F(bool, record_plan_configured, true)
TESK_VALUE_CLASS(, COrlPlayBackParamSet, OrlPlayBackParamSet, TESK_FIELDS_OrlPlayBackParamSet)

// The camera as the resource tree hands it over.
#define TESK_FIELDS_CameraElement(F)                                                               \
    F(std::string, camera_id, {})                                                                  \
    F(std::string, site_id, {})                                                                    \
    F(std::string, camera_name, {})                                                                \
    F(std::string, workstation_id, {})                                                             \
    F(int, element_type, 0)                                                                        \
    F(std::string, area_name, {})                                                                  \
    F(std::string, stream_secret_key, {})
TESK_VALUE_CLASS(, CCameraElement, CameraElement, TESK_FIELDS_CameraElement)

class ICameraForPlayback
{
public:
    virtual ~ICameraForPlayback() = default;
    virtual std::string GetCameraID() const = 0;
    virtual std::string GetSiteID() const = 0;
    virtual bool GetPlaybackParam(COrlPlayBackParamSet &out) const = 0;
};

// Record plans per camera; filled by the recording server (or a test), read by every camera
// object. Thread-safe.
class CPlaybackParamRegistry
{
public:
    static CPlaybackParamRegistry &Instance();
    void Set(const std::string &site_id, const std::string &camera_id,
             const OrlPlayBackParamSet &param);
    bool Get(const std::string &site_id, const std::string &camera_id,
             OrlPlayBackParamSet &out) const;
    void Clear();

private:
    mutable std::shared_mutex mutex_;
    std::map<std::pair<std::string, std::string>, OrlPlayBackParamSet> params_;
};

class CCameraForPlay : public ICameraForPlayback
{
public:
    explicit CCameraForPlay(const CCameraElement &element = CCameraElement());
    CCameraForPlay(const std::string &site_id, const std::string &camera_id);

    std::string GetCameraID() const override;
    std::string GetSiteID() const override;
    std::string GetWorkStationID() const;
    std::string GetCameraName() const;
    std::string GetAreaName() const;
    // Empty when the camera's stream is not encrypted.
    std::string GetStreamSecretKey() const;
    // False when the camera has no record plan.
    bool GetPlaybackParam(COrlPlayBackParamSet &out) const override;
    CCameraElement GetCameraElement() const;
    CResourceKey GetResourceKey() const;

private:
    CameraElement element_;
};

} // namespace teskplaycontroller
