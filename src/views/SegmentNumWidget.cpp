#include "views/SegmentNumWidget.h"

#include "SegmentNumWidget_p.h"

#include <QAbstractItemView>
#include <QIcon>

namespace TeskVideoSearch {

namespace {
const char kIndicationImage[] = ":/Images/TeskVideoSearch/popup_indication_down.svg";
} // namespace

CSegmentNumWidget::CSegmentNumWidget(QWidget *parent)
    : PlexaControl::CWidget(parent)
    , data_(std::make_shared<SegmentNumWidgetData>())
{
    // Floats over other windows like the pop-up that opens it, without taking the focus.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    data_->ui_.setupUi(this);
    data_->ui_.ptr_first_label_->setText(
        tr("Korv-ControlClient.7e00521391434ebd95b2025a5625d21b.name"));
    const QSize indication = data_->ui_.ptr_indication_image_label_->minimumSize();
    data_->ui_.ptr_indication_image_label_->setPixmap(
        QIcon(QString::fromLatin1(kIndicationImage)).pixmap(indication));
    SetItems({});
}

CSegmentNumWidget::~CSegmentNumWidget() = default;

void CSegmentNumWidget::SetItems(const SplitTimeLabelMap &map)
{
    QComboBox *combo = data_->ui_.ptr_time_lenght_combox_;
    disconnect(combo, QOverload<int>::of(&QComboBox::activated), this,
               &CSegmentNumWidget::SignalTimeTypeChanged);
    combo->clear();
    for (const auto &[type, text] : map)
        combo->addItem(text, static_cast<int>(type));
    connect(combo, QOverload<int>::of(&QComboBox::activated), this,
            &CSegmentNumWidget::SignalTimeTypeChanged, Qt::UniqueConnection);
    adjustSize();
}

int CSegmentNumWidget::CurrentValue() const
{
    return data_->ui_.ptr_time_lenght_combox_->currentData().toInt();
}

QAbstractItemView *CSegmentNumWidget::View() const
{
    return data_->ui_.ptr_time_lenght_combox_->view();
}

void CSegmentNumWidget::hideEvent(QHideEvent *event)
{
    // An open drop-down list would otherwise stay on the screen without its chooser.
    data_->ui_.ptr_time_lenght_combox_->hidePopup();
    PlexaControl::CWidget::hideEvent(event);
}

} // namespace TeskVideoSearch
