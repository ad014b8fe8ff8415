#pragma once

// Private state of CVideoSearchController, shared by its search and extraction halves.

#include "search/VideoSearchController.h"

#include "search/ExtractionViews_p.h"

#include "playcontroller/CameraVideoSearchManager.h"
#include "playcontroller/VCAIncrementalManager.h"

#include <boost/thread/shared_mutex.hpp>

#include <QFuture>
#include <QList>
#include <QTimer>

#include <atomic>

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
    mutable boost::shared_mutex file_mutex_;
    CameraFilesList qvc_camera_files_;
    mutable boost::shared_mutex segment_mutex_;
    CameraFilesList qvc_segment_files_;
    VideoSplitInfo custom_split_info_;
    CameraFilesList qvc_custom_split_files_;
    QTimer *ptr_vca_timer_ = nullptr;
    bool is_vca_search_end_ = false;
    bool is_vca_config_ = true;
    bool is_support_vca_config_ = false;
    // Result pages' ordered views of the stores (extraction, user-interface thread).
    CExtractionViews extraction_views_;
    // Bumped by every re-split of all files and by whatever replaces the stores' contents, so
    // that a re-split that has been overtaken does not write its segments.
    std::atomic<uint64_t> split_serial_{0};
    // Re-split workers still running; the controller waits for them before it goes away.
    QList<QFuture<void>> split_workers_;
};

} // namespace TeskVideoSearch
