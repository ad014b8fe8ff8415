#pragma once

#include "data/VideoDataManager.h"
#include "views/MultiPageGroupWidget.h"
#include "views/MultiPageMoreWidget.h"
#include "views/MultiPageWidget.h"

#include "ui_MultiPageWidget.h"

#include <QMap>
#include <QTimer>

#include <memory>

namespace TeskVideoSearch {

struct MultiPageWidgetData
{
    std::unique_ptr<Ui::CMultiPageWidgetUI> ptr_ui_ = std::make_unique<Ui::CMultiPageWidgetUI>();
    int page_size_ = CMultiPageWidget::kPageSize;
    CMultiPageMoreWidget *ptr_more_widget_ = nullptr;
    bool is_loading_ = false;
    QMap<QString, CMultiPageGroupWidget *> map_groups_;
    QTimer *ptr_check_timer_ = nullptr;
    int max_thumbnails_in_flight_ = CMultiPageWidget::kMaxThumbnailsInFlight;
    int thumbnails_in_flight_ = 0;
    int finished_downloads_ = 0;
    std::shared_ptr<CVideoDataManager> ptr_data_manager_;
    int focused_data_id_ = -1;
    QString custom_empty_tip_;
    // Beyond the listed state: the groups in display order, the custom group title, and a
    // coalescing timer so that a burst of scroll steps asks for pictures once.
    QList<CMultiPageGroupWidget *> qvc_group_order_;
    QString custom_title_;
    QTimer *ptr_pixmap_timer_ = nullptr;
    int last_viewport_width_ = -1;
};

} // namespace TeskVideoSearch
