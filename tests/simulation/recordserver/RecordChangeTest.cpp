// Tag and lock changes made by the recording server: one transaction each with its change-log
// row, and nothing at all when they fail.

#include "SmallStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <cstdio>

using namespace teskrecordserver;
using namespace teskplaycontroller;

namespace {

GeneratorOptions ChangeOptions()
{
    auto options = RecordServerTest::SmallOptions(23);
    options.sites = 1;
    options.days = 1;
    return options;
}

class RecordChangeTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        const auto status = server_.Open(RecordServerTest::FreshDir("changes"), ChangeOptions());
        ASSERT_TRUE(status.IsOk()) << status.Message();
        const auto cameras = server_.Catalogue().Cameras();
        ASSERT_GE(cameras.size(), 8u);
        camera_ = cameras.front();
        failing_ = cameras.back();
        end_ = ChangeOptions().anchor;
        begin_ = end_ - 86400;
        tags_ = server_.Catalogue().Tags(camera_.site_id, camera_.id, begin_, end_);
        locks_ = server_.Catalogue().Locks(camera_.site_id, camera_.id, begin_, end_);
        ASSERT_GE(tags_.size(), 2u);
        ASSERT_FALSE(locks_.empty());
    }

    OperatLabelParam TagParam(int operation, const TagRow &tag) const
    {
        OperatLabelParam param;
        param.operation_type = operation;
        param.label_id = tag.label_id;
        param.camera_id = camera_.id;
        param.site_id = camera_.site_id;
        param.label_name = "changed name";
        param.label_desc = "changed description";
        param.label_type = 102;
        param.operator_name = "auditor";
        return param;
    }

    LockRecordFileParam LockParam(int operation, int64_t begin, int64_t end) const
    {
        LockRecordFileParam param;
        param.camera_id = camera_.id;
        param.workstation_id = camera_.site_id;
        param.begin_time = begin;
        param.end_time = end;
        param.operation_type = operation;
        param.operator_name = "auditor";
        return param;
    }

    // The catalogue as it lies on disk: the database file and its write-ahead log.
    QByteArray Bytes() const
    {
        QByteArray bytes;
        for (const char *suffix : {"", "-wal"}) {
            QFile file(QString::fromStdString(
                server_.StorePath(std::string(CRecordingServer::kCatalogueFile) + suffix)));
            if (file.open(QIODevice::ReadOnly))
                bytes += file.readAll();
        }
        return bytes;
    }

    CRecordingServer server_;
    CameraRow camera_;
    CameraRow failing_;
    int64_t begin_ = 0;
    int64_t end_ = 0;
    std::vector<TagRow> tags_;
    std::vector<FileRow> locks_;
};

TEST_F(RecordChangeTest, EachChangeLandsWithItsLogRow)
{
    auto &catalogue = server_.Catalogue();
    const int64_t before = QDateTime::currentSecsSinceEpoch();
    std::string error;

    // Modify, with a new span inside the tag's recording.
    const TagRow &first = tags_[0];
    auto modify = TagParam(LabelOperationModify, first);
    modify.begin_time = first.begin + 1;
    modify.end_time = first.begin + 5;
    CChangeClaim claim_modify;
    ASSERT_TRUE(server_.OperateLabel(modify, claim_modify, error)) << error;
    const auto changed = catalogue.FindTag(camera_.site_id, camera_.id, first.label_id);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->name, "changed name");
    EXPECT_EQ(changed->description, "changed description");
    EXPECT_EQ(changed->label_type, 102);
    EXPECT_EQ(changed->begin, first.begin + 1);
    EXPECT_EQ(changed->end, first.begin + 5);
    EXPECT_EQ(changed->iso_begin, IsoInZone(first.begin + 1, camera_.time_zone));

    // Delete another tag; the rest stay.
    CChangeClaim claim_delete;
    ASSERT_TRUE(server_.OperateLabel(TagParam(LabelOperationDelete, tags_[1]), claim_delete, error))
        << error;
    EXPECT_FALSE(catalogue.FindTag(camera_.site_id, camera_.id, tags_[1].label_id));
    EXPECT_EQ(catalogue.Tags(camera_.site_id, camera_.id, begin_, end_).size(), tags_.size() - 1);

    // Unlock, then lock the same span again.
    const FileRow &lock = locks_.front();
    CChangeClaim claim_unlock;
    ASSERT_TRUE(server_.LockAndUnlockRecord(LockParam(LockOperationUnlock, lock.begin, lock.end),
                                            claim_unlock, error))
        << error;
    EXPECT_EQ(catalogue.Locks(camera_.site_id, camera_.id, begin_, end_).size(), locks_.size() - 1);
    CChangeClaim claim_lock;
    ASSERT_TRUE(server_.LockAndUnlockRecord(LockParam(LockOperationLock, lock.begin, lock.end),
                                            claim_lock, error))
        << error;
    EXPECT_EQ(catalogue.Locks(camera_.site_id, camera_.id, begin_, end_).size(), locks_.size());

    const auto log = catalogue.RecordChanges();
    ASSERT_EQ(log.size(), 4u);
    const char *operations[] = {"modify-tag", "delete-tag", "unlock", "lock"};
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].operation, operations[i]);
        EXPECT_EQ(log[i].operator_name, "auditor");
        EXPECT_EQ(log[i].camera_id, camera_.id);
        EXPECT_GE(log[i].time, before);
        EXPECT_LE(log[i].time, QDateTime::currentSecsSinceEpoch());
    }
    EXPECT_EQ(log[0].target, first.label_id);
    EXPECT_NE(log[0].detail.find("\"changed name\""), std::string::npos) << log[0].detail;
    EXPECT_NE(log[1].detail.find(tags_[1].name), std::string::npos) << log[1].detail;
    EXPECT_EQ(catalogue.IntegrityCheck(), "ok");
}

TEST_F(RecordChangeTest, ChangeWithoutANamedOperatorIsLoggedForTheAccount)
{
    auto param = TagParam(LabelOperationDelete, tags_[0]);
    param.operator_name.clear();
    param.site_id.clear(); // the camera identifier alone is enough when it is unique
    std::string error;
    CChangeClaim claim;
    ASSERT_TRUE(server_.OperateLabel(param, claim, error)) << error;
    const auto log = server_.Catalogue().RecordChanges();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_FALSE(log[0].operator_name.empty());
}

// Failures: the service's error text, and the catalogue unchanged byte for byte.
struct FailureRow
{
    const char *name;
    const char *error_part;
    bool (*run)(RecordChangeTest &t, std::string &error);
};

const FailureRow kFailures[] = {
    {"CameraSetUpToFail", "",
     [](RecordChangeTest &t, std::string &error) {
         auto param = t.LockParam(LockOperationUnlock, t.begin_, t.begin_ + 60);
         param.camera_id = t.failing_.id;
         CChangeClaim claim;
         return t.server_.LockAndUnlockRecord(param, claim, error);
     }},
    {"UnknownCamera", "",
     [](RecordChangeTest &t, std::string &error) {
         auto param = t.TagParam(LabelOperationDelete, t.tags_[0]);
         param.camera_id = "no-such-camera";
         CChangeClaim claim;
         return t.server_.OperateLabel(param, claim, error);
     }},
    {"TagNoLongerExists", "does not exist",
     [](RecordChangeTest &t, std::string &error) {
         auto param = t.TagParam(LabelOperationModify, t.tags_[0]);
         param.label_id = "0000000000000000";
         CChangeClaim claim;
         return t.server_.OperateLabel(param, claim, error);
     }},
    {"LockNoLongerExists", "not locked",
     [](RecordChangeTest &t, std::string &error) {
         CChangeClaim claim;
         return t.server_.LockAndUnlockRecord(
             t.LockParam(LockOperationUnlock, t.begin_ + 1, t.begin_ + 2), claim, error);
     }},
    {"TagWithoutName", "name",
     [](RecordChangeTest &t, std::string &error) {
         auto param = t.TagParam(LabelOperationModify, t.tags_[0]);
         param.label_name.clear();
         CChangeClaim claim;
         return t.server_.OperateLabel(param, claim, error);
     }},
    {"TagMovedOutOfEveryRecording", "No recording",
     [](RecordChangeTest &t, std::string &error) {
         auto param = t.TagParam(LabelOperationModify, t.tags_[0]);
         param.begin_time = t.begin_ - 10 * 86400;
         param.end_time = param.begin_time + 10;
         CChangeClaim claim;
         return t.server_.OperateLabel(param, claim, error);
     }},
    {"DeadlinePassedBeforeCommit", "abandoned",
     [](RecordChangeTest &t, std::string &error) {
         CChangeClaim claim;
         EXPECT_TRUE(claim.Expire());
         return t.server_.OperateLabel(t.TagParam(LabelOperationDelete, t.tags_[0]), claim, error);
     }},
    {"ReadOnlyStore", "read",
     [](RecordChangeTest &t, std::string &error) {
         CRecordingServer reader;
         const auto status = reader.OpenReadOnly(t.server_.StoreDir());
         EXPECT_TRUE(status.IsOk()) << status.Message();
         // Searches still answer from a read-only store.
         EXPECT_TRUE(
             reader.Catalogue().FindTag(t.camera_.site_id, t.camera_.id, t.tags_[0].label_id));
         CChangeClaim claim;
         return reader.OperateLabel(t.TagParam(LabelOperationDelete, t.tags_[0]), claim, error);
     }},
};

class RecordChangeFailureTest : public RecordChangeTest,
                                public ::testing::WithParamInterface<FailureRow>
{};

TEST_P(RecordChangeFailureTest, FailureChangesNothing)
{
    const FailureRow &row = GetParam();
    const QByteArray before = Bytes();
    std::string error;
    EXPECT_FALSE(row.run(*this, error));
    EXPECT_FALSE(error.empty());
    EXPECT_NE(error.find(row.error_part), std::string::npos) << error;
    EXPECT_EQ(Bytes(), before);
    EXPECT_TRUE(server_.Catalogue().RecordChanges().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, RecordChangeFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto &info) { return std::string(info.param.name); });

// Durability: a process killed in the middle of a stream of tag changes.
constexpr int kStreamLength = 1000;
constexpr int kStreamTags = 5;
constexpr int kKillRounds = 20;

std::string StreamName(int round, int change)
{
    return "round " + std::to_string(round) + " change " + std::to_string(change);
}

TEST(RecordChangeStream, ChildWriter)
{
    const QByteArray dir = qgetenv("TVS_CHANGE_CHILD_STORE");
    if (dir.isEmpty())
        GTEST_SKIP() << "only run as the child of KilledWriterLeavesWholeChanges";
    const int round = qEnvironmentVariableIntValue("TVS_CHANGE_CHILD_ROUND");
    CRecordingServer server;
    ASSERT_TRUE(server.Open(dir.toStdString(), ChangeOptions()));
    const CameraRow camera = server.Catalogue().Cameras().front();
    const auto tags = server.Catalogue().Tags(camera.site_id, camera.id, 0, INT64_MAX);
    ASSERT_GE(tags.size(), size_t(kStreamTags));
    for (int i = 0; i < kStreamLength; ++i) {
        OperatLabelParam param;
        param.operation_type = LabelOperationModify;
        param.label_id = tags[i % kStreamTags].label_id;
        param.camera_id = camera.id;
        param.site_id = camera.site_id;
        param.label_name = StreamName(round, i);
        param.label_type = 101;
        param.operator_name = "round " + std::to_string(round);
        CChangeClaim claim;
        std::string error;
        ASSERT_TRUE(server.OperateLabel(param, claim, error)) << error;
        std::printf("committed %d\n", i);
        std::fflush(stdout);
    }
}

TEST(RecordChangeStream, KilledWriterLeavesWholeChanges)
{
    const std::string dir = RecordServerTest::FreshDir("stream");
    std::vector<TagRow> tags;
    CameraRow camera;
    {
        CRecordingServer server;
        ASSERT_TRUE(server.Open(dir, ChangeOptions()));
        camera = server.Catalogue().Cameras().front();
        tags = server.Catalogue().Tags(camera.site_id, camera.id, 0, INT64_MAX);
        ASSERT_GE(tags.size(), size_t(kStreamTags));
    }
    std::vector<std::string> names;
    for (int t = 0; t < kStreamTags; ++t)
        names.push_back(tags[t].name);

    std::vector<int> committed_per_round;
    for (int round = 0; round < kKillRounds; ++round) {
        QProcess child;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TVS_CHANGE_CHILD_STORE", QString::fromStdString(dir));
        environment.insert("TVS_CHANGE_CHILD_ROUND", QString::number(round));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=RecordChangeStream.ChildWriter")});
        ASSERT_TRUE(child.waitForStarted(30000));
        // Kill once the child reports a random number of commits: a random moment in the
        // stream, reached by the child's own progress rather than by a clock.
        const int kill_after = QRandomGenerator::global()->bounded(1, kStreamLength - 50);
        int reported = 0;
        QByteArray pending;
        while (reported < kill_after && child.state() == QProcess::Running) {
            if (!child.waitForReadyRead(30000))
                break;
            pending += child.readAllStandardOutput();
            int newline;
            while ((newline = pending.indexOf('\n')) >= 0) {
                const QByteArray line = pending.left(newline);
                pending.remove(0, newline + 1);
                if (line.startsWith("committed "))
                    reported = line.mid(10).toInt() + 1;
            }
        }
        child.kill();
        ASSERT_TRUE(child.waitForFinished(30000));
        ASSERT_GE(reported, kill_after) << "round " << round;

        CRecordCatalogue catalogue;
        const auto opened = catalogue.Open(dir + "/" + CRecordingServer::kCatalogueFile);
        ASSERT_TRUE(opened.IsOk()) << opened.Message();
        ASSERT_EQ(catalogue.IntegrityCheck(), "ok") << "round " << round;
        std::vector<RecordChangeRow> log;
        for (const auto &row : catalogue.RecordChanges()) {
            if (row.operator_name == "round " + std::to_string(round))
                log.push_back(row);
        }
        // Everything reported as committed survived the kill.
        const int committed = static_cast<int>(log.size());
        ASSERT_GE(committed, reported) << "round " << round;
        committed_per_round.push_back(committed);
        for (int i = 0; i < committed; ++i) {
            EXPECT_EQ(log[i].target, tags[i % kStreamTags].label_id);
            ASSERT_NE(log[i].detail.find(StreamName(round, i)), std::string::npos) << log[i].detail;
        }
        // Each tag carries exactly the last logged change of it: no change without its log
        // row, no log row without its change.
        for (int t = 0; t < kStreamTags; ++t) {
            if (committed > t) {
                const int last = t + ((committed - 1 - t) / kStreamTags) * kStreamTags;
                names[t] = StreamName(round, last);
            }
            const auto tag = catalogue.FindTag(camera.site_id, camera.id, tags[t].label_id);
            ASSERT_TRUE(tag);
            EXPECT_EQ(tag->name, names[t]) << "round " << round << " tag " << t;
        }
    }
    std::string figures;
    for (int committed : committed_per_round)
        figures += std::to_string(committed) + " ";
    std::printf("Changes committed before each kill: %s\n", figures.c_str());
}

} // namespace
