#include "panels/SearchPageCore.h"

#include "data/CustomVideoData.h"
#include "data/VideoDataManager.h"
#include "panels/CustomMultiComBox.h"
#include "search/CommonFunction.h"
#include "search/VideoSearchCommonPort.h"
#include "search/VideoSearchController.h"
#include "timebar/BaseFileProgressBar.h"
#include "views/ListSightWidget.h"
#include "views/MultiPageWidget.h"

#include "extension/VideoSearchExpandInterface.h"
#include "mirelog/Log.h"
#include "playcontroller/MTZTimeConvert.h"
#include "plexacontrol/ComboBox.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <map>

namespace TeskVideoSearch {

namespace {

constexpr int kMovieSide = 54;
const char *const kWaitingMovie = ":/Images/TeskUIDataController/Public/Gif/Waiting_M_4.gif";
const char *const kResultObjectName = "ptr_result_widget_";
const char *const kTimeProgressObjectName = "ptr_time_progress_widget_";
// A time-bar load makes bands for at most this many rows in one turn, and stops sooner once its
// slice of the turn is used up; handing them to the bar costs about as much again.
constexpr int kTimeBarRowsPerSlice = 512;
constexpr qint64 kTimeBarSliceMs = 2;

int64_t RowBegin(const CameraFilesEntry &row)
{
    return row.second.isEmpty() || !row.second.front() ? INT64_MIN
                                                       : row.second.front()->GetFileBegTime();
}

void Repolish(QWidget *widget, const QString &object_name)
{
    // The style sheet selects these widgets by name alone; polishing under the same name again
    // would only repaint everything inside, every tile included.
    if (widget->objectName() == object_name)
        return;
    widget->setObjectName(object_name);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
}

CResourceKey KeyOf(const QString &site_id, const QString &camera_id)
{
    CResourceKey key;
    key.SetVal_site_id(site_id.toStdString());
    key.SetVal_resource_id(camera_id.toStdString());
    return key;
}

// The closest level of the pages whose window holds the whole span, so that a search shows all
// its recordings at once; its segment length is the one a search of that span is cut at.
CAnimationProgressBar::TotalValue LevelForSpan(int64_t span)
{
    if (span > 86400)
        return CAnimationProgressBar::LevelSevenDays;
    if (span > 43200)
        return CAnimationProgressBar::LevelOneDay;
    if (span > 21600)
        return CAnimationProgressBar::LevelTwelveHours;
    return CAnimationProgressBar::LevelSixHours;
}

} // namespace

CSearchPageCore::CSearchPageCore(CAbstractSearchWidget *page,
                                 std::shared_ptr<CAbstractSearchWidgetData> base,
                                 const SearchPageForm &form, PageTotalSource total_source)
    : page_(page)
    , base_(std::move(base))
    , form_(form)
    , total_source_(total_source)
    , time_bar_timer_(new QTimer(page))
{
    time_bar_timer_->setSingleShot(true);
    time_bar_timer_->setInterval(0);
    QObject::connect(time_bar_timer_, &QTimer::timeout, page, [this] { LoadTimeBarSlice(); });
}

VideoDataType CSearchPageCore::Kind() const
{
    const auto manager = base_->GetVal_ptr_data_manager_();
    return manager ? manager->GetDataType() : RegularVideo;
}

void CSearchPageCore::SetupForm()
{
    const auto manager = base_->GetVal_ptr_data_manager_();
    form_.max_tip_label->setText(CAbstractSearchWidget::tr("SearchDataIsLargeStovuZwzwjc"));
    form_.download->setText(
        CAbstractSearchWidget::tr("Korv-ControlClient.00555b8284a241aea8f391ad30033d55.button"));
    form_.download->setEnabled(false);
    form_.camera->setPlaceholderText(CAbstractSearchWidget::tr("PleaseSelectTheMonitoringPoint"));
    form_.thumbnail_btn->setToolTip(CAbstractSearchWidget::tr("DisplayThumbnailsEENmRjEnPWq"));
    form_.list_btn->setToolTip(CAbstractSearchWidget::tr("ShowList"));
    form_.max_close->setText(QStringLiteral("\u00d7"));
    form_.max_main->hide();
    form_.camera->hide();

    // The stored-order key is also the export button's; the disambiguation gives it its own
    // text as a sort entry.
    const QString stored = CAbstractSearchWidget::tr(
        "Korv-ControlClient.00555b8284a241aea8f391ad30033d55.button", "sort order");
    const QString ascending = CAbstractSearchWidget::tr(
        "Korv-ControlClient.bcfd712953a54a669ecea8ef87b53bed.msg", "sort order");
    form_.sort->AddItem(stored, stored, static_cast<int>(SortStored));
    form_.sort->AddItem(ascending, ascending, static_cast<int>(SortBeginAscending));
    form_.sort->setFixedWidth(std::max(form_.sort->minimumWidth(), form_.sort->WidestItemWidth()));
    form_.sort->setCurrentIndex(0);

    auto *movie = new QMovie(kWaitingMovie, QByteArray(), page_);
    movie->setScaledSize(QSize(kMovieSide, kMovieSide));
    form_.movie_label->setMovie(movie);
    base_->SetVal_ptr_movie_(movie);

    CListSightWidgetParam list_param;
    list_param.SetVal_ptr_data_manager(manager);
    list_param.SetVal_b_time_type_visible(true);
    list_param.SetVal_tag_display_type(
        base_->GetVal_init_param_().GetVal_condition_init_param().GetVal_tag_show_type());
    form_.list->InitListWidget(list_param);
    form_.grid->InitPageWidget(manager, QString());
    form_.time_bar->InitTip(page_);
    // Closer levels would cut a week of recordings into more segments than the views can page.
    form_.time_bar->SetLevelRange(CAnimationProgressBar::LevelSevenDays,
                                  CAnimationProgressBar::LevelSixHours);
    ShowResultType(CVideoSearchCommonPort::GetSearchResultShowType(Kind()));

    // The list asks for more rows at its ends; the grid owns the window of rows and announces
    // each page it loads back to the list.
    QObject::connect(form_.list, &CListSightWidget::SignalLoadMoreEndData, form_.grid,
                     &CMultiPageWidget::LoadNextPageData);
    QObject::connect(form_.list, &CListSightWidget::SignalLoadMoreBeginData, form_.grid,
                     &CMultiPageWidget::LoadPreviousPageData);
    QObject::connect(form_.download, &QPushButton::clicked, page_,
                     [this] { emit page_->SignalExportBtnClicked(Kind()); });
}

void CSearchPageCore::ShowResultType(SearchResultShowType show_type)
{
    form_.stacked->setCurrentWidget(show_type == ShowList ? form_.list_page : form_.thumbnail_page);
    UpdateDisplayButtons(show_type);
}

void CSearchPageCore::UpdateDisplayButtons(SearchResultShowType show_type)
{
    const bool list = show_type == ShowList;
    // Every answer of a search shows the result type again; loading the icons each time cost
    // more than the rest of the answer.
    if (buttons_show_type_ != static_cast<int>(show_type)) {
        buttons_show_type_ = static_cast<int>(show_type);
        form_.thumbnail_btn->setIcon(QIcon(CCommonFunction::GetThumbnailListBtnImage(false, list)));
        form_.list_btn->setIcon(QIcon(CCommonFunction::GetThumbnailListBtnImage(true, !list)));
    }
    form_.thumbnail_btn->setIconSize(form_.thumbnail_btn->size());
    form_.list_btn->setIconSize(form_.list_btn->size());
}

void CSearchPageCore::SetLoading(bool loading)
{
    QMovie *movie = base_->GetVal_ptr_movie_();
    if (loading) {
        form_.stacked->setCurrentWidget(form_.notice);
        if (movie)
            movie->start();
    } else if (movie) {
        movie->stop();
    }
}

void CSearchPageCore::RefreshTimeTypes()
{
    if (auto manager = base_->GetVal_ptr_data_manager_()) {
        manager->UpdateDataTimeType({CVideoSearchCommonPort::GetTimeZoneType(),
                                     CVideoSearchCommonPort::IsShowTimeDifference()});
    }
    form_.list->UpdateDataTimeType();
}

QVector<CResourceKey> CSearchPageCore::CheckedCameras() const
{
    QVector<CResourceKey> keys;
    for (const QVariant &data : form_.camera->GetCheckedData())
        keys.append(data.value<CResourceKey>());
    return keys;
}

int CSearchPageCore::TotalOfCameras(const QVector<CResourceKey> &cameras)
{
    const auto controller = base_->GetVal_ptr_search_controller_();
    return controller ? controller->GetTotalFileNum(Kind(), cameras) : 0;
}

int CSearchPageCore::TotalOfFilter()
{
    const auto manager = base_->GetVal_ptr_data_manager_();
    if (total_source_ == PageTotalSource::CameraFilter || !manager)
        return TotalOfCameras(CheckedCameras());
    return TotalOfCameras(manager->GetFilterCamera());
}

void CSearchPageCore::RepolishResult(const QString &object_name)
{
    Repolish(form_.result, object_name);
}

void CSearchPageCore::EmitTotal(int total)
{
    emit page_->SignalUpdateDataTotalNum(Kind(), total);
}

void CSearchPageCore::ResetSortCombo()
{
    const QSignalBlocker blocker(form_.sort);
    form_.sort->setCurrentIndex(0);
}

void CSearchPageCore::ClearSearchResult(bool cancel)
{
    const auto controller = base_->GetVal_ptr_search_controller_();
    if (cancel && controller)
        controller->CancelSearch(false);
    is_split_mode_ = false;
    last_count_ = 0;
    StopTimeBarLoad();
    if (auto manager = base_->GetVal_ptr_data_manager_()) {
        manager->SetCurrentDataNum(0, false);
        manager->StopLoadThumbnail();
    }
    form_.grid->ClearData();
    form_.list->ClearData();
    form_.time_bar->ClearData(true, false);
    form_.download->setEnabled(false);
    SetLoading(false);
}

void CSearchPageCore::PrepareSearch(teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    StopTimeBarLoad();
    form_.time_bar->ClearData(true, false);
    form_.max_main->hide();
    form_.camera->hide();
    form_.sort->show();
    form_.sort->setEnabled(false);
    form_.time_progress->show();
    form_.time_progress->setEnabled(false);
    RepolishResult(kResultObjectName);
    form_.time_bar->SetLoadingState(true);
    ResetSortCombo();

    const auto &data = *condition.GetDataPtr();
    form_.time_bar->SetCurrentTimeSliderLevel(LevelForSpan(data.end_time - data.begin_time));
    form_.time_bar->SetSearchTimeRange(QDateTime::fromSecsSinceEpoch(data.begin_time),
                                       QDateTime::fromSecsSinceEpoch(data.end_time));
    form_.time_bar->SetShowTimeRange(QDateTime::fromSecsSinceEpoch(data.begin_time),
                                     QDateTime::fromSecsSinceEpoch(data.end_time));
    if (auto manager = base_->GetVal_ptr_data_manager_()) {
        QVector<CResourceKey> keys;
        for (const teskplaycontroller::CTeskCameraInfo &camera :
             condition.GetVal_tesk_camera_info()) {
            if (const auto play = camera.GetVal_ptr_camera_for_play()) {
                keys.append(KeyOf(QString::fromStdString(play->GetSiteID()),
                                  QString::fromStdString(play->GetCameraID())));
            }
        }
        manager->UpdateFilterCamera(keys);
        manager->UpdateFileSortType(SortStored);
    }
    RefreshTimeTypes();
    form_.stacked->setCurrentWidget(form_.notice);
}

void CSearchPageCore::RunSearch(teskplaycontroller::CCameraVideoSearchCondition &condition,
                                int split_time)
{
    const auto controller = base_->GetVal_ptr_search_controller_();
    if (!controller)
        return;
    if (!controller->SearchCameraFiles(condition, split_time)) {
        TESK_LOG_ERROR("search refused: guid %s", condition.GetVal_search_guid().c_str());
        ClipSearchEvent refused;
        refused.SetEventType(ClipSearchFinished);
        OnSearchResult(refused);
        return;
    }
    SetLoading(true);
}

void CSearchPageCore::OnSearchResult(const ClipSearchEvent &event)
{
    const auto manager = base_->GetVal_ptr_data_manager_();
    if (!manager)
        return;
    ShowResultType(CVideoSearchCommonPort::GetSearchResultShowType(Kind()));
    SetLoading(false);
    const CClipSearchEventData data = event.GetEventData();
    switch (event.GetEventType()) {
    case ClipSearchDataArrived:
        last_count_ = data.GetVal_current_data_num_();
        if (!is_split_mode_) {
            manager->SetCurrentDataNum(last_count_, true);
            EmitTotal(last_count_);
        }
        break;
    case ClipSearchFinished: {
        if (data.GetVal_max_data())
            form_.max_main->show();
        manager->UpdataDataNumBySearchFinished();
        RefillCameraFilter();
        if (is_split_mode_)
            break;
        const int total = TotalOfFilter();
        manager->SetCurrentDataNum(total, true);
        form_.sort->show();
        form_.sort->setEnabled(true);
        form_.camera->show();
        form_.camera->setEnabled(true);
        form_.time_progress->show();
        RepolishResult(kResultObjectName);
        Repolish(form_.time_progress, kTimeProgressObjectName);
        form_.time_progress->setEnabled(total > 0);
        EmitTotal(total);
        LoadTimeBar(true);
        break;
    }
    default:
        break;
    }
}

void CSearchPageCore::RefillCameraFilter()
{
    const auto controller = base_->GetVal_ptr_search_controller_();
    if (!controller)
        return;
    form_.camera->ClearItems();
    for (const CCameraBaseInfo &camera : controller->GetSearchSuccessCameraInfo()) {
        const CResourceKey key = camera.GetVal_camera_key();
        QString name = camera.GetVal_camera_name();
        if (name.isEmpty())
            name = QString::fromStdString(key.GetVal_resource_id());
        form_.camera->AddCheckItem(name, QVariant::fromValue(key), true);
    }
}

// Orders the heap of time-bar cursors with the earliest next row on top.
bool CSearchPageCore::BeginsLater(const TimeBarCursor &a, const TimeBarCursor &b)
{
    return a.begin != b.begin ? a.begin > b.begin : a.row > b.row;
}

void CSearchPageCore::LoadTimeBar(bool stop_loading)
{
    // A load that was to end the loading state and is replaced hands that on.
    time_bar_stops_loading_ = stop_loading || (time_bar_rows_ && time_bar_stops_loading_);
    time_bar_rows_ = std::make_shared<const CameraFilesList>(RowsOfPage());
    // The rows come in the page's order, by camera for instance: runs that each go forward in
    // time. Taking them merged in time order lets the bar add each slice near its end instead
    // of merging it into everything shown so far.
    const CameraFilesList &rows = *time_bar_rows_;
    time_bar_cursors_.clear();
    for (int row = 0; row < rows.size();) {
        const int run_begin = row;
        for (++row; row < rows.size() && RowBegin(rows.at(row)) >= RowBegin(rows.at(row - 1));
             ++row) {
        }
        time_bar_cursors_.push_back({RowBegin(rows.at(run_begin)), run_begin, row});
    }
    std::make_heap(time_bar_cursors_.begin(), time_bar_cursors_.end(), BeginsLater);
    form_.time_bar->AddTimeSliderFile({});
    ApplyTimeBarRange();
    time_bar_timer_->start();
}

void CSearchPageCore::StopTimeBarLoad()
{
    time_bar_timer_->stop();
    time_bar_rows_.reset();
    time_bar_cursors_.clear();
}

void CSearchPageCore::LoadTimeBarSlice()
{
    if (!time_bar_rows_)
        return;
    const CameraFilesList &rows = *time_bar_rows_;
    auto &cursors = time_bar_cursors_;
    QElapsedTimer clock;
    clock.start();
    std::vector<std::shared_ptr<TimeSliderFile>> bands;
    int taken = 0;
    while (!cursors.empty() && taken < kTimeBarRowsPerSlice && clock.elapsed() < kTimeBarSliceMs) {
        std::pop_heap(cursors.begin(), cursors.end(), BeginsLater);
        TimeBarCursor cursor = cursors.back();
        cursors.pop_back();
        // The run's rows up to where another run's next row comes first, in one go.
        const int64_t next_other = cursors.empty() ? INT64_MAX : cursors.front().begin;
        const int first = cursor.row;
        do {
            ++cursor.row;
            ++taken;
        } while (cursor.row < cursor.run_end && taken < kTimeBarRowsPerSlice &&
                 RowBegin(rows.at(cursor.row)) <= next_other);
        const auto step = page_->GetTimeSliderFile(rows.mid(first, cursor.row - first), first);
        bands.insert(bands.end(), step.begin(), step.end());
        if (cursor.row < cursor.run_end) {
            cursor.begin = RowBegin(rows.at(cursor.row));
            cursors.push_back(cursor);
            std::push_heap(cursors.begin(), cursors.end(), BeginsLater);
        }
    }
    if (!bands.empty())
        form_.time_bar->AppendTimeSliderFiles(bands);
    if (!cursors.empty()) {
        time_bar_timer_->start();
        return;
    }
    time_bar_rows_.reset();
    if (time_bar_stops_loading_)
        form_.time_bar->SetLoadingState(false);
}

CameraFilesList CSearchPageCore::RowsOfPage()
{
    const auto controller = base_->GetVal_ptr_search_controller_();
    const auto manager = base_->GetVal_ptr_data_manager_();
    CameraFilesList files;
    if (!controller || !manager)
        return files;
    const int rows = manager->GetDataNum();
    if (rows > 0) {
        CVideoFileParam param;
        param.SetVal_qvc_filter_camera_keys(manager->GetFilterCamera());
        param.SetVal_show_type(manager->GetFileSortType());
        param.SetVal_data_type(Kind());
        param.SetVal_filter_vca_data_type(manager->GetVCADataChildType());
        param.SetVal_begin_index(0);
        param.SetVal_end_index(rows - 1);
        controller->GetVideoFiles(files, param);
    }
    return files;
}

void CSearchPageCore::ApplyTimeBarRange()
{
    const auto controller = base_->GetVal_ptr_search_controller_();
    const auto manager = base_->GetVal_ptr_data_manager_();
    if (!controller || !manager)
        return;
    teskplaycontroller::CCameraVideoSearchCondition condition;
    controller->GetCurrentSearchParam(condition);
    const TimeTypePair time_type = manager->GetDataTimeType();
    CTimeProgressRangeParam range;
    range.SetVal_search_start_time(condition.GetVal_begin_time());
    range.SetVal_search_end_time(condition.GetVal_end_time());
    range.SetVal_search_time_type(
        static_cast<OrlSearchTimeType::TimeType>(condition.GetVal_time_type()));
    range.SetVal_result_time_type(time_type.first);
    range.SetVal_qvc_camera_keys(manager->GetFilterCamera());
    const QPair<int64_t, int64_t> span =
        CCommonFunction::SwitchSearchTimeRangeForTimeProgress(range);
    form_.time_bar->SetShowTimeRange(QDateTime::fromSecsSinceEpoch(span.first),
                                     QDateTime::fromSecsSinceEpoch(span.second));
    form_.time_bar->SetSearchTimeRange(QDateTime::fromSecsSinceEpoch(span.first),
                                       QDateTime::fromSecsSinceEpoch(span.second));

    // The bar draws one clock: the client's, or the device's of the first camera shown.
    OrlPluginManager::COrlTimeZoneInfor zone;
    const QVector<CResourceKey> cameras = manager->GetFilterCamera();
    if (time_type.first == OrlSearchTimeType::DeviceTime && !cameras.isEmpty())
        teskplaycontroller::CMTZTimeConvert::GetDeviceTimeZoneInfor(cameras.front(), zone);
    else
        teskplaycontroller::CMTZTimeConvert::GetClientTimeZoneInfor(zone);
    form_.time_bar->SetDeviceTimeZoneInfor(zone);
}

void CSearchPageCore::OnUpdateExportBtnState(bool checked)
{
    form_.download->setEnabled(checked);
}

std::shared_ptr<CCustomVideoData> CSearchPageCore::Result(int data_id)
{
    return form_.grid->GetDataInfoByID(data_id);
}

void CSearchPageCore::OnDataOperation(OperationType operation, int data_id)
{
    switch (operation) {
    case OperationPlay:
        emit page_->SignalStartPlaybackVideo(Kind(), data_id);
        break;
    case OperationSecondSearch: {
        const auto result = Result(data_id);
        if (!result) {
            TESK_LOG_ERROR("second search: no result %d", data_id);
            return;
        }
        const QString site_id = result->GetPairData(KeySiteId).toString();
        const QString camera_id = result->GetPairData(KeyCameraId).toString();
        TESK_LOG_USER("second search site_id:[%s] camera_id:[%s]", qUtf8Printable(site_id),
                      qUtf8Printable(camera_id));
        emit page_->SignalSecondSearch(site_id, camera_id, result->GetThumbnailImage());
        break;
    }
    default:
        break;
    }
}

void CSearchPageCore::OnShowThumbnailWidget()
{
    CVideoSearchCommonPort::SetSearchResultShowType(Kind(), ShowThumbnail);
    const QList<int> checked = form_.list->GetCheckedIndexID();
    const auto manager = base_->GetVal_ptr_data_manager_();
    if (manager && !checked.isEmpty() && checked.size() == manager->GetDataNum())
        form_.grid->SetAllThumbnailsChecked(true);
    else
        form_.grid->SetCheckedThumbnails(checked);
    ShowResultType(ShowThumbnail);
}

void CSearchPageCore::OnShowListWidget()
{
    CVideoSearchCommonPort::SetSearchResultShowType(Kind(), ShowList);
    const QList<int> checked = form_.grid->GetCheckedThumbnails();
    const auto manager = base_->GetVal_ptr_data_manager_();
    if (manager && !checked.isEmpty() && checked.size() == manager->GetDataNum())
        form_.list->SetIndexCheckState(true);
    else
        form_.list->SetIndexChecked(checked);
    ShowResultType(ShowList);
}

void CSearchPageCore::OnCameraFilterChanged()
{
    const auto manager = base_->GetVal_ptr_data_manager_();
    if (!manager)
        return;
    manager->UpdateFilterCamera(CheckedCameras());
    RefreshTimeTypes();
    form_.grid->ClearData();
    form_.list->ClearData();
    const int total = TotalOfCameras(manager->GetFilterCamera());
    manager->SetCurrentDataNum(total, true);
    form_.time_bar->ClearData(true, false);
    LoadTimeBar();
    form_.time_progress->setEnabled(total > 0);
    EmitTotal(total);
    emit page_->SignalResultDataChanged(true);
}

void CSearchPageCore::OnSortTypeChanged(int sort_type)
{
    Q_UNUSED(sort_type)
    const auto manager = base_->GetVal_ptr_data_manager_();
    if (!manager)
        return;
    manager->UpdateFileSortType(static_cast<FileSortType>(form_.sort->currentData().toInt()));
    RefreshTimeTypes();
    form_.grid->ClearData();
    form_.list->ClearData();
    const int total = TotalOfCameras(manager->GetFilterCamera());
    manager->SetCurrentDataNum(total, true);
    // Rows are numbered in the new order, and the bands carry those numbers.
    form_.time_bar->ClearData(true, false);
    LoadTimeBar();
    EmitTotal(total);
    emit page_->SignalResultDataChanged(true);
}

void CSearchPageCore::OnCameraAboutToDelete(const QVector<QString> &camera_ids)
{
    const auto controller = base_->GetVal_ptr_search_controller_();
    if (!controller)
        return;
    teskplaycontroller::CCameraVideoSearchCondition condition;
    controller->GetCurrentSearchParam(condition);
    for (const teskplaycontroller::CTeskCameraInfo &camera : condition.GetVal_tesk_camera_info()) {
        const auto play = camera.GetVal_ptr_camera_for_play();
        if (play && camera_ids.contains(QString::fromStdString(play->GetCameraID()))) {
            page_->ClearSearchResult(true);
            return;
        }
    }
}

void CSearchPageCore::FocusResult(int data_id)
{
    form_.grid->SetFocusedThumbnail(data_id);
    form_.grid->ScrollToFocusPos();
    // The list receives the grid's rows through queued announcements; focus after them.
    CListSightWidget *list = form_.list;
    QMetaObject::invokeMethod(
        list, [list, data_id] { list->SetCursorItem(data_id); }, Qt::QueuedConnection);
}

void CSearchPageCore::OnTimeProgressSelectedFileChanged(const std::shared_ptr<TimeSliderFile> &file)
{
    const auto manager = base_->GetVal_ptr_data_manager_();
    if (!file || !manager)
        return;
    const int data_id =
        CCommonFunction::GetTimeSliderFileIndex(QString::fromStdString(file->GetFileIndex())).first;
    if (data_id < 0 || data_id >= manager->GetDataNum()) {
        TESK_LOG_ERROR("time bar file %s names no result", file->GetFileIndex().c_str());
        return;
    }
    if (!Result(data_id)) {
        manager->SetCurrentDataNum(TotalOfCameras(manager->GetFilterCamera()), false);
        form_.grid->ClearData();
        form_.list->ClearData();
        form_.grid->LoadCustomPageData(data_id);
    }
    FocusResult(data_id);
    emit page_->SignalStartPlaybackVideo(Kind(), data_id);
}

void CSearchPageCore::OnMaxTipCloseBtnClicked()
{
    form_.max_main->hide();
}

std::shared_ptr<teskplaycontroller::CCameraForPlay>
CSearchPageCore::CameraForPlay(const QString &site_id, const QString &camera_id)
{
    // The searched camera carries the storage the operator chose; prefer it.
    if (const auto controller = base_->GetVal_ptr_search_controller_()) {
        teskplaycontroller::CCameraVideoSearchCondition condition;
        controller->GetCurrentSearchParam(condition);
        for (const auto &camera : condition.GetVal_tesk_camera_info()) {
            const auto play = camera.GetVal_ptr_camera_for_play();
            if (play && play->GetSiteID() == site_id.toStdString() &&
                play->GetCameraID() == camera_id.toStdString())
                return play;
        }
    }
    return std::make_shared<teskplaycontroller::CCameraForPlay>(site_id.toStdString(),
                                                                camera_id.toStdString());
}

bool CSearchPageCore::GetPlaybackParam(CClipPlaybackParam &param)
{
    const auto manager = base_->GetVal_ptr_data_manager_();
    const int data_id = param.GetVal_current_data_id();
    const auto result = Result(data_id);
    if (!result || !manager)
        return false;
    param.SetVal_b_previous_btn_enable(form_.grid->HasPreviousData(data_id));
    param.SetVal_b_next_btn_enable(form_.grid->HasNextData(data_id));
    PlaybackFileVector files;
    result->GetFileDatas(files);
    param.SetVal_playback_files(files);
    const QString camera_id = result->GetPairData(KeyCameraId).toString();
    param.SetVal_ptr_camera_for_play(
        CameraForPlay(result->GetPairData(KeySiteId).toString(), camera_id));
    param.SetVal_video_type(Kind());
    param.SetVal_time_type(manager->GetDataTimeType());
    if (auto *expand = base_->GetVal_init_param_().GetVal_ptr_expand_interface()) {
        param.SetVal_play_widget_height_widget_scale(expand->GetPlayWidgetHeightWidgetScale());
        param.SetVal_is_show_time_type(expand->IsSupportShowTimeType());
    }
    param.SetVal_total_num(TotalOfFilter());
    FocusResult(data_id);
    TESK_LOG_USER("all video widget file playback. camera_id:[%s]", qUtf8Printable(camera_id));
    return true;
}

void CSearchPageCore::GetExportInfo(QVector<CVideoDownloadInfo> &records, DownloadTimeType &time)
{
    const auto manager = base_->GetVal_ptr_data_manager_();
    if (!manager)
        return;
    QVector<std::shared_ptr<CCustomVideoData>> results;
    if (form_.stacked->currentWidget() == form_.list_page) {
        for (int data_id : form_.list->GetCheckedIndexID()) {
            if (auto result = Result(data_id))
                results.append(result);
        }
    } else {
        results = form_.grid->GetAllCheckedDataInfo();
    }
    const TimeTypePair time_type = manager->GetDataTimeType();
    // One record per camera, in the order the cameras first appear among the ticked results.
    std::map<std::pair<QString, QString>, int> record_of_camera;
    for (const auto &result : results) {
        if (!result)
            continue;
        const QString site_id = result->GetPairData(KeySiteId).toString();
        const QString camera_id = result->GetPairData(KeyCameraId).toString();
        auto found = record_of_camera.find({site_id, camera_id});
        if (found == record_of_camera.end()) {
            CVideoDownloadInfo record;
            record.SetVal_site_id(site_id);
            record.SetVal_camera_id(camera_id);
            record.SetVal_ptr_camera_for_play(CameraForPlay(site_id, camera_id));
            records.append(record);
            found = record_of_camera.emplace(std::make_pair(site_id, camera_id), records.size() - 1)
                        .first;
        }
        PlaybackFileVector files;
        result->GetFileDatas(files);
        QString start;
        QString range;
        CCommonFunction::GetStartTimeAndRange(start, range, files, time_type);
        CVideoDownloadInfo &record = records[found->second];
        auto &data = *record.GetDataPtr();
        data.playback_files.append(files);
        data.qvc_custom_file_name.append(start.toStdString());
        data.qvc_file_time_range.append(range.toStdString());
    }
    time.first = time_type.first == OrlSearchTimeType::ClientTime
                     ? tesk_ui_data_controller::DownloadFrameDef::SearchClientTime
                     : tesk_ui_data_controller::DownloadFrameDef::SearchDeviceTime;
    time.second = time_type.second;
}

void CSearchPageCore::UpdataTimeSliderCurrentFile(int data_id)
{
    form_.time_bar->SyncSelectFileToTimeBar(
        CCommonFunction::CreateTimeSliderFileIndex(data_id, data_id).toStdString());
}

void CSearchPageCore::UpdateCustomData(int data_id)
{
    const auto result = Result(data_id);
    if (!result)
        return;
    form_.grid->UpdateCustomData(data_id);
    form_.list->UpdateCustomData(data_id, result);
}

void CSearchPageCore::ReloadSearchVideoData()
{
    const auto manager = base_->GetVal_ptr_data_manager_();
    if (!manager)
        return;
    form_.grid->ClearData();
    form_.list->ClearData();
    RefreshTimeTypes();
    const int total = TotalOfFilter();
    manager->SetCurrentDataNum(total, true);
    form_.sort->setEnabled(true);
    form_.camera->setEnabled(true);
    form_.time_bar->SetLoadingState(false);
    form_.time_bar->ClearData(true, false);
    LoadTimeBar();
    form_.time_progress->setEnabled(total > 0);
    SetLoading(false);
    ShowResultType(CVideoSearchCommonPort::GetSearchResultShowType(Kind()));
    EmitTotal(total);
}

} // namespace TeskVideoSearch
