// tvs-timelapse: generates one time-lapse video through the module's task manager.
//
//   tvs-timelapse --pictures DIR --output OUT.mp4 [--force]
//   tvs-timelapse --camera ID --begin "yyyy-MM-dd HH:mm:ss" --end "..." --output OUT.mp4
//                 [--store DIR | --source-dir DIR | --size WxH --interval SECONDS --max N]
//   tvs-timelapse --device --camera ID --job JOB --begin ... --end ... --device-video FILE
//                 --output OUT.mp4 [--progress-step PERCENT] [--device-fails]
//
// Ctrl-Z pauses the task and a second Ctrl-Z (or SIGCONT) resumes it; Ctrl-C deletes it.
// Every task works in a private folder beside the output (the library puts its pictures and
// video there); the finished video is moved into place and the folder removed, whatever the
// outcome, so the user's own files in the output's folder are never touched.

#include "ToolSupport.h"

#include "doubles/DirectoryTimeLapseProvider.h"
#include "mirelog/Log.h"
#include "pluginmanager/PluginManager.h"
#include "quorbase/Util.h"
#include "recordserver/RecordingServer.h"
#include "timelapse/TimeLapsePhotoManager.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unistd.h>

using namespace TeskVideoSearch;
using namespace OrlPluginManager;

namespace {

// Sizes of synthetic pictures: H.264 (level 6.2) frames, in even numbers for yuv420p.
constexpr int kMinSide = 16;
constexpr int kMaxSide = 8192;
constexpr qint64 kMaxPixels = 8192LL * 4320LL;
constexpr int kMaxProgressStep = 100;

enum class Mode { Pictures, Camera, Device };

// How a request asks for its video: compressed here from pictures, or built by the device.
constexpr int kGenerateFromPictures = 0;
constexpr int kGenerateByDevice = 1;

struct TimeLapseOptions
{
    Mode mode = Mode::Camera;
    QString output;
    bool force = false;
    QString pictures;
    QString store;
    bool use_store = false;
    std::string camera;
    std::string start_date, start_time, end_date, end_time;
    CDirectoryTimeLapseProvider::CameraPictures capture;
    CDirectoryTimeLapseProvider::DeviceCamera device;
    std::string job;
};

struct Outcome
{
    std::atomic<bool> finished{false};
    std::atomic<bool> success{false};
    std::atomic<int64_t> size{0};
    std::atomic<int> percentage{0};
};
Outcome outcome;

void OnResult(bool is_success, std::string, int64_t file_size, int percentage, void *)
{
    outcome.success = is_success;
    outcome.size = file_size;
    outcome.percentage = percentage;
    outcome.finished = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(kExitOk); },
        Qt::QueuedConnection);
}

bool SplitDateTime(const QString &text, std::string &date, std::string &time)
{
    const QStringList parts = text.trimmed().split(' ', Qt::SkipEmptyParts);
    if (parts.size() != 2)
        return false;
    date = parts[0].toStdString();
    time = parts[1].toStdString();
    return CDirectoryTimeLapseProvider::ParseLocalTime(date, time) >= 0;
}

std::optional<int> ParseInt(const QCommandLineParser &parser, const char *option, int low, int high,
                            int &out)
{
    bool ok = false;
    out = parser.value(option).trimmed().toInt(&ok);
    if (!ok || out < low || out > high)
        return RefuseUsage(QStringLiteral("--%1 must be a whole number from %2 to %3, not \"%4\"")
                               .arg(option)
                               .arg(low)
                               .arg(high)
                               .arg(parser.value(option)));
    return std::nullopt;
}

std::optional<int> ParseSize(const QString &text, int &width, int &height)
{
    const QStringList parts = text.trimmed().split('x');
    bool ok_width = false;
    bool ok_height = false;
    if (parts.size() == 2) {
        width = parts[0].toInt(&ok_width);
        height = parts[1].toInt(&ok_height);
    }
    if (!ok_width || !ok_height)
        return RefuseUsage("--size \"" + text + "\" is not WIDTHxHEIGHT, for example 640x360");
    if (width < kMinSide || height < kMinSide || width > kMaxSide || height > kMaxSide ||
        qint64(width) * height > kMaxPixels)
        return RefuseUsage(QStringLiteral("--size %1x%2 is out of range: each side from %3 to %4 "
                                          "and at most %5 pixels (an H.264 frame)")
                               .arg(width)
                               .arg(height)
                               .arg(kMinSide)
                               .arg(kMaxSide)
                               .arg(kMaxPixels));
    if (width % 2 || height % 2)
        return RefuseUsage(QStringLiteral("--size %1x%2 has an odd side; H.264 video needs even "
                                          "sizes")
                               .arg(width)
                               .arg(height));
    return std::nullopt;
}

std::optional<int> CheckOutput(const QCommandLineParser &parser, TimeLapseOptions &out)
{
    out.output = parser.value("output");
    out.force = parser.isSet("force");
    if (out.output.trimmed().isEmpty() || !out.output.endsWith(".mp4", Qt::CaseInsensitive) ||
        QFileInfo(out.output).completeBaseName().isEmpty())
        return RefuseUsage("--output must name an .mp4 file; see --help");
    const QFileInfo info(out.output);
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return RefuseUsage("the folder of the output, " + folder.filePath() + ", does not exist");
    if (!folder.isWritable())
        return RefuseUsage("the folder of the output, " + folder.filePath() + ", is not writable");
    if (info.exists() && !info.isFile())
        return RefuseUsage(out.output + " exists and is not a file; it was left as it is");
    if (info.exists() && !out.force)
        return RefuseUsage(out.output + " exists; --force replaces it");
    return std::nullopt;
}

std::optional<int> CheckSpan(const QCommandLineParser &parser, TimeLapseOptions &out)
{
    if (!parser.isSet("camera") || parser.value("camera").trimmed().isEmpty())
        return RefuseUsage("--camera is needed (or --pictures); see --help");
    out.camera = parser.value("camera").trimmed().toStdString();
    for (const char *bound : {"begin", "end"}) {
        std::string &date =
            QLatin1String(bound) == QLatin1String("begin") ? out.start_date : out.end_date;
        std::string &time =
            QLatin1String(bound) == QLatin1String("begin") ? out.start_time : out.end_time;
        if (!SplitDateTime(parser.value(bound), date, time))
            return RefuseUsage(QStringLiteral("--%1 \"%2\" is not a time \"yyyy-MM-dd HH:mm:ss\"")
                                   .arg(bound, parser.value(bound)));
    }
    if (CDirectoryTimeLapseProvider::ParseLocalTime(out.start_date, out.start_time) >
        CDirectoryTimeLapseProvider::ParseLocalTime(out.end_date, out.end_time))
        return RefuseUsage("--begin " + parser.value("begin") + " is after --end " +
                           parser.value("end"));
    return std::nullopt;
}

std::optional<int> CheckCameraMode(const QCommandLineParser &parser, TimeLapseOptions &out)
{
    if (parser.isSet("store")) {
        if (parser.value("store").trimmed().isEmpty())
            return RefuseUsage("--store is empty; give a folder or \"default\"");
        out.use_store = true;
        out.store = parser.value("store") == "default" ? QString() : parser.value("store");
    }
    if (parser.isSet("source-dir")) {
        if (!QFileInfo(parser.value("source-dir")).isDir())
            return RefuseUsage("--source-dir " + parser.value("source-dir") + " is not a folder");
        out.capture.picture_dir = parser.value("source-dir").toStdString();
    }
    if (const auto stop = ParseSize(parser.value("size"), out.capture.synthetic_width,
                                    out.capture.synthetic_height))
        return stop;
    if (const auto stop = ParseInt(parser, "interval", 1, INT_MAX, out.capture.capture_interval))
        return stop;
    return ParseInt(parser, "max", 0, INT_MAX, out.capture.max_pictures);
}

std::optional<int> CheckDeviceMode(const QCommandLineParser &parser, TimeLapseOptions &out)
{
    if (!QFileInfo(parser.value("device-video")).isFile())
        return RefuseUsage("--device-video must name the device's video file" +
                           (parser.isSet("device-video")
                                ? QString(": %1 is not a file").arg(parser.value("device-video"))
                                : QString()));
    out.device.video_path = parser.value("device-video").toStdString();
    out.device.fail = parser.isSet("device-fails");
    if (parser.value("job").trimmed().isEmpty())
        return RefuseUsage("--job is empty");
    out.job = parser.value("job").trimmed().toStdString();
    return ParseInt(parser, "progress-step", 1, kMaxProgressStep, out.device.progress_step);
}

std::optional<int> ReadOptions(QCommandLineParser &parser, const QCoreApplication &app,
                               TimeLapseOptions &out)
{
    parser.setApplicationDescription(
        "Generates a time-lapse video. The task works in a private folder beside the output and "
        "moves the finished video into place; an existing output is replaced only with --force.");
    parser.addOptions({
        {"pictures", "Directory of numbered pictures 0.jpg, 1.jpg, ... (read by number).", "dir"},
        {"store",
         "Serve the camera's capture pictures and device video from the embedded "
         "recording store in this directory (\"default\": the user's store).",
         "dir"},
        {"output", "The video file to write (.mp4).", "file"},
        {"force", "Replace the output file if it exists."},
        {"camera", "Camera resource identifier.", "id"},
        {"begin", "Start of the span, \"yyyy-MM-dd HH:mm:ss\".", "time"},
        {"end", "End of the span, \"yyyy-MM-dd HH:mm:ss\".", "time"},
        {"source-dir", "Capture pictures of the camera.", "dir"},
        {"size", "Size of synthetic capture pictures (even, 16 to 8192 a side).", "WxH", "640x360"},
        {"interval", "Seconds between two synthetic captures (at least 1).", "seconds", "60"},
        {"max", "At most this many synthetic captures (0: no limit).", "n", "0"},
        {"device", "Let the device build the video."},
        {"job", "Device job identifier.", "id", "job-1"},
        {"device-video", "The video the device produces.", "file"},
        {"progress-step", "Device progress gained per one-second poll (1 to 100).", "percent",
         "25"},
        {"device-fails", "The device job fails (status 4)."},
    });
    if (const auto stop = ParseToolCommandLine(parser, app))
        return stop;
    if (!parser.positionalArguments().isEmpty())
        return RefuseUsage("unexpected argument \"" + parser.positionalArguments().front() +
                           "\"; see --help");
    if (const auto stop = CheckOutput(parser, out))
        return stop;
    if (parser.isSet("pictures")) {
        for (const char *other : {"camera", "device", "store", "source-dir"}) {
            if (parser.isSet(other))
                return RefuseUsage(
                    QStringLiteral("--pictures and --%1 do not go together").arg(other));
        }
        out.mode = Mode::Pictures;
        out.pictures = parser.value("pictures");
        if (!QFileInfo(out.pictures).isDir())
            return RefuseUsage("--pictures " + out.pictures + " is not a folder");
        return std::nullopt;
    }
    if (const auto stop = CheckSpan(parser, out))
        return stop;
    if (parser.isSet("device")) {
        out.mode = Mode::Device;
        return CheckDeviceMode(parser, out);
    }
    out.mode = Mode::Camera;
    return CheckCameraMode(parser, out);
}

// Reads the picture folder as the task will; fails when nothing in it can be used.
std::optional<int> CheckPictures(const TimeLapseOptions &options, QString &summary)
{
    const auto listing = CDirectoryTimeLapseProvider::ListPictures(options.pictures.toStdString());
    for (const auto &gap : listing.gaps) {
        PrintToolError(
            gap.first == gap.second
                ? QStringLiteral("picture %1 is missing; the numbers go on after it").arg(gap.first)
                : QStringLiteral("pictures %1 to %2 are missing; the numbers go on "
                                 "after them")
                      .arg(gap.first)
                      .arg(gap.second));
    }
    if (listing.pictures.empty()) {
        if (!listing.unreadable.empty()) {
            PrintToolError(
                QStringLiteral("no picture of %1 can be read; the first is %2")
                    .arg(options.pictures, QString::fromStdString(listing.unreadable.front())));
        } else {
            PrintToolError("no pictures (0.jpg, 1.jpg, ...) in " + options.pictures);
        }
        return kExitFailed;
    }
    if (!listing.unreadable.empty())
        summary = QStringLiteral("; %1 unreadable picture(s) skipped, the first %2")
                      .arg(listing.unreadable.size())
                      .arg(QString::fromStdString(listing.unreadable.front()));
    return std::nullopt;
}

CTimeLapsePhotoRequestParam
BuildRequest(const TimeLapseOptions &options, const QString &work,
             const std::shared_ptr<CDirectoryTimeLapseProvider> &provider)
{
    CTimeLapsePhotoRequestParam request;
    request.SetVal_file_path(work.toStdString());
    request.SetVal_file_name(QFileInfo(options.output).completeBaseName().toStdString());
    request.SetVal_guid(Quor::Base::GuidUtil::CreateGuid());
    if (options.mode == Mode::Pictures) {
        CDirectoryTimeLapseProvider::CameraPictures pictures;
        pictures.picture_dir = options.pictures.toStdString();
        provider->SetCameraPictures("pictures", pictures);
        const std::string today = QDate::currentDate().toString("yyyy-MM-dd").toStdString();
        request.SetVal_generate_mode(kGenerateFromPictures);
        request.SetVal_camera_resource_id("pictures");
        request.SetVal_start_date(today);
        request.SetVal_end_date(today);
        request.SetVal_start_time("00:00:00");
        request.SetVal_end_time("23:59:59");
        return request;
    }
    request.SetVal_camera_resource_id(options.camera);
    request.SetVal_start_date(options.start_date);
    request.SetVal_start_time(options.start_time);
    request.SetVal_end_date(options.end_date);
    request.SetVal_end_time(options.end_time);
    if (options.mode == Mode::Device) {
        provider->SetDeviceCamera(options.camera, options.device);
        request.SetVal_generate_mode(kGenerateByDevice);
        request.SetVal_job_id(options.job);
    } else {
        provider->SetCameraPictures(options.camera, options.capture);
        request.SetVal_generate_mode(kGenerateFromPictures);
    }
    return request;
}

void PrintProgress(std::string &guid, bool paused, bool tty)
{
    const int percentage = CTimeLapsePhotoManager::Instance().GetTimeLapseGeneratePercentage(guid);
    const int64_t size = CTimeLapsePhotoManager::Instance().GetTimeLapseGenerateFileSize(guid);
    const int filled = std::max(0, std::min(percentage, 100)) * 30 / 100;
    const std::string bar = std::string(filled, '#') + std::string(30 - filled, '.');
    std::fprintf(stderr, "%s[%s] %3d%% %10lld bytes%s%s", tty ? "\r" : "", bar.c_str(), percentage,
                 static_cast<long long>(size), paused ? " (paused)" : "         ", tty ? "" : "\n");
    std::fflush(stderr);
}

// Runs the task to its end or to an interrupt; kExitOk when it succeeded.
int RunTask(QCoreApplication &app, CTimeLapsePhotoRequestParam &request)
{
    std::string guid = request.GetVal_guid();
    CTimeLapsePhotoManager &manager = CTimeLapsePhotoManager::Instance();
    manager.RegisterDataCallBack(&OnResult);
    bool paused = false;
    bool interrupted = false;
    const bool tty = ::isatty(STDERR_FILENO);

    QSocketNotifier notifier(CInterrupts::ReadFd(), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&]() {
        while (const int number = CInterrupts::Take()) {
            if (CInterrupts::IsStop(number)) {
                interrupted = true;
                QCoreApplication::exit(kExitInterrupted);
                return;
            }
            const bool pause = number == SIGTSTP ? !paused : false;
            if (pause == paused)
                continue;
            paused = pause;
            std::fprintf(stderr, "%s%s\n", tty ? "\n" : "", pause ? "pausing..." : "resuming");
            manager.TimeLapseTaskPause(pause, guid);
            if (pause)
                std::fprintf(stderr, "paused; Ctrl-Z again or SIGCONT resumes\n");
        }
    });
    QTimer progress;
    QObject::connect(&progress, &QTimer::timeout, [&]() { PrintProgress(guid, paused, tty); });
    progress.start(tty ? 200 : 1000);

    CTimeLapsePhotoReponseParam response;
    manager.TimeLapseTaskStartRun(request, response);
    app.exec();
    progress.stop();

    int status = kExitOk;
    if (interrupted) {
        status = kExitInterrupted;
    } else if (!outcome.success) {
        const auto error = manager.GetTimeLapseTaskErrorCode(guid);
        const QString text =
            error.IsError() ? QStringLiteral("%1 (error %2/%3)")
                                  .arg(TimeLapseErrorText(error))
                                  .arg(error.module_code, 0, 16)
                                  .arg(error.error_code, 0, 16)
            : request.GetVal_generate_mode() == kGenerateByDevice
                ? QStringLiteral("the device could not build the video; the log %1 tells why")
                      .arg(QString::fromStdString(mirelog::LogFilePath()))
                : QStringLiteral("the task ended without a video; the log %1 tells why")
                      .arg(QString::fromStdString(mirelog::LogFilePath()));
        PrintToolError(QString(tty ? "\n" : "") + "the time-lapse failed: " + text);
        status = kExitFailed;
    }
    manager.DeleteTimeLapseTask({guid});
    // Steps and releases still queued on the pool finish before the work folder goes.
    QThreadPool::globalInstance()->waitForDone();
    return status;
}

// Video frames in `path`: a task whose every picture the encoder refused still ends "done",
// with a file that holds no video.
int CountVideoFrames(const QString &path)
{
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return 0;
    int frames = 0;
    if (avformat_find_stream_info(format, nullptr) >= 0) {
        const int stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        AVPacket *packet = av_packet_alloc();
        while (stream >= 0 && packet && av_read_frame(format, packet) >= 0) {
            frames += packet->stream_index == stream;
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
    }
    avformat_close_input(&format);
    return frames;
}

int Run(QCoreApplication &app)
{
    QCommandLineParser parser;
    TimeLapseOptions options;
    if (const auto stop = ReadOptions(parser, app, options))
        return *stop;
    QString summary;
    if (options.mode == Mode::Pictures) {
        if (const auto stop = CheckPictures(options, summary))
            return *stop;
    }

    auto provider = std::make_shared<CDirectoryTimeLapseProvider>();
    std::shared_ptr<teskrecordserver::CRecordingServer> store;
    if (options.use_store) {
        int exit_code = kExitOk;
        store =
            OpenToolStore(options.store, teskrecordserver::GeneratorOptions::Default(), exit_code);
        if (!store)
            return exit_code;
        InstallToolStore(store);
    } else {
        CTimeLapseProviderRegistry::SetProvider(provider);
    }
    // Pauses block on the worker; a pool wider than the cores keeps a reporting step from
    // queueing behind a busy one.
    QThreadPool::globalInstance()->setMaxThreadCount(
        std::max(4, QThreadPool::globalInstance()->maxThreadCount()));

    const QFileInfo output(options.output);
    QTemporaryDir work(output.absolutePath() + "/." + output.completeBaseName() + ".work-XXXXXX");
    if (!work.isValid()) {
        PrintToolError("cannot create a working folder beside " + options.output + ": " +
                       work.errorString());
        return kExitFailed;
    }
    CTimeLapsePhotoRequestParam request = BuildRequest(options, work.path(), provider);
    const int status = RunTask(app, request);
    if (status == kExitInterrupted) {
        PrintToolError("interrupted: the time-lapse was stopped and " + options.output +
                       " was not written");
        return status;
    }
    if (status != kExitOk)
        return status;
    const QString produced = work.path() + "/" + output.completeBaseName() + ".mp4";
    if (CountVideoFrames(produced) == 0) {
        PrintToolError("no picture could be encoded; " + options.output + " was not written" +
                       (options.mode == Mode::Pictures
                            ? " (are the pictures of " + options.pictures + " whole JPEGs?)"
                            : QString()));
        return kExitFailed;
    }
    QString error;
    if (!MoveIntoPlace(produced, options.output, options.force, error)) {
        PrintToolError("cannot put the video at " + options.output + ": " + error);
        return kExitFailed;
    }
    std::fprintf(stderr, "%sdone: %s (%lld bytes, %d%%)%s\n", ::isatty(STDERR_FILENO) ? "\n" : "",
                 options.output.toLocal8Bit().constData(), static_cast<long long>(outcome.size),
                 outcome.percentage.load(), summary.toLocal8Bit().constData());
    return kExitOk;
}

} // namespace

int main(int argc, char **argv)
{
    RouteLibraryMessagesToLog();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tvs-timelapse");
    CInterrupts::Install({SIGTSTP, SIGCONT});
    return Run(app);
}
