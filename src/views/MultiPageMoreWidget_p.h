#pragma once

#include "data/VideoDataManager.h"
#include "search/SearchTypes.h"

#include "ui_MultiPageMoreWidget.h"

class QMovie;

namespace TeskVideoSearch {

struct MultiPageMoreWidgetData
{
    Ui::CMultiPageMoreWidgetUI ui_;
    QMovie *ptr_movie_ = nullptr;
    std::shared_ptr<CVideoDataManager> ptr_data_manager_;
    MultiPageMoreTipState state_ = MoreTipText;
    bool is_at_top_ = false;
};

} // namespace TeskVideoSearch
