#pragma once

#include "recordserver/Catalogue.h"

#include <QImage>

#include <cstdint>
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

// The picture shown at `seconds` into the media file: seeks to the key frame before it and
// decodes up to it. False with `error` set when the file is missing or cannot be decoded.
bool DecodeFrameAt(const std::string &path, double seconds, QImage &out, std::string &error);

} // namespace teskrecordserver
