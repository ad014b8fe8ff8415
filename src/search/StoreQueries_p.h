#pragma once

// Counts and pages of the result stores from one rule. Which files of a camera belong to a kind
// is decided by one predicate and which entries belong to the wanted cameras by one index of the
// store's cameras, so a count is always the number of rows a page extraction walks through.
// What is built from a state of a store (its camera index, counts per camera, the rows of recent
// pages) is kept until the store's generation moves; pages produce their rows only as far as
// they are asked for, so the first page after a change does not order the whole store.

#include "search/ResultStores_p.h"

#include "playcontroller/SearchCondition.h"

#include <memory>
#include <mutex>

namespace TeskVideoSearch {

// Which files of a camera belong to a kind of result page.
class CKindRule
{
public:
    // `wanted_tag`: the tag type that a tag kind keeps, -1 for all its files.
    CKindRule(int kind, int wanted_tag);

    // The rule of `kind` under the running camera search, whose tag extra decides whether the
    // tag kinds keep only their own tag type.
    static CKindRule
    UnderCondition(int kind, const teskplaycontroller::CameraVideoSearchCondition &condition);

    bool Accepts(const CPlaybackFile *file) const;
    // True when every file belongs to the kind, missing ones included.
    bool AcceptsAll() const { return accepts_all_; }
    int Kind() const { return kind_; }
    int WantedTag() const { return wanted_tag_; }

private:
    int kind_ = 0;
    int wanted_tag_ = -1;
    int wanted_event_ = 0;
    bool accepts_all_ = true;
};

class CStoreQueries
{
public:
    enum Source {
        FileStore = 0,
        SegmentStore = 1,
    };

    CStoreQueries();

    // The number of rows that Page would walk through for `cameras`: files the rule accepts in
    // the file store, entries in the segment store.
    int Count(Source source, const StoreSnapshot &store, const CKindRule &rule,
              const QVector<teskplaycontroller::ResourceKey> &cameras);

    // Rows `begin_index` to `end_index` (inclusive, cut at the end) of the page in `order`
    // (FileSortType); `out` is cleared first. Each row is an entry with one file of the file
    // store, or a whole entry of the segment store.
    void Page(CameraFilesList &out, Source source, const StoreSnapshot &store,
              const CKindRule &rule, int order,
              const QVector<teskplaycontroller::ResourceKey> &cameras, int begin_index,
              int end_index);

private:
    struct Data;
    std::shared_ptr<Data> data_;
};

} // namespace TeskVideoSearch
