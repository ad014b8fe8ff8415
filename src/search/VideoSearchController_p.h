#pragma once

// Private state of CVideoSearchController, shared by its search and extraction halves.

#include "search/VideoSearchController.h"

#include "search/ResultStores_p.h"
#include "search/StoreQueries_p.h"

#include "playcontroller/CameraVideoSearchManager.h"
#include "playcontroller/VCAIncrementalManager.h"

#include <QElapsedTimer>
#include <QFuture>
#include <QList>
#include <QTimer>

#include <atomic>
#include <deque>

namespace TeskVideoSearch {

struct VideoSearchControllerData
{
    QWidget *ptr_parent_ = nullptr;
    teskplaycontroller::CCameraVideoSearchManager *ptr_camera_search_manager_ = nullptr;
    teskplaycontroller::CVCAIncrementalManager *ptr_vca_manager_ = nullptr;
    teskplaycontroller::CameraVideoSearchCondition search_condition_;
    teskplaycontroller::VCAIncrementalCondition vca_condition_;
    std::atomic<bool> is_restart_search_{false};
    int split_time_duration_ = 0;
    // The file store and the segment store, each with its reader/writer lock.
    CFileStore camera_files_;
    CSegmentStore segment_files_;
    VideoSplitInfo custom_split_info_;
    CameraFilesList qvc_custom_split_files_;
    QTimer *ptr_vca_timer_ = nullptr;
    bool is_vca_search_end_ = false;
    bool is_vca_config_ = true;
    bool is_support_vca_config_ = false;
    // Counts and pages of the stores (user-interface thread).
    CStoreQueries store_queries_;
    // Camera answers not yet handled, in arrival order: a burst is taken a slice per turn of
    // the event loop (user-interface thread).
    std::deque<teskplaycontroller::CCameraVideoSearchObserver::Param> pending_camera_answers_;
    // Started by the first answer handled in the current turn of the event loop.
    QElapsedTimer answer_turn_clock_;
    // Zero-interval, single-shot: it fires once the turn's posted events are done, which is
    // where the next turn's budget begins.
    QTimer *ptr_answer_turn_timer_ = nullptr;
    bool is_taking_answers_ = false;
    // Re-split workers still running; the controller waits for them before it goes away.
    QList<QFuture<void>> split_workers_;
};

} // namespace TeskVideoSearch
