// tvs-store: creates the embedded recording store on first use and prints what it holds.

#include "recordserver/RecordingServer.h"

#include "quorbase/Util.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>
#include <limits>
#include <map>

using namespace teskrecordserver;

namespace {

const char *MediaName(int type)
{
    switch (type) {
    case ResourceData::StorageMediaCVR:
        return "CVR";
    case ResourceData::StorageMediaDevice:
        return "device";
    case ResourceData::StorageMediaCloud:
        return "cloud";
    case ResourceData::StorageMediaPStor:
        return "pStor";
    case ResourceData::StorageMediaPerFile:
        return "per-file";
    case ResourceData::StorageMediaObject:
        return "object";
    case ResourceData::StorageMediaNVR:
        return "NVR";
    default:
        return "unknown";
    }
}

void PrintStore(const CRecordingServer &server)
{
    const CRecordCatalogue &catalogue = server.Catalogue();
    std::printf("Store %s (schema %d)\n", server.StoreDir().c_str(), catalogue.SchemaVersion());
    if (const auto begin = catalogue.Meta("period_begin"), end = catalogue.Meta("period_end");
        begin && end)
        std::printf("Recorded from %s to %s, seed %s\n",
                    Quor::Base::TimeUtil::TimeT2ISODatetime(std::stoll(*begin), 0, true).c_str(),
                    Quor::Base::TimeUtil::TimeT2ISODatetime(std::stoll(*end), 0, true).c_str(),
                    catalogue.Meta("seed").value_or("?").c_str());
    for (const char *table : {"sites", "cameras", "media_files", "recordings", "tags", "locks",
                              "events", "capture_pictures", "operation_log"})
        std::printf("  %-17s %lld\n", table, static_cast<long long>(catalogue.Count(table)));

    std::map<std::pair<std::string, std::string>, RecordPlanRow> plans;
    for (const auto &plan : catalogue.RecordPlans())
        plans[{plan.site_id, plan.camera_id}] = plan;
    std::map<std::pair<std::string, std::string>, std::string> denials;
    for (const auto &denial : catalogue.PermissionDenials())
        denials[{denial.site_id, denial.camera_id}] += " " + std::to_string(denial.item);

    std::printf("\n%-10s %-12s %-18s %-8s %-9s %-8s %s\n", "site", "camera", "name", "zone",
                "storage", "files", "notes");
    for (const CameraRow &camera : catalogue.Cameras()) {
        const auto key = std::make_pair(camera.site_id, camera.id);
        std::string notes;
        if (camera.time_zone.b_dst)
            notes += "daylight saving; ";
        if (denials.count(key))
            notes += "denied permissions:" + denials[key] + "; ";
        if (const auto failure = catalogue.SearchFailure(camera.site_id, camera.id))
            notes += "search fails (parameter error " + std::to_string(failure->param_error_type) +
                     "); ";
        const auto plan = plans.find(key);
        std::printf(
            "%-10s %-12s %-18s %-8s %-9s %-8zu %s\n", camera.site_id.c_str(), camera.id.c_str(),
            camera.name.c_str(),
            Quor::Base::TimeUtil::TimeDifference2Str(camera.time_zone.utc_bias).c_str(),
            plan == plans.end() ? "none" : MediaName(plan->second.storage_media_type),
            catalogue.Recordings(camera.site_id, camera.id, 0, std::numeric_limits<int64_t>::max())
                .size(),
            notes.c_str());
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName("tvs-store");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Creates the embedded recording store on first use and prints what it holds.");
    parser.addHelpOption();
    parser.addPositionalArgument(
        "dir", "Store directory (default: $TESK_DATA_DIR/store or the user's data directory).",
        "[dir]");
    const QCommandLineOption seed("seed", "Seed of a newly generated store.", "n");
    const QCommandLineOption large("large", "Generate the large benchmark store.");
    const QCommandLineOption quiet("quiet", "Print nothing but errors.");
    parser.addOptions({seed, large, quiet});
    parser.process(app);

    GeneratorOptions options =
        parser.isSet(large) ? GeneratorOptions::Large() : GeneratorOptions::Default();
    if (parser.isSet(seed)) {
        bool ok = false;
        options.seed = parser.value(seed).toULongLong(&ok);
        if (!ok) {
            std::fprintf(stderr, "tvs-store: the seed must be a non-negative number\n");
            return 1;
        }
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        std::fprintf(stderr, "tvs-store: at most one store directory\n");
        return 1;
    }
    const std::string dir = positional.isEmpty() ? CRecordingServer::DefaultStoreDir()
                                                 : positional.front().toStdString();

    CRecordingServer server;
    const CStoreStatus status = server.Open(dir, options);
    if (!status) {
        std::fprintf(stderr, "tvs-store: %s\n", status.Message().c_str());
        return 2;
    }
    if (!parser.isSet(quiet))
        PrintStore(server);
    return 0;
}
