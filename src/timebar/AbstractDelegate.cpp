#include "timebar/AbstractDelegate.h"

#include "timebar/AnimationProgressBar.h"

namespace TeskVideoSearch {

CAbstractDelegate::CAbstractDelegate(QObject *parent, const AbstractDelegateType &type)
    : QObject(parent)
    , type_(type)
{}

CAbstractDelegate::~CAbstractDelegate() = default;

AbstractDelegateType CAbstractDelegate::Type() const
{
    return type_;
}

void CAbstractDelegate::SetProgressBar(CAnimationProgressBar *bar)
{
    if (!bar)
        return;
    setParent(bar);
    ptr_progress_bar_ = bar;
}

CAnimationProgressBar *CAbstractDelegate::ProgressBar() const
{
    return ptr_progress_bar_;
}

void CAbstractDelegate::Clear() {}

QVector<QPair<QRect, QPixmap>> CAbstractDelegate::ValidPixmaps()
{
    return {};
}

QVector<QPair<QRect, QString>> CAbstractDelegate::ValidTips()
{
    return {};
}

void CAbstractDelegate::Refresh() {}

bool CAbstractDelegate::HandleClick(const QPoint &)
{
    return false;
}

} // namespace TeskVideoSearch
