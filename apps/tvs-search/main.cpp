// tvs-search: runs a search of the embedded recording store through the module's search
// controllers and prints the progress, the count per kind and the first rows of each kind.

#include "HostTranslations.h"

#include "search/CommonFunction.h"
#include "search/VideoSearchController.h"

#include "mirelog/Log.h"
#include "quorbase/Util.h"
#include "recordserver/RecordingServer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <map>
#include <memory>
#include <vector>

using namespace TeskVideoSearch;

namespace {

enum ExitCode {
    ExitOk = 0,
    ExitStoreError = 1,
    ExitTimeout = 2,
    ExitUsage = 3,
};

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

// One search of the host: a controller, the kinds it serves and its search condition, grouped
// the way the search panel groups them.
struct SearchGroup
{
    const char *name = "";
    std::shared_ptr<CVideoSearchController> controller;
    std::vector<VideoDataType> kinds;
    teskplaycontroller::CCameraVideoSearchCondition condition;
    bool finished = false;
};

int64_t ParseTime(const QString &text, bool &ok)
{
    const int64_t t = Quor::Base::TimeUtil::ISODatetime2TimeT(text.toStdString());
    ok = t >= 0;
    return t;
}

// The cameras to search: all of the directory, or those named "site:camera" on the command line.
bool SelectCameras(const QStringList &wanted, std::vector<OrlPluginManager::Camera> &out)
{
    const auto all = OrlPluginManager::CCameraDirectory::Instance().FindCameras({});
    if (wanted.isEmpty()) {
        out = all;
        return true;
    }
    for (const QString &name : wanted) {
        const QStringList parts = name.split(':');
        bool found = false;
        for (const auto &camera : all) {
            const bool match = parts.size() == 2 ? camera.site_id == parts[0].toStdString() &&
                                                       camera.id == parts[1].toStdString()
                                                 : camera.id == name.toStdString();
            if (match) {
                out.push_back(camera);
                found = true;
            }
        }
        if (!found) {
            std::fprintf(stderr, "tvs-search: unknown camera \"%s\"\n", qPrintable(name));
            return false;
        }
    }
    return true;
}

teskplaycontroller::CCameraVideoSearchCondition
BaseCondition(const std::vector<OrlPluginManager::Camera> &cameras, int64_t begin, int64_t end,
              teskplaycontroller::VideoSearchType type)
{
    teskplaycontroller::CCameraVideoSearchCondition condition;
    auto &data = *condition.GetDataPtr();
    data.search_guid = Quor::Base::GuidUtil::CreateGuid();
    data.search_type = type;
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
        if (type == teskplaycontroller::VideoSearchTag)
            info.camera_type_code = 254;
        data.tesk_camera_info.push_back(info);
    }
    return condition;
}

bool Contains(const std::vector<VideoDataType> &kinds, VideoDataType kind)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

// Splits the wanted kinds into the searches the panel would run for them.
std::vector<SearchGroup> BuildGroups(const std::vector<VideoDataType> &kinds,
                                     const std::vector<OrlPluginManager::Camera> &cameras,
                                     int64_t begin, int64_t end)
{
    std::vector<SearchGroup> groups;
    const auto add = [&](const char *name, teskplaycontroller::VideoSearchType type,
                         std::vector<VideoDataType> served) {
        SearchGroup group;
        group.name = name;
        group.kinds = std::move(served);
        group.condition = BaseCondition(cameras, begin, end, type);
        group.controller = std::make_shared<CVideoSearchController>();
        groups.push_back(std::move(group));
        return &groups.back();
    };
    if (Contains(kinds, RegularVideo))
        add("all", teskplaycontroller::VideoSearchRecord, {RegularVideo});
    if (Contains(kinds, LockVideo))
        add("locked", teskplaycontroller::VideoSearchLock, {LockVideo});
    std::vector<VideoDataType> tags;
    for (VideoDataType kind : {EventAlarmVideo, TagVideo, OtherVideo}) {
        if (Contains(kinds, kind))
            tags.push_back(kind);
    }
    if (!tags.empty()) {
        SearchGroup *group = add("tags", teskplaycontroller::VideoSearchTag, tags);
        auto extra = std::make_shared<teskplaycontroller::CLableExtra>();
        // One kind filters by its tag type; several take every tag and the pages filter.
        const int label_type = tags.size() > 1              ? VideoSearchTagType::TagTypeAll
                               : tags[0] == EventAlarmVideo ? TagTypeEventLinkage
                               : tags[0] == TagVideo        ? TagTypeManual
                                                            : TagTypeOther;
        extra->SetVal_label_type(label_type);
        group->condition.GetDataPtr()->ptr_label_extra = extra;
    }
    const bool person = Contains(kinds, PersonDetectVideo);
    const bool vehicle = Contains(kinds, VehicleDetectVideo);
    if (person || vehicle) {
        std::vector<VideoDataType> served;
        if (person)
            served.push_back(PersonDetectVideo);
        if (vehicle)
            served.push_back(VehicleDetectVideo);
        SearchGroup *group =
            add("person-vehicle", teskplaycontroller::VideoSearchPersonVehicle, served);
        auto extra = std::make_shared<teskplaycontroller::CPersonVehicleExtra>();
        extra->SetVal_event_type(person && vehicle ? 1 : person ? 2 : 4);
        group->condition.GetDataPtr()->ptr_person_vehicle_extra = extra;
        group->condition.GetDataPtr()->event_type = extra->GetVal_event_type();
    }
    return groups;
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

void PrintRows(SearchGroup &group, VideoDataType kind, const QVector<CResourceKey> &keys, int rows)
{
    CVideoFileParam param;
    param.SetVal_data_type(kind);
    param.SetVal_qvc_filter_camera_keys(keys);
    param.SetVal_show_type(SortBeginAscending);
    param.SetVal_begin_index(0);
    param.SetVal_end_index(rows - 1);
    CameraFilesList out;
    group.controller->GetVideoFiles(out, param);
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

// Qt's own diagnostics (for instance the offscreen platform declining to raise a pop-up) go
// to the log, not between the results.
void LogQtMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    mirelog::Write(type >= QtCriticalMsg ? mirelog::LevelError : mirelog::LevelInfo,
                   "OrlClientInfo", "Qt: %s", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(LogQtMessage);
    // A console host: no window appears unless a display is there for the notifications.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tvs-search"));
    InstallHostTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Searches the embedded recording store and prints what it finds."));
    parser.addHelpOption();
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
    parser.process(app);

    teskrecordserver::CStoreStatus status;
    std::shared_ptr<teskrecordserver::CRecordingServer> server;
    if (parser.isSet("store")) {
        server = std::make_shared<teskrecordserver::CRecordingServer>();
        status = server->Open(parser.value("store").toStdString());
        if (status) {
            server->PublishToHost();
            teskrecordserver::CRecordingServer::Install(server);
        }
    } else {
        server = teskrecordserver::CRecordingServer::StartDefault(status);
    }
    if (!status || !server) {
        std::fprintf(stderr, "tvs-search: %s\n", status.Message().c_str());
        return ExitStoreError;
    }

    std::vector<VideoDataType> kinds;
    const QStringList kind_names =
        parser.isSet("kinds")
            ? parser.value("kinds").split(',', Qt::SkipEmptyParts)
            : QStringList{"all", "person", "vehicle", "event", "manual", "locked", "other"};
    for (const QString &name : kind_names) {
        const auto found = std::find_if(std::begin(kKinds), std::end(kKinds),
                                        [&](const KindName &k) { return name == k.name; });
        if (found == std::end(kKinds)) {
            std::fprintf(stderr, "tvs-search: unknown kind \"%s\"\n", qPrintable(name));
            return ExitUsage;
        }
        kinds.push_back(found->kind);
    }

    int64_t end = 0;
    bool ok = true;
    if (parser.isSet("to")) {
        end = ParseTime(parser.value("to"), ok);
    } else if (const auto period_end = server->Catalogue().Meta("period_end")) {
        end = std::stoll(*period_end);
    } else {
        end = QDateTime::currentSecsSinceEpoch();
    }
    int64_t begin = end - 7 * 86400 + 1;
    if (ok && parser.isSet("from"))
        begin = ParseTime(parser.value("from"), ok);
    const int rows = parser.value("rows").toInt(&ok) > 0 ? parser.value("rows").toInt() : 0;
    const int timeout = parser.value("timeout").toInt();
    if (!ok || rows <= 0 || timeout <= 0) {
        std::fprintf(stderr, "tvs-search: a time is not ISO 8601, or --rows/--timeout is not a "
                             "positive number\n");
        return ExitUsage;
    }

    std::vector<OrlPluginManager::Camera> cameras;
    if (!SelectCameras(parser.values("camera"), cameras))
        return ExitUsage;
    std::printf("Store %s: %zu cameras, %s to %s\n", server->StoreDir().c_str(), cameras.size(),
                Quor::Base::TimeUtil::TimeT2ISODatetime(begin, 0, true).c_str(),
                Quor::Base::TimeUtil::TimeT2ISODatetime(end, 0, true).c_str());

    std::vector<SearchGroup> groups = BuildGroups(kinds, cameras, begin, end);
    QElapsedTimer clock;
    clock.start();
    int running = 0;
    for (SearchGroup &group : groups) {
        SearchGroup *g = &group;
        QObject::connect(
            group.controller.get(), &CVideoSearchController::SignalSearchResult, &app,
            [&, g](const ClipSearchEvent &event) {
                const CClipSearchEventData data = event.GetEventData();
                switch (event.GetEventType()) {
                case ClipSearchDataArrived:
                    std::printf("%7.3fs  %-15s %d results so far\n", clock.elapsed() / 1000.0,
                                g->name, data.GetVal_current_data_num_());
                    break;
                case ClipSearchFinished:
                    if (g->finished)
                        break;
                    g->finished = true;
                    std::printf("%7.3fs  %-15s finished%s\n", clock.elapsed() / 1000.0, g->name,
                                data.GetVal_max_data() ? " (result limit reached)" : "");
                    if (--running == 0)
                        app.quit();
                    break;
                default:
                    break;
                }
                std::fflush(stdout);
            });
        if (group.controller->SearchCameraFiles(group.condition, 3600)) {
            ++running;
        } else {
            std::printf("%-15s could not start\n", group.name);
            group.finished = true;
        }
    }
    bool timed_out = false;
    QTimer::singleShot(timeout * 1000, &app, [&] {
        timed_out = true;
        app.quit();
    });
    if (running > 0)
        app.exec();
    if (timed_out) {
        std::fprintf(stderr, "tvs-search: the searches did not finish within %d s\n", timeout);
        return ExitTimeout;
    }

    const QVector<CResourceKey> keys = KeysOf(cameras);
    std::printf("\nResults per kind:\n");
    for (SearchGroup &group : groups) {
        for (VideoDataType kind : group.kinds)
            std::printf("  %-8s %d\n", NameOf(kind), group.controller->GetTotalFileNum(kind, keys));
    }
    for (SearchGroup &group : groups) {
        for (VideoDataType kind : group.kinds)
            PrintRows(group, kind, keys, rows);
    }
    return ExitOk;
}
