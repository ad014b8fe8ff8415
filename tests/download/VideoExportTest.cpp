#include "download/VideoExport.h"
#include "WaitFor.h"
#include "download/DirectDownload.h"
#include "download/VideoDownloadList.h"

#include "DownloadTestSupport.h"

#include "recordserver/TimeStrip.h"
#include "uidatacontroller/DownloadFrameForVideoSearch.h"
#include "uidatacontroller/VideoListFram.h"

#include "StoreSearch.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}
#include <zip.h>

#include <algorithm>
#include <csignal>
#include <sys/resource.h>

using namespace TeskVideoSearch;
using DownloadTest::Camera;
using DownloadTest::Record;

namespace {

constexpr double kKeyFrameInterval = 2.0; // the sample clips' GOP: two seconds

teskrecordserver::CRecordingServer &Store()
{
    static const auto server = [] {
        // The messages are checked in English.
        static QTranslator english;
        EXPECT_TRUE(english.load("TeskVideoSearch_en", TVS_QM_DIR));
        QCoreApplication::installTranslator(&english);
        return StoreSearch::InstallStore(
            "store", StoreSearch::DayOptions(
                         7, 1, 2, Quor::Base::TimeUtil::DaysFromCivil(2026, 11, 20) * 86400));
    }();
    return *server;
}

struct Spans
{
    std::shared_ptr<teskplaycontroller::CCameraForPlay> camera;
    std::vector<std::pair<int64_t, int64_t>> spans;
};

// Two spans of 20 and 30 seconds inside two recordings of the first camera.
Spans TwoResults()
{
    auto &store = Store();
    const auto cameras = store.Catalogue().Cameras();
    const auto &row = cameras.front();
    const auto recordings = store.Catalogue().Recordings(row.site_id, row.id, 0, INT64_MAX);
    Spans out;
    out.camera = Camera(row.site_id, row.id, row.area_name, row.name);
    for (const auto &recording : recordings) {
        const int64_t length = out.spans.empty() ? 20 : 30;
        if (recording.end - recording.begin > length + 20)
            out.spans.push_back({recording.begin + 7, recording.begin + 7 + length});
        if (out.spans.size() == 2)
            break;
    }
    EXPECT_EQ(out.spans.size(), 2u);
    return out;
}

QString FreshDir(const QString &name)
{
    const QString dir = TestSupport::ScratchDir() + "/" + name;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}

QStringList Entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                               QDir::Name);
}

QVector<CVideoDownloadInfo> Records(const Spans &spans, const QString &dir, bool merged = false,
                                    const QString &password = {})
{
    CVideoDownloadInfo record = Record(spans.camera, spans.spans);
    record.SetVal_download_path(dir);
    record.SetVal_is_merged(merged);
    record.SetVal_pass_word(password);
    record.GetDataPtr()->qvc_custom_file_name = {"first", "second"};
    return {record};
}

// The duration FFmpeg reads from a file, or -1 when it cannot open it.
double Duration(const QString &path)
{
    AVFormatContext *context = nullptr;
    if (avformat_open_input(&context, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return -1;
    double seconds = -1;
    if (avformat_find_stream_info(context, nullptr) >= 0 && context->duration > 0)
        seconds = double(context->duration) / AV_TIME_BASE;
    avformat_close_input(&context);
    return seconds;
}

void ExpectSpanDuration(const QString &path, double span)
{
    const double seconds = Duration(path);
    EXPECT_GE(seconds, span - 0.5) << path.toStdString();
    EXPECT_LE(seconds, span + kKeyFrameInterval + 0.5) << path.toStdString();
}

// The second each picture of a file shows in its time strip, in display order; -1 for a
// picture whose strip does not read. Empty when the file cannot be decoded.
std::vector<int64_t> StripSeconds(const QString &path)
{
    std::vector<int64_t> seconds;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return seconds;
    const int stream = avformat_find_stream_info(format, nullptr) < 0
                           ? -1
                           : av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVCodec *codec =
        stream < 0 ? nullptr : avcodec_find_decoder(format->streams[stream]->codecpar->codec_id);
    AVCodecContext *context = codec ? avcodec_alloc_context3(codec) : nullptr;
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    SwsContext *scale = nullptr;
    const auto drain = [&] {
        while (avcodec_receive_frame(context, frame) == 0) {
            scale = sws_getCachedContext(scale, frame->width, frame->height,
                                         static_cast<AVPixelFormat>(frame->format), frame->width,
                                         frame->height, AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr,
                                         nullptr, nullptr);
            QImage image(frame->width, frame->height, QImage::Format_RGB32);
            uint8_t *planes[1] = {image.bits()};
            const int strides[1] = {static_cast<int>(image.bytesPerLine())};
            sws_scale(scale, frame->data, frame->linesize, 0, frame->height, planes, strides);
            int64_t second = -1;
            seconds.push_back(teskrecordserver::ReadTimeStrip(image, second) ? second : -1);
        }
    };
    if (context && avcodec_parameters_to_context(context, format->streams[stream]->codecpar) >= 0 &&
        avcodec_open2(context, codec, nullptr) >= 0) {
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == stream && avcodec_send_packet(context, packet) >= 0)
                drain();
            av_packet_unref(packet);
        }
        avcodec_send_packet(context, nullptr);
        drain();
    }
    sws_freeContext(scale);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
    avformat_close_input(&format);
    return seconds;
}

// The pictures of an exported file run from the span's begin (or the key frame before it) to
// its last second, in order, each with a readable strip.
void ExpectPicturesOfSpan(const QString &path, int64_t begin, int64_t end)
{
    const std::vector<int64_t> seconds = StripSeconds(path);
    ASSERT_FALSE(seconds.empty()) << path.toStdString();
    EXPECT_EQ(std::count(seconds.begin(), seconds.end(), -1), 0) << path.toStdString();
    EXPECT_TRUE(std::is_sorted(seconds.begin(), seconds.end())) << path.toStdString();
    EXPECT_LE(seconds.front(), begin) << path.toStdString();
    EXPECT_GE(seconds.front(), begin - static_cast<int64_t>(kKeyFrameInterval))
        << path.toStdString();
    EXPECT_EQ(seconds.back(), end - 1) << path.toStdString();
}

} // namespace

TEST(VideoExport, OneMp4PerResultLastingItsSpan)
{
    const Spans spans = TwoResults();
    const QString dir = FreshDir("per-result");
    std::vector<double> shares;
    const VideoExportResult result =
        CVideoExporter::Export(Records(spans, dir), [&](double share, const QString &) {
            shares.push_back(share);
            return true;
        });
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(Entries(dir), (QStringList{"first.mp4", "second.mp4"}));
    ExpectSpanDuration(dir + "/first.mp4", 20);
    ExpectSpanDuration(dir + "/second.mp4", 30);
    ExpectPicturesOfSpan(dir + "/first.mp4", spans.spans[0].first, spans.spans[0].second);
    ExpectPicturesOfSpan(dir + "/second.mp4", spans.spans[1].first, spans.spans[1].second);
    ASSERT_FALSE(shares.empty());
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
    EXPECT_DOUBLE_EQ(shares.back(), 1.0);
}

TEST(VideoExport, MergedRecordIsOneFileOfAllSpans)
{
    const Spans spans = TwoResults();
    const QString dir = FreshDir("merged");
    const VideoExportResult result = CVideoExporter::Export(Records(spans, dir, true), {});
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(Entries(dir), QStringList{"first.mp4"});
    ExpectSpanDuration(dir + "/first.mp4", 50);
    // The two spans follow each other: from the first's begin to the second's end, in order.
    ExpectPicturesOfSpan(dir + "/first.mp4", spans.spans[0].first, spans.spans[1].second);
}

TEST(VideoExport, PasswordGivesAnEncryptedArchiveOnly)
{
    const Spans spans = TwoResults();
    const QString dir = FreshDir("encrypted");
    const VideoExportResult result =
        CVideoExporter::Export(Records(spans, dir, false, "s3cret pass"), {});
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(Entries(dir), QStringList{"first.zip"});

    int code = 0;
    zip_t *archive = zip_open((dir + "/first.zip").toUtf8().constData(), ZIP_RDONLY, &code);
    ASSERT_NE(archive, nullptr);
    ASSERT_EQ(zip_get_num_entries(archive, 0), 2);
    EXPECT_STREQ(zip_get_name(archive, 0, 0), "first.mp4");
    EXPECT_EQ(zip_fopen_index(archive, 0, 0), nullptr); // no password
    EXPECT_EQ(zip_fopen_index_encrypted(archive, 0, 0, "wrong"), nullptr);
    zip_file_t *entry = zip_fopen_index_encrypted(archive, 0, 0, "s3cret pass");
    ASSERT_NE(entry, nullptr);
    QByteArray content;
    char buffer[65536];
    zip_int64_t got = 0;
    while ((got = zip_fread(entry, buffer, sizeof buffer)) > 0)
        content.append(buffer, static_cast<int>(got));
    zip_fclose(entry);
    zip_close(archive);
    EXPECT_EQ(content.mid(4, 4), "ftyp");
    // What was inside opens as a recording of its span.
    const QString extracted = FreshDir("extracted") + "/first.mp4";
    QFile file(extracted);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    ExpectSpanDuration(extracted, 20);
}

TEST(VideoExport, FailuresLeaveNothingBehindAndSayWhy)
{
    const Spans spans = TwoResults();
    struct Case
    {
        const char *name;
        std::function<QVector<CVideoDownloadInfo>(const QString &dir)> records;
        const char *message_part;
    };
    const std::vector<Case> cases = {
        {"unwritable folder",
         [&](const QString &dir) {
             QFile blocker(dir + "/file");
             blocker.open(QIODevice::WriteOnly);
             return Records(spans, dir + "/file/sub");
         },
         "cannot be written"},
        {"invalid name",
         [&](const QString &dir) {
             auto records = Records(spans, dir);
             records[0].GetDataPtr()->qvc_custom_file_name[1] = "a/b";
             return records;
         },
         "not valid"},
        {"no recording",
         [&](const QString &dir) {
             Spans none = spans;
             none.spans[1] = {1000, 1060}; // 1970: nothing recorded
             return Records(none, dir);
         },
         "No recording"},
        {"unknown camera",
         [&](const QString &dir) {
             Spans none = spans;
             none.camera = Camera("S9", "nobody", "A", "B");
             return Records(none, dir);
         },
         "No recording"},
    };
    for (const Case &test : cases) {
        const QString dir = FreshDir("failure");
        const VideoExportResult result = CVideoExporter::Export(test.records(dir), {});
        EXPECT_FALSE(result.ok) << test.name;
        EXPECT_TRUE(result.message.contains(test.message_part))
            << test.name << ": " << result.message.toStdString();
        const QStringList left = Entries(dir);
        EXPECT_TRUE(left.isEmpty() || left == QStringList{"file"})
            << test.name << ": " << left.join(",").toStdString();
    }
}

TEST(VideoExport, ExistingFilesAreNeverReplaced)
{
    const Spans spans = TwoResults();
    for (const QString &password : {QString(), QString("pw")}) {
        const QString dir = FreshDir("existing");
        const QString taken = dir + (password.isEmpty() ? "/second.mp4" : "/first.zip");
        QFile file(taken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        const VideoExportResult result =
            CVideoExporter::Export(Records(spans, dir, false, password), {});
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.message.contains("already exists")) << result.message.toStdString();
        EXPECT_EQ(Entries(dir), QStringList{QFileInfo(taken).fileName()});
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "keep me");
        file.close();
    }
}

TEST(VideoExport, MediaThatCannotBeHadFailsCleanly)
{
    const Spans spans = TwoResults();
    auto &store = Store();
    // The media cache's folder replaced by a file: no media can be read or made.
    const QString cache = QString::fromStdString(
        store.StorePath(teskrecordserver::CRecordingServer::kMediaCacheFolder));
    QDir().mkpath(cache);
    ASSERT_TRUE(QDir().rename(cache, cache + ".away"));
    QFile blocker(cache);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString dir = FreshDir("missing-media");
    const VideoExportResult result = CVideoExporter::Export(Records(spans, dir), {});
    QFile::remove(cache);
    ASSERT_TRUE(QDir().rename(cache + ".away", cache));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.message.contains("could not be exported")) << result.message.toStdString();
    EXPECT_TRUE(Entries(dir).isEmpty()) << Entries(dir).join(",").toStdString();
}

TEST(VideoExport, FullDiskAndCancelLeaveNothing)
{
    const Spans spans = TwoResults();
    {
        // A file size limit fails writes as a full disk does.
        const QString dir = FreshDir("full");
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 16 * 1024;
        setrlimit(RLIMIT_FSIZE, &small);
        const VideoExportResult result = CVideoExporter::Export(Records(spans, dir), {});
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.message.contains("could not be exported"))
            << result.message.toStdString();
        EXPECT_TRUE(Entries(dir).isEmpty()) << Entries(dir).join(",").toStdString();
    }
    for (const QString &password : {QString(), QString("pw")}) {
        const QString dir = FreshDir("cancel");
        int calls = 0;
        const VideoExportResult result =
            CVideoExporter::Export(Records(spans, dir, false, password),
                                   [&](double, const QString &) { return ++calls < 3; });
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.message.contains("cancelled")) << result.message.toStdString();
        EXPECT_TRUE(Entries(dir).isEmpty()) << Entries(dir).join(",").toStdString();
    }
}

TEST(VideoExport, SidePanelDownloadWritesTheListedNames)
{
    const Spans spans = TwoResults();
    const QString dir = FreshDir("panel");
    tesk_ui_data_controller::CDownloadFrameForVideoSearch frame;
    CVideoExportController controller(&frame);
    frame.resize(520, 600);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CVideoDownloadInfo record = Record(
        spans.camera, spans.spans,
        {"2026/11/19 00:10:55 - 2026/11/19 00:11:15", "2026/11/19 01:00:00 - 2026/11/19 01:00:30"});
    ShowDownloadList(&frame, {record}, {});
    auto *model = frame.GetVideoListFram()->GetDataModel();
    ASSERT_TRUE(model->setData(model->index(1, 0), "evening gate"));
    frame.findChild<QLineEdit *>("ptr_save_path_edit_")->setText(dir);

    bool finished = false;
    QObject receiver;
    QObject::connect(
        controller.GetTask(), &CVideoExportTask::SignalFinished, &receiver,
        [&] { finished = true; }, Qt::QueuedConnection);
    auto *download = frame.findChild<QPushButton *>("ptr_download_btn_");
    QTest::mouseClick(download, Qt::LeftButton);
    EXPECT_FALSE(download->isEnabled());
    TVS_WAIT_TRUE(finished, 60000);
    TVS_WAIT_TRUE(download->isEnabled(), 10000);
    const QString first = model->index(0, 0).data().toString() + ".mp4";
    EXPECT_EQ(Entries(dir), (QStringList{first, "evening gate.mp4"}));
    auto *message = frame.findChild<QLabel *>("ptr_message_label_");
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->isVisible());
    TestSupport::SaveShot(&frame, "list-download-done.png");

    // The same again: the names are taken, so nothing is written and the panel says why.
    finished = false;
    QTest::mouseClick(download, Qt::LeftButton);
    TVS_WAIT_TRUE(finished, 60000);
    TVS_WAIT_TRUE(frame.findChild<QLabel *>("ptr_message_error_label_") != nullptr, 10000);
    EXPECT_EQ(Entries(dir).size(), 2);
    TestSupport::SaveShot(&frame, "list-download-error.png");
}

TEST(DirectDownload, RequestEntriesFollowTheRangeTextsAndTheServiceWritesThem)
{
    const Spans spans = TwoResults();
    const auto local = [](int64_t t) {
        return QDateTime::fromSecsSinceEpoch(t).toString("yyyy/MM/dd HH:mm:ss").toStdString();
    };
    const auto &[begin, end] = spans.spans[0];
    CVideoDownloadInfo record = Record(spans.camera, {spans.spans[0], spans.spans[1]},
                                       {local(begin) + " - " + local(end), "not a range"});
    CVideoDownloadInfo without_camera = record;
    without_camera = CVideoDownloadInfo(record.GetData());
    without_camera.SetVal_ptr_camera_for_play(nullptr);
    const QString dir = FreshDir("direct");
    const auto request = BuildDirectDownloadRequest({record, without_camera}, dir.toStdString());
    ASSERT_EQ(request.files.size(), 2u);
    EXPECT_EQ(request.files[0].begin_time, begin);
    EXPECT_EQ(request.files[0].end_time, end);
    EXPECT_EQ(request.files[1].begin_time, 0);
    EXPECT_EQ(request.files[1].end_time, 0);
    for (const auto &file : request.files) {
        EXPECT_EQ(file.camera_id, spans.camera->GetCameraID());
        EXPECT_EQ(QString::fromStdString(file.target_path).section('/', 0, -2), dir + "/Video");
        EXPECT_TRUE(QString::fromStdString(file.target_path)
                        .section('/', -1)
                        .contains(QRegularExpression("^Video_\\d{14}$")));
    }

    // The first entry alone is written; the second's empty span is refused with a reason.
    play_plugin_protocol::ErrorResultInfo error;
    auto first = request;
    first.files.resize(1);
    ASSERT_TRUE(OrlPluginManager::CPlaybackBusinessInterfaceMgr::Instance().DownloadRecordFiles(
        first, error))
        << error.error_text;
    ExpectSpanDuration(QString::fromStdString(first.files[0].target_path) + ".mp4", 20);
    auto second = request;
    second.files.erase(second.files.begin());
    EXPECT_FALSE(OrlPluginManager::CPlaybackBusinessInterfaceMgr::Instance().DownloadRecordFiles(
        second, error));
    EXPECT_FALSE(error.error_text.empty());
    EXPECT_EQ(Entries(dir + "/Video").size(), 1);
}
