#include "ToolRunner.h"

#include "Mp4Probe.h"
#include "doubles/DirectoryTimeLapseProvider.h"

#include <QFileInfo>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>

using namespace ToolTest;

namespace {

// One small store for the whole binary, made by the tool itself.
const QString &SharedStore()
{
    static const QString dir = [] {
        const QString path = TestSupport::ScratchDir() + "/shared-store";
        const Result made = RunTool("tvs-store", {path, "--seed", "777", "--quiet"});
        EXPECT_EQ(made.exit_code, kExitOk) << made.err.toStdString();
        return path;
    }();
    return dir;
}

// A copy of the shared store's catalogue with a few pages overwritten by random bytes.
QString DamagedStore()
{
    static const QString dir = [] {
        const QString path = TestSupport::ScratchDir() + "/damaged-store";
        QDir().mkpath(path);
        QFile::copy(SharedStore() + "/catalogue.db", path + "/catalogue.db");
        QFile file(path + "/catalogue.db");
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        const qint64 pages = file.size() / 4096;
        EXPECT_GT(pages, 10);
        std::mt19937 random(12);
        for (qint64 page : {pages / 4, pages / 2, 3 * pages / 4}) {
            QByteArray noise(4096, 0);
            for (char &byte : noise)
                byte = static_cast<char>(random());
            file.seek(page * 4096);
            file.write(noise);
        }
        return path;
    }();
    return dir;
}

// A folder holding an SQLite file of another program under the catalogue's name.
QString ForeignStore()
{
    const QString path = TestSupport::ScratchDir() + "/foreign-store";
    QDir().mkpath(path);
    sqlite3 *db = nullptr;
    sqlite3_open((path + "/catalogue.db").toUtf8().constData(), &db);
    sqlite3_exec(db, "CREATE TABLE IF NOT EXISTS recipes(name TEXT)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

QString TextFolder()
{
    const QString path = TestSupport::ScratchDir() + "/text-folder";
    WriteFile(path + "/notes.txt", "my notes\n");
    return path;
}

QString TextFile()
{
    const QString path = TestSupport::ScratchDir() + "/a-text-file";
    WriteFile(path, "just text\n");
    return path;
}

struct ToolCase
{
    const char *name;
    QString arguments; // split at '|'
    int exit_code;
    QString message;         // in standard error (or standard output for --help)
    QString watched;         // folder whose listing must not change
    bool no_results = false; // nothing printed as if a search succeeded
};

void Check(const char *tool, const ToolCase &c)
{
    const auto before = Listing(c.watched);
    const Result result = RunTool(tool, c.arguments.split('|'));
    EXPECT_EQ(result.exit_code, c.exit_code) << c.name << "\n" << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(c.message) || result.out.contains(c.message))
        << c.name << ": expected \"" << c.message.toStdString() << "\" in\n"
        << result.err.toStdString();
    if (c.exit_code != kExitOk) {
        // One clear line, never a crash report or a wall of text.
        EXPECT_LE(result.err.trimmed().count('\n'), 1) << c.name << "\n"
                                                       << result.err.toStdString();
    }
    if (c.no_results) {
        EXPECT_FALSE(result.out.contains("Results per kind")) << c.name;
        EXPECT_FALSE(result.out.contains("recordings")) << c.name;
    }
    EXPECT_EQ(Listing(c.watched), before) << c.name;
}

} // namespace

TEST(TvsStore, RefusesWhatIsNotItsStoreAndLeavesItUntouched)
{
    const QString store = SharedStore();
    const QString scratch = TestSupport::ScratchDir();
    const ToolCase cases[] = {
        {"an existing store is described", store, kExitOk, "seed 777", store},
        {"empty path", "", kExitUsage, "empty", scratch},
        {"foreign SQLite file", ForeignStore(), kExitFailed, "not a catalogue of this program",
         ForeignStore()},
        {"folder of other files", TextFolder(), kExitFailed, "left untouched", TextFolder()},
        {"a text file", TextFile(), kExitFailed, "is not a folder", scratch},
        {"damaged catalogue", DamagedStore(), kExitFailed,
         DamagedStore() + "/catalogue.db is damaged", DamagedStore(), true},
        {"negative seed", store + "|--seed|-3", kExitUsage, "--seed must be", store},
        {"seed that is not a number", store + "|--seed|abc", kExitUsage, "--seed must be", store},
        {"another seed for an existing store", store + "|--seed|778", kExitUsage,
         "exists with seed 777", store},
        {"two folders", store + "|" + store, kExitUsage, "at most one", store},
        {"unknown option", "--colour", kExitUsage, "Unknown option 'colour'", scratch},
        {"help names the exit codes", "--help", kExitOk, "130 interrupted", scratch},
    };
    for (const ToolCase &c : cases)
        Check("tvs-store", c);
}

TEST(TvsSearch, ChecksEveryOptionBeforeSearching)
{
    const QString store = SharedStore();
    const QString search = "--store|" + store + "|--kinds|manual|--rows|1|";
    const QString to = "|--to|2026-12-03T00:00:00Z";
    const ToolCase cases[] = {
        {"exactly seven days", search + "--from|2026-11-26T00:00:00Z" + to, kExitOk,
         "Results per kind", store},
        {"reversed period", search + "--from|2026-12-03T00:00:00Z|--to|2026-12-01T00:00:00Z",
         kExitUsage, "The start time should be earlier than the end time.", store, true},
        {"empty period", search + "--from|2026-12-03T00:00:00Z" + to, kExitUsage,
         "The start time should be earlier than the end time.", store, true},
        {"seven days and a second", search + "--from|2026-11-25T23:59:59Z" + to, kExitUsage,
         "Search for video clips within 7 days.", store, true},
        {"time that is not ISO 8601", search + "--from|yesterday", kExitUsage,
         "\"yesterday\" is not an ISO 8601 time", store, true},
        {"unknown camera", search + "--camera|S001-C002|--camera|S009:NOPE", kExitUsage,
         "unknown camera \"S009:NOPE\"", store, true},
        {"unknown kind", "--store|" + store + "|--kinds|manual,cats", kExitUsage,
         "unknown kind \"cats\"", store, true},
        {"no kind", "--store|" + store + "|--kinds|,", kExitUsage, "names no kind", store, true},
        {"zero rows", "--store|" + store + "|--rows|0", kExitUsage, "--rows must be", store, true},
        {"negative timeout", "--store|" + store + "|--timeout|-1", kExitUsage, "--timeout must be",
         store, true},
        {"empty store path", "--store||--kinds|manual", kExitUsage, "--store is empty",
         TestSupport::ScratchDir(), true},
        {"damaged catalogue", "--store|" + DamagedStore(), kExitFailed,
         DamagedStore() + "/catalogue.db is damaged", DamagedStore(), true},
        {"foreign catalogue", "--store|" + ForeignStore(), kExitFailed,
         "not a catalogue of this program", ForeignStore(), true},
        {"folder of other files", "--store|" + TextFolder(), kExitFailed, "left untouched",
         TextFolder(), true},
        {"help names the exit codes", "--help", kExitOk, "2 bad usage", store},
    };
    for (const ToolCase &c : cases)
        Check("tvs-search", c);
}

TEST(TvsSearch, ACameraNamedTwiceIsSearchedOnce)
{
    const QStringList common = {"--store",           SharedStore(), "--kinds",
                                "all,manual,locked", "--rows",      "1"};
    const Result once = RunTool("tvs-search", common + QStringList{"--camera", "S001-C002"});
    const Result twice = RunTool(
        "tvs-search", common + QStringList{"--camera", "S001-C002", "--camera", "S001:S001-C002"});
    ASSERT_EQ(once.exit_code, kExitOk) << once.err.toStdString();
    ASSERT_EQ(twice.exit_code, kExitOk) << twice.err.toStdString();
    const auto counts = [](const QString &out) {
        return out.mid(out.indexOf("Results per kind"));
    };
    EXPECT_FALSE(counts(once.out).isEmpty());
    EXPECT_EQ(counts(twice.out), counts(once.out));
    EXPECT_TRUE(twice.out.contains(": 1 cameras")) << twice.out.toStdString();
}

namespace {

// The user's own folder: pictures 0.jpg…9.jpg that are not pictures at all, and a video of
// theirs named like the output.
QString UserFolder(const char *name)
{
    const QString dir = TestSupport::ScratchDir() + "/user-" + name;
    QDir(dir).removeRecursively();
    for (int i = 0; i < 10; ++i)
        WriteFile(dir + "/" + QString::number(i) + ".jpg",
                  "the user's own file " + QByteArray::number(i));
    WriteFile(dir + "/holiday.mp4", "the user's own video");
    return dir;
}

// The span the camera cases cover, as arguments.
const QString kSpan = "--begin|2026-12-01 00:00:00|--end|2026-12-01 00:20:00";

struct TimeLapseCase
{
    const char *name;
    // Arguments split at '|'; {dir} stands for the user's folder, {camera} for a camera run and
    // {device} for a device run over kSpan.
    QString arguments;
    int exit_code;
    QString message;
    QString added;    // files the run adds to the user's folder, split at ','
    QString replaced; // files of the user's the run may replace
};

} // namespace

TEST(TvsTimeLapse, RefusesBadOptionsAndNeverTouchesTheUsersFiles)
{
    // The device's video: one the tool makes from synthetic captures.
    const QString video = TestSupport::ScratchDir() + "/device.mp4";
    const Result made =
        RunTool("tvs-timelapse",
                QString("--camera|cam-0|--size|64x48|--output|" + video + "|" + kSpan).split('|'));
    ASSERT_EQ(made.exit_code, kExitOk) << made.err.toStdString();
    const QString unreadable = TestSupport::ScratchDir() + "/unreadable";
    for (int i = 0; i < 3; ++i)
        WriteFile(unreadable + "/" + QString::number(i) + ".jpg", "not a picture");
    const QString gaps = TestSupport::ScratchDir() + "/gaps";
    for (int i : {0, 1, 2, 5, 6})
        WritePicture(gaps + "/" + QString::number(i) + ".jpg", i * 30);
    const QString some_bad = TestSupport::ScratchDir() + "/some-bad";
    for (int i : {0, 1, 3})
        WritePicture(some_bad + "/" + QString::number(i) + ".jpg", i * 30);
    WriteFile(some_bad + "/2.jpg", "torn");
    // Arithmetic-coded JPEGs: the header reads, the encoder's decoder refuses them.
    const QString arithmetic = TestSupport::ScratchDir() + "/arithmetic";
    for (int i = 0; i < 3; ++i) {
        const QString path = arithmetic + "/" + QString::number(i) + ".jpg";
        WritePicture(path, i * 40);
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        file.close();
        bytes.replace(bytes.indexOf("\xff\xc0"), 2, "\xff\xc9");
        WriteFile(path, bytes);
    }
    const QString no_zero = TestSupport::ScratchDir() + "/no-zero";
    for (int i : {1, 2, 10, 11})
        WritePicture(no_zero + "/" + QString::number(i) + ".jpg", i * 20);

    const TimeLapseCase cases[] = {
        {"camera into the user's folder", "{camera}|--output|{dir}/new.mp4|--size|64x48", kExitOk,
         "done", "new.mp4", ""},
        {"output exists", "{camera}|--output|{dir}/holiday.mp4", kExitUsage,
         "holiday.mp4 exists; --force replaces it", "", ""},
        {"output exists, --force", "{camera}|--output|{dir}/holiday.mp4|--force|--size|64x48",
         kExitOk, "done", "", "holiday.mp4"},
        {"output named like a picture of the user's", "{camera}|--output|{dir}/3.mp4|--size|64x48",
         kExitOk, "done", "3.mp4", ""},
        {"pictures with gaps into the user's folder",
         "--pictures|" + gaps + "|--output|{dir}/0.mp4", kExitOk, "pictures 3 to 4 are missing",
         "0.mp4", ""},
        {"pictures in number order without a 0", "--pictures|" + no_zero + "|--output|{dir}/nz.mp4",
         kExitOk, "pictures 3 to 9 are missing", "nz.mp4", ""},
        {"some pictures unreadable", "--pictures|" + some_bad + "|--output|{dir}/some.mp4", kExitOk,
         "1 unreadable picture(s) skipped, the first " + some_bad + "/2.jpg", "some.mp4", ""},
        {"every picture unreadable", "--pictures|" + unreadable + "|--output|{dir}/none.mp4",
         kExitFailed,
         "no picture of " + unreadable + " can be read; the first is " + unreadable + "/0.jpg", "",
         ""},
        {"no picture the encoder can read", "--pictures|" + arithmetic + "|--output|{dir}/a.mp4",
         kExitFailed, "no picture could be encoded", "", ""},
        {"the user's own folder as pictures", "--pictures|{dir}|--output|{dir}/mine.mp4",
         kExitFailed, "can be read; the first is", "", ""},
        {"no such picture folder", "--pictures|{dir}/nothing|--output|{dir}/x.mp4", kExitUsage,
         "is not a folder", "", ""},
        {"huge size", "{camera}|--output|{dir}/x.mp4|--size|100000x100000", kExitUsage,
         "--size 100000x100000 is out of range", "", ""},
        {"odd size", "{camera}|--output|{dir}/x.mp4|--size|321x240", kExitUsage, "odd side", "",
         ""},
        {"zero size", "{camera}|--output|{dir}/x.mp4|--size|0x0", kExitUsage, "out of range", "",
         ""},
        {"size that is not a size", "{camera}|--output|{dir}/x.mp4|--size|big", kExitUsage,
         "is not WIDTHxHEIGHT", "", ""},
        {"zero interval", "{camera}|--output|{dir}/x.mp4|--interval|0", kExitUsage,
         "--interval must be", "", ""},
        {"negative interval", "{camera}|--output|{dir}/x.mp4|--interval|-60", kExitUsage,
         "--interval must be", "", ""},
        {"negative max", "{camera}|--output|{dir}/x.mp4|--max|-1", kExitUsage, "--max must be", "",
         ""},
        {"zero progress step", "{device}|--output|{dir}/x.mp4|--progress-step|0", kExitUsage,
         "--progress-step must be", "", ""},
        {"negative progress step", "{device}|--output|{dir}/x.mp4|--progress-step|-25", kExitUsage,
         "--progress-step must be", "", ""},
        {"device job that fails", "{device}|--output|{dir}/x.mp4|--device-fails", kExitFailed,
         "the device could not build the video", "", ""},
        {"device job", "{device}|--output|{dir}/device.mp4|--progress-step|100", kExitOk, "done",
         "device.mp4", ""},
        {"no device video", "--device|--camera|c|" + kSpan + "|--output|{dir}/x.mp4", kExitUsage,
         "--device-video must name", "", ""},
        {"begin after end",
         "--camera|cam-1|--begin|2026-12-02 00:00:00|--end|2026-12-01 "
         "00:00:00|--output|{dir}/x.mp4",
         kExitUsage, "is after --end", "", ""},
        {"malformed time",
         "--camera|cam-1|--begin|2026-13-01 00:00:00|--end|2026-12-01 "
         "00:00:00|--output|{dir}/x.mp4",
         kExitUsage, "is not a time", "", ""},
        {"output that is not an mp4", "{camera}|--output|{dir}/x.avi", kExitUsage,
         "--output must name an .mp4 file", "", ""},
        {"output in a missing folder", "{camera}|--output|{dir}/no/x.mp4", kExitUsage,
         "does not exist", "", ""},
        {"empty store path", "{camera}|--store||--output|{dir}/x.mp4", kExitUsage,
         "--store is empty", "", ""},
        {"damaged store", "{camera}|--store|" + DamagedStore() + "|--output|{dir}/x.mp4",
         kExitFailed, DamagedStore() + "/catalogue.db is damaged", "", ""},
        {"pictures and a camera", "--pictures|" + gaps + "|--camera|c|--output|{dir}/x.mp4",
         kExitUsage, "do not go together", "", ""},
        {"help names the exit codes", "--help", kExitOk, "0 success", "", ""},
    };
    const auto names = [](const QString &list) {
        return list.isEmpty() ? QStringList() : list.split(',');
    };
    for (const TimeLapseCase &c : cases) {
        const QString dir = UserFolder("timelapse");
        const auto before = Listing(dir);
        const QString arguments =
            QString(c.arguments)
                .replace("{camera}", "--camera|cam-1|" + kSpan)
                .replace("{device}",
                         "--device|--camera|cam-1|--device-video|" + video + "|" + kSpan)
                .replace("{dir}", dir);
        const Result result = RunTool("tvs-timelapse", arguments.split('|'));
        EXPECT_EQ(result.exit_code, c.exit_code) << c.name << "\n" << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.message) || result.out.contains(c.message))
            << c.name << ": expected \"" << c.message.toStdString() << "\" in\n"
            << result.err.toStdString();
        if (c.exit_code == kExitUsage) {
            EXPECT_EQ(result.err.trimmed().count('\n'), 0) << c.name << ": one line\n"
                                                           << result.err.toStdString();
        }
        const auto after = Listing(dir);
        QStringList added;
        for (const QString &name : after.keys()) {
            if (!before.contains(name))
                added << name;
        }
        EXPECT_EQ(added, names(c.added)) << c.name;
        for (const QString &name : before.keys()) {
            if (!names(c.replaced).contains(name)) {
                EXPECT_EQ(after.value(name), before.value(name))
                    << c.name << ": " << name.toStdString();
            }
        }
        for (const QString &name : names(c.added) + names(c.replaced)) {
            const auto probe = TestSupport::ProbeVideo((dir + "/" + name).toStdString());
            EXPECT_TRUE(probe.opened) << c.name;
            EXPECT_GT(probe.frames, 0) << c.name << ": " << name.toStdString();
        }
    }
}

TEST(TvsTimeLapse, StoreCameraPicturesNeverLandInTheUsersFolder)
{
    const QString dir = UserFolder("store");
    const auto before = Listing(dir);
    // The store's capture-plan camera (every fourth) over its last day.
    const Result result =
        RunTool("tvs-timelapse", {"--store", SharedStore(), "--camera", "S001-C001", "--begin",
                                  "2026-12-01 00:00:00", "--end", "2026-12-01 23:59:59", "--output",
                                  dir + "/0.mp4"});
    ASSERT_EQ(result.exit_code, kExitOk) << result.err.toStdString();
    auto after = Listing(dir);
    EXPECT_TRUE(after.remove("0.mp4"));
    EXPECT_EQ(after, before);
}

TEST(PictureListing, NumberOrderGapsAndUnreadablePictures)
{
    // File lists split at ','; gaps as "first-last" ranges.
    struct Case
    {
        const char *name;
        QString pictures; // readable
        QString broken;
        QString served; // in order
        QString gaps;
        QString unreadable;
    };
    const Case cases[] = {
        {"numbers, not names", "0.jpg,1.jpg,2.jpg,10.jpg,11.jpg", "",
         "0.jpg,1.jpg,2.jpg,10.jpg,11.jpg", "3-9", ""},
        {"no zero", "2.jpg,1.jpg", "", "1.jpg,2.jpg", "0-0", ""},
        {"names only in name order", "b.jpg,a.jpg", "", "a.jpg,b.jpg", "", ""},
        {"names beside numbers are left out", "0.jpg,cover.jpg,01.jpg", "", "0.jpg", "", ""},
        {"unreadable ones apart", "0.jpg,2.jpg", "1.jpg,3.jpeg", "0.jpg,2.jpg", "", "1.jpg,3.jpeg"},
        {"nothing", "", "", "", "", ""}};
    const auto list = [](const QString &names) {
        return names.isEmpty() ? QStringList() : names.split(',');
    };
    int index = 0;
    for (const Case &c : cases) {
        const QString dir = TestSupport::ScratchDir() + "/listing-" + QString::number(index++);
        QDir().mkpath(dir);
        for (const QString &name : list(c.pictures))
            WritePicture(dir + "/" + name, 10);
        for (const QString &name : list(c.broken))
            WriteFile(dir + "/" + name, QByteArray(100, '\xff'));
        const auto listing =
            OrlPluginManager::CDirectoryTimeLapseProvider::ListPictures(dir.toStdString());
        QStringList served, unreadable, gaps;
        for (const auto &path : listing.pictures)
            served << QFileInfo(QString::fromStdString(path)).fileName();
        for (const auto &path : listing.unreadable)
            unreadable << QFileInfo(QString::fromStdString(path)).fileName();
        for (const auto &gap : listing.gaps)
            gaps << QString("%1-%2").arg(gap.first).arg(gap.second);
        EXPECT_EQ(served, list(c.served)) << c.name;
        EXPECT_EQ(unreadable, list(c.unreadable)) << c.name;
        EXPECT_EQ(gaps, list(c.gaps)) << c.name;
    }
}
