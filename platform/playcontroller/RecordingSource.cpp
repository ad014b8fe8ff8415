#include "RecordingSource.h"

#include <mutex>

namespace teskplaycontroller {

namespace {
std::mutex source_mutex;
std::shared_ptr<IRecordingSource> current_source;
} // namespace

bool CChangeClaim::ClaimCommit()
{
    int expected = Open;
    return state_.compare_exchange_strong(expected, Committing) || expected == Committing;
}

bool CChangeClaim::Expire()
{
    int expected = Open;
    return state_.compare_exchange_strong(expected, Expired) || expected == Expired;
}

bool IRecordingSource::OperateLabel(const OperatLabelParam &, CChangeClaim &, std::string &error)
{
    error = "This recorder keeps no tags.";
    return false;
}

bool IRecordingSource::LockAndUnlockRecord(const LockRecordFileParam &, CChangeClaim &,
                                           std::string &error)
{
    error = "This recorder keeps no locks.";
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
