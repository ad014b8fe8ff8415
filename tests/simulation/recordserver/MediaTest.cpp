#include "SmallStore.h"

#include "recordserver/MediaCache.h"
#include "recordserver/MediaCodec.h"
#include "recordserver/TimeStrip.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <thread>

using namespace teskrecordserver;

namespace {

constexpr int64_t kSpringSwitch = 1774746000; // 2026-03-29T01:00:00Z

// A busy picture: a gradient with shapes, so that the strip is read from a real background.
QImage Busy(const QSize &size, int seed)
{
    QImage image(size, QImage::Format_RGB888);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor::fromHsv(seed * 37 % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv(seed * 91 % 360, 180, 40));
    painter.fillRect(image.rect(), gradient);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPoint(size.width() / 3, size.height() - 10), 40, 40);
    return image;
}

QImage Scaled(const QImage &image, const QSize &size)
{
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

TEST(TimeStrip, ReadsBackWhatWasDrawnAlsoScaledDown)
{
    int seed = 0;
    for (const int64_t second :
         {int64_t(0), int64_t(1), kSpringSwitch, kSpringSwitch + 86399, TimeStrip::kMaxSeconds}) {
        QImage picture = Busy(QSize(320, 180), ++seed);
        ASSERT_TRUE(DrawTimeStrip(picture, second));
        for (const QSize &size :
             {QSize(320, 180), QSize(640, 360), QSize(160, 90), QSize(96, 54), QSize(120, 90)}) {
            int64_t read = -1;
            ASSERT_TRUE(ReadTimeStrip(Scaled(picture, size), read))
                << second << " at " << size.width();
            EXPECT_EQ(read, second);
        }
    }

    QImage out_of_range = Busy(QSize(320, 180), 2);
    EXPECT_FALSE(DrawTimeStrip(out_of_range, -1));
    EXPECT_FALSE(DrawTimeStrip(out_of_range, TimeStrip::kMaxSeconds + 1));
    QImage tiny(40, 20, QImage::Format_RGB888);
    EXPECT_FALSE(DrawTimeStrip(tiny, 5));
}

TEST(TimeStrip, AMisreadIsReportedNotGuessed)
{
    int64_t read = -1;
    for (int seed = 1; seed < 6; ++seed)
        EXPECT_FALSE(ReadTimeStrip(Busy(QSize(320, 180), seed), read)) << "no strip";
    EXPECT_FALSE(ReadTimeStrip(QImage(), read));
    QImage black(320, 180, QImage::Format_RGB888);
    black.fill(Qt::black);
    EXPECT_FALSE(ReadTimeStrip(black, read));

    QImage picture = Busy(QSize(320, 180), 3);
    ASSERT_TRUE(DrawTimeStrip(picture, kSpringSwitch));
    // Each data block in turn painted the other colour: the check catches every single flip.
    const QRectF band = TimeStripArea(picture.size());
    const double w = band.width() / TimeStrip::kColumns;
    const double h = band.height() / TimeStrip::kRows;
    for (int row = 0; row < TimeStrip::kRows; ++row) {
        for (int column = 0; column < TimeStrip::kColumns; ++column) {
            QImage flipped = picture;
            const QPoint centre((column + 0.5) * w, band.top() + (row + 0.5) * h);
            const bool white = qGray(flipped.pixel(centre)) > 128;
            QPainter painter(&flipped);
            painter.fillRect(QRectF(column * w, band.top() + row * h, w, h),
                             white ? Qt::black : Qt::white);
            painter.end();
            EXPECT_FALSE(ReadTimeStrip(flipped, read)) << row << "," << column;
        }
    }
    // Blocks washed towards grey, or scaled below a pixel each, read as nothing.
    QImage washed = picture;
    QPainter wash(&washed);
    wash.fillRect(band, QColor(128, 128, 128, 204));
    wash.end();
    EXPECT_FALSE(ReadTimeStrip(washed, read));
    EXPECT_FALSE(ReadTimeStrip(Scaled(Scaled(picture, QSize(13, 40)), QSize(320, 180)), read));
}

// Frames encoded as H.264 and decoded again read their second, full size and scaled down.
TEST(TimeStrip, SurvivesEncodingAndDecoding)
{
    TimedClipParams clip;
    clip.begin = kSpringSwitch - 2; // across the daylight-saving switch of Central Europe
    clip.seconds = 4;
    clip.fps = 5;
    clip.gop = 10;
    clip.label = "Entrance";
    clip.zone = {3600, true, 3600, {3, 5, 0, 2}, {10, 5, 0, 2}};
    const std::string path = RecordServerTest::FreshDir("strip") + ".mp4";
    ASSERT_TRUE(WriteTimedClip(path, clip));
    for (const double offset : {0.0, 0.4, 1.0, 2.6, 3.8}) {
        QImage frame;
        std::string error;
        ASSERT_TRUE(DecodeFrameAt(path, offset, frame, error)) << error;
        const int64_t expected = clip.begin + static_cast<int64_t>(offset);
        for (const QSize &size : {frame.size(), QSize(160, 90), QSize(80, 45)}) {
            int64_t read = -1;
            ASSERT_TRUE(ReadTimeStrip(Scaled(frame, size), read)) << offset << " " << size.width();
            EXPECT_EQ(read, expected) << offset;
        }
    }
}

CameraRow Camera(const std::string &id)
{
    CameraRow camera;
    camera.key = 1;
    camera.site_id = "S001";
    camera.id = id;
    camera.name = "Camera " + id;
    return camera;
}

MediaFormat SmallFormat()
{
    MediaFormat format;
    format.width = 160;
    format.height = 96;
    format.fps = 4;
    return format;
}

TEST(MediaCache, RemovesTheLeastRecentlyUsedPastItsBound)
{
    MediaCacheOptions options;
    options.chunk_seconds = 4;
    CMediaCache cache(RecordServerTest::FreshDir("cache-bound"), options);
    const CameraRow camera = Camera("C1");
    std::string error;
    const auto path = [&](int piece) {
        return QString::fromStdString(
            cache.PathOf(camera, SmallFormat(), kSpringSwitch + 4 * piece));
    };
    const auto acquire = [&](int piece) {
        CMediaLease lease;
        EXPECT_TRUE(
            cache.Acquire(camera, SmallFormat(), kSpringSwitch + 4 * piece + 1, lease, error))
            << error;
        EXPECT_EQ(lease.Begin(), kSpringSwitch + 4 * piece);
        EXPECT_EQ(lease.OffsetOf(kSpringSwitch + 4 * piece + 1), 1.0);
        EXPECT_EQ(QString::fromStdString(lease.Path()), path(piece));
    };
    acquire(0);
    const int64_t one = cache.BytesOnDisk();
    ASSERT_GT(one, 0);
    cache.SetMaxBytes(one * 5 / 2); // room for two pieces
    acquire(1);
    acquire(0); // used again: piece 1 is now the least recently used
    acquire(2);
    EXPECT_TRUE(QFile::exists(path(0)));
    EXPECT_FALSE(QFile::exists(path(1)));
    EXPECT_TRUE(QFile::exists(path(2)));
    EXPECT_LE(cache.BytesOnDisk(), one * 5 / 2);
    EXPECT_EQ(cache.Generated(), 3);

    // A piece in use stays, even past the bound; once released it goes.
    {
        CMediaLease held;
        ASSERT_TRUE(cache.Acquire(camera, SmallFormat(), kSpringSwitch + 12, held, error)) << error;
        cache.SetMaxBytes(1);
        EXPECT_TRUE(QFile::exists(QString::fromStdString(held.Path())));
        EXPECT_FALSE(QFile::exists(path(0)));
    }
    // What the cache did not write stays.
    const QString foreign = QString::fromStdString(cache.Root()) + "/S001/C1/mine.mp4";
    {
        QFile file(foreign);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(100000, 'x'));
    }
    cache.SetMaxBytes(1);
    EXPECT_EQ(cache.BytesOnDisk(), 0);
    EXPECT_TRUE(QFile::exists(foreign));
}

TEST(MediaCache, SimultaneousFirstRequestsWriteThePieceOnce)
{
    MediaCacheOptions options;
    options.chunk_seconds = 6;
    CMediaCache cache(RecordServerTest::FreshDir("cache-race"), options);
    const CameraRow camera = Camera("C2");
    constexpr int kThreads = 6;
    std::vector<CMediaLease> leases(kThreads);
    std::vector<std::string> errors(kThreads);
    // One byte per thread: std::vector<bool> packs the flags into words the threads share.
    std::vector<char> ok(kThreads, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            ok[i] =
                cache.Acquire(camera, SmallFormat(), kSpringSwitch + i % 6, leases[i], errors[i]);
        });
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(cache.Generated(), 1);
    for (int i = 0; i < kThreads; ++i) {
        ASSERT_TRUE(ok[i]) << errors[i];
        EXPECT_EQ(leases[i].Path(), leases[0].Path());
        QImage frame;
        std::string error;
        ASSERT_TRUE(DecodeFrameAt(leases[i].Path(), leases[i].OffsetOf(kSpringSwitch + i % 6),
                                  frame, error))
            << error;
        int64_t read = -1;
        ASSERT_TRUE(ReadTimeStrip(frame, read));
        EXPECT_EQ(read, kSpringSwitch + i % 6);
    }
    // Different cameras, formats and times are different pieces.
    EXPECT_NE(cache.PathOf(camera, SmallFormat(), kSpringSwitch),
              cache.PathOf(Camera("C3"), SmallFormat(), kSpringSwitch));
    EXPECT_NE(cache.PathOf(camera, SmallFormat(), kSpringSwitch),
              cache.PathOf(camera, MediaFormat(), kSpringSwitch));
    EXPECT_NE(cache.PathOf(camera, SmallFormat(), kSpringSwitch),
              cache.PathOf(camera, SmallFormat(), kSpringSwitch + 6));
}

// A player starts on a short lead piece while the whole piece is written on the cache's thread.
TEST(MediaCache, LeadPiecesShowTheirSecondsWhileTheWholePieceIsWrittenOnce)
{
    MediaCacheOptions options;
    options.chunk_seconds = 5;
    options.lead_seconds = 2;
    CMediaCache cache(RecordServerTest::FreshDir("cache-lead"), options);
    const CameraRow camera = Camera("C4");
    const auto strip_at = [](const CMediaLease &lease, double utc) {
        QImage frame;
        std::string error;
        int64_t read = -1;
        EXPECT_TRUE(DecodeFrameAt(lease.Path(), lease.OffsetOf(utc), frame, error)) << error;
        EXPECT_TRUE(ReadTimeStrip(frame, read)) << utc;
        return read;
    };
    const int64_t piece = kSpringSwitch - kSpringSwitch % 5;
    EXPECT_FALSE(cache.IsReady(camera, SmallFormat(), piece + 3));

    std::string error;
    CMediaLease lead;
    ASSERT_TRUE(cache.AcquireLead(camera, SmallFormat(), piece + 3, lead, error)) << error;
    EXPECT_EQ(lead.Begin(), piece + 2);
    EXPECT_EQ(lead.Seconds(), 2);
    EXPECT_NE(lead.Path(), cache.PathOf(camera, SmallFormat(), piece + 3));
    EXPECT_EQ(strip_at(lead, piece + 2), piece + 2);
    EXPECT_EQ(strip_at(lead, piece + 3.5), piece + 3);
    // The last lead stops where the whole piece does.
    CMediaLease last;
    ASSERT_TRUE(cache.AcquireLead(camera, SmallFormat(), piece + 4, last, error)) << error;
    EXPECT_EQ(last.Begin(), piece + 4);
    EXPECT_EQ(last.Seconds(), 1);
    EXPECT_FALSE(cache.IsReady(camera, SmallFormat(), piece));

    // Asked twice and acquired meanwhile, the whole piece is written once.
    cache.Prefetch(camera, SmallFormat(), piece + 3);
    cache.Prefetch(camera, SmallFormat(), piece + 1);
    CMediaLease whole;
    ASSERT_TRUE(cache.Acquire(camera, SmallFormat(), piece + 1, whole, error)) << error;
    cache.WaitForPrefetches();
    EXPECT_EQ(cache.Generated(), 3);
    EXPECT_TRUE(cache.IsReady(camera, SmallFormat(), piece + 4));
    EXPECT_EQ(whole.Seconds(), 5);
    EXPECT_EQ(strip_at(whole, piece + 3.5), piece + 3);

    // Damaged, it is no longer ready; a prefetch writes it again.
    {
        QFile file(QString::fromStdString(whole.Path()));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.resize(file.size() / 2);
    }
    EXPECT_FALSE(cache.IsReady(camera, SmallFormat(), piece));
    cache.Prefetch(camera, SmallFormat(), piece);
    cache.WaitForPrefetches();
    EXPECT_TRUE(cache.IsReady(camera, SmallFormat(), piece));
    EXPECT_EQ(cache.Generated(), 4);
}

} // namespace
