#include "panels/TagConditionWidget.h"
#include "panels/TagConditionWidget_p.h"

#include "search/CommonFunction.h"

namespace TeskVideoSearch {

CTagConditionWidget::CTagConditionWidget(QWidget *parent)
    : PlexaControl::CWidget(parent)
    , ptr_data_(std::make_shared<TagConditionWidgetData>())
{
    auto &d = *ptr_data_;
    d.ui_.setupUi(this);
    setObjectName("CTagConditionWidget");
    d.ui_.ptr_extensible_widget_->SetTitle(tr("Tag"));
    d.ui_.ptr_extensible_widget_->SetTipVisible(false);
    d.ui_.ptr_extensible_widget_->SetContentWidget(d.ui_.ptr_kinds_widget_);
    d.ui_.ptr_extensible_widget_->SetExpanded(false);
}

CTagConditionWidget::~CTagConditionWidget() = default;

void CTagConditionWidget::Init(TagDisplayType mode)
{
    if (property("Initialized").toBool())
        return;
    setProperty("Initialized", true);
    auto &d = *ptr_data_;
    auto &ui = d.ui_;
    d.tag_show_type_ = mode;
    ui.ptr_full_widget_->setVisible(mode == TagDisplayFull);
    ui.ptr_simple_widget_->setVisible(mode == TagDisplaySimple);
    if (mode == TagDisplayFull) {
        d.qvc_kind_boxes_ = {
            {ui.ptr_all_check_, RegularVideo},           {ui.ptr_person_check_, PersonDetectVideo},
            {ui.ptr_vehicle_check_, VehicleDetectVideo}, {ui.ptr_event_tag_check_, EventAlarmVideo},
            {ui.ptr_manual_tag_check_, TagVideo},        {ui.ptr_lock_check_, LockVideo},
            {ui.ptr_other_tag_check_, OtherVideo}};
    } else {
        d.qvc_kind_boxes_ = {{ui.ptr_simple_manual_check_, TagVideo},
                             {ui.ptr_simple_lock_check_, LockVideo}};
        d.ptr_tag_type_group_ = new QButtonGroup(this);
        const QVector<QPair<QRadioButton *, VideoSearchTagType>> buttons = {
            {ui.ptr_tag_all_radio_, TagChoiceAll},
            {ui.ptr_tag_red_radio_, TagChoiceRed},
            {ui.ptr_tag_blue_radio_, TagChoiceBlue},
            {ui.ptr_tag_green_radio_, TagChoiceGreen},
            {ui.ptr_tag_yellow_radio_, TagChoiceYellow}};
        for (const auto &button : buttons) {
            d.ptr_tag_type_group_->addButton(button.first, button.second);
            button.first->setIcon(CCommonFunction::GetTypeIconByTagType(button.second));
        }
        ui.ptr_tag_all_radio_->setChecked(true);
        connect(d.ptr_tag_type_group_, &QButtonGroup::idClicked, this,
                &CTagConditionWidget::SignalTagTypeChanged);
    }
    ConnectCheckBoxes(true);
    OnTagCheckedStateChanged();
}

QVector<VideoDataType> CTagConditionWidget::GetSearchKinds() const
{
    const auto &d = *ptr_data_;
    if (!IsExpanded()) {
        if (d.tag_show_type_ == TagDisplayFull)
            return {RegularVideo, PersonDetectVideo, VehicleDetectVideo, EventAlarmVideo,
                    TagVideo,     LockVideo,         OtherVideo};
        return {RegularVideo, TagVideo, LockVideo};
    }
    QVector<VideoDataType> kinds;
    for (const auto &box : d.qvc_kind_boxes_) {
        if (box.first->isChecked())
            kinds << box.second;
    }
    return kinds;
}

int CTagConditionWidget::GetTagType() const
{
    const auto &d = *ptr_data_;
    if (d.tag_show_type_ == TagDisplayFull || !d.ptr_tag_type_group_)
        return TagTypeInvalid;
    return d.ptr_tag_type_group_->checkedId();
}

QString CTagConditionWidget::GetTagName() const
{
    const auto &ui = ptr_data_->ui_;
    return ptr_data_->tag_show_type_ == TagDisplayFull ? ui.ptr_full_name_edit_->text()
                                                       : ui.ptr_simple_name_edit_->text();
}

void CTagConditionWidget::ResetCondition()
{
    ConnectCheckBoxes(false);
    for (const auto &box : ptr_data_->qvc_kind_boxes_)
        box.first->setChecked(false);
    ConnectCheckBoxes(true);
    OnTagCheckedStateChanged();
}

void CTagConditionWidget::SetExpanded(bool expanded)
{
    ptr_data_->ui_.ptr_extensible_widget_->SetExpanded(expanded);
}

bool CTagConditionWidget::IsExpanded() const
{
    return ptr_data_->ui_.ptr_extensible_widget_->IsExpanded();
}

void CTagConditionWidget::OnTagCheckedStateChanged()
{
    auto &ui = ptr_data_->ui_;
    if (ptr_data_->tag_show_type_ == TagDisplayFull) {
        ui.ptr_full_name_widget_->setVisible(ui.ptr_event_tag_check_->isChecked() ||
                                             ui.ptr_manual_tag_check_->isChecked() ||
                                             ui.ptr_other_tag_check_->isChecked());
    } else {
        ui.ptr_simple_tag_widget_->setVisible(ui.ptr_simple_manual_check_->isChecked());
    }
    emit SignalTagTypeChanged();
}

void CTagConditionWidget::ConnectCheckBoxes(bool connect_them)
{
    auto &d = *ptr_data_;
    for (const auto &connection : d.qvc_box_connections_)
        disconnect(connection);
    d.qvc_box_connections_.clear();
    if (!connect_them)
        return;
    for (const auto &box : d.qvc_kind_boxes_)
        d.qvc_box_connections_ << connect(box.first, &QCheckBox::clicked, this,
                                          &CTagConditionWidget::OnTagCheckedStateChanged);
}

} // namespace TeskVideoSearch
