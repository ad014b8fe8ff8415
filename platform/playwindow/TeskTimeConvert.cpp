#include "playwindow/TeskTimeConvert.h"

#include "playcontroller/MTZTimeConvert.h"

namespace teskplaywindow {

bool TeskTimeConvert::GetClientTimeZoneInfor(OrlPluginManager::COrlTimeZoneInfor &zone)
{
    return teskplaycontroller::CMTZTimeConvert::GetClientTimeZoneInfor(zone);
}

namespace {

OrlPluginManager::COrlTimeZoneInfor ZoneOf(int time_type,
                                           const teskplaycontroller::CResourceKey &camera)
{
    OrlPluginManager::COrlTimeZoneInfor zone;
    if (time_type == 1)
        teskplaycontroller::CMTZTimeConvert::GetDeviceTimeZoneInfor(camera, zone);
    else
        teskplaycontroller::CMTZTimeConvert::GetClientTimeZoneInfor(zone);
    return zone;
}

} // namespace

QDateTime TeskTimeConvert::GetDateTimeByUTCtime(int64_t utc, int time_type,
                                                const teskplaycontroller::CResourceKey &camera)
{
    const int offset =
        teskplaycontroller::CMTZTimeConvert::GetUtcOffset(ZoneOf(time_type, camera), utc);
    return QDateTime::fromSecsSinceEpoch(utc + offset, Qt::UTC);
}

int64_t TeskTimeConvert::GetUTCtimeByDateTime(const QDateTime &wall, int time_type,
                                              const teskplaycontroller::CResourceKey &camera)
{
    QDateTime as_utc = wall;
    as_utc.setTimeSpec(Qt::UTC);
    return teskplaycontroller::CMTZTimeConvert::SwitchZeroTimet(as_utc.toSecsSinceEpoch(), camera,
                                                                time_type);
}

} // namespace teskplaywindow
