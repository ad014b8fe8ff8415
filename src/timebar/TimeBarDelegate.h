#pragma once

#include "TeskVideoSearchExport.h"
#include "search/WidgetRecords.h"
#include "timebar/AbstractDelegate.h"

#include <QList>

#include <memory>

namespace TeskVideoSearch {

struct TimeBarDelegateData;

// The recording-file layer of the time bar: translucent bands per record type, with the
// recordings under the pointer highlighted and the selected ones opaque. Overlapping bands of
// one kind are drawn as one, so that they never darken each other, and a recording shorter
// than a pixel is drawn one pixel wide.
class TESKVIDEOSEARCH_EXPORT CTimeBarDelegate : public CAbstractDelegate
{
    Q_OBJECT
public:
    // Record types in drawing order, all visible.
    explicit CTimeBarDelegate(QObject *parent, const QList<int> &types = {22, 0, 500, 13});
    ~CTimeBarDelegate() override;

    void AddTimeBars(const QVector<TimeBarParam> &bars);
    QVector<TimeBarParam> TimeBars() const;
    void SetSelectedBars(const QVector<TimeBarParam> &bars);
    QVector<TimeBarParam> SelectedBars() const;
    void SetHoverBars(const QVector<TimeBarParam> &bars);
    QVector<TimeBarParam> HoverBars() const;
    // The further band list; `Clear` empties it only when asked to with SetClearSyncBars.
    void SetSyncBars(const QVector<TimeBarParam> &bars);
    QVector<TimeBarParam> SyncBars() const;
    void SetClearSyncBars(bool clear);
    void ClearSyncBars();

    QList<int> Types() const;
    bool HasType(int type) const;
    void SetTypeVisible(int type, bool visible);
    bool IsTypeVisible(int type) const;

    void Clear() override;
    void Paint(QPainter &painter) override;

private:
    std::shared_ptr<TimeBarDelegateData> d_ptr_;
};

} // namespace TeskVideoSearch
