#pragma once

#include "data/VideoDataManager.h"
#include "views/GridThumbnailWidget.h"

#include "ui_MultiPageGroupWidget.h"

#include <QMap>

namespace TeskVideoSearch {

struct MultiPageGroupWidgetData
{
    Ui::CMultiPageGroupWidgetUI ui_;
    std::shared_ptr<CVideoDataManager> ptr_data_manager_;
    QMap<int, CGridThumbnailWidget *> map_thumbnails_;
    int count_ = -1;
    QString custom_title_;
    // The camera's name, from the first item added.
    QString camera_name_;
};

} // namespace TeskVideoSearch
