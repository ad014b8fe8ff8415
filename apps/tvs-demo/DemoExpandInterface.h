#pragma once

#include "extension/VideoSearchExpandInterface.h"

#include <QPointer>

namespace TeskVideoSearch {

class CTrackMapWidget;

// The demo host's extension of the module: a map of the playing camera's GPS track.
class CDemoExpandInterface : public CVideoSearchExpandInterface
{
    Q_OBJECT
public:
    explicit CDemoExpandInterface(QObject *parent = nullptr);
    ~CDemoExpandInterface() override;

    CTrackMapWidget *Map() const;

public slots:
    QWidget *GetMapWidget() override;
    void ClearData() override;
    void UpdateAfterSwitchUser() override;
    bool LoadMapInfo(const QString &json) override;
    bool SendTrackInfo(const QString &json) override;
    bool StopWorking() override;

private:
    // The playback area takes the map into its own layout, which then owns it.
    QPointer<CTrackMapWidget> ptr_map_;
};

} // namespace TeskVideoSearch
