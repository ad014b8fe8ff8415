#include "extension/VideoSearchExpandInterface.h"

#include "StoreSearch.h"

#include <map>
#include <set>

using namespace TeskVideoSearch;
using StoreSearch::Searched;

namespace {

const int64_t kEnd = Quor::Base::TimeUtil::DaysFromCivil(2026, 11, 20) * 86400;

// Counts the capability questions, per camera.
class CountingExpand : public CVideoSearchExpandInterface
{
public:
    bool IsSupportThumbnail(const ResourceData::StorageMediaType &media,
                            const ResourceData::StorageLocation &, const QString &,
                            const QString &camera_id) override
    {
        ++thumbnail_questions[camera_id];
        return media != ResourceData::StorageMediaPerFile;
    }
    bool IsSupportSearchByImage() override
    {
        ++image_questions;
        return false;
    }
    std::map<QString, int> thumbnail_questions;
    int image_questions = 0;
};

// One search per kind over the whole store, shared by the tests.
const Searched &Search(teskplaycontroller::VideoSearchType type)
{
    static const auto server =
        StoreSearch::InstallStore("store", TestKit::SmallStoreOptions(6, 1, kEnd, 11));
    static std::map<int, Searched> searches;
    if (!searches.count(type))
        searches[type] = StoreSearch::SearchDay(type, kEnd, 1800);
    return searches[type];
}

std::shared_ptr<CVideoDataManager> ManagerFor(const Searched &searched, VideoDataType kind,
                                              CVideoSearchExpandInterface *expand = nullptr)
{
    auto manager = StoreSearch::Manager(searched, kind, SortBeginAscending, expand);
    manager->SetCurrentDataNum(searched.controller->GetTotalFileNum(kind, searched.keys), false);
    return manager;
}

TEST(VideoDataManager, ItemsCarryTheRowsAndTheirPairData)
{
    const Searched &searched = Search(teskplaycontroller::VideoSearchLock);
    CountingExpand expand;
    auto manager = ManagerFor(searched, LockVideo, &expand);
    const int total = manager->GetDataNum();
    ASSERT_GT(total, 5);

    CVideoFileParam param;
    param.SetVal_data_type(LockVideo);
    param.SetVal_qvc_filter_camera_keys(searched.keys);
    param.SetVal_show_type(SortBeginAscending);
    param.SetVal_begin_index(2);
    param.SetVal_end_index(total - 1);
    CameraFilesList rows;
    searched.controller->GetVideoFiles(rows, param);

    const auto items = manager->GetDataByIndex(2, total - 1);
    ASSERT_EQ(static_cast<int>(items.size()), rows.size());
    std::set<QString> cameras;
    for (size_t i = 0; i < items.size(); ++i) {
        const CCustomVideoData &item = *items[i];
        const CameraFilesEntry &row = rows[static_cast<int>(i)];
        const CResourceKey key = row.first.GetVal_camera_key();
        EXPECT_EQ(item.GetPairData(KeyDataId).toInt(), 2 + static_cast<int>(i));
        EXPECT_EQ(item.GetPairData(KeySiteId).toString().toStdString(), key.GetVal_site_id());
        EXPECT_EQ(item.GetPairData(KeyCameraId).toString().toStdString(), key.GetVal_resource_id());
        EXPECT_FALSE(item.GetPairData(KeyCameraName).toString().isEmpty());
        EXPECT_FALSE(item.GetPairData(KeyIsRegularKind).toBool());
        CResourceKey count_key = key;
        EXPECT_EQ(item.GetPairData(KeyCameraFileCount).toInt(),
                  searched.controller->GetSingleCameraFilesNum(LockVideo, count_key));
        // The begin time is shown in the client's zone with its difference.
        EXPECT_TRUE(item.GetPairData(KeyBeginTimeText).toString().contains("(UTC"))
            << item.GetPairData(KeyBeginTimeText).toString().toStdString();
        PlaybackFileVector files;
        item.GetFileDatas(files);
        ASSERT_EQ(files.size(), 1);
        EXPECT_EQ(files.front(), row.second.front());
        cameras.insert(item.GetPairData(KeyCameraId).toString());
    }
    // Flags are computed once per camera and call: one question per camera, whatever the rows.
    EXPECT_GT(cameras.size(), 1u);
    EXPECT_EQ(expand.thumbnail_questions.size(), cameras.size());
    for (const auto &[camera, asked] : expand.thumbnail_questions)
        EXPECT_EQ(asked, 1) << camera.toStdString();
    EXPECT_EQ(expand.image_questions, static_cast<int>(cameras.size()));
}

TEST(VideoDataManager, RangesOutsideTheRowsGiveNothing)
{
    const Searched &searched = Search(teskplaycontroller::VideoSearchLock);
    auto manager = ManagerFor(searched, LockVideo);
    const int total = manager->GetDataNum();
    ASSERT_GT(total, 2);
    EXPECT_TRUE(manager->GetDataByIndex(total - 2, total).empty());
    EXPECT_TRUE(manager->GetDataByIndex(-1, 0).empty());
    EXPECT_TRUE(manager->GetDataByIndex(2, 1).empty());
    EXPECT_EQ(manager->GetDataByIndex(total - 1, total - 1).size(), 1u);
    manager->SetCurrentDataNum(0, false);
    EXPECT_TRUE(manager->GetDataByIndex(0, 0).empty());

    CVideoDataManager unbound;
    unbound.SetCurrentDataNum(10, false);
    EXPECT_TRUE(unbound.GetDataByIndex(0, 3).empty());
    EXPECT_FALSE(unbound.GetThumbnailByTime({}));
}

TEST(VideoDataManager, WithoutExpandInterfaceRegularSegmentsAreFlaggedByStorage)
{
    const Searched &searched = Search(teskplaycontroller::VideoSearchRecord);
    auto manager = ManagerFor(searched, RegularVideo);
    const auto items = manager->GetDataByIndex(0, manager->GetDataNum() - 1);
    ASSERT_FALSE(items.empty());
    bool saw_per_file = false;
    bool saw_split = false;
    for (const auto &item : items) {
        teskplaycontroller::COrlPlayBackParamSet plan;
        teskplaycontroller::CCameraForPlay camera(
            item->GetPairData(KeySiteId).toString().toStdString(),
            item->GetPairData(KeyCameraId).toString().toStdString());
        ASSERT_TRUE(camera.GetPlaybackParam(plan));
        const bool per_file = plan.GetVal_storage_media_type() == ResourceData::StorageMediaPerFile;
        saw_per_file |= per_file;
        saw_split |= !per_file;
        EXPECT_TRUE(item->GetPairData(KeyIsRegularKind).toBool());
        EXPECT_EQ(item->GetPairData(KeyIsSplitByLength).toBool(), !per_file);
        // No host hook: neither thumbnails nor search by image are offered.
        EXPECT_FALSE(item->GetPairData(KeyThumbnailSupported).toBool());
        EXPECT_FALSE(item->GetPairData(KeySearchByImageSupported).toBool());
    }
    EXPECT_TRUE(saw_per_file);
    EXPECT_TRUE(saw_split);
}

TEST(VideoDataManager, CountsAndNotifications)
{
    const Searched &searched = Search(teskplaycontroller::VideoSearchLock);
    CVideoDataManager manager;
    CVideoDataInitParam init;
    init.SetVal_video_data_type(LockVideo);
    init.SetVal_qvc_filter_camera_keys(searched.keys);
    manager.InitDataParam(init, searched.controller);
    QSignalSpy prepared(&manager, &CVideoDataManager::SignalDataPrepared);
    QSignalSpy per_camera(&manager, &CVideoDataManager::SignalUpdateResourceNum);
    manager.SetCurrentDataNum(7, true);
    manager.SetCurrentDataNum(7, true);
    manager.SetCurrentDataNum(8, false);
    manager.SetCurrentDataNum(0, true);
    EXPECT_EQ(prepared.count(), 1);

    manager.UpdataDataNumBySearchFinished();
    ASSERT_EQ(per_camera.count(), 1);
    const auto counts = per_camera.at(0).at(0).value<ResourceNumMap>();
    int sum = 0;
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        CResourceKey key;
        key.SetVal_site_id(it.key().first.toStdString());
        key.SetVal_resource_id(it.key().second.toStdString());
        EXPECT_EQ(it.value(), searched.controller->GetSingleCameraFilesNum(LockVideo, key));
        sum += it.value();
    }
    EXPECT_EQ(sum, searched.controller->GetTotalFileNum(LockVideo, searched.keys));

    // Pages sorted by time have no per-camera groups to count.
    manager.UpdateFileSortType(SortBeginAscending);
    manager.UpdataDataNumBySearchFinished();
    EXPECT_EQ(per_camera.count(), 1);
}

TEST(VideoDataManager, ConvertDataGroupsRunsOfOneCamera)
{
    CVideoDataManager manager;
    std::vector<CustomVideoDataPtr> items;
    for (const char *camera : {"a", "a", "b", "a", "a", "a"}) {
        auto item = std::make_shared<CCustomVideoData>();
        item->InsertPairData(KeySiteId, QStringLiteral("s"));
        item->InsertPairData(KeyCameraId, QString::fromLatin1(camera));
        items.push_back(item);
    }
    std::vector<CameraItemsRun> runs;
    manager.ConvertData(runs, {});
    EXPECT_TRUE(runs.empty());
    manager.ConvertData(runs, items);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].first.GetVal_resource_id(), "a");
    EXPECT_EQ(runs[0].second.size(), 2u);
    EXPECT_EQ(runs[1].first.GetVal_resource_id(), "b");
    EXPECT_EQ(runs[2].second.size(), 3u);
    EXPECT_EQ(runs[2].second.front(), items[3]);

    // A new call starts its own pairs, even for the camera that ends `out`.
    manager.ConvertData(runs, {items[3]});
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[2].second.size(), 3u);
    EXPECT_EQ(runs[3].first.GetVal_resource_id(), "a");
    EXPECT_EQ(runs[3].second.size(), 1u);
}

TEST(VideoDataManager, ThumbnailOfARecordingIsARealPicture)
{
    const Searched &searched = Search(teskplaycontroller::VideoSearchLock);
    auto manager = ManagerFor(searched, LockVideo);
    const auto items = manager->GetDataByIndex(0, 0);
    ASSERT_EQ(items.size(), 1u);
    PlaybackFileVector files;
    items.front()->GetFileDatas(files);

    QSignalSpy finished(manager.get(), &CVideoDataManager::SignalThumbnailFinished);
    // A camera outside the running search is neither asked for nor answered; the answer of
    // the second request proves that nothing else arrived in between.
    teskplaycontroller::ThumbnailKey stranger{"nowhere", "no-such-camera",
                                              files.front()->GetFileBegTime()};
    EXPECT_TRUE(manager->GetThumbnailByTime(stranger));
    teskplaycontroller::ThumbnailKey key{
        items.front()->GetPairData(KeySiteId).toString().toStdString(),
        items.front()->GetPairData(KeyCameraId).toString().toStdString(),
        files.front()->GetFileBegTime() + 2};
    EXPECT_TRUE(manager->GetThumbnailByTime(key));
    ASSERT_TRUE(finished.wait(20000));
    ASSERT_EQ(finished.count(), 1);
    const auto result = finished.at(0).at(1).value<teskplaycontroller::ThumbnailResult>();
    EXPECT_EQ(finished.at(0).at(0).value<teskplaycontroller::ThumbnailKey>().camera_id,
              key.camera_id);
    ASSERT_TRUE(result.success) << result.error;
    EXPECT_FALSE(result.image.isNull());
    EXPECT_GT(result.image.width(), 100);

    // A time outside every recording fails, and says so.
    teskplaycontroller::ThumbnailKey outside = key;
    outside.time = kEnd - 11 * 86400;
    EXPECT_TRUE(manager->GetThumbnailByTime(outside));
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_FALSE(finished.at(1).at(1).value<teskplaycontroller::ThumbnailResult>().success);
    manager->StopLoadThumbnail();
}

TEST(CustomVideoData, ThumbnailFollowsItsState)
{
    TeskResources::Register();
    CCustomVideoData item;
    QImage picture(64, 36, QImage::Format_RGB32);
    picture.fill(Qt::red);
    item.SetThumbnailImage(picture);
    EXPECT_EQ(item.GetThumbnailImage(), CCustomVideoData::NotLoadedPicture());
    item.InsertPairData(KeyThumbnailState, ThumbnailFailed);
    EXPECT_EQ(item.GetThumbnailImage(), CCustomVideoData::FailurePicture());
    item.InsertPairData(KeyThumbnailState, ThumbnailLoaded);
    EXPECT_EQ(item.GetThumbnailImage(), picture);
    EXPECT_FALSE(CCustomVideoData::FailurePicture().isNull());
    EXPECT_FALSE(CCustomVideoData::NotLoadedPicture().isNull());
    EXPECT_NE(CCustomVideoData::FailurePicture(), CCustomVideoData::NotLoadedPicture());
    // Writing into what was handed out never reaches the shared picture.
    item.InsertPairData(KeyThumbnailState, ThumbnailNotLoaded);
    item.GetThumbnailImage().fill(Qt::green);
    EXPECT_NE(CCustomVideoData::NotLoadedPicture().pixelColor(0, 0), QColor(Qt::green));
}

} // namespace
