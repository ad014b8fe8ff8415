#include "videoplayhelper/ImageDataTranscoding.h"
#include "Mp4Probe.h"
#include "TestSupport.h"
#include "mirelog/Log.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>

#include <atomic>
#include <vector>

using namespace tesk_videoplayhelper;

namespace {

QByteArray Jpeg(int width, int height, int index)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((index * 37) % 360, 200, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return bytes;
}

QString OutputDir(const char *name)
{
    const QString dir = TestSupport::ScratchDir() + "/transcode/" + name;
    QDir().mkpath(dir);
    return dir;
}

STREAM_INFO Mp4Stream()
{
    STREAM_INFO stream;
    stream.system_format = SYSTEM_FORMAT_MP4;
    return stream;
}

bool Feed(CImageDataTranscoding &transcoder, const QByteArray &bytes)
{
    const FRAME_INFO frame{1280, 720, 0, 0, 25, 0};
    int error = -1;
    return transcoder.FC_Start_Binary_MP4(bytes.constData(), bytes.size(), &frame, error);
}

struct SizeCase
{
    const char *name;
    uint16_t video_width;
    uint16_t video_height;
    std::vector<std::pair<int, int>> pictures;
    int expected_width;
    int expected_height;
};

class TranscodeSizes : public ::testing::TestWithParam<SizeCase>
{};

} // namespace

TEST_P(TranscodeSizes, EncodesEveryPictureAtTheVideoSize)
{
    const SizeCase &c = GetParam();
    const QString dir = OutputDir(c.name);
    CImageDataTranscoding transcoder;
    ASSERT_TRUE(transcoder.Init());
    int error = -1;
    ASSERT_TRUE(transcoder.StartConvert(dir.toStdString(), "video", Mp4Stream(),
                                        VIDEO_INFO{25.0f, c.video_width, c.video_height}, error));
    EXPECT_EQ(error, TRANSCODE_OK);
    for (size_t i = 0; i < c.pictures.size(); ++i)
        ASSERT_TRUE(
            Feed(transcoder, Jpeg(c.pictures[i].first, c.pictures[i].second, static_cast<int>(i))));
    ASSERT_TRUE(transcoder.StopConvert(error));
    EXPECT_EQ(transcoder.GetWholeFilePath(), (dir + "/video.mp4").toStdString());
    EXPECT_EQ(transcoder.EncodedFrames(), static_cast<int>(c.pictures.size()));

    const auto probe = TestSupport::ProbeVideo(transcoder.GetWholeFilePath());
    ASSERT_TRUE(probe.opened);
    EXPECT_NE(probe.format_name.find("mp4"), std::string::npos);
    EXPECT_EQ(probe.codec, AV_CODEC_ID_H264);
    EXPECT_EQ(probe.pixel_format, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(probe.width, c.expected_width);
    EXPECT_EQ(probe.height, c.expected_height);
    EXPECT_EQ(probe.frames, static_cast<int>(c.pictures.size()));
    EXPECT_NEAR(probe.frame_rate, 25.0, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, TranscodeSizes,
    ::testing::Values(
        SizeCase{"odd", 321, 241, {{321, 241}, {321, 241}}, 320, 240},
        SizeCase{"mixed", 320, 240, {{320, 240}, {640, 480}, {100, 50}, {320, 240}}, 320, 240},
        SizeCase{"many", 160, 120, std::vector<std::pair<int, int>>(60, {160, 120}), 160, 120}),
    [](const ::testing::TestParamInfo<SizeCase> &info) { return std::string(info.param.name); });

TEST(ImageDataTranscoding, SkipsPicturesThatCannotBeDecodedWithALogLine)
{
    std::atomic<int> skip_lines{0};
    const int listener = mirelog::AddListener([&](const mirelog::Record &record) {
        if (record.text.find("skipped: it cannot be decoded") != std::string::npos)
            ++skip_lines;
    });
    const QString dir = OutputDir("corrupt");
    CImageDataTranscoding transcoder;
    transcoder.Init();
    int error = -1;
    ASSERT_TRUE(transcoder.StartConvert(dir.toStdString(), "video", Mp4Stream(),
                                        VIDEO_INFO{25.0f, 320, 240}, error));
    const QByteArray good = Jpeg(320, 240, 1);
    QByteArray truncated = good.left(40);
    QByteArray garbage(4096, '\x5a');
    ASSERT_TRUE(Feed(transcoder, good));
    ASSERT_TRUE(Feed(transcoder, truncated));
    ASSERT_TRUE(Feed(transcoder, garbage));
    ASSERT_TRUE(Feed(transcoder, Jpeg(320, 240, 2)));
    ASSERT_TRUE(transcoder.StopConvert(error));
    mirelog::RemoveListener(listener);
    EXPECT_EQ(transcoder.SkippedPictures(), 2);
    EXPECT_EQ(skip_lines.load(), 2);
    EXPECT_EQ(TestSupport::ProbeVideo(transcoder.GetWholeFilePath()).frames, 2);
}

TEST(ImageDataTranscoding, RejectsCallsOutOfOrderAndUnsupportedStreams)
{
    CImageDataTranscoding transcoder;
    int error = 0;
    EXPECT_FALSE(transcoder.StartConvert(OutputDir("order").toStdString(), "v", Mp4Stream(),
                                         VIDEO_INFO{}, error));
    EXPECT_EQ(error, TRANSCODE_NOT_INITIALISED);
    transcoder.Init();
    EXPECT_FALSE(Feed(transcoder, Jpeg(16, 16, 0)));
    EXPECT_FALSE(transcoder.StopConvert(error));
    EXPECT_EQ(error, TRANSCODE_NOT_STARTED);

    STREAM_INFO ps; // the default system format is not an MP4 file
    EXPECT_FALSE(
        transcoder.StartConvert(OutputDir("order").toStdString(), "v", ps, VIDEO_INFO{}, error));
    EXPECT_EQ(error, TRANSCODE_UNSUPPORTED_FORMAT);
    EXPECT_FALSE(transcoder.StartConvert(OutputDir("order").toStdString(), "v", Mp4Stream(),
                                         VIDEO_INFO{0.0f, 320, 240}, error));
    EXPECT_EQ(error, TRANSCODE_BAD_PARAMETER);
    EXPECT_FALSE(transcoder.StartConvert("/proc/no-such-dir", "v", Mp4Stream(),
                                         VIDEO_INFO{25.0f, 64, 64}, error));
    EXPECT_EQ(error, TRANSCODE_OPEN_FILE_FAILED);
}
