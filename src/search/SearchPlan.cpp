#include "SearchPlan.h"

#include <QCoreApplication>

namespace TeskVideoSearch {

namespace {

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

} // namespace TeskVideoSearch
