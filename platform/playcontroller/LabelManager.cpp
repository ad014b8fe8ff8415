#include "LabelManager.h"

#include "ChangeWorker_p.h"

namespace teskplaycontroller {

namespace {
// The failure and success states of each operation sit side by side.
int StateOf(int operation, bool ok)
{
    switch (operation) {
    case LabelOperationAdd:
        return ok ? LabelStateAddSuccess : LabelStateAddFail;
    case LabelOperationDelete:
        return ok ? LabelStateDeleteSuccess : LabelStateDeleteFail;
    default:
        return ok ? LabelStateModifySuccess : LabelStateModifyFail;
    }
}
} // namespace

CLabelManager::CLabelManager()
    : worker_(std::make_unique<CChangeWorker>("Tag service"))
{}

CLabelManager::~CLabelManager() = default;

void CLabelManager::OperatLabel(const OperatLabelParam &param)
{
    worker_->Submit(
        [param](IRecordingSource &source, CChangeClaim &claim, std::string &error) {
            return source.OperateLabel(param, claim, error);
        },
        [this, param](bool ok, const std::string &error) {
            CLabelMgrObserverParam notification;
            notification.SetVal_state_type(StateOf(param.operation_type, ok));
            if (!ok)
                notification.SetVal_str_error_code(error);
            notification.SetVal_label_param(COperatLabelParam(param));
            NotifyObservers(
                [&](CLabelMgrObserver *o) { o->UpdateLabelOperateState(notification); });
        });
}

void CLabelManager::SetAnswerTimeout(std::chrono::milliseconds timeout)
{
    worker_->SetTimeout(timeout);
}

} // namespace teskplaycontroller
