#include "views/MultiPageWidget.h"

#include "MultiPageWidget_p.h"

#include "data/CustomVideoData.h"
#include "search/CommonFunction.h"
#include "views/GridThumbnailWidget.h"
#include "views/ListSightWidget.h"

#include <QIcon>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace TeskVideoSearch {

namespace {

// The key of the single group of a result that is not in camera order.
const QString kUntitledGroupKey = QStringLiteral("0");
constexpr int kTipImageSize = 86;
// Scroll steps this close together ask for pictures once, when the scrolling pauses.
constexpr int kScrollSettleMs = 100;

} // namespace

CMultiPageWidget::CMultiPageWidget(QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<MultiPageWidgetData>())
{
    Ui::CMultiPageWidgetUI &ui = *data_->ptr_ui_;
    ui.setupUi(this);
    qRegisterMetaType<OperationType>("OperationType");
    ui.ptr_tip_text_label_->setText(tr("NoDataqrhgooag"));
    ui.ptr_tip_image_label_->setPixmap(
        QIcon(QStringLiteral(":/Images/TeskVideoSearch/default_no_data_l.svg"))
            .pixmap(kTipImageSize, kTipImageSize));
    ui.ptr_vca_config_btn_->setText(
        tr("Korv-ControlClient.9b1cdf205cd14d02bc47805f5ebc5a79.button"));

    data_->ptr_more_widget_ = new CMultiPageMoreWidget(ui.ptr_scroll_widget_);
    ShowMoreTip(false, MoreTipText, false);

    data_->ptr_check_timer_ = new QTimer(this);
    data_->ptr_check_timer_->setSingleShot(true);
    data_->ptr_check_timer_->setInterval(kCheckIntervalMs);
    data_->ptr_pixmap_timer_ = new QTimer(this);
    data_->ptr_pixmap_timer_->setSingleShot(true);
    data_->ptr_pixmap_timer_->setInterval(kScrollSettleMs);

    connect(ui.ptr_vca_config_btn_, &QPushButton::clicked, this,
            &CMultiPageWidget::SignalVCAConfigBtnClicked);
    connect(data_->ptr_check_timer_, &QTimer::timeout, this, &CMultiPageWidget::OnCheckTimeout);
    connect(data_->ptr_pixmap_timer_, &QTimer::timeout, this, &CMultiPageWidget::LoadPixmaps);
    QScrollBar *bar = ui.ptr_scrollarea_->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, &CMultiPageWidget::OnScrollRangeChanged);
    connect(bar, &QScrollBar::valueChanged, this, &CMultiPageWidget::OnScrollValueChanged);
    ui.ptr_scrollarea_->installEventFilter(this);
    ui.ptr_scrollarea_->viewport()->installEventFilter(this);
    ui.ptr_config_widget_->hide();
    ui.ptr_vca_config_btn_->hide();
    ui.ptr_scrollarea_->hide();
}

CMultiPageWidget::~CMultiPageWidget()
{
    // Tiles awaiting pictures go with the groups; nothing may call back into a half-destroyed
    // view meanwhile.
    for (CMultiPageGroupWidget *group : data_->qvc_group_order_)
        disconnect(group, nullptr, this, nullptr);
}

void CMultiPageWidget::InitPageWidget(std::shared_ptr<CVideoDataManager> manager,
                                      const QString &tip)
{
    if (property("Initialized").toBool() || !manager)
        return;
    setProperty("Initialized", true);
    data_->ptr_data_manager_ = std::move(manager);
    const int width = data_->ptr_ui_->ptr_scrollarea_->viewport()->width();
    data_->ptr_data_manager_->UpdateScrollAreaViewPortWidth(width);
    data_->custom_title_ = tip;
    connect(data_->ptr_data_manager_.get(), &CVideoDataManager::SignalDataPrepared, this,
            &CMultiPageWidget::OnDataPrepared,
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection));
    connect(data_->ptr_data_manager_.get(), &CVideoDataManager::SignalUpdateResourceNum, this,
            &CMultiPageWidget::OnUpdateResourceNum,
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection));
    data_->ptr_more_widget_->SetDataManager(data_->ptr_data_manager_);
}

int CMultiPageWidget::GetTopDataId() const
{
    int top = -1;
    for (const CMultiPageGroupWidget *group : data_->qvc_group_order_) {
        const int lowest = group->GetLowestDataId();
        if (lowest >= 0 && (top < 0 || lowest < top))
            top = lowest;
    }
    return top;
}

int CMultiPageWidget::GetBottomDataId() const
{
    int bottom = -1;
    for (const CMultiPageGroupWidget *group : data_->qvc_group_order_)
        bottom = std::max(bottom, group->GetHighestDataId());
    return bottom;
}

int CMultiPageWidget::GetThumbnailCount() const
{
    int count = 0;
    for (const CMultiPageGroupWidget *group : data_->qvc_group_order_)
        count += group->GetThumbnailCount();
    return count;
}

CGridThumbnailWidget *CMultiPageWidget::GetThumbnail(int data_id) const
{
    for (const CMultiPageGroupWidget *group : data_->qvc_group_order_) {
        if (CGridThumbnailWidget *tile = group->GetThumbnail(data_id))
            return tile;
    }
    return nullptr;
}

QList<CMultiPageGroupWidget *> CMultiPageWidget::GetGroups() const
{
    return data_->qvc_group_order_;
}

int CMultiPageWidget::GetThumbnailsInFlight() const
{
    return data_->thumbnails_in_flight_;
}

bool CMultiPageWidget::HasMoreBelow() const
{
    return data_->ptr_data_manager_ &&
           GetBottomDataId() < data_->ptr_data_manager_->GetDataNum() - 1;
}

bool CMultiPageWidget::HasMoreAbove() const
{
    return GetTopDataId() > 0;
}

void CMultiPageWidget::OnDataPrepared()
{
    if (!data_->ptr_data_manager_ || data_->page_size_ <= 0)
        return;
    if (GetThumbnailCount() == 0)
        data_->thumbnails_in_flight_ = 0;
    if (GetThumbnailCount() >= data_->page_size_)
        return;
    LoadNextPageData();
}

void CMultiPageWidget::LoadNextPageData()
{
    if (!data_->ptr_data_manager_ || data_->page_size_ <= 0)
        return;
    const int first = GetBottomDataId() + 1;
    const int last =
        std::min(first + data_->page_size_ - 1, data_->ptr_data_manager_->GetDataNum() - 1);
    LoadRange(first, last, Place::Append);
}

void CMultiPageWidget::LoadPreviousPageData()
{
    if (!data_->ptr_data_manager_ || data_->page_size_ <= 0)
        return;
    const int top = GetTopDataId();
    if (top <= 0)
        return;
    // The tile that was on top stays in view once the page is laid out above it.
    data_->focused_data_id_ = top;
    LoadRange(std::max(0, top - data_->page_size_), top - 1, Place::Prepend);
}

void CMultiPageWidget::LoadCustomPageData(int data_id)
{
    if (!data_->ptr_data_manager_ || data_->page_size_ <= 0 || data_id < 0)
        return;
    const int count = data_->ptr_data_manager_->GetDataNum();
    if (data_id >= count)
        return;
    const int page = data_id / data_->page_size_;
    int first = page * data_->page_size_;
    const int last = std::min(first + data_->page_size_ - 1, count - 1);
    if (last - first + 1 < data_->page_size_)
        first = std::max(0, last - data_->page_size_ + 1);
    data_->focused_data_id_ = data_id;
    const int top = GetTopDataId();
    const int bottom = GetBottomDataId();
    if (top < 0) {
        LoadRange(first, last, Place::Append);
        return;
    }
    // The window stays one run: the gap between it and the page is loaded with the page.
    if (last > bottom)
        LoadRange(bottom + 1, last, Place::Append);
    if (first < top)
        LoadRange(first, top - 1, Place::Prepend);
    if (first >= top && last <= bottom)
        ScrollToTile(data_id);
}

CMultiPageGroupWidget *CMultiPageWidget::GroupFor(const QString &key, const QString &title_key,
                                                  Place place, int &prepended)
{
    if (CMultiPageGroupWidget *group = data_->map_groups_.value(key, nullptr))
        return group;
    Ui::CMultiPageWidgetUI &ui = *data_->ptr_ui_;
    auto *group = new CMultiPageGroupWidget(ui.ptr_scroll_widget_);
    group->SetDataManager(data_->ptr_data_manager_);
    group->SetCustomTitle(data_->custom_title_);
    group->SetTitleVisible(!title_key.isEmpty());
    connect(group, &CMultiPageGroupWidget::SignalDataOperate, this,
            &CMultiPageWidget::SignalDataOperate);
    connect(group, &CMultiPageGroupWidget::SignalThumbnailsCheckedStateChanged, this,
            &CMultiPageWidget::ReportCheckState);
    connect(group, &CMultiPageGroupWidget::SignalThumbnailFinished, this,
            &CMultiPageWidget::OnThumbnailDownloadFinished);
    ui.ptr_scrollarea_->show();
    ui.ptr_no_data_widget_->hide();

    QVBoxLayout *layout = ui.ptr_contents_layout_;
    const bool tip_at_top =
        layout->indexOf(data_->ptr_more_widget_) == 0 && data_->ptr_more_widget_->IsAtTop();
    if (place == Place::Prepend) {
        layout->insertWidget((tip_at_top ? 1 : 0) + prepended, group);
        data_->qvc_group_order_.insert(prepended, group);
        ++prepended;
    } else {
        // Before the trailing spacer; a tip at the bottom follows the spacer.
        layout->insertWidget(layout->indexOf(ui.ptr_contents_spacer_), group);
        data_->qvc_group_order_.append(group);
    }
    data_->map_groups_.insert(key, group);
    group->show();
    return group;
}

void CMultiPageWidget::LoadRange(int first, int last, Place place)
{
    if (first < 0 || last < first)
        return;
    const std::vector<CustomVideoDataPtr> items =
        data_->ptr_data_manager_->GetDataByIndex(first, last);
    if (items.empty())
        return;
    const bool by_camera = data_->ptr_data_manager_->GetFileSortType() == SortStored;
    int prepended = 0;
    for (const CustomVideoDataPtr &item : items) {
        const QString key =
            by_camera ? item->GetPairData(KeyCameraId).toString() : kUntitledGroupKey;
        CMultiPageGroupWidget *group = GroupFor(key, by_camera ? key : QString(), place, prepended);
        group->AddItem(item);
    }
    const int first_id = items.front()->GetPairData(KeyDataId).toInt();
    const int last_id = items.back()->GetPairData(KeyDataId).toInt();
    // The new tiles have their places once the layout has run.
    data_->ptr_pixmap_timer_->start();
    if (place == Place::Append)
        emit data_->ptr_data_manager_->SignalLoadEndDataToList(first_id, last_id);
    else
        emit data_->ptr_data_manager_->SignalLoadBeginDataToList(first_id, last_id);
}

void CMultiPageWidget::ClearData()
{
    for (CMultiPageGroupWidget *group : data_->qvc_group_order_) {
        disconnect(group, nullptr, this, nullptr);
        group->hide();
        group->deleteLater();
    }
    data_->qvc_group_order_.clear();
    data_->map_groups_.clear();
    data_->focused_data_id_ = -1;
    data_->is_loading_ = false;
    Ui::CMultiPageWidgetUI &ui = *data_->ptr_ui_;
    ui.ptr_scrollarea_->verticalScrollBar()->setValue(0);
    ui.ptr_scrollarea_->hide();
    ui.ptr_no_data_widget_->show();
    ShowMoreTip(false, MoreTipText, false);
    data_->finished_downloads_ = 0;
    data_->thumbnails_in_flight_ = 0;
}

void CMultiPageWidget::SetCheckedThumbnails(QList<int> data_ids)
{
    for (int id : data_ids) {
        if (CGridThumbnailWidget *tile = GetThumbnail(id))
            tile->SetChecked(Qt::Checked);
    }
    for (CMultiPageGroupWidget *group : data_->qvc_group_order_)
        group->OnThumbnailCheckedStateChanged();
}

QList<int> CMultiPageWidget::GetCheckedThumbnails()
{
    QList<int> ids;
    for (const CMultiPageGroupWidget *group : data_->qvc_group_order_)
        ids << group->GetCheckedIds();
    std::sort(ids.begin(), ids.end());
    return ids;
}

void CMultiPageWidget::SetFocusedThumbnail(int data_id)
{
    for (CMultiPageGroupWidget *group : data_->qvc_group_order_)
        group->SetFocusedThumbnail(data_id);
}

void CMultiPageWidget::SetAllThumbnailsChecked(bool checked)
{
    for (CMultiPageGroupWidget *group : data_->qvc_group_order_)
        group->SetAllChecked(checked);
    ReportCheckState();
}

void CMultiPageWidget::ScrollToFocusPos()
{
    QTimer::singleShot(kScrollToFocusDelayMs, this, [this] {
        for (const CMultiPageGroupWidget *group : data_->qvc_group_order_) {
            for (CGridThumbnailWidget *tile : group->GetThumbnails()) {
                if (tile->IsFocused()) {
                    data_->ptr_ui_->ptr_scrollarea_->ensureWidgetVisible(tile);
                    return;
                }
            }
        }
    });
}

void CMultiPageWidget::UpdateCustomData(const int &data_id)
{
    CGridThumbnailWidget *tile = GetThumbnail(data_id);
    if (!tile || !tile->GetItem() || !data_->ptr_data_manager_)
        return;
    const std::shared_ptr<CCustomVideoData> item = tile->GetItem();
    PlaybackFileVector files;
    item->GetFileDatas(files);
    if (files.isEmpty() || !files.front())
        return;
    const TimeTypePair time_type = data_->ptr_data_manager_->GetDataTimeType();
    item->InsertPairData(KeyBeginTimeText,
                         CCommonFunction::GetZonesTimeByTimeType(
                             files.front()->GetFileISOBeginTime(), files.front()->GetFileBegTime(),
                             time_type.second, time_type.first));
    tile->update();
}

QVector<std::shared_ptr<CCustomVideoData>> CMultiPageWidget::GetAllCheckedDataInfo()
{
    QVector<std::shared_ptr<CCustomVideoData>> items;
    for (const CMultiPageGroupWidget *group : data_->qvc_group_order_) {
        for (CGridThumbnailWidget *tile : group->GetThumbnails()) {
            if (tile->IsChecked())
                items.push_back(tile->GetItem());
        }
    }
    return items;
}

std::shared_ptr<CCustomVideoData> CMultiPageWidget::GetDataInfoByID(const int &data_id)
{
    CGridThumbnailWidget *tile = GetThumbnail(data_id);
    return tile ? tile->GetItem() : nullptr;
}

bool CMultiPageWidget::HasPreviousData(const int &data_id)
{
    return !data_->qvc_group_order_.isEmpty() && data_id - 1 >= 0;
}

bool CMultiPageWidget::HasNextData(const int &data_id)
{
    return data_id + 1 < GetThumbnailCount();
}

void CMultiPageWidget::SetCustomDefauleTip(const QString &tip)
{
    data_->custom_empty_tip_ = tip;
    data_->ptr_ui_->ptr_tip_text_label_->setText(tip.isEmpty() ? tr("NoDataqrhgooag") : tip);
}

void CMultiPageWidget::SetVCAConfigBtnVisible(const bool &visible)
{
    data_->ptr_ui_->ptr_config_widget_->setVisible(visible);
    data_->ptr_ui_->ptr_vca_config_btn_->setVisible(visible);
}

void CMultiPageWidget::ShowEmptyWidget(bool b_empty)
{
    data_->ptr_ui_->ptr_scrollarea_->setVisible(!b_empty);
    data_->ptr_ui_->ptr_no_data_widget_->hide();
}

void CMultiPageWidget::ShowMoreTip(bool visible, MultiPageMoreTipState state, bool at_top)
{
    Ui::CMultiPageWidgetUI &ui = *data_->ptr_ui_;
    QVBoxLayout *layout = ui.ptr_contents_layout_;
    CMultiPageMoreWidget *tip = data_->ptr_more_widget_;
    const int index = layout->indexOf(tip);
    const bool placed_right = index >= 0 && (at_top ? index == 0 : index == layout->count() - 1);
    if (!placed_right) {
        if (index >= 0)
            layout->removeWidget(tip);
        if (visible) {
            if (at_top)
                layout->insertWidget(0, tip);
            else
                layout->addWidget(tip);
        }
    }
    tip->SetTipState(visible, state, at_top);
}

void CMultiPageWidget::ScheduleLoad(bool at_top)
{
    data_->is_loading_ = true;
    ShowMoreTip(true, MoreTipLoading, at_top);
    QTimer::singleShot(kLoadPageDelayMs, this, [this, at_top] {
        const int before = GetThumbnailCount();
        if (at_top)
            LoadPreviousPageData();
        else
            LoadNextPageData();
        ShowMoreTip(false, MoreTipText, at_top);
        // Nothing was added, so no content size change will end the load.
        if (GetThumbnailCount() == before)
            data_->is_loading_ = false;
    });
}

bool CMultiPageWidget::eventFilter(QObject *watched, QEvent *event)
{
    Ui::CMultiPageWidgetUI &ui = *data_->ptr_ui_;
    const bool ours = watched == ui.ptr_scrollarea_ || watched == ui.ptr_scrollarea_->viewport();
    if (ours && event->type() == QEvent::Wheel && data_->ptr_more_widget_->isVisible() &&
        !data_->is_loading_) {
        const QScrollBar *bar = ui.ptr_scrollarea_->verticalScrollBar();
        const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (data_->ptr_more_widget_->IsAtTop() && delta > 0 && bar->value() == 0 && HasMoreAbove())
            ScheduleLoad(true);
        else if (!data_->ptr_more_widget_->IsAtTop() && delta < 0 &&
                 bar->value() == bar->maximum() && HasMoreBelow())
            ScheduleLoad(false);
    } else if (ours && event->type() == QEvent::Resize) {
        const int width = ui.ptr_scrollarea_->viewport()->width();
        if (width != data_->last_viewport_width_) {
            data_->last_viewport_width_ = width;
            for (const CMultiPageGroupWidget *group : data_->qvc_group_order_) {
                for (CGridThumbnailWidget *tile : group->GetThumbnails()) {
                    if (tile->IsFocused())
                        data_->focused_data_id_ = tile->GetDataId();
                }
            }
            if (data_->ptr_data_manager_) {
                emit data_->ptr_data_manager_->SignalScrollAreaViewPortWidthChanged(width);
                data_->ptr_data_manager_->UpdateScrollAreaViewPortWidth(width);
            }
        }
        data_->ptr_pixmap_timer_->start();
    } else if (ours && event->type() == QEvent::Show) {
        // Tiles loaded while the view was hidden (another page or the list in front) asked for
        // nothing; now they are seen.
        data_->ptr_pixmap_timer_->start();
    }
    return QWidget::eventFilter(watched, event);
}

void CMultiPageWidget::OnScrollValueChanged(int value)
{
    if (!data_->ptr_data_manager_)
        return;
    data_->ptr_check_timer_->start();
    data_->ptr_pixmap_timer_->start();
    UpdateMoreTip(value);
}

void CMultiPageWidget::UpdateMoreTip(int value)
{
    const QScrollBar *bar = data_->ptr_ui_->ptr_scrollarea_->verticalScrollBar();
    CMultiPageMoreWidget *tip = data_->ptr_more_widget_;
    if (data_->is_loading_)
        return;
    if (value == bar->maximum() && HasMoreBelow()) {
        if (!(tip->isVisible() && !tip->IsAtTop()))
            ShowMoreTip(true, MoreTipText, false);
    } else if (value == 0 && HasMoreAbove()) {
        if (!(tip->isVisible() && tip->IsAtTop()))
            ShowMoreTip(true, MoreTipText, true);
    }
}

void CMultiPageWidget::OnScrollRangeChanged(int, int max)
{
    data_->ptr_check_timer_->start();
    data_->is_loading_ = false;
    if (data_->focused_data_id_ >= 0) {
        const int id = data_->focused_data_id_;
        data_->focused_data_id_ = -1;
        ScrollToTile(id);
    }
    Q_UNUSED(max);
    // Content that fits the view never changes the value, yet may have more beyond it.
    if (data_->ptr_data_manager_)
        UpdateMoreTip(data_->ptr_ui_->ptr_scrollarea_->verticalScrollBar()->value());
    data_->ptr_pixmap_timer_->start();
}

void CMultiPageWidget::ScrollToTile(int data_id)
{
    for (const CMultiPageGroupWidget *group : data_->qvc_group_order_) {
        const CGridThumbnailWidget *tile = group->GetThumbnail(data_id);
        if (!tile)
            continue;
        QScrollBar *bar = data_->ptr_ui_->ptr_scrollarea_->verticalScrollBar();
        const int content = data_->ptr_ui_->ptr_scroll_widget_->height();
        const int room = content - bar->pageStep();
        if (room <= 0)
            return;
        bar->setValue(static_cast<int>(
            std::lround(static_cast<double>(TileTop(group, tile)) / room * bar->maximum())));
        return;
    }
}

int CMultiPageWidget::TileTop(const CMultiPageGroupWidget *group,
                              const CGridThumbnailWidget *tile) const
{
    return group->y() + group->GetFlowWidget()->y() + tile->y();
}

QPair<int, int> CMultiPageWidget::VisibleBand() const
{
    const QScrollArea *area = data_->ptr_ui_->ptr_scrollarea_;
    const int top = area->verticalScrollBar()->value();
    return {top, top + area->viewport()->height()};
}

void CMultiPageWidget::LoadPixmaps()
{
    Ui::CMultiPageWidgetUI &ui = *data_->ptr_ui_;
    if (!data_->ptr_data_manager_ || !ui.ptr_scrollarea_->isVisible())
        return;
    const QPair<int, int> band = VisibleBand();
    for (const CMultiPageGroupWidget *group : data_->qvc_group_order_) {
        const int group_top = group->y() + group->GetFlowWidget()->y();
        if (group->y() + group->height() < band.first || group->y() > band.second)
            continue;
        for (CGridThumbnailWidget *tile : group->GetThumbnails()) {
            const int top = group_top + tile->y();
            if (top + tile->height() < band.first || top > band.second)
                continue;
            if (data_->thumbnails_in_flight_ >= data_->max_thumbnails_in_flight_)
                return;
            if (!tile->NeedsThumbnail())
                continue;
            ++data_->thumbnails_in_flight_;
            if (!tile->RequestThumbnail())
                --data_->thumbnails_in_flight_;
        }
    }
}

void CMultiPageWidget::OnThumbnailDownloadFinished(bool is_success)
{
    data_->thumbnails_in_flight_ = std::max(0, data_->thumbnails_in_flight_ - 1);
    LoadPixmaps();
    if (is_success && ++data_->finished_downloads_ >= kReleaseEveryDownloads)
        QMetaObject::invokeMethod(
            this, [this] { ClearPixmaps(); }, Qt::QueuedConnection);
}

void CMultiPageWidget::ClearPixmaps()
{
    const QPair<int, int> band = VisibleBand();
    for (const CMultiPageGroupWidget *group : data_->qvc_group_order_) {
        const int group_top = group->y() + group->GetFlowWidget()->y();
        for (CGridThumbnailWidget *tile : group->GetThumbnails()) {
            const int top = group_top + tile->y();
            const bool visible = top + tile->height() >= band.first && top <= band.second;
            if (visible)
                continue;
            if (tile->ThumbnailState() == ThumbnailLoaded)
                tile->ReleaseThumbnail();
            tile->ReleaseForm();
        }
    }
    data_->finished_downloads_ = 0;
}

void CMultiPageWidget::OnUpdateResourceNum(QMap<QPair<QString, QString>, int> map_resource_num)
{
    if (!data_->ptr_data_manager_ || data_->ptr_data_manager_->GetFileSortType() != SortStored)
        return;
    for (CMultiPageGroupWidget *group : data_->qvc_group_order_) {
        const CGridThumbnailWidget *first = group->GetThumbnail(group->GetLowestDataId());
        if (!first || !first->GetItem())
            continue;
        const auto key = qMakePair(first->GetItem()->GetPairData(KeySiteId).toString(),
                                   first->GetItem()->GetPairData(KeyCameraId).toString());
        const auto found = map_resource_num.constFind(key);
        if (found != map_resource_num.constEnd())
            group->SetCount(found.value());
    }
}

void CMultiPageWidget::ReportCheckState()
{
    bool any = false;
    for (const CMultiPageGroupWidget *group : data_->qvc_group_order_) {
        for (const CGridThumbnailWidget *tile : group->GetThumbnails()) {
            if (tile->IsChecked()) {
                any = true;
                break;
            }
        }
        if (any)
            break;
    }
    emit SignalThumbnailsCheckedStateChanged(any);
}

void CMultiPageWidget::OnCheckTimeout()
{
    ReportCheckState();
}

} // namespace TeskVideoSearch
