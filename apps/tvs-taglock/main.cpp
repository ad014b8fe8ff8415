// tvs-taglock: modifies or deletes a tag, or unlocks a recording, in the embedded recording
// store through the playback controller's tag and lock services, and prints the outcome; lists
// a camera's tags and locks with their identifiers.

#include "recordserver/RecordingServer.h"

#include "playcontroller/LabelManager.h"
#include "playcontroller/LockManager.h"
#include "quorbase/Util.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>

using namespace teskplaycontroller;
using namespace teskrecordserver;

namespace {

enum ExitCode {
    ExitOk = 0,
    ExitFailed = 1,
    ExitUsage = 2,
};

// Waits on this thread for the one answer a service gives to the one request of this run.
class COutcome : public CLabelMgrObserver, public CLockMgrObserver
{
public:
    void UpdateLabelOperateState(const CLabelMgrObserverParam &param) override
    {
        const int state = param.GetVal_state_type();
        Set(state == LabelStateModifySuccess || state == LabelStateDeleteSuccess,
            param.GetVal_str_error_code());
    }
    void UpdateLockOperateState(const CLockMgrObserverParam &param) override
    {
        const int state = param.GetVal_state_type();
        Set(state == LockStateUnlockSuccess || state == LockStateLockSuccess,
            param.GetVal_str_error_code());
    }

    // The outcome: success, or the service's error text.
    std::pair<bool, std::string> Wait()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        answered_.wait(lock, [&] { return outcome_.has_value(); });
        return *outcome_;
    }

private:
    void Set(bool ok, const std::string &error)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!outcome_)
                outcome_ = std::make_pair(ok, error);
        }
        answered_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable answered_;
    std::optional<std::pair<bool, std::string>> outcome_;
};

bool ParseTime(const QString &text, int64_t &out)
{
    bool number = false;
    const qlonglong seconds = text.toLongLong(&number);
    if (number) {
        out = seconds;
        return seconds >= 0;
    }
    out = Quor::Base::TimeUtil::ISODatetime2TimeT(text.toStdString());
    return out >= 0;
}

std::string Iso(int64_t t)
{
    return Quor::Base::TimeUtil::TimeT2ISODatetime(t, 0, true);
}

void List(const CRecordCatalogue &catalogue, const CameraRow &camera)
{
    std::printf("Camera %s of site %s (%s)\n", camera.id.c_str(), camera.site_id.c_str(),
                camera.name.c_str());
    const auto tags = catalogue.Tags(camera.site_id, camera.id, 0, INT64_MAX);
    std::printf("Tags (%zu):\n", tags.size());
    for (const TagRow &tag : tags)
        std::printf("  %s  %s  %s  type %d  \"%s\"\n", tag.label_id.c_str(), Iso(tag.begin).c_str(),
                    Iso(tag.end).c_str(), tag.label_type, tag.name.c_str());
    const auto locks = catalogue.Locks(camera.site_id, camera.id, 0, INT64_MAX);
    std::printf("Locks (%zu):\n", locks.size());
    for (const FileRow &lock : locks)
        std::printf("  --unlock %s/%s  (%lld/%lld)  %s\n", Iso(lock.begin).c_str(),
                    Iso(lock.end).c_str(), static_cast<long long>(lock.begin),
                    static_cast<long long>(lock.end), lock.file_name.c_str());
}

int Usage(const char *message)
{
    std::fprintf(stderr, "tvs-taglock: %s (see --help)\n", message);
    return ExitUsage;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName("tvs-taglock");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Modifies or deletes a tag, or unlocks a recording, in the embedded recording store, and "
        "prints the outcome.\nExit codes: 0 done, 1 the operation failed, 2 bad usage.");
    parser.addHelpOption();
    parser.addOptions({
        {"store",
         "Store directory (default: $TESK_DATA_DIR/store or the user's data "
         "directory; created with sample data on first use).",
         "dir"},
        {"camera", "The camera, as site:camera, or the camera identifier alone.", "camera"},
        {"list", "Print the camera's tags and locks with their identifiers."},
        {"modify-tag", "Modify the tag with this identifier (needs --name).", "id"},
        {"name", "New name of the modified tag.", "text"},
        {"description", "New description of the modified tag (default: unchanged).", "text"},
        {"type",
         "New type of the modified tag: 101 manual, 102 event linkage, 103 other (default: "
         "unchanged).",
         "n"},
        {"delete-tag", "Delete the tag with this identifier.", "id"},
        {"unlock", "Unlock the recording locked over begin/end (ISO 8601 or seconds).", "span"},
        {"operator", "Who is logged for the change (default: this account).", "name"},
        {"timeout", "Seconds to wait for the recorder's answer.", "s", "30"},
    });
    parser.process(app);

    const int operations = int(parser.isSet("modify-tag")) + int(parser.isSet("delete-tag")) +
                           int(parser.isSet("unlock")) + int(parser.isSet("list"));
    if (operations != 1)
        return Usage("give exactly one of --list, --modify-tag, --delete-tag, --unlock");
    if (!parser.isSet("camera") || parser.value("camera").isEmpty())
        return Usage("name the camera with --camera");
    if (parser.isSet("modify-tag") && parser.value("name").isEmpty())
        return Usage("--modify-tag needs --name");
    bool timeout_ok = false;
    const int timeout = parser.value("timeout").toInt(&timeout_ok);
    if (!timeout_ok || timeout <= 0)
        return Usage("--timeout must be a positive number of seconds");
    bool type_ok = false;
    const int type = parser.value("type").toInt(&type_ok);
    if (parser.isSet("type") && (!type_ok || type < 101 || type > 103))
        return Usage("--type must be 101, 102 or 103");
    int64_t begin = 0, end = 0;
    if (parser.isSet("unlock")) {
        const QStringList span = parser.value("unlock").split('/');
        if (span.size() != 2 || !ParseTime(span[0], begin) || !ParseTime(span[1], end) ||
            end < begin)
            return Usage("--unlock needs begin/end, the begin not after the end");
    }

    CStoreStatus status;
    std::shared_ptr<CRecordingServer> server;
    if (parser.isSet("store")) {
        server = std::make_shared<CRecordingServer>();
        status = server->Open(parser.value("store").toStdString());
        if (status)
            CRecordingServer::Install(server);
    } else {
        server = CRecordingServer::StartDefault(status);
    }
    if (!status || !server) {
        std::fprintf(stderr, "tvs-taglock: %s\n", status.Message().c_str());
        return ExitFailed;
    }

    const QStringList camera_parts = parser.value("camera").split(':');
    std::string site_id, camera_id;
    if (camera_parts.size() == 2) {
        site_id = camera_parts[0].toStdString();
        camera_id = camera_parts[1].toStdString();
    } else {
        camera_id = parser.value("camera").toStdString();
    }
    std::optional<CameraRow> camera;
    if (!site_id.empty()) {
        camera = server->Catalogue().FindCamera(site_id, camera_id);
    } else {
        const auto matches = server->Catalogue().FindCamerasById(camera_id);
        if (matches.size() > 1)
            return Usage("the camera exists on several sites; name it as site:camera");
        if (!matches.empty())
            camera = matches.front();
    }
    if (!camera) {
        std::fprintf(stderr, "tvs-taglock: unknown camera \"%s\"\n",
                     qPrintable(parser.value("camera")));
        return ExitUsage;
    }
    if (parser.isSet("list")) {
        List(server->Catalogue(), *camera);
        return ExitOk;
    }

    auto &labels = Quor::Base::CSingleton<CLabelManager>::Instance();
    auto &locks = Quor::Base::CSingleton<CLockManager>::Instance();
    labels.SetAnswerTimeout(std::chrono::seconds(timeout));
    locks.SetAnswerTimeout(std::chrono::seconds(timeout));
    COutcome outcome;
    labels.RegisterObserver(&outcome);
    locks.RegisterObserver(&outcome);
    const std::string operator_name = parser.value("operator").toStdString();
    std::string what;
    if (parser.isSet("unlock")) {
        LockRecordFileParam param;
        param.camera_id = camera->id;
        param.site_id = camera->site_id;
        param.begin_time = begin;
        param.end_time = end;
        param.operation_type = LockOperationUnlock;
        param.operator_name = operator_name;
        what = "Unlocking " + Iso(begin) + "/" + Iso(end) + " of camera " + camera->id;
        locks.LockAndUnlockRecord(param);
    } else {
        OperatLabelParam param;
        const bool remove = parser.isSet("delete-tag");
        param.operation_type = remove ? LabelOperationDelete : LabelOperationModify;
        param.label_id = parser.value(remove ? "delete-tag" : "modify-tag").toStdString();
        param.camera_id = camera->id;
        param.site_id = camera->site_id;
        param.label_name = parser.value("name").toStdString();
        param.label_desc = parser.value("description").toStdString();
        param.label_type = type;
        // What the operator did not name stays as it is.
        if (const auto tag =
                server->Catalogue().FindTag(camera->site_id, camera->id, param.label_id)) {
            if (!parser.isSet("description"))
                param.label_desc = tag->description;
            if (!parser.isSet("type"))
                param.label_type = tag->label_type;
        }
        param.operator_name = operator_name;
        what = std::string(remove ? "Deleting" : "Modifying") + " tag " + param.label_id +
               " of camera " + camera->id;
        labels.OperatLabel(param);
    }
    const auto [ok, error] = outcome.Wait();
    labels.SyncUnregisterObserver(&outcome);
    locks.SyncUnregisterObserver(&outcome);
    if (!ok) {
        std::fprintf(stderr, "%s failed: %s\n", what.c_str(), error.c_str());
        return ExitFailed;
    }
    std::printf("%s: done.\n", what.c_str());
    return ExitOk;
}
