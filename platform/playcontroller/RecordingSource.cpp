#include "RecordingSource.h"

#include <mutex>

namespace teskplaycontroller {

namespace {
std::mutex source_mutex;
std::shared_ptr<IRecordingSource> current_source;
} // namespace

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
