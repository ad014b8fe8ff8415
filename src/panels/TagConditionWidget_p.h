#pragma once

#include "ui_TagConditionWidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QVector>

namespace TeskVideoSearch {

struct TagConditionWidgetData
{
    Ui::CTagConditionWidgetUI ui_;
    TagDisplayType tag_show_type_ = TagDisplaySimple;
    QButtonGroup *ptr_tag_type_group_ = nullptr;
    // The boxes of the current mode with their kinds, in the order kinds are reported.
    QVector<QPair<QCheckBox *, VideoDataType>> qvc_kind_boxes_;
    QVector<QMetaObject::Connection> qvc_box_connections_;
};

} // namespace TeskVideoSearch
