#include "views/MultiPageGroupWidget.h"

#include "MultiPageGroupWidget_p.h"

#include "data/CustomVideoData.h"

namespace TeskVideoSearch {

namespace {

constexpr int kFlowSpacing = 4;
constexpr int kFlowBottomMargin = 24;

} // namespace

CMultiPageGroupWidget::CMultiPageGroupWidget(QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<MultiPageGroupWidgetData>())
{
    data_->ui_.setupUi(this);
    Lattice::FlowLayoutInfo info;
    info.margins = QMargins(0, 0, 0, kFlowBottomMargin);
    info.horizontal_spacing = kFlowSpacing;
    info.vertical_spacing = kFlowSpacing;
    info.item_size = QSize(CGridThumbnailWidget::kWidth, CGridThumbnailWidget::kHeight);
    data_->ui_.ptr_flow_layout_widget_->SetLayoutInfo(info);
    connect(data_->ui_.ptr_checkbox_, &QCheckBox::clicked, this,
            &CMultiPageGroupWidget::OnCheckBoxStateChanged);
}

CMultiPageGroupWidget::~CMultiPageGroupWidget() = default;

void CMultiPageGroupWidget::SetDataManager(std::shared_ptr<CVideoDataManager> manager)
{
    data_->ptr_data_manager_ = std::move(manager);
}

void CMultiPageGroupWidget::SetCustomTitle(const QString &title)
{
    data_->custom_title_ = title;
    UpdateTitle();
}

void CMultiPageGroupWidget::SetTitleVisible(bool visible)
{
    data_->ui_.ptr_title_frame_->setVisible(visible);
}

CGridThumbnailWidget *CMultiPageGroupWidget::AddItem(std::shared_ptr<CCustomVideoData> item)
{
    if (!item)
        return nullptr;
    const int data_id = item->GetPairData(KeyDataId).toInt();
    if (data_->map_thumbnails_.contains(data_id))
        return nullptr;
    if (data_->map_thumbnails_.isEmpty()) {
        data_->camera_name_ = item->GetPairData(KeyCameraName).toString();
        data_->count_ = item->GetPairData(KeyCameraFileCount).toInt();
        UpdateTitle();
    }
    auto *tile = new CGridThumbnailWidget(item, data_->ptr_data_manager_,
                                          data_->ui_.ptr_flow_layout_widget_);
    if (data_->ui_.ptr_checkbox_->checkState() == Qt::Checked)
        tile->SetChecked(Qt::Checked);
    connect(tile, &CGridThumbnailWidget::SignalDataOperate, this,
            &CMultiPageGroupWidget::SignalDataOperate);
    connect(tile, &CGridThumbnailWidget::SignalCheckedStateChanged, this,
            &CMultiPageGroupWidget::OnThumbnailCheckedStateChanged);
    connect(tile, &CGridThumbnailWidget::SignalThumbnailFinished, this,
            &CMultiPageGroupWidget::SignalThumbnailFinished);
    // Pages arrive at either end, so the place is found by id; appends are the common case.
    const bool append =
        data_->map_thumbnails_.isEmpty() || data_id > data_->map_thumbnails_.lastKey();
    const int index =
        append ? data_->map_thumbnails_.size()
               : static_cast<int>(std::distance(data_->map_thumbnails_.begin(),
                                                data_->map_thumbnails_.lowerBound(data_id)));
    data_->map_thumbnails_.insert(data_id, tile);
    data_->ui_.ptr_flow_layout_widget_->InsertWidget(index, tile);
    tile->show();
    // The box keeps its state: a new tile starts as the box is, and an empty group is
    // unchecked.
    return tile;
}

void CMultiPageGroupWidget::SetCount(int count)
{
    data_->count_ = count;
    UpdateTitle();
}

void CMultiPageGroupWidget::UpdateTitle()
{
    if (!data_->custom_title_.isEmpty()) {
        data_->ui_.ptr_title_label_->setText(data_->custom_title_);
        return;
    }
    data_->ui_.ptr_title_label_->setText(data_->camera_name_ +
                                         QString(" (%1)").arg(std::max(0, data_->count_)));
}

QString CMultiPageGroupWidget::GetTitleText() const
{
    return data_->ui_.ptr_title_label_->text();
}

void CMultiPageGroupWidget::SetFocusedThumbnail(int data_id)
{
    for (CGridThumbnailWidget *tile : data_->map_thumbnails_) {
        const bool focused = tile->GetDataId() == data_id;
        if (tile->IsFocused() != focused)
            tile->SetFocused(focused);
    }
}

void CMultiPageGroupWidget::SetAllChecked(bool checked)
{
    for (CGridThumbnailWidget *tile : data_->map_thumbnails_)
        tile->SetChecked(checked ? Qt::Checked : Qt::Unchecked);
    UpdateCheckBox();
}

QList<int> CMultiPageGroupWidget::GetCheckedIds() const
{
    QList<int> ids;
    for (auto it = data_->map_thumbnails_.cbegin(); it != data_->map_thumbnails_.cend(); ++it) {
        if (it.value()->IsChecked())
            ids << it.key();
    }
    return ids;
}

int CMultiPageGroupWidget::GetThumbnailCount() const
{
    return data_->map_thumbnails_.size();
}

int CMultiPageGroupWidget::GetLowestDataId() const
{
    return data_->map_thumbnails_.isEmpty() ? -1 : data_->map_thumbnails_.firstKey();
}

int CMultiPageGroupWidget::GetHighestDataId() const
{
    return data_->map_thumbnails_.isEmpty() ? -1 : data_->map_thumbnails_.lastKey();
}

CGridThumbnailWidget *CMultiPageGroupWidget::GetThumbnail(int data_id) const
{
    return data_->map_thumbnails_.value(data_id, nullptr);
}

const QMap<int, CGridThumbnailWidget *> &CMultiPageGroupWidget::GetThumbnails() const
{
    return data_->map_thumbnails_;
}

int CMultiPageGroupWidget::GetColumnCount() const
{
    return data_->ui_.ptr_flow_layout_widget_->GetColumnCount();
}

QWidget *CMultiPageGroupWidget::GetFlowWidget() const
{
    return data_->ui_.ptr_flow_layout_widget_;
}

void CMultiPageGroupWidget::UpdateCheckBox()
{
    int checked = 0;
    for (CGridThumbnailWidget *tile : data_->map_thumbnails_)
        checked += tile->IsChecked() ? 1 : 0;
    const Qt::CheckState state = checked == 0                               ? Qt::Unchecked
                                 : checked == data_->map_thumbnails_.size() ? Qt::Checked
                                                                            : Qt::PartiallyChecked;
    data_->ui_.ptr_checkbox_->setCheckState(state);
}

void CMultiPageGroupWidget::OnThumbnailCheckedStateChanged()
{
    UpdateCheckBox();
    emit SignalThumbnailsCheckedStateChanged();
}

void CMultiPageGroupWidget::OnCheckBoxStateChanged()
{
    // A click only toggles: a partly checked group becomes fully checked, never the reverse
    // of what the operator sees.
    const bool check = data_->ui_.ptr_checkbox_->checkState() != Qt::Unchecked;
    SetAllChecked(check);
    emit SignalThumbnailsCheckedStateChanged();
}

} // namespace TeskVideoSearch
