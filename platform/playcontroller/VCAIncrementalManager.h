#pragma once

#include "playcontroller/RecordingSource.h"
#include "playcontroller/SearchCondition.h"
#include "quorbase/Observer.h"

#include <memory>
#include <string>

namespace teskplaycontroller {

// Runs incremental VCA searches. Results are buffered on the service's thread and announced
// (state 1); the caller pulls them in batches with GetManagerSearchData.
class CVCAIncrementalManager : public Quor::Base::CObserverableWrap<CVCAIncrementalObserver>
{
public:
    CVCAIncrementalManager();
    ~CVCAIncrementalManager() override;

    bool InitManager();
    void UninitManager();

    bool StartSearching(const VCAIncrementalCondition &condition);
    bool StartSearching(const CVCAIncrementalCondition &condition)
    {
        return StartSearching(condition.GetData());
    }
    bool IsSearching() const;
    void CancelSearching();

    // Moves up to `max` buffered results (-1: all) into `files`; `condition` names the search
    // they belong to. False when nothing is buffered.
    bool GetManagerSearchData(VCAIncrementalCondition &condition, PlaybackFileList &files,
                              const int &max);
    void OpenVCAConfig(const std::string &first, const std::string &second);

private:
    class Sink;
    struct Private;
    std::shared_ptr<Private> d_;
};

} // namespace teskplaycontroller
