#pragma once

#include "ui_VideoSplitRecordWidget.h"

#include <QList>

namespace PlexaControl {
class CShadowWidget;
}

namespace TeskVideoSearch {

class CVideoSingleRecordWidget;

struct VideoSplitRecordWidgetData
{
    Ui::CVideoSplitRecordWidgetUI ui_;
    PlexaControl::CShadowWidget *ptr_shadow_widget_ = nullptr;
    // In chain order: the index of each is its position.
    QList<CVideoSingleRecordWidget *> record_widgets_;
};

} // namespace TeskVideoSearch
