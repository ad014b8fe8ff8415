#pragma once

#include "playcontroller/RecordingSource.h"
#include "playcontroller/SearchCondition.h"
#include "quorbase/Observer.h"

#include <memory>

namespace teskplaycontroller {

// Searches the recordings of a set of cameras. Answers come on the service's own thread, one
// camera at a time: state 2 per camera (1 when that camera failed), then 3 when all are done;
// a cancelled search ends with state 4 and produces nothing more.
class CCameraVideoSearchManager : public Quor::Base::CObserverableWrap<CCameraVideoSearchObserver>
{
public:
    CCameraVideoSearchManager();
    ~CCameraVideoSearchManager() override;

    bool InitManager();
    void UninitManager();

    // False when the search cannot start (not initialised, no recording source, a search
    // already running, or no camera).
    bool SearchCameraFiles(const CameraVideoSearchCondition &condition);
    bool SearchCameraFiles(const CCameraVideoSearchCondition &condition)
    {
        return SearchCameraFiles(condition.GetData());
    }
    bool IsSearching() const;
    void CancelSearching();

private:
    void RunSearch(const CameraVideoSearchCondition &condition, IRecordingSource &source,
                   const std::atomic<bool> &cancelled);

    struct Private;
    std::shared_ptr<Private> d_;
};

} // namespace teskplaycontroller
