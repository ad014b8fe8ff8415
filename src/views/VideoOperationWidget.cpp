#include "views/VideoOperationWidget.h"

#include "VideoOperationWidget_p.h"

#include "views/SegmentNumWidget.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QMouseEvent>

namespace TeskVideoSearch {

namespace {

const char kSplitRowName[] = "ptr_split_widget_";
const char kSplitRowHoverName[] = "ptr_hover_split_widget_";
const char kSearchRowName[] = "ptr_search_widget_";
const char kSearchRowHoverName[] = "ptr_hover_search_widget_";
const char kSplitImage[] = ":/Images/TeskVideoSearch/operation_split.svg";
const char kSearchImage[] = ":/Images/TeskVideoSearch/operation_search.svg";
constexpr int kIconSize = 16;
// The split row counts as reached this far above its top, so that the pointer crossing into
// the chooser above it does not close the chooser.
constexpr int kSplitRowReach = 2;

QRect GlobalRect(const QWidget *widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// A row and its two labels share their enablement and tool tip.
void SetRowState(QWidget *row, QWidget *image, QWidget *name, bool enabled, const QString &tip)
{
    for (QWidget *widget : {row, image, name}) {
        widget->setEnabled(enabled);
        widget->setToolTip(tip);
    }
}

} // namespace

CVideoOperationWidget::CVideoOperationWidget()
    : PlexaControl::CWidget(nullptr)
    , data_(std::make_shared<VideoOperationWidgetData>())
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    auto &ui = data_->ui_;
    ui.setupUi(this);
    SetTexts();
    ui.ptr_split_imagel_label_->setPixmap(
        QIcon(QString::fromLatin1(kSplitImage)).pixmap(kIconSize, kIconSize));
    ui.ptr_search_image_label_->setPixmap(
        QIcon(QString::fromLatin1(kSearchImage)).pixmap(kIconSize, kIconSize));
    InstallApplicationFilter();
}

CVideoOperationWidget::~CVideoOperationWidget()
{
    if (property(kInstallEventFilterProperty).toBool() && qApp)
        qApp->removeEventFilter(this);
}

void CVideoOperationWidget::SetTexts()
{
    data_->ui_.ptr_split_name_label_->setText(tr("VideoSegmentationUHCBMEGV"));
    data_->ui_.ptr_search_name_label_->setText(
        tr("Korv-ControlClient.846c0e77d1d54897bf272ab4eb7be3af.button"));
}

void CVideoOperationWidget::changeEvent(QEvent *event)
{
    // The instance outlives language switches of the client.
    if (event->type() == QEvent::LanguageChange)
        SetTexts();
    PlexaControl::CWidget::changeEvent(event);
}

void CVideoOperationWidget::InstallApplicationFilter()
{
    if (property(kInstallEventFilterProperty).toBool() || !qApp)
        return;
    qApp->installEventFilter(this);
    setProperty(kInstallEventFilterProperty, true);
}

void CVideoOperationWidget::InitWidgetParam(CVideoOperationInitParam &param)
{
    InstallApplicationFilter();
    auto &chooser = data_->ptr_segment_num_widget_;
    if (!chooser) {
        chooser = new CSegmentNumWidget(this);
        chooser->hide();
        connect(chooser, &CSegmentNumWidget::SignalTimeTypeChanged, this,
                &CVideoOperationWidget::OnTimeTypeChanged, Qt::UniqueConnection);
    }
    ShowSegmentNumWidget(false);
    chooser->SetItems(param.GetVal_map_split_time_type());

    auto &ui = data_->ui_;
    // A new item: a hover look left from the last one, whose leave went unseen, is stale.
    PlexaControl::SetStyleObjectName(ui.ptr_split_widget_, kSplitRowName);
    PlexaControl::SetStyleObjectName(ui.ptr_search_widget_, kSearchRowName);
    const bool show_split = param.GetVal_is_show_split_btn();
    const bool split_enabled = param.GetVal_split_enable();
    const bool show_search = param.GetVal_is_show_search_btn();
    const bool search_enabled = param.GetVal_search_btn_enable();
    ui.ptr_split_widget_->setVisible(show_split);
    ui.ptr_search_widget_->setVisible(show_search);
    SetRowState(
        ui.ptr_split_widget_, ui.ptr_split_imagel_label_, ui.ptr_split_name_label_, split_enabled,
        split_enabled ? tr("VideoSegmentationUHCBMEGV") : param.GetVal_split_invisble_tooltip());
    SetRowState(ui.ptr_search_widget_, ui.ptr_search_image_label_, ui.ptr_search_name_label_,
                search_enabled,
                search_enabled ? tr("Korv-ControlClient.846c0e77d1d54897bf272ab4eb7be3af.button")
                               : param.GetVal_search_invisble_tooltip());

    if (show_split && show_search) {
        setFixedHeight(kTwoRowsHeight);
    } else if (show_split || show_search) {
        setFixedHeight(kOneRowHeight);
    } else {
        hide();
        return;
    }
    adjustSize();
}

void CVideoOperationWidget::ClearData()
{
    if (property(kInstallEventFilterProperty).toBool()) {
        if (qApp)
            qApp->removeEventFilter(this);
        setProperty(kInstallEventFilterProperty, false);
    }
    hide();
    if (CSegmentNumWidget *chooser = data_->ptr_segment_num_widget_) {
        // Later, not now: a clear may come from a receiver of the chooser's own choice.
        chooser->hide();
        chooser->deleteLater();
    }
    data_->ptr_segment_num_widget_.clear();
}

SecondSplitTimeType CVideoOperationWidget::GetSecondSplitTimeType()
{
    const auto &chooser = data_->ptr_segment_num_widget_;
    return static_cast<SecondSplitTimeType>(chooser ? chooser->CurrentValue() : 0);
}

void CVideoOperationWidget::OnTimeTypeChanged(int)
{
    HideAll();
    emit SignalSecondSplitClicked();
}

void CVideoOperationWidget::ShowSegmentNumWidget(const bool &show)
{
    CSegmentNumWidget *chooser = data_->ptr_segment_num_widget_;
    if (!chooser)
        return;
    if (!show) {
        chooser->hide();
        return;
    }
    // An empty chooser offers nothing to choose.
    if (!chooser->isHidden() || chooser->View()->model()->rowCount() == 0)
        return;
    chooser->adjustSize();
    const QPoint row_top_left = data_->ui_.ptr_split_widget_->mapToGlobal(QPoint(0, 0));
    chooser->move(row_top_left.x() + width() / 2 - chooser->width() / 2,
                  row_top_left.y() - chooser->height());
    chooser->show();
    chooser->raise();
}

void CVideoOperationWidget::HideAll()
{
    hide();
    ShowSegmentNumWidget(false);
}

bool CVideoOperationWidget::IsOverChooser(const QPoint &global_pos) const
{
    const CSegmentNumWidget *chooser = data_->ptr_segment_num_widget_;
    if (!chooser || !chooser->isVisible())
        return false;
    if (GlobalRect(chooser).contains(global_pos))
        return true;
    const QWidget *list = chooser->View() ? chooser->View()->window() : nullptr;
    return list && list->isVisible() && list->frameGeometry().contains(global_pos);
}

bool CVideoOperationWidget::IsOverSplitRow(const QPoint &global_pos) const
{
    const QWidget *row = data_->ui_.ptr_split_widget_;
    return row->isVisible() &&
           GlobalRect(row).adjusted(0, -kSplitRowReach, 0, 0).contains(global_pos);
}

bool CVideoOperationWidget::eventFilter(QObject *watched, QEvent *event)
{
    auto &ui = data_->ui_;
    QWidget *split_row = ui.ptr_split_widget_;
    QWidget *search_row = ui.ptr_search_widget_;
    QWidget *chooser = data_->ptr_segment_num_widget_;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched == search_row) {
            if (search_row->isEnabled()) {
                hide();
                emit SignalSecondSearchClicked();
            }
        } else if (watched == split_row) {
            if (split_row->isEnabled()) {
                HideAll();
                emit SignalSecondSplitClicked();
            }
        } else if (isVisible() || (chooser && chooser->isVisible())) {
            const QPoint global_pos = static_cast<QMouseEvent *>(event)->globalPos();
            if (!GlobalRect(this).contains(global_pos) && !IsOverChooser(global_pos))
                HideAll();
        }
        break;
    case QEvent::Enter:
        if (watched == split_row) {
            PlexaControl::SetStyleObjectName(split_row, kSplitRowHoverName);
            if (split_row->isEnabled())
                ShowSegmentNumWidget(true);
        } else if (watched == search_row) {
            PlexaControl::SetStyleObjectName(search_row, kSearchRowHoverName);
        }
        break;
    case QEvent::Leave:
        if (watched == split_row) {
            PlexaControl::SetStyleObjectName(split_row, kSplitRowName);
            if (chooser && chooser->isVisible() && !IsOverChooser(QCursor::pos()))
                ShowSegmentNumWidget(false);
        } else if (watched == search_row) {
            PlexaControl::SetStyleObjectName(search_row, kSearchRowName);
        } else if (chooser && watched == chooser) {
            const QPoint global_pos = QCursor::pos();
            if (!IsOverChooser(global_pos) && !IsOverSplitRow(global_pos))
                ShowSegmentNumWidget(false);
        }
        break;
    default:
        break;
    }
    return PlexaControl::CWidget::eventFilter(watched, event);
}

void CVideoOperationWidget::leaveEvent(QEvent *event)
{
    const CSegmentNumWidget *chooser = data_->ptr_segment_num_widget_;
    if (chooser && chooser->isVisible() && !IsOverChooser(QCursor::pos()))
        ShowSegmentNumWidget(false);
    PlexaControl::CWidget::leaveEvent(event);
}

bool CVideoOperationWidget::event(QEvent *event)
{
    return PlexaControl::CWidget::event(event);
}

} // namespace TeskVideoSearch
