#include "views/VideoSplitRecordWidget.h"

#include "VideoSplitRecordWidget_p.h"

#include "views/VideoSingleRecordWidget.h"

#include "plexacontrol/ShadowWidget.h"

#include <QIcon>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace TeskVideoSearch {

namespace {
const char kRootBackName[] = "ptr_root_back_label_";
const char kRootBackSelectedName[] = "ptr_selected_root_back_label_";
const char kRootImageName[] = "ptr_root_image_label_";
const char kRootImageSelectedName[] = "ptr_selected_root_image_label_";
const char kRootImage[] = ":/Images/TeskVideoSearch/record_back.svg";
constexpr int kContentWidth = 280;
} // namespace

CVideoSplitRecordWidget::CVideoSplitRecordWidget(QWidget *parent)
    : PlexaControl::CWidget(parent)
    , data_(std::make_shared<VideoSplitRecordWidgetData>())
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    auto &ui = data_->ui_;
    auto *content = new PlexaControl::CWidget;
    ui.setupUi(content);
    // Legible over any picture also for a host without the client's style sheet.
    content->setAutoFillBackground(true);
    content->setFixedWidth(kContentWidth);
    data_->ptr_shadow_widget_ =
        new PlexaControl::CShadowWidget(content, PlexaControl::CShadowWidget::ShadowAround, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(data_->ptr_shadow_widget_);

    ui.ptr_root_back_label_->setText(tr("ReturnSearchResultshTfelspf"));
    ui.ptr_root_image_label_->setPixmap(
        QIcon(QString::fromLatin1(kRootImage)).pixmap(ui.ptr_root_image_label_->maximumSize()));
    ui.ptr_root_widget_->installEventFilter(this);
    ui.ptr_list_widget_->hide();
    UpdateHeight();
}

CVideoSplitRecordWidget::~CVideoSplitRecordWidget() = default;

void CVideoSplitRecordWidget::AddRecord(const VideoSplitInfo &record)
{
    auto *widget = new CVideoSingleRecordWidget(data_->ui_.ptr_list_widget_);
    widget->setFixedHeight(kRecordHeight);
    data_->record_widgets_.append(widget);
    connect(widget, &CVideoSingleRecordWidget::SignalRecordWidgetClicked, this,
            &CVideoSplitRecordWidget::OnRecordWidgetClicked);
    widget->SetRecord(record, data_->record_widgets_.size() - 1);
    data_->ui_.ptr_list_layout_->addWidget(widget);
    UpdateHeight();
}

VideoSplitInfo CVideoSplitRecordWidget::Record(int index) const
{
    if (index < 0 || index >= data_->record_widgets_.size())
        return {};
    return data_->record_widgets_.at(index)->Record();
}

int CVideoSplitRecordWidget::RecordCount() const
{
    return data_->record_widgets_.size();
}

void CVideoSplitRecordWidget::RemoveLastRecord()
{
    auto &widgets = data_->record_widgets_;
    if (widgets.isEmpty())
        return;
    const int previous_index = widgets.size() - 2;
    delete widgets.takeLast();
    UpdateHeight();
    OnRecordWidgetClicked(previous_index);
}

void CVideoSplitRecordWidget::Clear()
{
    qDeleteAll(data_->record_widgets_);
    data_->record_widgets_.clear();
    UpdateHeight();
}

int CVideoSplitRecordWidget::ListHeight() const
{
    const int count = data_->record_widgets_.size();
    if (count == 0)
        return 0;
    return count * kRecordHeight + (count - 1) * data_->ui_.ptr_list_layout_->spacing();
}

QMargins CVideoSplitRecordWidget::ShadowMargins() const
{
    return data_->ptr_shadow_widget_->ShadowMargins();
}

int CVideoSplitRecordWidget::UpdateHeight()
{
    auto &ui = data_->ui_;
    const int list_height = ListHeight();
    ui.ptr_list_widget_->setFixedHeight(list_height);
    ui.ptr_list_widget_->setVisible(list_height > 0);
    const QMargins margins = ui.ptr_main_layout_->contentsMargins();
    const QMargins shadow = data_->ptr_shadow_widget_->ShadowMargins();
    int content_height = ui.ptr_root_widget_->maximumHeight() + margins.top() + margins.bottom();
    if (list_height > 0)
        content_height += ui.ptr_main_layout_->spacing() + list_height;
    QWidget *content = data_->ptr_shadow_widget_->ContentWidget();
    content->setFixedHeight(content_height);
    const int height = content_height + shadow.top() + shadow.bottom();
    setFixedSize(content->width() + shadow.left() + shadow.right(), height);
    return height;
}

void CVideoSplitRecordWidget::OnRecordWidgetClicked(int record_index)
{
    hide();
    emit SignalRecordWidgetClicked(record_index);
}

void CVideoSplitRecordWidget::OnRootBackLabelClicked()
{
    hide();
    emit SignalRootWidgetClicked();
}

void CVideoSplitRecordWidget::hideEvent(QHideEvent *event)
{
    // Closed under the pointer, the root entry sees no leave; it opens plain next time.
    PlexaControl::SetStyleObjectName(data_->ui_.ptr_root_back_label_, kRootBackName);
    PlexaControl::SetStyleObjectName(data_->ui_.ptr_root_image_label_, kRootImageName);
    PlexaControl::CWidget::hideEvent(event);
}

bool CVideoSplitRecordWidget::eventFilter(QObject *watched, QEvent *event)
{
    auto &ui = data_->ui_;
    if (watched == ui.ptr_root_widget_) {
        switch (event->type()) {
        case QEvent::Enter:
            PlexaControl::SetStyleObjectName(ui.ptr_root_back_label_, kRootBackSelectedName);
            PlexaControl::SetStyleObjectName(ui.ptr_root_image_label_, kRootImageSelectedName);
            break;
        case QEvent::Leave:
            PlexaControl::SetStyleObjectName(ui.ptr_root_back_label_, kRootBackName);
            PlexaControl::SetStyleObjectName(ui.ptr_root_image_label_, kRootImageName);
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                OnRootBackLabelClicked();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return PlexaControl::CWidget::eventFilter(watched, event);
}

} // namespace TeskVideoSearch
