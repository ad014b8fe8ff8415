#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchTypes.h"

#include <QWidget>

#include <memory>

namespace TeskVideoSearch {

class CVideoDataManager;
struct MultiPageMoreWidgetData;

// The tip at either end of the thumbnail view: "More" while more items lie beyond, a waiting
// animation while the next page is on its way.
class TESKVIDEOSEARCH_EXPORT CMultiPageMoreWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kAnimationSize = 30;

    explicit CMultiPageMoreWidget(QWidget *parent = nullptr);
    ~CMultiPageMoreWidget() override;

    void SetDataManager(std::shared_ptr<CVideoDataManager> manager);
    void SetTipState(bool visible, MultiPageMoreTipState state, bool at_top);
    MultiPageMoreTipState GetTipState() const;
    bool IsAtTop() const;

private:
    std::shared_ptr<MultiPageMoreWidgetData> data_;
};

} // namespace TeskVideoSearch
