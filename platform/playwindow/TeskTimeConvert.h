#pragma once

#include "playcontroller/ResourceKey.h"
#include "pluginmanager/PluginManager.h"

#include <QDateTime>

#include <cstdint>

namespace teskplaywindow {

// The play-window library's time conversions.
class TeskTimeConvert
{
public:
    // The client computer's own zone, from the client's general configuration. False, with
    // UTC in `zone`, when that configuration is not available.
    static bool GetClientTimeZoneInfor(OrlPluginManager::COrlTimeZoneInfor &zone);
    // The wall clock of `utc` for time type 0 (the client's zone) or 1 (the camera's), as a
    // QDateTime whose fields read that wall clock.
    static QDateTime GetDateTimeByUTCtime(int64_t utc, int time_type,
                                          const teskplaycontroller::CResourceKey &camera = {});
    // The reverse: the UTC second of a wall clock read as above.
    static int64_t GetUTCtimeByDateTime(const QDateTime &wall, int time_type,
                                        const teskplaycontroller::CResourceKey &camera = {});
};

} // namespace teskplaywindow
