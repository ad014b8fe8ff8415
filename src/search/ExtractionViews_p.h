#pragma once

// Ordered views of the controller's stores for result pages. Pages ask for slices on every
// scroll, filter and sort change, so each (kind, camera filter, order) keeps its rows in page
// order and is rebuilt only when its store changes. A view holds a copy of the store it was
// built from; QVector shares that copy's data with the store until a writer touches the store,
// which must then detach. So "the store still shares its data with the view's copy" means the
// store has not changed since the view was built, without any bookkeeping by the writers.

#include "search/SearchRecords.h"

#include "playcontroller/ResourceKey.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace TeskVideoSearch {

class CExtractionViews
{
public:
    enum Source {
        FileStore = 0,
        SegmentStore = 1,
    };

    struct Key
    {
        Source source = FileStore;
        int kind = 0;
        int order = 0;
        int wanted_tag = -1; // -1: every file of the kind
        QVector<teskplaycontroller::ResourceKey> filter;

        bool operator==(const Key &other) const;
    };

    // One row of a page: an entry of the store and, for file views, one of its files.
    struct Row
    {
        int32_t entry = 0;
        int32_t file = -1;
    };

    struct View
    {
        Key key;
        CameraFilesList snapshot;
        std::vector<Row> rows;
    };

    using Builder = std::function<std::vector<Row>(const Key &, const CameraFilesList &)>;

    // The view for `key` over `store` (a copy of the store taken under its lock), built now
    // when it is missing or the store has changed since. Views of other keys over an older
    // state of the same store are dropped on the way, so that they hold no stale copy.
    std::shared_ptr<const View> Get(const Key &key, const CameraFilesList &store,
                                    const Builder &build);
    void Clear();

private:
    static constexpr size_t kMaxViews = 16;

    struct Slot
    {
        std::shared_ptr<const View> view;
        uint64_t last_use = 0;
    };

    std::mutex mutex_;
    std::vector<Slot> slots_;
    uint64_t clock_ = 0;
};

} // namespace TeskVideoSearch
