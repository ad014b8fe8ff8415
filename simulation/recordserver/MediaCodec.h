#pragma once

#include "recordserver/Catalogue.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <string>

namespace teskrecordserver {

// A synthetic clip: moving shapes on a coloured background with the label and the clip time
// drawn on every frame.
struct ClipParams
{
    int width = 320;
    int height = 180;
    int fps = 10;
    int seconds = 30;
    int gop = 20; // frames between key frames
    std::string label;
    uint32_t seed = 1;
};

// Writes `clip` as an H.264 (yuv420p) MP4 file at `path`.
CStoreStatus WriteSyntheticClip(const std::string &path, const ClipParams &clip);

// A piece of a camera's recording as the camera shows it: moving shapes over the camera's own
// background, the camera's name and its local wall-clock time as on-screen text, and the time
// strip (TimeStrip.h) of the UTC second along the bottom. Frame i shows the moment
// begin + i / fps; its strip carries the whole second of that moment.
struct TimedClipParams
{
    int width = 320;
    int height = 180;
    int fps = 10;
    int gop = 20;                             // frames between key frames
    int64_t begin = 0;                        // UTC second of the first frame
    int seconds = 30;                         // length
    std::string label;                        // the camera's name
    OrlPluginManager::COrlTimeZoneInfor zone; // the zone of the on-screen time
    uint32_t seed = 1;                        // picks the background and the motion
};

// Writes `clip` as an H.264 (yuv420p) MP4 file at `path`.
CStoreStatus WriteTimedClip(const std::string &path, const TimedClipParams &clip);

// The picture of frame `index` of `clip`, as WriteTimedClip encodes it (text only when a GUI
// application provides fonts).
QImage DrawTimedFrame(const TimedClipParams &clip, int index);

// The picture shown at `seconds` into the media file: seeks to the key frame before it and
// decodes up to it. False with `error` set when the file is missing or cannot be decoded.
bool DecodeFrameAt(const std::string &path, double seconds, QImage &out, std::string &error);

} // namespace teskrecordserver
