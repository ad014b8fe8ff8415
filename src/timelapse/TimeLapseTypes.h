#pragma once

#include <cstdint>

namespace TeskVideoSearch {

// The life of a time-lapse task in the manager's table. A task counts as running in states
// TaskRunning and TaskResumed.
enum TimeLapseTaskState : int32_t {
    TaskWaiting = -1,
    TaskRunning = 0,
    TaskPaused = 1,
    TaskResumed = 2,
    TaskFinished = 4,
};

// How far a device-mode task had got when it was paused.
enum DevicePausePosition : int32_t {
    DevicePositionNone = -1,
    GetStreamBeforePaused = 0,
    GetStreamFileCreatingPaused = 1,
    DeviceFileCreatingPaused = 2,
};

} // namespace TeskVideoSearch
