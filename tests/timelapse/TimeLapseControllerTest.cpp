#include "Mp4Probe.h"
#include "TimeLapseTestSupport.h"
#include "mirelog/Log.h"
#include "timelapse/DeviceGenerateTimeLapse.h"
#include "timelapse/PictureCompressionVideo.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTest>
#include <QThreadPool>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace TeskVideoSearch;
using namespace TimeLapseTest;

namespace {

constexpr int kPictures = 6;

bool PicturesPresent(const std::string &dir, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!QFileInfo::exists(QString::fromStdString(dir + "/" + std::to_string(i) + ".jpg")))
            return false;
    }
    return true;
}

bool NoPictures(const std::string &dir, int count)
{
    for (int i = 0; i < count; ++i) {
        if (QFileInfo::exists(QString::fromStdString(dir + "/" + std::to_string(i) + ".jpg")))
            return false;
    }
    return true;
}

// Waits for a log line that contains `text`.
class LogWaiter
{
public:
    explicit LogWaiter(std::string text)
        : text_(std::move(text))
    {
        id_ = mirelog::AddListener([this](const mirelog::Record &record) {
            if (record.text.find(text_) != std::string::npos) {
                std::lock_guard<std::mutex> lock(mutex_);
                ++seen_;
                changed_.notify_all();
            }
        });
    }
    ~LogWaiter() { mirelog::RemoveListener(id_); }
    bool Wait(int count = 1)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, 20s, [&] { return seen_ >= count; });
    }

private:
    std::string text_;
    int id_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    int seen_ = 0;
};

class TimeLapseTask : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QThreadPool::globalInstance()->setMaxThreadCount(8);
        provider_ = std::make_shared<GatedProvider>();
        CDirectoryTimeLapseProvider::CameraPictures pictures;
        pictures.synthetic_width = 96;
        pictures.synthetic_height = 64;
        pictures.capture_interval = 120;
        provider_->SetCameraPictures("cam", pictures);
        CTimeLapseProviderRegistry::SetProvider(provider_);
        manager().RegisterDataCallBack(&ResultRecorder::Callback);
        ResultRecorder::Instance().Clear();
    }
    void TearDown() override
    {
        provider_->Release("cam");
        provider_->Release("dev");
        manager().DeleteTimeLapseTask(guids_);
        // A result is reported before the selection that follows it; let that selection end
        // before the next test fills the table.
        QThreadPool::globalInstance()->waitForDone();
        CTimeLapseProviderRegistry::SetProvider(nullptr);
    }
    static CTimeLapsePhotoManager &manager() { return CTimeLapsePhotoManager::Instance(); }

    void Submit(CTimeLapsePhotoRequestParam request)
    {
        CTimeLapsePhotoReponseParam response;
        guids_.push_back(request.GetVal_guid());
        manager().TimeLapseTaskStartRun(request, response);
    }
    void Pause(bool is_pause, std::string guid) { manager().TimeLapseTaskPause(is_pause, guid); }
    TimeLapseTaskState State(const std::string &guid)
    {
        return manager().GetTimeLapseTaskState(guid);
    }

    // A device whose finished video is `size` bytes, streamed in 64 KiB chunks.
    std::string SetUpDevice(const std::string &guid, int progress_step, bool fail = false,
                            int size = 300 * 1024)
    {
        const std::string video = OutputDir(guid + "-device") + "/device.mp4";
        QFile file(QString::fromStdString(video));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i * 31 + 7);
        file.write(bytes);
        file.close();
        CDirectoryTimeLapseProvider::DeviceCamera device;
        device.video_path = video;
        device.progress_step = progress_step;
        device.fail = fail;
        device.chunk_size = 64 * 1024;
        provider_->SetDeviceCamera("dev", device);
        return video;
    }
    CTimeLapsePhotoRequestParam DeviceRequest(const std::string &guid)
    {
        auto request = CaptureRequest(guid, "dev");
        request.SetVal_generate_mode(1);
        request.SetVal_job_id(guid + "-job");
        return request;
    }

    std::shared_ptr<GatedProvider> provider_;
    std::vector<std::string> guids_;
};

} // namespace

TEST_F(TimeLapseTask, CapturePlanVideoOpensWithTheExpectedFramesAndThePicturesGo)
{
    Submit(CaptureRequest("plan", "cam"));
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("plan", result));
    ASSERT_TRUE(result.success);
    const std::string dir = OutputDir("plan");
    const auto probe = TestSupport::ProbeVideo(dir + "/video.mp4");
    ASSERT_TRUE(probe.opened);
    EXPECT_EQ(probe.codec, AV_CODEC_ID_H264);
    EXPECT_EQ(probe.width, 96);
    EXPECT_EQ(probe.height, 64);
    EXPECT_EQ(probe.frames, kPictures);
    EXPECT_EQ(result.size, QFileInfo(QString::fromStdString(dir + "/video.mp4")).size());
    EXPECT_TRUE(NoPictures(dir, kPictures));
}

TEST_F(TimeLapseTask, PauseDuringDownloadAbortsAndResumeDownloadsAgain)
{
    provider_->Hold("cam");
    Submit(CaptureRequest("pause-dl", "cam"));
    ASSERT_TRUE(provider_->WaitCalls("download", "cam", 1));
    Pause(true, "pause-dl");
    EXPECT_EQ(provider_->Aborts("cam"), 1);
    EXPECT_EQ(State("pause-dl"), TaskPaused);
    EXPECT_EQ(ResultRecorder::Instance().Count("pause-dl"), 0);
    provider_->Release("cam");
    Pause(false, "pause-dl");
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("pause-dl", result));
    EXPECT_TRUE(result.success);
    EXPECT_EQ(provider_->Calls("download", "cam"), 2);
    EXPECT_EQ(TestSupport::ProbeVideo(OutputDir("pause-dl") + "/video.mp4").frames, kPictures);
}

// Picture 3 is a named pipe: the conversion blocks on opening it, which gives the test a
// release point inside the feeding loop.
TEST_F(TimeLapseTask, PauseDuringConversionKeepsThePicturesAndTheRerunWritesAFreshFile)
{
    const std::string dir = OutputDir("pause-conv");
    const std::string pipe = dir + "/3.jpg";
    LogWaiter converting("converting pictures into " + dir);
    LogWaiter pausing("CapturePlanPause start, is_pause 1, guid pause-conv");
    provider_->PipeAt("cam", 3);
    Submit(CaptureRequest("pause-conv", "cam"));
    ASSERT_TRUE(converting.Wait());

    std::atomic<bool> paused{false};
    std::thread pauser([&] {
        Pause(true, "pause-conv");
        paused = true;
    });
    ASSERT_TRUE(pausing.Wait());
    // Let the blocked reader go: it finds an empty picture, skips it and then sees the stop.
    int writer = -1;
    while (!paused && writer < 0) {
        writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer < 0)
            QTest::qWait(5);
    }
    if (writer >= 0)
        ::close(writer);
    pauser.join();
    EXPECT_EQ(State("pause-conv"), TaskPaused);
    EXPECT_EQ(ResultRecorder::Instance().Count("pause-conv"), 0);
    for (int i : {0, 1, 2, 4, 5})
        EXPECT_TRUE(
            QFileInfo::exists(QString::fromStdString(dir + "/" + std::to_string(i) + ".jpg")))
            << i;

    QFile::remove(QString::fromStdString(pipe));
    QImage picture(96, 64, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(QString::fromStdString(pipe), "JPG"));
    Pause(false, "pause-conv");
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("pause-conv", result));
    EXPECT_TRUE(result.success);
    EXPECT_EQ(TestSupport::ProbeVideo(dir + "/video.mp4").frames, kPictures);
    EXPECT_TRUE(NoPictures(dir, kPictures));
}

class DeferredFailure : public TimeLapseTask, public ::testing::WithParamInterface<bool>
{};

// A failure that happens while the task is paused is held back until the next pause or
// resume call, which reports it instead of acting.
TEST_P(DeferredFailure, IsReportedOnlyAtTheNextPauseOrResume)
{
    const bool next_call_pauses = GetParam();
    const std::string guid = next_call_pauses ? "deferred-pause" : "deferred-resume";
    provider_->Hold("cam");
    provider_->FailWhenAborted("cam");
    Submit(CaptureRequest(guid, "cam"));
    ASSERT_TRUE(provider_->WaitCalls("download", "cam", 1));
    Pause(true, guid);
    EXPECT_EQ(State(guid), TaskPaused);
    EXPECT_EQ(ResultRecorder::Instance().Count(guid), 0);

    Pause(next_call_pauses, guid);
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait(guid, result));
    EXPECT_FALSE(result.success);
    EXPECT_TRUE(QTest::qWaitFor([&] { return State(guid) == TaskFinished; }, 5000));
    std::string key = guid;
    EXPECT_EQ(manager().GetTimeLapseTaskErrorCode(key).error_code, TimeLapseError::kAborted);
    // It did not download again.
    EXPECT_EQ(provider_->Calls("download", "cam"), 1);
}

INSTANTIATE_TEST_SUITE_P(NextCall, DeferredFailure, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return std::string(info.param ? "Pause" : "Resume");
                         });

TEST_F(TimeLapseTask, DeviceJobIsPolledThenStreamedAsATimeLapseDownload)
{
    const std::string video = SetUpDevice("dev-ok", 50);
    Submit(DeviceRequest("dev-ok"));
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("dev-ok", result));
    EXPECT_TRUE(result.success);
    EXPECT_EQ(provider_->Calls("poll", "dev-ok-job"), 2);
    EXPECT_EQ(provider_->Calls("info", "dev-ok-job"), 2);
    const auto stream = provider_->LastStream();
    EXPECT_EQ(stream.search_begin, "20261201T000000");
    EXPECT_EQ(stream.search_end, "20261201T235959");
    QFile produced(QString::fromStdString(OutputDir("dev-ok") + "/video.mp4"));
    QFile source(QString::fromStdString(video));
    ASSERT_TRUE(produced.open(QIODevice::ReadOnly));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_TRUE(produced.readAll() == source.readAll());
    EXPECT_EQ(result.size, 300 * 1024);
    EXPECT_EQ(result.percentage, 100);
}

TEST_F(TimeLapseTask, DeviceFailuresEndTheTask)
{
    SetUpDevice("dev-status", 50, true);
    Submit(DeviceRequest("dev-status"));
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("dev-status", result));
    EXPECT_FALSE(result.success);
    // A failed device job leaves the error codes as they were: the host reads no reason.
    std::string guid = "dev-status";
    EXPECT_EQ(manager().GetTimeLapseTaskErrorCode(guid), Quor::Base::Error::ErrorCode());

    SetUpDevice("dev-mismatch", 100);
    provider_->ChangeRecordInfoAfterFirstQuery(true);
    Submit(DeviceRequest("dev-mismatch"));
    ASSERT_TRUE(ResultRecorder::Instance().Wait("dev-mismatch", result));
    EXPECT_FALSE(result.success);
    EXPECT_EQ(provider_->Calls("stream", "dev"), 1);
}

TEST_F(TimeLapseTask, PauseDuringDevicePollingEndsWithinASecondAndResumePollsAgain)
{
    SetUpDevice("dev-poll", 50);
    Submit(DeviceRequest("dev-poll"));
    ASSERT_TRUE(provider_->WaitCalls("poll", "dev-poll-job", 1));
    const auto before = std::chrono::steady_clock::now();
    Pause(true, "dev-poll");
    const auto took = std::chrono::steady_clock::now() - before;
    EXPECT_LT(took, 1100ms);
    EXPECT_EQ(State("dev-poll"), TaskPaused);
    EXPECT_EQ(provider_->Calls("poll", "dev-poll-job"), 1);
    Pause(false, "dev-poll");
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("dev-poll", result));
    EXPECT_TRUE(result.success);
    EXPECT_EQ(provider_->Calls("poll", "dev-poll-job"), 2);
}

TEST_F(TimeLapseTask, PauseDuringStreamDownloadStopsItAndResumeDownloadsAFreshFile)
{
    SetUpDevice("dev-stream", 100);
    provider_->Hold("dev");
    Submit(DeviceRequest("dev-stream"));
    ASSERT_TRUE(provider_->WaitCalls("chunk", "dev", 1));
    Pause(true, "dev-stream");
    EXPECT_EQ(State("dev-stream"), TaskPaused);
    const std::string dir = OutputDir("dev-stream");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir + "/video.mp4")));
    provider_->Release("dev");
    Pause(false, "dev-stream");
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("dev-stream", result));
    EXPECT_TRUE(result.success);
    EXPECT_EQ(provider_->Calls("stream", "dev"), 2);
    EXPECT_EQ(QFileInfo(QString::fromStdString(dir + "/video.mp4")).size(), 300 * 1024);
}

TEST(DeviceGenerateTimeLapse, PercentageFollowsTheDownloadedFile)
{
    auto provider = std::make_shared<GatedProvider>();
    const std::string dir = OutputDir("percentage");
    const std::string video = dir + "/device.mp4";
    {
        QFile file(QString::fromStdString(video));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(10 * 1024, 'x'));
    }
    CDirectoryTimeLapseProvider::DeviceCamera device;
    device.video_path = video;
    device.progress_step = 100;
    provider->SetDeviceCamera("dev", device);
    CTimeLapseProviderRegistry::SetProvider(provider);

    DeviceGenerateTimeLapse generator;
    generator.SetPauseBeforeStream(true);
    auto request = CaptureRequest("percentage", "dev");
    request.SetVal_generate_mode(1);
    request.SetVal_job_id("percentage-job");
    TimeLapsePhotoReponseParam response;
    ASSERT_TRUE(generator.SetDeviceGeneratFile(*request.GetDataPtr(), response));
    EXPECT_EQ(generator.GetDevicePosition(), GetStreamBeforePaused);
    EXPECT_EQ(generator.GetPercentage(), 0);

    auto notify = [&](int state) {
        teskplaycontroller::CDownloaderObserver::Param param;
        param.ptr_result = std::make_shared<teskplaycontroller::CDownloaderObserverParam>();
        param.ptr_result->SetVal_state_type(state);
        generator.UpdateDownloadState(param);
    };
    const QString partial = QString::fromStdString(dir + "/video");
    {
        QFile file(partial);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(5 * 1024, 'x'));
    }
    notify(teskplaycontroller::DownloadStateDownloading);
    EXPECT_EQ(generator.GetPercentage(), 50);
    notify(teskplaycontroller::DownloadStateConverting);
    EXPECT_EQ(generator.GetPercentage(), 99);
    notify(teskplaycontroller::DownloadStateStart);
    EXPECT_EQ(generator.GetFileSize(), 5 * 1024);
    QFile::remove(partial);
    EXPECT_EQ(generator.GetPercentage(), 99); // seen before: not back to 0
    EXPECT_EQ(generator.GetFileSize(), 5 * 1024);
    EXPECT_EQ(DeviceGenerateTimeLapse::TimeConversion(""), 0);
    EXPECT_EQ(DeviceGenerateTimeLapse::TimeConversion("garbage"), 0);
    EXPECT_GT(DeviceGenerateTimeLapse::TimeConversion("2026-12-01 08:00:00"), 0);
    CTimeLapseProviderRegistry::SetProvider(nullptr);
}

class Compression : public ::testing::Test
{
protected:
    void SetUp() override
    {
        provider_ = std::make_shared<CDirectoryTimeLapseProvider>();
        CTimeLapseProviderRegistry::SetProvider(provider_);
    }
    void TearDown() override { CTimeLapseProviderRegistry::SetProvider(nullptr); }
    std::shared_ptr<CDirectoryTimeLapseProvider> provider_;
};

TEST_F(Compression, CorruptPictureIsSkippedAndMissingFirstPictureGivesTheDefaultSize)
{
    const std::string source = OutputDir("compress-source");
    for (int i = 0; i < 5; ++i) {
        QImage picture(200, 100, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(i * 50, 255, 255));
        ASSERT_TRUE(
            picture.save(QString::fromStdString(source + "/" + std::to_string(i) + ".jpg")));
    }
    CDirectoryTimeLapseProvider::CameraPictures pictures;
    pictures.picture_dir = source;
    provider_->SetCameraPictures("folder", pictures);

    CPictureCompressionVideo compression;
    auto request = CaptureRequest("compress", "folder");
    TimeLapsePhotoReponseParam response;
    ASSERT_TRUE(compression.DownLoadImage(*request.GetDataPtr(), response));
    EXPECT_EQ(compression.GetImageCount(), 5);
    const std::string dir = OutputDir("compress");
    {
        QFile corrupt(QString::fromStdString(dir + "/2.jpg"));
        corrupt.remove();
        ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
        corrupt.write("\xff\xd8\xff\xe0 not really a picture");
    }
    int error = -1;
    ASSERT_TRUE(compression.StartPicConver(dir, "video", error));
    auto probe = TestSupport::ProbeVideo(dir + "/video.mp4");
    EXPECT_EQ(probe.frames, 4);
    EXPECT_EQ(probe.width, 200);
    EXPECT_EQ(probe.height, 100);
    EXPECT_TRUE(NoPictures(dir, 5));
    EXPECT_TRUE(PicturesPresent(source, 5)); // the originals were linked, not moved

    // Without "0.jpg" the video takes the default size; the others are scaled to it.
    ASSERT_TRUE(compression.DownLoadImage(*request.GetDataPtr(), response));
    QFile::remove(QString::fromStdString(dir + "/0.jpg"));
    ASSERT_TRUE(compression.StartPicConver(dir, "video", error));
    probe = TestSupport::ProbeVideo(dir + "/video.mp4");
    EXPECT_EQ(probe.width, 1280);
    EXPECT_EQ(probe.height, 720);
    EXPECT_EQ(probe.frames, 4);
}

TEST_F(Compression, StopBeforeFeedingKeepsThePictures)
{
    CDirectoryTimeLapseProvider::CameraPictures pictures;
    pictures.synthetic_width = 32;
    pictures.synthetic_height = 32;
    pictures.capture_interval = 300;
    provider_->SetCameraPictures("synthetic", pictures);
    CPictureCompressionVideo compression;
    auto request = CaptureRequest("compress-stop", "synthetic");
    TimeLapsePhotoReponseParam response;
    ASSERT_TRUE(compression.DownLoadImage(*request.GetDataPtr(), response));
    EXPECT_EQ(compression.GetImageCount(), 3);
    compression.SetStop(true);
    int error = -1;
    EXPECT_TRUE(compression.StartPicConver(OutputDir("compress-stop"), "video", error));
    EXPECT_TRUE(PicturesPresent(OutputDir("compress-stop"), 3));
    EXPECT_EQ(TestSupport::ProbeVideo(OutputDir("compress-stop") + "/video.mp4").frames, 0);
}
