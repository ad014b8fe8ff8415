// The controller against the embedded recording server: what it changes is what the next
// search finds.

#include "TagLockTestSupport.h"

#include "TestSupport.h"

#include "recordserver/RecordingServer.h"
#include "testkit/TestKit.h"

#include "quorbase/Util.h"

#include <QFile>

using namespace TeskVideoSearch;
using namespace TagLockTest;
using namespace teskrecordserver;

namespace {

GeneratorOptions StoreOptions()
{
    GeneratorOptions options;
    options.seed = 17;
    options.sites = 1;
    options.cameras = 8;
    options.days = 1;
    options.anchor = Quor::Base::TimeUtil::DaysFromCivil(2026, 6, 2) * 86400;
    options.clip_fps = 5;
    options.jpeg_capture_hours = 2;
    return options;
}

class TagLockStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server_ = std::make_shared<CRecordingServer>();
        const std::string dir =
            (TestSupport::ScratchDir() + "/taglock-store-" + QString::number(++store_number_))
                .toStdString();
        const auto status = server_->Open(dir, StoreOptions());
        ASSERT_TRUE(status.IsOk()) << status.Message();
        CRecordingServer::Install(server_);
        host_ = std::make_unique<ControllerHost>();
        const auto cameras = server_->Catalogue().Cameras();
        ASSERT_GE(cameras.size(), 8u);
        camera_ = cameras.front();
        failing_camera_ = cameras.back(); // the sample's last cameras fail every request
        begin_ = StoreOptions().anchor - 86400;
        end_ = StoreOptions().anchor;
    }

    void TearDown() override
    {
        host_.reset();
        teskplaycontroller::CRecordingSourceRegistry::SetSource(nullptr);
    }

    std::vector<std::shared_ptr<teskplaycontroller::CPlaybackFile>>
    Search(const CameraRow &camera, teskplaycontroller::VideoSearchType type)
    {
        const auto condition = TestKit::CameraSearchCondition(
            "check", type, {{camera.site_id, camera.id}}, begin_, end_);
        const std::atomic<bool> cancelled{false};
        const auto &data = condition.GetData();
        const auto answer = server_->SearchCamera(data, data.tesk_camera_info.front(), cancelled);
        EXPECT_FALSE(answer.failed) << answer.str_error_info;
        return answer.files;
    }

    std::shared_ptr<teskplaycontroller::CLabelFile> FirstTag(const CameraRow &camera)
    {
        for (const auto &file : Search(camera, teskplaycontroller::VideoSearchTag)) {
            if (auto tag = std::dynamic_pointer_cast<teskplaycontroller::CLabelFile>(file))
                return tag;
        }
        return nullptr;
    }

    CTagLockOperateEvent RunToEnd(const std::function<void()> &start)
    {
        const size_t before = host_->events.size();
        start();
        EXPECT_TRUE(WaitFor(
            [&] { return host_->events.size() > before && !host_->Dialog()->isVisible(); }));
        return host_->events.empty() ? CTagLockOperateEvent() : host_->events.back();
    }

    QByteArray CatalogueBytes() const
    {
        QByteArray bytes;
        for (const char *suffix : {"", "-wal"}) {
            QFile file(QString::fromStdString(
                server_->StorePath(std::string(CRecordingServer::kCatalogueFile) + suffix)));
            if (file.open(QIODevice::ReadOnly))
                bytes += file.readAll();
        }
        return bytes;
    }

    static inline int store_number_ = 0;
    std::shared_ptr<CRecordingServer> server_;
    std::unique_ptr<ControllerHost> host_;
    CameraRow camera_;
    CameraRow failing_camera_;
    int64_t begin_ = 0;
    int64_t end_ = 0;
};

TEST_F(TagLockStoreTest, DeletedTagIsGoneFromTheNextSearch)
{
    const auto tag = FirstTag(camera_);
    ASSERT_TRUE(tag);
    teskplaycontroller::OperatLabelParam param;
    param.operation_type = teskplaycontroller::LabelOperationDelete;
    param.label_id = tag->GetLabelID();
    param.camera_id = camera_.id;
    param.workstation_id = camera_.site_id;
    const auto event = RunToEnd([&] { host_->controller->StartLabelOperate(param); });
    EXPECT_EQ(event.GetOperateType(), TagDeleteSuccess) << qPrintable(event.GetErrorInfo());
    for (const auto &file : Search(camera_, teskplaycontroller::VideoSearchTag)) {
        auto label = std::dynamic_pointer_cast<teskplaycontroller::CLabelFile>(file);
        ASSERT_TRUE(label);
        EXPECT_NE(label->GetLabelID(), tag->GetLabelID());
    }

    // Deleting it again: the tag no longer exists.
    const auto again = RunToEnd([&] { host_->controller->StartLabelOperate(param); });
    EXPECT_EQ(again.GetOperateType(), TagDeleteFail);
    EXPECT_TRUE(again.GetErrorInfo().contains("does not exist"))
        << qPrintable(again.GetErrorInfo());
}

TEST_F(TagLockStoreTest, ModifiedTagShowsItsNewText)
{
    const auto tag = FirstTag(camera_);
    ASSERT_TRUE(tag);
    teskplaycontroller::OperatLabelParam param;
    param.operation_type = teskplaycontroller::LabelOperationModify;
    param.label_id = tag->GetLabelID();
    param.camera_id = camera_.id;
    param.site_id = camera_.site_id;
    param.label_name = "Gate \xE2\x80\x93 van left";
    param.label_desc = "checked by the night shift";
    param.label_type = 103;
    param.operator_name = "night-shift";
    const auto event = RunToEnd([&] { host_->controller->StartLabelOperate(param); });
    EXPECT_EQ(event.GetOperateType(), TagModifySuccess) << qPrintable(event.GetErrorInfo());
    const auto changed = FirstTag(camera_);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->GetLabelID(), tag->GetLabelID());
    EXPECT_EQ(changed->GetLabelName(), param.label_name);
    EXPECT_EQ(changed->GetLabelDesc(), param.label_desc);
    EXPECT_EQ(changed->GetRcordLabelType(), 103);
    const auto log = server_->Catalogue().RecordChanges();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log.front().operator_name, "night-shift");
    EXPECT_EQ(log.front().operation, "modify-tag");
}

TEST_F(TagLockStoreTest, UnlockedRecordingIsNoLongerFoundByALockedSearch)
{
    const auto locked = Search(camera_, teskplaycontroller::VideoSearchLock);
    ASSERT_FALSE(locked.empty());
    const auto &file = locked.front();
    teskplaycontroller::LockRecordFileParam param;
    param.camera_id = camera_.id;
    param.workstation_id = camera_.site_id;
    param.begin_time = file->GetFileBegTime();
    param.end_time = file->GetFileEndTime();
    param.operation_type = teskplaycontroller::LockOperationUnlock;
    const auto event = RunToEnd([&] { host_->controller->StartLockOperate(param); });
    EXPECT_EQ(event.GetOperateType(), UnlockSuccess) << qPrintable(event.GetErrorInfo());
    EXPECT_EQ(event.GetLockParam().GetVal_begin_time(), file->GetFileBegTime());
    const auto after = Search(camera_, teskplaycontroller::VideoSearchLock);
    EXPECT_EQ(after.size(), locked.size() - 1);
    for (const auto &left : after)
        EXPECT_NE(left->GetFileBegTime(), file->GetFileBegTime());
}

TEST_F(TagLockStoreTest, FailingCameraReportsItsErrorAndChangesNothing)
{
    const auto failure =
        server_->Catalogue().SearchFailure(failing_camera_.site_id, failing_camera_.id);
    ASSERT_TRUE(failure);
    const QByteArray before = CatalogueBytes();
    teskplaycontroller::LockRecordFileParam param;
    param.camera_id = failing_camera_.id;
    param.workstation_id = failing_camera_.site_id;
    param.begin_time = begin_;
    param.end_time = begin_ + 600;
    const auto event = RunToEnd([&] { host_->controller->StartLockOperate(param); });
    EXPECT_EQ(event.GetOperateType(), UnlockFail);
    EXPECT_EQ(event.GetErrorInfo(), QString::fromStdString(failure->error_text));
    EXPECT_EQ(CatalogueBytes(), before);
    const auto tips = Tips().OpenTips();
    ASSERT_FALSE(tips.isEmpty());
    EXPECT_TRUE(tips.back()->GetText().endsWith(QString::fromStdString(failure->error_text)));
}

} // namespace
