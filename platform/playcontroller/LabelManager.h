#pragma once

#include "playcontroller/RecordChange.h"
#include "quorbase/Observer.h"
#include "quorbase/Singleton.h"

#include <chrono>
#include <memory>

namespace teskplaycontroller {

class CChangeWorker;

// Adds, modifies and deletes tags on the recorder. Requests run in order on the service's own
// thread; each is answered by exactly one notification (a failure when the recorder does not
// answer in time).
class TESK_PLATFORM_VISIBLE CLabelManager : public Quor::Base::CObserverableWrap<CLabelMgrObserver>,
                                            public Quor::Base::CSingleton<CLabelManager>
{
public:
    // Returns at once; the outcome arrives through UpdateLabelOperateState.
    void OperatLabel(const OperatLabelParam &param);
    void OperatLabel(const COperatLabelParam &param) { OperatLabel(*param.GetDataPtr()); }
    void SetAnswerTimeout(std::chrono::milliseconds timeout);

private:
    friend class Quor::Base::CSingleton<CLabelManager>;
    CLabelManager();
    ~CLabelManager() override;

    std::unique_ptr<CChangeWorker> worker_;
};

} // namespace teskplaycontroller
