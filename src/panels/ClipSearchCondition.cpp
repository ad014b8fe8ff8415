#include "panels/ClipSearchCondition.h"
#include "panels/ClipSearchCondition_p.h"

#include "panels/MessageTip.h"
#include "panels/SearchCalendarWidget.h"
#include "panels/TagConditionWidget.h"
#include "search/SearchPlan.h"

#include "mirelog/Log.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace TeskVideoSearch {

namespace {

// What the resource tree lists for the column: cameras and the storages recording them.
constexpr int kResourceCodeCamera = ResourceData::ResourceTypeCamera;
constexpr int kResourceCodeRecordStorage = 1010;
// A plan with this stream type records the stream the device picks; it is searched as main.
constexpr int kStreamTypeDeviceChosen = 10;
constexpr int kStreamTypeMain = 0;

// The plan under the storage the camera was ticked in, else its first plan.
Arborin::CRecordPlanInfo ChooseRecordPlan(const Arborin::CCameraRecordSetInfo &plans,
                                          int location_type)
{
    Arborin::CRecordPlanInfo chosen = plans.qvc_record_plans.front();
    for (const auto &plan : plans.qvc_record_plans) {
        if (plan.location_type == location_type) {
            chosen = plan;
            break;
        }
    }
    if (chosen.stream_type == kStreamTypeDeviceChosen)
        chosen.stream_type = kStreamTypeMain;
    return chosen;
}

} // namespace

CClipSearchCondition::CClipSearchCondition(QWidget *parent)
    : QWidget(parent)
    , ptr_data_(std::make_shared<ClipSearchConditionData>())
{
    ptr_data_->ui_.setupUi(this);
    setObjectName("CClipSearchCondition");
}

CClipSearchCondition::~CClipSearchCondition() = default;

void CClipSearchCondition::InitWidget(CConditionWidgetInitParam &param)
{
    if (property("Initialized").toBool())
        return;
    setProperty("Initialized", true);
    auto &d = *ptr_data_;
    auto &ui = d.ui_;
    d.init_param_ = param;

    Arborin::CSelectedResourceParam resource_param;
    resource_param.ptr_resource_parent = param.GetVal_ptr_resource_parent();
    resource_param.qvc_resource_codes = {kResourceCodeCamera, kResourceCodeRecordStorage};
    ui.ptr_resource_widget_->InitWidget(resource_param);
    ui.ptr_resource_widget_->SetSacTipButtonVisible(true);

    ui.ptr_calendar_widget_->Init();
    ui.ptr_calendar_widget_->AddTimeRanges(
        {RangeLastSixHours, RangeToday, RangeYesterday, RangeLastSevenDays, RangeCustom});
    ui.ptr_calendar_widget_->setCurrentIndex(
        ui.ptr_calendar_widget_->GetTimeRangeIndex(RangeToday));
    ui.ptr_calendar_widget_->SetMaxCustomInterval(static_cast<int>(kMaxSearchSpanSeconds / 86400));
    ui.ptr_tag_condition_widget_->Init(param.GetVal_tag_show_type());

    connect(ui.ptr_calendar_widget_, &CSearchCalendarWidget::SignalMaxCustomTimeError, this,
            [this](const QString &text) { ShowMessageTip(this, text); });
    connect(ui.ptr_search_btn_, &QPushButton::clicked, this,
            &CClipSearchCondition::SignalSearchClicked);
    connect(ui.ptr_resource_widget_,
            &Arborin::CSelectedStorageCameraWidget::SignalInsertResourceFinished, this,
            &CClipSearchCondition::OnInsertResourceFinished);
    connect(&OrlPluginManager::CDeviceBusinessMgr::Instance(),
            &OrlPluginManager::CDeviceBusinessMgr::SignalWakeUpCameraResultInMainThread, this,
            &CClipSearchCondition::OnWakeUpNotify);
    connect(ui.ptr_tag_condition_widget_, &CTagConditionWidget::SignalTagTypeChanged, this,
            &CClipSearchCondition::OnTagTypeChanged);
}

bool CClipSearchCondition::GetSearchTypes(QVector<VideoDataType> &types)
{
    types = ptr_data_->ui_.ptr_tag_condition_widget_->GetSearchKinds();
    if (types.isEmpty()) {
        ShowMessageTip(this, tr("Korv-ControlClient.0c47fc201897455f8766ee8cfe092672.msg"));
        return false;
    }
    return true;
}

bool CClipSearchCondition::GetSearchParam(OrlSearchTimeType::TimeType &time_type, int64_t &begin,
                                          int64_t &end)
{
    auto *calendar = ptr_data_->ui_.ptr_calendar_widget_;
    QDateTime begin_time;
    QDateTime end_time;
    calendar->GetTime(begin_time, end_time);
    time_type = calendar->GetTimeZoneMode();
    const qint64 begin_seconds = begin_time.toSecsSinceEpoch();
    const qint64 end_seconds = end_time.toSecsSinceEpoch();
    if (QString refusal; !CheckSearchPeriod(begin_seconds, end_seconds, refusal)) {
        ShowMessageTip(this, refusal);
        return false;
    }
    begin = begin_time.toTime_t();
    end = end_time.toTime_t();
    return true;
}

void CClipSearchCondition::GetStorageResources(QList<Arborin::SelectedStorageResource> &resources)
{
    resources = ptr_data_->ui_.ptr_resource_widget_->GetAllSelectedResource();
}

bool CClipSearchCondition::GetCameraInfo(QVector<CVideoSearchContionCameraInfo> &cameras,
                                         const QList<Arborin::SelectedStorageResource> &resources)
{
    cameras.clear();
    if (resources.isEmpty()) {
        ShowMessageTip(this, tr("PleaseSelectACamera"));
        return false;
    }
    QList<Arborin::SelectedStorageResource> used = resources;
    const int max_cameras = ptr_data_->init_param_.GetVal_max_camera_num();
    if (max_cameras > 0 && used.size() > max_cameras) {
        ShowMessageTip(this, tr("TheNumberOfCheckedModWIgYcki").arg(max_cameras));
        used = used.mid(0, max_cameras);
    }

    auto &camera_manager = OrlPluginManager::CCameraManager::Instance();
    auto &resource_manager = OrlPluginManager::CResourceBusinessInterfaceMgr::Instance();
    for (const auto &resource : used) {
        const auto camera = camera_manager.GetCameraByID(resource.site_id, resource.camera_id);
        if (!camera) {
            ShowMessageTip(this, tr("Korv-ControlClient.cebac1fb50f74653a316d109d2c1b583.msg"));
            continue;
        }
        OrlPluginManager::ResourcePermissionParam permission;
        permission.resource_id = resource.camera_id;
        permission.site_id = resource.site_id;
        permission.permission_item = ResourceData::PermissionPlayback;
        if (!resource_manager.CheckResourcePermission(permission))
            continue;
        const QString name = QString::fromStdString(camera->GetName());
        Arborin::CCameraRecordSetInfo plans;
        if (!Arborin::CDownloadRecordPlanObject::GetRecordPlan(resource.site_id, resource.camera_id,
                                                               plans) ||
            plans.qvc_record_plans.isEmpty()) {
            ShowMessageTip(this, tr("%VideoPlanNotConfiguCzLbRyXb").arg(name));
            continue;
        }
        const Arborin::CRecordPlanInfo plan = ChooseRecordPlan(plans, resource.location_type);

        teskplaycontroller::CCameraElement element;
        element.SetVal_camera_id(camera->GetID());
        element.SetVal_site_id(camera->GetSiteId());
        element.SetVal_camera_name(camera->GetName());
        element.SetVal_workstation_id(camera->GetDeviceId());
        element.SetVal_element_type(camera->element_type);
        CVideoSearchContionCameraInfo info;
        info.SetVal_ptr_camera_for_play(
            std::make_shared<teskplaycontroller::CCameraForPlay>(element));
        info.SetVal_camera_name(name);
        info.SetVal_location_type(plan.location_type);
        info.SetVal_storage_media_type(plan.storage_media_type);
        info.SetVal_stream_type(plan.stream_type);
        cameras << info;
    }
    return !cameras.isEmpty();
}

int CClipSearchCondition::GetTagType() const
{
    return ptr_data_->ui_.ptr_tag_condition_widget_->GetTagType();
}

QString CClipSearchCondition::GetTagName() const
{
    return ptr_data_->ui_.ptr_tag_condition_widget_->GetTagName();
}

void CClipSearchCondition::ClearCondition()
{
    auto &ui = ptr_data_->ui_;
    ui.ptr_calendar_widget_->ResetCustomIntervalTime();
    ui.ptr_resource_widget_->StopWorking();
    OrlPluginManager::CCameraManager::Instance().UninitManager();
}

void CClipSearchCondition::UpdateAfterSwitchUser()
{
    auto &ui = ptr_data_->ui_;
    ui.ptr_resource_widget_->UpdateAfterSwitchUser();
    ui.ptr_tag_condition_widget_->ResetCondition();
    ui.ptr_calendar_widget_->SetComboEditable(false);
    ui.ptr_calendar_widget_->setCurrentIndex(
        ui.ptr_calendar_widget_->GetTimeRangeIndex(RangeToday));
}

void CClipSearchCondition::GoToSearchByCustomParam(const std::string &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        const QString reason = error.error != QJsonParseError::NoError
                                   ? error.errorString()
                                   : QStringLiteral("not a JSON object");
        TESK_LOG_ERROR("Parsing json data failed. error:%s .", reason.toUtf8().constData());
        return;
    }
    const QJsonObject object = document.object();
    auto text = [&object](const char *key) {
        const QJsonValue value = object.value(QLatin1String(key));
        return value.isString() ? value.toString() : QString();
    };
    auto &ui = ptr_data_->ui_;
    const QString site_id = text("SiteID");
    const QString camera_id = text("ResourceID");
    if (!camera_id.isEmpty()) {
        Arborin::SelectedStorageResource resource;
        resource.site_id = site_id.toStdString();
        resource.camera_id = camera_id.toStdString();
        ui.ptr_resource_widget_->StopWorking();
        ui.ptr_resource_widget_->InsertSelectedResource({resource});
    }
    const QDateTime begin = QDateTime::fromString(text("StartTime"), Qt::ISODate);
    const QDateTime end = QDateTime::fromString(text("EndTime"), Qt::ISODate);
    if (begin.isValid() && end.isValid())
        ui.ptr_calendar_widget_->SetCustomTime(begin.toLocalTime(), end.toLocalTime());
}

CSearchCalendarWidget *CClipSearchCondition::GetCalendarWidget() const
{
    return ptr_data_->ui_.ptr_calendar_widget_;
}

CTagConditionWidget *CClipSearchCondition::GetTagConditionWidget() const
{
    return ptr_data_->ui_.ptr_tag_condition_widget_;
}

Arborin::CSelectedStorageCameraWidget *CClipSearchCondition::GetStorageCameraWidget() const
{
    return ptr_data_->ui_.ptr_resource_widget_;
}

// The kinds section folds and unfolds, so the column's layout changes its height.
void CClipSearchCondition::OnTagTypeChanged()
{
    updateGeometry();
}

void CClipSearchCondition::OnInsertResourceFinished()
{
    TESK_LOG_INFO("inserted cameras, %d selected",
                  ptr_data_->ui_.ptr_resource_widget_->GetAllSelectedResource().size());
}

void CClipSearchCondition::OnWakeUpNotify(QString workstation_id, QString camera_id,
                                          OrlPluginManager::EnumWakeupStatus status,
                                          QString error_info)
{
    TESK_LOG_INFO(" workstation_id:%s, camera_id:%s,state:%d", workstation_id.toUtf8().constData(),
                  camera_id.toUtf8().constData(), static_cast<int>(status));
    switch (status) {
    case OrlPluginManager::WakeupFailed:
    case OrlPluginManager::WakeupTimeout:
        ShowMessageTip(this, tr("WakeUpCameraFailedPqZrTmVx") +
                                 (error_info.isEmpty() ? QString() : " " + error_info));
        break;
    case OrlPluginManager::WakeupBusy:
        ShowMessageTip(this, tr("CameraIsWakingUpLsQnBxRe"));
        break;
    default:
        break;
    }
}

} // namespace TeskVideoSearch
