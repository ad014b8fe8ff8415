// The failures of camera and VCA searches as the operator sees them (corner notifications and
// the failure text of a VCA event), and the audit record that every search answer leaves.
// Texts are translated in the controller's context, where the client's catalogues keep them.

#include "search/VideoSearchController.h"

#include "search/VideoSearchCommonPort.h"
#include "search/VideoSearchController_p.h"

#include "lattice/NewInfoDlg.h"
#include "mirelog/Log.h"
#include "plexacontrol/StringConvert.h"
#include "pluginmanager/PluginManager.h"

#include <QDateTime>
#include <QLatin1Char>

#include <algorithm>
#include <map>

namespace TeskVideoSearch {

namespace {

using teskplaycontroller::ResourceKey;

constexpr int kSearchOperationCode = 127009;

// Audit items of a camera search.
constexpr int kAuditTraceId = 0x9F003;
constexpr int kAuditStorageLocation = 0x9F009;
constexpr int kAuditSearchType = 0x9F00E;
constexpr int kAuditBeginTime = 0x9F00A;
constexpr int kAuditEndTime = 0x9F00B;

QString ToQString(const std::string &text)
{
    return PlexaControl::StringToQString(text, nullptr);
}

// The audit record of one search answer; a failure carries its error code and `flag`.
OrlPluginManager::OperationLog MakeAuditRecord(const ResourceKey &camera, bool success,
                                               const Quor::Base::Error::ErrorCode &error, bool flag)
{
    OrlPluginManager::OperationLog record;
    record.operation_code = kSearchOperationCode;
    record.time = QDateTime::currentSecsSinceEpoch();
    record.camera_id = camera.resource_id;
    record.camera_name =
        CVideoSearchCommonPort::GetCameraInfo(camera.site_id, camera.resource_id).GetName();
    record.result = success ? 1 : 0;
    if (!success) {
        record.error_code = error;
        record.before_result = 2;
        record.flag = flag ? 1 : 0;
    }
    return record;
}

QString Arg(const QString &pattern, const QString &value)
{
    return pattern.arg(value, 0, QLatin1Char(' '));
}

} // namespace

void CVideoSearchController::DealSingleCameraSearchFailed(const CameraParam &param)
{
    WriteOperationLog(param);
    const QString suffix = param.next_switch_other_storage
                               ? tr("Korv-ControlClient.bfdf212110394e6f963b40126a1aac25.msg")
                               : QString();
    const auto host_camera = CVideoSearchCommonPort::GetCameraInfo(param.resource_key.site_id,
                                                                   param.resource_key.resource_id);
    const QString name = ToQString(host_camera.GetName());
    const QString location = GetStorageLocationName(param.pair_storage_info.first);
    const QString kind = GetClipTypeName(param.search_type);

    QString text;
    switch (param.param_error_type) {
    case teskplaycontroller::ParamErrorNone: {
        const QString reason = GetFailureReason(param.error_code, param.str_error_info);
        if (param.search_type == teskplaycontroller::VideoSearchPersonVehicle) {
            text = Arg(Arg(tr("Korv-ControlClient.54cbc90683024161aefeed1d2dfda64a.msg"), name),
                       reason);
        } else {
            text = Arg(Arg(Arg(tr("Korv-ControlClient.f6fdab1051bf4248bbf4a18a434f575c.msg"), name),
                           location),
                       kind) +
                   reason + QLatin1Char(' ') + suffix;
        }
        break;
    }
    case teskplaycontroller::ParamErrorDevice:
    case teskplaycontroller::ParamErrorStorageMedia: {
        const QString detail = param.param_error_type == teskplaycontroller::ParamErrorDevice
                                   ? tr("TheDeviceToWhichBeloMdnwPukb")
                                   : tr("Korv-ControlClient.853a16a8b101498fa1284357d296cbe5.msg");
        text = Arg(Arg(Arg(Arg(tr("Korv-ControlClient.0cdc19656cf641c8a303bb5ca435f3d7.msg"), name),
                           location),
                       kind),
                   detail) +
               suffix;
        break;
    }
    default:
        // No text of its own: the failure is only logged and audited.
        TESK_LOG_ERROR("Clip search:camera %s failed with parameter error %d",
                       param.resource_key.resource_id.c_str(), param.param_error_type);
        return;
    }
    TESK_LOG_ERROR("Clip search:camera %s failed: %s", param.resource_key.resource_id.c_str(),
                   PlexaControl::QStringToString(text, nullptr).c_str());
    ShowFailureNotification(text);
}

bool CVideoSearchController::ReportVCASearchFailure(const VCAParam &param,
                                                    CClipSearchEventData &event_data)
{
    WriteVCAOperationLog(param);
    const QString suffix = param.next_switch_other_storage
                               ? tr("Korv-ControlClient.bfdf212110394e6f963b40126a1aac25.msg")
                               : QString();
    const auto host_camera = CVideoSearchCommonPort::GetCameraInfo(param.resource_key.site_id,
                                                                   param.resource_key.resource_id);
    const QString name = ToQString(host_camera.GetName());

    switch (param.param_error_type) {
    case teskplaycontroller::ParamErrorNone:
        event_data.SetVal_vca_error_info(Arg(tr("VideoRetrievalFailedOyWUrwFt"), name) +
                                         GetFailureReason(param.error_code, param.str_error_info) +
                                         suffix);
        return true;
    case teskplaycontroller::ParamErrorDevice:
    case teskplaycontroller::ParamErrorStorageMedia: {
        const QString location = GetStorageLocationName(param.pair_storage_info.first);
        QString text =
            Arg(Arg(tr("Korv-ControlClient.0cca1652109f42cab8a326bb277002aa.msg"), name), location);
        if (param.param_error_type == teskplaycontroller::ParamErrorDevice) {
            text += tr("TheDeviceToWhichBeloMdnwPukb");
        } else {
            text += Arg(Arg(tr("Korv-ControlClient.064700c0f8e84c98b55d1fd0e5bc44e1.msg"),
                            GetStorageMediaName(param.pair_storage_info.second)),
                        GetVCATypeName(param.vca_type));
        }
        text += suffix;
        TESK_LOG_ERROR("VCA search:camera %s failed: %s", param.resource_key.resource_id.c_str(),
                       PlexaControl::QStringToString(text, nullptr).c_str());
        ShowFailureNotification(text);
        return false;
    }
    default:
        // No text of its own; the pages still learn that the search ended.
        TESK_LOG_ERROR("VCA search:camera %s failed with parameter error %d",
                       param.resource_key.resource_id.c_str(), param.param_error_type);
        return true;
    }
}

QString CVideoSearchController::GetFailureReason(const Quor::Base::Error::ErrorCode &code,
                                                 const std::string &text)
{
    if (!text.empty())
        return ToQString(text);
    return ToQString(OrlErrorCodeTrans::GetErrorInfoByErrorCode(code));
}

void CVideoSearchController::ShowFailureNotification(const QString &text)
{
    auto tips = std::make_shared<Lattice::CStruInfoTipsData>();
    tips->pParent = data_->ptr_parent_;
    tips->strText = text;
    tips->normal_text_type = Lattice::CStruInfoTipsData::TextError;
    Lattice::CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(tips);
}

void CVideoSearchController::WriteOperationLog(const CameraParam &param)
{
    const OrlPluginManager::OperationLog record = MakeAuditRecord(
        param.resource_key, param.state_type == teskplaycontroller::CameraStateDone,
        param.error_code, param.param_error_type == teskplaycontroller::ParamErrorNone);

    std::map<int, boost::any> items;
    const auto &condition = data_->search_condition_;
    const bool listed = std::any_of(
        condition.tesk_camera_info.begin(), condition.tesk_camera_info.end(),
        [&](const teskplaycontroller::TeskCameraInfo &camera) {
            return camera.ptr_camera_for_play &&
                   camera.ptr_camera_for_play->GetCameraID() == param.resource_key.resource_id &&
                   camera.ptr_camera_for_play->GetSiteID() == param.resource_key.site_id;
        });
    if (listed) {
        items[kAuditTraceId] = param.trace_id;
        // The storage the answer came from.
        items[kAuditStorageLocation] = static_cast<int>(param.pair_storage_info.first);
        items[kAuditSearchType] = static_cast<int>(SwitchSearchType(condition.search_type));
        items[kAuditBeginTime] = static_cast<int64_t>(condition.begin_time);
        items[kAuditEndTime] = static_cast<int64_t>(condition.end_time);
    }
    OrlPluginManager::CLogBusinessInterfaceMgr::Instance().WriteOperationLog(
        kSearchOperationCode, record, std::string(), items);
}

void CVideoSearchController::WriteVCAOperationLog(const VCAParam &param)
{
    const OrlPluginManager::OperationLog record =
        MakeAuditRecord(param.resource_key, param.state_type == teskplaycontroller::VCAStateData,
                        param.error_code, true);
    OrlPluginManager::CLogBusinessInterfaceMgr::Instance().WriteOperationLog(
        kSearchOperationCode, record, std::string(), {});
}

QString CVideoSearchController::GetClipTypeName(const teskplaycontroller::VideoSearchType &type)
{
    switch (type) {
    case teskplaycontroller::VideoSearchRecord:
        return tr("Korv-ControlClient.6d6bdf8d3e7a4ae4958d3550b2d9a734.button");
    case teskplaycontroller::VideoSearchTag:
        return tr("Tag");
    case teskplaycontroller::VideoSearchLock:
        return tr("LockOJORE6H7");
    case teskplaycontroller::VideoSearchPOS:
        return tr("POSEventdOUvfOqqIICDspQQ");
    case teskplaycontroller::VideoSearchATM:
        return tr("ATMEventDTFODgMrgGIZketC");
    case teskplaycontroller::VideoSearchPersonVehicle:
        return tr("Korv-ControlClient.162c4dce0cbf4013a4d42bbb79074730.name");
    default:
        return QString();
    }
}

QString CVideoSearchController::GetVCATypeName(const teskplaycontroller::VCASearchType &type)
{
    switch (type) {
    case teskplaycontroller::VCASearchMotion:
    case teskplaycontroller::VCASearchIntrusion:
        return tr("MotionDetecting");
    case teskplaycontroller::VCASearchLineCrossing:
        return tr("LineCrossingDetection");
    default:
        return QString();
    }
}

QString
CVideoSearchController::GetStorageLocationName(const ResourceData::StorageLocation &location)
{
    switch (location) {
    case ResourceData::StorageLocationCentral:
        return tr("TheCentral");
    case ResourceData::StorageLocationDevice:
        return tr("EquipmentStorage");
    case ResourceData::StorageLocationMain:
        return tr("MainMemoryFnGvCDGv");
    case ResourceData::StorageLocationAuxiliary:
        return tr("AuxiliaryStoragewoaCtIrG");
    default:
        return QString();
    }
}

QString CVideoSearchController::GetStorageMediaName(const ResourceData::StorageMediaType &media)
{
    switch (media) {
    case ResourceData::StorageMediaCVR:
        return QStringLiteral("CVR");
    case ResourceData::StorageMediaDevice:
        return tr("Device");
    case ResourceData::StorageMediaCloud:
        return tr("Korv-ControlClient.74191b2096b44926a0f4ca68ab06ec77.name");
    case ResourceData::StorageMediaPStor:
        return tr("Korv-ControlClient.e1c2b4583fe548bfad81784a03c10553.name");
    case ResourceData::StorageMediaPerFile:
        return tr("Korv-ControlClient.3f68811965834afdb82705a988324075.name");
    case ResourceData::StorageMediaObject:
        return tr("Korv-ControlClient.d20fd12d40f24dcba17288c3284ebef7.name");
    case ResourceData::StorageMediaNVR:
        return QStringLiteral("NVR");
    default:
        return QString();
    }
}

} // namespace TeskVideoSearch
