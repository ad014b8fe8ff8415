#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchTypes.h"

#include <QObject>
#include <QPair>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QVector>

class QPainter;

namespace TeskVideoSearch {

class CAnimationProgressBar;

// A layer drawn on top of the time bar's scale. The bar owns its layers and paints them in
// order after the scale and border.
class TESKVIDEOSEARCH_EXPORT CAbstractDelegate : public QObject
{
    Q_OBJECT
public:
    CAbstractDelegate(QObject *parent, const AbstractDelegateType &type);
    ~CAbstractDelegate() override;

    AbstractDelegateType Type() const;
    void SetProgressBar(CAnimationProgressBar *bar);

    virtual void Clear();
    virtual QVector<QPair<QRect, QPixmap>> ValidPixmaps();
    virtual QVector<QPair<QRect, QString>> ValidTips();
    virtual void Refresh();
    virtual void Paint(QPainter &painter) = 0;
    // True when the layer took the press or click at `point` (widget coordinates).
    virtual bool HandleClick(const QPoint &point);

protected:
    CAnimationProgressBar *ProgressBar() const;

private:
    CAnimationProgressBar *ptr_progress_bar_ = nullptr;
    AbstractDelegateType type_;
};

} // namespace TeskVideoSearch
