#include "timebar/LevelPanel.h"

#include "timebar/LevelPanel_p.h"

#include "lattice/SvgPixmap.h"

namespace TeskVideoSearch {

namespace {
constexpr int kButtonIconSize = 24;
}

CLevelPanel::CLevelPanel(QWidget *parent)
    : QWidget(parent)
    , d_ptr_(std::make_shared<LevelPanelData>())
{
    d_ptr_->ui_.setupUi(this);
    auto &ui = d_ptr_->ui_;
    ui.ptr_up_button->setToolTip(tr("Zoom-in"));
    ui.ptr_down_button->setToolTip(tr("Zoom-out"));
    const QSize icon_size(kButtonIconSize, kButtonIconSize);
    ui.ptr_up_button->setIcon(
        Lattice::GetHighDpiSvgPixmap(":/Images/TeskVideoSearch/timebar_zoom_in.svg", icon_size));
    ui.ptr_down_button->setIcon(
        Lattice::GetHighDpiSvgPixmap(":/Images/TeskVideoSearch/timebar_zoom_out.svg", icon_size));
    for (QPushButton *button : {ui.ptr_up_button, ui.ptr_down_button}) {
        button->setIconSize(icon_size);
        button->setFixedSize(icon_size);
    }
    connect(ui.ptr_up_button, &QPushButton::clicked, this, &CLevelPanel::SignalLevelUpClicked);
    connect(ui.ptr_down_button, &QPushButton::clicked, this, &CLevelPanel::SignalLevelDownClicked);
}

CLevelPanel::~CLevelPanel() = default;

void CLevelPanel::SetLevelRange(int lowest, int highest, const QStringList &texts)
{
    d_ptr_->lowest_level_ = lowest;
    d_ptr_->highest_level_ = highest;
    d_ptr_->level_texts_ = texts;
}

void CLevelPanel::SetLevel(int level)
{
    auto &d = *d_ptr_;
    d.current_level_ = level;
    if (level >= d.lowest_level_ && level <= d.highest_level_)
        d.ui_.ptr_label_->setText(d.level_texts_.value(level));
    d.ui_.ptr_up_button->setEnabled(level < d.highest_level_);
    d.ui_.ptr_down_button->setEnabled(level > d.lowest_level_);
}

int CLevelPanel::GetLevel() const
{
    return d_ptr_->current_level_;
}

void CLevelPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        d_ptr_->ui_.ptr_up_button->setToolTip(tr("Zoom-in"));
        d_ptr_->ui_.ptr_down_button->setToolTip(tr("Zoom-out"));
    }
    QWidget::changeEvent(event);
}

void CLevelPanel::enterEvent(QEvent *event)
{
    emit SignalUpdateTimeTipPosition();
    QWidget::enterEvent(event);
}

} // namespace TeskVideoSearch
