#include "uidatacontroller/EvidenceFrameSource.h"

namespace tesk_ui_data_controller {

CStandEvidenceFrameSource::CStandEvidenceFrameSource(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("CStandEvidenceFrameSource"));
}

std::string CStandEvidenceFrameSource::GetEvidenceInfo() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return evidence_info_;
}

void CStandEvidenceFrameSource::SetEvidenceInfo(const std::string &json)
{
    std::lock_guard<std::mutex> lock(mutex_);
    evidence_info_ = json;
}

} // namespace tesk_ui_data_controller
