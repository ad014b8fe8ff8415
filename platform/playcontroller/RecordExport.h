#pragma once

#include "playcontroller/RecordingSource.h"
#include "playcontroller/ResourceKey.h"
#include "pluginmanager/PlaybackBusiness.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace teskplaycontroller {

// One span of a camera's recordings, seconds since 1970 UTC, [begin, end).
struct ExportSpan
{
    int64_t begin = 0;
    int64_t end = 0;
};

// Called with the share of the work done (0 to 1); false stops the export.
using ExportProgress = std::function<bool(double)>;

// Copies recordings into MP4 files without re-encoding.
class __attribute__((visibility("default"))) CRecordExporter
{
public:
    // Writes the spans of `camera`, one after another, as one MP4 file at `target` whose
    // timestamps start at 0. The file is written under a temporary name in the target's folder
    // and takes its name only when complete; an existing `target` is never replaced. False with
    // `error` set on any failure, and then nothing is left behind.
    static bool ExportSpans(const ResourceKey &camera, const std::vector<ExportSpan> &spans,
                            const std::string &target, const ExportProgress &progress,
                            std::string &error);

    // The same from media pieces already resolved.
    static bool CopyPieces(const std::vector<MediaPiece> &pieces, const std::string &target,
                           const ExportProgress &progress, std::string &error);

    // A hidden name beside `target` for work in progress, unique within the process.
    static std::string TemporaryNameFor(const std::string &target);
    // Gives `temporary` the name `target` unless that exists; removes `temporary` either way.
    static bool PublishFile(const std::string &temporary, const std::string &target,
                            std::string &error);
};

// Carries out the plug-in manager's record downloads by export: each entry becomes
// "<target_path>.mp4", the camera found by its identifier in the camera directory.
class __attribute__((visibility("default"))) CRecordFileDownloadHandler
    : public OrlPluginManager::IRecordDownloadHandler
{
public:
    bool DownloadRecordFiles(const play_plugin_protocol::DownloadRequestParam &request,
                             play_plugin_protocol::ErrorResultInfo &error) override;
};

} // namespace teskplaycontroller
