// tvs-search: runs a search of the embedded recording store through the module's search
// controllers and prints the progress, the count per kind and the first rows of each kind.

#include "HostTranslations.h"
#include "ToolSupport.h"

#include "search/CommonFunction.h"
#include "search/SearchPlan.h"
#include "search/VideoSearchController.h"

#include "mirelog/Log.h"
#include "quorbase/Util.h"
#include "recordserver/RecordingServer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <vector>

using namespace TeskVideoSearch;

namespace {

// The searches did not finish in time: the work failed.
constexpr int kExitTimeout = kExitFailed;

struct KindName
{
    VideoDataType kind;
    const char *name;
};

const KindName kKinds[] = {
    {RegularVideo, "all"},      {PersonDetectVideo, "person"}, {VehicleDetectVideo, "vehicle"},
    {EventAlarmVideo, "event"}, {TagVideo, "manual"},          {LockVideo, "locked"},
    {OtherVideo, "other"},
};

const char *NameOf(VideoDataType kind)
{
    for (const KindName &k : kKinds) {
        if (k.kind == kind)
            return k.name;
    }
    return "?";
}

const char *NameOf(teskplaycontroller::VideoSearchType type)
{
    switch (type) {
    case teskplaycontroller::VideoSearchRecord:
        return "all";
    case teskplaycontroller::VideoSearchLock:
        return "locked";
    case teskplaycontroller::VideoSearchTag:
        return "tags";
    case teskplaycontroller::VideoSearchPersonVehicle:
        return "person-vehicle";
    default:
        return "?";
    }
}

// What the command line asks for, checked as far as it can be without the store.
struct SearchOptions
{
    QString store;
    QStringList cameras;
    QVector<VideoDataType> kinds;
    std::optional<int64_t> from;
    std::optional<int64_t> to;
    int rows = 10;
    int timeout = 60;
};

// One search of the host: a controller, the kinds it serves and its search condition.
struct RunningSearch
{
    CSearchGroup group;
    std::shared_ptr<CVideoSearchController> controller;
    teskplaycontroller::CCameraVideoSearchCondition condition;
    bool finished = false;
};

std::optional<int64_t> ParseTime(const QString &text)
{
    const int64_t t = Quor::Base::TimeUtil::ISODatetime2TimeT(text.trimmed().toStdString());
    if (t < 0)
        return std::nullopt;
    return t;
}

std::optional<int> ParsePositive(const QCommandLineParser &parser, const char *option, int &out)
{
    bool ok = false;
    out = parser.value(option).trimmed().toInt(&ok);
    if (!ok || out <= 0)
        return RefuseUsage(QStringLiteral("--%1 must be a positive whole number, not \"%2\"")
                               .arg(option, parser.value(option)));
    return std::nullopt;
}

std::optional<int> ReadOptions(QCommandLineParser &parser, const QApplication &app,
                               SearchOptions &out)
{
    parser.setApplicationDescription(
        QStringLiteral("Searches the embedded recording store and prints what it finds. A period "
                       "must end after it begins and span at most 7 days."));
    parser.addOptions({
        {"store", "Store directory (created with sample data on first use).", "dir"},
        {"camera", "Camera to search, as site:camera or camera; repeatable. Default: all.",
         "camera"},
        {"from", "Begin of the period, ISO 8601. Default: 7 days before --to.", "time"},
        {"to", "End of the period, ISO 8601. Default: the end of the store's recordings.", "time"},
        {"kinds", "Kinds: all,person,vehicle,event,manual,locked,other. Default: all of them.",
         "list"},
        {"rows", "Rows printed per kind. Default: 10.", "n", "10"},
        {"timeout", "Seconds to wait for the searches. Default: 60.", "s", "60"},
    });
    if (const auto stop = ParseToolCommandLine(parser, app))
        return stop;
    if (!parser.positionalArguments().isEmpty())
        return RefuseUsage("unexpected argument \"" + parser.positionalArguments().front() +
                           "\"; see --help");
    if (parser.isSet("store") && parser.value("store").trimmed().isEmpty())
        return RefuseUsage("--store is empty; give a folder or leave it out for the default store");
    out.store = parser.value("store");
    for (const char *bound : {"from", "to"}) {
        if (!parser.isSet(bound))
            continue;
        const auto t = ParseTime(parser.value(bound));
        if (!t)
            return RefuseUsage(QStringLiteral("--%1 \"%2\" is not an ISO 8601 time, for example "
                                              "2026-12-01T08:00:00Z")
                                   .arg(bound, parser.value(bound)));
        (QLatin1String(bound) == QLatin1String("from") ? out.from : out.to) = t;
    }
    if (const auto stop = ParsePositive(parser, "rows", out.rows))
        return stop;
    if (const auto stop = ParsePositive(parser, "timeout", out.timeout))
        return stop;
    const QStringList names =
        parser.isSet("kinds")
            ? parser.value("kinds").split(',', Qt::SkipEmptyParts)
            : QStringList{"all", "person", "vehicle", "event", "manual", "locked", "other"};
    for (const QString &name : names) {
        const auto found =
            std::find_if(std::begin(kKinds), std::end(kKinds),
                         [&](const KindName &k) { return name.trimmed() == k.name; });
        if (found == std::end(kKinds))
            return RefuseUsage("unknown kind \"" + name + "\"; see --help");
        if (!out.kinds.contains(found->kind))
            out.kinds.push_back(found->kind);
    }
    if (out.kinds.isEmpty())
        return RefuseUsage("--kinds names no kind; see --help");
    out.cameras = parser.values("camera");
    return std::nullopt;
}

// The cameras named on the command line, each once, in the order named; all when none is.
std::optional<int> SelectCameras(const QStringList &wanted,
                                 std::vector<OrlPluginManager::Camera> &out)
{
    const auto all = OrlPluginManager::CCameraDirectory::Instance().FindCameras({});
    if (wanted.isEmpty()) {
        out = all;
        return std::nullopt;
    }
    std::set<std::pair<std::string, std::string>> chosen;
    for (const QString &name : wanted) {
        const QStringList parts = name.trimmed().split(':');
        bool found = false;
        for (const auto &camera : all) {
            const bool match = parts.size() == 2 ? camera.site_id == parts[0].toStdString() &&
                                                       camera.id == parts[1].toStdString()
                                                 : camera.id == name.trimmed().toStdString();
            if (!match)
                continue;
            found = true;
            if (chosen.insert({camera.site_id, camera.id}).second)
                out.push_back(camera);
        }
        if (!found)
            return RefuseUsage("unknown camera \"" + name + "\": the store has no such camera");
    }
    return std::nullopt;
}

// The period asked for, defaulting to the last 7 days of the store's recordings.
std::optional<int> ResolvePeriod(const SearchOptions &options,
                                 const teskrecordserver::CRecordingServer &server, int64_t &begin,
                                 int64_t &end)
{
    if (options.to) {
        end = *options.to;
    } else if (const auto period_end = server.Catalogue().Meta("period_end")) {
        end = std::stoll(*period_end);
    } else {
        end = QDateTime::currentSecsSinceEpoch();
    }
    begin = options.from ? *options.from : end - kMaxSearchSpanSeconds;
    QString message;
    if (!CheckSearchPeriod(begin, end, message))
        return RefuseUsage(message);
    return std::nullopt;
}

teskplaycontroller::CCameraVideoSearchCondition
BuildCondition(const CSearchGroup &group, const std::vector<OrlPluginManager::Camera> &cameras,
               int64_t begin, int64_t end)
{
    teskplaycontroller::CCameraVideoSearchCondition condition;
    auto &data = *condition.GetDataPtr();
    data.search_guid = Quor::Base::GuidUtil::CreateGuid();
    data.begin_time = begin;
    data.end_time = end;
    for (const auto &camera : cameras) {
        teskplaycontroller::CCameraElement element;
        element.SetVal_camera_id(camera.id);
        element.SetVal_site_id(camera.site_id);
        element.SetVal_camera_name(camera.name);
        teskplaycontroller::TeskCameraInfo info;
        info.ptr_camera_for_play = std::make_shared<teskplaycontroller::CCameraForPlay>(element);
        teskplaycontroller::COrlPlayBackParamSet plan;
        if (info.ptr_camera_for_play->GetPlaybackParam(plan))
            info.pair_storage_info = {
                static_cast<ResourceData::StorageLocation>(plan.GetVal_location_type()),
                static_cast<ResourceData::StorageMediaType>(plan.GetVal_storage_media_type())};
        data.tesk_camera_info.push_back(info);
    }
    ApplySearchGroup(group, condition);
    return condition;
}

QVector<CResourceKey> KeysOf(const std::vector<OrlPluginManager::Camera> &cameras)
{
    QVector<CResourceKey> keys;
    for (const auto &camera : cameras) {
        CResourceKey key;
        key.SetVal_resource_id(camera.id);
        key.SetVal_site_id(camera.site_id);
        keys.push_back(key);
    }
    return keys;
}

void PrintRows(RunningSearch &search, VideoDataType kind, const QVector<CResourceKey> &keys,
               int rows)
{
    CVideoFileParam param;
    param.SetVal_data_type(kind);
    param.SetVal_qvc_filter_camera_keys(keys);
    param.SetVal_show_type(SortBeginAscending);
    param.SetVal_begin_index(0);
    param.SetVal_end_index(rows - 1);
    CameraFilesList out;
    search.controller->GetVideoFiles(out, param);
    if (out.isEmpty())
        return;
    const TimeTypePair time_type{OrlSearchTimeType::ClientTime, true};
    std::printf("\n%s, first %d rows (client time):\n", NameOf(kind), out.size());
    std::printf("  %-18s %-42s %-42s %s\n", "camera", "begin", "end", "file");
    for (const CameraFilesEntry &row : out) {
        if (row.second.isEmpty() || !row.second.front())
            continue;
        const PlaybackFileVector &files = row.second;
        const auto &first = files.front();
        const auto &last = files.back();
        std::printf(
            "  %-18s %-42s %-42s %s%s\n", qPrintable(row.first.GetVal_camera_name()),
            qPrintable(CCommonFunction::GetZonesTimeByTimeType(
                first->GetFileISOBeginTime(), first->GetFileBegTime(), true, time_type.first)),
            qPrintable(CCommonFunction::GetZonesTimeByTimeType(
                last->GetFileISOEndTime(), last->GetFileEndTime(), true, time_type.first)),
            first->GetFileName().c_str(),
            files.size() > 1 ? qPrintable(QString(" (+%1 files)").arg(files.size() - 1)) : "");
    }
}

// Runs the searches until each has finished, the timeout passes or an interrupt arrives.
int RunSearches(QApplication &app, std::vector<RunningSearch> &searches, int timeout)
{
    QElapsedTimer clock;
    clock.start();
    int running = 0;
    for (RunningSearch &search : searches) {
        RunningSearch *s = &search;
        QObject::connect(
            search.controller.get(), &CVideoSearchController::SignalSearchResult, &app,
            [&, s](const ClipSearchEvent &event) {
                const CClipSearchEventData data = event.GetEventData();
                const char *name = NameOf(s->group.search_type);
                if (event.GetEventType() == ClipSearchDataArrived) {
                    std::printf("%7.3fs  %-15s %d results so far\n", clock.elapsed() / 1000.0, name,
                                data.GetVal_current_data_num_());
                } else if (event.GetEventType() == ClipSearchFinished && !s->finished) {
                    s->finished = true;
                    std::printf("%7.3fs  %-15s finished%s\n", clock.elapsed() / 1000.0, name,
                                data.GetVal_max_data() ? " (result limit reached)" : "");
                    if (--running == 0)
                        app.exit(kExitOk);
                }
                std::fflush(stdout);
            });
        if (search.controller->SearchCameraFiles(search.condition, 3600)) {
            ++running;
        } else {
            PrintToolError(QStringLiteral("the %1 search could not start")
                               .arg(NameOf(search.group.search_type)));
            return kExitFailed;
        }
    }
    QTimer::singleShot(timeout * 1000, &app, [&] {
        PrintToolError(QStringLiteral("the searches did not finish within %1 s").arg(timeout));
        app.exit(kExitTimeout);
    });
    QSocketNotifier interrupts(CInterrupts::ReadFd(), QSocketNotifier::Read);
    QObject::connect(&interrupts, &QSocketNotifier::activated, &app, [&] {
        if (CInterrupts::IsStop(CInterrupts::Take())) {
            PrintToolError("interrupted: the searches were stopped");
            app.exit(kExitInterrupted);
        }
    });
    const int status = running > 0 ? app.exec() : kExitOk;
    if (status != kExitOk) {
        for (RunningSearch &search : searches)
            search.controller->CancelSearch(false);
    }
    return status;
}

void PrintResults(std::vector<RunningSearch> &searches,
                  const std::vector<OrlPluginManager::Camera> &cameras, int rows)
{
    const QVector<CResourceKey> keys = KeysOf(cameras);
    std::printf("\nResults per kind:\n");
    for (RunningSearch &search : searches) {
        for (VideoDataType kind : search.group.kinds)
            std::printf("  %-8s %d\n", NameOf(kind),
                        search.controller->GetTotalFileNum(kind, keys));
    }
    for (RunningSearch &search : searches) {
        for (VideoDataType kind : search.group.kinds)
            PrintRows(search, kind, keys, rows);
    }
}

int Run(QApplication &app)
{
    QCommandLineParser parser;
    SearchOptions options;
    if (const auto stop = ReadOptions(parser, app, options))
        return *stop;

    int exit_code = kExitOk;
    const auto server =
        OpenToolStore(options.store, teskrecordserver::GeneratorOptions::Default(), exit_code);
    if (!server)
        return exit_code;
    InstallToolStore(server);

    int64_t begin = 0;
    int64_t end = 0;
    if (const auto stop = ResolvePeriod(options, *server, begin, end))
        return *stop;
    std::vector<OrlPluginManager::Camera> cameras;
    if (const auto stop = SelectCameras(options.cameras, cameras))
        return *stop;
    std::printf("Store %s: %zu cameras, %s to %s\n", server->StoreDir().c_str(), cameras.size(),
                Quor::Base::TimeUtil::TimeT2ISODatetime(begin, 0, true).c_str(),
                Quor::Base::TimeUtil::TimeT2ISODatetime(end, 0, true).c_str());

    std::vector<RunningSearch> searches;
    for (const CSearchGroup &group : GroupKindsIntoSearches(options.kinds)) {
        RunningSearch search;
        search.group = group;
        search.condition = BuildCondition(group, cameras, begin, end);
        search.controller = std::make_shared<CVideoSearchController>();
        searches.push_back(std::move(search));
    }
    const std::string read_error_before = server->Catalogue().LastReadError();
    if (const int status = RunSearches(app, searches, options.timeout); status != kExitOk)
        return status;
    // A camera whose answer the store could not read has failed; the counts would be short.
    if (const std::string error = server->Catalogue().LastReadError(); error != read_error_before) {
        PrintToolError(
            QStringLiteral("the store %1 failed during the search: %2; the results "
                           "are incomplete and not shown")
                .arg(QString::fromStdString(server->StoreDir()), QString::fromStdString(error)));
        return kExitFailed;
    }
    PrintResults(searches, cameras, options.rows);
    return kExitOk;
}

} // namespace

int main(int argc, char **argv)
{
    RouteLibraryMessagesToLog();
    // A console host: no window appears unless a display is there for the notifications.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tvs-search"));
    CInterrupts::Install();
    InstallHostTranslations(app);
    const int status = Run(app);
    std::fflush(stdout);
    return status;
}
