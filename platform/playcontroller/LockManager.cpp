#include "LockManager.h"

#include "ChangeWorker_p.h"

namespace teskplaycontroller {

CLockManager::CLockManager()
    : worker_(std::make_unique<CChangeWorker>("Lock service"))
{}

CLockManager::~CLockManager() = default;

void CLockManager::LockAndUnlockRecord(const LockRecordFileParam &param)
{
    worker_->Submit(
        [param](IRecordingSource &source, CChangeClaim &claim, std::string &error) {
            return source.LockAndUnlockRecord(param, claim, error);
        },
        [this, param](bool ok, const std::string &error) {
            const bool lock = param.operation_type == LockOperationLock;
            CLockMgrObserverParam notification;
            notification.SetVal_state_type(
                lock ? (ok ? LockStateLockSuccess : LockStateLockFail)
                     : (ok ? LockStateUnlockSuccess : LockStateUnlockFail));
            if (!ok)
                notification.SetVal_str_error_code(error);
            notification.SetVal_lock_param(CLockRecordFileParam(param));
            NotifyObservers([&](CLockMgrObserver *o) { o->UpdateLockOperateState(notification); });
        });
}

void CLockManager::SetAnswerTimeout(std::chrono::milliseconds timeout)
{
    worker_->SetTimeout(timeout);
}

} // namespace teskplaycontroller
