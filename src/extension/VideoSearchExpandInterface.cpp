#include "extension/VideoSearchExpandInterface.h"

namespace TeskVideoSearch {

// Nothing of the base class lives here; subclasses of the host keep their own state.
struct UVideoSearchExpandInterfaceData
{};

CVideoSearchExpandInterface::CVideoSearchExpandInterface(QObject *parent)
    : QObject(parent)
    , data_(std::make_shared<UVideoSearchExpandInterfaceData>())
{}

CVideoSearchExpandInterface::~CVideoSearchExpandInterface() = default;

bool CVideoSearchExpandInterface::IsSupportThumbnail(const ResourceData::StorageMediaType &,
                                                     const ResourceData::StorageLocation &,
                                                     const QString &, const QString &)
{
    return true;
}

bool CVideoSearchExpandInterface::IsSupportSearchByImage()
{
    return true;
}

bool CVideoSearchExpandInterface::IsSupportShowTimeType()
{
    return true;
}

float CVideoSearchExpandInterface::GetPlayWidgetHeightWidgetScale()
{
    return 0.6166667f;
}

QWidget *CVideoSearchExpandInterface::GetMapWidget()
{
    return nullptr;
}

void CVideoSearchExpandInterface::ClearData() {}

void CVideoSearchExpandInterface::UpdateAfterSwitchUser() {}

bool CVideoSearchExpandInterface::LoadMapInfo(const QString &)
{
    return true;
}

bool CVideoSearchExpandInterface::SendTrackInfo(const QString &)
{
    return true;
}

bool CVideoSearchExpandInterface::StopWorking()
{
    return true;
}

bool CVideoSearchExpandInterface::IsVideaSearchCameraAddMap(const ResourceData::ResourceType &,
                                                            const unsigned int &)
{
    return true;
}

} // namespace TeskVideoSearch
