#include "MTZTimeConvert.h"

#include "mirelog/Log.h"
#include "quorbase/Util.h"

#include <algorithm>
#include <cstdio>

namespace teskplaycontroller {

using OrlPluginManager::COrlTimeZoneInfor;
using OrlPluginManager::DstTransition;
using namespace Quor::Base;

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr size_t kISODateTimeLength = 19;

int64_t FloorDiv(int64_t value, int64_t divisor)
{
    const int64_t quotient = value / divisor;
    return value % divisor < 0 ? quotient - 1 : quotient;
}

int YearOf(int64_t zero_time)
{
    int year;
    unsigned month, day;
    TimeUtil::CivilFromDays(FloorDiv(zero_time, kSecondsPerDay), year, month, day);
    return year;
}

bool IsValidRule(const DstTransition &rule)
{
    return rule.month >= 1 && rule.month <= 12 && rule.week >= 1 && rule.week <= 5 &&
           rule.weekday >= 0 && rule.weekday <= 6 && rule.hour >= 0 && rule.hour <= 23;
}

bool HasDaylightRules(const COrlTimeZoneInfor &zone)
{
    return zone.b_dst && IsValidRule(zone.dst_begin) && IsValidRule(zone.dst_end);
}

// The switch of a year as a local standard time counted as if it were UTC.
int64_t TransitionOfYear(const DstTransition &rule, int year)
{
    const auto month = static_cast<unsigned>(rule.month);
    const int64_t first_day = TimeUtil::DaysFromCivil(year, month, 1);
    // 1970-01-01 was a Thursday (4).
    const int first_weekday = static_cast<int>(((first_day + 4) % 7 + 7) % 7);
    int64_t day = first_day + (rule.weekday - first_weekday + 7) % 7 + 7 * (rule.week - 1);
    const int64_t next_month = month == 12 ? TimeUtil::DaysFromCivil(year + 1, 1, 1)
                                           : TimeUtil::DaysFromCivil(year, month + 1, 1);
    while (day >= next_month)
        day -= 7;
    return day * kSecondsPerDay + rule.hour * 3600;
}

} // namespace

bool CMTZTimeConvert::GetClientTimeZoneInfor(COrlTimeZoneInfor &zone)
{
    OrlPluginManager::SysConfigResult config;
    if (!OrlPluginManager::CResourceBusinessInterfaceMgr::Instance().GetClientGeneralConfig(
            config)) {
        TESK_LOG_ERROR("Time zone: the client configuration is not available, using UTC");
        zone = COrlTimeZoneInfor();
        return false;
    }
    zone = config.client_time_zone;
    return true;
}

bool CMTZTimeConvert::GetDeviceTimeZoneInfor(const CResourceKey &camera, COrlTimeZoneInfor &zone)
{
    OrlPluginManager::CamerasInfoResponse response;
    const OrlPluginManager::GetCameraParam param{camera.GetVal_site_id(),
                                                 camera.GetVal_resource_id()};
    if (!camera.GetVal_resource_id().empty() &&
        OrlPluginManager::CResourceBusinessInterfaceMgr::Instance().GetCameraList(param,
                                                                                  response)) {
        for (const auto &found : response.cameras) {
            if (found.id == param.camera_id && found.site_id == param.site_id) {
                zone = found.time_zone;
                return true;
            }
        }
    }
    GetClientTimeZoneInfor(zone);
    return false;
}

bool CMTZTimeConvert::GetDstDate(const COrlTimeZoneInfor &zone, const int &year_since_1900,
                                 int64_t &dst_begin, int64_t &dst_end)
{
    if (!HasDaylightRules(zone))
        return false;
    const int year = year_since_1900 + 1900;
    dst_begin = TransitionOfYear(zone.dst_begin, year) - zone.utc_bias;
    dst_end = TransitionOfYear(zone.dst_end, year) - zone.utc_bias;
    return true;
}

bool CMTZTimeConvert::IsDaylightTime(const COrlTimeZoneInfor &zone, const int64_t &t)
{
    if (!HasDaylightRules(zone))
        return false;
    const int64_t standard = t + zone.utc_bias;
    const int year = YearOf(standard);
    const int64_t begin = TransitionOfYear(zone.dst_begin, year);
    const int64_t end = TransitionOfYear(zone.dst_end, year);
    if (begin < end)
        return standard >= begin && standard < end;
    if (begin > end)
        return standard >= begin || standard < end;
    return false;
}

int CMTZTimeConvert::GetUtcOffset(const COrlTimeZoneInfor &zone, const int64_t &t)
{
    return zone.utc_bias + (IsDaylightTime(zone, t) ? zone.daylight_bias : 0);
}

std::string CMTZTimeConvert::TimeT2ISOTime(const int64_t &t, const int &form,
                                           const CResourceKey &camera)
{
    if (t < 0)
        return {};
    if (form == ISOUtc)
        return TimeUtil::TimeT2ISODatetime(t, 0, true);
    COrlTimeZoneInfor zone;
    GetDeviceTimeZoneInfor(camera, zone);
    return TimeUtil::TimeT2ISODatetime(t, GetUtcOffset(zone, t));
}

bool CMTZTimeConvert::GetClientTimeLocalAddDiff(std::string &local, std::string &difference,
                                                const int64_t &t)
{
    local.clear();
    difference.clear();
    if (t < 0)
        return false;
    COrlTimeZoneInfor zone;
    GetClientTimeZoneInfor(zone);
    const int offset = GetUtcOffset(zone, t);
    local = FormatLocalTime(t + offset);
    difference = FormatDifference(offset);
    return true;
}

bool CMTZTimeConvert::GetISOTimeLocalAddDiff(std::string &local, std::string &difference,
                                             const std::string &iso)
{
    local.clear();
    difference.clear();
    const int64_t t = TimeUtil::ISODatetime2TimeT(iso);
    if (t < 0 || iso.size() < kISODateTimeLength)
        return false;
    const int64_t wall_clock = TimeUtil::ISODatetime2TimeT(iso.substr(0, kISODateTimeLength));
    if (wall_clock < 0)
        return false;
    local = FormatLocalTime(wall_clock);
    if (iso.find_first_of("Zz+-", kISODateTimeLength) != std::string::npos)
        difference = FormatDifference(static_cast<int>(wall_clock - t));
    return true;
}

int64_t CMTZTimeConvert::LocalToUtc(const COrlTimeZoneInfor &zone, const int64_t &zero_time)
{
    const int64_t standard = zero_time - zone.utc_bias;
    if (!HasDaylightRules(zone))
        return standard;
    const int64_t daylight = standard - zone.daylight_bias;
    const bool standard_valid = !IsDaylightTime(zone, standard);
    const bool daylight_valid = IsDaylightTime(zone, daylight);
    if (standard_valid && daylight_valid)
        return std::min(standard, daylight);
    return daylight_valid ? daylight : standard;
}

int64_t CMTZTimeConvert::SwitchZeroTimet(const int64_t &zero_time, const CResourceKey &camera,
                                         const int &time_type)
{
    COrlTimeZoneInfor zone;
    if (time_type == OrlSearchTimeType::DeviceTime)
        GetDeviceTimeZoneInfor(camera, zone);
    else
        GetClientTimeZoneInfor(zone);
    return LocalToUtc(zone, zero_time);
}

std::string CMTZTimeConvert::TimeTtoLocalTime(const int64_t &t, const COrlTimeZoneInfor &zone)
{
    if (t < 0)
        return {};
    return TimeUtil::TimeT2ISODatetime(t, GetUtcOffset(zone, t)).substr(0, kISODateTimeLength);
}

std::string CMTZTimeConvert::FormatLocalTime(const int64_t &zero_time)
{
    int year;
    unsigned month, day;
    const int64_t days = FloorDiv(zero_time, kSecondsPerDay);
    const int64_t rest = zero_time - days * kSecondsPerDay;
    TimeUtil::CivilFromDays(days, year, month, day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02u/%02u %02d:%02d:%02d", year, month, day,
                  static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60),
                  static_cast<int>(rest % 60));
    return text;
}

std::string CMTZTimeConvert::FormatDifference(const int &offset_seconds)
{
    return "(UTC" + TimeUtil::TimeDifference2Str(offset_seconds) + ")";
}

} // namespace teskplaycontroller
