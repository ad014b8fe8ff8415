#include "recordserver/StoreTimeLapseProvider.h"

#include "SmallStore.h"

#include <QDateTime>
#include <QDir>

#include <limits>

using namespace teskrecordserver;

namespace {

// The camera with the most capture pictures, and its whole capture span.
struct CaptureCamera
{
    CameraRow camera;
    int64_t begin = 0;
    int64_t end = 0;
    size_t pictures = 0;
};

CaptureCamera BusiestCaptureCamera()
{
    CaptureCamera best;
    for (const CameraRow &camera : RecordServerTest::SmallStore().Catalogue().Cameras()) {
        const auto pictures = RecordServerTest::SmallStore().Catalogue().CapturePictures(
            camera.site_id, camera.id, 0, std::numeric_limits<int64_t>::max());
        if (pictures.size() > best.pictures) {
            best.camera = camera;
            best.pictures = pictures.size();
            best.begin = pictures.front().time;
            best.end = pictures.back().time;
        }
    }
    return best;
}

OrlPluginManager::TimeLapsePhotoRequestParam Request(const std::string &camera, int64_t begin,
                                                     int64_t end, const QString &dir)
{
    // The provider reads the span as local wall-clock text, as the host writes it.
    const QDateTime from = QDateTime::fromSecsSinceEpoch(begin);
    const QDateTime to = QDateTime::fromSecsSinceEpoch(end);
    OrlPluginManager::TimeLapsePhotoRequestParam request;
    request.camera_resource_id = camera;
    request.start_date = from.toString("yyyy-MM-dd").toStdString();
    request.start_time = from.toString("HH:mm:ss").toStdString();
    request.end_date = to.toString("yyyy-MM-dd").toStdString();
    request.end_time = to.toString("HH:mm:ss").toStdString();
    request.file_path = dir.toStdString();
    return request;
}

// Writes the span's pictures; a rerun replaces its own pictures, and only those.
TEST(StoreTimeLapseProvider, WritesTheCapturePicturesOfTheSpanAndRerunsOverItsOwn)
{
    const CaptureCamera capture = BusiestCaptureCamera();
    ASSERT_GT(capture.pictures, 2u);
    CStoreTimeLapseProvider provider(RecordServerTest::SmallStorePtr());
    const QString dir = TestSupport::ScratchDir() + "/timelapse-pictures";
    const auto request = Request(capture.camera.id, capture.begin, capture.end, dir);
    std::atomic<bool> abort{false};
    for (int run = 0; run < 2; ++run) {
        OrlPluginManager::TimeLapsePhotoReponseParam response;
        ASSERT_TRUE(provider.DownLoadImage(request, abort, response))
            << "run " << run << ": " << response.error_info;
        EXPECT_EQ(response.image_count, static_cast<int>(capture.pictures));
    }
    // The export's own test reads what the pictures show.
    EXPECT_TRUE(QFile::exists(dir + QString("/%1.jpg").arg(capture.pictures - 1)));

    // Another provider did not write them: it leaves them and fails.
    CStoreTimeLapseProvider stranger(RecordServerTest::SmallStorePtr());
    OrlPluginManager::TimeLapsePhotoReponseParam refused;
    QFile first(dir + "/0.jpg");
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray bytes = first.readAll();
    first.close();
    EXPECT_FALSE(stranger.DownLoadImage(request, abort, refused));
    EXPECT_EQ(refused.error_code, OrlPluginManager::TimeLapseError::kWriteFailed);
    EXPECT_NE(refused.error_info.find("exists"), std::string::npos) << refused.error_info;
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), bytes);

    // A paused task stops at once and keeps the full count for its rerun.
    abort = true;
    OrlPluginManager::TimeLapsePhotoReponseParam aborted;
    ASSERT_TRUE(provider.DownLoadImage(
        Request(capture.camera.id, capture.begin, capture.end, dir + "-aborted"), abort, aborted));
    EXPECT_EQ(aborted.image_count, static_cast<int>(capture.pictures));
    EXPECT_FALSE(QFile::exists(dir + "-aborted/1.jpg"));
}

TEST(StoreTimeLapseProvider, RefusesUnknownCamerasAndEmptySpans)
{
    const CaptureCamera capture = BusiestCaptureCamera();
    CStoreTimeLapseProvider provider(RecordServerTest::SmallStorePtr());
    std::atomic<bool> abort{false};
    OrlPluginManager::TimeLapsePhotoReponseParam response;
    EXPECT_FALSE(provider.DownLoadImage(
        Request("no-such-camera", capture.begin, capture.end, TestSupport::ScratchDir() + "/none"),
        abort, response));
    EXPECT_EQ(response.error_code, OrlPluginManager::TimeLapseError::kUnknownCamera);
    response = {};
    EXPECT_FALSE(provider.DownLoadImage(
        Request(capture.camera.id, capture.end, capture.begin, TestSupport::ScratchDir() + "/none"),
        abort, response));
    EXPECT_EQ(response.error_code, OrlPluginManager::TimeLapseError::kNoPictures);
}

TEST(StoreTimeLapseProvider, DeviceJobsFailForFailingCamerasAndFinishForOthers)
{
    CStoreTimeLapseProvider provider(RecordServerTest::SmallStorePtr());
    std::string failing, working;
    for (const CameraRow &camera : RecordServerTest::SmallStore().Catalogue().Cameras()) {
        const bool fails = RecordServerTest::SmallStore()
                               .Catalogue()
                               .SearchFailure(camera.site_id, camera.id)
                               .has_value();
        (fails ? failing : working) = camera.id;
    }
    ASSERT_FALSE(failing.empty());
    ASSERT_FALSE(working.empty());
    const auto poll = [&](const std::string &camera, const std::string &job) {
        OrlPluginManager::TimeLapsePhotoRequestParam request;
        request.generate_mode = 1;
        request.camera_resource_id = camera;
        request.job_id = job;
        std::atomic<bool> abort{false};
        OrlPluginManager::TimeLapsePhotoReponseParam started;
        EXPECT_TRUE(provider.DownLoadImage(request, abort, started));
        OrlPluginManager::DeviceTimeLapsePhotoCreateStatusResponseParam status;
        for (int i = 0; i < 10 && status.status == OrlPluginManager::DeviceTimeLapseCreating &&
                        status.progress < 100;
             ++i)
            provider.GetDeviceTimeLapseFileCreting({job}, status);
        return status;
    };
    EXPECT_EQ(poll(failing, "job-fail").status, OrlPluginManager::DeviceTimeLapseFailed);
    const auto done = poll(working, "job-ok");
    EXPECT_NE(done.status, OrlPluginManager::DeviceTimeLapseFailed);
    EXPECT_EQ(done.progress, 100);
    OrlPluginManager::DeviceTimeLapseRecordFileInfoResponseParam info;
    ASSERT_TRUE(provider.GetDeviceTimeLapseRecordFileInfo({"job-ok"}, info));
    EXPECT_FALSE(info.record_file_info.file_name.empty());
    EXPECT_GT(std::stoll(info.record_file_info.file_size), 0);
}

} // namespace
