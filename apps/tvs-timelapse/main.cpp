// tvs-timelapse: generates one time-lapse video through the module's task manager.
//
//   tvs-timelapse --pictures DIR --output OUT.mp4
//   tvs-timelapse --camera ID --begin "yyyy-MM-dd HH:mm:ss" --end "..." --output OUT.mp4
//                 [--source-dir DIR | --size WxH --interval SECONDS --max N]
//   tvs-timelapse --device --camera ID --job JOB --begin ... --end ... --device-video FILE
//                 --output OUT.mp4 [--progress-step PERCENT] [--device-fails]
//
// Ctrl-Z pauses the task and a second Ctrl-Z (or SIGCONT) resumes it; Ctrl-C deletes it.

#include "doubles/DirectoryTimeLapseProvider.h"
#include "pluginmanager/PluginManager.h"
#include "quorbase/Util.h"
#include "recordserver/RecordingServer.h"
#include "timelapse/TimeLapsePhotoManager.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace TeskVideoSearch;
using namespace OrlPluginManager;

namespace {

int signal_pipe[2] = {-1, -1};

void OnSignal(int number)
{
    const char byte = static_cast<char>(number);
    const ssize_t ignored = ::write(signal_pipe[1], &byte, 1);
    (void)ignored;
}

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
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tvs-timelapse");
    QCommandLineParser parser;
    parser.setApplicationDescription("Generates a time-lapse video.");
    parser.addHelpOption();
    parser.addOptions({
        {"pictures", "Directory of numbered pictures 0.jpg, 1.jpg, ...", "dir"},
        {"store",
         "Serve the camera's capture pictures and device video from the embedded "
         "recording store in this directory (\"default\": the user's store).",
         "dir"},
        {"output", "The video file to write (.mp4).", "file"},
        {"camera", "Camera resource identifier.", "id"},
        {"begin", "Start of the span, \"yyyy-MM-dd HH:mm:ss\".", "time"},
        {"end", "End of the span, \"yyyy-MM-dd HH:mm:ss\".", "time"},
        {"source-dir", "Capture pictures of the camera.", "dir"},
        {"size", "Size of synthetic capture pictures.", "WxH", "640x360"},
        {"interval", "Seconds between two synthetic captures.", "seconds", "60"},
        {"max", "At most this many synthetic captures (0: no limit).", "n", "0"},
        {"device", "Let the device build the video."},
        {"job", "Device job identifier.", "id", "job-1"},
        {"device-video", "The video the device produces.", "file"},
        {"progress-step", "Device progress gained per one-second poll.", "percent", "25"},
        {"device-fails", "The device job fails (status 4)."},
    });
    parser.process(app);

    const QString output = parser.value("output");
    if (output.isEmpty() || !output.endsWith(".mp4")) {
        std::fprintf(stderr, "--output must name an .mp4 file\n");
        return 2;
    }
    const QFileInfo output_info(output);
    auto provider = std::make_shared<CDirectoryTimeLapseProvider>();
    CTimeLapsePhotoRequestParam request;
    request.SetVal_file_path(output_info.absolutePath().toStdString());
    request.SetVal_file_name(output_info.completeBaseName().toStdString());
    request.SetVal_guid(Quor::Base::GuidUtil::CreateGuid());

    if (parser.isSet("pictures")) {
        CDirectoryTimeLapseProvider::CameraPictures pictures;
        pictures.picture_dir = parser.value("pictures").toStdString();
        provider->SetCameraPictures("pictures", pictures);
        const std::string today = QDate::currentDate().toString("yyyy-MM-dd").toStdString();
        request.SetVal_generate_mode(0);
        request.SetVal_camera_resource_id("pictures");
        request.SetVal_start_date(today);
        request.SetVal_end_date(today);
        request.SetVal_start_time("00:00:00");
        request.SetVal_end_time("23:59:59");
        // The pictures are linked into a work directory next to the video, which the task
        // empties; the originals stay.
        request.SetVal_file_path(output_info.absolutePath().toStdString() + "/." +
                                 output_info.completeBaseName().toStdString() + ".pictures");
    } else {
        std::string start_date, start_time, end_date, end_time;
        if (!parser.isSet("camera") ||
            !SplitDateTime(parser.value("begin"), start_date, start_time) ||
            !SplitDateTime(parser.value("end"), end_date, end_time)) {
            std::fprintf(stderr, "--camera, --begin and --end (\"yyyy-MM-dd HH:mm:ss\") are "
                                 "needed; see --help\n");
            return 2;
        }
        const std::string camera = parser.value("camera").toStdString();
        request.SetVal_camera_resource_id(camera);
        request.SetVal_start_date(start_date);
        request.SetVal_start_time(start_time);
        request.SetVal_end_date(end_date);
        request.SetVal_end_time(end_time);
        if (parser.isSet("device")) {
            CDirectoryTimeLapseProvider::DeviceCamera device;
            device.video_path = parser.value("device-video").toStdString();
            device.progress_step = parser.value("progress-step").toInt();
            device.fail = parser.isSet("device-fails");
            provider->SetDeviceCamera(camera, device);
            request.SetVal_generate_mode(1);
            request.SetVal_job_id(parser.value("job").toStdString());
        } else {
            CDirectoryTimeLapseProvider::CameraPictures pictures;
            pictures.picture_dir = parser.value("source-dir").toStdString();
            const QStringList size = parser.value("size").split('x');
            if (size.size() == 2) {
                pictures.synthetic_width = std::max(16, size[0].toInt());
                pictures.synthetic_height = std::max(16, size[1].toInt());
            }
            pictures.capture_interval = std::max(1, parser.value("interval").toInt());
            pictures.max_pictures = std::max(0, parser.value("max").toInt());
            provider->SetCameraPictures(camera, pictures);
            request.SetVal_generate_mode(0);
        }
    }
    // The embedded store answers instead of the directory provider when asked for.
    std::shared_ptr<teskrecordserver::CRecordingServer> store;
    if (parser.isSet("store") && !parser.isSet("pictures")) {
        teskrecordserver::CStoreStatus status;
        if (parser.value("store") == "default") {
            store = teskrecordserver::CRecordingServer::StartDefault(status);
        } else {
            store = std::make_shared<teskrecordserver::CRecordingServer>();
            status = store->Open(parser.value("store").toStdString());
            if (status) {
                store->PublishToHost();
                teskrecordserver::CRecordingServer::Install(store);
            }
        }
        if (!status || !store) {
            std::fprintf(stderr, "tvs-timelapse: %s\n", status.Message().c_str());
            return 1;
        }
    } else {
        CTimeLapseProviderRegistry::SetProvider(provider);
    }
    // Pauses block on the worker; a pool wider than the cores keeps a reporting step from
    // queueing behind a busy one.
    QThreadPool::globalInstance()->setMaxThreadCount(
        std::max(4, QThreadPool::globalInstance()->maxThreadCount()));

    if (::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("pipe");
        return 1;
    }
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTSTP, &action, nullptr);
    sigaction(SIGCONT, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    std::string guid = request.GetVal_guid();
    CTimeLapsePhotoManager &manager = CTimeLapsePhotoManager::Instance();
    manager.RegisterDataCallBack(&OnResult);
    bool paused = false;
    bool interrupted = false;
    const bool tty = ::isatty(STDERR_FILENO);

    QSocketNotifier notifier(signal_pipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&]() {
        char byte = 0;
        while (::read(signal_pipe[0], &byte, 1) == 1) {
            const int number = byte;
            if (number == SIGINT || number == SIGTERM) {
                interrupted = true;
                QCoreApplication::exit(0);
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

    int status = 0;
    if (interrupted && !outcome.finished) {
        std::fprintf(stderr, "\ninterrupted: task deleted\n");
        status = 130;
    } else if (outcome.success) {
        std::fprintf(stderr, "%sdone: %s (%lld bytes, %d%%)\n", tty ? "\n" : "",
                     output.toLocal8Bit().constData(), static_cast<long long>(outcome.size),
                     outcome.percentage.load());
    } else {
        const auto error = manager.GetTimeLapseTaskErrorCode(guid);
        std::fprintf(stderr, "%sfailed: error %#x/%#x: %s\n", tty ? "\n" : "", error.module_code,
                     error.error_code, OrlErrorCodeTrans::GetErrorInfoByErrorCode(error).c_str());
        status = 1;
    }
    manager.DeleteTimeLapseTask({guid});
    // Steps and releases still queued on the pool finish before the process tears down.
    QThreadPool::globalInstance()->waitForDone();
    if (parser.isSet("pictures") && outcome.success) {
        // The video was written into the work directory; move it into place.
        const QString work = QString::fromStdString(request.GetVal_file_path());
        const QString produced = work + "/" + output_info.completeBaseName() + ".mp4";
        QFile::remove(output);
        if (!QFile::rename(produced, output)) {
            std::fprintf(stderr, "cannot move %s to %s\n", produced.toLocal8Bit().constData(),
                         output.toLocal8Bit().constData());
            status = 1;
        }
        QDir().rmdir(work);
    }
    return status;
}
