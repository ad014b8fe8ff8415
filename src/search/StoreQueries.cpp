#include "search/StoreQueries_p.h"

#include <algorithm>
#include <limits>
#include <map>
#include <string>
#include <typeinfo>
#include <unordered_map>

namespace TeskVideoSearch {

using teskplaycontroller::ResourceKey;

namespace {

// Pages kept per store state; a result page asks for a few (kind, cameras, order) at a time.
constexpr size_t kMaxPages = 16;

// The kind of a result is its class. The classes the recording services make are recognised by
// their type record alone, which is far cheaper than a dynamic cast over a whole store; any other
// class falls back to the cast.
template<class Wanted>
const Wanted *ResultAs(const CPlaybackFile *file)
{
    if (!file)
        return nullptr;
    const std::type_info *type = &typeid(*file);
    if (type == &typeid(Wanted))
        return static_cast<const Wanted *>(file);
    if (type == &typeid(CPlaybackFile) || type == &typeid(teskplaycontroller::CDeviceFile) ||
        type == &typeid(teskplaycontroller::CLabelFile) ||
        type == &typeid(teskplaycontroller::CPersonVehicleFile))
        return nullptr;
    return dynamic_cast<const Wanted *>(file);
}

const ResourceKey &KeyOf(const CameraFilesEntry &entry)
{
    return entry.first.GetDataPtr()->camera_key;
}

std::string Flatten(const ResourceKey &key)
{
    std::string flat = key.site_id;
    flat += '\0';
    flat += key.resource_id;
    flat += '\0';
    flat += std::to_string(key.resource_type);
    return flat;
}

// The cameras of one store state: an identifier per entry, and each camera's rank in key order.
struct CameraIndex
{
    std::vector<int32_t> camera_of_entry;
    std::vector<int32_t> rank;
    std::unordered_map<std::string, int32_t> ids;

    explicit CameraIndex(const CameraFilesList &rows)
    {
        std::vector<ResourceKey> keys;
        camera_of_entry.resize(static_cast<size_t>(rows.size()));
        for (int i = 0; i < rows.size(); ++i) {
            const ResourceKey &key = KeyOf(rows[i]);
            // Segments of one camera lie side by side and share its record.
            if (i > 0 && (rows[i].first.GetDataPtr() == rows[i - 1].first.GetDataPtr() ||
                          teskplaycontroller::IsSameKey(key, KeyOf(rows[i - 1])))) {
                camera_of_entry[static_cast<size_t>(i)] =
                    camera_of_entry[static_cast<size_t>(i - 1)];
                continue;
            }
            const auto inserted = ids.emplace(Flatten(key), static_cast<int32_t>(keys.size()));
            if (inserted.second)
                keys.push_back(key);
            camera_of_entry[static_cast<size_t>(i)] = inserted.first->second;
        }
        std::vector<int32_t> by_key(keys.size());
        for (size_t id = 0; id < keys.size(); ++id)
            by_key[id] = static_cast<int32_t>(id);
        std::sort(by_key.begin(), by_key.end(), [&keys](int32_t a, int32_t b) {
            return teskplaycontroller::KeyLess(keys[static_cast<size_t>(a)],
                                               keys[static_cast<size_t>(b)]);
        });
        rank.resize(keys.size());
        for (size_t position = 0; position < by_key.size(); ++position)
            rank[static_cast<size_t>(by_key[position])] = static_cast<int32_t>(position);
    }

    // Which cameras of the store `cameras` names; a camera named twice counts once.
    std::vector<char> Kept(const QVector<ResourceKey> &cameras) const
    {
        std::vector<char> kept(rank.size(), 0);
        for (const ResourceKey &key : cameras) {
            const auto found = ids.find(Flatten(key));
            if (found != ids.end())
                kept[static_cast<size_t>(found->second)] = 1;
        }
        return kept;
    }

    bool IsKept(const std::vector<char> &kept, int entry) const
    {
        return kept[static_cast<size_t>(camera_of_entry[static_cast<size_t>(entry)])] != 0;
    }
};

// One row of a page: an entry of the store and, for the file store, one of its files.
struct Row
{
    int32_t entry = 0;
    int32_t file = -1;
};

// A row's place in ascending order: missing files first in store order, then by begin time,
// camera key and store order.
struct AscendingKey
{
    bool present = false;
    int64_t begin = 0;
    int32_t rank = 0;
    Row row;

    bool operator<(const AscendingKey &other) const
    {
        if (present != other.present)
            return !present;
        if (present) {
            if (begin != other.begin)
                return begin < other.begin;
            if (rank != other.rank)
                return rank < other.rank;
        }
        if (row.entry != other.row.entry)
            return row.entry < other.row.entry;
        return row.file < other.row.file;
    }
};

// A run of rows already in ascending order: an entry's files in their time order, or entries of
// the segment store that follow each other in order. `next` and `end` index `order` (null for
// positions 0..end-1) for a file run, the page's kept entries for a segment run.
struct Run
{
    AscendingKey head;
    int32_t next = 0;
    int32_t end = 0;
    const std::vector<int32_t> *order = nullptr;
};

struct RunAfter
{
    bool operator()(const Run &a, const Run &b) const { return b.head < a.head; }
};

// The rows of one (kind, cameras, order) over one store state, produced as far as asked.
struct PageRows
{
    CKindRule rule{0, -1};
    int order = SortStored;
    QVector<ResourceKey> cameras;
    std::vector<char> kept;
    std::vector<Row> rows;
    bool complete = false;
    uint64_t last_use = 0;
    // Store order: where the walk goes on.
    int32_t next_entry = 0;
    int32_t next_file = 0;
    // Ascending order: a heap of runs, set up by the first request.
    bool merging = false;
    std::vector<Run> runs;
    std::vector<int32_t> kept_entries;

    bool Matches(const CKindRule &other_rule, int other_order,
                 const QVector<ResourceKey> &other_cameras) const
    {
        if (rule.Kind() != other_rule.Kind() || rule.WantedTag() != other_rule.WantedTag() ||
            order != other_order || cameras.size() != other_cameras.size())
            return false;
        for (int i = 0; i < cameras.size(); ++i) {
            if (!teskplaycontroller::IsSameKey(cameras[i], other_cameras[i]))
                return false;
        }
        return true;
    }
};

} // namespace

CKindRule::CKindRule(int kind, int wanted_tag)
    : kind_(kind)
    , wanted_tag_(wanted_tag)
{
    switch (kind) {
    case PersonDetectVideo:
    case VehicleDetectVideo:
        wanted_event_ =
            kind == PersonDetectVideo ? CPlaybackFile::EventPerson : CPlaybackFile::EventVehicle;
        wanted_tag_ = -1;
        accepts_all_ = false;
        break;
    case EventAlarmVideo:
    case TagVideo:
    case OtherVideo:
        accepts_all_ = wanted_tag < 0;
        break;
    default:
        wanted_tag_ = -1;
        break;
    }
}

CKindRule CKindRule::UnderCondition(int kind,
                                    const teskplaycontroller::CameraVideoSearchCondition &condition)
{
    if (kind != EventAlarmVideo && kind != TagVideo && kind != OtherVideo)
        return CKindRule(kind, -1);
    // Tag choices 200 to 204 of the simple condition do not filter by tag kind.
    const auto &extra = condition.ptr_label_extra;
    if (!extra)
        return CKindRule(kind, -1);
    const int label_type = extra->GetVal_label_type();
    if (label_type >= TagChoiceAll && label_type <= TagChoiceYellow)
        return CKindRule(kind, -1);
    switch (kind) {
    case EventAlarmVideo:
        return CKindRule(kind, TagTypeEventLinkage);
    case TagVideo:
        return CKindRule(kind, TagTypeManual);
    default:
        return CKindRule(kind, TagTypeOther);
    }
}

bool CKindRule::Accepts(const CPlaybackFile *file) const
{
    if (accepts_all_)
        return true;
    if (wanted_event_ != 0) {
        return file && file->GetEventType() == wanted_event_ &&
               ResultAs<teskplaycontroller::CPersonVehicleFile>(file);
    }
    const auto *label = ResultAs<teskplaycontroller::CLabelFile>(file);
    return label && label->GetRcordLabelType() == wanted_tag_;
}

namespace {

// Everything built from one state of one store.
struct StoreState
{
    StoreState(CStoreQueries::Source source_of, const StoreSnapshot &snapshot_of)
        : source(source_of)
        , snapshot(snapshot_of)
        , cameras(snapshot_of.rows)
    {}

    CStoreQueries::Source source;
    StoreSnapshot snapshot;
    CameraIndex cameras;
    // Rows per camera identifier, by (kind, wanted tag).
    std::map<std::pair<int, int>, std::vector<int32_t>> counts;
    std::vector<std::unique_ptr<PageRows>> pages;
    uint64_t clock = 0;

    const std::vector<int32_t> &CountsOf(const CKindRule &rule)
    {
        auto &counts_of_rule = counts[{rule.Kind(), rule.WantedTag()}];
        if (!counts_of_rule.empty() || cameras.rank.empty())
            return counts_of_rule;
        counts_of_rule.assign(cameras.rank.size(), 0);
        const CameraFilesList &rows = snapshot.rows;
        for (int i = 0; i < rows.size(); ++i) {
            int32_t &count = counts_of_rule[static_cast<size_t>(
                cameras.camera_of_entry[static_cast<size_t>(i)])];
            if (source == CStoreQueries::SegmentStore) {
                ++count;
            } else if (rule.AcceptsAll()) {
                count += rows[i].second.size();
            } else {
                for (const PlaybackFilePtr &file : rows[i].second)
                    count += rule.Accepts(file.get()) ? 1 : 0;
            }
        }
        return counts_of_rule;
    }

    PageRows &PageOf(const CKindRule &rule, int order, const QVector<ResourceKey> &filter)
    {
        ++clock;
        for (auto &page : pages) {
            if (page->Matches(rule, order, filter)) {
                page->last_use = clock;
                return *page;
            }
        }
        if (pages.size() >= kMaxPages) {
            pages.erase(
                std::min_element(pages.begin(), pages.end(), [](const auto &a, const auto &b) {
                    return a->last_use < b->last_use;
                }));
        }
        auto page = std::make_unique<PageRows>();
        page->rule = rule;
        page->order = order;
        page->cameras = filter;
        page->kept = cameras.Kept(filter);
        page->last_use = clock;
        pages.push_back(std::move(page));
        return *pages.back();
    }

    const PlaybackFilePtr *FileOf(const Row &row) const
    {
        const PlaybackFileVector &files = snapshot.rows[row.entry].second;
        if (row.file >= 0)
            return &files[row.file];
        return files.isEmpty() ? nullptr : &files.first();
    }

    AscendingKey KeyOfRow(const Row &row) const
    {
        AscendingKey key;
        key.row = row;
        const PlaybackFilePtr *file = FileOf(row);
        if (file && *file) {
            key.present = true;
            key.begin = (*file)->GetFileBegTime();
            key.rank = cameras.rank[static_cast<size_t>(
                cameras.camera_of_entry[static_cast<size_t>(row.entry)])];
        }
        return key;
    }

    // Walks the store in its order until the page holds `wanted` rows or the store ends.
    void ProduceStored(PageRows &page, size_t wanted) const
    {
        const CameraFilesList &rows = snapshot.rows;
        while (page.rows.size() < wanted && page.next_entry < rows.size()) {
            const int32_t entry = page.next_entry;
            if (!cameras.IsKept(page.kept, entry)) {
                ++page.next_entry;
                continue;
            }
            if (source == CStoreQueries::SegmentStore) {
                page.rows.push_back({entry, -1});
                ++page.next_entry;
                continue;
            }
            const PlaybackFileVector &files = rows[entry].second;
            while (page.next_file < files.size() && page.rows.size() < wanted) {
                if (page.rule.Accepts(files[page.next_file].get()))
                    page.rows.push_back({entry, page.next_file});
                ++page.next_file;
            }
            if (page.next_file >= files.size()) {
                ++page.next_entry;
                page.next_file = 0;
            }
        }
        page.complete = page.next_entry >= rows.size();
    }

    // Moves a run to its next row that the page shows; false when the run has none left.
    bool Settle(const PageRows &page, Run &run) const
    {
        for (; run.next < run.end; ++run.next) {
            Row row;
            if (source == CStoreQueries::SegmentStore) {
                row.entry = page.kept_entries[static_cast<size_t>(run.next)];
            } else {
                row.entry = run.head.row.entry;
                row.file = run.order ? (*run.order)[static_cast<size_t>(run.next)] : run.next;
                if (!page.rule.Accepts(snapshot.rows[row.entry].second[row.file].get()))
                    continue;
            }
            run.head = KeyOfRow(row);
            ++run.next;
            return true;
        }
        return false;
    }

    void StartMerge(PageRows &page) const
    {
        page.merging = true;
        const CameraFilesList &rows = snapshot.rows;
        if (source == CStoreQueries::SegmentStore) {
            // Segments come camera by camera in time order: cut where the order breaks.
            for (int32_t entry = 0; entry < rows.size(); ++entry) {
                if (cameras.IsKept(page.kept, entry))
                    page.kept_entries.push_back(entry);
            }
            const auto count = static_cast<int32_t>(page.kept_entries.size());
            auto add_run = [this, &page](int32_t start, int32_t end) {
                Run run;
                run.next = start;
                run.end = end;
                if (Settle(page, run))
                    page.runs.push_back(run);
            };
            AscendingKey previous;
            int32_t start = 0;
            for (int32_t i = 0; i < count; ++i) {
                const AscendingKey key = KeyOfRow({page.kept_entries[static_cast<size_t>(i)], -1});
                if (i > 0 && key < previous) {
                    add_run(start, i);
                    start = i;
                }
                previous = key;
            }
            if (count > 0)
                add_run(start, count);
        } else {
            for (int32_t entry = 0; entry < rows.size(); ++entry) {
                if (!cameras.IsKept(page.kept, entry))
                    continue;
                Run run;
                run.head.row.entry = entry;
                run.end = rows[entry].second.size();
                run.order = snapshot.time_orders[entry].get();
                if (Settle(page, run))
                    page.runs.push_back(run);
            }
        }
        std::make_heap(page.runs.begin(), page.runs.end(), RunAfter());
    }

    void ProduceAscending(PageRows &page, size_t wanted) const
    {
        if (!page.merging)
            StartMerge(page);
        while (page.rows.size() < wanted && !page.runs.empty()) {
            std::pop_heap(page.runs.begin(), page.runs.end(), RunAfter());
            Run &run = page.runs.back();
            page.rows.push_back(run.head.row);
            if (Settle(page, run))
                std::push_heap(page.runs.begin(), page.runs.end(), RunAfter());
            else
                page.runs.pop_back();
        }
        page.complete = page.runs.empty();
    }

    // Newest first with missing files last; rows that begin together keep their store order.
    void ProduceNewestFirst(PageRows &page) const
    {
        ProduceStored(page, std::numeric_limits<size_t>::max());
        const auto present =
            std::stable_partition(page.rows.begin(), page.rows.end(), [this](const Row &row) {
                const PlaybackFilePtr *file = FileOf(row);
                return file && *file;
            });
        std::stable_sort(page.rows.begin(), present, [this](const Row &a, const Row &b) {
            return (*FileOf(a))->GetFileBegTime() > (*FileOf(b))->GetFileBegTime();
        });
        page.complete = true;
    }

    void Produce(PageRows &page, size_t wanted) const
    {
        if (page.complete || page.rows.size() >= wanted)
            return;
        switch (page.order) {
        case SortBeginAscending:
            ProduceAscending(page, wanted);
            break;
        case SortNewestFirst:
            ProduceNewestFirst(page);
            break;
        default:
            ProduceStored(page, wanted);
            break;
        }
    }
};

} // namespace

struct CStoreQueries::Data
{
    std::mutex mutex;
    std::unique_ptr<StoreState> states[2];

    // The state built from `snapshot`; whatever was built from another generation goes.
    StoreState &StateOf(Source source, const StoreSnapshot &snapshot)
    {
        std::unique_ptr<StoreState> &state = states[source];
        if (!state || state->snapshot.generation != snapshot.generation)
            state = std::make_unique<StoreState>(source, snapshot);
        return *state;
    }
};

CStoreQueries::CStoreQueries()
    : data_(std::make_shared<Data>())
{}

int CStoreQueries::Count(Source source, const StoreSnapshot &store, const CKindRule &rule,
                         const QVector<ResourceKey> &cameras)
{
    std::lock_guard<std::mutex> lock(data_->mutex);
    StoreState &state = data_->StateOf(source, store);
    const std::vector<int32_t> &counts = state.CountsOf(rule);
    const std::vector<char> kept = state.cameras.Kept(cameras);
    int total = 0;
    for (size_t camera = 0; camera < kept.size(); ++camera)
        total += kept[camera] ? counts[camera] : 0;
    return total;
}

void CStoreQueries::Page(CameraFilesList &out, Source source, const StoreSnapshot &store,
                         const CKindRule &rule, int order, const QVector<ResourceKey> &cameras,
                         int begin_index, int end_index)
{
    out.clear();
    if (begin_index < 0 || end_index < begin_index)
        return;
    std::lock_guard<std::mutex> lock(data_->mutex);
    StoreState &state = data_->StateOf(source, store);
    PageRows &page = state.PageOf(rule, order, cameras);
    state.Produce(page, static_cast<size_t>(end_index) + 1);
    const auto count = static_cast<int>(page.rows.size());
    if (begin_index >= count)
        return;
    const int last = std::min(end_index, count - 1);
    out.reserve(last - begin_index + 1);
    for (int i = begin_index; i <= last; ++i) {
        const Row &row = page.rows[static_cast<size_t>(i)];
        const CameraFilesEntry &entry = qAsConst(state.snapshot.rows)[row.entry];
        if (row.file < 0)
            out.append(entry);
        else
            out.append(qMakePair(entry.first, PlaybackFileVector{entry.second[row.file]}));
    }
}

} // namespace TeskVideoSearch
