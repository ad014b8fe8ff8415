#include "views/VideoBackWidget.h"

#include "VideoBackWidget_p.h"

#include "views/VideoSplitRecordWidget.h"

#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QScreen>

namespace TeskVideoSearch {

namespace {
const char kLeftName[] = "ptr_left_widget_";
const char kLeftEnterName[] = "ptr_enter_left_widget_";
const char kRightName[] = "ptr_right_widget_";
const char kRightEnterName[] = "ptr_enter_right_widget_";
const char kBackImage[] = ":/Images/TeskVideoSearch/record_back.svg";
const char kArrowImage[] = ":/Images/TeskVideoSearch/record_arrow_down.svg";

bool IsLeftPress(QEvent *event)
{
    return event->type() == QEvent::MouseButtonPress &&
           static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
}
} // namespace

CVideoBackWidget::CVideoBackWidget(QWidget *parent)
    : PlexaControl::CWidget(parent)
    , data_(std::make_shared<VideoBackWidgetData>())
{
    auto &ui = data_->ui_;
    ui.setupUi(this);
    ui.ptr_left_label_->setText(tr("Return"));
    ui.ptr_left_image_label_->setPixmap(
        QIcon(QString::fromLatin1(kBackImage)).pixmap(ui.ptr_left_image_label_->maximumSize()));
    ui.ptr_right_icon_label_->setPixmap(
        QIcon(QString::fromLatin1(kArrowImage)).pixmap(ui.ptr_right_icon_label_->maximumSize()));
    for (QWidget *part : {ui.ptr_left_widget_, ui.ptr_right_widget_}) {
        part->setCursor(Qt::PointingHandCursor);
        part->installEventFilter(this);
    }

    auto *popup = new CVideoSplitRecordWidget(this);
    data_->ptr_split_record_widget_ = popup;
    // A press on the right part while the list is open only closes it.
    popup->setAttribute(Qt::WA_NoMouseReplay);
    popup->installEventFilter(this);
    connect(popup, &CVideoSplitRecordWidget::SignalRecordWidgetClicked, this,
            &CVideoBackWidget::OnRecordWidgetClicked);
    connect(popup, &CVideoSplitRecordWidget::SignalRootWidgetClicked, this,
            [this] { OnRecordWidgetClicked(-1); });
    connect(this, &CVideoBackWidget::SignalLeftWidgetClicked, this,
            &CVideoBackWidget::OnBackLastStepIndex);
    connect(this, &CVideoBackWidget::SignalRightWidgetClicked, this,
            &CVideoBackWidget::OnShowSplitRecordWidget);
    hide();
}

CVideoBackWidget::~CVideoBackWidget() = default;

void CVideoBackWidget::Clear()
{
    data_->ptr_split_record_widget_->hide();
    data_->ptr_split_record_widget_->Clear();
    data_->current_index_ = 0;
    hide();
}

void CVideoBackWidget::SetCurrentIndex(const int &index)
{
    data_->current_index_ = index;
}

int CVideoBackWidget::CurrentIndex() const
{
    return data_->current_index_;
}

void CVideoBackWidget::AddRecord(const VideoSplitInfo &record)
{
    data_->ptr_split_record_widget_->AddRecord(record);
    data_->current_index_ = data_->ptr_split_record_widget_->RecordCount() - 1;
    show();
    ShowRecordName(record.record_name);
}

VideoSplitInfo CVideoBackWidget::Record(int index) const
{
    return data_->ptr_split_record_widget_->Record(index);
}

void CVideoBackWidget::ShowRecordName(const QString &name)
{
    auto &ui = data_->ui_;
    ui.ptr_right_text_label_->setText(name);
    const QMargins margins = ui.ptr_right_layout_->contentsMargins();
    const int text_width = ui.ptr_right_text_label_->fontMetrics().horizontalAdvance(name);
    ui.ptr_right_widget_->setFixedWidth(text_width + kTextSlack + margins.left() + margins.right() +
                                        ui.ptr_right_icon_label_->maximumWidth() +
                                        ui.ptr_right_layout_->spacing());
}

void CVideoBackWidget::OnRecordWidgetClicked(int record_index)
{
    if (record_index < 0) {
        // Back at the first search result: no step is left to show.
        data_->ptr_split_record_widget_->Clear();
        data_->current_index_ = 0;
        hide();
    } else {
        data_->current_index_ = record_index;
        ShowRecordName(Record(record_index).record_name);
    }
    emit SignalBackRecordChanged(record_index);
}

void CVideoBackWidget::OnShowSplitRecordWidget()
{
    CVideoSplitRecordWidget *popup = data_->ptr_split_record_widget_;
    QWidget *right = data_->ui_.ptr_right_widget_;
    popup->UpdateHeight();
    // Aligned by the visible panel, not by the shadow around it.
    const QMargins shadow = popup->ShadowMargins();
    const QPoint right_top_left = right->mapToGlobal(QPoint(0, 0));
    const int right_bottom = right_top_left.y() + right->height();
    int x = right_top_left.x() - shadow.left();
    if (layoutDirection() == Qt::RightToLeft)
        x = right_top_left.x() + right->width() + shadow.right() - popup->width();
    int y = right_bottom + kPopupGap - shadow.top();

    QScreen *screen = QGuiApplication::screenAt(right_top_left);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        const int panel_height = popup->height() - shadow.top() - shadow.bottom();
        const int panel_above = right_top_left.y() - kPopupGap - panel_height;
        if (y + shadow.top() + panel_height > available.bottom() + 1 &&
            panel_above >= available.top())
            y = panel_above - shadow.top();
    }
    popup->move(x, y);
    popup->show();
}

void CVideoBackWidget::OnBackLastStepIndex()
{
    data_->ptr_split_record_widget_->RemoveLastRecord();
}

bool CVideoBackWidget::eventFilter(QObject *watched, QEvent *event)
{
    auto &ui = data_->ui_;
    CVideoSplitRecordWidget *popup = data_->ptr_split_record_widget_;
    if (watched == ui.ptr_left_widget_) {
        if (IsLeftPress(event)) {
            emit SignalLeftWidgetClicked();
        } else if (event->type() == QEvent::Enter) {
            PlexaControl::SetStyleObjectName(ui.ptr_left_widget_, kLeftEnterName);
        } else if (event->type() == QEvent::Leave) {
            PlexaControl::SetStyleObjectName(ui.ptr_left_widget_, kLeftName);
        }
    } else if (watched == ui.ptr_right_widget_) {
        if (IsLeftPress(event)) {
            PlexaControl::SetStyleObjectName(ui.ptr_right_widget_, kRightEnterName);
            emit SignalRightWidgetClicked();
        } else if (event->type() == QEvent::Enter) {
            PlexaControl::SetStyleObjectName(ui.ptr_right_widget_, kRightEnterName);
        } else if (event->type() == QEvent::Leave && !popup->isVisible()) {
            PlexaControl::SetStyleObjectName(ui.ptr_right_widget_, kRightName);
        }
    } else if (watched == popup && event->type() == QEvent::Hide) {
        PlexaControl::SetStyleObjectName(ui.ptr_right_widget_, kRightName);
    }
    return PlexaControl::CWidget::eventFilter(watched, event);
}

} // namespace TeskVideoSearch
