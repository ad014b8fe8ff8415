#include "ClipPlaybackWidget.h"
#include "ClipPlaybackWidget_p.h"

#include "playback/ClipPlaybackBaseInfoWidget.h"
#include "playback/ClipPlaybackTitle.h"
#include "playback/PlayWndMessager.h"
#include "playback/PlaybackBottomWidget.h"
#include "playback/VideoDetailDialog.h"

#include "extension/VideoSearchExpandInterface.h"
#include "search/CommonFunction.h"

#include "mirelog/Log.h"
#include "playwindow/PlaybackWindow.h"
#include "plexacontrol/ModalTipDialog.h"
#include "plexacontrol/UiSingleton.h"
#include "uidatacontroller/MessageTipManager.h"

#include "ui_ClipPlaybackBaseInfoWidget.h"
#include "ui_ClipPlaybackTitle.h"
#include "ui_PlaybackBottomWidget.h"

#include <QBoxLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QResizeEvent>
#include <QTabBar>

#include <algorithm>

namespace TeskVideoSearch {

namespace {

// Playback-event states that end a file.
bool IsPlaybackEnd(int state)
{
    return state == teskplaywindow::PlaybackEnded || state == teskplaywindow::PlaybackEndedNoData ||
           state == teskplaywindow::PlaybackEndedByRange;
}

// Vertical room taken by the margins and separators around the play area and the tabs.
constexpr int kChromeHeight = 81;
constexpr int kContentExtra = 79;
constexpr int kSideMargin = 0;
constexpr int kTabBarInset = 48;

constexpr int kTipFailure = 1;
constexpr int kTipFontPixels = 15;

const char *const kSaveQuestion = "Korv-ControlClient.bd2aa708805d4b55aa16d8e0f2398246.msg";

std::shared_ptr<teskplaycontroller::CLabelFile> LabelOf(const CClipPlaybackParam &param)
{
    const auto files = param.GetVal_playback_files();
    return files.isEmpty()
               ? nullptr
               : std::dynamic_pointer_cast<teskplaycontroller::CLabelFile>(files.first());
}

} // namespace

CClipPlaybackWidget::CClipPlaybackWidget(QWidget *parent)
    : QFrame(parent)
    , data_(std::make_shared<UClipPlaybackWidgetData>())
{
    auto &d = *data_;
    setObjectName("ptr_clip_playback_widget_");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    d.ptr_title_ = new CClipPlaybackTitle(this);
    layout->addWidget(d.ptr_title_);

    d.ptr_content_widget_ = new QWidget(this);
    d.ptr_content_widget_->setObjectName("ptr_content_widget_");
    auto *content = new QVBoxLayout(d.ptr_content_widget_);
    content->setContentsMargins(kSideMargin, 0, kSideMargin, 0);
    content->setSpacing(0);
    d.ptr_play_area_ = new QWidget(d.ptr_content_widget_);
    d.ptr_play_area_->setObjectName("ptr_play_area_");
    d.ptr_play_layout_ = new QVBoxLayout(d.ptr_play_area_);
    d.ptr_play_layout_->setContentsMargins(0, 0, 0, 0);
    content->addWidget(d.ptr_play_area_);

    d.ptr_tab_bar_ = new QTabBar(d.ptr_content_widget_);
    d.ptr_tab_bar_->setObjectName("ptr_tab_bar_");
    d.ptr_tab_bar_->setFixedHeight(kTabHeight);
    d.ptr_tab_bar_->addTab(tr("TheBasicInformation"));
    content->addWidget(d.ptr_tab_bar_);

    d.ptr_base_page_ = new QWidget(d.ptr_content_widget_);
    d.ptr_base_page_->setObjectName("ptr_base_page_");
    d.ptr_info_layout_ = new QVBoxLayout(d.ptr_base_page_);
    d.ptr_base_info_ = new CClipPlaybackBaseInfoWidget(d.ptr_base_page_);
    d.ptr_info_layout_->addWidget(d.ptr_base_info_, 0, Qt::AlignTop);
    content->addWidget(d.ptr_base_page_);

    d.ptr_map_page_ = new QWidget(d.ptr_content_widget_);
    d.ptr_map_page_->setObjectName("ptr_map_page_");
    d.ptr_map_layout_ = new QVBoxLayout(d.ptr_map_page_);
    d.ptr_map_layout_->setContentsMargins(0, 0, 0, 0);
    d.ptr_map_page_->hide();
    content->addWidget(d.ptr_map_page_);
    content->addStretch(1);
    layout->addWidget(d.ptr_content_widget_, 1);

    d.ptr_bottom_widget_ = new CPlaybackBottomWidget(this);
    connect(d.ptr_bottom_widget_, &CPlaybackBottomWidget::SignalPreviousClicked, this, [this] {
        emit SignalPlaybackCustomData(data_->param_.GetVal_current_data_id() - 1, true);
    });
    connect(d.ptr_bottom_widget_, &CPlaybackBottomWidget::SignalNextClicked, this, [this] {
        emit SignalPlaybackCustomData(data_->param_.GetVal_current_data_id() + 1, true);
    });
    connect(d.ptr_bottom_widget_, &CPlaybackBottomWidget::SignalSaveBntClicked, this,
            &CClipPlaybackWidget::OnModifyBtnClicked);
    connect(d.ptr_bottom_widget_, &CPlaybackBottomWidget::SignalDeleteClicked, this,
            &CClipPlaybackWidget::SignalDeleteCurrentFile);
    connect(d.ptr_bottom_widget_, &CPlaybackBottomWidget::SignalUnlockClicked, this,
            &CClipPlaybackWidget::SignalUnlockCurrentFile);
    connect(d.ptr_bottom_widget_, &CPlaybackBottomWidget::SignalContinuousPlay, this,
            [this](bool checked) {
                if (data_->ptr_play_window_)
                    data_->ptr_play_window_->SaveSpeedAndZoomParam(checked);
            });
    connect(d.ptr_title_, &CClipPlaybackTitle::SignalDeleteClicked, this,
            &CClipPlaybackWidget::SignalDeleteCurrentFile);
    connect(d.ptr_title_, &CClipPlaybackTitle::SignalUnlockClicked, this,
            &CClipPlaybackWidget::SignalUnlockCurrentFile);
    connect(d.ptr_title_, &CClipPlaybackTitle::SignalCloseClicked, this,
            &CClipPlaybackWidget::OnCloseBtnClicked);
    connect(d.ptr_title_, &CClipPlaybackTitle::SignalPopAuxBtnClicked, this,
            &CClipPlaybackWidget::OnPopAuxBtnClicked);
    connect(d.ptr_tab_bar_, &QTabBar::currentChanged, this,
            &CClipPlaybackWidget::OnCurrentTabBarChanged, Qt::UniqueConnection);
}

CClipPlaybackWidget::~CClipPlaybackWidget()
{
    if (data_->ptr_detail_dialog_)
        ExitDetailDialog(false);
    delete data_->ptr_detail_dialog_;
}

void CClipPlaybackWidget::InitWidget(CVideoSearchExpandInterface *expand, QWidget *owner)
{
    data_->ptr_expand_ = expand;
    data_->ptr_owner_ = owner;
}

void CClipPlaybackWidget::SetPlaybackWindow(teskplaywindow::CPlaybackWindow *play_window,
                                            QWidget *track_widget)
{
    data_->ptr_track_widget_ = track_widget;
    if (play_window && play_window != data_->ptr_play_window_) {
        data_->ptr_play_window_ = play_window;
        data_->ptr_play_layout_->addWidget(play_window);
        play_window->show();
        ConnectPlayWindow();
    }
}

void CClipPlaybackWidget::CreatePlayWindow()
{
    teskplaywindow::CPlaybackConfig config;
    config.SetVal_enable_split(1);
    config.SetVal_enable_local_record(0);
    config.SetVal_enable_tour(0);
    config.SetVal_max_speed_level(3);
    data_->ptr_play_window_ = new teskplaywindow::CPlaybackWindow(config, 0, data_->ptr_play_area_);
    data_->ptr_play_layout_->addWidget(data_->ptr_play_window_);
    // Shown now, not at the next turn of the event loop: the area may move to the dialog first.
    data_->ptr_play_window_->show();
    ConnectPlayWindow();
}

void CClipPlaybackWidget::ConnectPlayWindow()
{
    auto *window = data_->ptr_play_window_;
    connect(data_->ptr_base_info_, &CClipPlaybackBaseInfoWidget::SignalUpdatePlayWndTime, window,
            &teskplaywindow::CPlaybackWindow::OnSetRangeDateTime, Qt::UniqueConnection);
    connect(window, &teskplaywindow::CPlaybackWindow::SignalTagLockTimeRangeChanged,
            data_->ptr_base_info_, &CClipPlaybackBaseInfoWidget::OnTagLockTimeRangeChanged,
            Qt::UniqueConnection);
    connect(window, &teskplaywindow::CPlaybackWindow::SignalStreamGPSInfo, this,
            &CClipPlaybackWidget::OnStreamGPSInfo, Qt::UniqueConnection);
    connect(window, &teskplaywindow::CPlaybackWindow::SignalPlaybackEvent, this,
            &CClipPlaybackWidget::OnPlaybackEvent, Qt::UniqueConnection);
    connect(window, &teskplaywindow::CPlaybackWindow::SignalFullScreenChanged, this,
            [this](bool full) {
                if (full != data_->is_full_screen_)
                    full ? OnStartFullScreen() : OnExitFullScreen();
            });
}

bool CClipPlaybackWidget::CheckSaveModifiedTagInfo()
{
    return PlexaControl::CModalTipDialog::ShowModalTipDialog(
               tr(kSaveQuestion),
               PlexaControl::CModalTipDialog::ButtonOk |
                   PlexaControl::CModalTipDialog::ButtonCancel,
               PlexaControl::CModalTipDialog::IconWarning, this) == QDialog::Accepted;
}

void CClipPlaybackWidget::SetPlaybackParam(CClipPlaybackParam &param)
{
    auto &d = *data_;
    if (IsModifiedTagInfo() && CheckSaveModifiedTagInfo())
        emit SignalModifyTagInfo();
    ClearFile();
    if (d.ptr_expand_)
        d.ptr_expand_->ClearData();
    d.param_ = CClipPlaybackParam(*param.GetDataPtr());
    UpdateMapTab();

    if (!d.ptr_play_window_)
        CreatePlayWindow();
    d.ptr_play_window_->SetFullScreenParent(d.ptr_track_widget_ ? d.ptr_track_widget_.data()
                                                                : parentWidget());

    const auto camera = d.param_.GetVal_ptr_camera_for_play();
    const auto files = d.param_.GetVal_playback_files();
    const int kind = d.param_.GetVal_video_type();
    if (camera && !files.isEmpty()) {
        const bool is_body_camera =
            camera->GetCameraElement().GetVal_element_type() == kBodyCameraType;
        d.ptr_play_window_->OpenGPSAdditonDataCallBack(is_body_camera);
        teskplaycontroller::COrlPlayBackParamSet plan;
        camera->GetPlaybackParam(plan);
        int64_t start = files.first()->GetFileBegTime();
        const int64_t specified = d.param_.GetVal_specify_play_time();
        const int time_type = d.param_.GetVal_time_type().first;
        if (specified > 0 && files.last()->GetFileEndTime() <= specified) {
            TESK_LOG_INFO("Play time %lld lies after the result's files", (long long)specified);
            teskplaywindow::CPlaybackEvent ended;
            ended.SetVal_state(teskplaywindow::PlaybackEnded);
            ended.SetVal_utc_time(specified);
            OnPlaybackEvent(ended);
        } else {
            if (specified > 0)
                start = specified;
            d.ptr_play_window_->StartNormalPlayByFile(
                std::vector<PlaybackFilePtr>(files.begin(), files.end()), camera, start, time_type,
                plan.GetVal_location_type(),
                kind == PersonDetectVideo || kind == VehicleDetectVideo);
            d.ptr_play_window_->SetPlayWndControlBarJumpTime(true);
            if (IsTagKind(kind)) {
                const auto key = camera->GetResourceKey();
                d.ptr_play_window_->OnSetRangeDateTime(
                    teskplaywindow::TeskTimeConvert::GetDateTimeByUTCtime(
                        files.first()->GetFileBegTime(), time_type, key),
                    teskplaywindow::TeskTimeConvert::GetDateTimeByUTCtime(
                        files.last()->GetFileEndTime(), time_type, key));
            }
            d.ptr_play_window_->SetSeperatorDelegateVisible(IsTagKind(kind));
            if (auto context = d.ptr_play_window_->GetPlayContext()) {
                if (!d.ptr_messager_)
                    d.ptr_messager_ = new CPlayWndMessager(this);
                context->SetVal_ptr_video_sys_conf(&CSystemConfForPlayWnd::Instance());
                context->SetVal_ptr_message_notifier(d.ptr_messager_);
                CPlayWndMessager::SetMainWidget(parentWidget());
            }
            UpdateBaseInfo();
            d.ptr_tab_bar_->setCurrentIndex(0);
            d.ptr_base_page_->show();
            d.ptr_map_page_->hide();
            UpdatePlaybackWidgetHeight(size());
            UpdatePageControllWidgetInfoAndPos();
        }
    }
    d.ptr_bottom_widget_->setEnabled(true);
    d.ptr_bottom_widget_->AdjustButtonsToKind(kind);
    d.ptr_bottom_widget_->SetSaveEnabled(d.param_.GetVal_current_data_id() != -1);
    d.ptr_title_->AdjustButtonsToKind(kind);
    d.ptr_title_->SetButtonsEnabled(true, true);
    SetPreviosuAndNextButton(d.param_.GetVal_b_previous_btn_enable(),
                             d.param_.GetVal_b_next_btn_enable());
    if (property("PopDetailWidget").toBool())
        OnPopAuxBtnClicked();
}

void CClipPlaybackWidget::GetPlaybackParam(CClipPlaybackParam &param) const
{
    param = CClipPlaybackParam(*data_->param_.GetDataPtr());
}

void CClipPlaybackWidget::UpdateMapTab()
{
    auto &d = *data_;
    bool wanted = true;
    if (d.ptr_expand_) {
        const auto camera = d.param_.GetVal_ptr_camera_for_play();
        const unsigned int number =
            camera ? QString::fromStdString(camera->GetCameraID()).toUInt() : 0u;
        wanted = d.ptr_expand_->IsVideaSearchCameraAddMap(
            static_cast<ResourceData::ResourceType>(kMapResourceType), number);
    }
    if (!wanted && d.ptr_tab_bar_->count() == 2) {
        d.ptr_tab_bar_->removeTab(1);
    } else if (wanted && d.ptr_tab_bar_->count() == 1 && d.ptr_expand_) {
        QWidget *map = d.ptr_expand_->GetMapWidget();
        if (map) {
            d.ptr_map_widget_ = map;
            map->setParent(d.ptr_map_page_);
            d.ptr_map_layout_->addWidget(map);
            d.ptr_tab_bar_->addTab(
                tr("Korv-ControlClient.bc78ddbf48e24c41805a661478dae463.button"));
        }
    }
}

void CClipPlaybackWidget::UpdateBaseInfo()
{
    UpdateTagBaseInfo();
}

QString CClipPlaybackWidget::FilesTimeRange() const
{
    return CCommonFunction::GetPlaybackFileTimeRange(data_->param_.GetVal_time_type(),
                                                     data_->param_.GetVal_playback_files());
}

void CClipPlaybackWidget::UpdateTagBaseInfo()
{
    auto &d = *data_;
    const auto files = d.param_.GetVal_playback_files();
    const auto camera = d.param_.GetVal_ptr_camera_for_play();
    if (files.isEmpty() || !d.ptr_play_window_)
        return;
    const auto time_type = d.param_.GetVal_time_type();
    PlaybackBaseInfo info;
    info.camera_name = camera ? QString::fromStdString(camera->GetCameraName()) : QString();
    if (info.camera_name.isEmpty() && camera)
        info.camera_name = QString::fromStdString(camera->GetCameraID());
    info.period_name = CCommonFunction::GetPeriodNameByTimeType(d.param_.GetVal_is_show_time_type(),
                                                                time_type.first);
    info.period_text = FilesTimeRange();
    info.begin = files.first()->GetFileBegTime();
    info.end = files.last()->GetFileEndTime();
    const auto key = camera ? camera->GetResourceKey() : teskplaycontroller::CResourceKey();
    info.dt_begin =
        teskplaywindow::TeskTimeConvert::GetDateTimeByUTCtime(info.begin, time_type.first, key);
    info.dt_end =
        teskplaywindow::TeskTimeConvert::GetDateTimeByUTCtime(info.end, time_type.first, key);
    info.is_tag = IsTagKind(d.param_.GetVal_video_type());
    if (const auto label = LabelOf(d.param_)) {
        info.tag_name = QString::fromStdString(label->GetLabelName());
        info.tag_desc = QString::fromStdString(label->GetLabelDesc());
        info.label_type = label->GetRcordLabelType();
        info.tag_color = QString::fromStdString(label->GetLabelColor());
        info.tag_type_name = CCommonFunction::GetTypeNameByTagType(CCommonFunction::SwitchTagType(
            static_cast<RecordFileType::TagType>(label->GetRcordLabelType() - 100)));
    }
    d.ptr_base_info_->SetBaseInfo(info);
    d.ptr_title_->SetTitle(info.camera_name);
}

bool CClipPlaybackWidget::IsModifiedTagInfo() const
{
    const auto &d = *data_;
    const auto files = d.param_.GetVal_playback_files();
    if (!d.ptr_play_window_ || d.param_.GetVal_current_data_id() == -1 || files.isEmpty() ||
        !IsTagKind(d.param_.GetVal_video_type()))
        return false;
    const auto marks = d.ptr_play_window_->GetProgressBar()->GetSeperatorDelegateTimet();
    if (marks.first != files.first()->GetFileBegTime() ||
        marks.second != files.last()->GetFileEndTime())
        return true;
    const auto label = LabelOf(d.param_);
    if (!label)
        return false;
    return d.ptr_base_info_->GetTagName() != QString::fromStdString(label->GetLabelName()) ||
           d.ptr_base_info_->GetTagDesc() != QString::fromStdString(label->GetLabelDesc()) ||
           d.ptr_base_info_->GetLabelType() != label->GetRcordLabelType();
}

void CClipPlaybackWidget::GetModifyTagParam(
    QPair<teskplaycontroller::COperatLabelParam, QPair<VideoDataType, int>> &out) const
{
    const auto &d = *data_;
    out.second = qMakePair(d.param_.GetVal_video_type(), d.param_.GetVal_current_data_id());
    teskplaycontroller::COperatLabelParam record;
    record.SetVal_operation_type(teskplaycontroller::LabelOperationModify);
    if (const auto label = LabelOf(d.param_))
        record.SetVal_label_id(label->GetLabelID());
    record.SetVal_label_name(d.ptr_base_info_->GetTagName().toStdString());
    record.SetVal_label_desc(d.ptr_base_info_->GetTagDesc().toStdString());
    record.SetVal_label_type(d.ptr_base_info_->GetLabelType());
    if (d.ptr_play_window_) {
        const auto marks = d.ptr_play_window_->GetProgressBar()->GetSeperatorDelegateTimet();
        record.SetVal_begin_time(marks.first);
        record.SetVal_end_time(marks.second);
        record.SetVal_stream_type(d.ptr_play_window_->GetStreamTypeAtTm(marks.first));
    }
    if (const auto camera = d.param_.GetVal_ptr_camera_for_play()) {
        record.SetVal_camera_id(camera->GetCameraID());
        record.SetVal_site_id(camera->GetSiteID());
        record.SetVal_workstation_id(camera->GetWorkStationID());
        teskplaycontroller::COrlPlayBackParamSet plan;
        camera->GetPlaybackParam(plan);
        record.SetVal_location_type(plan.GetVal_location_type());
    }
    record.SetVal_time_type(d.param_.GetVal_time_type().first);
    out.first = record;
}

void CClipPlaybackWidget::ClosePlaybackWidget(bool ask_save)
{
    hide();
    if (ask_save && IsModifiedTagInfo() && CheckSaveModifiedTagInfo())
        emit SignalModifyTagInfo();
    if (property("ClosePopDetailWidget").toBool()) {
        setProperty("ClosePopDetailWidget", false);
        ExitDetailDialog(false);
    }
    if (data_->ptr_expand_)
        data_->ptr_expand_->ClearData();
    ClearFile();
    if (data_->ptr_play_window_)
        data_->ptr_play_window_->ClearPlayOrderParam();
    if (property("DoNotSendCloseSignal").toBool())
        setProperty("DoNotSendCloseSignal", false);
    else
        emit SignalClosePlayback();
    if (property("PageCtrlDisabled").toBool()) {
        setProperty("PageCtrlDisabled", false);
        data_->ptr_bottom_widget_->setEnabled(false);
        data_->ptr_title_->SetButtonsEnabled(false, false);
    }
}

void CClipPlaybackWidget::StopPlayback()
{
    if (data_->ptr_play_window_ && data_->ptr_play_window_->IsPlaying())
        data_->ptr_play_window_->StopPlay();
    emit SignalExitVisualTracking();
}

void CClipPlaybackWidget::ClearFile()
{
    StopPlayback();
    if (data_->ptr_play_window_)
        data_->ptr_play_window_->Clear();
    data_->param_.SetVal_playback_files({});
    data_->param_.SetVal_ptr_camera_for_play({});
    data_->b_map_loaded_ = false;
}

void CClipPlaybackWidget::SetPreviosuAndNextButton(bool previous, bool next)
{
    if (data_->ptr_bottom_widget_)
        data_->ptr_bottom_widget_->SetPreviousNextEnabled(previous, next);
}

void CClipPlaybackWidget::UpdatePlaybackDataID(const int &id)
{
    data_->param_.SetVal_current_data_id(id);
    if (id == -1)
        data_->ptr_bottom_widget_->SetSaveEnabled(false);
    UpdatePageControllWidgetInfoAndPos();
}

bool CClipPlaybackWidget::IsCheckedAutoPlay() const
{
    return data_->ptr_bottom_widget_->IsContinuousPlay();
}

QWidget *CClipPlaybackWidget::GetFullScreenWidget() const
{
    return data_->ptr_play_window_;
}

void CClipPlaybackWidget::UpdatePlaybackWidgetHeight(const QSize &size)
{
    auto &d = *data_;
    const int w = size.width();
    const int h = size.height();
    d.ptr_tab_bar_->setFixedWidth(std::max(0, w - kTabBarInset));
    const float scale = d.param_.GetVal_play_widget_height_widget_scale() > 0.0f
                            ? d.param_.GetVal_play_widget_height_widget_scale()
                            : 9.0f / 16.0f;
    const int video = static_cast<int>((w - 2 * kSideMargin) * scale + 64.0);
    d.ptr_play_area_->setFixedHeight(video);
    const int rest = h - d.ptr_title_->height() - video - kChromeHeight - kTabHeight;
    const int form = d.ptr_base_info_->sizeHint().height();
    int page = 0;
    if (d.ptr_base_info_->height() + 16 < rest) {
        d.ptr_info_layout_->setContentsMargins(24, 16, 24, std::max(0, rest - form));
        page = rest;
    } else {
        d.ptr_info_layout_->setContentsMargins(24, 16, 24, 0);
        page = form + 16;
    }
    d.ptr_base_info_->setFixedHeight(form);
    // Never narrower than the form's minimum, whatever room is left.
    page = std::max(page, kMinInfoHeight);
    d.ptr_base_page_->setFixedHeight(page);
    const int shown = d.ptr_tab_bar_->currentIndex() <= 0 ? page : d.ptr_map_page_->height();
    d.ptr_content_widget_->setFixedSize(w, video + kTabHeight + shown + kContentExtra);
}

int CClipPlaybackWidget::GetInfoPageHeight() const
{
    return data_->ptr_base_page_->height();
}

void CClipPlaybackWidget::UpdatePageControllWidgetInfoAndPos()
{
    auto &d = *data_;
    d.ptr_bottom_widget_->SetPosition(d.param_.GetVal_current_data_id(),
                                      d.param_.GetVal_total_num());
    if (!property("PopDetailWidget").toBool()) {
        d.ptr_bottom_widget_->setGeometry(1, height() - CPlaybackBottomWidget::kHeight, width(),
                                          CPlaybackBottomWidget::kHeight);
        d.ptr_bottom_widget_->raise();
    }
}

void CClipPlaybackWidget::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    UpdatePlaybackWidgetHeight(event->size());
    UpdatePageControllWidgetInfoAndPos();
}

void CClipPlaybackWidget::OnStartFullScreen()
{
    auto &d = *data_;
    if (d.is_full_screen_ || !d.ptr_play_window_)
        return;
    d.is_full_screen_ = true;
    d.ptr_play_window_->SetWndFullScreen(true);
    CPlayWndMessager::SetMainWidget(d.ptr_play_window_);
    emit SignalStartOrExitFullScreen(true);
}

void CClipPlaybackWidget::OnExitFullScreen()
{
    auto &d = *data_;
    if (!d.is_full_screen_ || !d.ptr_play_window_)
        return;
    d.is_full_screen_ = false;
    d.ptr_play_window_->SetWndFullScreen(false);
    CPlayWndMessager::SetMainWidget(parentWidget());
    emit SignalStartOrExitFullScreen(false);
}

void CClipPlaybackWidget::OnPlaybackEvent(teskplaywindow::CPlaybackEvent event)
{
    if (!IsPlaybackEnd(event.GetVal_state()) || !IsCheckedAutoPlay())
        return;
    const int next = data_->param_.GetVal_current_data_id() + 1;
    // The last result stays; there is nothing after it to play.
    if (data_->param_.GetVal_total_num() >= 0 && next >= data_->param_.GetVal_total_num())
        return;
    emit SignalPlaybackCustomData(next, false);
}

void CClipPlaybackWidget::OnGoToOtherModule()
{
    if (data_->is_full_screen_)
        OnExitFullScreen();
}

void CClipPlaybackWidget::OnCurrentTabBarChanged(int index)
{
    auto &d = *data_;
    d.ptr_base_page_->setVisible(index == 0);
    d.ptr_map_page_->setVisible(index != 0);
    if (index != 0 && !d.b_map_loaded_)
        LoadMapInfo();
    UpdatePlaybackWidgetHeight(size());
}

void CClipPlaybackWidget::LoadMapInfo()
{
    auto &d = *data_;
    const auto camera = d.param_.GetVal_ptr_camera_for_play();
    if (!d.ptr_expand_ || !camera)
        return;
    QJsonObject object;
    object["CamElementID"] = QString::fromStdString(camera->GetCameraID());
    object["IsBodyCam"] = camera->GetCameraElement().GetVal_element_type() == kBodyCameraType;
    d.ptr_expand_->LoadMapInfo(
        QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    d.b_map_loaded_ = true;
}

void CClipPlaybackWidget::OnStreamGPSInfo(teskplaywindow::CStreamGPSInfo info)
{
    if (!data_->ptr_expand_)
        return;
    QJsonObject object;
    object["strCurrTime"] = info.GetVal_str_time();
    object["longitude"] = info.GetVal_longitude();
    object["latitude"] = info.GetVal_latitude();
    object["longitude_hemiphere"] = info.GetVal_longitude_hemiphere();
    object["latitude_hemiphere"] = info.GetVal_latitude_hemiphere();
    object["isNeedLink"] = info.GetVal_need_link();
    data_->ptr_expand_->SendTrackInfo(
        QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

void CClipPlaybackWidget::OnModifyBtnClicked()
{
    if (IsModifiedTagInfo()) {
        emit SignalModifyTagInfo();
        return;
    }
    TESK_LOG_INFO("The tag was not edited; nothing to save");
    PlexaControl::CUiSingleton<tesk_ui_data_controller::CMessageTipManager>::Instance().ShowMessage(
        this, tr(kSaveQuestion), kTipFailure, 1, kTipFontPixels);
}

void CClipPlaybackWidget::OnCloseBtnClicked()
{
    ClosePlaybackWidget(true);
}

void CClipPlaybackWidget::OnPopAuxBtnClicked()
{
    auto &d = *data_;
    hide();
    if (!d.ptr_detail_dialog_) {
        d.ptr_detail_dialog_ = new CVideoDetailDialog(nullptr);
        connect(d.ptr_detail_dialog_, &CVideoDetailDialog::SignalExitDetailDialog, this,
                &CClipPlaybackWidget::OnExitDetailDialog);
    }
    if (!property("PopDetailWidget").toBool()) {
        d.ptr_play_area_->setParent(nullptr);
        d.ptr_detail_dialog_->PlayLayout()->addWidget(d.ptr_play_area_);
        d.ptr_detail_dialog_->InfoLayout()->addWidget(d.ptr_base_info_);
        d.ptr_detail_dialog_->InfoLayout()->addWidget(d.ptr_map_page_);
        d.ptr_detail_dialog_->InfoLayout()->addWidget(d.ptr_bottom_widget_);
        d.ptr_play_area_->show();
        d.ptr_base_info_->show();
        d.ptr_bottom_widget_->show();
        d.ptr_detail_dialog_->SetPlayArea(d.ptr_play_area_);
    }
    if (d.ptr_tab_bar_->count() == 2 && !d.b_map_loaded_)
        LoadMapInfo();
    d.ptr_bottom_widget_->AdjustButtonsToKind(d.param_.GetVal_video_type());
    const auto camera = d.param_.GetVal_ptr_camera_for_play();
    const QString name = camera ? QString::fromStdString(camera->GetCameraName()) : QString();
    d.ptr_detail_dialog_->SetDetailTitle(name + "  " + FilesTimeRange());
    if (!d.is_full_screen_)
        d.ptr_detail_dialog_->show();
    setProperty("PopDetailWidget", true);
}

void CClipPlaybackWidget::OnExitDetailDialog()
{
    ExitDetailDialog(true);
}

void CClipPlaybackWidget::ExitDetailDialog(bool show)
{
    auto &d = *data_;
    setProperty("PopDetailWidget", false);
    if (d.is_full_screen_)
        OnExitFullScreen();
    if (d.ptr_detail_dialog_)
        d.ptr_detail_dialog_->hide();
    auto *content = qobject_cast<QVBoxLayout *>(d.ptr_content_widget_->layout());
    content->insertWidget(0, d.ptr_play_area_);
    d.ptr_info_layout_->addWidget(d.ptr_base_info_, 0, Qt::AlignTop);
    content->insertWidget(3, d.ptr_map_page_);
    d.ptr_bottom_widget_->setParent(this);
    d.ptr_map_page_->setVisible(d.ptr_tab_bar_->currentIndex() != 0);
    d.ptr_bottom_widget_->show();
    UpdatePlaybackWidgetHeight(size());
    UpdatePageControllWidgetInfoAndPos();
    if (show) {
        setProperty("AutoShowWidget", true);
        this->show();
    }
}

teskplaywindow::CPlaybackWindow *CClipPlaybackWidget::GetPlayWindow() const
{
    return data_->ptr_play_window_;
}

CPlaybackBottomWidget *CClipPlaybackWidget::GetBottomWidget() const
{
    return data_->ptr_bottom_widget_;
}

CClipPlaybackTitle *CClipPlaybackWidget::GetTitleWidget() const
{
    return data_->ptr_title_;
}

CClipPlaybackBaseInfoWidget *CClipPlaybackWidget::GetBaseInfoWidget() const
{
    return data_->ptr_base_info_;
}

CVideoDetailDialog *CClipPlaybackWidget::GetDetailDialog() const
{
    return data_->ptr_detail_dialog_;
}

int CClipPlaybackWidget::GetTabCount() const
{
    return data_->ptr_tab_bar_->count();
}

} // namespace TeskVideoSearch
