#pragma once

#include <QVector>

#include <string>

namespace Arborin {

// One record plan of a camera: where its recordings are kept and which stream is recorded.
struct CRecordPlanInfo
{
    int location_type = 1;      // ResourceData::StorageLocation
    int storage_id = 0;         // pool of an object store
    int storage_media_type = 2; // ResourceData::StorageMediaType
    int stream_type = 0;        // 10: the stream the device chooses
};

struct CCameraRecordSetInfo
{
    std::string site_id;
    std::string camera_id;
    QVector<CRecordPlanInfo> qvc_record_plans;
};

// Reads the record plans that the recording servers hold for a camera.
class CDownloadRecordPlanObject
{
public:
    // False, with no plans, when the camera has no configured record plan.
    static bool GetRecordPlan(const std::string &site_id, const std::string &camera_id,
                              CCameraRecordSetInfo &out);
};

} // namespace Arborin
