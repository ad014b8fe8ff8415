#pragma once

#include <QPointF>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

namespace TeskVideoSearch {

// One received position, in signed degrees (east and north positive).
struct TrackPoint
{
    QString time;
    double longitude = 0.0;
    double latitude = 0.0;
    // Joined to the previous point by a line; false starts a new stretch of track.
    bool linked = false;
};

struct UTrackMapWidgetData;

// The host's map of the playback area: draws the GPS track that the playing stream reports,
// point by point, on a plain grid of degrees around it.
class CTrackMapWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CTrackMapWidget(QWidget *parent = nullptr);
    ~CTrackMapWidget() override;

    // The camera whose track follows ({"CamElementID": "...", "IsBodyCam": true}); clears the
    // track. False, with a log line, for text that is not such an object.
    bool LoadCamera(const QString &json);
    // One position ({"strCurrTime", "longitude", "latitude", "longitude_hemiphere",
    // "latitude_hemiphere", "isNeedLink"}). False, with a log line and nothing drawn, for
    // text that is not JSON, misses a field or names a place that does not exist.
    bool AddTrackPoint(const QString &json);
    void ClearTrack();

    int PointCount() const;
    int RejectedCount() const;
    QString CameraId() const;
    // The last accepted position, signed degrees.
    std::optional<QPointF> LastPosition() const;

    // The position that a track text describes; nullopt with `error` saying what is wrong.
    static std::optional<TrackPoint> ParseTrackPoint(const QString &json, QString &error);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::shared_ptr<UTrackMapWidgetData> data_;
};

} // namespace TeskVideoSearch
