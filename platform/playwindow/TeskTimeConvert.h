#pragma once

#include "pluginmanager/PluginManager.h"

namespace teskplaywindow {

// The play-window library's time conversions.
class TeskTimeConvert
{
public:
    // The client computer's own zone, from the client's general configuration. False, with
    // UTC in `zone`, when that configuration is not available.
    static bool GetClientTimeZoneInfor(OrlPluginManager::COrlTimeZoneInfor &zone);
};

} // namespace teskplaywindow
