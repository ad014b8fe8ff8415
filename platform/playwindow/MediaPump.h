#pragma once

#include "playcontroller/RecordingSource.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace teskplaywindow {

// Decodes a camera's recording over a list of time ranges and hands every frame over when it
// is due: frame times against a monotonic clock, scaled by the speed. One thread decodes a
// few frames ahead into a queue, so that opening the next piece or a slow frame does not
// delay the pacing thread, which only waits and hands over. Signals are emitted on the pacing
// thread; receivers on the user-interface thread get them queued. Every start or seek bumps a
// generation, so that a receiver can drop what was queued before it.
class CMediaPump : public QObject
{
    Q_OBJECT
public:
    using Range = std::pair<int64_t, int64_t>; // UTC seconds, end exclusive

    // Frames decoded ahead of the one due: enough to ride over opening the next piece at the
    // highest speed, few enough to keep a seek cheap.
    static constexpr size_t kFramesAhead = 24;

    explicit CMediaPump(QObject *parent = nullptr);
    ~CMediaPump() override;

    // Plays `ranges` (ascending) of `camera` from `start`; returns the new generation.
    quint64 Start(std::shared_ptr<teskplaycontroller::IRecordingSource> source,
                  const teskplaycontroller::ResourceKey &camera, std::vector<Range> ranges,
                  double start, bool paused);
    quint64 Seek(double utc);
    void SetPaused(bool paused);
    void SetSpeed(double speed);
    void SetTrackEnabled(bool enabled);
    // Ends playing; the last frame stays with the receiver.
    void Stop();
    // Nanoseconds of the clock that due times are measured on.
    qint64 ClockNs() const { return clock_.nsecsElapsed(); }

signals:
    void SignalFrame(QImage image, qint64 utc_ms, qint64 due_ns, quint64 generation);
    void SignalEnded(qint64 utc, quint64 generation);
    void SignalError(QString message, quint64 generation);
    void SignalTrackPoint(qint64 utc, double longitude, double latitude, quint64 generation);

private:
    struct Decoder;
    struct Frame
    {
        QImage image;
        int64_t utc_ms = 0;
        bool jumped = false; // the first frame of the next file
    };
    // What the decoding thread hands to the pacing thread.
    struct Item
    {
        enum class Kind { Picture, Ended, Failed };
        Kind kind = Kind::Picture;
        Frame frame;
        bool shown_at_once = false; // the frame of a start or seek, shown paused or not
        qint64 end_utc = 0;         // Ended: where
        QString error;              // Failed: why
        bool has_track = false;
        qint64 track_second = 0;
        double longitude = 0;
        double latitude = 0;
    };
    void Pace();
    void Decode();
    // Decodes the next frame of the ranges; false at their end (`ended`) or on a failure.
    bool NextFrame(Decoder &decoder, Frame &frame, bool &ended, QString &error);
    bool OpenAt(Decoder &decoder, double utc, QString &error);
    std::optional<size_t> RangeOf(double utc) const;

    QElapsedTimer clock_;
    std::mutex mutex_;
    std::condition_variable pace_wake_;
    std::condition_variable decode_wake_;
    bool stop_ = false;
    bool running_ = false;
    bool paused_ = false;
    bool reanchor_ = false;
    bool track_ = false;
    double speed_ = 1.0;
    std::optional<double> seek_; // taken by the decoding thread
    quint64 generation_ = 0;
    std::deque<Item> queue_; // of the current generation only
    // Replaced only under mutex_ while the worker is between frames.
    std::shared_ptr<teskplaycontroller::IRecordingSource> source_;
    teskplaycontroller::ResourceKey camera_;
    std::vector<Range> ranges_;
    // The decoding thread's own copy of what it plays, taken when the generation changes.
    struct Job
    {
        std::shared_ptr<teskplaycontroller::IRecordingSource> source;
        teskplaycontroller::ResourceKey camera;
        std::vector<Range> ranges;
    };
    Job job_;
    std::thread pacer_;
    std::thread decoder_;
};

} // namespace teskplaywindow
