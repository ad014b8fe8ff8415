#include "RecordingSource.h"

#include <mutex>

namespace teskplaycontroller {

namespace {
std::mutex source_mutex;
std::shared_ptr<IRecordingSource> current_source;
} // namespace

bool IRecordingSource::MediaForPlay(const ResourceKey &camera, int64_t, RecordingMedia &,
                                    std::string &error)
{
    error = "The recording source keeps no media of camera " + camera.resource_id + ".";
    return false;
}

bool IRecordingSource::TrackPointAt(const ResourceKey &, int64_t, double &, double &)
{
    return false;
}

void CRecordingSourceRegistry::SetSource(std::shared_ptr<IRecordingSource> source)
{
    std::lock_guard<std::mutex> lock(source_mutex);
    current_source = std::move(source);
}

std::shared_ptr<IRecordingSource> CRecordingSourceRegistry::GetSource()
{
    std::lock_guard<std::mutex> lock(source_mutex);
    return current_source;
}

} // namespace teskplaycontroller
