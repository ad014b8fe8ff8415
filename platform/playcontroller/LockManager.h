#pragma once

#include "playcontroller/RecordChange.h"
#include "quorbase/Observer.h"
#include "quorbase/Singleton.h"

#include <chrono>
#include <memory>

namespace teskplaycontroller {

class CChangeWorker;

// Locks and unlocks recordings on the recorder. Requests run in order on the service's own
// thread; each is answered by exactly one notification (a failure when the recorder does not
// answer in time).
class TESK_PLATFORM_VISIBLE CLockManager : public Quor::Base::CObserverableWrap<CLockMgrObserver>,
                                           public Quor::Base::CSingleton<CLockManager>
{
public:
    // Returns at once; the outcome arrives through UpdateLockOperateState.
    void LockAndUnlockRecord(const LockRecordFileParam &param);
    void LockAndUnlockRecord(const CLockRecordFileParam &param)
    {
        LockAndUnlockRecord(*param.GetDataPtr());
    }
    void SetAnswerTimeout(std::chrono::milliseconds timeout);

private:
    friend class Quor::Base::CSingleton<CLockManager>;
    CLockManager();
    ~CLockManager() override;

    std::unique_ptr<CChangeWorker> worker_;
};

} // namespace teskplaycontroller
