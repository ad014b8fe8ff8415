#include "taglock/TagLockOperateController.h"
#include "TagLockOperateController_p.h"

#include "mirelog/Log.h"
#include "playcontroller/LabelManager.h"
#include "playcontroller/LockManager.h"
#include "plexacontrol/ChaseDialog.h"
#include "plexacontrol/StringConvert.h"
#include "uidatacontroller/MessageTipManager.h"

#include <QTimer>
#include <QWidget>

namespace TeskVideoSearch {

namespace {
const char *const kWaitingAnimation =
    ":/Express/Public/Gif/Images/Public/Gif/Gif_Waiting_Login_4.gif";

// Arguments of the message-tip service: the tip fades by itself, its text is 15 pixels high.
constexpr int kTipAutoHide = 1;
constexpr int kTipFontPixels = 15;

using tesk_ui_data_controller::CMessageTip;

teskplaycontroller::CLabelManager &LabelManager()
{
    return Quor::Base::CSingleton<teskplaycontroller::CLabelManager>::Instance();
}

teskplaycontroller::CLockManager &LockManager()
{
    return Quor::Base::CSingleton<teskplaycontroller::CLockManager>::Instance();
}
} // namespace

CTagLockOperateController::CTagLockOperateController(QWidget *parent)
    : QObject(parent)
    , d_(std::make_shared<TagLockOperateControllerData>())
{
    d_->ptr_parent_ = parent;
    LockManager().RegisterObserver(this);
    LabelManager().RegisterObserver(this);
    d_->ptr_chase_dialog_ = new PlexaControl::CChaseDialog(
        parent, kWaitingAnimation, PlexaControl::CChaseDialog::tr("Loading..."), false);
    // Queued from the service's thread: the dialog closes before the tip shows.
    connect(this, &CTagLockOperateController::SignalOperateFinished, d_->ptr_chase_dialog_.data(),
            &PlexaControl::CChaseDialog::OnImmediatelyStopChase);
    connect(this, &CTagLockOperateController::SignalOperateFinished, this,
            &CTagLockOperateController::OnOperateFinished);
}

CTagLockOperateController::~CTagLockOperateController()
{
    LockManager().SyncUnregisterObserver(this);
    LabelManager().SyncUnregisterObserver(this);
    // No answer can end a wait any more.
    if (d_->ptr_chase_dialog_)
        d_->ptr_chase_dialog_->OnImmediatelyStopChase();
    // Without a parent widget nobody else owns the dialog.
    if (!d_->ptr_parent_)
        delete d_->ptr_chase_dialog_.data();
}

void CTagLockOperateController::StartLockOperate(
    const teskplaycontroller::LockRecordFileParam &param)
{
    StartOperate("unlock", [&param] { LockManager().LockAndUnlockRecord(param); });
}

void CTagLockOperateController::StartLabelOperate(const teskplaycontroller::OperatLabelParam &param)
{
    StartOperate(param.operation_type == teskplaycontroller::LabelOperationDelete ? "tag delete"
                                                                                  : "tag modify",
                 [&param] { LabelManager().OperatLabel(param); });
}

bool CTagLockOperateController::IsOperating() const
{
    return d_->is_operating_.load();
}

void CTagLockOperateController::StartOperate(const char *what,
                                             const std::function<void()> &hand_over)
{
    if (d_->is_operating_.exchange(true)) {
        TESK_LOG_INFO("%s request dropped: another request is still running", what);
        return;
    }
    TESK_LOG_USER("Start %s request", what);
    hand_over();
    QTimer::singleShot(0, this, [this] { OpenChaseDialog(); });
}

void CTagLockOperateController::OpenChaseDialog()
{
    // An answer that came before this turn of the event loop has ended the wait already.
    if (!d_->ptr_chase_dialog_ || !d_->is_operating_.load())
        return;
    d_->ptr_chase_dialog_->exec();
}

void CTagLockOperateController::StopChaseLater()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (d_->ptr_chase_dialog_)
                d_->ptr_chase_dialog_->OnImmediatelyStopChase();
        },
        Qt::QueuedConnection);
}

void CTagLockOperateController::UpdateLockOperateState(
    const teskplaycontroller::CLockMgrObserverParam &param)
{
    if (!d_->is_operating_.exchange(false))
        return;
    CTagLockOperateEvent event;
    event.SetLockParam(param.GetVal_lock_param());
    switch (param.GetVal_state_type()) {
    case teskplaycontroller::LockStateUnlockFail:
        event.SetOperateType(UnlockFail);
        event.SetErrorInfo(PlexaControl::StringToQString(param.GetVal_str_error_code(), nullptr));
        emit SignalOperateFinished(event);
        break;
    case teskplaycontroller::LockStateUnlockSuccess:
        event.SetOperateType(UnlockSuccess);
        emit SignalOperateFinished(event);
        break;
    default:
        TESK_LOG_INFO("Lock request ended in state %d, nothing to report",
                      param.GetVal_state_type());
        StopChaseLater();
        break;
    }
}

void CTagLockOperateController::UpdateLabelOperateState(
    const teskplaycontroller::CLabelMgrObserverParam &param)
{
    if (!d_->is_operating_.exchange(false))
        return;
    CTagLockOperateEvent event;
    const QString error = PlexaControl::StringToQString(param.GetVal_str_error_code(), nullptr);
    switch (param.GetVal_state_type()) {
    case teskplaycontroller::LabelStateModifyFail:
        event.SetOperateType(TagModifyFail);
        event.SetErrorInfo(error);
        break;
    case teskplaycontroller::LabelStateModifySuccess:
        event.SetOperateType(TagModifySuccess);
        break;
    case teskplaycontroller::LabelStateDeleteFail:
        event.SetOperateType(TagDeleteFail);
        event.SetErrorInfo(error);
        break;
    case teskplaycontroller::LabelStateDeleteSuccess:
        event.SetOperateType(TagDeleteSuccess);
        break;
    default:
        TESK_LOG_INFO("Tag request ended in state %d", param.GetVal_state_type());
        break;
    }
    emit SignalOperateFinished(event);
}

void CTagLockOperateController::OnOperateFinished(CTagLockOperateEvent operate_event)
{
    QString text;
    int alert = CMessageTip::AlertSuccess;
    switch (operate_event.GetOperateType()) {
    case TagModifySuccess:
        text = tr("TagModified");
        break;
    case TagModifyFail:
        text = tr("ModifyingTagFailed") + operate_event.GetErrorInfo();
        alert = CMessageTip::AlertFailure;
        break;
    case TagDeleteSuccess:
        text = tr("TagDeleted");
        break;
    case TagDeleteFail:
        text = tr("FailedToDeleteTag") + operate_event.GetErrorInfo();
        alert = CMessageTip::AlertFailure;
        break;
    case UnlockSuccess:
        text = tr("UnlockSuccessfullypKfsRLwniz");
        break;
    case UnlockFail:
        text = tr("UnlockingTheFileFailed") + operate_event.GetErrorInfo();
        alert = CMessageTip::AlertFailure;
        break;
    default:
        return;
    }
    if (alert == CMessageTip::AlertFailure)
        TESK_LOG_ERROR("%s", qPrintable(text));
    else
        TESK_LOG_USER("%s", qPrintable(text));
    PlexaControl::CUiSingleton<tesk_ui_data_controller::CMessageTipManager>::Instance().ShowMessage(
        d_->ptr_parent_, text, alert, kTipAutoHide, kTipFontPixels);
}

} // namespace TeskVideoSearch
