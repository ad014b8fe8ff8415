#pragma once

#include "playcontroller/ResourceKey.h"
#include "pluginmanager/PluginManager.h"

#include <cstdint>
#include <string>

namespace teskplaycontroller {

// Time-zone conversions between UTC seconds and the wall clocks of the client computer and of
// each device. The client's zone comes from the client's general configuration, a device's zone
// from the camera directory; a device that is not listed falls back to the client's zone.
//
// Text forms: a local time is written "2026/12/05 14:00:00" and its time difference apart as
// "(UTC+08:00)", so that callers choose whether to show the difference. ISO texts are
// "2026-12-05T14:00:00+08:00" (with the zone's offset at that instant, daylight saving
// included) and, from TimeTtoLocalTime, "2026-12-05T14:00:00" without a zone.
class CMTZTimeConvert
{
public:
    enum ISOTimeForm {
        ISOLocalWithOffset = 0, // the device's wall clock and its offset
        ISOUtc = 1,             // UTC, written with "Z"
    };

    static bool GetClientTimeZoneInfor(OrlPluginManager::COrlTimeZoneInfor &zone);
    // False (and the client's zone in `zone`) when the camera is not listed.
    static bool GetDeviceTimeZoneInfor(const CResourceKey &camera,
                                       OrlPluginManager::COrlTimeZoneInfor &zone);

    // The daylight-saving period of a year (counted from 1900, as struct tm does) as UTC
    // seconds: `dst_begin` the switch to daylight time, `dst_end` the switch back. In the
    // southern hemisphere `dst_end` comes before `dst_begin`. False for a zone without
    // daylight saving or with invalid rules.
    static bool GetDstDate(const OrlPluginManager::COrlTimeZoneInfor &zone,
                           const int &year_since_1900, int64_t &dst_begin, int64_t &dst_end);
    // Seconds east of UTC in effect at `t`, daylight saving included.
    static int GetUtcOffset(const OrlPluginManager::COrlTimeZoneInfor &zone, const int64_t &t);
    static bool IsDaylightTime(const OrlPluginManager::COrlTimeZoneInfor &zone, const int64_t &t);

    // `t` as an ISO text of the camera's zone; empty for negative times.
    static std::string TimeT2ISOTime(const int64_t &t, const int &form, const CResourceKey &camera);

    // `t` on the client's wall clock. False for negative times (both texts empty).
    static bool GetClientTimeLocalAddDiff(std::string &local, std::string &difference,
                                          const int64_t &t);
    // Splits an ISO text ("2026-12-05T14:00:00+08:00", "…Z", "… 14:00:00.5+0800") into its wall
    // clock and its difference. A text without a zone gives an empty difference. False for
    // text that is not an ISO date-time (both texts empty).
    static bool GetISOTimeLocalAddDiff(std::string &local, std::string &difference,
                                       const std::string &iso);

    // `zero_time` holds a wall-clock reading counted as if it were UTC; returns the instant
    // at which that reading occurs on the camera's clock (time type 1) or the client's
    // (time type 0). A reading that occurs twice at the end of daylight saving gives the
    // earlier instant; one skipped at its start is read as standard time.
    static int64_t SwitchZeroTimet(const int64_t &zero_time, const CResourceKey &camera,
                                   const int &time_type);
    static int64_t LocalToUtc(const OrlPluginManager::COrlTimeZoneInfor &zone,
                              const int64_t &zero_time);

    // `t` on the zone's wall clock as "2026-12-05T14:00:00"; empty for negative times.
    static std::string TimeTtoLocalTime(const int64_t &t,
                                        const OrlPluginManager::COrlTimeZoneInfor &zone);

    // "2026/12/05 14:00:00" of a wall-clock reading counted as if it were UTC.
    static std::string FormatLocalTime(const int64_t &zero_time);
    // "(UTC+08:00)".
    static std::string FormatDifference(const int &offset_seconds);
};

} // namespace teskplaycontroller
