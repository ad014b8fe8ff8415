#include "TakeThumbnailController.h"

#include "playcontroller/RecordingSource.h"

#include "mirelog/Log.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace teskplaycontroller {

struct CTakeThumbnailController::Private
{
    // Lock order: emit_mutex before mutex.
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<ThumbnailKey> queue;
    bool quit = false;
    // Raised by StopTakeThumbnail: an answer computed under an older value is dropped.
    uint64_t stop_epoch = 0;
    // Held while an answer is emitted, so that Stop and the destructor never race an emission.
    // Recursive because a direct-connected receiver may call back from the worker thread.
    std::recursive_mutex emit_mutex;
    std::thread worker;

    void Run(CTakeThumbnailController *owner);
};

void CTakeThumbnailController::Private::Run(CTakeThumbnailController *owner)
{
    for (;;) {
        ThumbnailKey key;
        uint64_t epoch = 0;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [this] { return quit || !queue.empty(); });
            if (quit)
                return;
            key = queue.front();
            queue.pop_front();
            epoch = stop_epoch;
        }

        ThumbnailResult result;
        if (auto source = CRecordingSourceRegistry::GetSource()) {
            ResourceKey camera;
            camera.resource_id = key.camera_id;
            camera.site_id = key.site_id;
            result.success = source->DecodeFrame(camera, key.time, result.image, result.error);
        } else {
            result.error = "No recording source.";
        }
        if (!result.success) {
            result.image = QImage();
            TESK_LOG_INFO("Thumbnail of camera %s at %lld failed: %s", key.camera_id.c_str(),
                          static_cast<long long>(key.time), result.error.c_str());
        }

        std::lock_guard<std::recursive_mutex> emitting(emit_mutex);
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (quit)
                return;
            if (epoch != stop_epoch)
                continue;
        }
        emit owner->signalTakeThumbnailState(key, result);
    }
}

CTakeThumbnailController::CTakeThumbnailController(QObject *parent)
    : QObject(parent)
    , d_(std::make_shared<Private>())
{
    qRegisterMetaType<ThumbnailKey>("teskplaycontroller::ThumbnailKey");
    qRegisterMetaType<ThumbnailResult>("teskplaycontroller::ThumbnailResult");
    d_->worker = std::thread([d = d_.get(), this] { d->Run(this); });
}

CTakeThumbnailController::~CTakeThumbnailController()
{
    {
        std::lock_guard<std::recursive_mutex> emitting(d_->emit_mutex);
        std::lock_guard<std::mutex> lock(d_->mutex);
        d_->quit = true;
        d_->queue.clear();
    }
    d_->wake.notify_all();
    // A decode in flight finishes before the join; its answer is dropped.
    if (d_->worker.joinable())
        d_->worker.join();
}

bool CTakeThumbnailController::TakeThumbnailByTime(std::shared_ptr<CCameraForPlay> camera,
                                                   const std::vector<int64_t> &times)
{
    if (!camera || times.empty() || !CRecordingSourceRegistry::GetSource())
        return false;
    {
        std::lock_guard<std::mutex> lock(d_->mutex);
        for (const int64_t time : times)
            d_->queue.push_back({camera->GetSiteID(), camera->GetCameraID(), time});
    }
    d_->wake.notify_one();
    return true;
}

void CTakeThumbnailController::StopTakeThumbnail()
{
    std::lock_guard<std::recursive_mutex> emitting(d_->emit_mutex);
    std::lock_guard<std::mutex> lock(d_->mutex);
    ++d_->stop_epoch;
}

void CTakeThumbnailController::Clear()
{
    std::lock_guard<std::mutex> lock(d_->mutex);
    d_->queue.clear();
}

} // namespace teskplaycontroller
