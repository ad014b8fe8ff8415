#pragma once

// The controller's two result stores. Each has a reader/writer lock, and every change goes
// through the store's own operations, which bump its generation under the exclusive lock: what
// was built from an earlier state (cached pages and counts, a re-split's copy) compares
// generations to know whether it is still current.

#include "search/SearchRecords.h"

#include "playcontroller/ResourceKey.h"

#include <boost/thread/shared_mutex.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace TeskVideoSearch {

// Positions of an entry's files by begin time, missing files first, equal begins in store
// order. Null when the files already lie in that order, as recordings usually arrive.
using TimeOrder = std::shared_ptr<const std::vector<int32_t>>;

TimeOrder TimeOrderOf(const PlaybackFileVector &files);

// A store as one reader saw it; copying the rows is cheap, they are shared until a writer
// changes the store.
struct StoreSnapshot
{
    CameraFilesList rows;
    // Per entry of `rows`, kept by the file store only.
    QVector<TimeOrder> time_orders;
    uint64_t generation = 0;
};

class CResultStore
{
public:
    StoreSnapshot Snapshot() const;
    int EntryCount() const;

protected:
    mutable boost::shared_mutex mutex_;
    CameraFilesList rows_;
    QVector<TimeOrder> time_orders_;
    uint64_t generation_ = 0;
};

// One entry per camera in order of its first result, files in order of arrival; each entry's
// time order is kept as files arrive, so that pages ordered by time only merge the cameras.
class CFileStore : public CResultStore
{
public:
    void Clear();
    // Appends to the camera's entry, or adds an entry at the end.
    void Append(const CCameraBaseInfo &camera, const PlaybackFileVector &files);
    // Removes the matching files from the camera's first entry; the entry stays even when empty.
    void RemoveFiles(const teskplaycontroller::ResourceKey &camera,
                     const std::function<bool(const PlaybackFilePtr &)> &matches);
    int FileCount() const;
    // The camera's first entry and the generation it was read at; false when the camera has none.
    bool CameraEntry(const teskplaycontroller::ResourceKey &camera, CameraFilesEntry &out,
                     uint64_t &generation) const;
};

// One entry per segment. Besides its own generation it records up to which generation of the
// file store its segments cover, so that a camera's answer is split into it exactly once
// whether the camera's own split or a re-split of every file gets there first.
class CSegmentStore : public CResultStore
{
public:
    enum class ResplitResult {
        Written,
        // A newer re-split or a new search owns the store now.
        Superseded,
        // A camera's answer newer than the re-split's copy of the files was split meanwhile.
        Stale,
    };

    // Empties the store; a re-split still running will not write.
    void Clear();
    // The ticket of a new re-split, which supersedes any running one.
    uint64_t StartResplit();
    // Appends a camera's segments cut from the file store at `files_generation`, unless the
    // store already covers that state of the files. False when nothing was appended.
    bool AppendSplit(const CameraFilesList &segments, uint64_t files_generation);
    // Replaces the segments by those of every file at `files_generation`.
    ResplitResult Replace(uint64_t ticket, const CameraFilesList &segments,
                          uint64_t files_generation);

private:
    uint64_t resplit_ticket_ = 0;
    uint64_t covered_files_generation_ = 0;
};

} // namespace TeskVideoSearch
