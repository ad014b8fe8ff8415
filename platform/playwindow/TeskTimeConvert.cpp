#include "playwindow/TeskTimeConvert.h"

#include "playcontroller/MTZTimeConvert.h"

namespace teskplaywindow {

bool TeskTimeConvert::GetClientTimeZoneInfor(OrlPluginManager::COrlTimeZoneInfor &zone)
{
    return teskplaycontroller::CMTZTimeConvert::GetClientTimeZoneInfor(zone);
}

} // namespace teskplaywindow
