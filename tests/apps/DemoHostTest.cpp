// The demo host's own parts: opening or creating the store, the map of GPS tracks, and the
// time-lapse task window.

#include "DemoExpandInterface.h"
#include "DemoStore.h"
#include "TimeLapseTasksWidget.h"
#include "ToolRunner.h"
#include "TrackMapWidget.h"

#include "ToolSupport.h"
#include "mirelog/Log.h"
#include "timelapse/TimeLapsePhotoManager.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

using namespace TeskVideoSearch;
using ToolTest::Listing;
using ToolTest::WriteFile;

namespace {

constexpr int kCreationTimeoutMs = 300000;

// Opens `dir` with the store tool of this build as creator; the message on failure.
struct OpenOutcome
{
    bool opened = false;
    QString message;
    std::shared_ptr<teskrecordserver::CRecordingServer> server;
};

OpenOutcome OpenWith(CDemoStoreOpener &opener, const QString &dir)
{
    QSignalSpy opened(&opener, &CDemoStoreOpener::SignalOpened);
    QSignalSpy failed(&opener, &CDemoStoreOpener::SignalFailed);
    opener.Open(dir);
    (void)QTest::qWaitFor([&]() { return opened.count() + failed.count() > 0; },
                          kCreationTimeoutMs);
    OpenOutcome outcome;
    outcome.opened = opened.count() == 1 && failed.isEmpty();
    outcome.message = failed.isEmpty() ? QString() : failed.front().front().toString();
    outcome.server = opener.Server();
    return outcome;
}

QStringList PartialFoldersBeside(const QString &dir)
{
    return QDir(QFileInfo(dir).absolutePath())
        .entryList({"." + QFileInfo(dir).fileName() + ".partial-*"},
                   QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

QString LogText()
{
    QFile log(QString::fromStdString(mirelog::LogFilePath()));
    log.open(QIODevice::ReadOnly);
    return QString::fromUtf8(log.readAll());
}

// One store for the tests that need real recordings: created once, by the host's own road.
std::shared_ptr<teskrecordserver::CRecordingServer> SharedStore()
{
    static std::shared_ptr<teskrecordserver::CRecordingServer> server;
    if (!server) {
        CDemoStoreOpener opener;
        opener.SetCreator(ToolTest::ToolPath("tvs-store"));
        const QString dir = TestSupport::ScratchDir() + "/shared-store";
        const OpenOutcome outcome = OpenWith(opener, dir);
        EXPECT_TRUE(outcome.opened) << qPrintable(outcome.message);
        server = outcome.server;
        if (server)
            InstallToolStore(server);
    }
    return server;
}

} // namespace

TEST(DemoStoreOpener, CreatesTheStoreOnceAndLeavesNoPartialFolder)
{
    const auto server = SharedStore();
    ASSERT_TRUE(server);
    EXPECT_FALSE(server->Catalogue().Cameras().empty());
    const QString dir = TestSupport::ScratchDir() + "/shared-store";
    EXPECT_TRUE(PartialFoldersBeside(dir).isEmpty());

    // A second open finds the store and creates nothing.
    CDemoStoreOpener again;
    again.SetCreator("/nonexistent/creator");
    QSignalSpy creating(&again, &CDemoStoreOpener::SignalCreating);
    const OpenOutcome outcome = OpenWith(again, dir);
    EXPECT_TRUE(outcome.opened) << qPrintable(outcome.message);
    EXPECT_TRUE(creating.isEmpty());
}

TEST(DemoStoreOpener, RefusesFoldersAndFilesItDidNotMakeAndLeavesThemUntouched)
{
    QTemporaryDir scratch;
    const QString folder = scratch.path() + "/photos";
    WriteFile(folder + "/holiday.jpg", "not a store");
    const QString damaged = scratch.path() + "/damaged";
    WriteFile(damaged + "/catalogue.db", QByteArray(4096, 'x'));
    const auto before = Listing(scratch.path());

    for (const QString &dir : {folder, damaged}) {
        CDemoStoreOpener opener;
        opener.SetCreator(ToolTest::ToolPath("tvs-store"));
        const OpenOutcome outcome = OpenWith(opener, dir);
        EXPECT_FALSE(outcome.opened) << qPrintable(dir);
        EXPECT_FALSE(outcome.server);
        // The message names what was refused, for the person to find it.
        EXPECT_TRUE(outcome.message.contains(QFileInfo(dir).fileName()))
            << qPrintable(outcome.message);
    }
    EXPECT_EQ(Listing(scratch.path()), before);
}

TEST(DemoStoreOpener, AMissingCreatorOrACancelFailsCleanly)
{
    QTemporaryDir scratch;
    CDemoStoreOpener missing;
    missing.SetCreator(scratch.path() + "/no-such-tool");
    OpenOutcome outcome = OpenWith(missing, scratch.path() + "/store");
    EXPECT_FALSE(outcome.opened);
    EXPECT_TRUE(outcome.message.contains("no-such-tool")) << qPrintable(outcome.message);

    CDemoStoreOpener cancelled;
    cancelled.SetCreator(ToolTest::ToolPath("tvs-store"));
    QSignalSpy failed(&cancelled, &CDemoStoreOpener::SignalFailed);
    cancelled.Open(scratch.path() + "/store", true);
    ASSERT_TRUE(cancelled.IsCreating());
    cancelled.Cancel();
    ASSERT_TRUE(QTest::qWaitFor([&]() { return !failed.isEmpty(); }, 30000));
    EXPECT_TRUE(failed.front().front().toString().contains("cancelled"));
    EXPECT_FALSE(cancelled.Server());
    EXPECT_FALSE(QFileInfo::exists(scratch.path() + "/store/catalogue.db"));
    EXPECT_TRUE(PartialFoldersBeside(scratch.path() + "/store").isEmpty());
}

TEST(TrackMap, MalformedTrackTextIsLoggedAndDrawsNothing)
{
    CTrackMapWidget map;
    const QStringList bad = {
        "",
        "{not json",
        "[1, 2]",
        R"({"longitude": 120.1, "longitude_hemiphere": "E", "latitude_hemiphere": "N"})",
        R"({"longitude": "east", "latitude": 30.2, "longitude_hemiphere": "E", "latitude_hemiphere": "N"})",
        R"({"longitude": 200.0, "latitude": 30.2, "longitude_hemiphere": "E", "latitude_hemiphere": "N"})",
        R"({"longitude": 120.1, "latitude": 95.0, "longitude_hemiphere": "E", "latitude_hemiphere": "N"})",
        R"({"longitude": 120.1, "latitude": 30.2, "longitude_hemiphere": "X", "latitude_hemiphere": "N"})",
    };
    for (const QString &text : bad)
        EXPECT_FALSE(map.AddTrackPoint(text)) << qPrintable(text);
    EXPECT_EQ(map.PointCount(), 0);
    EXPECT_EQ(map.RejectedCount(), bad.size());
    EXPECT_FALSE(map.LoadCamera("{\"IsBodyCam\": true}"));
    EXPECT_TRUE(LogText().contains("Track point refused, not JSON"));
    EXPECT_TRUE(LogText().contains("not a place on Earth"));
}

TEST(TrackMap, HemispheresSignThePositionAndTheTrackIsDrawn)
{
    CTrackMapWidget map;
    map.resize(320, 240);
    const QImage empty = map.grab().toImage();
    ASSERT_TRUE(map.LoadCamera(R"({"CamElementID": "S001-C003", "IsBodyCam": true})"));
    EXPECT_EQ(map.CameraId(), "S001-C003");
    // What the player sends: sizes with letters, and the occasional number as text.
    ASSERT_TRUE(map.AddTrackPoint(
        R"({"strCurrTime": "2026-12-05 10:00:00", "longitude": 0.1278, "latitude": 51.5074, "longitude_hemiphere": "W", "latitude_hemiphere": "N", "isNeedLink": true})"));
    ASSERT_TRUE(map.AddTrackPoint(
        R"({"strCurrTime": "2026-12-05 10:00:01", "longitude": "0.1290", "latitude": 51.5080, "longitude_hemiphere": "w", "latitude_hemiphere": "N", "isNeedLink": true})"));
    ASSERT_TRUE(map.LastPosition());
    EXPECT_DOUBLE_EQ(map.LastPosition()->x(), -0.1290);
    EXPECT_DOUBLE_EQ(map.LastPosition()->y(), 51.5080);
    QString error;
    const auto south = CTrackMapWidget::ParseTrackPoint(
        R"({"longitude": 151.2, "latitude": 33.9, "longitude_hemiphere": "E", "latitude_hemiphere": "S"})",
        error);
    ASSERT_TRUE(south);
    EXPECT_DOUBLE_EQ(south->latitude, -33.9);
    EXPECT_FALSE(south->linked);

    const QImage drawn = map.grab().toImage();
    EXPECT_NE(drawn, empty);
    // A new camera starts a new track.
    ASSERT_TRUE(map.LoadCamera(R"({"CamElementID": "S002-C001", "IsBodyCam": false})"));
    EXPECT_EQ(map.PointCount(), 0);
}

TEST(DemoExpandInterface, RoutesTheModulesMapCallsToOneMap)
{
    CDemoExpandInterface expand;
    QWidget *map = expand.GetMapWidget();
    ASSERT_TRUE(map);
    EXPECT_EQ(expand.GetMapWidget(), map);
    EXPECT_TRUE(expand.LoadMapInfo(R"({"CamElementID": "S001-C001", "IsBodyCam": true})"));
    EXPECT_TRUE(expand.SendTrackInfo(
        R"({"longitude": 10, "latitude": 20, "longitude_hemiphere": "E", "latitude_hemiphere": "N", "isNeedLink": true})"));
    EXPECT_FALSE(expand.SendTrackInfo("garbage"));
    EXPECT_EQ(expand.Map()->PointCount(), 1);
    expand.ClearData();
    EXPECT_EQ(expand.Map()->PointCount(), 0);
}

TEST(TimeLapseTasks, RefusesAnUnusableTaskWithoutStartingIt)
{
    CTimeLapseTasksWidget tasks;
    QTemporaryDir folder;
    tasks.SetOutputFolder(folder.path());
    const QDateTime now = QDateTime::currentDateTime();
    EXPECT_TRUE(tasks.StartTask("S001-C001", now, now.addSecs(-60)).empty());
    EXPECT_TRUE(tasks.StartTask(QString(), now.addSecs(-60), now).empty());
    tasks.SetOutputFolder(folder.path() + "/missing");
    EXPECT_TRUE(tasks.StartTask("S001-C001", now.addSecs(-60), now).empty());
    EXPECT_EQ(tasks.TaskCount(), 0);
    EXPECT_EQ(tasks.findChild<QTableWidget *>("ptr_timelapse_table_")->rowCount(), 0);
}

TEST(TimeLapseTasks, AFinishedVideoNeverTakesTheNameOfAnExistingFile)
{
    const auto server = SharedStore();
    ASSERT_TRUE(server);
    QThreadPool::globalInstance()->setMaxThreadCount(
        std::max(4, QThreadPool::globalInstance()->maxThreadCount()));
    CTimeLapseTasksWidget tasks;
    tasks.SetStore(server);
    auto *start = tasks.findChild<QAbstractButton *>("ptr_timelapse_start_btn_");
    ASSERT_TRUE(start->isEnabled()) << "the sample store has cameras with capture plans";
    QTemporaryDir folder;
    tasks.SetOutputFolder(folder.path());

    QSignalSpy finished(&tasks, &CTimeLapseTasksWidget::SignalTaskFinished);
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&]() { return !finished.isEmpty(); }, kCreationTimeoutMs));
    ASSERT_TRUE(finished.front().at(1).toBool()) << qPrintable(finished.front().at(2).toString());
    const QStringList first = QDir(folder.path()).entryList({"*.mp4"}, QDir::Files);
    ASSERT_EQ(first.size(), 1);

    // The same task again: the earlier video stays as it was and the new one gets its own name.
    const auto before = Listing(folder.path());
    finished.clear();
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&]() { return !finished.isEmpty(); }, kCreationTimeoutMs));
    ASSERT_TRUE(finished.front().at(1).toBool()) << qPrintable(finished.front().at(2).toString());
    const auto after = Listing(folder.path());
    EXPECT_EQ(after.value(first.front()), before.value(first.front()));
    // Two videos and nothing else: the working folders are gone.
    EXPECT_EQ(after.size(), 2) << qPrintable(QStringList(after.keys()).join(", "));
    EXPECT_EQ(tasks.TaskCount(), 2);
    // The rows stay; the manager lets the finished tasks go instead of keeping one per task.
    const std::string guid = finished.front().at(0).toString().toStdString();
    EXPECT_EQ(CTimeLapsePhotoManager::Instance().GetTimeLapseTaskState(guid), TaskWaiting);
}
