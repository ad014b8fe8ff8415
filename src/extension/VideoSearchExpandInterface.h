#pragma once

#include "TeskVideoSearchExport.h"

#include "pluginmanager/ResourceData.h"

#include <QObject>
#include <QString>

#include <memory>

class QWidget;

namespace TeskVideoSearch {

struct UVideoSearchExpandInterfaceData;

// The hook through which the host extends the module: capability questions, the map widget
// and track data of the playback area, and notices of clearing, user switch and shutdown.
// The base class gives the answers a host without extensions needs.
class TESKVIDEOSEARCH_EXPORT CVideoSearchExpandInterface : public QObject
{
    Q_OBJECT
public:
    explicit CVideoSearchExpandInterface(QObject *parent = nullptr);
    ~CVideoSearchExpandInterface() override;

public slots:
    virtual bool IsSupportThumbnail(const ResourceData::StorageMediaType &media_type,
                                    const ResourceData::StorageLocation &location,
                                    const QString &storage_text, const QString &camera_id);
    virtual bool IsSupportSearchByImage();
    virtual bool IsSupportShowTimeType();
    virtual float GetPlayWidgetHeightWidgetScale();
    virtual QWidget *GetMapWidget();
    virtual void ClearData();
    virtual void UpdateAfterSwitchUser();
    virtual bool LoadMapInfo(const QString &json);
    virtual bool SendTrackInfo(const QString &json);
    virtual bool StopWorking();
    virtual bool IsVideaSearchCameraAddMap(const ResourceData::ResourceType &resource_type,
                                           const unsigned int &camera_number);

private:
    std::shared_ptr<UVideoSearchExpandInterfaceData> data_;
};

} // namespace TeskVideoSearch
