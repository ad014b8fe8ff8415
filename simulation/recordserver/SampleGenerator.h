#pragma once

#include "recordserver/Catalogue.h"

#include <cstdint>
#include <string>

namespace teskrecordserver {

// Seconds east of UTC in force in `zone` at `utc`, daylight saving included.
int DeviceOffsetAt(const OrlPluginManager::COrlTimeZoneInfor &zone, int64_t utc);
// "2026-12-05T14:00:00+08:00" in the zone's local time.
std::string IsoInZone(int64_t utc, const OrlPluginManager::COrlTimeZoneInfor &zone);

// What the sample generator builds. The same options (seed included) give the same store.
struct GeneratorOptions
{
    uint64_t seed = 20261205;
    int sites = 2;
    int cameras = 16;
    int days = 7;
    // End of the recorded period (seconds, UTC); 0: the end of the current UTC day, so that
    // every run on one day builds the same store.
    int64_t anchor = 0;
    // The format of the cameras' media, which shows each camera's wall-clock time and is
    // generated when first asked for (CMediaCache), not with the store.
    int clip_fps = 10;
    int clip_width = 320;
    int clip_height = 180;
    int min_recording_minutes = 20;
    int max_recording_minutes = 90;
    int capture_interval_seconds = 600; // capture plans of every fourth camera
    int jpeg_capture_hours = 48; // hourly JPEG captures of the fifth camera, most recent first

    // 2 sites, 16 cameras, 7 days.
    static GeneratorOptions Default();
    // Hundreds of cameras and more than 100,000 recordings, for benchmarks.
    static GeneratorOptions Large();
};

// The catalogue's name of a camera's media (the path of its media_files row): the folder, in
// the store, of the media cache's pieces for the camera.
std::string CameraMediaPath(const CameraRow &camera);

// The end of the UTC day that holds `now`.
int64_t EndOfUtcDay(int64_t now);

// Index of the cameras that the sample gives special traits (by position in the store).
struct SampleRoles
{
    static constexpr int kPerFileStorage = 1;      // storage media type 7
    static constexpr int kNoPlayback = 4;          // playback permission denied
    static constexpr int kNoTagDeleteOrUnlock = 5; // tag removal and unlock denied
    static constexpr int kJpegCaptures = 4;        // capture plan kept as JPEG files
    // The last two cameras fail every search: parameter error 2, then 3.
};

// Fills an empty catalogue (and writes the media files under `store_dir`) in one transaction.
CStoreStatus GenerateSample(CRecordCatalogue &catalogue, const std::string &store_dir,
                            const GeneratorOptions &options);

} // namespace teskrecordserver
