#include "SearchPlan.h"

#include <QCoreApplication>

namespace TeskVideoSearch {

namespace {

// The camera type code a tag search carries for every camera.
constexpr int kTagSearchCameraTypeCode = 254;

// The condition column's product type with the full set of result pages.
constexpr int kFullProductType = 2;

// The condition column's messages live in its translation context.
const char *const kEndNotAfterBegin =
    QT_TRANSLATE_NOOP("TeskVideoSearch::CClipSearchCondition", "TheStartTimeShouldNoqwQajdBG");
const char *const kSpanTooLong =
    QT_TRANSLATE_NOOP("TeskVideoSearch::CClipSearchCondition", "SearchForVideoClipsWsfvfFlzo");

QString ConditionText(const char *key)
{
    return QCoreApplication::translate("TeskVideoSearch::CClipSearchCondition", key);
}

} // namespace

bool CheckSearchPeriod(int64_t begin, int64_t end, QString &message)
{
    if (begin >= end) {
        message = ConditionText(kEndNotAfterBegin);
        return false;
    }
    if (end - begin > kMaxSearchSpanSeconds) {
        message = ConditionText(kSpanTooLong);
        return false;
    }
    message.clear();
    return true;
}

QVector<CSearchGroup> GroupKindsIntoSearches(const QVector<VideoDataType> &kinds, int product_type,
                                             int tag_choice)
{
    QVector<CSearchGroup> groups;
    CSearchGroup tags;
    tags.search_type = teskplaycontroller::VideoSearchTag;
    CSearchGroup person_vehicle;
    person_vehicle.search_type = teskplaycontroller::VideoSearchPersonVehicle;
    QVector<VideoDataType> seen;
    for (VideoDataType kind : kinds) {
        if (seen.contains(kind))
            continue;
        seen.push_back(kind);
        switch (kind) {
        case RegularVideo:
            groups.push_back({teskplaycontroller::VideoSearchRecord, {kind}});
            break;
        case LockVideo:
            groups.push_back({teskplaycontroller::VideoSearchLock, {kind}});
            break;
        case EventAlarmVideo:
        case TagVideo:
        case OtherVideo:
            tags.kinds.push_back(kind);
            break;
        case PersonDetectVideo:
        case VehicleDetectVideo:
            person_vehicle.kinds.push_back(kind);
            break;
        default:
            break;
        }
    }
    if (!tags.kinds.isEmpty()) {
        const bool event = seen.contains(EventAlarmVideo);
        const bool manual = seen.contains(TagVideo);
        const bool other = seen.contains(OtherVideo);
        if (manual && product_type != kFullProductType)
            tags.label_type = tag_choice;
        else if (manual)
            tags.label_type = event || other ? TagTypeAll : TagTypeManual;
        else if (event)
            tags.label_type = other ? TagTypeAll : TagTypeEventLinkage;
        else
            tags.label_type = TagTypeOther;
        groups.push_back(tags);
    }
    if (!person_vehicle.kinds.isEmpty()) {
        const bool person = seen.contains(PersonDetectVideo);
        const bool vehicle = seen.contains(VehicleDetectVideo);
        person_vehicle.event_type = person && vehicle ? PersonVehicleEventBoth
                                    : person          ? PersonVehicleEventPerson
                                                      : PersonVehicleEventVehicle;
        groups.push_back(person_vehicle);
    }
    return groups;
}

void ApplySearchGroup(const CSearchGroup &group,
                      teskplaycontroller::CCameraVideoSearchCondition &condition)
{
    condition.SetVal_search_type(group.search_type);
    if (group.search_type == teskplaycontroller::VideoSearchTag) {
        auto label = std::make_shared<teskplaycontroller::CLableExtra>();
        label->SetVal_label_type(group.label_type);
        condition.SetVal_ptr_label_extra(label);
        auto cameras = condition.GetVal_tesk_camera_info();
        for (auto &camera : cameras)
            camera.SetVal_camera_type_code(kTagSearchCameraTypeCode);
        condition.SetVal_tesk_camera_info(cameras);
    } else if (group.search_type == teskplaycontroller::VideoSearchPersonVehicle) {
        auto extra = std::make_shared<teskplaycontroller::CPersonVehicleExtra>();
        extra->SetVal_event_type(group.event_type);
        condition.SetVal_ptr_person_vehicle_extra(extra);
        condition.SetVal_event_type(group.event_type);
    }
}

} // namespace TeskVideoSearch
