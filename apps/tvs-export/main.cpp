// tvs-export: exports a camera's recordings from the embedded store as MP4 files (stream copy),
// or as one AES-256 encrypted ZIP archive with a password, the way the download panel does.

#include "download/VideoExport.h"

#include "recordserver/RecordingServer.h"

#include "HostTranslations.h"
#include "quorbase/Util.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <limits>
#include <unistd.h>

using namespace TeskVideoSearch;

namespace {

constexpr int kUsageError = 2;
constexpr int kExportError = 1;

// Seconds since 1970 from a number or an ISO date-time ("2026-11-19T08:30:00Z"); -1 if neither.
int64_t ParseTime(const QString &text)
{
    bool is_number = false;
    const qlonglong number = text.toLongLong(&is_number);
    if (is_number)
        return number;
    return Quor::Base::TimeUtil::ISODatetime2TimeT(text.toStdString());
}

QString Stamp(int64_t t)
{
    QString iso = QString::fromStdString(Quor::Base::TimeUtil::TimeT2ISODatetime(t, 0, true));
    iso.remove('-').remove(':').remove('Z');
    return iso;
}

int Usage(const char *message)
{
    std::fprintf(stderr, "tvs-export: %s (see --help)\n", message);
    return kUsageError;
}

void DrawProgress(double share, const QString &name)
{
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(share * kWidth);
    std::fprintf(stderr, "\r[%s%s] %3d%% %-40.40s", QByteArray(filled, '#').constData(),
                 QByteArray(kWidth - filled, '.').constData(), static_cast<int>(share * 100),
                 name.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName("tvs-export");
    InstallHostTranslations(app);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Exports recordings of one camera of the embedded store as MP4 files without "
        "re-encoding: one file per span, or one file of all spans with --merge. With a "
        "password the files go into one AES-256 encrypted ZIP archive instead. Files are "
        "written under a temporary name and never replace an existing file; on any failure "
        "nothing is left behind.\n\n"
        "Example: tvs-export --camera S001:S001-C001 --span 2026-11-19T08:00:00Z,"
        "2026-11-19T08:10:00Z --out ~/Videos");
    parser.addHelpOption();
    const QCommandLineOption store("store", "Store directory (default: the default store).", "dir");
    const QCommandLineOption camera("camera", "The camera, as site:camera.", "site:camera");
    const QCommandLineOption span("span",
                                  "A span to export, BEGIN,END as seconds since 1970 or ISO "
                                  "date-times in UTC; repeat for more files.",
                                  "begin,end");
    const QCommandLineOption out("out", "Destination folder (created when missing).", "dir");
    const QCommandLineOption name("name",
                                  "File name without extension, one per --span in order "
                                  "(default: camera and span).",
                                  "name");
    const QCommandLineOption merge("merge", "Write all spans into one file.");
    const QCommandLineOption password("password", "Put the files into an encrypted ZIP archive.",
                                      "password");
    const QCommandLineOption list("list", "List the camera's recordings (begin, end) and exit.");
    const QCommandLineOption quiet("quiet", "No progress bar.");
    parser.addOptions({store, camera, span, out, name, merge, password, list, quiet});
    parser.process(app);

    const QStringList camera_parts = parser.value(camera).split(':');
    if (camera_parts.size() != 2 || camera_parts[0].isEmpty() || camera_parts[1].isEmpty())
        return Usage("--camera site:camera is required");

    // Read only: an export changes nothing in the store but its media cache.
    auto source = std::make_shared<teskrecordserver::CRecordingServer>();
    const std::string dir = parser.isSet(store)
                                ? parser.value(store).toStdString()
                                : teskrecordserver::CRecordingServer::DefaultStoreDir();
    const auto status = source->OpenReadOnly(dir);
    if (!status.IsOk()) {
        std::fprintf(stderr, "tvs-export: the store %s cannot be opened: %s\n", dir.c_str(),
                     status.Message().c_str());
        return kExportError;
    }
    teskrecordserver::CRecordingServer::Install(source);
    const std::string site_id = camera_parts[0].toStdString();
    const std::string camera_id = camera_parts[1].toStdString();
    const auto camera_row = source->Catalogue().FindCamera(site_id, camera_id);
    if (!camera_row) {
        std::fprintf(stderr, "tvs-export: the store has no camera %s:%s\n", site_id.c_str(),
                     camera_id.c_str());
        return kExportError;
    }
    if (parser.isSet(list)) {
        for (const auto &recording : source->Catalogue().Recordings(
                 site_id, camera_id, 0, std::numeric_limits<int64_t>::max()))
            std::printf("%s %s\n",
                        Quor::Base::TimeUtil::TimeT2ISODatetime(recording.begin, 0, true).c_str(),
                        Quor::Base::TimeUtil::TimeT2ISODatetime(recording.end, 0, true).c_str());
        return 0;
    }

    const QStringList spans = parser.values(span);
    const QStringList names = parser.values(name);
    if (spans.isEmpty())
        return Usage("at least one --span is required");
    if (!parser.isSet(out))
        return Usage("--out is required");
    if (!names.isEmpty() && names.size() != (parser.isSet(merge) ? 1 : spans.size()))
        return Usage("give one --name per --span, or one with --merge");

    teskplaycontroller::CCameraElement element;
    element.SetVal_site_id(site_id);
    element.SetVal_camera_id(camera_id);
    element.SetVal_camera_name(camera_row->name);
    element.SetVal_area_name(camera_row->area_name);
    CVideoDownloadInfo record;
    VideoDownloadInfo &data = *record.GetDataPtr();
    data.site_id = camera_parts[0];
    data.camera_id = camera_parts[1];
    data.ptr_camera_for_play = std::make_shared<teskplaycontroller::CCameraForPlay>(element);
    data.download_path = QDir(parser.value(out)).absolutePath();
    data.is_merged = parser.isSet(merge);
    data.pass_word = parser.value(password);
    for (int i = 0; i < spans.size(); ++i) {
        const QStringList ends = spans[i].split(',');
        const int64_t begin = ends.size() == 2 ? ParseTime(ends[0].trimmed()) : -1;
        const int64_t end = ends.size() == 2 ? ParseTime(ends[1].trimmed()) : -1;
        if (begin < 0 || end <= begin) {
            std::fprintf(stderr, "tvs-export: \"%s\" is not a span BEGIN,END with BEGIN < END\n",
                         spans[i].toLocal8Bit().constData());
            return kUsageError;
        }
        data.playback_files.push_back(
            {std::make_shared<teskplaycontroller::CPlaybackFile>(begin, end, std::string())});
        const QString fallback = camera_parts[1] + "_" + Stamp(begin) + "_" + Stamp(end);
        data.qvc_custom_file_name.push_back((i < names.size() ? names[i] : fallback).toStdString());
    }

    const bool show_progress = !parser.isSet(quiet);
    int shown_percent = -1;
    QString shown_file;
    const VideoExportResult result =
        CVideoExporter::Export({record}, [&](double share, const QString &file) {
            const int percent = static_cast<int>(share * 100);
            if (show_progress && (percent != shown_percent || file != shown_file))
                DrawProgress(share, file);
            shown_percent = percent;
            shown_file = file;
            return true;
        });
    if (show_progress)
        std::fprintf(stderr, "\n");
    if (!result.ok) {
        std::fprintf(stderr, "tvs-export: %s\n", result.message.toLocal8Bit().constData());
        return kExportError;
    }
    for (const QString &file : result.files)
        std::printf("%s\n", file.toLocal8Bit().constData());
    return 0;
}
