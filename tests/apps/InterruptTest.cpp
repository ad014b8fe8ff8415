#include "ToolRunner.h"

#include "Mp4Probe.h"

#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <random>

using namespace ToolTest;

namespace {

constexpr int kInterruptRuns = 20;

qint64 FileSize(const QString &path)
{
    return QFileInfo(path).size();
}

// Hidden entries of `dir` whose names start with `prefix`: the tools' working folders.
QStringList Hidden(const QString &dir, const QString &prefix)
{
    return QDir(dir).entryList({prefix + "*"},
                               QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Starts `tool`, waits until `moment` holds (or the tool has ended), then sends `signal_number`.
// The exit code, -1 when the tool did not end.
int InterruptAt(const QString &tool, const QStringList &arguments,
                const std::function<bool()> &moment, int signal_number = SIGINT)
{
    auto process = StartTool(tool, arguments);
    if (!process->waitForStarted(kToolTimeoutMs))
        return -1;
    const bool reached = QTest::qWaitFor(
        [&] { return process->state() == QProcess::NotRunning || moment(); }, kToolTimeoutMs);
    if (reached && process->state() != QProcess::NotRunning)
        ::kill(static_cast<pid_t>(process->processId()), signal_number);
    if (!process->waitForFinished(kToolTimeoutMs)) {
        process->kill();
        process->waitForFinished();
        return -1;
    }
    const QString err = QString::fromLocal8Bit(process->readAllStandardError());
    if (process->exitCode() == kExitInterrupted) {
        EXPECT_TRUE(err.contains("interrupted")) << err.toStdString();
    }
    return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
}

} // namespace

TEST(Interrupt, CameraTimeLapseLeavesTheVideoWholeOrAbsent)
{
    std::mt19937 random(20261206);
    const QString dir = TestSupport::ScratchDir() + "/interrupted-timelapse";
    for (int i = 0; i < 10; ++i)
        WriteFile(dir + "/" + QString::number(i) + ".jpg",
                  "the user's own " + QByteArray::number(i));
    const auto before = Listing(dir);
    const QString output = dir + "/lapse.mp4";
    int interrupted = 0;
    for (int run = 0; run < kInterruptRuns; ++run) {
        // A signal before the tool watches for it ends the process before it wrote anything;
        // every moment from its working folder on is a moment the tool must clean up.
        const int stage = 1 + static_cast<int>(random() % 3);
        const int pictures = 1 + static_cast<int>(random() % 400);
        const auto work = [&] {
            return Hidden(dir, ".lapse.work-");
        };
        const auto moment = [&]() -> bool {
            switch (stage) {
            case 1:
                return !work().isEmpty();
            case 2:
                return !work().isEmpty() && QFileInfo::exists(dir + "/" + work().front() + "/" +
                                                              QString::number(pictures) + ".jpg");
            default:
                return !work().isEmpty() && FileSize(dir + "/" + work().front() + "/lapse.mp4") > 0;
            }
        };
        const int code = InterruptAt("tvs-timelapse",
                                     {"--camera", "cam-1", "--begin", "2026-12-01 00:00:00",
                                      "--end", "2026-12-01 00:20:00", "--interval", "2", "--size",
                                      "160x120", "--output", output},
                                     moment);
        ASSERT_TRUE(code == kExitInterrupted || code == kExitOk)
            << "run " << run << " stage " << stage << " exit " << code;
        EXPECT_TRUE(work().isEmpty()) << "run " << run;
        auto after = Listing(dir);
        if (code == kExitInterrupted) {
            ++interrupted;
            EXPECT_FALSE(after.contains("lapse.mp4")) << "run " << run << " stage " << stage;
        } else {
            const auto probe = TestSupport::ProbeVideo(output.toStdString());
            EXPECT_EQ(probe.frames, 601) << "run " << run;
            QFile::remove(output);
            after.remove("lapse.mp4");
        }
        EXPECT_EQ(after, before) << "run " << run << " stage " << stage;
    }
    EXPECT_GT(interrupted, kInterruptRuns / 2);
}

TEST(Interrupt, LargeStoreCreationLeavesTheStoreWholeOrAbsent)
{
    std::mt19937 random(61220262);
    const QString parent = TestSupport::ScratchDir() + "/interrupted-store";
    QDir().mkpath(parent);
    WriteFile(parent + "/readme.txt", "the user's own file");
    const auto before = Listing(parent);
    const QString store = parent + "/large";
    int interrupted = 0;
    for (int run = 0; run < kInterruptRuns; ++run) {
        const int stage = 1 + static_cast<int>(random() % 3);
        const qint64 megabytes = 1 + static_cast<qint64>(random() % 30);
        const auto partial = [&] {
            return Hidden(parent, ".large.partial-");
        };
        const auto moment = [&]() -> bool {
            if (partial().isEmpty())
                return false;
            const QString folder = parent + "/" + partial().front();
            if (stage == 1)
                return true;
            if (stage == 2)
                return QFileInfo::exists(folder + "/media");
            return FileSize(folder + "/catalogue.db-wal") + FileSize(folder + "/catalogue.db") >
                   megabytes * 1024 * 1024;
        };
        const int code = InterruptAt("tvs-store", {"--large", "--quiet", store}, moment);
        ASSERT_TRUE(code == kExitInterrupted || code == kExitOk)
            << "run " << run << " stage " << stage << " exit " << code;
        EXPECT_TRUE(partial().isEmpty()) << "run " << run << " stage " << stage;
        auto after = Listing(parent);
        if (code == kExitInterrupted) {
            ++interrupted;
            EXPECT_FALSE(QFileInfo::exists(store)) << "run " << run << " stage " << stage;
        } else {
            // Whole: the tool describes it without a failure.
            const Result check = RunTool("tvs-store", {store});
            EXPECT_EQ(check.exit_code, kExitOk) << check.err.toStdString();
            EXPECT_TRUE(check.out.contains("cameras           640")) << check.out.toStdString();
            QDir(store).removeRecursively();
            after = Listing(parent);
        }
        EXPECT_EQ(after, before) << "run " << run << " stage " << stage;
    }
    EXPECT_GT(interrupted, kInterruptRuns / 2);
}

TEST(Interrupt, TerminationCleansUpAsAnInterruptDoes)
{
    const QString dir = TestSupport::ScratchDir() + "/terminated";
    QDir().mkpath(dir);
    const QString store = dir + "/store";
    const int stopped_store = InterruptAt(
        "tvs-store", {"--quiet", store}, [&] { return !Hidden(dir, ".store.partial-").isEmpty(); },
        SIGTERM);
    EXPECT_EQ(stopped_store, kExitInterrupted);
    const int stopped_lapse = InterruptAt(
        "tvs-timelapse",
        {"--camera", "cam-1", "--begin", "2026-12-01 00:00:00", "--end", "2026-12-01 01:00:00",
         "--interval", "1", "--size", "160x120", "--output", dir + "/lapse.mp4"},
        [&] { return !Hidden(dir, ".lapse.work-").isEmpty(); }, SIGTERM);
    EXPECT_EQ(stopped_lapse, kExitInterrupted);
    EXPECT_TRUE(Listing(dir).isEmpty()) << QStringList(Listing(dir).keys()).join(' ').toStdString();
}

TEST(Interrupt, PausedCameraTimeLapseResumesIntoAWholeVideo)
{
    const QString dir = TestSupport::ScratchDir() + "/paused";
    QDir().mkpath(dir);
    const QString output = dir + "/lapse.mp4";
    auto process =
        StartTool("tvs-timelapse", {"--camera", "cam-1", "--begin", "2026-12-01 00:00:00", "--end",
                                    "2026-12-01 00:20:00", "--interval", "2", "--size", "160x120",
                                    "--output", output});
    ASSERT_TRUE(process->waitForStarted(kToolTimeoutMs));
    QString err;
    const auto saw = [&](const char *text) {
        return QTest::qWaitFor(
            [&] {
                err += QString::fromLocal8Bit(process->readAllStandardError());
                return err.contains(text) || process->state() == QProcess::NotRunning;
            },
            kToolTimeoutMs);
    };
    // Paused while the pictures are downloaded: the rerun writes them again where it did.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QStringList work = Hidden(dir, ".lapse.work-");
            return process->state() == QProcess::NotRunning ||
                   (!work.isEmpty() && QFileInfo::exists(dir + "/" + work.front() + "/50.jpg"));
        },
        kToolTimeoutMs));
    ASSERT_EQ(process->state(), QProcess::Running) << "the task ended before it could be paused";
    ::kill(static_cast<pid_t>(process->processId()), SIGTSTP);
    ASSERT_TRUE(saw("paused;"));
    ::kill(static_cast<pid_t>(process->processId()), SIGCONT);
    ASSERT_TRUE(process->waitForFinished(kToolTimeoutMs));
    err += QString::fromLocal8Bit(process->readAllStandardError());
    EXPECT_EQ(process->exitCode(), kExitOk) << err.toStdString();
    EXPECT_EQ(TestSupport::ProbeVideo(output.toStdString()).frames, 601);
    EXPECT_EQ(Listing(dir).keys(), QStringList{"lapse.mp4"});
}
