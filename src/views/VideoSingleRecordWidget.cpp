#include "views/VideoSingleRecordWidget.h"

#include "VideoSingleRecordWidget_p.h"

#include <QEvent>
#include <QIcon>
#include <QMouseEvent>

#include <algorithm>

namespace TeskVideoSearch {

namespace {
const char kContentName[] = "ptr_content_widget_";
const char kContentHoverName[] = "ptr_hover_content_widget_";
// Shown when the step has no picture, so that the rows stay aligned.
const char kNoPictureImage[] = ":/Images/TeskVideoSearch/unload_image.svg";
} // namespace

CVideoSingleRecordWidget::CVideoSingleRecordWidget(QWidget *parent)
    : PlexaControl::CWidget(parent)
    , data_(std::make_shared<VideoSingleRecordWidgetData>())
{
    data_->ui_.setupUi(this);
    data_->ui_.ptr_content_widget_->installEventFilter(this);
    // The name is elided to the label's width, which the layouts settle later.
    data_->ui_.ptr_text_label_->installEventFilter(this);
}

CVideoSingleRecordWidget::~CVideoSingleRecordWidget() = default;

void CVideoSingleRecordWidget::SetRecord(const VideoSplitInfo &record, int index)
{
    data_->record_ = record;
    data_->record_index_ = index;
    QLabel *image_label = data_->ui_.ptr_image_label_;
    const QSize area = image_label->maximumSize();
    if (record.record_image.isNull()) {
        image_label->setPixmap(QIcon(QString::fromLatin1(kNoPictureImage)).pixmap(area));
    } else {
        image_label->setPixmap(QPixmap::fromImage(
            record.record_image.scaled(area, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    data_->ui_.ptr_text_label_->setToolTip(record.record_name);
    UpdateText();
}

VideoSplitInfo CVideoSingleRecordWidget::Record() const
{
    return data_->record_;
}

int CVideoSingleRecordWidget::RecordIndex() const
{
    return data_->record_index_;
}

void CVideoSingleRecordWidget::UpdateText()
{
    QLabel *label = data_->ui_.ptr_text_label_;
    label->setText(label->fontMetrics().elidedText(data_->record_.record_name, Qt::ElideRight,
                                                   std::max(0, label->width())));
}

bool CVideoSingleRecordWidget::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *content = data_->ui_.ptr_content_widget_;
    if (watched == data_->ui_.ptr_text_label_ && event->type() == QEvent::Resize)
        UpdateText();
    if (watched == content) {
        switch (event->type()) {
        case QEvent::Enter:
            PlexaControl::SetStyleObjectName(content, kContentHoverName);
            break;
        case QEvent::Leave:
            PlexaControl::SetStyleObjectName(content, kContentName);
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                emit SignalRecordWidgetClicked(data_->record_index_);
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
