#include "ExtractionTestSupport.h"

#include "playcontroller/RearrageRecordFile.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThreadPool>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <sstream>
#include <thread>

using namespace ExtractionTest;
using teskplaycontroller::CLabelFile;
using teskplaycontroller::CPersonVehicleFile;

namespace {

constexpr int64_t kBase = 1796450400;

// A row as text: the camera and its files (identity for whole files, times for cut parts).
std::string Describe(const CameraFilesEntry &entry, bool by_identity)
{
    std::ostringstream text;
    const auto &key = entry.first.GetDataPtr()->camera_key;
    text << key.site_id << '/' << key.resource_id << ':';
    for (const auto &file : entry.second) {
        if (!file)
            text << "null ";
        else if (by_identity)
            text << file.get() << ' ';
        else
            text << file->GetFileBegTime() << '-' << file->GetFileEndTime() << ' ';
    }
    return text.str();
}

std::vector<std::string> Describe(const CameraFilesList &list, bool by_identity)
{
    std::vector<std::string> rows;
    for (const auto &entry : list)
        rows.push_back(Describe(entry, by_identity));
    return rows;
}

CVideoFileParam Request(int kind, int order, const QVector<CResourceKey> &filter, int begin,
                        int end)
{
    CVideoFileParam param;
    param.SetVal_data_type(static_cast<VideoDataType>(kind));
    param.SetVal_show_type(static_cast<FileSortType>(order));
    param.SetVal_qvc_filter_camera_keys(filter);
    param.SetVal_begin_index(begin);
    param.SetVal_end_index(end);
    return param;
}

CameraFilesList Page(CVideoSearchController &controller, int kind, int order,
                     const QVector<CResourceKey> &filter, int begin, int end)
{
    CameraFilesList out;
    CVideoFileParam param = Request(kind, order, filter, begin, end);
    controller.GetVideoFiles(out, param);
    return out;
}

bool InFilter(const QVector<CResourceKey> &filter, const CCameraBaseInfo &info)
{
    return std::any_of(filter.begin(), filter.end(), [&info](const CResourceKey &key) {
        return teskplaycontroller::IsSameKey(key, info.GetVal_camera_key());
    });
}

// The model the extraction must agree with, written the plain way: build, stable-sort, slice.
class CReferenceModel
{
public:
    // Cameras in store order with their files as delivered.
    std::vector<std::pair<CCameraBaseInfo, PlaybackFileList>> store;
    bool filter_tags = false;
    bool vca_ended = false;
    std::set<std::string> per_file_cameras;
    int split_length = 0;

    CameraFilesList Rows(int kind, int order, const QVector<CResourceKey> &filter) const
    {
        CameraFilesList rows;
        if (kind == RegularVideo) {
            for (const auto &camera : store) {
                if (!InFilter(filter, camera.first))
                    continue;
                for (const auto &segment : Segments(camera))
                    rows.append(segment);
            }
        } else {
            for (const auto &camera : store) {
                if (!InFilter(filter, camera.first))
                    continue;
                for (const auto &file : camera.second) {
                    if (Keep(kind, file))
                        rows.append(qMakePair(camera.first, PlaybackFileVector{file}));
                }
            }
        }
        auto first = [](const CameraFilesEntry &e) {
            return e.second.isEmpty() ? PlaybackFilePtr() : e.second.first();
        };
        if (order == SortBeginAscending) {
            std::stable_sort(rows.begin(), rows.end(), [&](const auto &a, const auto &b) {
                const auto fa = first(a), fb = first(b);
                if (!fa || !fb)
                    return !fa && fb;
                if (fa->GetFileBegTime() != fb->GetFileBegTime())
                    return fa->GetFileBegTime() < fb->GetFileBegTime();
                return teskplaycontroller::KeyLess(a.first.GetDataPtr()->camera_key,
                                                   b.first.GetDataPtr()->camera_key);
            });
        } else if (order == SortNewestFirst && kind == VcaSearchVideo && vca_ended) {
            std::stable_sort(rows.begin(), rows.end(), [&](const auto &a, const auto &b) {
                const auto fa = first(a), fb = first(b);
                if (!fa || !fb)
                    return fa && !fb;
                return fa->GetFileBegTime() > fb->GetFileBegTime();
            });
        }
        return rows;
    }

    // Whether a page of this kind and order exists at all.
    static bool Produces(int kind, int order)
    {
        if (kind < 0 || kind > 8 || order < 0 || order > 2)
            return false;
        const bool common =
            kind == LockVideo || kind == AllCameraFileVideo || kind == VcaSearchVideo;
        return order != SortNewestFirst || common;
    }

    static CameraFilesList Slice(const CameraFilesList &rows, int begin, int end)
    {
        CameraFilesList out;
        for (int i = std::max(begin, 0); i <= end && i < rows.size(); ++i) {
            if (begin >= 0)
                out.append(rows[i]);
        }
        return out;
    }

private:
    bool Keep(int kind, const PlaybackFilePtr &file) const
    {
        if (kind == PersonDetectVideo || kind == VehicleDetectVideo) {
            auto pv = std::dynamic_pointer_cast<CPersonVehicleFile>(file);
            return pv && pv->GetEventType() == (kind == PersonDetectVideo ? 2 : 4);
        }
        if ((kind == EventAlarmVideo || kind == TagVideo || kind == OtherVideo) && filter_tags) {
            const int wanted = kind == EventAlarmVideo ? 102 : kind == TagVideo ? 101 : 103;
            auto label = std::dynamic_pointer_cast<CLabelFile>(file);
            return label && label->GetRcordLabelType() == wanted;
        }
        return true;
    }

    CameraFilesList Segments(const std::pair<CCameraBaseInfo, PlaybackFileList> &camera) const
    {
        CameraFilesList segments;
        const auto &key = camera.first.GetDataPtr()->camera_key;
        if (per_file_cameras.count(key.site_id + "/" + key.resource_id)) {
            for (const auto &file : camera.second)
                segments.append(qMakePair(camera.first, PlaybackFileVector{file}));
            return segments;
        }
        teskplaycontroller::VideoFileSplitParam request;
        request.split_length = split_length;
        request.vc_files = camera.second;
        teskplaycontroller::SegmentFileMap map;
        teskplaycontroller::CRearrageRecordFileImpl::RearrageRecordFilesByLength(map, request);
        for (const auto &segment : map)
            segments.append(qMakePair(
                camera.first, PlaybackFileVector(segment.second.begin(), segment.second.end())));
        return segments;
    }
};

// Cameras whose keys sort differently from their order of arrival, and files with many equal
// begin times within and across cameras.
std::vector<CameraScript> RandomCameras(std::mt19937 &random, bool with_nulls)
{
    const std::pair<const char *, const char *> keys[] = {
        {"s2", "c1"}, {"s1", "c9"}, {"s10", "c1"}, {"s1", "c2"}, {"s1", "c10"}, {"s3", "c0"}};
    std::vector<CameraScript> cameras;
    for (const auto &key : keys) {
        CameraScript camera{key.first, key.second, {}};
        const int count = std::uniform_int_distribution<int>(0, 30)(random);
        for (int i = 0; i < count; ++i) {
            if (with_nulls && std::uniform_int_distribution<int>(0, 25)(random) == 0) {
                camera.files.push_back(nullptr);
                continue;
            }
            const int64_t begin = kBase + 60 * std::uniform_int_distribution<int>(0, 40)(random);
            const int64_t end = begin + std::uniform_int_distribution<int>(1, 900)(random);
            const std::string name = camera.id + "-" + std::to_string(i);
            switch (std::uniform_int_distribution<int>(0, 3)(random)) {
            case 0: {
                auto label = std::make_shared<CLabelFile>(begin, end, name);
                label->SetRcordLabelType(101 + std::uniform_int_distribution<int>(0, 2)(random));
                camera.files.push_back(label);
                break;
            }
            case 1: {
                auto pv = std::make_shared<CPersonVehicleFile>(begin, end, name);
                const int events[] = {1, 2, 4};
                pv->SetEventType(events[std::uniform_int_distribution<int>(0, 2)(random)]);
                camera.files.push_back(pv);
                break;
            }
            default:
                camera.files.push_back(
                    std::make_shared<teskplaycontroller::CDeviceFile>(begin, end, name));
            }
        }
        cameras.push_back(camera);
    }
    return cameras;
}

CReferenceModel ModelOf(CVideoSearchController &controller,
                        const std::vector<CameraScript> &cameras)
{
    CReferenceModel model;
    for (const CCameraBaseInfo &info : controller.GetSearchSuccessCameraInfo()) {
        const auto &key = info.GetDataPtr()->camera_key;
        for (const auto &camera : cameras) {
            if (camera.site == key.site_id && camera.id == key.resource_id)
                model.store.emplace_back(info, camera.files);
        }
    }
    return model;
}

std::vector<QVector<CResourceKey>> Filters(const std::vector<CameraScript> &cameras)
{
    QVector<CResourceKey> all, some, foreign;
    for (size_t i = 0; i < cameras.size(); ++i) {
        all.append(CameraKey(cameras[i].site, cameras[i].id));
        if (i % 2 == 1)
            some.prepend(CameraKey(cameras[i].site, cameras[i].id));
    }
    some.append(CameraKey("nowhere", "c1"));
    foreign.append(CameraKey("s1", "c9-not"));
    return {all, some, foreign};
}

// Filters, each camera on its own, and every camera named twice.
std::vector<QVector<CResourceKey>> EveryFilter(const std::vector<CameraScript> &cameras)
{
    std::vector<QVector<CResourceKey>> filters = Filters(cameras);
    QVector<CResourceKey> twice;
    for (const auto &camera : cameras) {
        filters.push_back({CameraKey(camera.site, camera.id)});
        twice << CameraKey(camera.site, camera.id) << CameraKey(camera.site, camera.id);
    }
    filters.push_back(twice);
    return filters;
}

class ExtractionTest : public ::testing::Test
{
protected:
    void SetUp() override { teskplaycontroller::CPlaybackParamRegistry::Instance().Clear(); }
    void TearDown() override { teskplaycontroller::CPlaybackParamRegistry::Instance().Clear(); }

    enum class Ranges { Whole, Sweep, Every };

    // Every kind of `kinds` and order against the models (`segments` for regular recordings,
    // `files` for the rest): the counts, and the rows in order for the index ranges asked for.
    void ExpectAgreement(CVideoSearchController &controller, const CReferenceModel &files,
                         const CReferenceModel &segments,
                         const std::vector<QVector<CResourceKey>> &filters,
                         const std::vector<int> &kinds, Ranges ranges)
    {
        for (const auto &filter : filters) {
            for (int kind : kinds) {
                const CReferenceModel &model = kind == RegularVideo ? segments : files;
                const int count = model.Rows(kind, SortStored, filter).size();
                ASSERT_EQ(controller.GetTotalFileNum(VideoDataType(kind), filter), count)
                    << "kind " << kind;
                CResourceKey camera = filter.value(0);
                if (filter.size() == 1) {
                    ASSERT_EQ(controller.GetSingleCameraFilesNum(VideoDataType(kind), camera),
                              count);
                }
                for (int order = SortStored; order <= SortNewestFirst; ++order) {
                    if (CReferenceModel::Produces(kind, order))
                        ExpectPages(controller, model.Rows(kind, order, filter), kind, order,
                                    filter, ranges);
                }
            }
        }
        // Kinds outside the pages count nothing.
        for (int kind : {-1, 9})
            ASSERT_EQ(controller.GetTotalFileNum(VideoDataType(kind), filters[0]), 0);
    }

    static void ExpectPages(CVideoSearchController &controller, const CameraFilesList &rows,
                            int kind, int order, const QVector<CResourceKey> &filter, Ranges ranges)
    {
        const bool identity = kind != RegularVideo;
        const int n = rows.size();
        const int last_begin = ranges == Ranges::Whole ? 0 : n + 1;
        for (int begin = ranges == Ranges::Whole ? 0 : -2; begin <= last_begin; ++begin) {
            std::vector<int> ends = {n + 3};
            if (ranges == Ranges::Sweep)
                ends = {begin - 1, begin, begin + 5, begin + 59, n - 1, n + 3};
            for (int end = -2; ranges == Ranges::Every && end <= n + 1; ++end)
                ends.push_back(end);
            for (int end : ends) {
                ASSERT_EQ(Describe(Page(controller, kind, order, filter, begin, end), identity),
                          Describe(CReferenceModel::Slice(rows, begin, end), identity))
                    << "filter of " << filter.size() << ", kind " << kind << " order " << order
                    << " range " << begin << ".." << end << " of " << n;
            }
        }
    }

    std::vector<CameraScript> cameras_;
    CStoreFiller filler_;
};

TEST_F(ExtractionTest, FileKindsAgreeWithTheModelOnRandomStores)
{
    std::mt19937 random(5);
    for (int round = 0; round < 6; ++round) {
        CVideoSearchController controller;
        cameras_ = RandomCameras(random, true);
        // The simple condition's tag choices, 200 to 204, do not tell the tag kinds apart.
        const std::pair<int, bool> label_types[] = {{199, true}, {200, false}, {204, false},
                                                    {-1, false}, {100, true},  {205, true}};
        const auto [label_type, by_kind] = label_types[round];
        auto extra = std::make_shared<teskplaycontroller::CLableExtra>();
        extra->SetVal_label_type(label_type);
        ASSERT_TRUE(filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchTag, 600,
                                   label_type < 0 ? nullptr : extra));
        CReferenceModel model = ModelOf(controller, cameras_);
        model.filter_tags = by_kind;
        ExpectAgreement(controller, model, model, EveryFilter(cameras_), {1, 2, 3, 4, 5, 6, 7, 8},
                        round == 0 ? Ranges::Every : Ranges::Sweep);
    }
}

TEST_F(ExtractionTest, SegmentsAgreeWithTheModelOnRandomStores)
{
    std::mt19937 random(11);
    for (int round = 0; round < 4; ++round) {
        CVideoSearchController controller;
        cameras_ = RandomCameras(random, false);
        // One camera keeps its recordings one file per segment.
        teskplaycontroller::OrlPlayBackParamSet per_file;
        per_file.storage_media_type = ResourceData::StorageMediaPerFile;
        teskplaycontroller::CPlaybackParamRegistry::Instance().Set("s1", "c9", per_file);
        const int length = 120 + 300 * round;
        ASSERT_TRUE(
            filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchRecord, length));
        CReferenceModel model = ModelOf(controller, cameras_);
        model.per_file_cameras = {"s1/c9"};
        model.split_length = length;
        ExpectAgreement(controller, model, model, EveryFilter(cameras_), {RegularVideo},
                        round == 0 ? Ranges::Every : Ranges::Sweep);
    }
}

TEST_F(ExtractionTest, EmptyFilterOrUnknownKindOrOrderLeavesOutUntouched)
{
    CVideoSearchController controller;
    std::mt19937 random(3);
    cameras_ = RandomCameras(random, false);
    ASSERT_TRUE(filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchRecord, 600));
    const QVector<CResourceKey> all = Filters(cameras_)[0];

    CameraFilesList sentinel;
    sentinel.append(qMakePair(CCameraBaseInfo(), PlaybackFileVector{}));
    struct Case
    {
        int kind, order;
        bool empty_filter;
    };
    const Case cases[] = {{0, 0, true},  {8, 2, true},  {9, 0, false},
                          {0, 3, false}, {1, 2, false}, {0, 2, false}};
    for (const Case &c : cases) {
        CameraFilesList out = sentinel;
        CVideoFileParam param =
            Request(c.kind, c.order, c.empty_filter ? QVector<CResourceKey>{} : all, 0, 5);
        controller.GetVideoFiles(out, param);
        ASSERT_EQ(out.size(), 1) << c.kind << "/" << c.order;
        EXPECT_TRUE(out[0].second.isEmpty());
    }
    // A range that selects nothing clears `out`.
    CameraFilesList out = sentinel;
    CVideoFileParam param = Request(5, 0, all, 3, 2);
    controller.GetVideoFiles(out, param);
    EXPECT_TRUE(out.isEmpty());
}

TEST(Extraction, OverlapRule)
{
    auto file = std::make_shared<CPlaybackFile>(100, 200, "f");
    struct Case
    {
        int64_t begin, end;
        bool overlap;
    };
    const Case cases[] = {{10, 99, false},   {10, 100, true}, {200, 300, true},
                          {201, 300, false}, {250, 50, true}, {99, 99, false}};
    for (const Case &c : cases)
        EXPECT_EQ(CVideoSearchController::IsOverlapTime(file, c.begin, c.end), c.overlap)
            << c.begin << ".." << c.end;
    EXPECT_FALSE(CVideoSearchController::IsOverlapTime(nullptr, 0, 1000));
}

TEST_F(ExtractionTest, CustomSplitReplacesSegmentsUntilCleared)
{
    CVideoSearchController controller;
    cameras_ = {
        {"s1", "a", {std::make_shared<teskplaycontroller::CDeviceFile>(kBase, kBase + 3600, "x")}}};
    ASSERT_TRUE(filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchRecord, 1800));
    CResourceKey key = CameraKey("s1", "a");
    const QVector<CResourceKey> filter{key};
    ASSERT_EQ(controller.GetSingleCameraFilesNum(RegularVideo, key), 2) << filler_.events;

    CVideoSplitInfo split;
    CCameraBaseInfo camera;
    camera.SetVal_camera_key(key);
    split.SetVal_camera_info(camera);
    split.SetVal_split_time_duration(600);
    split.SetVal_qvc_playback_files(
        {std::make_shared<teskplaycontroller::CDeviceFile>(kBase, kBase + 1500, "clip")});
    EXPECT_EQ(controller.SplitCustomFiles(split), 3);
    EXPECT_EQ(controller.GetSingleCameraFilesNum(RegularVideo, key), 3);
    // No filter and no sorting while the custom split is in force.
    const auto custom = Page(controller, RegularVideo, 3, {}, 1, 5);
    ASSERT_EQ(custom.size(), 2);
    EXPECT_EQ(custom[0].second.first()->GetFileBegTime(), kBase + 600);
    EXPECT_EQ(custom[1].second.first()->GetFileEndTime(), kBase + 1500);

    controller.ClearSecondSplitParam();
    EXPECT_EQ(controller.GetSingleCameraFilesNum(RegularVideo, key), 2);
    EXPECT_EQ(Page(controller, RegularVideo, 0, filter, 0, 9).size(), 2);

    CVideoSplitInfo empty;
    EXPECT_EQ(controller.SplitCustomFiles(empty), 0);
}

TEST_F(ExtractionTest, VcaResultsNewestFirstOnceTheSearchEnded)
{
    using Source = teskplaycontroller::CScriptedRecordingSource;
    CVideoSearchController controller;
    Source::VCAScript script;
    auto file = [](int64_t begin) {
        auto pv = std::make_shared<CPersonVehicleFile>(kBase + begin, kBase + begin + 30, "v");
        pv->SetEventType(2);
        return PlaybackFilePtr(pv);
    };
    const PlaybackFileVector delivered = {file(100), nullptr, file(300), file(200), file(300)};
    script.pushes = {{delivered[0], delivered[1]}, {delivered[2], delivered[3], delivered[4]}};
    filler_.Source().SetVCAScript(script);
    filler_.Source().AddHold(Source::kVCABeforeFinal);
    auto condition = TestKit::VCASearchCondition("vca-1", 1, {"s1", "cam"});
    QSignalSpy spy(&controller, &CVideoSearchController::SignalSearchResult);
    ASSERT_TRUE(controller.SearchVCAFiles(condition));
    const QVector<CResourceKey> filter{CameraKey("s1", "cam")};
    auto rows = [&](int kind, int order) {
        PlaybackFileVector files;
        for (const auto &row : Page(controller, kind, order, filter, 0, 99))
            files.append(row.second.first());
        return files;
    };
    // While the search runs the VCA kind keeps the order of arrival.
    ASSERT_TRUE(filler_.Source().WaitUntilHeld(Source::kVCABeforeFinal));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows(VcaSearchVideo, 0).size() == 5; }, 10000));
    EXPECT_EQ(rows(VcaSearchVideo, SortNewestFirst), delivered);

    filler_.Source().Release(Source::kVCABeforeFinal);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Ended(spy); }, 10000));
    // Newest first, equal begins in order of arrival, the missing file last.
    EXPECT_EQ(
        rows(VcaSearchVideo, SortNewestFirst),
        (PlaybackFileVector{delivered[2], delivered[4], delivered[3], delivered[0], nullptr}));
    // Only the VCA kind sorts that way; the other common kinds keep the stored order.
    EXPECT_EQ(rows(LockVideo, SortNewestFirst), delivered);
    EXPECT_EQ(rows(PersonDetectVideo, SortBeginAscending),
              (PlaybackFileVector{delivered[0], delivered[3], delivered[2], delivered[4]}));
}

// Counts the re-split signals on the test thread.
class CSplitReceiver : public QObject
{
public:
    explicit CSplitReceiver(CVideoSearchController &controller)
    {
        connect(
            &controller, &CVideoSearchController::SignalAllOriginFilesSplitFinished, this,
            [this](const QString &guid) { guids.append(guid); }, Qt::QueuedConnection);
    }
    QStringList guids;
};

TEST_F(ExtractionTest, SplitAllWithTheSameLengthRunsOnce)
{
    CVideoSearchController controller;
    std::mt19937 random(21);
    cameras_ = RandomCameras(random, false);
    ASSERT_TRUE(filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchRecord, 600));
    const QVector<CResourceKey> filter = Filters(cameras_)[0];
    CSplitReceiver receiver(controller);

    // The length of the running search: nothing at all.
    controller.SplitAllOriginFiles(600, "same");
    controller.SplitAllOriginFiles(300, "first");
    controller.SplitAllOriginFiles(300, "second");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !receiver.guids.isEmpty(); }, 10000));
    QThreadPool::globalInstance()->waitForDone(10000);
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.guids, QStringList{"first"});

    CReferenceModel model = ModelOf(controller, cameras_);
    model.split_length = 300;
    ExpectAgreement(controller, model, model, {filter}, {RegularVideo}, Ranges::Whole);
}

// Pages keep being read while re-splits replace the segment store on the pool; run under
// ThreadSanitizer this shows the stores' locking.
TEST_F(ExtractionTest, PagesWhileResplitsRun)
{
    CVideoSearchController controller;
    std::mt19937 random(34);
    cameras_ = RandomCameras(random, false);
    ASSERT_TRUE(filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchRecord, 600));
    const QVector<CResourceKey> filter = Filters(cameras_)[0];
    CSplitReceiver receiver(controller);

    const int lengths[] = {60, 120, 300, 900, 61};
    for (int length : lengths) {
        controller.SplitAllOriginFiles(length, QString::number(length));
        for (int i = 0; i < 20; ++i) {
            const auto page = Page(controller, RegularVideo, i % 2, filter, i, i + 59);
            for (const auto &row : page) {
                ASSERT_FALSE(row.second.isEmpty());
                const int64_t span =
                    row.second.last()->GetFileEndTime() - row.second.first()->GetFileBegTime();
                EXPECT_LE(span, 900);
            }
        }
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.guids.contains("61"); }, 20000));
    QThreadPool::globalInstance()->waitForDone(10000);
    QCoreApplication::processEvents();
    // Only the re-splits that wrote their segments announce them, the last request last.
    EXPECT_EQ(receiver.guids.last(), "61") << receiver.guids.join(',').toStdString();
    EXPECT_EQ(receiver.guids.removeDuplicates(), 0);
    // The last request wins whatever order the workers ended in.
    CReferenceModel model = ModelOf(controller, cameras_);
    model.split_length = 61;
    ExpectAgreement(controller, model, model, {filter}, {RegularVideo}, Ranges::Whole);
}

TEST_F(ExtractionTest, ControllerGoesAwayWhileAResplitRuns)
{
    std::mt19937 random(55);
    cameras_ = RandomCameras(random, false);
    {
        CVideoSearchController controller;
        ASSERT_TRUE(
            filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchRecord, 600));
        controller.SplitAllOriginFiles(60, "late");
    }
    QThreadPool::globalInstance()->waitForDone(10000);
}

// Reads every page and count so that the controller has them at hand.
void ReadEverything(CVideoSearchController &controller, const std::vector<CameraScript> &cameras)
{
    for (const auto &filter : Filters(cameras)) {
        for (int kind = RegularVideo; kind <= VcaSearchVideo; ++kind) {
            controller.GetTotalFileNum(VideoDataType(kind), filter);
            for (int order = SortStored; order <= SortBeginAscending; ++order)
                Page(controller, kind, order, filter, 0, 100000);
        }
    }
}

TEST_F(ExtractionTest, PagesAndCountsFollowEveryWriteOfTheStores)
{
    using Source = teskplaycontroller::CScriptedRecordingSource;
    std::mt19937 random(91);
    const std::vector<CameraScript> initial = RandomCameras(random, false);
    const std::string last_site = initial.back().site;
    const std::string last_id = initial.back().id;
    const QVector<CResourceKey> all = Filters(initial)[0];
    enum Write { Answer, Unlabel, Unlock, Resplit, NewSearch, Cancel, VcaSearch };
    for (Write write : {Answer, Unlabel, Unlock, Resplit, NewSearch, Cancel, VcaSearch}) {
        SCOPED_TRACE("write " + std::to_string(write));
        CVideoSearchController controller;
        cameras_ = initial;
        int split_length = 600;
        if (write == Answer)
            filler_.Source().AddHold(Source::CameraHoldPoint(last_site, last_id));
        ASSERT_TRUE(
            filler_.Start(controller, cameras_, teskplaycontroller::VideoSearchRecord, 600));
        if (write == Answer) {
            ASSERT_TRUE(
                filler_.Source().WaitUntilHeld(Source::CameraHoldPoint(last_site, last_id)));
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return controller.GetSearchSuccessCameraInfo().size() >= 4; }, 10000));
            ReadEverything(controller, cameras_);
            filler_.Source().Release(Source::CameraHoldPoint(last_site, last_id));
        }
        ASSERT_TRUE(filler_.Finish());
        ReadEverything(controller, cameras_);

        CameraScript &victim = cameras_[1];
        CResourceKey key = CameraKey(victim.site, victim.id);
        auto forget = [&victim](const std::function<bool(const PlaybackFilePtr &)> &gone) {
            victim.files.erase(std::remove_if(victim.files.begin(), victim.files.end(), gone),
                               victim.files.end());
        };
        switch (write) {
        case Answer:
            break;
        case Unlabel: {
            const PlaybackFilePtr file = victim.files.at(victim.files.size() / 2);
            const int64_t begin = file->GetFileBegTime(), end = file->GetFileEndTime();
            const int before = controller.GetSingleCameraFilesNum(LockVideo, key);
            controller.DeleteUnLabelFile(key, begin - 1, end);
            controller.DeleteUnLabelFile(key, begin, end - 1);
            ASSERT_EQ(controller.GetSingleCameraFilesNum(LockVideo, key), before)
                << "only the exact span names a file";
            controller.DeleteUnLabelFile(key, begin, end);
            forget([&](const PlaybackFilePtr &f) {
                return f->GetFileBegTime() == begin && f->GetFileEndTime() == end;
            });
            break;
        }
        case Unlock: {
            const int64_t at = victim.files.at(0)->GetFileBegTime();
            controller.DeleteUnlockFile(key, at, at + 300);
            forget([&](const PlaybackFilePtr &f) {
                return CVideoSearchController::IsOverlapTime(f, at, at + 300);
            });
            break;
        }
        case Resplit: {
            CSplitReceiver receiver(controller);
            controller.SplitAllOriginFiles(180, "resplit");
            ASSERT_TRUE(QTest::qWaitFor([&] { return !receiver.guids.isEmpty(); }, 10000));
            split_length = 180;
            break;
        }
        case NewSearch:
            cameras_ = RandomCameras(random, false);
            ASSERT_TRUE(
                filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchRecord, 600));
            break;
        case Cancel:
            controller.CancelSearch(false);
            cameras_.clear();
            break;
        case VcaSearch: {
            teskplaycontroller::CVCAIncrementalCondition condition;
            condition.SetVal_search_guid("vca");
            filler_.Source().SetVCAScript({});
            controller.SearchVCAFiles(condition);
            cameras_.clear();
            break;
        }
        }
        if (write == VcaSearch) {
            // The segments stay; every file is gone.
            for (int kind = PersonDetectVideo; kind <= VcaSearchVideo; ++kind) {
                EXPECT_EQ(controller.GetTotalFileNum(VideoDataType(kind), all), 0);
                EXPECT_TRUE(Page(controller, kind, SortBeginAscending, all, 0, 99).isEmpty());
            }
            EXPECT_GT(controller.GetTotalFileNum(RegularVideo, all), 0);
            continue;
        }
        // Segments are cut from the files as they arrived; deletions change only the files.
        CReferenceModel files = ModelOf(controller, cameras_);
        CReferenceModel segments =
            ModelOf(controller, write == Unlabel || write == Unlock ? initial : cameras_);
        segments.split_length = split_length;
        ExpectAgreement(controller, files, segments,
                        EveryFilter(cameras_.empty() ? initial : cameras_),
                        {0, 1, 2, 3, 4, 5, 6, 7, 8}, Ranges::Whole);
    }
}

// Re-splits against hold points

// A camera whose record plan, read when its recordings are split, can hold the reader: the first
// reader after Hold waits until Release.
class CHeldCamera : public teskplaycontroller::CCameraForPlay
{
public:
    using CCameraForPlay::CCameraForPlay;

    void Hold()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = true;
        reached_ = false;
        released_ = false;
    }

    bool WaitUntilHeld()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20), [this] { return reached_; });
    }

    void Release()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

    bool GetPlaybackParam(teskplaycontroller::COrlPlayBackParamSet &out) const override
    {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (armed_) {
                armed_ = false;
                reached_ = true;
                changed_.notify_all();
                // Bounded so that a failing test ends instead of hanging.
                changed_.wait_for(lock, std::chrono::seconds(30), [this] { return released_; });
            }
        }
        return CCameraForPlay::GetPlaybackParam(out);
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    mutable bool armed_ = false;
    mutable bool reached_ = false;
    bool released_ = false;
};

class ResplitTest : public ExtractionTest
{
protected:
    void SetUp() override
    {
        ExtractionTest::SetUp();
        // A held re-split occupies one pool thread while the next one runs.
        auto *pool = QThreadPool::globalInstance();
        if (pool->maxThreadCount() < 2)
            pool->setMaxThreadCount(2);
        std::mt19937 random(17);
        for (const char *id : {"a", "c", "b"}) {
            CameraScript camera{"s1", id, {}};
            for (int i = 0; i < 12; ++i) {
                const int64_t begin = kBase + 500 * i + static_cast<int64_t>(random() % 100);
                camera.files.push_back(std::make_shared<teskplaycontroller::CDeviceFile>(
                    begin, begin + 400, std::string(id) + std::to_string(i)));
            }
            cameras_.push_back(camera);
            held_[id] = std::make_shared<CHeldCamera>("s1", id);
            filler_.camera_objects["s1/" + std::string(id)] = held_[id];
        }
        all_ = Filters(cameras_)[0];
    }

    void TearDown() override
    {
        for (auto &camera : held_)
            camera.second->Release();
        QThreadPool::globalInstance()->waitForDone(30000);
        ExtractionTest::TearDown();
    }

    // The segments of every file at `length`, each camera once, in store order.
    void ExpectSegmentsOfEveryFile(CVideoSearchController &controller, int length)
    {
        CReferenceModel model = ModelOf(controller, cameras_);
        model.split_length = length;
        ExpectAgreement(controller, model, model, {all_}, {RegularVideo}, Ranges::Whole);
    }

    std::map<std::string, std::shared_ptr<CHeldCamera>> held_;
    QVector<CResourceKey> all_;
};

TEST_F(ResplitTest, SupersededResplitNeitherWritesNorSignals)
{
    for (const bool by_cancel : {false, true}) {
        SCOPED_TRACE(by_cancel ? "cancelled" : "re-split again");
        CVideoSearchController controller;
        CSplitReceiver receiver(controller);
        ASSERT_TRUE(
            filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchRecord, 600));

        // The first re-split has copied the files and waits before it splits them.
        held_["a"]->Hold();
        controller.SplitAllOriginFiles(120, "old");
        ASSERT_TRUE(held_["a"]->WaitUntilHeld());
        if (by_cancel) {
            controller.CancelSearch(false);
        } else {
            controller.SplitAllOriginFiles(300, "new");
            ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.guids.contains("new"); }, 10000));
        }
        held_["a"]->Release();
        ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(20000));
        QCoreApplication::processEvents();

        EXPECT_FALSE(receiver.guids.contains("old"));
        if (by_cancel) {
            EXPECT_EQ(controller.GetTotalFileNum(RegularVideo, all_), 0);
        } else {
            EXPECT_EQ(receiver.guids.join(',').toStdString(), "new");
            ExpectSegmentsOfEveryFile(controller, 300);
        }
    }
}

// Camera a answers before a re-split, c and b while it runs: c's answer is split into the store
// before the re-split writes, which must not lose it; b's answer is stored, and while its own
// split waits the re-split copies the files again, b's among them, and writes. b must not then
// be split a second time.
TEST_F(ResplitTest, AnswersThatArriveDuringAResplitAreSplitOnce)
{
    using Source = teskplaycontroller::CScriptedRecordingSource;
    const std::string hold_c = Source::CameraHoldPoint("s1", "c");
    const std::string hold_b = Source::CameraHoldPoint("s1", "b");
    CVideoSearchController controller;
    CSplitReceiver receiver(controller);
    filler_.Source().AddHold(hold_c);
    filler_.Source().AddHold(hold_b);
    ASSERT_TRUE(filler_.Start(controller, cameras_, teskplaycontroller::VideoSearchRecord, 600));
    ASSERT_TRUE(filler_.Source().WaitUntilHeld(hold_c));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return controller.GetTotalFileNum(RegularVideo, {CameraKey("s1", "a")}) > 0; },
        10000));

    held_["a"]->Hold();
    controller.SplitAllOriginFiles(300, "resplit");
    ASSERT_TRUE(held_["a"]->WaitUntilHeld());

    filler_.Source().Release(hold_c);
    ASSERT_TRUE(filler_.Source().WaitUntilHeld(hold_b));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return controller.GetTotalFileNum(RegularVideo, {CameraKey("s1", "c")}) > 0; },
        10000));

    held_["b"]->Hold();
    std::thread conductor([this] {
        // This thread's test thread is held in b's split now.
        if (held_["b"]->WaitUntilHeld()) {
            held_["a"]->Release();
            QThreadPool::globalInstance()->waitForDone(20000);
        }
        held_["a"]->Release();
        held_["b"]->Release();
    });
    filler_.Source().Release(hold_b);
    const bool done = QTest::qWaitFor(
        [&] { return filler_.Finished() && receiver.guids.contains("resplit"); }, 20000);
    conductor.join();
    ASSERT_TRUE(done);
    QThreadPool::globalInstance()->waitForDone(20000);
    QCoreApplication::processEvents();

    EXPECT_EQ(receiver.guids.join(',').toStdString(), "resplit");
    ExpectSegmentsOfEveryFile(controller, 300);
}

} // namespace
