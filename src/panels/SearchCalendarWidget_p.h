#pragma once

#include "plexacontrol/BeginEndCalendarTimePopup.h"

#include <QDateTime>
#include <QPointer>

namespace TeskVideoSearch {

struct SearchCalendarWidgetData
{
    QPointer<PlexaControl::CBeginEndCalendarTimePopup> ptr_popup_;
    QDateTime custom_begin_;
    QDateTime custom_end_;
    QString custom_text_;
    OrlSearchTimeType::TimeType time_zone_mode_ = OrlSearchTimeType::ClientTime;
    int max_custom_days_ = 0;
};

} // namespace TeskVideoSearch
