#pragma once

#include "data/CustomVideoData.h"
#include "data/VideoDataManager.h"
#include "search/WidgetRecords.h"

#include "ui_GridThumbnailWidget.h"

#include <QMetaObject>

class QMovie;
class QTimer;

namespace TeskVideoSearch {

struct GridThumbnailWidgetData
{
    Ui::CGridThumbnailWidgetUI ui_;
    std::shared_ptr<CCustomVideoData> ptr_item_;
    std::shared_ptr<CVideoDataManager> ptr_data_manager_;
    bool is_focused_ = false;
    bool is_pressed_ = false;
    bool is_hovered_ = false;
    QMovie *ptr_movie_ = nullptr;
    QTimer *ptr_request_timer_ = nullptr;
    QTimer *ptr_timeout_timer_ = nullptr;
    // The time asked for, while an answer is awaited.
    int64_t requested_time_ = -1;
    QMetaObject::Connection answer_connection_;
    CVideoOperationInitParam operation_param_;
};

} // namespace TeskVideoSearch
