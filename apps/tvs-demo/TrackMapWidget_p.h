#pragma once

#include "TrackMapWidget.h"

#include <QString>
#include <QVector>

namespace TeskVideoSearch {

struct UTrackMapWidgetData
{
    QString camera_id;
    bool is_body_cam = false;
    QVector<TrackPoint> qvc_points_;
    int rejected_ = 0;
};

} // namespace TeskVideoSearch
