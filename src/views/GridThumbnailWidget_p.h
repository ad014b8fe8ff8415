#pragma once

#include "data/CustomVideoData.h"
#include "data/VideoDataManager.h"
#include "search/WidgetRecords.h"

#include "ui_GridThumbnailWidget.h"

#include <QBasicTimer>
#include <QMetaObject>

class QMovie;

namespace TeskVideoSearch {

struct GridThumbnailWidgetData
{
    // Built while the tile is in view or pointed at (see EnsureForm); null members otherwise.
    Ui::CGridThumbnailWidgetUI ui_{};
    bool has_form_ = false;
    Qt::CheckState check_state_ = Qt::Unchecked;
    std::shared_ptr<CCustomVideoData> ptr_item_;
    std::shared_ptr<CVideoDataManager> ptr_data_manager_;
    bool is_focused_ = false;
    bool is_pressed_ = false;
    bool is_hovered_ = false;
    QMovie *ptr_movie_ = nullptr;
    QBasicTimer request_timer_;
    QBasicTimer timeout_timer_;
    // The time asked for, while an answer is awaited.
    int64_t requested_time_ = -1;
    QMetaObject::Connection answer_connection_;
    CVideoOperationInitParam operation_param_;
};

} // namespace TeskVideoSearch
