#pragma once

#include "ui_VideoOperationWidget.h"

#include <QPointer>

namespace TeskVideoSearch {

class CSegmentNumWidget;

struct VideoOperationWidgetData
{
    Ui::CVideoOperationWidgetUI ui_;
    // Null until the first initialisation after a clear; a guarded pointer because the
    // chooser is a child that its parent's destruction may take first.
    QPointer<CSegmentNumWidget> ptr_segment_num_widget_;
};

} // namespace TeskVideoSearch
