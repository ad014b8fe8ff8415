#include "panels/TagVideoSearchWidget.h"
#include "panels/TagVideoSearchWidget_p.h"

#include <QVariant>

namespace TeskVideoSearch {

CTagVideoSearchWidget::CTagVideoSearchWidget(QWidget *parent)
    : CAbstractSearchWidget(parent)
    , data_(std::make_shared<CTagVideoSearchWidgetData>())
{
    data_->ui_.setupUi(this);
    data_->ptr_core_ = std::make_unique<CSearchPageCore>(
        this, base_data_, MakeSearchPageForm(data_->ui_), PageTotalSource::DataManager);
}

CTagVideoSearchWidget::~CTagVideoSearchWidget() = default;

void CTagVideoSearchWidget::StartSearchVideo(
    teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    // The panel runs one search for every tag page.
    data_->ptr_core_->PrepareSearch(condition);
}

void CTagVideoSearchWidget::UpdateCustomData(const int &data_id)
{
    data_->ptr_core_->UpdateCustomData(data_id);
}

void CTagVideoSearchWidget::ReloadSearchVideoData()
{
    data_->ptr_core_->ReloadSearchVideoData();
}

TVS_SEARCH_PAGE_CORE_BINDING(CTagVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_QUERIES(CTagVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_SLOTS(CTagVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_OPERATION_SLOT(CTagVideoSearchWidget)

} // namespace TeskVideoSearch
