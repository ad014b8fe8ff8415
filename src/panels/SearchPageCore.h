#pragma once

#include "panels/AbstractSearchWidget.h"
#include "panels/CustomMultiComBox.h"
#include "search/VideoSearchController.h"
#include "timebar/BaseFileProgressBar.h"
#include "views/ListSightWidget.h"
#include "views/MultiPageWidget.h"

#include "plexacontrol/ComboBox.h"
#include "pluginmanager/PluginManager.h"

#include <QPushButton>

#include <QList>
#include <QString>
#include <QVector>

#include <cstdint>
#include <memory>
#include <vector>

class QLabel;
class QStackedWidget;
class QTimer;

namespace TeskVideoSearch {

class CVideoBackWidget;
class CCustomVideoData;

// The widgets of a result page's form. The four forms share this tree; only the all page has
// the left tool part with the back bar.
struct SearchPageForm
{
    QWidget *max_main = nullptr;
    QLabel *max_tip_label = nullptr;
    QPushButton *max_close = nullptr;
    QWidget *top_left_tool = nullptr;
    CVideoBackWidget *back = nullptr;
    QPushButton *download = nullptr;
    CCustomMultiComBox *camera = nullptr;
    PlexaControl::CComboBox *sort = nullptr;
    QPushButton *thumbnail_btn = nullptr;
    QPushButton *list_btn = nullptr;
    QWidget *result = nullptr;
    QStackedWidget *stacked = nullptr;
    QWidget *thumbnail_page = nullptr;
    QWidget *list_page = nullptr;
    QWidget *notice = nullptr;
    QLabel *movie_label = nullptr;
    CMultiPageWidget *grid = nullptr;
    CListSightWidget *list = nullptr;
    QWidget *time_progress = nullptr;
    CBaseFileProgressBar *time_bar = nullptr;
};

template<class Ui>
SearchPageForm MakeSearchPageForm(Ui &ui)
{
    SearchPageForm form;
    form.max_main = ui.ptr_max_main_widget_;
    form.max_tip_label = ui.ptr_max_tip_label_;
    form.max_close = ui.ptr_max_tip_close_btn_;
    form.download = ui.ptr_download_button_;
    form.camera = ui.ptr_camera_combox_;
    form.sort = ui.ptr_sort_combox_;
    form.thumbnail_btn = ui.ptr_thumbnail_btn_;
    form.list_btn = ui.ptr_list_btn_;
    form.result = ui.ptr_result_widget_;
    form.stacked = ui.ptr_stacked_widget_;
    form.thumbnail_page = ui.ptr_thumbnail_page_;
    form.list_page = ui.ptr_list_page_;
    form.notice = ui.ptr_notice_;
    form.movie_label = ui.ptr_movie_label_;
    form.grid = ui.ptr_thumbnail_widget_;
    form.list = ui.ptr_list_widget_;
    form.time_progress = ui.ptr_time_progress_widget_;
    form.time_bar = ui.ptr_bottom_time_widget_;
    return form;
}

// How a page counts its total once a search has finished.
enum class PageTotalSource {
    CameraFilter, // the cameras ticked in the page's camera filter
    DataManager,  // the cameras the data manager filters on (pages sharing a controller)
};

// What the four result pages do alike, written once: the tool row, the views, the time bar
// and the answers to the panel. Each page forwards its slots here; the all page adds its
// splits on top. Belongs to the page and lives on the user-interface thread.
class CSearchPageCore
{
public:
    CSearchPageCore(CAbstractSearchWidget *page, std::shared_ptr<CAbstractSearchWidgetData> base,
                    const SearchPageForm &form, PageTotalSource total_source);

    const SearchPageForm &Form() const { return form_; }
    VideoDataType Kind() const;
    bool IsSplitMode() const { return is_split_mode_; }
    void SetSplitMode(bool split) { is_split_mode_ = split; }
    int LastCount() const { return last_count_; }

    // The connections every page makes to its own slots of the same names.
    template<class Page>
    void ConnectPage(Page *page);

    // Texts, sort entries, animation, views bound to the data manager, and the connections
    // that need no page slot.
    void SetupForm();
    void ClearSearchResult(bool cancel);
    // The views' state while a search runs; the search itself is the page's.
    void PrepareSearch(teskplaycontroller::CCameraVideoSearchCondition &condition);
    // Starts the search on the page's controller; a refusal ends the loading state with 0.
    void RunSearch(teskplaycontroller::CCameraVideoSearchCondition &condition, int split_time);
    void OnSearchResult(const ClipSearchEvent &event);
    void OnUpdateExportBtnState(bool checked);
    void OnDataOperation(OperationType operation, int data_id);
    void ShowResultType(SearchResultShowType show_type);
    void OnShowThumbnailWidget();
    void OnShowListWidget();
    void OnCameraFilterChanged();
    void OnSortTypeChanged(int sort_type);
    void OnCameraAboutToDelete(const QVector<QString> &camera_ids);
    void OnTimeProgressSelectedFileChanged(const std::shared_ptr<TimeSliderFile> &file);
    void OnMaxTipCloseBtnClicked();
    bool GetPlaybackParam(CClipPlaybackParam &param);
    void GetExportInfo(QVector<CVideoDownloadInfo> &records, DownloadTimeType &time);
    void UpdataTimeSliderCurrentFile(int data_id);
    void UpdateCustomData(int data_id);
    // Shows the current rows again after the controller's store changed under the page.
    void ReloadSearchVideoData();

    // Shared steps.
    void SetLoading(bool loading);
    void RefreshTimeTypes();
    int TotalOfFilter();
    int TotalOfCameras(const QVector<CResourceKey> &cameras);
    void RepolishResult(const QString &object_name);
    // Shows the bands of the current rows, a slice per event-loop turn: thousands of rows would
    // hold the user-interface thread for longer than a frame. A later load or a clear ends the
    // slices of an earlier one. `stop_loading` ends the bar's loading state with the last slice.
    void LoadTimeBar(bool stop_loading = false);
    void EmitTotal(int total);
    std::shared_ptr<CCustomVideoData> Result(int data_id);
    void FocusResult(int data_id);
    // Sorted into the stored order, with the sort entry shown without a change report.
    void ResetSortCombo();

private:
    QVector<CResourceKey> CheckedCameras() const;
    void RefillCameraFilter();
    std::shared_ptr<teskplaycontroller::CCameraForPlay> CameraForPlay(const QString &site_id,
                                                                      const QString &camera_id);
    void UpdateDisplayButtons(SearchResultShowType show_type);
    CameraFilesList RowsOfPage();
    // The searched span and the clock of the bar.
    void ApplyTimeBarRange();
    void LoadTimeBarSlice();
    // Ends the slices of a time-bar load that is still running.
    void StopTimeBarLoad();

    CAbstractSearchWidget *page_;
    std::shared_ptr<CAbstractSearchWidgetData> base_;
    SearchPageForm form_;
    PageTotalSource total_source_;
    bool is_split_mode_ = false;
    // The count of the last progress answer, kept while a split shows other rows.
    int last_count_ = 0;
    // The time-bar load in progress: its rows, where each run of rows in time order has got to,
    // and whether its end ends the bar's loading state. Its slices run from a timer, so that
    // they take turns with the other timers and input rather than with every posted event at
    // once.
    struct TimeBarCursor
    {
        int64_t begin; // of the run's next row
        int row;
        int run_end;
    };
    static bool BeginsLater(const TimeBarCursor &a, const TimeBarCursor &b);
    QTimer *time_bar_timer_ = nullptr;
    std::shared_ptr<const CameraFilesList> time_bar_rows_;
    // A heap, the cursor whose next row begins first on top.
    std::vector<TimeBarCursor> time_bar_cursors_;
    bool time_bar_stops_loading_ = false;
    // The result type the display buttons show; their icons are made only when it changes.
    int buttons_show_type_ = -1;
};

template<class Page>
void CSearchPageCore::ConnectPage(Page *page)
{
    const auto controller = base_->GetVal_ptr_search_controller_();
    QObject::connect(controller.get(), &CVideoSearchController::SignalSearchResult, page,
                     &Page::OnSearchResult);
    QObject::connect(form_.grid, &CMultiPageWidget::SignalDataOperate, page,
                     &Page::OnDataOperation);
    QObject::connect(form_.list, &CListSightWidget::SignalDataOperate, page,
                     &Page::OnDataOperation);
    QObject::connect(form_.grid, &CMultiPageWidget::SignalThumbnailsCheckedStateChanged, page,
                     &Page::OnUpdateExportBtnState);
    QObject::connect(form_.list, &CListSightWidget::SignalItemCheckStateChanged, page,
                     &Page::OnUpdateExportBtnState);
    QObject::connect(form_.time_bar, &CBaseFileProgressBar::SignalSelectFile, page,
                     &Page::OnTimeProgressSelectedFileChanged);
    QObject::connect(form_.camera, &CCustomMultiComBox::SignalCheckedItemChanged, page,
                     &Page::OnCameraFilterChanged);
    QObject::connect(&OrlPluginManager::CCameraManager::Instance(),
                     &OrlPluginManager::CCameraManager::SignalCamerasDelete, page,
                     &Page::OnCameraAboutToDelete);
    QObject::connect(form_.sort, SIGNAL(currentIndexChanged(int)), page,
                     SLOT(OnSortTypeChanged(int)));
    QObject::connect(form_.thumbnail_btn, &QPushButton::clicked, page,
                     &Page::OnShowThumbnailWidget);
    QObject::connect(form_.list_btn, &QPushButton::clicked, page, &Page::OnShowListWidget);
    QObject::connect(form_.max_close, &QPushButton::clicked, page, &Page::OnMaxTipCloseBtnClicked);
}

} // namespace TeskVideoSearch

// The page slots that only hand over to the shared core; the slot declarations stay in each
// page's header, where moc reads them.
#define TVS_SEARCH_PAGE_CORE_CALL(Result, Page, Name, Params, Args)                                \
    Result Page::Name Params                                                                       \
    {                                                                                              \
        return data_->ptr_core_->Name Args;                                                        \
    }

#define TVS_SEARCH_PAGE_CORE_SLOT(Page, Slot, Params, Args)                                        \
    TVS_SEARCH_PAGE_CORE_CALL(void, Page, Slot, Params, Args)

#define TVS_SEARCH_PAGE_CORE_SLOTS(Page)                                                           \
    TVS_SEARCH_PAGE_CORE_SLOT(Page, OnSearchResult, (ClipSearchEvent search_event),                \
                              (search_event))                                                      \
    TVS_SEARCH_PAGE_CORE_SLOT(Page, OnUpdateExportBtnState, (bool checked), (checked))             \
    TVS_SEARCH_PAGE_CORE_SLOT(Page, OnShowThumbnailWidget, (), ())                                 \
    TVS_SEARCH_PAGE_CORE_SLOT(Page, OnShowListWidget, (), ())                                      \
    TVS_SEARCH_PAGE_CORE_SLOT(Page, OnCameraFilterChanged, (), ())                                 \
    TVS_SEARCH_PAGE_CORE_SLOT(Page, OnSortTypeChanged, (int sort_type), (sort_type))               \
    TVS_SEARCH_PAGE_CORE_SLOT(Page, OnCameraAboutToDelete, (QVector<QString> camera_ids),          \
                              (camera_ids))                                                        \
    TVS_SEARCH_PAGE_CORE_SLOT(Page, OnTimeProgressSelectedFileChanged,                             \
                              (std::shared_ptr<TimeSliderFile> file), (file))                      \
    TVS_SEARCH_PAGE_CORE_SLOT(Page, OnMaxTipCloseBtnClicked, (), ())

#define TVS_SEARCH_PAGE_CORE_OPERATION_SLOT(Page)                                                  \
    TVS_SEARCH_PAGE_CORE_SLOT(Page, OnDataOperation, (OperationType operation_type, int data_id),  \
                              (operation_type, data_id))

// What a page answers the panel straight from its core.
#define TVS_SEARCH_PAGE_CORE_QUERIES(Page)                                                         \
    TVS_SEARCH_PAGE_CORE_CALL(bool, Page, GetPlaybackParam, (CClipPlaybackParam & param), (param)) \
    TVS_SEARCH_PAGE_CORE_CALL(void, Page, GetExportInfo,                                           \
                              (QVector<CVideoDownloadInfo> & records, DownloadTimeType & time),    \
                              (records, time))                                                     \
    TVS_SEARCH_PAGE_CORE_CALL(void, Page, UpdataTimeSliderCurrentFile, (const int &data_id),       \
                              (data_id))

// Binding and clearing of a page whose core does all of it; the initialisation runs once.
#define TVS_SEARCH_PAGE_CORE_BINDING(Page)                                                         \
    void Page::LoadWidget(std::shared_ptr<CVideoSearchController> controller,                      \
                          const VideoDataType &data_type, const FilterVCADataType &filter_type)    \
    {                                                                                              \
        CAbstractSearchWidget::LoadWidget(controller, data_type, filter_type);                     \
        if (!DataManager() || property("Initialized").toBool())                                    \
            return;                                                                                \
        setProperty("Initialized", true);                                                          \
        data_->ptr_core_->SetupForm();                                                             \
        data_->ptr_core_->ConnectPage(this);                                                       \
    }                                                                                              \
    TVS_SEARCH_PAGE_CORE_CALL(void, Page, ClearSearchResult, (bool cancel), (cancel))
