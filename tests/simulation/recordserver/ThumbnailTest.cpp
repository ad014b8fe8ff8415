#include "SmallStore.h"

#include "doubles/ScriptedRecordingSource.h"
#include "playcontroller/TakeThumbnailController.h"
#include "recordserver/TimeStrip.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <condition_variable>
#include <mutex>
#include <set>

using namespace teskrecordserver;
using namespace teskplaycontroller;
using RecordServerTest::CameraOf;
using RecordServerTest::SmallOptions;
using RecordServerTest::SmallStore;
using RecordServerTest::SmallStorePtr;

namespace {

constexpr int kWaitMs = 30000;

// Lives on the test thread; the controller's answers reach it through a queued connection.
class Receiver : public QObject
{
public:
    explicit Receiver(CTakeThumbnailController &controller)
    {
        connect(
            &controller, &CTakeThumbnailController::signalTakeThumbnailState, this,
            [this](const ThumbnailKey &key, const ThumbnailResult &result) {
                answers.push_back({key, result});
            },
            Qt::QueuedConnection);
    }
    bool WaitFor(size_t count)
    {
        return QTest::qWaitFor([&] { return answers.size() >= count; }, kWaitMs);
    }
    std::vector<std::pair<ThumbnailKey, ThumbnailResult>> answers;
};

// Restores the recording source that was installed before the test.
class SourceScope
{
public:
    explicit SourceScope(std::shared_ptr<IRecordingSource> source)
        : previous_(CRecordingSourceRegistry::GetSource())
    {
        CRecordingSourceRegistry::SetSource(std::move(source));
    }
    ~SourceScope() { CRecordingSourceRegistry::SetSource(previous_); }

private:
    std::shared_ptr<IRecordingSource> previous_;
};

int DistinctColours(const QImage &image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

// A recording's picture at second t is the frame of that very second: its time strip reads t
// exactly (frames between whole seconds read the second they fall in).
TEST(DecodeFrame, InsideARecordingShowsItsOwnTimeOutsideFails)
{
    CRecordingServer &server = SmallStore();
    const CameraRow camera = server.Catalogue().Cameras()[0];
    const auto recordings =
        server.Catalogue().Recordings(camera.site_id, camera.id, 0, SmallOptions().anchor);
    ASSERT_GT(recordings.size(), 2u);
    ResourceKey key;
    key.site_id = camera.site_id;
    key.resource_id = camera.id;

    std::vector<QImage> pictures;
    // Seconds in one piece of media, across pieces, and the last second of the recording.
    const int64_t chunk = server.MediaCache().Options().chunk_seconds;
    for (const int64_t t : {recordings[1].begin + 3, recordings[1].begin + 5,
                            recordings[1].begin + 3 + chunk, recordings[1].end - 1}) {
        QImage picture;
        std::string error;
        ASSERT_TRUE(server.DecodeFrame(key, t, picture, error)) << error;
        EXPECT_EQ(picture.size(), QSize(320, 180));
        EXPECT_GT(DistinctColours(picture), 20);
        int64_t shown = -1;
        ASSERT_TRUE(ReadTimeStrip(picture, shown)) << t;
        EXPECT_EQ(shown, t);
        pictures.push_back(picture);
    }
    EXPECT_NE(pictures[0], pictures[1]) << "the content moves";
    EXPECT_NE(pictures[0], pictures[2]) << "no picture repeats a clip";

    for (const int64_t outside :
         {SmallOptions().anchor - 5 * 86400, SmallOptions().anchor + 60, recordings[1].end}) {
        QImage image;
        std::string error;
        EXPECT_FALSE(server.DecodeFrame(key, outside, image, error));
        EXPECT_FALSE(error.empty());
    }
}

// A truncated, overwritten or missing piece of media is written again, never served: in the
// server that wrote it and in one that opens the store afresh.
TEST(DecodeFrame, DamagedMediaIsWrittenAgainNotServed)
{
    auto options = SmallOptions(21);
    options.cameras = 3;
    const std::string dir = RecordServerTest::FreshDir("broken-media");
    CRecordingServer server;
    ASSERT_TRUE(server.Open(dir, options));
    const CameraRow camera = server.Catalogue().Cameras()[0];
    const RecordingRow recording =
        server.Catalogue().Recordings(camera.site_id, camera.id, 0, options.anchor).front();
    ResourceKey key;
    key.site_id = camera.site_id;
    key.resource_id = camera.id;
    const int64_t t = recording.begin + 2;
    const QString path =
        QString::fromStdString(server.MediaCache().PathOf(camera, server.MediaFormatOfStore(), t));

    auto shows = [&](CRecordingServer &at) {
        QImage image;
        std::string error;
        int64_t shown = -1;
        if (!at.DecodeFrame(key, t, image, error)) {
            ADD_FAILURE() << error;
            return false;
        }
        return ReadTimeStrip(image, shown) && shown == t;
    };
    EXPECT_FALSE(QFile::exists(path)) << "nothing is generated with the store";
    ASSERT_TRUE(shows(server));
    const qint64 size = QFileInfo(path).size();
    ASSERT_GT(size, 1000);
    EXPECT_EQ(server.MediaCache().Generated(), 1);

    ASSERT_TRUE(QFile::resize(path, size / 2));
    EXPECT_TRUE(shows(server));
    EXPECT_EQ(QFileInfo(path).size(), size);
    EXPECT_EQ(server.MediaCache().Generated(), 2);

    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(size / 2));
        file.write(QByteArray(64, '\x17'));
    }
    EXPECT_TRUE(shows(server));
    EXPECT_EQ(server.MediaCache().Generated(), 3);

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(shows(server));
    EXPECT_EQ(server.MediaCache().Generated(), 4);

    // Intact media is served again without being written.
    EXPECT_TRUE(shows(server));
    EXPECT_EQ(server.MediaCache().Generated(), 4);
    CRecordingServer reopened;
    ASSERT_TRUE(reopened.Open(dir, options));
    EXPECT_TRUE(shows(reopened));
    EXPECT_EQ(reopened.MediaCache().Generated(), 0);
    ASSERT_TRUE(QFile::resize(path, size - 1));
    EXPECT_TRUE(shows(reopened));
    EXPECT_EQ(reopened.MediaCache().Generated(), 1);
}

TEST(TakeThumbnailController, AnswersEveryTimeOnceWithAPictureOrAFailure)
{
    SourceScope scope(SmallStorePtr());
    CRecordingServer &server = SmallStore();
    const CameraRow camera = server.Catalogue().Cameras()[0];
    const auto recordings =
        server.Catalogue().Recordings(camera.site_id, camera.id, 0, SmallOptions().anchor);
    ASSERT_GT(recordings.size(), 3u);
    const std::vector<int64_t> times = {recordings[2].begin + 1, SmallOptions().anchor - 9 * 86400,
                                        recordings[3].begin + 4};

    CTakeThumbnailController controller;
    Receiver receiver(controller);
    ASSERT_TRUE(controller.TakeThumbnailByTime(CameraOf(camera), times));
    ASSERT_TRUE(receiver.WaitFor(times.size()));
    // A later request is answered after every earlier one: nothing more arrives for the first.
    ASSERT_TRUE(controller.TakeThumbnailByTime(CameraOf(camera), {recordings[1].begin}));
    ASSERT_TRUE(receiver.WaitFor(times.size() + 1));
    QCoreApplication::processEvents();
    ASSERT_EQ(receiver.answers.size(), times.size() + 1);

    for (size_t i = 0; i < times.size(); ++i) {
        const auto &[key, result] = receiver.answers[i];
        EXPECT_EQ(key.time, times[i]);
        EXPECT_EQ(key.camera_id, camera.id);
        EXPECT_EQ(key.site_id, camera.site_id);
        const bool inside = i != 1;
        EXPECT_EQ(result.success, inside) << result.error;
        EXPECT_EQ(result.image.isNull(), !inside);
        if (inside) {
            EXPECT_EQ(result.image.size(), QSize(320, 180));
            // The thumbnail shows its own moment.
            int64_t shown = -1;
            EXPECT_TRUE(ReadTimeStrip(result.image, shown));
            EXPECT_EQ(shown, times[i]);
        } else {
            EXPECT_FALSE(result.error.empty());
        }
    }
}

TEST(TakeThumbnailController, RefusesWithoutCameraTimesOrSource)
{
    CTakeThumbnailController controller;
    auto camera = std::make_shared<CCameraForPlay>("S001", "S001-C001");
    {
        SourceScope scope(SmallStorePtr());
        EXPECT_FALSE(controller.TakeThumbnailByTime(nullptr, {1}));
        EXPECT_FALSE(controller.TakeThumbnailByTime(camera, {}));
    }
    SourceScope none(nullptr);
    EXPECT_FALSE(controller.TakeThumbnailByTime(camera, {1}));
}

// Decodes only when the test lets it, so that the test knows what is in flight.
class GateSource : public CScriptedRecordingSource
{
public:
    bool DecodeFrame(const ResourceKey &, int64_t t, QImage &out, std::string &) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        started_.push_back(t);
        opened_.wait(lock, [&] { return open_ > 0; });
        --open_;
        out = QImage(8, 8, QImage::Format_RGB888);
        out.fill(Qt::red);
        return true;
    }
    void Release(int count = 1)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            open_ += count;
        }
        opened_.notify_all();
    }
    size_t Started()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return started_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    std::vector<int64_t> started_;
    int open_ = 0;
};

TEST(TakeThumbnailController, ClearDropsQueuedAndStopDropsInFlight)
{
    auto gate = std::make_shared<GateSource>();
    SourceScope scope(gate);
    auto camera = std::make_shared<CCameraForPlay>("S001", "S001-C001");
    CTakeThumbnailController controller;
    Receiver receiver(controller);

    // Clear: the first time is in flight, the two behind it are dropped.
    ASSERT_TRUE(controller.TakeThumbnailByTime(camera, {1, 2, 3}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->Started() == 1; }, kWaitMs));
    controller.Clear();
    gate->Release();
    ASSERT_TRUE(receiver.WaitFor(1));
    EXPECT_EQ(receiver.answers[0].first.time, 1);

    // Stop: the time in flight gets no answer; the next request is served normally.
    ASSERT_TRUE(controller.TakeThumbnailByTime(camera, {4}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->Started() == 2; }, kWaitMs));
    controller.StopTakeThumbnail();
    gate->Release();
    ASSERT_TRUE(controller.TakeThumbnailByTime(camera, {5}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->Started() == 3; }, kWaitMs));
    gate->Release();
    ASSERT_TRUE(receiver.WaitFor(2));
    QCoreApplication::processEvents();
    ASSERT_EQ(receiver.answers.size(), 2u);
    EXPECT_EQ(receiver.answers[1].first.time, 5);
    EXPECT_TRUE(receiver.answers[1].second.success);
}

TEST(TakeThumbnailController, DestructionWaitsForTheDecodeInFlight)
{
    auto gate = std::make_shared<GateSource>();
    SourceScope scope(gate);
    auto camera = std::make_shared<CCameraForPlay>("S001", "S001-C001");
    auto controller = std::make_unique<CTakeThumbnailController>();
    Receiver receiver(*controller);
    ASSERT_TRUE(controller->TakeThumbnailByTime(camera, {1, 2}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->Started() == 1; }, kWaitMs));
    // Enough passes for whatever the worker still starts before it sees the end.
    gate->Release(2);
    controller.reset();
    QCoreApplication::processEvents();
    EXPECT_LE(receiver.answers.size(), 2u);
}

} // namespace
