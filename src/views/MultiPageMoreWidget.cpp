#include "views/MultiPageMoreWidget.h"

#include "MultiPageMoreWidget_p.h"

#include <QMovie>

namespace TeskVideoSearch {

CMultiPageMoreWidget::CMultiPageMoreWidget(QWidget *parent)
    : QWidget(parent)
    , data_(std::make_shared<MultiPageMoreWidgetData>())
{
    data_->ui_.setupUi(this);
    data_->ui_.ptr_text_label_->setText(tr("More"));
    data_->ptr_movie_ =
        new QMovie(":/Images/TeskUIDataController/Public/Gif/Waiting_M_4.gif", QByteArray(), this);
    data_->ptr_movie_->setScaledSize(QSize(kAnimationSize, kAnimationSize));
    data_->ui_.ptr_icon_label_->setMovie(data_->ptr_movie_);
    data_->ui_.ptr_icon_label_->hide();
}

CMultiPageMoreWidget::~CMultiPageMoreWidget() = default;

void CMultiPageMoreWidget::SetDataManager(std::shared_ptr<CVideoDataManager> manager)
{
    data_->ptr_data_manager_ = std::move(manager);
}

void CMultiPageMoreWidget::SetTipState(bool visible, MultiPageMoreTipState state, bool at_top)
{
    data_->is_at_top_ = at_top;
    data_->state_ = state;
    setVisible(visible);
    if (state == MoreTipText) {
        data_->ui_.ptr_text_label_->show();
        data_->ptr_movie_->stop();
        data_->ui_.ptr_icon_label_->hide();
    } else {
        data_->ui_.ptr_text_label_->hide();
        data_->ptr_movie_->start();
        data_->ui_.ptr_icon_label_->show();
    }
}

MultiPageMoreTipState CMultiPageMoreWidget::GetTipState() const
{
    return data_->state_;
}

bool CMultiPageMoreWidget::IsAtTop() const
{
    return data_->is_at_top_;
}

} // namespace TeskVideoSearch
