#pragma once

#include "ui_ClipVideoSearchWidget.h"

#include "search/SearchTypes.h"
#include "search/WidgetRecords.h"

#include "playcontroller/RecordChange.h"

#include <QMap>
#include <QPointer>

#include <memory>

class QLabel;

namespace tesk_ui_data_controller {
class CAbstractEvidenceFrameWrapper;
class CDownloadFrameForVideoSearch;
} // namespace tesk_ui_data_controller

namespace TeskVideoSearch {

class CAbstractSearchWidget;
class CTagLockOperateController;
class CVideoSearchController;

struct UClipVideoSearchWidgetData
{
    Ui::CClipVideoSearchWidgetUI ui_;
    CClipSearchWidgetInitParam init_param_;
    QWidget *ptr_owner_ = nullptr;
    tesk_ui_data_controller::CAbstractEvidenceFrameWrapper *ptr_evidence_source_ = nullptr;
    QLabel *ptr_no_data_image_label_ = nullptr;
    QLabel *ptr_no_data_text_label_ = nullptr;
    tesk_ui_data_controller::CDownloadFrameForVideoSearch *ptr_download_frame_ = nullptr;
    CTagLockOperateController *ptr_tag_lock_controller_ = nullptr;
    QMap<int, VideoDataType> map_tab_kinds_;
    QMap<VideoDataType, CAbstractSearchWidget *> map_pages_;
    std::shared_ptr<CVideoSearchController> ptr_tag_controller_;
    std::shared_ptr<CVideoSearchController> ptr_person_vehicle_controller_;
    teskplaycontroller::COperatLabelParam modify_label_param_;
    VideoDataType modify_data_type_ = RegularVideo;
    int modify_data_id_ = -1;
    // The play area that a tag or lock outcome removes; taken when the request starts, since
    // the operator may play something else before the outcome arrives.
    CClipPlaybackParam operate_param_;
};

} // namespace TeskVideoSearch
