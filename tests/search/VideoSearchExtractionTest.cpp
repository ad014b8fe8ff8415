#include "ExtractionTestSupport.h"

#include "playcontroller/RearrageRecordFile.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThreadPool>

#include <algorithm>
#include <random>
#include <sstream>

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
        all.append(Key(cameras[i].site, cameras[i].id));
        if (i % 2 == 1)
            some.prepend(Key(cameras[i].site, cameras[i].id));
    }
    some.append(Key("nowhere", "c1"));
    foreign.append(Key("s1", "c9-not"));
    return {all, some, foreign};
}

class ExtractionTest : public ::testing::Test
{
protected:
    void SetUp() override { teskplaycontroller::CPlaybackParamRegistry::Instance().Clear(); }
    void TearDown() override { teskplaycontroller::CPlaybackParamRegistry::Instance().Clear(); }

    // Every kind and order against the model: the same rows in the same order for a sweep of
    // index ranges (every range when `every_range`).
    void ExpectAgreement(CVideoSearchController &controller, const CReferenceModel &model,
                         const std::vector<int> &kinds, bool every_range)
    {
        for (const auto &filter : Filters(cameras_)) {
            for (int kind : kinds) {
                for (int order = 0; order <= 2; ++order) {
                    if (!CReferenceModel::Produces(kind, order))
                        continue;
                    const CameraFilesList rows = model.Rows(kind, order, filter);
                    const bool identity = kind != RegularVideo;
                    const int n = rows.size();
                    for (int begin = -2; begin <= n + 1; ++begin) {
                        std::vector<int> ends;
                        if (every_range) {
                            for (int end = -2; end <= n + 1; ++end)
                                ends.push_back(end);
                        } else {
                            ends = {begin - 1, begin, begin + 5, begin + 59, n - 1, n + 3};
                        }
                        for (int end : ends) {
                            const auto page = Page(controller, kind, order, filter, begin, end);
                            ASSERT_EQ(Describe(page, identity),
                                      Describe(CReferenceModel::Slice(rows, begin, end), identity))
                                << "filter of " << filter.size() << ", kind " << kind << " order "
                                << order << " range " << begin << ".." << end << " of " << n;
                        }
                    }
                }
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
        auto extra = std::make_shared<teskplaycontroller::CLableExtra>();
        const int label_types[] = {101, 200, 204, -1};
        const int label_type = label_types[round % 4];
        extra->SetVal_label_type(label_type);
        ASSERT_TRUE(filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchTag, 600,
                                   label_type < 0 ? nullptr : extra));
        CReferenceModel model = ModelOf(controller, cameras_);
        model.filter_tags = label_type == 101;
        ExpectAgreement(controller, model, {1, 2, 3, 4, 5, 6, 7, 8}, round == 0);
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
        ExpectAgreement(controller, model, {RegularVideo}, round == 0);
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
    const Case cases[] = {{0, 0, true},  {1, 0, true},  {3, 1, true},   {5, 0, true},
                          {8, 2, true},  {9, 0, false}, {15, 0, false}, {0, 3, false},
                          {5, 3, false}, {1, 2, false}, {4, 2, false},  {0, 2, false}};
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

TEST_F(ExtractionTest, EqualBeginsAcrossCamerasGoBySite)
{
    CVideoSearchController controller;
    cameras_ = {
        {"s2", "a", {std::make_shared<teskplaycontroller::CDeviceFile>(kBase, kBase + 5, "x")}},
        {"s1", "z", {std::make_shared<teskplaycontroller::CDeviceFile>(kBase, kBase + 9, "y")}}};
    ASSERT_TRUE(filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchLock, 600));
    const auto page = Page(controller, LockVideo, SortBeginAscending, Filters(cameras_)[0], 0, 9);
    ASSERT_EQ(page.size(), 2);
    EXPECT_EQ(page[0].first.GetVal_camera_key().GetVal_site_id(), "s1");
    EXPECT_EQ(page[1].first.GetVal_camera_key().GetVal_site_id(), "s2");
    // Indices 0 to 0 give exactly the first row.
    EXPECT_EQ(Page(controller, LockVideo, SortBeginAscending, Filters(cameras_)[0], 0, 0).size(),
              1);
}

TEST_F(ExtractionTest, PagesFollowChangesOfTheStore)
{
    CVideoSearchController controller;
    std::mt19937 random(8);
    cameras_ = RandomCameras(random, false);
    ASSERT_TRUE(filler_.Search(controller, cameras_, teskplaycontroller::VideoSearchLock, 600));
    const auto filter = Filters(cameras_)[0];
    const auto before = Page(controller, LockVideo, SortBeginAscending, filter, 0, 1000);
    ASSERT_GT(before.size(), 3);

    // Unlocking removes the overlapping files of one camera; the cached order must notice.
    const PlaybackFilePtr gone = before[1].second.first();
    CResourceKey camera = before[1].first.GetVal_camera_key();
    controller.DeleteUnlockFile(camera, gone->GetFileBegTime(), gone->GetFileBegTime());
    const auto after = Page(controller, LockVideo, SortBeginAscending, filter, 0, 1000);
    EXPECT_LT(after.size(), before.size());
    for (const auto &row : after)
        EXPECT_NE(row.second.first().get(), gone.get());

    controller.CancelSearch(false);
    EXPECT_TRUE(Page(controller, LockVideo, SortBeginAscending, filter, 0, 1000).isEmpty());
}

TEST(Extraction, OverlapRule)
{
    auto file = std::make_shared<CPlaybackFile>(100, 200, "f");
    struct Case
    {
        int64_t begin, end;
        bool overlap;
    };
    const Case cases[] = {{10, 99, false},   {10, 100, true}, {150, 160, true}, {200, 300, true},
                          {201, 300, false}, {50, 250, true}, {250, 50, true},  {99, 99, false}};
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
    CResourceKey key = Key("s1", "a");
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
    CVideoSearchController controller;
    teskplaycontroller::CScriptedRecordingSource::VCAScript script;
    auto file = [](int64_t begin) {
        auto pv = std::make_shared<CPersonVehicleFile>(kBase + begin, kBase + begin + 30, "v");
        pv->SetEventType(2);
        return PlaybackFilePtr(pv);
    };
    const PlaybackFileVector delivered = {file(100), nullptr, file(300), file(200), file(300)};
    script.pushes = {{delivered[0], delivered[1]}, {delivered[2], delivered[3], delivered[4]}};
    filler_.Source().SetVCAScript(script);
    filler_.Source().AddHold(teskplaycontroller::CScriptedRecordingSource::kVCABeforeFinal);

    teskplaycontroller::CVCAIncrementalCondition condition;
    condition.SetVal_search_guid("vca-1");
    condition.SetVal_search_number(1);
    condition.SetVal_site_id("s1");
    condition.SetVal_camera_id("cam");
    QSignalSpy spy(&controller, &CVideoSearchController::SignalSearchResult);
    ASSERT_TRUE(controller.SearchVCAFiles(condition));
    const QVector<CResourceKey> filter{Key("s1", "cam")};
    auto rows = [&](int kind, int order) {
        PlaybackFileVector files;
        for (const auto &row : Page(controller, kind, order, filter, 0, 99))
            files.append(row.second.first());
        return files;
    };
    // While the search runs the VCA kind keeps the order of arrival.
    ASSERT_TRUE(filler_.Source().WaitUntilHeld(
        teskplaycontroller::CScriptedRecordingSource::kVCABeforeFinal));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows(VcaSearchVideo, 0).size() == 5; }, 10000));
    EXPECT_EQ(rows(VcaSearchVideo, SortNewestFirst), delivered);

    filler_.Source().Release(teskplaycontroller::CScriptedRecordingSource::kVCABeforeFinal);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return std::any_of(spy.begin(), spy.end(), [](const QList<QVariant> &arguments) {
                return arguments.at(0).value<ClipSearchEvent>().GetEventType() ==
                       ClipSearchFinished;
            });
        },
        10000));
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
    EXPECT_EQ(Describe(Page(controller, RegularVideo, 1, filter, 0, 100000), false),
              Describe(model.Rows(RegularVideo, 1, filter), false));
    EXPECT_EQ(controller.GetTotalFileNum(RegularVideo, filter),
              model.Rows(RegularVideo, 0, filter).size());
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
    EXPECT_EQ(receiver.guids.last(), "61");
    EXPECT_EQ(receiver.guids.removeDuplicates(), 0);
    // The last request wins whatever order the workers ended in.
    CReferenceModel model = ModelOf(controller, cameras_);
    model.split_length = 61;
    EXPECT_EQ(Describe(Page(controller, RegularVideo, 0, filter, 0, 100000), false),
              Describe(model.Rows(RegularVideo, 0, filter), false));
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

} // namespace
