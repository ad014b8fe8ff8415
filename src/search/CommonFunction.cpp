#include "CommonFunction.h"

#include "lattice/NewInfoDlg.h"
#include "lattice/SvgPixmap.h"
#include "mirelog/Log.h"
#include "playcontroller/MTZTimeConvert.h"
#include "pluginmanager/PluginManager.h"
#include "quorbase/Util.h"

#include <QGuiApplication>
#include <QObject>
#include <QStringList>

#include <algorithm>
#include <map>

namespace TeskVideoSearch {

using Quor::Base::TimeUtil::ISODatetime2TimeT;
using Quor::Base::TimeUtil::TimeDifference2Str;
using teskplaycontroller::CMTZTimeConvert;

namespace {

constexpr size_t kISODateTimeLength = 19;
constexpr int kEast8Seconds = 8 * 3600;

// The earliest start and latest end over the cameras, each with the camera that gave it. The
// first camera sets both; a value of 0 counts as not yet set.
struct CameraSpan
{
    int64_t earliest = 0;
    int64_t latest = 0;
    CResourceKey earliest_camera;
    CResourceKey latest_camera;

    void Add(int64_t start, int64_t end, const CResourceKey &camera)
    {
        if (earliest == 0 || latest == 0) {
            earliest = start;
            latest = end;
            earliest_camera = camera;
            latest_camera = camera;
            return;
        }
        if (start < earliest) {
            earliest = start;
            earliest_camera = camera;
        }
        if (end > latest) {
            latest = end;
            latest_camera = camera;
        }
    }

    QPair<int64_t, int64_t> OnBarClock() const
    {
        const int form = CMTZTimeConvert::ISOLocalWithOffset;
        return {CCommonFunction::SwitchISOTimeToEast8ZoneTime(
                    CMTZTimeConvert::TimeT2ISOTime(earliest, form, earliest_camera)),
                CCommonFunction::SwitchISOTimeToEast8ZoneTime(
                    CMTZTimeConvert::TimeT2ISOTime(latest, form, latest_camera))};
    }
};

} // namespace

int64_t CCommonFunction::SwitchISOTimeToEast8ZoneTime(const std::string &iso)
{
    if (iso.size() < kISODateTimeLength)
        return 0;
    return ISODatetime2TimeT(iso.substr(0, kISODateTimeLength) + TimeDifference2Str(kEast8Seconds));
}

std::string CCommonFunction::TransformTime(std::string text)
{
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) { return c == '/' || c == ':' || c == ' '; }),
               text.end());
    return text;
}

QString CCommonFunction::GetZonesTimeByTimeType(const std::string &iso, const int64_t &t,
                                                bool show_difference,
                                                const OrlSearchTimeType::TimeType &type)
{
    std::string local, difference;
    if (type == OrlSearchTimeType::ClientTime)
        CMTZTimeConvert::GetClientTimeLocalAddDiff(local, difference, t);
    else
        CMTZTimeConvert::GetISOTimeLocalAddDiff(local, difference, iso);
    return QString::fromStdString(show_difference ? local + difference : local);
}

QString CCommonFunction::GetPlaybackFileTimeRange(const TimeTypePair &time_type,
                                                  const PlaybackFileVector &files)
{
    if (files.isEmpty() || !files.first() || !files.last())
        return {};
    const PlaybackFilePtr &first = files.first();
    const PlaybackFilePtr &last = files.last();
    return GetZonesTimeByTimeType(first->GetFileISOBeginTime(), first->GetFileBegTime(),
                                  time_type.second, time_type.first) +
           " - " +
           GetZonesTimeByTimeType(last->GetFileISOEndTime(), last->GetFileEndTime(),
                                  time_type.second, time_type.first);
}

void CCommonFunction::GetStartTimeAndRange(QString &start, QString &range,
                                           const PlaybackFileVector &files,
                                           const TimeTypePair &time_type)
{
    if (files.isEmpty() || !files.first() || !files.last())
        return;
    const PlaybackFilePtr &first = files.first();
    start = QString::fromStdString(
        TransformTime(GetZonesTimeByTimeType(first->GetFileISOBeginTime(), first->GetFileBegTime(),
                                             false, time_type.first)
                          .toStdString()));
    range = GetPlaybackFileTimeRange(time_type, files);
}

QPair<int64_t, int64_t>
CCommonFunction::SwitchSearchTimeRangeForTimeProgress(CTimeProgressRangeParam &param)
{
    const int64_t start = param.GetVal_search_start_time();
    const int64_t end = param.GetVal_search_end_time();
    const bool result_on_device = param.GetVal_result_time_type() == OrlSearchTimeType::DeviceTime;
    const QVector<CResourceKey> cameras = param.GetVal_qvc_camera_keys();
    const bool search_on_device = param.GetVal_search_time_type() == OrlSearchTimeType::DeviceTime;
    if (!search_on_device && !result_on_device)
        return {start, end};
    if (cameras.isEmpty()) {
        TESK_LOG_ERROR("Time bar range: no camera to convert %lld - %lld",
                       static_cast<long long>(start), static_cast<long long>(end));
        return {start, end};
    }

    CameraSpan span;
    for (const CResourceKey &camera : cameras) {
        if (search_on_device) {
            span.Add(CMTZTimeConvert::SwitchZeroTimet(start, camera, OrlSearchTimeType::DeviceTime),
                     CMTZTimeConvert::SwitchZeroTimet(end, camera, OrlSearchTimeType::DeviceTime),
                     camera);
        } else {
            const int form = CMTZTimeConvert::ISOLocalWithOffset;
            span.Add(ISODatetime2TimeT(CMTZTimeConvert::TimeT2ISOTime(start, form, camera)),
                     ISODatetime2TimeT(CMTZTimeConvert::TimeT2ISOTime(end, form, camera)), camera);
        }
    }
    if (search_on_device && !result_on_device)
        return {span.earliest, span.latest};
    return span.OnBarClock();
}

int CCommonFunction::GetSingleTimeByTimeRange(const int &seconds)
{
    if (seconds < 21601)
        return 600;
    if (seconds < 43201)
        return 1200;
    if (seconds <= 86400)
        return 1800;
    return 10800;
}

QString CCommonFunction::GetPeriodNameByTimeType(const bool &show_time_type,
                                                 const OrlSearchTimeType::TimeType &type)
{
    if (!show_time_type)
        return QObject::tr("TimeRange");
    if (type == OrlSearchTimeType::DeviceTime)
        return QObject::tr("TimeIntervaldeviceEnkQPjzIOq");
    return QObject::tr("TimeIntervalclientByPMvRustR");
}

QString CCommonFunction::CreateTimeSliderFileIndex(const int &first, const int &second)
{
    return QString::number(first) + "-" + QString::number(second);
}

QPair<int, int> CCommonFunction::GetTimeSliderFileIndex(const QString &index)
{
    const QStringList parts = index.split('-');
    return {parts.first().trimmed().toInt(), parts.last().trimmed().toInt()};
}

VideoSearchTagType CCommonFunction::SwitchTagType(const RecordFileType::TagType &type)
{
    const int value = static_cast<int>(type);
    switch (value) {
    case RecordFileType::TagAll:
        return TagTypeAll;
    case RecordFileType::TagManual:
        return TagTypeManual;
    case RecordFileType::TagEventLinkage:
        return TagTypeEventLinkage;
    case RecordFileType::TagOther:
        return TagTypeOther;
    default:
        break;
    }
    if (value >= TagChoiceAll && value <= TagChoiceYellow)
        return static_cast<VideoSearchTagType>(value);
    return TagTypeInvalid;
}

QString CCommonFunction::GetTypeNameByTagType(const VideoSearchTagType &type)
{
    switch (type) {
    case TagTypeAll:
        return QObject::tr("All00TGYFLU");
    case TagTypeManual:
        return QObject::tr("ManualLabelCHmnijoE");
    case TagTypeEventLinkage:
        return QObject::tr("EventLinkageLabelwHnJdslk");
    case TagTypeOther:
        return QObject::tr("Others");
    default:
        return {};
    }
}

QPixmap CCommonFunction::GetTypeIconByTagType(const VideoSearchTagType &type)
{
    // A function-local static: its initialisation is safe against concurrent first use.
    static const std::map<int, QPixmap> icons = [] {
        const std::pair<int, const char *> paths[] = {
            {TagChoiceAll, ":/Images/TeskVideoSearch/common_tag_all.svg"},
            {TagChoiceRed, ":/Images/TeskVideoSearch/common_tag_f_red.svg"},
            {TagChoiceBlue, ":/Images/TeskVideoSearch/common_tag_f_blue.svg"},
            {TagChoiceGreen, ":/Images/TeskVideoSearch/common_tag_f_green.svg"},
            {TagChoiceYellow, ":/Images/TeskVideoSearch/common_tag_f_yellow.svg"},
        };
        std::map<int, QPixmap> drawn;
        for (const auto &path : paths)
            drawn[path.first] = Lattice::GetHighDpiSvgPixmap(QString::fromLatin1(path.second));
        return drawn;
    }();
    const auto it = icons.find(type);
    return it == icons.end() ? QPixmap() : it->second;
}

TimeSliderFileType
CCommonFunction::SwitchPlaybackFileTypeToSliderType(const CPlaybackFile::Type &type)
{
    switch (type) {
    case CPlaybackFile::TypeRegular:
        return SliderRegular;
    case CPlaybackFile::TypeAlarm:
        return SliderAlarm;
    case CPlaybackFile::TypeMotion:
        return SliderMotion;
    case CPlaybackFile::TypeTag:
        return SliderTag;
    case CPlaybackFile::TypeLock:
        return SliderLock;
    case CPlaybackFile::TypeIntelligent:
        return SliderIntelligent;
    }
    return SliderRegular;
}

QString CCommonFunction::SwitchResourcePermission(const ResourceData::ResourcePermissionItem &item)
{
    switch (item) {
    case ResourceData::PermissionPlayback:
        return QObject::tr("Playback");
    case ResourceData::PermissionVideoSearch:
        return QObject::tr("VideoSearchdsmnkshB");
    case ResourceData::PermissionDownload:
        return QObject::tr("Download");
    case ResourceData::PermissionEditTag:
        return QObject::tr("EditTag");
    case ResourceData::PermissionRemoveTag:
        return QObject::tr("RemoveTheLabelprhfvkeD");
    case ResourceData::PermissionCheckTag:
        return QObject::tr("CheckTheLabelvdhukmjs");
    case ResourceData::PermissionDeleteLock:
        return QObject::tr("DeleteTheLockIBaAfClv");
    case ResourceData::PermissionSeeLock:
        return QObject::tr("SeeTheLocknuwthkvw");
    }
    return {};
}

bool CCommonFunction::IsCameraPermissionValid(CCameraPermissionParam &param, QWidget *parent)
{
    OrlPluginManager::ResourcePermissionParam request;
    request.resource_type = ResourceData::kCameraResourceType;
    request.resource_id = param.GetVal_camera_id().toStdString();
    request.site_id = param.GetVal_site_id().toStdString();
    request.permission_item = param.GetVal_permissinon_type();
    if (OrlPluginManager::CResourceBusinessInterfaceMgr::Instance().CheckResourcePermission(
            request))
        return true;
    ShowCameraPermissionTip(param, parent);
    return false;
}

void CCommonFunction::ShowCameraPermissionTip(CCameraPermissionParam &param, QWidget *parent)
{
    OrlPluginManager::GetCameraParam query;
    query.site_id = param.GetVal_site_id().toStdString();
    query.camera_id = param.GetVal_camera_id().toStdString();
    OrlPluginManager::CamerasInfoResponse response;
    if (!OrlPluginManager::CResourceBusinessInterfaceMgr::Instance().GetCameraList(query,
                                                                                   response)) {
        TESK_LOG_ERROR("Permission tip: camera list not available for %s", query.camera_id.c_str());
        return;
    }
    const auto camera = std::find_if(response.cameras.begin(), response.cameras.end(),
                                     [&query](const OrlPluginManager::Camera &candidate) {
                                         return candidate.GetID() == query.camera_id &&
                                                candidate.GetSiteId() == query.site_id;
                                     });
    if (camera == response.cameras.end())
        return;
    auto tip = std::make_shared<Lattice::CStruInfoTipsData>();
    tip->pParent = parent;
    tip->normal_text_type = 1;
    tip->strText =
        QObject::tr("%HasNo%PermissionsVxBkhrUAqZ")
            .arg(QString::fromStdString(camera->GetName()), 0, QLatin1Char(' '))
            .arg(SwitchResourcePermission(param.GetVal_permissinon_type()), 0, QLatin1Char(' '));
    Lattice::CNewInfoDlg::ShowInformationAtScreenRightBottom_V3(tip);
}

float CCommonFunction::GetDetailWidgetWidthScale()
{
    return 0.48355263f;
}

QString CCommonFunction::GetThumbnailListBtnImage(const bool &is_list, const bool &is_normal)
{
    const bool mirrored = QGuiApplication::layoutDirection() == Qt::RightToLeft;
    QString name = is_list ? "icon_list" : "icon_thumbnail";
    if (mirrored)
        name += "_arbaric";
    name += is_normal ? "_nor" : "_sel";
    return ":/Images/TeskVideoSearch/" + name + ".svg";
}

} // namespace TeskVideoSearch
