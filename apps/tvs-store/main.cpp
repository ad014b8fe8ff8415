// tvs-store: creates the embedded recording store on first use and prints what it holds.

#include "ToolSupport.h"

#include "recordserver/RecordingServer.h"

#include "quorbase/Util.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>
#include <limits>
#include <map>
#include <optional>

using namespace teskrecordserver;
using namespace TeskVideoSearch;

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

// False with the store named when a count or row could not be read.
bool PrintStore(const CRecordingServer &server)
{
    const CRecordCatalogue &catalogue = server.Catalogue();
    CRecordCatalogue::TakeThreadReadError();
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
    std::fflush(stdout);
    if (const std::string error = CRecordCatalogue::TakeThreadReadError(); !error.empty()) {
        PrintToolError(
            QStringLiteral("the store %1 cannot be read: %2; the figures above are "
                           "incomplete")
                .arg(QString::fromStdString(server.StoreDir()), QString::fromStdString(error)));
        return false;
    }
    return true;
}

struct StoreOptions
{
    GeneratorOptions generator = GeneratorOptions::Default();
    bool seed_set = false;
    QString dir;
    bool quiet = false;
};

std::optional<int> ReadOptions(QCommandLineParser &parser, const QCoreApplication &app,
                               StoreOptions &out)
{
    parser.setApplicationDescription(
        "Creates the embedded recording store on first use and prints what it holds. A new store "
        "is built beside its folder and moved into place when complete; a folder of other files "
        "or a foreign catalogue is refused and left untouched.");
    parser.addPositionalArgument(
        "dir", "Store directory (default: $TESK_DATA_DIR/store or the user's data directory).",
        "[dir]");
    const QCommandLineOption seed("seed", "Seed of a newly generated store.", "n");
    const QCommandLineOption large("large", "Generate the large benchmark store.");
    const QCommandLineOption quiet("quiet", "Print nothing but errors.");
    parser.addOptions({seed, large, quiet});
    if (const auto stop = ParseToolCommandLine(parser, app))
        return stop;

    out.generator = parser.isSet(large) ? GeneratorOptions::Large() : GeneratorOptions::Default();
    out.quiet = parser.isSet(quiet);
    if (parser.isSet(seed)) {
        bool ok = false;
        const QString text = parser.value(seed).trimmed();
        out.generator.seed = text.toULongLong(&ok);
        if (!ok || text.startsWith('-') || text.startsWith('+'))
            return RefuseUsage("--seed must be a non-negative whole number, not \"" +
                               parser.value(seed) + "\"");
        out.seed_set = true;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return RefuseUsage("at most one store directory; see --help");
    if (!positional.isEmpty() && positional.front().trimmed().isEmpty())
        return RefuseUsage("the store directory is empty; give a folder or leave it out for the "
                           "default store");
    out.dir = positional.isEmpty() ? QString() : positional.front();
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    RouteLibraryMessagesToLog();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName("tvs-store");
    CInterrupts::Install();

    QCommandLineParser parser;
    StoreOptions options;
    if (const auto stop = ReadOptions(parser, app, options))
        return *stop;

    int exit_code = kExitOk;
    const auto server = OpenToolStore(options.dir, options.generator, exit_code);
    if (!server)
        return exit_code;
    // The seed of an existing store cannot change: asking for another one is refused.
    const std::string stored_seed = server->Catalogue().Meta("seed").value_or("");
    if (options.seed_set && stored_seed != std::to_string(options.generator.seed))
        return *RefuseUsage(
            QStringLiteral("the store %1 exists with seed %2; --seed %3 applies to a new "
                           "store only (give another folder)")
                .arg(QString::fromStdString(server->StoreDir()),
                     QString::fromStdString(stored_seed))
                .arg(options.generator.seed));
    if (options.quiet)
        return kExitOk;
    return PrintStore(*server) ? kExitOk : kExitFailed;
}
