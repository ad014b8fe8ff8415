#pragma once

#include "playcontroller/CameraForPlay.h"

#include <QImage>
#include <QMetaType>
#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace teskplaycontroller {

// Names one requested picture: the camera and the time (seconds, UTC).
struct ThumbnailKey
{
    std::string site_id;
    std::string camera_id;
    int64_t time = 0;
};

struct ThumbnailResult
{
    bool success = false;
    QImage image;
    std::string error;
};

// Takes pictures of a camera's recordings at given times, off the caller's thread. Every
// accepted time is answered by exactly one signalTakeThumbnailState (queued to the receiver),
// unless Clear() or StopTakeThumbnail() dropped it first.
class CTakeThumbnailController : public QObject
{
    Q_OBJECT
public:
    explicit CTakeThumbnailController(QObject *parent = nullptr);
    ~CTakeThumbnailController() override;

    // False (and no signal) when there is no camera, no time or no recording source.
    bool TakeThumbnailByTime(std::shared_ptr<CCameraForPlay> camera,
                             const std::vector<int64_t> &times);
    // Ends the work in flight; its answer is not delivered.
    void StopTakeThumbnail();
    // Drops the requests that have not started.
    void Clear();

signals:
    void signalTakeThumbnailState(teskplaycontroller::ThumbnailKey thumbnail_key,
                                  teskplaycontroller::ThumbnailResult thumbnail_result);

private:
    struct Private;
    std::shared_ptr<Private> d_;
};

} // namespace teskplaycontroller

Q_DECLARE_METATYPE(teskplaycontroller::ThumbnailKey)
Q_DECLARE_METATYPE(teskplaycontroller::ThumbnailResult)
