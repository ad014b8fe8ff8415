#pragma once

#include "playcontroller/PlaybackFile.h"
#include "playcontroller/ResourceKey.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace teskplaycontroller {

// A request to cut one camera's recordings into segments of a fixed length.
struct VideoFileSplitParam
{
    int64_t begin_time = -1;
    int64_t end_time = -1;
    int split_length = -1; // seconds
    ResourceKey resource_key;
    int reserved = 0;
    std::vector<std::shared_ptr<CPlaybackFile>> vc_files;
};

using SegmentFileMap = std::map<unsigned long long, std::vector<std::shared_ptr<CPlaybackFile>>>;

class CRearrageRecordFileImpl
{
public:
    // Cuts the files into windows of `split_length` seconds laid end to end from the earliest
    // file's begin; the key of a segment is the index of its window, so the map's order is the
    // time order of the segments. A segment holds the part of every recording that lies inside
    // its window, in order of begin (then end): a file that crosses a window boundary is cut
    // into copies (Clone()) whose times, ISO texts and sizes cover only their part, while a file
    // that lies wholly inside a window is handed on as it is. Overlapping files are all kept, so
    // a segment may hold overlapping parts; windows that no recording touches give no entry,
    // so keys may skip. Files are half open [begin, end); an empty file belongs to the window
    // of its begin. Null files and files that end before they begin are left out with a log
    // line. The request's begin and end times do not move the windows. `out` is cleared first;
    // a length of 0 or less or an empty list leaves it empty.
    static void RearrageRecordFilesByLength(SegmentFileMap &out, const VideoFileSplitParam &param);
};

} // namespace teskplaycontroller
