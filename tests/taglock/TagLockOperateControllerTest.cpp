#include "TagLockTestSupport.h"

#include "doubles/ScriptedRecordingSource.h"
#include "playcontroller/RecordingSource.h"

#include <QApplication>

#include <thread>

using namespace TeskVideoSearch;
using namespace TagLockTest;
using teskplaycontroller::CScriptedRecordingSource;

namespace {

const char *const kContext = "TeskVideoSearch::CTagLockOperateController";

teskplaycontroller::OperatLabelParam TagRequest(int operation)
{
    teskplaycontroller::OperatLabelParam param;
    param.operation_type = operation;
    param.label_id = "tag-1";
    param.camera_id = "C1";
    param.site_id = "S1";
    param.label_name = "renamed";
    return param;
}

teskplaycontroller::LockRecordFileParam LockRequest(int operation = 0)
{
    teskplaycontroller::LockRecordFileParam param;
    param.camera_id = "C1";
    param.workstation_id = "S1";
    param.begin_time = 1000;
    param.end_time = 1600;
    param.operation_type = operation;
    return param;
}

// The tips shown over `window`.
QList<tesk_ui_data_controller::CMessageTip *> TipsOver(QWidget *window)
{
    QList<tesk_ui_data_controller::CMessageTip *> over;
    for (auto *tip : Tips().OpenTips()) {
        if (tip->parentWidget() == window)
            over.append(tip);
    }
    return over;
}

class ShowCounter : public QObject
{
public:
    int shows = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

class TagLockControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source_ = std::make_shared<CScriptedRecordingSource>();
        teskplaycontroller::CRecordingSourceRegistry::SetSource(source_);
        host_ = std::make_unique<ControllerHost>();
    }

    void TearDown() override
    {
        source_->ReleaseAll();
        DrainServices();
        host_.reset();
        LabelManager().SetAnswerTimeout(std::chrono::seconds(30));
        LockManager().SetAnswerTimeout(std::chrono::seconds(30));
        teskplaycontroller::CRecordingSourceRegistry::SetSource(nullptr);
    }

    // Returns once both services have answered every request made so far: each runs its
    // requests in order, so a last request of its own, answered, closes the queue.
    void DrainServices()
    {
        const int before = counter_.drains.load();
        auto tag = TagRequest(teskplaycontroller::LabelOperationModify);
        tag.label_id = CNotificationCounter::kDrain;
        LabelManager().OperatLabel(tag);
        auto lock = LockRequest();
        lock.camera_id = CNotificationCounter::kDrain;
        LockManager().LockAndUnlockRecord(lock);
        ASSERT_TRUE(WaitFor([&] { return counter_.drains.load() == before + 2; }));
    }

    std::shared_ptr<CScriptedRecordingSource> source_;
    CNotificationCounter counter_;
    std::unique_ptr<ControllerHost> host_;
};

// Every state a service can report: the event that goes out (if any), the tip it shows, and
// in every case a closed waiting dialog and a controller ready for the next request.
struct StateRow
{
    const char *name;
    bool lock;
    int state;
    bool emits;
    TagLockOperateType type;
    const char *tip_key; // null: no tip
    int alert;
};

const StateRow kStateRows[] = {
    {"TagAddFailed", false, 0, true, OperateNone, nullptr, 0},
    {"TagAdded", false, 1, true, OperateNone, nullptr, 0},
    {"TagModifyFailed", false, 2, true, TagModifyFail, "ModifyingTagFailed", 1},
    {"TagModified", false, 3, true, TagModifySuccess, "TagModified", 0},
    {"TagDeleteFailed", false, 4, true, TagDeleteFail, "FailedToDeleteTag", 1},
    {"TagDeleted", false, 5, true, TagDeleteSuccess, "TagDeleted", 0},
    {"TagUnknownState", false, 9, true, OperateNone, nullptr, 0},
    {"LockFailed", true, 0, false, OperateNone, nullptr, 0},
    {"Locked", true, 1, false, OperateNone, nullptr, 0},
    {"UnlockFailed", true, 2, true, UnlockFail, "UnlockingTheFileFailed", 1},
    {"Unlocked", true, 3, true, UnlockSuccess, "UnlockSuccessfullypKfsRLwniz", 0},
    {"LockUnknownState", true, -1, false, OperateNone, nullptr, 0},
};

class TagLockStateTest : public TagLockControllerTest,
                         public ::testing::WithParamInterface<StateRow>
{};

TEST_P(TagLockStateTest, NotificationEndsTheWaitAsItsStateSays)
{
    const StateRow row = GetParam();
    const std::string error = "Der Speicher ist schreibgesch\xC3\xBCtzt";
    source_->AddHold(row.lock ? CScriptedRecordingSource::kLockChange
                              : CScriptedRecordingSource::kLabelChange);
    if (row.lock)
        host_->controller->StartLockOperate(LockRequest());
    else
        host_->controller->StartLabelOperate(TagRequest(teskplaycontroller::LabelOperationModify));
    EXPECT_TRUE(host_->controller->IsOperating());

    auto *dialog = host_->Dialog();
    ASSERT_NE(dialog, nullptr);
    bool was_modal = false;
    bool injected = false;
    WhenDialogShows(dialog, [&] {
        was_modal = QApplication::activeModalWidget() == dialog;
        // The notification comes from a thread of the service, as the services deliver it.
        std::thread([&] {
            if (row.lock) {
                teskplaycontroller::CLockMgrObserverParam param;
                param.SetVal_state_type(row.state);
                param.SetVal_str_error_code(error);
                param.SetVal_lock_param(LockRequest());
                static_cast<teskplaycontroller::CLockMgrObserver *>(host_->controller)
                    ->UpdateLockOperateState(param);
            } else {
                teskplaycontroller::CLabelMgrObserverParam param;
                param.SetVal_state_type(row.state);
                param.SetVal_str_error_code(error);
                static_cast<teskplaycontroller::CLabelMgrObserver *>(host_->controller)
                    ->UpdateLabelOperateState(param);
            }
        }).join();
        injected = true;
    });
    ASSERT_TRUE(WaitFor([&] { return injected && !dialog->isVisible(); }));
    EXPECT_TRUE(was_modal);
    EXPECT_FALSE(host_->controller->IsOperating());

    ASSERT_EQ(host_->events.size(), row.emits ? 1u : 0u);
    const auto tips = TipsOver(host_->window.get());
    if (row.emits) {
        const CTagLockOperateEvent &event = host_->events.front();
        EXPECT_EQ(event.GetOperateType(), row.type);
        EXPECT_EQ(event.type(), QEvent::User);
        const bool failure = row.tip_key && row.alert == 1;
        EXPECT_EQ(event.GetErrorInfo(), failure ? QString::fromUtf8(error.c_str()) : QString());
        if (row.lock) {
            EXPECT_EQ(event.GetLockParam().GetVal_end_time(), 1600);
        }
    }
    if (!row.tip_key) {
        EXPECT_TRUE(tips.isEmpty());
        return;
    }
    ASSERT_EQ(tips.size(), 1);
    QString text = QCoreApplication::translate(kContext, row.tip_key);
    if (row.alert == 1)
        text += QString::fromUtf8(error.c_str());
    EXPECT_EQ(tips.front()->GetText(), text);
    EXPECT_EQ(tips.front()->GetAlertState(), row.alert);
}

INSTANTIATE_TEST_SUITE_P(States, TagLockStateTest, ::testing::ValuesIn(kStateRows),
                         [](const auto &info) { return std::string(info.param.name); });

// A request while another runs is dropped, across both kinds, and the first still completes.
struct OverlapRow
{
    const char *name;
    bool first_lock;
};

class TagLockOverlapTest : public TagLockControllerTest,
                           public ::testing::WithParamInterface<OverlapRow>
{};

TEST_P(TagLockOverlapTest, SecondRequestWhileOneRunsIsDropped)
{
    const bool first_lock = GetParam().first_lock;
    const char *hold =
        first_lock ? CScriptedRecordingSource::kLockChange : CScriptedRecordingSource::kLabelChange;
    source_->AddHold(hold);
    if (first_lock)
        host_->controller->StartLockOperate(LockRequest());
    else
        host_->controller->StartLabelOperate(TagRequest(teskplaycontroller::LabelOperationDelete));

    auto *dialog = host_->Dialog();
    WhenDialogShows(dialog, [&] {
        host_->controller->StartLabelOperate(TagRequest(teskplaycontroller::LabelOperationModify));
        host_->controller->StartLockOperate(LockRequest());
        source_->Release(hold);
    });
    ASSERT_TRUE(WaitFor([&] { return host_->events.size() == 1 && !dialog->isVisible(); }));
    EXPECT_EQ(host_->events.front().GetOperateType(),
              first_lock ? UnlockSuccess : TagDeleteSuccess);
    DrainServices();
    // The first request and the two drains reached the recorder; the dropped ones did not.
    EXPECT_EQ(source_->CommittedChangeCount(), 3);
    EXPECT_EQ(host_->events.size(), 1u);

    // Idle again: the next request is taken.
    host_->controller->StartLabelOperate(TagRequest(teskplaycontroller::LabelOperationModify));
    ASSERT_TRUE(WaitFor([&] { return host_->events.size() == 2 && !dialog->isVisible(); }));
    EXPECT_EQ(host_->events.back().GetOperateType(), TagModifySuccess);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TagLockOverlapTest,
                         ::testing::Values(OverlapRow{"TagWhileUnlockRuns", true},
                                           OverlapRow{"UnlockWhileTagRuns", false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(TagLockControllerTest, AnswerBeforeTheDialogOpensLeavesItClosed)
{
    source_->AddHold(CScriptedRecordingSource::kLabelChange);
    auto *dialog = host_->Dialog();
    ShowCounter shows;
    dialog->installEventFilter(&shows);
    host_->controller->StartLabelOperate(TagRequest(teskplaycontroller::LabelOperationModify));
    // An answer that arrives before the event loop's next turn, while the recorder's own answer
    // is still held back.
    std::thread([&] {
        teskplaycontroller::CLabelMgrObserverParam param;
        param.SetVal_state_type(teskplaycontroller::LabelStateModifySuccess);
        static_cast<teskplaycontroller::CLabelMgrObserver *>(host_->controller)
            ->UpdateLabelOperateState(param);
    }).join();
    ASSERT_TRUE(WaitFor([&] { return host_->events.size() == 1; }));
    EXPECT_EQ(shows.shows, 0);
    EXPECT_FALSE(dialog->isVisible());

    // The recorder's own answer comes later and is not taken for a request of this controller.
    source_->Release(CScriptedRecordingSource::kLabelChange);
    DrainServices();
    EXPECT_EQ(host_->events.size(), 1u);
    EXPECT_EQ(TipsOver(host_->window.get()).size(), 1);
}

TEST_F(TagLockControllerTest, RecorderThatAnswersLateFailsTheRequestAndChangesNothing)
{
    LabelManager().SetAnswerTimeout(std::chrono::milliseconds(300));
    source_->AddHold(CScriptedRecordingSource::kLabelChange);
    host_->controller->StartLabelOperate(TagRequest(teskplaycontroller::LabelOperationDelete));
    auto *dialog = host_->Dialog();
    ASSERT_TRUE(WaitFor([&] { return host_->events.size() == 1 && !dialog->isVisible(); }));
    const CTagLockOperateEvent &event = host_->events.front();
    EXPECT_EQ(event.GetOperateType(), TagDeleteFail);
    EXPECT_TRUE(event.GetErrorInfo().contains("did not answer in time"))
        << qPrintable(event.GetErrorInfo());
    const auto tips = TipsOver(host_->window.get());
    ASSERT_EQ(tips.size(), 1);
    EXPECT_EQ(tips.front()->GetAlertState(), 1);

    // The late answer is abandoned, not committed, and reported to nobody.
    const int notified = counter_.count.load();
    source_->Release(CScriptedRecordingSource::kLabelChange);
    DrainServices();
    EXPECT_EQ(counter_.count.load(), notified + 2);
    EXPECT_EQ(source_->CommittedChangeCount(), 2); // the two drains only
    EXPECT_EQ(host_->events.size(), 1u);
}

TEST_F(TagLockControllerTest, RequestsQueuedBehindAHungRecorderFailInTimeToo)
{
    LockManager().SetAnswerTimeout(std::chrono::milliseconds(300));
    source_->AddHold(CScriptedRecordingSource::kLockChange);
    const int before = counter_.count.load();
    LockManager().LockAndUnlockRecord(LockRequest());
    LockManager().LockAndUnlockRecord(LockRequest());
    // The recorder never lets go of the first: both are answered by their deadlines alone.
    ASSERT_TRUE(WaitFor([&] { return counter_.count.load() == before + 2; }));
    EXPECT_EQ(source_->CommittedChangeCount(), 0);
}

struct FailureTextRow
{
    const char *name;
    const char *error;
};

class TagLockFailureTextTest : public TagLockControllerTest,
                               public ::testing::WithParamInterface<FailureTextRow>
{};

TEST_P(TagLockFailureTextTest, FailureTipAppendsTheServiceTextWithoutSeparator)
{
    const std::string error = GetParam().error;
    source_->SetChangeAnswer(false, error);
    host_->controller->StartLockOperate(LockRequest());
    ASSERT_TRUE(WaitFor([&] { return host_->events.size() == 1; }));
    const CTagLockOperateEvent &event = host_->events.front();
    EXPECT_EQ(event.GetOperateType(), UnlockFail);
    EXPECT_EQ(event.GetErrorInfo(), QString::fromUtf8(error.c_str()));
    // The outcome names the request it answers.
    EXPECT_EQ(event.GetLockParam().GetVal_camera_id(), "C1");
    EXPECT_EQ(event.GetLockParam().GetVal_begin_time(), 1000);
    const auto tips = TipsOver(host_->window.get());
    ASSERT_EQ(tips.size(), 1);
    EXPECT_EQ(tips.front()->GetText(),
              QCoreApplication::translate(kContext, "UnlockingTheFileFailed") +
                  QString::fromUtf8(error.c_str()));
}

INSTANTIATE_TEST_SUITE_P(Texts, TagLockFailureTextTest,
                         ::testing::Values(FailureTextRow{"WithText", "Disque pl\xC3\xA9in."},
                                           FailureTextRow{"Empty", ""}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(TagLockControllerTest, DestroyedControllerClosesItsDialogAndHearsNothingMore)
{
    source_->AddHold(CScriptedRecordingSource::kLabelChange);
    host_->controller->StartLabelOperate(TagRequest(teskplaycontroller::LabelOperationModify));
    auto *dialog = host_->Dialog();
    bool destroyed = false;
    WhenDialogShows(dialog, [&] {
        delete host_->controller;
        host_->controller = nullptr;
        destroyed = true;
    });
    ASSERT_TRUE(WaitFor([&] { return destroyed && !dialog->isVisible(); }));
    const int notified = counter_.count.load();
    source_->Release(CScriptedRecordingSource::kLabelChange);
    ASSERT_TRUE(WaitFor([&] { return counter_.count.load() == notified + 1; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(host_->events.empty());
    EXPECT_TRUE(TipsOver(host_->window.get()).isEmpty());
}

} // namespace
