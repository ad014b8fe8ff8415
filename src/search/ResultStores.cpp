#include "search/ResultStores_p.h"

#include <boost/thread/locks.hpp>

#include <algorithm>
#include <numeric>

namespace TeskVideoSearch {

namespace {

using ReadLock = boost::shared_lock<boost::shared_mutex>;
using WriteLock = boost::unique_lock<boost::shared_mutex>;

bool BeginsBefore(const PlaybackFilePtr &a, const PlaybackFilePtr &b)
{
    if (!a || !b)
        return !a && b;
    return a->GetFileBegTime() < b->GetFileBegTime();
}

std::vector<int32_t> Positions(int32_t from, int32_t to)
{
    std::vector<int32_t> positions(static_cast<size_t>(to - from));
    std::iota(positions.begin(), positions.end(), from);
    return positions;
}

// The time order of `files` whose first `old_size` files have `old_order`.
TimeOrder ExtendTimeOrder(const TimeOrder &old_order, const PlaybackFileVector &files, int old_size,
                          const TimeOrder &added_order)
{
    const int size = files.size();
    if (!old_order && !added_order &&
        (old_size == 0 || !BeginsBefore(files[old_size], files[old_size - 1])))
        return nullptr;
    const std::vector<int32_t> old_positions = old_order ? *old_order : Positions(0, old_size);
    std::vector<int32_t> added_positions;
    if (added_order) {
        added_positions.reserve(added_order->size());
        for (int32_t position : *added_order)
            added_positions.push_back(position + old_size);
    } else {
        added_positions = Positions(old_size, size);
    }
    // Ties take the older file first, which keeps equal begins in store order.
    auto merged = std::make_shared<std::vector<int32_t>>();
    merged->reserve(static_cast<size_t>(size));
    std::merge(old_positions.begin(), old_positions.end(), added_positions.begin(),
               added_positions.end(), std::back_inserter(*merged),
               [&files](int32_t a, int32_t b) { return BeginsBefore(files[a], files[b]); });
    return merged;
}

const teskplaycontroller::ResourceKey &KeyOf(const CameraFilesEntry &entry)
{
    return entry.first.GetDataPtr()->camera_key;
}

} // namespace

TimeOrder TimeOrderOf(const PlaybackFileVector &files)
{
    if (std::is_sorted(files.begin(), files.end(), BeginsBefore))
        return nullptr;
    auto order = std::make_shared<std::vector<int32_t>>(Positions(0, files.size()));
    std::stable_sort(order->begin(), order->end(),
                     [&files](int32_t a, int32_t b) { return BeginsBefore(files[a], files[b]); });
    return order;
}

StoreSnapshot CResultStore::Snapshot() const
{
    ReadLock lock(mutex_);
    return {rows_, time_orders_, generation_};
}

int CResultStore::EntryCount() const
{
    ReadLock lock(mutex_);
    return rows_.size();
}

void CFileStore::Clear()
{
    WriteLock lock(mutex_);
    ++generation_;
    rows_.clear();
    time_orders_.clear();
}

void CFileStore::Append(const CCameraBaseInfo &camera, const PlaybackFileVector &files)
{
    if (files.isEmpty())
        return;
    // Sorted before the lock is taken; under it only a merge with the stored files remains.
    const TimeOrder added_order = TimeOrderOf(files);
    const auto &key = camera.GetDataPtr()->camera_key;
    WriteLock lock(mutex_);
    ++generation_;
    for (int i = 0; i < rows_.size(); ++i) {
        if (!teskplaycontroller::IsSameKey(KeyOf(rows_[i]), key))
            continue;
        PlaybackFileVector &stored = rows_[i].second;
        const int old_size = stored.size();
        stored.append(files);
        time_orders_[i] = ExtendTimeOrder(time_orders_[i], stored, old_size, added_order);
        return;
    }
    rows_.append(qMakePair(camera, files));
    time_orders_.append(added_order);
}

void CFileStore::RemoveFiles(const teskplaycontroller::ResourceKey &camera,
                             const std::function<bool(const PlaybackFilePtr &)> &matches)
{
    WriteLock lock(mutex_);
    ++generation_;
    for (int i = 0; i < rows_.size(); ++i) {
        if (!teskplaycontroller::IsSameKey(KeyOf(rows_[i]), camera))
            continue;
        PlaybackFileVector &files = rows_[i].second;
        files.erase(std::remove_if(files.begin(), files.end(), matches), files.end());
        time_orders_[i] = TimeOrderOf(files);
        return;
    }
}

int CFileStore::FileCount() const
{
    ReadLock lock(mutex_);
    int count = 0;
    for (const CameraFilesEntry &entry : rows_)
        count += entry.second.size();
    return count;
}

bool CFileStore::CameraEntry(const teskplaycontroller::ResourceKey &camera, CameraFilesEntry &out,
                             uint64_t &generation) const
{
    ReadLock lock(mutex_);
    generation = generation_;
    for (const CameraFilesEntry &entry : rows_) {
        if (teskplaycontroller::IsSameKey(KeyOf(entry), camera)) {
            out = entry;
            return true;
        }
    }
    return false;
}

void CSegmentStore::Clear()
{
    WriteLock lock(mutex_);
    ++generation_;
    ++resplit_ticket_;
    covered_files_generation_ = 0;
    rows_.clear();
}

uint64_t CSegmentStore::StartResplit()
{
    WriteLock lock(mutex_);
    return ++resplit_ticket_;
}

bool CSegmentStore::AppendSplit(const CameraFilesList &segments, uint64_t files_generation)
{
    WriteLock lock(mutex_);
    if (files_generation <= covered_files_generation_)
        return false;
    ++generation_;
    covered_files_generation_ = files_generation;
    rows_.append(segments);
    return true;
}

CSegmentStore::ResplitResult
CSegmentStore::Replace(uint64_t ticket, const CameraFilesList &segments, uint64_t files_generation)
{
    WriteLock lock(mutex_);
    if (ticket != resplit_ticket_)
        return ResplitResult::Superseded;
    if (files_generation < covered_files_generation_)
        return ResplitResult::Stale;
    ++generation_;
    covered_files_generation_ = files_generation;
    rows_ = segments;
    return ResplitResult::Written;
}

} // namespace TeskVideoSearch
