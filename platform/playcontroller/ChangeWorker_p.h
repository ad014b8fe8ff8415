#pragma once

#include "playcontroller/RecordingSource.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace teskplaycontroller {

// Carries out the change requests of one service in order on the service's own thread, each
// within a deadline: a request that the recorder does not answer in time is reported as failed
// (and the recorder's late answer is dropped, its change abandoned through the claim), so that
// every request is answered exactly once.
class CChangeWorker
{
public:
    using Run = std::function<bool(IRecordingSource &, CChangeClaim &, std::string &error)>;
    using Report = std::function<void(bool ok, const std::string &error)>;

    static constexpr std::chrono::milliseconds kDefaultTimeout{30000};

    explicit CChangeWorker(std::string name);
    ~CChangeWorker();
    CChangeWorker(const CChangeWorker &) = delete;
    CChangeWorker &operator=(const CChangeWorker &) = delete;

    void SetTimeout(std::chrono::milliseconds timeout);
    // Queues a request; `report` runs once with its outcome on a service thread.
    void Submit(Run run, Report report);

private:
    struct Private;
    std::shared_ptr<Private> d_;
};

} // namespace teskplaycontroller
