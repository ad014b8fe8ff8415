#include "TimeLapseTestSupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTest>
#include <QThreadPool>

using namespace TeskVideoSearch;
using namespace TimeLapseTest;

namespace {

class TimeLapseManager : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Pausing blocks on a worker; enough pool threads keep the reporting steps moving.
        QThreadPool::globalInstance()->setMaxThreadCount(8);
        provider_ = std::make_shared<GatedProvider>();
        for (const char *camera : {"cam-a", "cam-b", "cam-c", "cam-d"}) {
            CDirectoryTimeLapseProvider::CameraPictures pictures;
            pictures.synthetic_width = 64;
            pictures.synthetic_height = 48;
            pictures.capture_interval = 120; // 6 pictures in the ten minutes
            provider_->SetCameraPictures(camera, pictures);
        }
        CTimeLapseProviderRegistry::SetProvider(provider_);
        manager().RegisterDataCallBack(&ResultRecorder::Callback);
        ResultRecorder::Instance().Clear();
    }
    void TearDown() override
    {
        for (const char *camera : {"cam-a", "cam-b", "cam-c", "cam-d"})
            provider_->Release(camera);
        manager().DeleteTimeLapseTask(guids_);
        // A result is reported before the selection that follows it; let that selection end
        // before the next test fills the table.
        QThreadPool::globalInstance()->waitForDone();
        CTimeLapseProviderRegistry::SetProvider(nullptr);
    }

    static CTimeLapsePhotoManager &manager() { return CTimeLapsePhotoManager::Instance(); }

    void Submit(const std::string &guid, const std::string &camera, void *user_data = nullptr)
    {
        auto request = CaptureRequest(guid, camera);
        request.SetVal_user_data(user_data);
        CTimeLapsePhotoReponseParam response;
        manager().TimeLapseTaskStartRun(request, response);
        guids_.push_back(guid);
    }
    TimeLapseTaskState State(const std::string &guid)
    {
        return manager().GetTimeLapseTaskState(guid);
    }
    bool WaitState(const std::string &guid, TimeLapseTaskState state)
    {
        return QTest::qWaitFor([&] { return State(guid) == state; }, 20000);
    }
    void Pause(bool is_pause, std::string guid) { manager().TimeLapseTaskPause(is_pause, guid); }

    std::shared_ptr<GatedProvider> provider_;
    std::vector<std::string> guids_;
};

} // namespace

TEST_F(TimeLapseManager, SecondSubmissionWaitsForTheFirstResult)
{
    provider_->Hold("cam-a");
    provider_->Hold("cam-b");
    int user_data = 7;
    Submit("two-1", "cam-a", &user_data);
    Submit("two-2", "cam-b");
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-a", 1));
    EXPECT_EQ(State("two-1"), TaskRunning);
    EXPECT_EQ(State("two-2"), TaskWaiting);

    provider_->Release("cam-a");
    Result first;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("two-1", first));
    EXPECT_TRUE(first.success);
    EXPECT_EQ(first.user_data, &user_data);
    EXPECT_GT(first.size, 0);
    EXPECT_EQ(State("two-1"), TaskFinished);
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-b", 1));
    EXPECT_EQ(State("two-2"), TaskRunning);
    provider_->Release("cam-b");
    Result second;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("two-2", second));
    EXPECT_TRUE(second.success);
    // A finished task is never selected again.
    EXPECT_EQ(provider_->Calls("download", "cam-a"), 1);
}

TEST_F(TimeLapseManager, SameGuidReplacesTheTask)
{
    provider_->Hold("cam-a");
    int old_data = 1, new_data = 2;
    Submit("same", "cam-a", &old_data);
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-a", 1));
    provider_->Hold("cam-b");
    Submit("same", "cam-b", &new_data);
    // The replaced task's download was aborted; the new task starts in its place.
    EXPECT_EQ(provider_->Aborts("cam-a"), 1);
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-b", 1));
    provider_->Release("cam-b");
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("same", result));
    EXPECT_TRUE(result.success);
    EXPECT_EQ(result.user_data, &new_data);
    EXPECT_EQ(ResultRecorder::Instance().Count("same"), 1);
}

// The replaced task failed while paused: its held-back failure belongs to no one any more and
// must not reach the host under the guid that now names the new task.
TEST_F(TimeLapseManager, ResubmissionDropsTheReplacedTasksHeldBackFailure)
{
    provider_->Hold("cam-a");
    provider_->FailWhenAborted("cam-a");
    int old_data = 1, new_data = 2;
    Submit("again", "cam-a", &old_data);
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-a", 1));
    Pause(true, "again");
    ASSERT_EQ(State("again"), TaskPaused);

    Submit("again", "cam-b", &new_data);
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("again", result));
    EXPECT_TRUE(result.success);
    EXPECT_EQ(result.user_data, &new_data);
    // Every step of both tasks has ended: no report of the old task is still on its way.
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(ResultRecorder::Instance().Count("again"), 1);
    EXPECT_EQ(provider_->Calls("download", "cam-a"), 1);
}

TEST_F(TimeLapseManager, WaitingTasksStartInGuidOrder)
{
    provider_->Hold("cam-c");
    Submit("order-0", "cam-c");
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-c", 1));
    provider_->Hold("cam-a");
    provider_->Hold("cam-b");
    Submit("order-b", "cam-b");
    Submit("order-a", "cam-a");
    EXPECT_EQ(State("order-a"), TaskWaiting);
    EXPECT_EQ(State("order-b"), TaskWaiting);
    provider_->Release("cam-c");
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-a", 1));
    EXPECT_EQ(State("order-a"), TaskRunning);
    EXPECT_EQ(State("order-b"), TaskWaiting);
    EXPECT_EQ(provider_->Calls("download", "cam-b"), 0);
}

TEST_F(TimeLapseManager, ResumeWhileAnotherRunsWaitsThenResumes)
{
    provider_->Hold("cam-a");
    Submit("resume-a", "cam-a");
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-a", 1));
    Pause(true, "resume-a");
    EXPECT_EQ(State("resume-a"), TaskPaused);
    EXPECT_EQ(provider_->Aborts("cam-a"), 1);

    provider_->Hold("cam-b");
    Submit("resume-b", "cam-b");
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-b", 1));
    EXPECT_EQ(State("resume-b"), TaskRunning);

    Pause(false, "resume-a");
    EXPECT_EQ(State("resume-a"), TaskPaused);
    EXPECT_EQ(provider_->Calls("download", "cam-a"), 1);

    provider_->Release("cam-b");
    // The running task's result resumes the paused one: it downloads again (no restart from
    // the waiting state).
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-a", 2));
    EXPECT_EQ(State("resume-a"), TaskResumed);
    provider_->Release("cam-a");
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("resume-a", result));
    EXPECT_TRUE(result.success);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(OutputDir("resume-a") + "/video.mp4")));
}

TEST_F(TimeLapseManager, PausedWaitingTaskIsSkippedUntilResumed)
{
    provider_->Hold("cam-c");
    Submit("skip-0", "cam-c");
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-c", 1));
    provider_->Hold("cam-b");
    Submit("skip-a", "cam-a");
    Submit("skip-b", "cam-b");
    Pause(true, "skip-a");
    EXPECT_EQ(State("skip-a"), TaskWaiting);
    provider_->Release("cam-c");
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-b", 1));
    EXPECT_EQ(State("skip-a"), TaskWaiting);
    Pause(false, "skip-a");
    EXPECT_EQ(State("skip-a"), TaskWaiting);
    provider_->Release("cam-b");
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("skip-a", result));
    EXPECT_TRUE(result.success);
}

TEST_F(TimeLapseManager, DeletingTheRunningTaskDoesNotStartTheNext)
{
    provider_->Hold("cam-a");
    Submit("del-1", "cam-a");
    Submit("del-2", "cam-b");
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-a", 1));
    manager().DeleteTimeLapseTask({"del-1"});
    EXPECT_EQ(State("del-2"), TaskWaiting);
    EXPECT_EQ(provider_->Calls("download", "cam-b"), 0);
    EXPECT_EQ(ResultRecorder::Instance().Count("del-1"), 0);
    // The next submission selects again, in guid order.
    provider_->Hold("cam-c");
    Submit("del-3", "cam-c");
    ASSERT_TRUE(provider_->WaitCalls("download", "cam-b", 1));
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("del-2", result));
    EXPECT_TRUE(result.success);
}

TEST_F(TimeLapseManager, UnknownGuidsAnswerZero)
{
    std::string guid = "no-such-task";
    EXPECT_EQ(manager().GetTimeLapseGeneratePercentage(guid), 0);
    EXPECT_EQ(manager().GetTimeLapseGenerateFileSize(guid), 0);
    EXPECT_EQ(manager().GetTimeLapseTaskErrorCode(guid), Quor::Base::Error::ErrorCode());
    manager().TimeLapseTaskPause(true, guid);
    manager().DeleteTimeLapseTask({guid});
    EXPECT_EQ(State(guid), TaskWaiting);
}

TEST_F(TimeLapseManager, FailedDownloadIsReportedWithItsErrorCode)
{
    CDirectoryTimeLapseProvider::CameraPictures broken;
    broken.fail = true;
    provider_->SetCameraPictures("cam-d", broken);
    Submit("fail-1", "cam-d");
    Result result;
    ASSERT_TRUE(ResultRecorder::Instance().Wait("fail-1", result));
    EXPECT_FALSE(result.success);
    std::string guid = "fail-1";
    const auto error = manager().GetTimeLapseTaskErrorCode(guid);
    EXPECT_EQ(error.module_code, TimeLapseError::kModule);
    EXPECT_EQ(error.error_code, TimeLapseError::kNoPictures);
}
