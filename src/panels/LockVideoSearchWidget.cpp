#include "panels/LockVideoSearchWidget.h"
#include "panels/LockVideoSearchWidget_p.h"

#include <QVariant>

namespace TeskVideoSearch {

CLockVideoSearchWidget::CLockVideoSearchWidget(QWidget *parent)
    : CAbstractSearchWidget(parent)
    , data_(std::make_shared<CLockVideoSearchWidgetData>())
{
    data_->ui_.setupUi(this);
    data_->ptr_core_ = std::make_unique<CSearchPageCore>(
        this, base_data_, MakeSearchPageForm(data_->ui_), PageTotalSource::CameraFilter);
}

CLockVideoSearchWidget::~CLockVideoSearchWidget() = default;

void CLockVideoSearchWidget::StartSearchVideo(
    teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    CSearchPageCore &core = *data_->ptr_core_;
    core.PrepareSearch(condition);
    // Locked recordings are shown whole, never cut into segments.
    core.RunSearch(condition, 0);
}

void CLockVideoSearchWidget::DeleteCustomData(teskplaycontroller::CResourceKey &camera,
                                              const __int64 &begin, const __int64 &end)
{
    if (const auto controller = SearchController())
        controller->DeleteUnlockFile(camera, begin, end);
}

void CLockVideoSearchWidget::ReloadSearchVideoData()
{
    data_->ptr_core_->ReloadSearchVideoData();
}

TVS_SEARCH_PAGE_CORE_BINDING(CLockVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_QUERIES(CLockVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_SLOTS(CLockVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_OPERATION_SLOT(CLockVideoSearchWidget)

} // namespace TeskVideoSearch
