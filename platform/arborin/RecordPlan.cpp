#include "arborin/RecordPlan.h"

#include "playcontroller/CameraForPlay.h"

namespace Arborin {

bool CDownloadRecordPlanObject::GetRecordPlan(const std::string &site_id,
                                              const std::string &camera_id,
                                              CCameraRecordSetInfo &out)
{
    out.site_id = site_id;
    out.camera_id = camera_id;
    out.qvc_record_plans.clear();
    teskplaycontroller::OrlPlayBackParamSet param;
    if (!teskplaycontroller::CPlaybackParamRegistry::Instance().Get(site_id, camera_id, param) ||
        !param.record_plan_configured)
        return false;
    CRecordPlanInfo plan;
    plan.location_type = param.location_type;
    plan.storage_id = param.storage_id;
    plan.storage_media_type = param.storage_media_type;
    plan.stream_type = param.stream_type;
    out.qvc_record_plans.push_back(plan);
    return true;
}

} // namespace Arborin
