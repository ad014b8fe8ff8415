#include "SmallStore.h"

#include "playcontroller/CameraForPlay.h"
#include "pluginmanager/PluginManager.h"
#include "recordserver/TimeStrip.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <sqlite3.h>

#include <random>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>

using namespace teskrecordserver;
using namespace teskplaycontroller;
using RecordServerTest::CameraOf;
using RecordServerTest::SmallOptions;
using RecordServerTest::SmallStore;

namespace {

// Rows as text, read straight from the file with SQL of the test's own, so that the server's
// queries are checked against an independent formulation of "overlaps the span".
std::vector<std::string> RawRows(const std::string &db_path, const std::string &sql)
{
    sqlite3 *db = nullptr;
    std::vector<std::string> rows;
    if (sqlite3_open_v2(db_path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << db_path;
        sqlite3_close(db);
        return rows;
    }
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
    } else {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                const auto *text = sqlite3_column_text(stmt, c);
                row += (c ? "|" : "") +
                       std::string(text ? reinterpret_cast<const char *>(text) : "NULL");
            }
            rows.push_back(row);
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

std::string CatalogueFile(const CRecordingServer &server)
{
    return server.StorePath(CRecordingServer::kCatalogueFile);
}

struct KindCase
{
    const char *name;
    VideoSearchType type;
    int label_type; // -1: no tag extra
    const char *label_name;
    int event_type; // -1: no person/vehicle extra
    // The independent query: ?site, ?camera, ?begin, ?end are substituted.
    const char *sql;
};

const char *const kRecordingSql =
    "SELECT r.begin_time, r.end_time, r.file_name, r.file_size, r.record_file_type, r.iso_begin, "
    "r.iso_end FROM recordings r JOIN cameras c ON c.key = r.camera_key WHERE c.site_id = '$site' "
    "AND c.camera_id = '$camera' AND NOT (r.end_time < $begin OR r.begin_time > $end) "
    "ORDER BY r.begin_time";
const char *const kTagSql =
    "SELECT t.begin_time, t.end_time, r.file_name, r.file_size, r.record_file_type, t.iso_begin, "
    "t.iso_end, t.label_id, t.label_type, t.name FROM tags t JOIN recordings r ON r.id = "
    "t.recording_id JOIN cameras c ON c.key = t.camera_key WHERE c.site_id = '$site' AND "
    "c.camera_id = '$camera' AND NOT (t.end_time < $begin OR t.begin_time > $end) $filter "
    "ORDER BY t.begin_time";
const char *const kLockSql =
    "SELECT l.begin_time, l.end_time, r.file_name, r.file_size, r.record_file_type, l.iso_begin, "
    "l.iso_end FROM locks l JOIN recordings r ON r.id = l.recording_id JOIN cameras c ON c.key = "
    "l.camera_key WHERE c.site_id = '$site' AND c.camera_id = '$camera' AND NOT (l.end_time < "
    "$begin OR l.begin_time > $end) ORDER BY l.begin_time";
const char *const kEventSql =
    "SELECT e.begin_time, e.end_time, r.file_name, r.file_size, r.record_file_type, e.iso_begin, "
    "e.iso_end, e.event_type FROM events e JOIN recordings r ON r.id = e.recording_id JOIN "
    "cameras c ON c.key = e.camera_key WHERE c.site_id = '$site' AND c.camera_id = '$camera' AND "
    "NOT (e.end_time < $begin OR e.begin_time > $end) $filter ORDER BY e.begin_time";

std::string Substitute(std::string sql, const std::map<std::string, std::string> &values)
{
    for (const auto &[key, value] : values) {
        const std::string token = "$" + key;
        for (size_t at; (at = sql.find(token)) != std::string::npos;)
            sql.replace(at, token.size(), value);
    }
    return sql;
}

std::string Describe(const CPlaybackFile &file)
{
    std::ostringstream out;
    out << file.GetFileBegTime() << "|" << file.GetFileEndTime() << "|" << file.GetFileName() << "|"
        << file.GetFileSize();
    if (const auto *device = dynamic_cast<const CDeviceFile *>(&file))
        out << "|" << device->GetRecordFileType();
    out << "|" << file.GetFileISOBeginTime() << "|" << file.GetFileISOEndTime();
    if (const auto *label = dynamic_cast<const CLabelFile *>(&file))
        out << "|" << label->GetLabelID() << "|" << label->GetRcordLabelType() << "|"
            << label->GetLabelName();
    if (dynamic_cast<const CPersonVehicleFile *>(&file))
        out << "|" << file.GetEventType();
    return out.str();
}

CameraVideoSearchCondition Condition(VideoSearchType type, int64_t begin, int64_t end)
{
    CameraVideoSearchCondition condition;
    condition.search_type = type;
    condition.begin_time = begin;
    condition.end_time = end;
    return condition;
}

CameraSearchAnswer Search(CRecordingServer &server, const CameraRow &camera,
                          const CameraVideoSearchCondition &condition, bool cancel = false)
{
    TeskCameraInfo info;
    info.ptr_camera_for_play = CameraOf(camera);
    const std::atomic<bool> cancelled{cancel};
    return server.SearchCamera(condition, info, cancelled);
}

class SearchByKind : public ::testing::TestWithParam<KindCase>
{};

TEST_P(SearchByKind, AnswersExactlyTheCatalogueRowsOfTheCameraAndSpan)
{
    const KindCase &kind = GetParam();
    CRecordingServer &server = SmallStore();
    const int64_t period_end = SmallOptions().anchor;
    // A span that cuts recordings at both ends.
    const int64_t begin = period_end - 44 * 3600 - 1234;
    const int64_t end = period_end - 2 * 3600 + 777;

    std::string filter;
    if (kind.type == VideoSearchTag && kind.label_type >= 101 && kind.label_type <= 103)
        filter += " AND t.label_type = " + std::to_string(kind.label_type);
    if (kind.label_name && *kind.label_name)
        filter += std::string(" AND t.name GLOB '*") + kind.label_name + "*'";
    if (kind.type == VideoSearchPersonVehicle && kind.event_type != 1)
        filter += " AND e.event_type = " + std::to_string(kind.event_type);

    size_t total = 0;
    for (const CameraRow &camera : server.Catalogue().Cameras()) {
        if (server.Catalogue().SearchFailure(camera.site_id, camera.id))
            continue;
        CameraVideoSearchCondition condition = Condition(kind.type, begin, end);
        if (kind.label_type >= 0) {
            condition.ptr_label_extra = std::make_shared<CLableExtra>();
            condition.ptr_label_extra->SetVal_label_type(kind.label_type);
            condition.ptr_label_extra->SetVal_str_lable_name(kind.label_name);
        }
        if (kind.event_type >= 0) {
            condition.ptr_person_vehicle_extra = std::make_shared<CPersonVehicleExtra>();
            condition.ptr_person_vehicle_extra->SetVal_event_type(kind.event_type);
        }
        const CameraSearchAnswer answer = Search(server, camera, condition);
        ASSERT_FALSE(answer.failed) << camera.id;

        std::vector<std::string> got;
        for (const auto &file : answer.files) {
            got.push_back(Describe(*file));
            switch (kind.type) {
            case VideoSearchTag:
                EXPECT_NE(dynamic_cast<CLabelFile *>(file.get()), nullptr);
                break;
            case VideoSearchPersonVehicle:
                EXPECT_NE(dynamic_cast<CPersonVehicleFile *>(file.get()), nullptr);
                break;
            case VideoSearchLock:
                EXPECT_TRUE(file->IsLocked());
                [[fallthrough]];
            default:
                EXPECT_NE(dynamic_cast<CDeviceFile *>(file.get()), nullptr);
                EXPECT_EQ(dynamic_cast<CLabelFile *>(file.get()), nullptr);
                EXPECT_EQ(dynamic_cast<CPersonVehicleFile *>(file.get()), nullptr);
            }
        }
        const auto expected =
            RawRows(CatalogueFile(server), Substitute(kind.sql, {{"site", camera.site_id},
                                                                 {"camera", camera.id},
                                                                 {"begin", std::to_string(begin)},
                                                                 {"end", std::to_string(end)},
                                                                 {"filter", filter}}));
        EXPECT_EQ(got, expected) << camera.id;
        total += got.size();
    }
    EXPECT_GT(total, 0u) << "the sample should hold rows of this kind in the span";
}

INSTANTIATE_TEST_SUITE_P(
    RecordingServer, SearchByKind,
    ::testing::Values(KindCase{"Recordings", VideoSearchRecord, -1, "", -1, kRecordingSql},
                      KindCase{"TagsNoExtra", VideoSearchTag, -1, "", -1, kTagSql},
                      KindCase{"TagsAllKinds", VideoSearchTag, 100, "", -1, kTagSql},
                      KindCase{"TagsManual", VideoSearchTag, 101, "", -1, kTagSql},
                      KindCase{"TagsOther", VideoSearchTag, 103, "", -1, kTagSql},
                      KindCase{"TagsUnfiltered200", VideoSearchTag, 200, "", -1, kTagSql},
                      KindCase{"TagsByName", VideoSearchTag, 100, "in", -1, kTagSql},
                      KindCase{"TagsByKindAndName", VideoSearchTag, 102, "in", -1, kTagSql},
                      KindCase{"Locks", VideoSearchLock, -1, "", -1, kLockSql},
                      KindCase{"PersonAndVehicle", VideoSearchPersonVehicle, -1, "", 1, kEventSql},
                      KindCase{"Person", VideoSearchPersonVehicle, -1, "", 2, kEventSql},
                      KindCase{"Vehicle", VideoSearchPersonVehicle, -1, "", 4, kEventSql}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RecordingServer, ReversedPeriodOrCancelledSearchAnswersNoFiles)
{
    CRecordingServer &server = SmallStore();
    const CameraRow camera = server.Catalogue().Cameras().front();
    const int64_t anchor = SmallOptions().anchor;
    for (VideoSearchType type :
         {VideoSearchRecord, VideoSearchTag, VideoSearchLock, VideoSearchPersonVehicle}) {
        const auto answer = Search(server, camera, Condition(type, anchor, anchor - 2 * 86400));
        EXPECT_FALSE(answer.failed);
        EXPECT_TRUE(answer.files.empty()) << type;
        EXPECT_TRUE(
            Search(server, camera, Condition(type, anchor - 86400, anchor), true).files.empty())
            << type;
    }
}

TEST(RecordingServer, ScriptedAndUnknownCamerasFail)
{
    CRecordingServer &server = SmallStore();
    const auto cameras = server.Catalogue().Cameras();
    ASSERT_EQ(cameras.size(), 8u);
    struct Expect
    {
        CameraRow camera;
        int param_error;
    };
    CameraRow unknown = cameras.front();
    unknown.id = "no-such-camera";
    for (const Expect &expect :
         {Expect{cameras[6], 2}, Expect{cameras[7], 3}, Expect{unknown, 0}}) {
        const auto answer = Search(
            server, expect.camera,
            Condition(VideoSearchRecord, SmallOptions().anchor - 86400, SmallOptions().anchor));
        EXPECT_TRUE(answer.failed) << expect.camera.id;
        EXPECT_EQ(answer.param_error_type, expect.param_error);
        EXPECT_TRUE(answer.error_code.IsError());
        EXPECT_FALSE(answer.str_error_info.empty());
        EXPECT_TRUE(answer.files.empty());
    }
}

TEST(RecordingServer, IsoTimesFollowTheDeviceZoneAcrossDaylightSaving)
{
    const OrlPluginManager::COrlTimeZoneInfor europe{3600, true, 3600, {3, 5, 0, 2}, {10, 5, 0, 2}};
    const int64_t spring = Quor::Base::TimeUtil::DaysFromCivil(2026, 3, 29) * 86400 + 3600;
    const int64_t autumn = Quor::Base::TimeUtil::DaysFromCivil(2026, 10, 25) * 86400 + 3600;
    struct Row
    {
        int64_t utc;
        const char *iso;
    };
    for (const Row &row :
         {Row{spring - 1, "2026-03-29T01:59:59+01:00"}, Row{spring, "2026-03-29T03:00:00+02:00"},
          Row{autumn - 1, "2026-10-25T02:59:59+02:00"}, Row{autumn, "2026-10-25T02:00:00+01:00"}})
        EXPECT_EQ(IsoInZone(row.utc, europe), row.iso);

    // Southern summer: the saving period wraps the new year.
    const OrlPluginManager::COrlTimeZoneInfor south{
        -4 * 3600, true, 3600, {9, 1, 0, 0}, {4, 1, 0, 0}};
    const int64_t january = Quor::Base::TimeUtil::DaysFromCivil(2026, 1, 15) * 86400;
    const int64_t july = Quor::Base::TimeUtil::DaysFromCivil(2026, 7, 15) * 86400;
    EXPECT_EQ(IsoInZone(january, south), "2026-01-14T21:00:00-03:00");
    EXPECT_EQ(IsoInZone(july, south), "2026-07-14T20:00:00-04:00");

    // The stored texts agree with the camera's zone.
    CRecordingServer &server = SmallStore();
    for (const CameraRow &camera : server.Catalogue().Cameras()) {
        const auto rows =
            server.Catalogue().Recordings(camera.site_id, camera.id, 0, SmallOptions().anchor);
        ASSERT_FALSE(rows.empty());
        for (const auto &row : rows) {
            EXPECT_EQ(row.iso_begin, IsoInZone(row.begin, camera.time_zone));
            EXPECT_EQ(Quor::Base::TimeUtil::ISODatetime2TimeT(row.iso_end), row.end);
        }
    }
}

struct VcaSink : IVCAResultSink
{
    std::vector<size_t> batches;
    PlaybackFileList files;
    std::vector<CVCAIncrementalObserver::Param> states;
    void PushResults(const PlaybackFileList &batch) override
    {
        batches.push_back(batch.size());
        files.insert(files.end(), batch.begin(), batch.end());
    }
    void ReportState(const CVCAIncrementalObserver::Param &param) override
    {
        states.push_back(param);
    }
};

TEST(RecordingServer, VcaSearchPushesEventsInBatchesThenFinishes)
{
    CRecordingServer &server = SmallStore();
    const CameraRow camera = server.Catalogue().Cameras()[0];
    VCAIncrementalCondition condition;
    condition.search_guid = "vca-1";
    condition.camera_id = camera.id;
    condition.site_id = camera.site_id;
    condition.begin_time = SmallOptions().anchor - 2 * 86400;
    condition.end_time = SmallOptions().anchor;
    condition.event_type = 1;
    std::atomic<bool> cancelled{false};

    VcaSink sink;
    server.SearchVCA(condition, sink, cancelled);
    const auto events = server.Catalogue().Events(camera.site_id, camera.id, condition.begin_time,
                                                  condition.end_time);
    ASSERT_GT(events.size(), size_t(CRecordingServer::kVcaBatchSize));
    ASSERT_EQ(sink.files.size(), events.size());
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(sink.files[i]->GetFileBegTime(), events[i].begin);
        EXPECT_EQ(sink.files[i]->GetEventType(), events[i].event_type);
    }
    EXPECT_GT(sink.batches.size(), 1u);
    ASSERT_EQ(sink.states.size(), 1u);
    EXPECT_EQ(sink.states[0].state_type, 6);
    EXPECT_EQ(sink.states[0].search_guid, "vca-1");
    EXPECT_TRUE(sink.states[0].vca_configed);
    EXPECT_TRUE(sink.states[0].support_vca_configed);

    VcaSink limited;
    condition.max_result_num = 3;
    server.SearchVCA(condition, limited, cancelled);
    EXPECT_EQ(limited.files.size(), 3u);
    ASSERT_EQ(limited.states.size(), 1u);
    EXPECT_EQ(limited.states[0].state_type, 5);

    VcaSink failing;
    const CameraRow broken = server.Catalogue().Cameras()[7];
    condition.camera_id = broken.id;
    condition.site_id = broken.site_id;
    server.SearchVCA(condition, failing, cancelled);
    EXPECT_TRUE(failing.files.empty());
    ASSERT_EQ(failing.states.size(), 1u);
    EXPECT_EQ(failing.states[0].state_type, 2);
    EXPECT_EQ(failing.states[0].param_error_type, 3);
}

TEST(RecordingServer, CapturePicturesOfACameraAndSpan)
{
    CRecordingServer &server = SmallStore();
    const auto cameras = server.Catalogue().Cameras();
    const int64_t end = SmallOptions().anchor;
    const int64_t begin = end - 86400;
    const auto media =
        server.Catalogue().CapturePictures(cameras[0].site_id, cameras[0].id, begin, end);
    ASSERT_FALSE(media.empty());
    for (size_t i = 0; i < media.size(); ++i) {
        EXPECT_GE(media[i].time, begin);
        EXPECT_LE(media[i].time, end);
        EXPECT_NE(media[i].media_id, 0);
        if (i) {
            EXPECT_LT(media[i - 1].time, media[i].time);
        }
    }
    const auto jpegs =
        server.Catalogue().CapturePictures(cameras[SampleRoles::kJpegCaptures].site_id,
                                           cameras[SampleRoles::kJpegCaptures].id, begin, end);
    ASSERT_EQ(jpegs.size(), 6u);
    EXPECT_TRUE(
        server.Catalogue().CapturePictures(cameras[0].site_id, cameras[0].id, end, begin).empty());

    for (const auto &picture : {media.front(), media.back(), jpegs.back()}) {
        QImage image;
        std::string error;
        ASSERT_TRUE(server.LoadCapturePicture(picture, image, error)) << error;
        EXPECT_EQ(image.size(), QSize(320, 180));
        // Either kind of picture shows the moment it was captured.
        int64_t shown = -1;
        EXPECT_TRUE(ReadTimeStrip(image, shown));
        EXPECT_EQ(shown, picture.time);
    }
}

TEST(RecordingServer, ExportsCapturePicturesAsNumberedJpegs)
{
    CRecordingServer &server = SmallStore();
    const CameraRow camera = server.Catalogue().Cameras()[0];
    const int64_t end = SmallOptions().anchor;
    const int64_t begin = end - 3 * 3600;
    const auto pictures = server.Catalogue().CapturePictures(camera.site_id, camera.id, begin, end);
    ASSERT_GT(pictures.size(), 2u);
    const std::string dir = (TestSupport::ScratchDir() + "/export").toStdString();
    std::string error;
    ASSERT_EQ(
        server.ExportCapturePictures(camera.site_id, camera.id, begin, end, dir, nullptr, error),
        static_cast<int>(pictures.size()))
        << error;
    for (size_t i = 0; i < pictures.size(); ++i) {
        QImage image;
        EXPECT_TRUE(image.load(QString::fromStdString(dir + "/" + std::to_string(i) + ".jpg")));
        EXPECT_EQ(image.size(), QSize(320, 180));
        int64_t shown = -1;
        EXPECT_TRUE(ReadTimeStrip(image, shown)) << i;
        EXPECT_EQ(shown, pictures[i].time) << "file " << i << " shows its picture's moment";
    }
    EXPECT_FALSE(QFile::exists(
        QString::fromStdString(dir + "/" + std::to_string(pictures.size()) + ".jpg")));

    const std::atomic<bool> stop{true};
    EXPECT_EQ(server.ExportCapturePictures(camera.site_id, camera.id, begin, end, dir + "-stopped",
                                           &stop, error),
              0);

    // A folder that already holds a 1.jpg keeps it: the export stops there and says why.
    const QString mine = TestSupport::ScratchDir() + "/users-own";
    QDir().mkpath(mine);
    QFile own(mine + "/1.jpg");
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.write("the user's own picture");
    own.close();
    error.clear();
    EXPECT_EQ(server.ExportCapturePictures(camera.site_id, camera.id, begin, end,
                                           mine.toStdString(), nullptr, error),
              -1);
    EXPECT_NE(error.find("1.jpg"), std::string::npos) << error;
    EXPECT_NE(error.find("exists"), std::string::npos) << error;
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    EXPECT_EQ(own.readAll(), QByteArray("the user's own picture"));
}

// Every row of every table of a store, as text.
std::vector<std::string> Dump(const std::string &db)
{
    std::vector<std::string> all;
    for (const char *table :
         {"sites", "cameras", "record_plans", "permission_denials", "search_failures",
          "media_files", "recordings", "tags", "locks", "events", "capture_pictures", "meta"}) {
        for (auto &row : RawRows(db, std::string("SELECT * FROM ") + table + " ORDER BY 1"))
            all.push_back(std::string(table) + ":" + row);
    }
    return all;
}

TEST(SampleGenerator, SameSeedGivesTheSameStore)
{
    const QString root = TestSupport::ScratchDir();
    auto options = SmallOptions(11);
    options.cameras = 3;
    CRecordingServer first, second, other;
    ASSERT_TRUE(first.Open((root + "/seed-a").toStdString(), options));
    ASSERT_TRUE(second.Open((root + "/seed-b").toStdString(), options));
    options.seed = 12;
    ASSERT_TRUE(other.Open((root + "/seed-c").toStdString(), options));
    const auto a = Dump(CatalogueFile(first));
    EXPECT_GT(a.size(), 100u);
    EXPECT_EQ(a, Dump(CatalogueFile(second)));
    EXPECT_NE(a, Dump(CatalogueFile(other)));

    // Reopening does not generate again.
    const int64_t recordings = first.Catalogue().Count("recordings");
    ASSERT_TRUE(first.Open((root + "/seed-a").toStdString(), options));
    EXPECT_EQ(first.Catalogue().Count("recordings"), recordings);
}

class BadStore : public ::testing::Test
{
protected:
    std::string Dir(const char *name)
    {
        const QString dir = TestSupport::ScratchDir() + "/bad-" + name;
        QDir().mkpath(dir);
        return dir.toStdString();
    }
    static std::string CatalogueIn(const std::string &dir)
    {
        return dir + "/" + CRecordingServer::kCatalogueFile;
    }
    static void Expect(const std::string &dir, StoreError error, const char *words)
    {
        CRecordingServer server;
        const CStoreStatus status = server.Open(dir);
        EXPECT_FALSE(status.IsOk());
        EXPECT_EQ(status.Error(), error) << status.Message();
        EXPECT_NE(status.Message().find(words), std::string::npos) << status.Message();
        EXPECT_NE(status.Message().find(CatalogueIn(dir)), std::string::npos) << status.Message();
    }
};

TEST_F(BadStore, ForeignFilesAreRefusedAndLeftUntouched)
{
    struct Case
    {
        const char *name;
        const char *file; // in the store folder
        QByteArray sql;   // run on it as SQLite when not empty
        QByteArray bytes; // written to it otherwise
        StoreError error;
        const char *words;
    };
    const Case cases[] = {
        {"foreign SQLite", CRecordingServer::kCatalogueFile,
         "CREATE TABLE contacts(name TEXT); INSERT INTO contacts VALUES('Ada');", "",
         StoreError::Foreign, "not a catalogue of this program"},
        {"empty file", CRecordingServer::kCatalogueFile, "", "", StoreError::Foreign,
         "not a catalogue of this program"},
        {"garbage", CRecordingServer::kCatalogueFile, "", QByteArray(4096, 'x'),
         StoreError::NotADatabase, "not a catalogue"},
        {"folder of other files", "notes.txt", "", "", StoreError::Foreign, "holds files"},
    };
    for (const Case &c : cases) {
        const std::string dir = Dir(c.name);
        const std::string file = dir + "/" + c.file;
        if (!c.sql.isEmpty()) {
            sqlite3 *db = nullptr;
            ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(db, c.sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        } else {
            QFile raw(QString::fromStdString(file));
            ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
            raw.write(c.bytes);
        }
        QFile before(QString::fromStdString(file));
        ASSERT_TRUE(before.open(QIODevice::ReadOnly));
        const QByteArray bytes = before.readAll();
        before.close();
        const QStringList listing =
            QDir(QString::fromStdString(dir))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        CRecordingServer server;
        const CStoreStatus status = server.Open(dir);
        EXPECT_EQ(status.Error(), c.error) << c.name << ": " << status.Message();
        EXPECT_NE(status.Message().find(c.words), std::string::npos) << status.Message();
        EXPECT_NE(status.Message().find(dir), std::string::npos) << status.Message();
        ASSERT_TRUE(before.open(QIODevice::ReadOnly));
        EXPECT_EQ(before.readAll(), bytes) << c.name;
        EXPECT_EQ(QDir(QString::fromStdString(dir))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  listing)
            << c.name;
    }
    CRecordingServer server;
    EXPECT_FALSE(server.Open("").IsOk());
}

TEST_F(BadStore, DamagedPagesAreFoundOnOpen)
{
    const std::string dir = Dir("damaged");
    auto options = SmallOptions(51);
    options.cameras = 3;
    {
        CRecordingServer server;
        ASSERT_TRUE(server.Open(dir, options).IsOk());
    }
    // Random bytes over pages in the middle of the file, as a torn write would leave.
    QFile file(QString::fromStdString(CatalogueIn(dir)));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 pages = file.size() / 4096;
    ASSERT_GT(pages, 6);
    std::mt19937 random(7);
    for (qint64 page : {pages / 3, pages / 2, 2 * pages / 3}) {
        QByteArray noise(4096, 0);
        for (char &byte : noise)
            byte = static_cast<char>(random());
        file.seek(page * 4096);
        file.write(noise);
    }
    file.close();
    Expect(dir, StoreError::Corrupt, "damaged");
}

TEST(RecordingServer, ACatalogueThatFailsMidwayFailsTheCameraAnswer)
{
    const std::string dir = (TestSupport::ScratchDir() + "/fails-midway").toStdString();
    auto options = SmallOptions(52);
    options.cameras = 3;
    CRecordingServer server;
    ASSERT_TRUE(server.Open(dir, options).IsOk());
    const CameraRow camera = server.Catalogue().Cameras().front();
    // Another program breaks the catalogue under the open store.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open((dir + "/" + CRecordingServer::kCatalogueFile).c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE locks", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    const int64_t end = SmallOptions().anchor;
    const auto recordings = Search(server, camera, Condition(VideoSearchRecord, end - 86400, end));
    EXPECT_FALSE(recordings.failed) << "the recordings are still readable";
    EXPECT_FALSE(recordings.files.empty());
    const auto locks = Search(server, camera, Condition(VideoSearchLock, end - 86400, end));
    EXPECT_TRUE(locks.failed);
    EXPECT_TRUE(locks.files.empty());
    EXPECT_TRUE(locks.error_code.IsError());
    EXPECT_NE(locks.str_error_info.find(dir), std::string::npos) << locks.str_error_info;
    EXPECT_NE(locks.str_error_info.find("locks"), std::string::npos) << locks.str_error_info;
}

// A catalogue this program cannot take over: a newer version, or one it cannot write.
TEST_F(BadStore, NewerOrReadOnlyCatalogueIsRefused)
{
    for (const bool newer : {true, false}) {
        const std::string dir = Dir(newer ? "newer" : "readonly");
        {
            CRecordCatalogue catalogue;
            ASSERT_TRUE(catalogue.Open(CatalogueIn(dir)));
        }
        if (newer) {
            sqlite3 *db = nullptr;
            ASSERT_EQ(sqlite3_open(CatalogueIn(dir).c_str(), &db), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr),
                      SQLITE_OK);
            sqlite3_close(db);
            Expect(dir, StoreError::NewerSchema, "newer version");
        } else {
            ASSERT_EQ(::chmod(CatalogueIn(dir).c_str(), 0444), 0);
            Expect(dir, StoreError::ReadOnly, "read-only");
            ::chmod(CatalogueIn(dir).c_str(), 0644);
        }
    }
    // A store folder that is a file.
    const QString path = TestSupport::ScratchDir() + "/plain-file";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    CRecordingServer server;
    const CStoreStatus status = server.Open(path.toStdString());
    EXPECT_EQ(status.Error(), StoreError::Io) << status.Message();
    EXPECT_NE(status.Message().find(path.toStdString()), std::string::npos);
}

TEST_F(BadStore, OlderSchemaIsMigrated)
{
    const std::string dir = Dir("older");
    {
        CRecordCatalogue catalogue;
        ASSERT_TRUE(catalogue.Open(CatalogueIn(dir)));
    }
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(CatalogueIn(dir).c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "DROP TABLE capture_pictures; DROP TABLE operation_log; "
                           "DROP TABLE record_changes; PRAGMA user_version = 1",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    CRecordCatalogue catalogue;
    ASSERT_TRUE(catalogue.Open(CatalogueIn(dir)));
    EXPECT_EQ(catalogue.SchemaVersion(), CRecordCatalogue::kSchemaVersion);
    EXPECT_EQ(catalogue.Count("capture_pictures"), 0);
    EXPECT_EQ(catalogue.Count("operation_log"), 0);
    EXPECT_EQ(catalogue.Count("record_changes"), 0);
}

GeneratorOptions SlowCreationOptions()
{
    auto options = SmallOptions(41);
    options.cameras = 400;
    options.days = 7;
    return options;
}

GeneratorOptions SharedCreationOptions()
{
    auto options = SmallOptions(31);
    options.cameras = 4;
    return options;
}

// Appends operation-log rows; run in this process and in a child started from the same binary.
void AppendLogRows(const std::string &db, const char *who, int rows)
{
    CRecordCatalogue catalogue;
    const auto opened = catalogue.Open(db);
    ASSERT_TRUE(opened.IsOk()) << opened.Message();
    for (int i = 0; i < rows; ++i) {
        OperationLogRow entry;
        entry.time = i;
        entry.code = 127009;
        entry.camera_id = who;
        entry.text = std::string(who) + " " + std::to_string(i);
        const auto status = catalogue.AppendOperationLog(entry);
        ASSERT_TRUE(status.IsOk()) << status.Message();
    }
}

constexpr int kRowsPerProcess = 300;

// The other process of a StoreSharing test: TVS_STORE_CHILD holds its role ("slow", "create" or
// "write") and, after a space, the store folder or catalogue it works on.
TEST(StoreSharing, Child)
{
    const QString job = qEnvironmentVariable("TVS_STORE_CHILD");
    const int space = job.indexOf(' ');
    if (space < 0)
        GTEST_SKIP() << "only run as the child of another StoreSharing test";
    const QString role = job.left(space);
    const std::string path = job.mid(space + 1).toStdString();
    if (role == "write")
        return AppendLogRows(path, "child", kRowsPerProcess);
    CRecordingServer server;
    const auto status =
        server.Open(path, role == "slow" ? SlowCreationOptions() : SharedCreationOptions());
    EXPECT_TRUE(status.IsOk()) << status.Message();
}

QProcess *StartChild(const char *role, const std::string &path)
{
    auto *child = new QProcess;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TVS_STORE_CHILD", QString(role) + ' ' + QString::fromStdString(path));
    child->setProcessEnvironment(environment);
    child->setProcessChannelMode(QProcess::ForwardedChannels);
    child->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=StoreSharing.Child")});
    return child;
}

TEST(StoreSharing, KilledCreatorLeavesNoHalfStore)
{
    const QString dir = TestSupport::ScratchDir() + "/killed";
    std::unique_ptr<QProcess> child(StartChild("slow", dir.toStdString()));
    ASSERT_TRUE(child->waitForStarted(30000));
    const QString partial = QString::fromStdString(
        CRecordingServer::PartialStoreDir(dir.toStdString(), child->processId()));
    // The generation runs in one transaction; once its pages spill into the log it is midway.
    QFile wal(partial + "/" + CRecordingServer::kCatalogueFile + "-wal");
    const bool midway = QTest::qWaitFor(
        [&] { return wal.size() > 2 * 1024 * 1024 || child->state() == QProcess::NotRunning; },
        120000);
    const bool still_running = child->state() != QProcess::NotRunning;
    child->kill();
    child->waitForFinished(30000);
    ASSERT_TRUE(midway);
    if (still_running) {
        EXPECT_FALSE(QFileInfo::exists(dir)) << "a creator killed midway leaves no store";
        EXPECT_TRUE(QFileInfo::exists(partial));
    }

    // The next open removes what the killed creator left and makes its own store.
    CRecordingServer server;
    const auto status = server.Open(dir.toStdString(), SmallOptions(41));
    ASSERT_TRUE(status.IsOk()) << status.Message();
    EXPECT_FALSE(QFileInfo::exists(partial));
    EXPECT_EQ(server.Catalogue().IntegrityCheck(), "ok");
    const int64_t cameras = server.Catalogue().Count("cameras");
    if (still_running)
        EXPECT_EQ(cameras, SmallOptions().cameras);
    else
        EXPECT_EQ(cameras, SlowCreationOptions().cameras);
    EXPECT_GT(server.Catalogue().Count("recordings"), 0);
}

TEST(StoreSharing, TwoProcessesCreateOneStore)
{
    const std::string dir = (TestSupport::ScratchDir() + "/created-twice").toStdString();
    std::unique_ptr<QProcess> child(StartChild("create", dir));
    ASSERT_TRUE(child->waitForStarted(30000));
    CRecordingServer server;
    const auto status = server.Open(dir, SharedCreationOptions());
    ASSERT_TRUE(status.IsOk()) << status.Message();
    ASSERT_TRUE(child->waitForFinished(120000));
    EXPECT_EQ(child->exitCode(), 0);

    // One sample, not two: the same rows as a store made alone.
    CRecordingServer alone;
    ASSERT_TRUE(alone.Open(RecordServerTest::FreshDir("created-once"), SharedCreationOptions()));
    EXPECT_EQ(server.Catalogue().IntegrityCheck(), "ok");
    EXPECT_EQ(Dump(CatalogueFile(server)), Dump(CatalogueFile(alone)));
}

TEST(StoreSharing, TwoProcessesWriteOneStore)
{
    const std::string dir = (TestSupport::ScratchDir() + "/shared").toStdString();
    QDir().mkpath(QString::fromStdString(dir));
    const std::string db = dir + "/" + CRecordingServer::kCatalogueFile;
    {
        CRecordCatalogue create;
        ASSERT_TRUE(create.Open(db));
    }
    std::unique_ptr<QProcess> child(StartChild("write", db));
    ASSERT_TRUE(child->waitForStarted(30000));
    AppendLogRows(db, "parent", kRowsPerProcess);
    ASSERT_TRUE(child->waitForFinished(120000));
    EXPECT_EQ(child->exitCode(), 0);

    CRecordCatalogue check;
    ASSERT_TRUE(check.Open(db));
    EXPECT_EQ(check.IntegrityCheck(), "ok");
    const auto rows = check.OperationLog();
    EXPECT_EQ(rows.size(), size_t(2 * kRowsPerProcess));
    std::set<std::string> texts;
    for (const auto &row : rows)
        texts.insert(row.text);
    EXPECT_EQ(texts.size(), size_t(2 * kRowsPerProcess));
}

} // namespace

namespace {

// Every camera's answer to a 2-day search of `type`, as text.
std::vector<std::string> AnswersOfAllCameras(CRecordingServer &server, VideoSearchType type)
{
    std::vector<std::string> out;
    const auto condition =
        Condition(type, SmallOptions().anchor - 2 * 86400, SmallOptions().anchor);
    for (const CameraRow &camera : server.Catalogue().Cameras()) {
        const auto answer = Search(server, camera, condition);
        out.push_back(camera.id + (answer.failed ? " failed" : " ok"));
        for (const auto &file : answer.files)
            out.push_back(Describe(*file));
    }
    return out;
}

TEST(RecordingServer, ConcurrentSearchesAgreeWithASingleOne)
{
    CRecordingServer &server = SmallStore();
    const VideoSearchType types[] = {VideoSearchRecord, VideoSearchTag, VideoSearchLock,
                                     VideoSearchPersonVehicle};
    std::map<int, std::vector<std::string>> expected;
    for (VideoSearchType type : types)
        expected[type] = AnswersOfAllCameras(server, type);

    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round) {
                const VideoSearchType type = types[(t + round) % 4];
                if (AnswersOfAllCameras(server, type) != expected[type])
                    ++mismatches;
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}

} // namespace
