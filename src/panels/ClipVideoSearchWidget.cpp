#include "panels/ClipVideoSearchWidget.h"

#include "ClipVideoSearchWidget_p.h"

#include "download/DirectDownload.h"
#include "download/VideoDownloadList.h"
#include "download/VideoExport.h"
#include "panels/AbstractSearchWidget.h"
#include "panels/AllVideoSearchWidget.h"
#include "panels/LockVideoSearchWidget.h"
#include "panels/PersonVehicleVideoSearchWidget.h"
#include "panels/TagVideoSearchWidget.h"
#include "search/CommonFunction.h"
#include "search/SearchPlan.h"
#include "search/VideoSearchController.h"
#include "taglock/TagLockOperateController.h"
#include "views/VideoOperationWidget.h"

#include "lattice/SlideDock.h"
#include "mirelog/Log.h"
#include "plexacontrol/ModalTipDialog.h"
#include "plexacontrol/StringConvert.h"
#include "quorbase/Util.h"
#include "uidatacontroller/CustomConfigManager.h"
#include "uidatacontroller/DownloadFrameForVideoSearch.h"
#include "uidatacontroller/DownloadSlideWidgetPosRule.h"
#include "uidatacontroller/EvidenceFrameSource.h"
#include "uidatacontroller/MessageTipManager.h"
#include "uidatacontroller/VideoListFram.h"

#include <QEvent>
#include <QLabel>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace TeskVideoSearch {

namespace {

constexpr int kNoDataImageSize = 86;
constexpr int kAuxIconSize = 22;
constexpr int kNoDataTextSideMargin = 140;
constexpr int kNoDataGap = 8;
constexpr int kDownloadSlideWidth = 528;
constexpr int kSingleTabCount = 1;
constexpr int kCountUnknown = -1;

constexpr const char *kNoDataImage = ":/Images/TeskVideoSearch/default_no_data_l.svg";
constexpr const char *kNoDataTextStyle =
    "QLabel {color: rgba(0, 0, 0, 0.4); font-size: 14px; font-family: Segoe UI;}";

// Flags between the panel and the play area.
constexpr const char *kInitialized = "Initialized";
constexpr const char *kLoadResultWidget = "LoadResultWidget";
constexpr const char *kPopDetailWidget = "PopDetailWidget";
constexpr const char *kClosePopDetailWidget = "ClosePopDetailWidget";
constexpr const char *kDoNotSendCloseSignal = "DoNotSendCloseSignal";
constexpr const char *kPageCtrlDisabled = "PageCtrlDisabled";
constexpr const char *kAutoShowWidget = "AutoShowWidget";

// Translation keys.
constexpr const char *kMenuButtonText = QT_TR_NOOP("AllcSpYojNvHY");
constexpr const char *kAuxiliaryTip = QT_TR_NOOP("OpenTheAuxiliaryScreen");
constexpr const char *kCaptionText =
    QT_TR_NOOP("Korv-ControlClient.bd65e8971797411f9f58e46bf0b3d043.name");
constexpr const char *kNoDataText =
    QT_TR_NOOP("Korv-ControlClient.0cf1e200f3b445b787bdec4c3cf6f964.msg");
constexpr const char *kResultChangedText =
    QT_TR_NOOP("Korv-ControlClient.a8c572d832d44c3ab73022acaad82c02.msg");
constexpr const char *kUnlockQuestion = QT_TR_NOOP("AreYouSureYouWantToUjGKXIIef");
constexpr const char *kDeleteTagQuestion = QT_TR_NOOP("AreYouSureToDelete%xIsoHDtGE");

struct PageEntry
{
    VideoDataType kind;
    const char *object_name;
};

// The pages of each product type, in stack order.
constexpr PageEntry kFullPages[] = {
    {RegularVideo, "ptr_all_video_page"},
    {PersonDetectVideo, "ptr_person_video_page"},
    {VehicleDetectVideo, "ptr_vehicle_video_page"},
    {EventAlarmVideo, "ptr_event_tag_page"},
    {TagVideo, "ptr_manual_tag_page"},
    {LockVideo, "ptr_lock_video_page"},
    {OtherVideo, "ptr_other_tag_page"},
};
constexpr PageEntry kStandardPages[] = {
    {RegularVideo, "ptr_all_video_page"},
    {TagVideo, "ptr_manual_tag_page"},
    {LockVideo, "ptr_lock_video_page"},
};

CAbstractSearchWidget *CreatePage(VideoDataType kind, QWidget *parent)
{
    switch (kind) {
    case RegularVideo:
        return new CAllVideoSearchWidget(parent);
    case LockVideo:
        return new CLockVideoSearchWidget(parent);
    case PersonDetectVideo:
    case VehicleDetectVideo:
        return new CPersonVehicleVideoSearchWidget(parent);
    default:
        return new CTagVideoSearchWidget(parent);
    }
}

// The controllers are owned by the pages through shared pointers; Qt parentage would delete
// them a second time.
std::shared_ptr<CVideoSearchController> NewController(QWidget *panel)
{
    auto controller = std::make_shared<CVideoSearchController>(panel);
    controller->setParent(nullptr);
    return controller;
}

} // namespace

ClipVideoSearchWidget::ClipVideoSearchWidget(QWidget *parent)
    : QFrame(parent)
    , ptr_data_(std::make_shared<UClipVideoSearchWidgetData>())
{
    PlexaControl::CFancyTabBarPanel::setMenuBtnText(tr(kMenuButtonText));
    auto &ui = ptr_data_->ui_;
    ui.setupUi(this);
    ui.ptr_tab_bar_widget_->CreateTabBar();
    ui.ptr_bar_label_->hide();
    ui.ptr_aux_btn_->hide();
    ui.ptr_aux_btn_->setIcon(QIcon(QStringLiteral(":/Images/TeskVideoSearch/icon_aux_screen.svg")));
    ui.ptr_aux_btn_->setIconSize(QSize(kAuxIconSize, kAuxIconSize));
    ui.ptr_playback_widget_->hide();
}

ClipVideoSearchWidget::~ClipVideoSearchWidget() = default;

void ClipVideoSearchWidget::InitWidget(CClipSearchWidgetInitParam &param)
{
    if (property(kInitialized).toBool())
        return;
    setProperty(kInitialized, true);

    auto &d = *ptr_data_;
    auto &ui = d.ui_;
    d.init_param_ = CClipSearchWidgetInitParam(param.GetData());
    d.ptr_owner_ = this;
    d.ptr_evidence_source_ = d.init_param_.GetVal_ptr_evidence_wrapper();
    if (!d.ptr_evidence_source_)
        d.ptr_evidence_source_ = new tesk_ui_data_controller::CStandEvidenceFrameSource(this);

    CConditionWidgetInitParam condition_param = d.init_param_.GetVal_condition_init_param();
    ui.ptr_condition_widget_->InitWidget(condition_param);
    ui.ptr_expand_collapse_->InitUI(this, ui.ptr_right_area_widget_);
    ui.ptr_expand_collapse_->setResizable(false);
    ui.ptr_tab_bar_widget_->setButtonMode(PlexaControl::CFancyTabBarLine::ButtonModeMenu);

    QTimer::singleShot(0, this, &ClipVideoSearchWidget::InitSearchResultWidget);

    ui.ptr_playback_widget_->installEventFilter(this);
    const bool can_pop = d.init_param_.GetVal_is_support_pop_sub_widget();
    ui.ptr_aux_btn_->setVisible(can_pop);
    ui.ptr_aux_btn_->setToolTip(tr(kAuxiliaryTip));

    ShowDefaultTipWidget(true);
    UpdateDefaultTipWidgetSize();

    ui.ptr_playback_widget_->InitWidget(d.init_param_.GetVal_ptr_expand_interface(), this);
    ui.ptr_playback_widget_->SetPlaybackWindow(d.init_param_.GetVal_ptr_playback_window(),
                                               d.init_param_.GetVal_ptr_track_widget_());

    d.ptr_tag_lock_controller_ = new CTagLockOperateController(this);

    auto *playback = ui.ptr_playback_widget_;
    connect(playback, &CClipPlaybackWidget::SignalPlaybackCustomData, this,
            &ClipVideoSearchWidget::OnPlaybackCustomData);
    connect(playback, &CClipPlaybackWidget::SignalModifyTagInfo, this,
            &ClipVideoSearchWidget::OnTagSaveInfo);
    connect(playback, &CClipPlaybackWidget::SignalDeleteCurrentFile, this,
            &ClipVideoSearchWidget::OnDeleteCurrentFile);
    // The unlock button has a signal of its own; the playing file's kind decides either way.
    connect(playback, &CClipPlaybackWidget::SignalUnlockCurrentFile, this,
            &ClipVideoSearchWidget::OnDeleteCurrentFile);
    connect(playback, &CClipPlaybackWidget::SignalClosePlayback, this,
            &ClipVideoSearchWidget::OnPlaybackClose);
    connect(playback, &CClipPlaybackWidget::SignalExitVisualTracking, this,
            &ClipVideoSearchWidget::SignalExitVisualTracking);
    connect(playback, &CClipPlaybackWidget::SignalStartOrExitFullScreen, this,
            &ClipVideoSearchWidget::SignalStartOrExitFullScreen);
    connect(d.ptr_tag_lock_controller_, &CTagLockOperateController::SignalOperateFinished, this,
            &ClipVideoSearchWidget::OnTagLockOperateFinished);
    connect(ui.ptr_condition_widget_, &CClipSearchCondition::SignalSearchClicked, this,
            &ClipVideoSearchWidget::OnSearchBtnClicked);
    connect(ui.ptr_expand_collapse_,
            &tesk_ui_data_controller::CCommonExpandCollapseWidget::SignalExpandCollapse, this,
            &ClipVideoSearchWidget::OnExpandCollapseConditionWidget);
    connect(ui.ptr_aux_btn_, &QPushButton::clicked, this,
            &ClipVideoSearchWidget::OnPopupAuxiliaryWidget);
    connect(ui.ptr_tab_bar_widget_, &CCustomTabBarFrame::SignalCurrentChanged, this,
            &ClipVideoSearchWidget::OnCurrentTabBarChanged, Qt::UniqueConnection);
}

void ClipVideoSearchWidget::InitSearchResultWidget()
{
    auto &d = *ptr_data_;
    if (!d.map_pages_.isEmpty())
        return;
    const bool full = d.init_param_.GetVal_condition_init_param().GetVal_product_type() ==
                      ResourceData::ProductTypeProfessional;
    const PageEntry *begin = full ? std::begin(kFullPages) : std::begin(kStandardPages);
    const PageEntry *end = full ? std::end(kFullPages) : std::end(kStandardPages);
    for (const PageEntry *entry = begin; entry != end; ++entry) {
        CAbstractSearchWidget *page = CreatePage(entry->kind, d.ui_.ptr_stack_widget_);
        page->InitWidgetParam(d.init_param_);
        page->setObjectName(QString::fromLatin1(entry->object_name));
        d.ui_.ptr_stack_widget_->addWidget(page);
        d.map_pages_.insert(entry->kind, page);
    }
    for (CAbstractSearchWidget *page : qAsConst(d.map_pages_)) {
        connect(page, &CAbstractSearchWidget::SignalUpdateDataTotalNum, this,
                &ClipVideoSearchWidget::OnUpdateDataTotalNum);
        connect(page, &CAbstractSearchWidget::SignalStartPlaybackVideo, this,
                &ClipVideoSearchWidget::OnStartPlaybackVideo);
        connect(page, &CAbstractSearchWidget::SignalExportBtnClicked, this,
                &ClipVideoSearchWidget::OnExportButtonClicked);
        connect(page, &CAbstractSearchWidget::SignalSecondSearch, this,
                &ClipVideoSearchWidget::SignalSecondSearch);
        connect(page, &CAbstractSearchWidget::SignalResultDataChanged, this,
                &ClipVideoSearchWidget::OnResultDataChanged);
    }
}

void ClipVideoSearchWidget::LoadResultWidget()
{
    if (property(kLoadResultWidget).toBool())
        return;
    setProperty(kLoadResultWidget, true);
    auto &d = *ptr_data_;
    for (auto it = d.map_pages_.begin(); it != d.map_pages_.end(); ++it) {
        std::shared_ptr<CVideoSearchController> controller;
        if (it.key() == PersonDetectVideo || it.key() == VehicleDetectVideo) {
            if (!d.ptr_person_vehicle_controller_)
                d.ptr_person_vehicle_controller_ = NewController(this);
            controller = d.ptr_person_vehicle_controller_;
        } else if (IsTagKind(it.key())) {
            if (!d.ptr_tag_controller_)
                d.ptr_tag_controller_ = NewController(this);
            controller = d.ptr_tag_controller_;
        } else {
            controller = NewController(this);
        }
        it.value()->LoadWidget(controller, it.key(), FilterVcaNone);
    }
}

void ClipVideoSearchWidget::ClearSearchResult()
{
    auto &d = *ptr_data_;
    for (const auto &controller : {d.ptr_tag_controller_, d.ptr_person_vehicle_controller_}) {
        if (controller)
            controller->CancelSearch(false);
    }
    for (CAbstractSearchWidget *page : qAsConst(d.map_pages_))
        page->ClearSearchResult(true);
}

void ClipVideoSearchWidget::ClearData()
{
    ClearPanel(true);
}

void ClipVideoSearchWidget::HideClearData()
{
    ClearPanel(false);
}

void ClipVideoSearchWidget::ClearPanel(bool reset_condition)
{
    auto &d = *ptr_data_;
    auto &ui = d.ui_;
    if (d.ptr_download_frame_)
        Lattice::HideDockWidget(d.ptr_download_frame_);
    if (reset_condition)
        ui.ptr_condition_widget_->ClearCondition();
    auto *playback = ui.ptr_playback_widget_;
    const bool popped = playback->property(kPopDetailWidget).toBool();
    if (popped)
        playback->setProperty(kClosePopDetailWidget, true);
    if (!(playback->isHidden() && !popped))
        playback->ClosePlaybackWidget(false);
    ShowDefaultTipWidget(true);
    UpdateDefaultTipWidgetSize();
    ClearSearchResult();
    ClearOperationPopup();
}

void ClipVideoSearchWidget::ClearOperationPopup()
{
    PlexaControl::CUiSingleton<CVideoOperationWidget>::Instance().ClearData();
}

void ClipVideoSearchWidget::UpdateAfterSwitchUser()
{
    TESK_LOG_USER("Update swith user");
    ptr_data_->ui_.ptr_condition_widget_->UpdateAfterSwitchUser();
}

void ClipVideoSearchWidget::SetAuxiliaryWidget(const bool &is_auxiliary)
{
    ptr_data_->ui_.ptr_aux_btn_->setVisible(
        !is_auxiliary && ptr_data_->init_param_.GetVal_is_support_pop_sub_widget());
}

void ClipVideoSearchWidget::AuxScreenWillClose()
{
    if (ptr_data_->init_param_.GetVal_is_support_pop_sub_widget())
        ptr_data_->ui_.ptr_aux_btn_->setVisible(true);
}

QWidget *ClipVideoSearchWidget::GetFullScreenWidget()
{
    return ptr_data_->ui_.ptr_playback_widget_->GetFullScreenWidget();
}

void ClipVideoSearchWidget::GetDownloadInfo(QVector<CVideoDownloadInfo> &infos)
{
    if (ptr_data_->ptr_download_frame_)
        TeskVideoSearch::GetDownloadInfo(ptr_data_->ptr_download_frame_, infos);
}

std::string ClipVideoSearchWidget::GetDownloadEvidenceInfo()
{
    const auto *frame = ptr_data_->ptr_download_frame_;
    if (!frame || !frame->GetEvidenceWrapper())
        return {};
    return frame->GetEvidenceWrapper()->GetEvidenceInfo();
}

void ClipVideoSearchWidget::GoToClipSearch(const std::string &json)
{
    ptr_data_->ui_.ptr_condition_widget_->GoToSearchByCustomParam(json);
}

// The search road.

void ClipVideoSearchWidget::OnSearchBtnClicked()
{
    auto &d = *ptr_data_;
    QVector<VideoDataType> kinds;
    if (!d.ui_.ptr_condition_widget_->GetSearchTypes(kinds))
        return;
    auto *playback = d.ui_.ptr_playback_widget_;
    if (playback->property(kPopDetailWidget).toBool()) {
        playback->setProperty(kPageCtrlDisabled, true);
        playback->ClosePlaybackWidget(true);
    }
    ShowDefaultTipWidget(false);
    InitSearchResultWidget();
    UpdateValidTabBtn(kinds);
    LoadResultWidget();
    ClearSearchResult();

    teskplaycontroller::CCameraVideoSearchCondition condition;
    if (!GetSearchConditionParam(condition))
        return;
    const int product_type = d.init_param_.GetVal_condition_init_param().GetVal_product_type();
    const auto groups =
        GroupKindsIntoSearches(kinds, product_type, d.ui_.ptr_condition_widget_->GetTagType());
    for (const CSearchGroup &group : groups) {
        switch (group.search_type) {
        case teskplaycontroller::VideoSearchRecord:
            StartSearchAllVideo(condition);
            break;
        case teskplaycontroller::VideoSearchLock:
            StartSearchLockVideo(condition);
            break;
        case teskplaycontroller::VideoSearchTag:
            StartSearchTagVideo(condition, group.kinds, group.label_type);
            break;
        case teskplaycontroller::VideoSearchPersonVehicle:
            StartSearchPersonVehicleVideo(condition, group.kinds, group.event_type);
            break;
        default:
            break;
        }
    }
}

bool ClipVideoSearchWidget::GetSearchConditionParam(
    teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    CClipSearchCondition *column = ptr_data_->ui_.ptr_condition_widget_;
    OrlSearchTimeType::TimeType time_type = OrlSearchTimeType::ClientTime;
    int64_t begin = 0;
    int64_t end = 0;
    if (!column->GetSearchParam(time_type, begin, end)) {
        TESK_LOG_ERROR(" Get clip search param failed.");
        return false;
    }
    QList<Arborin::SelectedStorageResource> resources;
    column->GetStorageResources(resources);
    QVector<CVideoSearchContionCameraInfo> cameras;
    if (!column->GetCameraInfo(cameras, resources)) {
        TESK_LOG_ERROR(" Get valid camera info failed.");
        return false;
    }
    condition.SetVal_time_type(time_type);
    condition.SetVal_begin_time(begin);
    condition.SetVal_end_time(end);
    QVector<teskplaycontroller::CTeskCameraInfo> entries;
    for (const CVideoSearchContionCameraInfo &camera : cameras) {
        teskplaycontroller::CTeskCameraInfo entry;
        entry.SetVal_ptr_camera_for_play(camera.GetVal_ptr_camera_for_play());
        entry.SetVal_pair_storage_info(teskplaycontroller::StoragePair(
            static_cast<ResourceData::StorageLocation>(camera.GetVal_location_type()),
            static_cast<ResourceData::StorageMediaType>(camera.GetVal_storage_media_type())));
        entries.push_back(entry);
    }
    condition.SetVal_tesk_camera_info(entries);
    return true;
}

teskplaycontroller::CCameraVideoSearchCondition ClipVideoSearchWidget::PrepareSearch(
    const teskplaycontroller::CCameraVideoSearchCondition &condition,
    teskplaycontroller::VideoSearchType search_type) const
{
    teskplaycontroller::CCameraVideoSearchCondition prepared;
    prepared.SetVal_search_guid(Quor::Base::GuidUtil::CreateGuid());
    prepared.SetVal_search_type(search_type);
    prepared.SetVal_time_type(condition.GetVal_time_type());
    prepared.SetVal_begin_time(condition.GetVal_begin_time());
    prepared.SetVal_end_time(condition.GetVal_end_time());
    QVector<teskplaycontroller::CTeskCameraInfo> entries;
    for (const auto &source : condition.GetVal_tesk_camera_info()) {
        // Every search owns its camera objects.
        teskplaycontroller::CTeskCameraInfo entry(source.GetData());
        if (const auto camera = source.GetVal_ptr_camera_for_play())
            entry.SetVal_ptr_camera_for_play(
                std::make_shared<teskplaycontroller::CCameraForPlay>(camera->GetCameraElement()));
        entries.push_back(entry);
    }
    prepared.SetVal_tesk_camera_info(entries);
    return prepared;
}

void ClipVideoSearchWidget::StartSearchAllVideo(
    const teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    if (CAbstractSearchWidget *page = ptr_data_->map_pages_.value(RegularVideo)) {
        auto prepared = PrepareSearch(condition, teskplaycontroller::VideoSearchRecord);
        page->StartSearchVideo(prepared);
    }
}

void ClipVideoSearchWidget::StartSearchLockVideo(
    const teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    if (CAbstractSearchWidget *page = ptr_data_->map_pages_.value(LockVideo)) {
        auto prepared = PrepareSearch(condition, teskplaycontroller::VideoSearchLock);
        page->StartSearchVideo(prepared);
    }
}

void ClipVideoSearchWidget::StartSearchTagVideo(
    const teskplaycontroller::CCameraVideoSearchCondition &condition,
    const QVector<VideoDataType> &kinds, int label_type)
{
    auto &d = *ptr_data_;
    auto prepared = PrepareSearch(condition, teskplaycontroller::VideoSearchTag);
    CSearchGroup group;
    group.search_type = teskplaycontroller::VideoSearchTag;
    group.label_type = label_type;
    ApplySearchGroup(group, prepared);
    prepared.GetVal_ptr_label_extra()->SetVal_str_lable_name(
        PlexaControl::QStringToString(d.ui_.ptr_condition_widget_->GetTagName()));
    StartSharedSearch(d.ptr_tag_controller_, prepared, kinds);
}

void ClipVideoSearchWidget::StartSearchPersonVehicleVideo(
    const teskplaycontroller::CCameraVideoSearchCondition &condition,
    const QVector<VideoDataType> &kinds, int event_type)
{
    auto prepared = PrepareSearch(condition, teskplaycontroller::VideoSearchPersonVehicle);
    CSearchGroup group;
    group.search_type = teskplaycontroller::VideoSearchPersonVehicle;
    group.event_type = event_type;
    ApplySearchGroup(group, prepared);
    StartSharedSearch(ptr_data_->ptr_person_vehicle_controller_, prepared, kinds);
}

void ClipVideoSearchWidget::StartSharedSearch(
    const std::shared_ptr<CVideoSearchController> &controller,
    teskplaycontroller::CCameraVideoSearchCondition &prepared, const QVector<VideoDataType> &kinds)
{
    // The pages only prepare their views; one search fills them all.
    for (VideoDataType kind : kinds) {
        if (CAbstractSearchWidget *page = ptr_data_->map_pages_.value(kind)) {
            teskplaycontroller::CCameraVideoSearchCondition copy(prepared.GetData());
            page->StartSearchVideo(copy);
        }
    }
    if (!controller)
        return;
    if (!controller->SearchCameraFiles(prepared, 0)) {
        ClipSearchEvent failure;
        failure.SetEventType(ClipSearchFinished);
        emit controller->SignalSearchResult(failure);
    }
}

// Tabs.

void ClipVideoSearchWidget::UpdateValidTabBtn(const QVector<VideoDataType> &kinds)
{
    auto &d = *ptr_data_;
    auto &ui = d.ui_;
    disconnect(ui.ptr_tab_bar_widget_, &CCustomTabBarFrame::SignalCurrentChanged, this,
               &ClipVideoSearchWidget::OnCurrentTabBarChanged);
    if (!kinds.isEmpty()) {
        PlexaControl::CFancyTabBarPanel *bar = ui.ptr_tab_bar_widget_->GetTabBar();
        d.map_tab_kinds_.clear();
        while (bar->count() > 0)
            bar->removeTab(0);
        for (VideoDataType kind : kinds) {
            d.map_tab_kinds_.insert(bar->count(), kind);
            bar->addTab(GetTabName(kind, kCountUnknown));
        }
        const int index = GetValidResultIndex();
        bar->setCurrentIndex(index);
        OnCurrentTabBarChanged(index);
        const bool several = bar->count() > kSingleTabCount;
        ui.ptr_tab_bar_widget_->setVisible(several);
        ui.ptr_bar_label_->setText(tr(kCaptionText).arg(QStringLiteral("...")));
        ui.ptr_bar_label_->setVisible(!several);
    }
    UpdateTabBarWidth();
    connect(ui.ptr_tab_bar_widget_, &CCustomTabBarFrame::SignalCurrentChanged, this,
            &ClipVideoSearchWidget::OnCurrentTabBarChanged, Qt::UniqueConnection);
}

QString ClipVideoSearchWidget::GetTabName(VideoDataType data_type, int count) const
{
    QString name;
    switch (data_type) {
    case RegularVideo:
        name = tr("Korv-ControlClient.6d6bdf8d3e7a4ae4958d3550b2d9a734.button");
        break;
    case PersonDetectVideo:
        name = tr("Korv-ControlClient.eba19218bce74f6db2a7f280f9a429b2.button");
        break;
    case VehicleDetectVideo:
        name = tr("Korv-ControlClient.d261d10592204198a9996fdd05aba7a5.button");
        break;
    case EventAlarmVideo:
        name = tr("Korv-ControlClient.dd857e56a68f4e969d640a5e5389129e.button");
        break;
    case TagVideo:
        name = tr("ManualLabelCHmnijoE");
        break;
    case LockVideo:
        name = tr("Korv-ControlClient.9129062b28b14815a4f921209827a32a.button");
        break;
    case OtherVideo:
        name = tr("Korv-ControlClient.537c010bc27d4e549eef5ad12f691daf.name");
        break;
    default:
        break;
    }
    return name + (count >= 0 ? QStringLiteral("(%1)").arg(count) : QStringLiteral("(...)"));
}

int ClipVideoSearchWidget::GetValidResultIndex() const
{
    const auto &d = *ptr_data_;
    const auto *shown = d.ui_.ptr_stack_widget_->currentWidget();
    for (auto page = d.map_pages_.begin(); page != d.map_pages_.end(); ++page) {
        if (page.value() != shown)
            continue;
        for (auto tab = d.map_tab_kinds_.begin(); tab != d.map_tab_kinds_.end(); ++tab) {
            if (tab.value() == page.key())
                return tab.key();
        }
    }
    return 0;
}

void ClipVideoSearchWidget::OnUpdateDataTotalNum(VideoDataType data_type, int total_num)
{
    auto &d = *ptr_data_;
    auto &ui = d.ui_;
    // Pages that share a controller hear each other's searches; a kind the last search did not
    // ask for has no tab, and must not write its count into another kind's tab.
    const auto tab_of_kind =
        std::find(d.map_tab_kinds_.cbegin(), d.map_tab_kinds_.cend(), data_type);
    if (tab_of_kind == d.map_tab_kinds_.cend())
        return;
    const int tab = tab_of_kind.key();
    PlexaControl::CFancyTabBarPanel *bar = ui.ptr_tab_bar_widget_->GetTabBar();
    bar->setTabText(tab, GetTabName(data_type, total_num));
    bar->update();
    if (bar->count() <= kSingleTabCount) {
        ui.ptr_bar_label_->setText(
            tr(kCaptionText)
                .arg(total_num < 0 ? QStringLiteral("...") : QString::number(total_num)));
        ui.ptr_bar_label_->update();
    }
    UpdateTabBarWidth();
}

void ClipVideoSearchWidget::OnCurrentTabBarChanged(int index)
{
    auto *playback = ptr_data_->ui_.ptr_playback_widget_;
    const bool popped = playback->property(kPopDetailWidget).toBool();
    if (popped)
        playback->setProperty(kClosePopDetailWidget, true);
    if (!(playback->isHidden() && !popped)) {
        playback->setProperty(kDoNotSendCloseSignal, true);
        playback->ClosePlaybackWidget(true);
    }
    SetCurrentTabWidget(index);
}

void ClipVideoSearchWidget::SetCurrentTabWidget(int index)
{
    auto &d = *ptr_data_;
    if (d.map_tab_kinds_.contains(index)) {
        if (CAbstractSearchWidget *page = d.map_pages_.value(d.map_tab_kinds_.value(index)))
            d.ui_.ptr_stack_widget_->setCurrentWidget(page);
    }
    UpdateTabBarWidth();
}

void ClipVideoSearchWidget::UpdateTabBarWidth()
{
    QTimer::singleShot(0, this, [this] {
        auto &ui = ptr_data_->ui_;
        if (!ui.ptr_tab_bar_widget_->isVisible())
            return;
        const QMargins margins = ui.ptr_top_tool_layout_->contentsMargins();
        const int available = ui.ptr_top_tool_widget_->width() - ui.ptr_aux_btn_->width() -
                              margins.left() - margins.right() - ui.ptr_top_tool_layout_->spacing();
        ui.ptr_tab_bar_widget_->setFixedWidth(
            qMin(ui.ptr_tab_bar_widget_->GetTabbarAdjustWidth(), available));
    });
}

// The no-data tip.

void ClipVideoSearchWidget::ShowDefaultTipWidget(bool show)
{
    auto &d = *ptr_data_;
    auto &ui = d.ui_;
    if (show) {
        ui.ptr_bottom_data_widget_->installEventFilter(this);
        if (!d.ptr_no_data_text_label_) {
            d.ptr_no_data_text_label_ = new QLabel(ui.ptr_bottom_data_widget_);
            d.ptr_no_data_text_label_->setObjectName(QStringLiteral("ptr_no_data_text_label_"));
            d.ptr_no_data_text_label_->setWordWrap(true);
            d.ptr_no_data_text_label_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            d.ptr_no_data_text_label_->setText(tr(kNoDataText));
            d.ptr_no_data_text_label_->setStyleSheet(QString::fromLatin1(kNoDataTextStyle));
        }
        if (!d.ptr_no_data_image_label_) {
            d.ptr_no_data_image_label_ = new QLabel(ui.ptr_bottom_data_widget_);
            d.ptr_no_data_image_label_->setObjectName(QStringLiteral("ptr_no_data_image_label_"));
            d.ptr_no_data_image_label_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            d.ptr_no_data_image_label_->setFixedSize(kNoDataImageSize, kNoDataImageSize);
            d.ptr_no_data_image_label_->setPixmap(QIcon(QString::fromLatin1(kNoDataImage))
                                                      .pixmap(kNoDataImageSize, kNoDataImageSize));
        }
        d.ptr_no_data_text_label_->show();
        d.ptr_no_data_image_label_->show();
        ui.ptr_stack_widget_->hide();
        ui.ptr_tab_bar_widget_->hide();
        ui.ptr_bar_label_->hide();
        return;
    }
    ui.ptr_bottom_data_widget_->removeEventFilter(this);
    if (d.ptr_no_data_text_label_ && d.ptr_no_data_image_label_ &&
        !d.ptr_no_data_image_label_->isHidden()) {
        d.ptr_no_data_text_label_->hide();
        d.ptr_no_data_image_label_->hide();
        ui.ptr_stack_widget_->show();
        ui.ptr_tab_bar_widget_->show();
        ui.ptr_bar_label_->show();
    }
}

void ClipVideoSearchWidget::UpdateDefaultTipWidgetSize()
{
    auto &d = *ptr_data_;
    if (!d.ptr_no_data_image_label_ || d.ptr_no_data_image_label_->isHidden())
        return;
    const int width = d.ui_.ptr_bottom_data_widget_->width();
    const int height = d.ui_.ptr_bottom_data_widget_->height();
    d.ptr_no_data_text_label_->setFixedSize(qMax(0, width - 2 * kNoDataTextSideMargin),
                                            qMax(0, height / 2 - kNoDataGap));
    d.ptr_no_data_text_label_->move(kNoDataTextSideMargin, height / 2 + kNoDataGap);
    d.ptr_no_data_image_label_->move((width - kNoDataImageSize) / 2, height / 2 - kNoDataImageSize);
}

// Playback.

void ClipVideoSearchWidget::OnStartPlaybackVideo(VideoDataType data_type, const int &data_id)
{
    if (Lattice::IsShowDockWidget(this))
        return;
    PlayFromPage(ptr_data_->map_pages_.value(data_type), data_type, data_id);
}

void ClipVideoSearchWidget::OnPlaybackCustomData(int data_id, bool is_manual)
{
    Q_UNUSED(is_manual);
    if (Lattice::IsShowDockWidget(this))
        return;
    const VideoDataType kind = ShownKind();
    PlayFromPage(ptr_data_->map_pages_.value(kind), kind, data_id);
}

void ClipVideoSearchWidget::PlayFromPage(CAbstractSearchWidget *page, VideoDataType data_type,
                                         int data_id)
{
    CClipPlaybackParam param;
    param.SetVal_current_data_id(data_id);
    param.SetVal_video_type(data_type);
    if (page) {
        page->UpdataTimeSliderCurrentFile(data_id);
        // A result deleted meanwhile is not played.
        if (!page->GetPlaybackParam(param))
            return;
    }
    PlaybackFiles(param);
}

void ClipVideoSearchWidget::PlaybackFiles(CClipPlaybackParam &param)
{
    const auto camera = param.GetVal_ptr_camera_for_play();
    if (!camera)
        return;
    if (!HasPlayBackPermission(QString::fromStdString(camera->GetSiteID()),
                               QString::fromStdString(camera->GetCameraID())))
        return;
    auto &ui = ptr_data_->ui_;
    auto *playback = ui.ptr_playback_widget_;
    playback->SetPlaybackParam(param);
    if (playback->isHidden() && !playback->property(kPopDetailWidget).toBool()) {
        ui.ptr_expand_collapse_->SetExpandCollapseStatus(false);
        FixPlaybackWidth();
        playback->show();
    }
}

void ClipVideoSearchWidget::FixPlaybackWidth()
{
    ptr_data_->ui_.ptr_playback_widget_->setFixedWidth(
        static_cast<int>(CCommonFunction::GetDetailWidgetWidthScale() * width()));
}

bool ClipVideoSearchWidget::HasCameraPermission(const QString &site_id, const QString &camera_id,
                                                int item)
{
    CCameraPermissionParam permission;
    permission.SetVal_site_id(site_id);
    permission.SetVal_camera_id(camera_id);
    permission.SetVal_permissinon_type(static_cast<ResourceData::ResourcePermissionItem>(item));
    return CCommonFunction::IsCameraPermissionValid(permission, this);
}

bool ClipVideoSearchWidget::HasPlayBackPermission(const QString &site_id, const QString &camera_id)
{
    if (!HasCameraPermission(site_id, camera_id, ResourceData::PermissionPlayback))
        return false;
    const VideoDataType kind = ShownKind();
    if (IsTagKind(kind))
        return HasCameraPermission(site_id, camera_id, ResourceData::PermissionCheckTag);
    if (kind == LockVideo)
        return HasCameraPermission(site_id, camera_id, ResourceData::PermissionSeeLock);
    return true;
}

VideoDataType ClipVideoSearchWidget::ShownKind() const
{
    const auto &d = *ptr_data_;
    const QWidget *shown = d.ui_.ptr_stack_widget_->currentWidget();
    for (auto it = d.map_pages_.begin(); it != d.map_pages_.end(); ++it) {
        if (it.value() == shown)
            return it.key();
    }
    return RegularVideo;
}

CAbstractSearchWidget *ClipVideoSearchWidget::ShownPage() const
{
    return qobject_cast<CAbstractSearchWidget *>(ptr_data_->ui_.ptr_stack_widget_->currentWidget());
}

void ClipVideoSearchWidget::OnResultDataChanged(bool is_update_page_index)
{
    auto *playback = ptr_data_->ui_.ptr_playback_widget_;
    if (!playback->isVisible() && !playback->property(kPopDetailWidget).toBool())
        return;
    if (!is_update_page_index) {
        playback->SetPreviosuAndNextButton(false, false);
        return;
    }
    playback->UpdatePlaybackDataID(-1);
    playback->SetPreviosuAndNextButton(false, true);
    if (playback->IsCheckedAutoPlay())
        PlexaControl::CUiSingleton<tesk_ui_data_controller::CMessageTipManager>::Instance()
            .ShowMessage(this, tr(kResultChangedText),
                         tesk_ui_data_controller::CMessageTip::AlertInformation, 1, 15);
}

void ClipVideoSearchWidget::OnPlaybackClose()
{
    TESK_LOG_USER("Playback widget close.");
    if (ptr_data_->ui_.ptr_playback_widget_->property(kPopDetailWidget).toBool())
        UpdateTabBarWidth();
    else
        ptr_data_->ui_.ptr_expand_collapse_->SetExpandCollapseStatus(true);
}

void ClipVideoSearchWidget::OnExpandCollapseConditionWidget(bool is_expand)
{
    auto *playback = ptr_data_->ui_.ptr_playback_widget_;
    if (is_expand && playback->isVisible())
        playback->ClosePlaybackWidget(true);
    UpdateTabBarWidth();
}

void ClipVideoSearchWidget::OnPopupAuxiliaryWidget()
{
    ptr_data_->ui_.ptr_aux_btn_->hide();
    emit SignalAuxiliaryChanged(true);
}

void ClipVideoSearchWidget::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    FixPlaybackWidth();
    UpdateTabBarWidth();
}

void ClipVideoSearchWidget::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    UpdateDefaultTipWidgetSize();
    UpdateTabBarWidth();
}

bool ClipVideoSearchWidget::eventFilter(QObject *watched, QEvent *event)
{
    auto &ui = ptr_data_->ui_;
    if (watched == ui.ptr_bottom_data_widget_ && event->type() == QEvent::Resize) {
        UpdateDefaultTipWidgetSize();
    } else if (watched == ui.ptr_playback_widget_ &&
               (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        // The playback beside the results takes or gives back width: the tab line's fixed
        // width is let go first, so that the row can take its new width, and fitted to it
        // once it has.
        ui.ptr_tab_bar_widget_->setMinimumWidth(1);
        UpdateTabBarWidth();
        if (event->type() == QEvent::Show &&
            ui.ptr_playback_widget_->property(kAutoShowWidget).toBool()) {
            ui.ptr_playback_widget_->setProperty(kAutoShowWidget, false);
            ui.ptr_expand_collapse_->SetExpandCollapseStatus(false);
        }
    }
    return QFrame::eventFilter(watched, event);
}

// Tags and locks of the playing file.

void ClipVideoSearchWidget::OnDeleteCurrentFile()
{
    CClipPlaybackParam param;
    ptr_data_->ui_.ptr_playback_widget_->GetPlaybackParam(param);
    const auto camera = param.GetVal_ptr_camera_for_play();
    const VideoDataType kind = param.GetVal_video_type();
    if (kind == LockVideo) {
        TESK_LOG_USER("lock file delete.");
        if (camera && HasCameraPermission(QString::fromStdString(camera->GetSiteID()),
                                          QString::fromStdString(camera->GetCameraID()),
                                          ResourceData::PermissionDeleteLock))
            UnlockFileFromDevice(param);
    } else if (IsTagKind(kind)) {
        TESK_LOG_USER("Tag file delete.");
        if (camera && HasCameraPermission(QString::fromStdString(camera->GetSiteID()),
                                          QString::fromStdString(camera->GetCameraID()),
                                          ResourceData::PermissionRemoveTag))
            DeleteLabelFileFromServer(param);
    }
}

bool ClipVideoSearchWidget::ConfirmOperation(const QString &question)
{
    return PlexaControl::CModalTipDialog::ShowModalTipDialog(
               question,
               PlexaControl::CModalTipDialog::ButtonOk |
                   PlexaControl::CModalTipDialog::ButtonCancel,
               PlexaControl::CModalTipDialog::IconWarning, this) == QDialog::Accepted;
}

void ClipVideoSearchWidget::UnlockFileFromDevice(const CClipPlaybackParam &param)
{
    auto &d = *ptr_data_;
    const auto files = param.GetVal_playback_files();
    const auto camera = param.GetVal_ptr_camera_for_play();
    if (files.isEmpty() || d.ptr_tag_lock_controller_->IsOperating())
        return;
    if (!ConfirmOperation(tr(kUnlockQuestion)))
        return;
    d.ui_.ptr_playback_widget_->StopPlayback();
    teskplaycontroller::COrlPlayBackParamSet plan;
    camera->GetPlaybackParam(plan);
    teskplaycontroller::LockRecordFileParam request;
    request.camera_id = camera->GetCameraID();
    request.site_id = camera->GetSiteID();
    request.workstation_id = camera->GetWorkStationID();
    request.begin_time = files.first()->GetFileBegTime();
    request.end_time = files.last()->GetFileEndTime();
    request.operation_type = teskplaycontroller::LockOperationUnlock;
    request.location_type = plan.GetVal_location_type();
    d.operate_param_ = CClipPlaybackParam(param.GetData());
    d.ptr_tag_lock_controller_->StartLockOperate(request);
}

void ClipVideoSearchWidget::DeleteLabelFileFromServer(const CClipPlaybackParam &param)
{
    auto &d = *ptr_data_;
    const auto files = param.GetVal_playback_files();
    const auto camera = param.GetVal_ptr_camera_for_play();
    const auto label =
        files.isEmpty() ? nullptr
                        : std::dynamic_pointer_cast<teskplaycontroller::CLabelFile>(files.first());
    if (!label || d.ptr_tag_lock_controller_->IsOperating())
        return;
    const std::string &name =
        label->GetLabelName().empty() ? label->GetFileName() : label->GetLabelName();
    if (!ConfirmOperation(tr(kDeleteTagQuestion).arg(QString::fromStdString(name))))
        return;
    d.ui_.ptr_playback_widget_->StopPlayback();
    teskplaycontroller::COrlPlayBackParamSet plan;
    camera->GetPlaybackParam(plan);
    teskplaycontroller::OperatLabelParam request;
    request.operation_type = teskplaycontroller::LabelOperationDelete;
    request.label_id = label->GetLabelID();
    request.camera_id = camera->GetCameraID();
    request.site_id = camera->GetSiteID();
    request.workstation_id = camera->GetWorkStationID();
    request.location_type = plan.GetVal_location_type();
    d.operate_param_ = CClipPlaybackParam(param.GetData());
    d.ptr_tag_lock_controller_->StartLabelOperate(request);
}

void ClipVideoSearchWidget::OnTagSaveInfo()
{
    TESK_LOG_USER("Tag file modify.");
    auto &d = *ptr_data_;
    QPair<teskplaycontroller::COperatLabelParam, QPair<VideoDataType, int>> modified;
    d.ui_.ptr_playback_widget_->GetModifyTagParam(modified);
    d.modify_label_param_ = modified.first;
    d.modify_data_type_ = modified.second.first;
    d.modify_data_id_ = modified.second.second;
    if (HasCameraPermission(QString::fromStdString(d.modify_label_param_.GetVal_site_id()),
                            QString::fromStdString(d.modify_label_param_.GetVal_camera_id()),
                            ResourceData::PermissionEditTag))
        d.ptr_tag_lock_controller_->StartLabelOperate(d.modify_label_param_.GetData());
}

void ClipVideoSearchWidget::OnTagLockOperateFinished(const CTagLockOperateEvent &operate_event)
{
    auto &d = *ptr_data_;
    switch (operate_event.GetOperateType()) {
    case TagModifySuccess:
        ApplyModifiedTagLocally();
        if (CAbstractSearchWidget *page = d.map_pages_.value(d.modify_data_type_))
            page->UpdateCustomData(d.modify_data_id_);
        break;
    case TagDeleteSuccess:
        RemovePlayingSpanFromLocal(false);
        break;
    case UnlockSuccess:
        RemovePlayingSpanFromLocal(true);
        break;
    default:
        break;
    }
}

// The playing files are the result rows' own records, so writing the saved tag into them
// updates the page and keeps the playback area from asking to save what is already saved.
void ClipVideoSearchWidget::ApplyModifiedTagLocally()
{
    auto &d = *ptr_data_;
    CClipPlaybackParam playing;
    d.ui_.ptr_playback_widget_->GetPlaybackParam(playing);
    for (const auto &file : playing.GetVal_playback_files()) {
        const auto label = std::dynamic_pointer_cast<teskplaycontroller::CLabelFile>(file);
        if (!label || label->GetLabelID() != d.modify_label_param_.GetVal_label_id())
            continue;
        label->SetLabelName(d.modify_label_param_.GetVal_label_name());
        label->SetLabelDesc(d.modify_label_param_.GetVal_label_desc());
        label->SetRcordLabelType(d.modify_label_param_.GetVal_label_type());
    }
}

void ClipVideoSearchWidget::ClosePlaybackAfterChange()
{
    auto *playback = ptr_data_->ui_.ptr_playback_widget_;
    if (playback->property(kPopDetailWidget).toBool())
        playback->setProperty(kClosePopDetailWidget, true);
    else
        playback->ClosePlaybackWidget(false);
}

void ClipVideoSearchWidget::RemovePlayingSpanFromLocal(bool is_unlock)
{
    auto &d = *ptr_data_;
    ClosePlaybackAfterChange();
    const auto files = d.operate_param_.GetVal_playback_files();
    const auto camera = d.operate_param_.GetVal_ptr_camera_for_play();
    CAbstractSearchWidget *page = ShownPage();
    if (files.isEmpty() || !camera || !page)
        return;
    CResourceKey key = camera->GetResourceKey();
    const int64_t begin = files.first()->GetFileBegTime();
    const int64_t end = files.last()->GetFileEndTime();
    if (is_unlock) {
        page->DeleteCustomData(key, begin, end);
    } else if (const auto controller = page->SearchController()) {
        controller->DeleteUnLabelFile(key, begin, end);
    }
    page->ReloadSearchVideoData();
    UpdateTabBarWidth();
}

// Export.

void ClipVideoSearchWidget::OnExportButtonClicked(VideoDataType data_type)
{
    auto &d = *ptr_data_;
    CAbstractSearchWidget *page = d.map_pages_.value(data_type);
    if (!page)
        return;
    QVector<CVideoDownloadInfo> records;
    DownloadTimeType time_type{};
    page->GetExportInfo(records, time_type);
    if (records.isEmpty())
        return;
    if (!d.ptr_download_frame_) {
        d.ptr_download_frame_ =
            new tesk_ui_data_controller::CDownloadFrameForVideoSearch(d.ptr_evidence_source_, this);
        d.ptr_download_frame_->GetVideoListFram()->SetFileTypeColumnHidden(true);
        d.ptr_download_frame_->ShowExportPath(d.init_param_.GetVal_is_support_custom_path());
        d.ptr_download_frame_->SetFileFormatVisible(
            !d.init_param_.GetVal_is_only_suppor_MP4_type());
        d.ptr_download_frame_->SetMergeUIVisible(d.init_param_.GetVal_is_merge_files());
        d.ptr_download_frame_->SetTeskPlayerVisible(d.init_param_.GetVal_is_downlaod_player());
        connect(d.ptr_download_frame_,
                &tesk_ui_data_controller::CDownloadFrameForVideoSearch::SignalDownload, this,
                &ClipVideoSearchWidget::OnExportVideoFile);
    }
    auto *frame = d.ptr_download_frame_;
    frame->ClearInfo();
    frame->ResetUI();
    int file_count = 0;
    for (const CVideoDownloadInfo &record : qAsConst(records))
        file_count += tesk_ui_data_controller::CFileStepVisitor<CVideoDownloadInfo>(record).Count();
    frame->HideMergeCheckBoxFrame(file_count > 1);

    Lattice::CSlideOutData slide;
    slide.ptr_dock_widget = frame;
    slide.ptr_pos_rule =
        std::make_shared<tesk_ui_data_controller::CDownloadSlideWidgetPosRule>(this);
    slide.slide_width = kDownloadSlideWidth;
    Lattice::ShowDockWidget(slide);

    // A file shared by two results is downloaded once.
    QSet<const teskplaycontroller::CPlaybackFile *> counted;
    qint64 total_size = 0;
    for (const CVideoDownloadInfo &record : qAsConst(records)) {
        for (const auto &group : record.GetVal_playback_files()) {
            for (const auto &file : group) {
                if (file && !counted.contains(file.get())) {
                    counted.insert(file.get());
                    total_size += file->GetFileSize();
                }
            }
        }
    }
    frame->SetDownloadFilesSize(total_size);
    QPointer<tesk_ui_data_controller::CDownloadFrameForVideoSearch> guarded(frame);
    QTimer::singleShot(0, this, [guarded, records, time_type] {
        if (guarded)
            ShowDownloadList(guarded, records, time_type);
    });
}

void ClipVideoSearchWidget::OnExportVideoFile()
{
    if (!tesk_ui_data_controller::CCustomConfigManager::IsDomestic()) {
        emit SignalDownloadVideoFile();
        return;
    }
    CAbstractSearchWidget *page = ShownPage();
    if (!page)
        return;
    QVector<CVideoDownloadInfo> records;
    DownloadTimeType time_type{};
    page->GetExportInfo(records, time_type);
    // The message names the failure already, in the operator's language.
    QString message;
    if (!DownloadRecordsDirectly(records, message))
        PlexaControl::CUiSingleton<tesk_ui_data_controller::CMessageTipManager>::Instance()
            .ShowMessage(window(), message, tesk_ui_data_controller::CMessageTip::AlertFailure);
}

} // namespace TeskVideoSearch
