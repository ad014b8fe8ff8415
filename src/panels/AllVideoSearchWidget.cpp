#include "panels/AllVideoSearchWidget.h"
#include "panels/AllVideoSearchWidget_p.h"

#include "data/CustomVideoData.h"
#include "data/VideoDataManager.h"
#include "search/CommonFunction.h"
#include "search/VideoSearchCommonPort.h"
#include "views/VideoBackWidget.h"

#include "mirelog/Log.h"
#include "quorbase/Util.h"

#include <QStackedWidget>
#include <QVariant>

#include <map>

namespace TeskVideoSearch {

namespace {

const char *const kInitialized = "Initialized";
const char *const kNoShadowResult = "ptr_result_no_shadow_widget_";
const char *const kResultObjectName = "ptr_result_widget_";
// Gap between the back bar and the download button.
constexpr int kBackBarGap = 16;

// The span in seconds that a time-bar level shows; 0 for a level the bar does not have.
int SpanOfLevel(CAnimationProgressBar::TotalValue level)
{
    static const std::map<int, int> spans = {
        {CAnimationProgressBar::LevelSevenDays, 604800},
        {CAnimationProgressBar::LevelOneDay, 86400},
        {CAnimationProgressBar::LevelTwelveHours, 43200},
        {CAnimationProgressBar::LevelSixHours, 21600},
        {CAnimationProgressBar::LevelTwoHours, 7200},
        {CAnimationProgressBar::LevelOneHour, 3600},
        {CAnimationProgressBar::LevelTwelveMinutes, 720},
    };
    const auto found = spans.find(level);
    return found == spans.end() ? 0 : found->second;
}

} // namespace

CAllVideoSearchWidget::CAllVideoSearchWidget(QWidget *parent)
    : CAbstractSearchWidget(parent)
    , data_(std::make_shared<AllVideoSearchWidgetData>())
{
    data_->ui_.setupUi(this);
    SearchPageForm form = MakeSearchPageForm(data_->ui_);
    form.top_left_tool = data_->ui_.ptr_top_left_tool_widget_;
    form.back = data_->ui_.ptr_back_widget_;
    data_->ptr_core_ =
        std::make_unique<CSearchPageCore>(this, base_data_, form, PageTotalSource::CameraFilter);
    form.back->hide();
}

CAllVideoSearchWidget::~CAllVideoSearchWidget() = default;

void CAllVideoSearchWidget::LoadWidget(std::shared_ptr<CVideoSearchController> controller,
                                       const VideoDataType &data_type,
                                       const FilterVCADataType &filter_type)
{
    CAbstractSearchWidget::LoadWidget(controller, data_type, filter_type);
    if (!DataManager() || property(kInitialized).toBool())
        return;
    setProperty(kInitialized, true);
    CSearchPageCore &core = *data_->ptr_core_;
    core.SetupForm();
    core.ConnectPage(this);
    connect(controller.get(), &CVideoSearchController::SignalAllOriginFilesSplitFinished, this,
            &CAllVideoSearchWidget::OnAllFileSplitFinished);
    connect(data_->ui_.ptr_bottom_time_widget_, &CBaseFileProgressBar::SignalLevelChanged, this,
            &CAllVideoSearchWidget::OnTimeProgressLevelChanged);
    connect(data_->ui_.ptr_back_widget_, &CVideoBackWidget::SignalBackRecordChanged, this,
            &CAllVideoSearchWidget::OnBackRecordChanged);
}

void CAllVideoSearchWidget::ClearSearchResult(bool cancel)
{
    CSearchPageCore &core = *data_->ptr_core_;
    core.ClearSearchResult(cancel);
    data_->ui_.ptr_back_widget_->Clear();
    data_->current_split_guid_.clear();
    data_->ui_.ptr_top_left_tool_widget_->setFixedWidth(
        data_->ui_.ptr_download_button_->sizeHint().width());
}

void CAllVideoSearchWidget::StartSearchVideo(
    teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    data_->ui_.ptr_back_widget_->hide();
    if (const auto controller = SearchController())
        controller->ClearSecondSplitParam();
    // Known before the views are prepared: the time bar's level follows the span, and that
    // level must not ask for a re-split of a search cut at this length.
    const auto span = condition.GetVal_end_time() - condition.GetVal_begin_time();
    data_->split_time_ = CCommonFunction::GetSingleTimeByTimeRange(static_cast<int>(span));
    CSearchPageCore &core = *data_->ptr_core_;
    core.PrepareSearch(condition);
    core.RunSearch(condition, data_->split_time_);
}

void CAllVideoSearchWidget::OnAllFileSplitFinished(QString current_split_guid)
{
    if (current_split_guid.isEmpty() || current_split_guid != data_->current_split_guid_)
        return;
    ShowSplitResult();
    emit SignalResultDataChanged(true);
}

void CAllVideoSearchWidget::ShowSplitResult()
{
    CSearchPageCore &core = *data_->ptr_core_;
    const auto manager = DataManager();
    if (!manager)
        return;
    core.SetSplitMode(false);
    core.ShowResultType(CVideoSearchCommonPort::GetSearchResultShowType(core.Kind()));
    core.RefreshTimeTypes();
    const int total = core.TotalOfFilter();
    manager->SetCurrentDataNum(total, true);
    auto &ui = data_->ui_;
    ui.ptr_sort_combox_->setEnabled(true);
    ui.ptr_sort_combox_->show();
    ui.ptr_camera_combox_->setEnabled(true);
    ui.ptr_camera_combox_->show();
    ui.ptr_time_progress_widget_->show();
    core.RepolishResult(kResultObjectName);
    ui.ptr_time_progress_widget_->setEnabled(total > 0);
    ui.ptr_bottom_time_widget_->SetLoadingState(false);
    // The bands carry row numbers, which the new segments change.
    ui.ptr_bottom_time_widget_->ClearData(true, false);
    core.LoadTimeBar();
    core.EmitTotal(total);
}

void CAllVideoSearchWidget::OnDataOperation(OperationType operation_type, int data_id)
{
    if (operation_type == OperationSplit)
        SecondSplitVideo(data_id);
    else
        data_->ptr_core_->OnDataOperation(operation_type, data_id);
}

void CAllVideoSearchWidget::SecondSplitVideo(int data_id)
{
    CSearchPageCore &core = *data_->ptr_core_;
    const auto result = core.Result(data_id);
    const auto manager = DataManager();
    const auto controller = SearchController();
    if (!result || !manager || !controller) {
        TESK_LOG_ERROR("second split: no result %d", data_id);
        return;
    }
    PlaybackFileVector files;
    result->GetFileDatas(files);
    const int split_length = result->GetPairData(KeySplitLength).toInt();
    if (files.isEmpty() || split_length <= 0) {
        TESK_LOG_ERROR("second split of result %d refused: %d files, length %d", data_id,
                       files.size(), split_length);
        return;
    }
    auto &ui = data_->ui_;
    core.SetSplitMode(true);
    ui.ptr_thumbnail_widget_->ClearData();
    ui.ptr_list_widget_->ClearData();
    ui.ptr_camera_combox_->hide();
    ui.ptr_sort_combox_->hide();
    ui.ptr_time_progress_widget_->hide();
    core.RepolishResult(kNoShadowResult);
    ui.ptr_bottom_time_widget_->SetLoadingState(false);
    core.RefreshTimeTypes();

    CCameraBaseInfo camera;
    CResourceKey key;
    key.SetVal_site_id(result->GetPairData(KeySiteId).toString().toStdString());
    key.SetVal_resource_id(result->GetPairData(KeyCameraId).toString().toStdString());
    camera.SetVal_camera_key(key);
    camera.SetVal_camera_name(result->GetPairData(KeyCameraName).toString());
    CVideoSplitInfo split;
    split.SetVal_camera_info(camera);
    split.SetVal_split_time_duration(split_length);
    split.SetVal_qvc_playback_files(files);
    const int segments = controller->SplitCustomFiles(split);
    manager->UpdateFileSortType(manager->GetFileSortType());
    manager->SetCurrentDataNum(segments, true);
    core.EmitTotal(segments);

    if (ui.ptr_back_widget_->isHidden())
        ui.ptr_back_widget_->SetCurrentIndex(data_id);
    split.SetVal_record_image(result->GetThumbnailImage());
    split.SetVal_record_name(
        tr("WillIsDividedIntoPieGWhZgvlA")
            .arg(CCommonFunction::GetPlaybackFileTimeRange(manager->GetDataTimeType(), files))
            .arg(segments));
    ui.ptr_back_widget_->AddRecord(*split.GetDataPtr());
    // Widths the layout will give them; their geometry is not laid out yet.
    const int back_width = ui.ptr_back_widget_->sizeHint().width();
    const int download_width = ui.ptr_download_button_->sizeHint().width();
    TESK_LOG_INFO("Display button size for video segment: ReturnButton Width:%d , ExportButton "
                  "Width:%d",
                  back_width, download_width);
    ui.ptr_top_left_tool_widget_->setFixedWidth(back_width + kBackBarGap + download_width);
    emit SignalResultDataChanged(true);
    TESK_LOG_INFO("SecondSplitVideo Origin file start_time: %ld, end_time:%ld",
                  static_cast<long>(files.front()->GetFileBegTime()),
                  static_cast<long>(files.back()->GetFileEndTime()));
}

void CAllVideoSearchWidget::OnBackRecordChanged(int record_index)
{
    const auto controller = SearchController();
    if (!controller)
        return;
    auto &ui = data_->ui_;
    if (record_index < 0) {
        // Back to the search's own rows.
        controller->ClearSecondSplitParam();
        ui.ptr_thumbnail_widget_->ClearData();
        ui.ptr_list_widget_->ClearData();
        ui.ptr_top_left_tool_widget_->setFixedWidth(ui.ptr_download_button_->sizeHint().width());
        ShowSplitResult();
        emit SignalResultDataChanged(true);
        return;
    }
    CVideoSplitInfo split(ui.ptr_back_widget_->Record(record_index));
    if (split.GetVal_qvc_playback_files().isEmpty())
        return;
    ui.ptr_thumbnail_widget_->ClearData();
    ui.ptr_list_widget_->ClearData();
    const int segments = controller->SplitCustomFiles(split);
    if (const auto manager = DataManager())
        manager->SetCurrentDataNum(segments, true);
    data_->ptr_core_->EmitTotal(segments);
    emit SignalResultDataChanged(true);
}

void CAllVideoSearchWidget::OnTimeProgressLevelChanged(CAnimationProgressBar::TotalValue level)
{
    const int span = SpanOfLevel(level);
    const int split_time = span > 0 ? CCommonFunction::GetSingleTimeByTimeRange(span) : 0;
    if (split_time <= 0) {
        TESK_LOG_ERROR("OnTimeProgressLevelChanged split failed: split_time :%d", split_time);
        return;
    }
    const auto controller = SearchController();
    // The rows are already cut at this length: the controller would not answer a re-split.
    if (!controller || split_time == data_->split_time_ || data_->ptr_core_->IsSplitMode())
        return;
    auto &ui = data_->ui_;
    ui.ptr_thumbnail_widget_->ClearData();
    ui.ptr_list_widget_->ClearData();
    ui.ptr_camera_combox_->setEnabled(false);
    ui.ptr_sort_combox_->setEnabled(false);
    data_->split_time_ = split_time;
    data_->current_split_guid_ = QString::fromStdString(Quor::Base::GuidUtil::CreateGuid());
    controller->SplitAllOriginFiles(split_time, data_->current_split_guid_);
    emit SignalResultDataChanged(false);
    TESK_LOG_INFO("OnTimeProgressLevelChanged: split_time: %d", split_time);
}

TVS_SEARCH_PAGE_CORE_QUERIES(CAllVideoSearchWidget)
TVS_SEARCH_PAGE_CORE_SLOTS(CAllVideoSearchWidget)

} // namespace TeskVideoSearch
