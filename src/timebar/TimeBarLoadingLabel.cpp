#include "timebar/TimeBarLoadingLabel.h"

#include "mirelog/Log.h"

#include <QMovie>

namespace TeskVideoSearch {

namespace {
constexpr int kBelowMiddle = 15;
}

CTimeBarLoadingLabel::CTimeBarLoadingLabel(QWidget *parent)
    : QLabel(parent)
    , ptr_movie_(new QMovie(":/Images/TeskVideoSearch/loading_red.gif", QByteArray(), this))
{
    if (!ptr_movie_->isValid())
        TESK_LOG_ERROR("Time bar: the loading animation cannot be read");
    hide();
}

CTimeBarLoadingLabel::~CTimeBarLoadingLabel() = default;

void CTimeBarLoadingLabel::SetLoadingSize(const QSize &size)
{
    setFixedSize(size);
    ptr_movie_->setScaledSize(size);
    setAlignment(Qt::AlignCenter);
    setMovie(ptr_movie_);
}

void CTimeBarLoadingLabel::StartLoading(const QSize &parent_size)
{
    show();
    move(parent_size.width() / 2 - width() / 2,
         parent_size.height() / 2 - height() / 2 + kBelowMiddle);
    ptr_movie_->start();
}

void CTimeBarLoadingLabel::StopLoading()
{
    ptr_movie_->stop();
    hide();
}

bool CTimeBarLoadingLabel::IsLoading() const
{
    return ptr_movie_->state() == QMovie::Running;
}

} // namespace TeskVideoSearch
