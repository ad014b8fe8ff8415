#include "DemoExpandInterface.h"

#include "TrackMapWidget.h"

#include "mirelog/Log.h"

namespace TeskVideoSearch {

CDemoExpandInterface::CDemoExpandInterface(QObject *parent)
    : CVideoSearchExpandInterface(parent)
{}

CDemoExpandInterface::~CDemoExpandInterface()
{
    // A map never handed to the playback area has no other owner.
    if (ptr_map_ && !ptr_map_->parent())
        delete ptr_map_.data();
}

CTrackMapWidget *CDemoExpandInterface::Map() const
{
    return ptr_map_.data();
}

QWidget *CDemoExpandInterface::GetMapWidget()
{
    if (!ptr_map_)
        ptr_map_ = new CTrackMapWidget();
    return ptr_map_.data();
}

void CDemoExpandInterface::ClearData()
{
    if (ptr_map_)
        ptr_map_->ClearTrack();
}

void CDemoExpandInterface::UpdateAfterSwitchUser()
{
    ClearData();
}

bool CDemoExpandInterface::LoadMapInfo(const QString &json)
{
    GetMapWidget();
    return ptr_map_->LoadCamera(json);
}

bool CDemoExpandInterface::SendTrackInfo(const QString &json)
{
    GetMapWidget();
    return ptr_map_->AddTrackPoint(json);
}

bool CDemoExpandInterface::StopWorking()
{
    TESK_LOG_INFO("Map extension stopped");
    ClearData();
    return true;
}

} // namespace TeskVideoSearch
