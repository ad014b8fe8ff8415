#pragma once

#include "playcontroller/RecordChange.h"
#include "playcontroller/SearchCondition.h"

#include <QImage>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace teskplaycontroller {

// What one camera's search produced: its files, or a failure with the recorder's reasons.
struct CameraSearchAnswer : SearchAnswerDetails
{
    // The source gave up because the search was cancelled; the answer is not reported.
    bool interrupted = false;
    bool failed = false;
    PlaybackFileList files;
};

// Receives what a VCA search produces while it runs.
class IVCAResultSink
{
public:
    virtual ~IVCAResultSink() = default;
    // Results to buffer for GetManagerSearchData; the service announces them (state 1).
    virtual void PushResults(const PlaybackFileList &files) = 0;
    // Any other state (2 failed, 5 more than maximum, 6 finished, 7, 8) with its details.
    virtual void ReportState(const CVCAIncrementalObserver::Param &param) = 0;
};

// A piece of a camera's recorded media, as a player opens it.
struct RecordingMedia
{
    std::string path;  // a media file FFmpeg can open
    int64_t begin = 0; // UTC second of the file's first frame
    int seconds = 0;   // its length
    // Keeps the media on disk while it is played; released with the last copy.
    std::shared_ptr<void> hold;
};

// A stretch of a media file, in seconds from its start, that shows part of a recording.
struct MediaPiece
{
    std::string path;
    double from = 0;
    double to = 0;
    // Keeps the file from being removed while it is in use.
    std::shared_ptr<void> hold;
};

// Decides a race between a change of the recordings and its caller's deadline: the source
// claims the commit just before it makes the change lasting, the caller expires the request when
// its deadline passes; whichever comes first wins, so a request reported as timed out never
// changes anything. Thread-safe.
class CChangeClaim
{
public:
    // True when the source may commit; false once the request has expired.
    bool ClaimCommit();
    // True when the request expired before a commit was claimed.
    bool Expire();
    bool HasExpired() const { return state_.load() == Expired; }
    // Neither committed nor expired yet.
    bool IsOpen() const { return state_.load() == Open; }

private:
    enum : int { Open, Committing, Expired };
    std::atomic<int> state_{Open};
};

// Where the search services get their answers: the embedded recording server, or a scripted
// source in tests. Every call runs on a service thread; `cancelled` turns true when the caller
// cancels, and a long call should return soon after.
class IRecordingSource
{
public:
    virtual ~IRecordingSource() = default;

    virtual CameraSearchAnswer SearchCamera(const CameraVideoSearchCondition &condition,
                                            const TeskCameraInfo &camera,
                                            const std::atomic<bool> &cancelled) = 0;

    // Produces the results of a VCA search through `sink` and returns when the search has
    // ended (after reporting its final state) or was cancelled.
    virtual void SearchVCA(const VCAIncrementalCondition &condition, IVCAResultSink &sink,
                           const std::atomic<bool> &cancelled) = 0;

    // The picture of a camera's recording at time `t` (seconds, UTC). False with `error` set
    // when no recording covers `t` or its media cannot be decoded.
    virtual bool DecodeFrame(const ResourceKey &camera, int64_t t, QImage &out,
                             std::string &error) = 0;

    // The media that holds the camera's recording at time `t`. False with `error` set when no
    // recording covers `t` or the source keeps no media.
    virtual bool MediaForPlay(const ResourceKey &camera, int64_t t, RecordingMedia &out,
                              std::string &error);

    // The position the camera reported at time `t` (cameras that carry a GPS receiver). False
    // when the source has no track for it.
    virtual bool TrackPointAt(const ResourceKey &camera, int64_t t, double &longitude,
                              double &latitude);

    // The media that shows a camera's recordings over [begin, end), in time order. False with
    // `error` set when nothing records the span or its media is missing.
    virtual bool ResolveMedia(const ResourceKey &camera, int64_t begin, int64_t end,
                              std::vector<MediaPiece> &out, std::string &error)
    {
        (void)camera, (void)begin, (void)end, (void)out;
        error = "This recording source cannot export recordings.";
        return false;
    }

    // Carries out a tag request, asking `claim` before making it lasting. False with `error`
    // set when the request failed and nothing changed. A source that keeps no tags refuses.
    virtual bool OperateLabel(const OperatLabelParam &param, CChangeClaim &claim,
                              std::string &error);
    // The same for a lock request.
    virtual bool LockAndUnlockRecord(const LockRecordFileParam &param, CChangeClaim &claim,
                                     std::string &error);
};

// The source every service object uses; set by the host before the first search.
class CRecordingSourceRegistry
{
public:
    static void SetSource(std::shared_ptr<IRecordingSource> source);
    static std::shared_ptr<IRecordingSource> GetSource();
};

} // namespace teskplaycontroller
