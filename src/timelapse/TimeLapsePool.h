#pragma once

#include <QThreadPool>
#include <QtConcurrent>

#include <mutex>
#include <utility>

namespace TeskVideoSearch {

// Runs `step` on Qt's global thread pool. The pool hands work over through Qt's own locks; the
// handoff lock here makes that ordering visible to the thread sanitizer too, so that what the
// caller wrote before queuing is seen by the step.
template<class Step>
void RunOnGlobalPool(Step step)
{
    static std::mutex handoff;
    {
        std::lock_guard<std::mutex> lock(handoff);
    }
    QtConcurrent::run(QThreadPool::globalInstance(), [step = std::move(step)]() mutable {
        {
            std::lock_guard<std::mutex> lock(handoff);
        }
        step();
    });
}

} // namespace TeskVideoSearch
