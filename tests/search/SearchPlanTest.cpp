#include "search/SearchPlan.h"

#include <gtest/gtest.h>

using namespace TeskVideoSearch;
using teskplaycontroller::VideoSearchLock;
using teskplaycontroller::VideoSearchPersonVehicle;
using teskplaycontroller::VideoSearchRecord;
using teskplaycontroller::VideoSearchTag;

TEST(CheckSearchPeriod, RefusesWhatTheConditionColumnRefuses)
{
    constexpr int64_t t = 1764900000;
    struct Case
    {
        const char *name;
        int64_t begin;
        int64_t end;
        const char *message; // null: accepted
    };
    const Case cases[] = {
        {"one second", t, t + 1, nullptr},
        {"exactly seven days", t, t + kMaxSearchSpanSeconds, nullptr},
        {"seven days and a second", t, t + kMaxSearchSpanSeconds + 1,
         "SearchForVideoClipsWsfvfFlzo"},
        {"empty", t, t, "TheStartTimeShouldNoqwQajdBG"},
        {"reversed", t + 10, t, "TheStartTimeShouldNoqwQajdBG"},
        {"reversed by more than seven days", t + 2 * kMaxSearchSpanSeconds, t,
         "TheStartTimeShouldNoqwQajdBG"},
    };
    for (const Case &c : cases) {
        QString message = "stale";
        const bool ok = CheckSearchPeriod(c.begin, c.end, message);
        EXPECT_EQ(ok, c.message == nullptr) << c.name;
        // The test binary installs no translations: the message is its key.
        EXPECT_EQ(message, c.message ? QString(c.message) : QString()) << c.name;
    }
}

namespace {

struct Expected
{
    teskplaycontroller::VideoSearchType type;
    QVector<VideoDataType> kinds;
    int label_type;
    int event_type;
};

} // namespace

TEST(GroupKindsIntoSearches, OneSearchPerGroupOfKinds)
{
    struct Case
    {
        const char *name;
        QVector<VideoDataType> kinds;
        int product_type;
        QVector<Expected> groups;
    };
    const int none = TagTypeInvalid;
    const Case cases[] = {
        {"nothing", {}, 2, {}},
        {"every kind",
         {RegularVideo, PersonDetectVideo, VehicleDetectVideo, EventAlarmVideo, TagVideo, LockVideo,
          OtherVideo},
         2,
         {{VideoSearchRecord, {RegularVideo}, none, 0},
          {VideoSearchLock, {LockVideo}, none, 0},
          {VideoSearchTag, {EventAlarmVideo, TagVideo, OtherVideo}, TagTypeAll, 0},
          {VideoSearchPersonVehicle, {PersonDetectVideo, VehicleDetectVideo}, none, 1}}},
        {"locked before all keeps the order asked for",
         {LockVideo, RegularVideo},
         2,
         {{VideoSearchLock, {LockVideo}, none, 0}, {VideoSearchRecord, {RegularVideo}, none, 0}}},
        {"tags before all still search after it",
         {OtherVideo, RegularVideo},
         2,
         {{VideoSearchRecord, {RegularVideo}, none, 0},
          {VideoSearchTag, {OtherVideo}, TagTypeOther, 0}}},
        {"event tags only", {EventAlarmVideo}, 2, {{VideoSearchTag, {EventAlarmVideo}, 102, 0}}},
        {"manual and event tags",
         {TagVideo, EventAlarmVideo},
         2,
         {{VideoSearchTag, {TagVideo, EventAlarmVideo}, TagTypeAll, 0}}},
        {"manual tags of the simple product take the tag choice",
         {RegularVideo, TagVideo, LockVideo},
         1,
         {{VideoSearchRecord, {RegularVideo}, none, 0},
          {VideoSearchLock, {LockVideo}, none, 0},
          {VideoSearchTag, {TagVideo}, TagChoiceRed, 0}}},
        {"vehicle only",
         {VehicleDetectVideo},
         2,
         {{VideoSearchPersonVehicle, {VehicleDetectVideo}, none, 4}}},
        {"a kind named twice is searched once",
         {RegularVideo, TagVideo, RegularVideo, TagVideo, PersonDetectVideo, PersonDetectVideo},
         2,
         {{VideoSearchRecord, {RegularVideo}, none, 0},
          {VideoSearchTag, {TagVideo}, TagTypeManual, 0},
          {VideoSearchPersonVehicle, {PersonDetectVideo}, none, 2}}},
        {"kinds without a page are ignored", {AllCameraFileVideo, VcaSearchVideo}, 2, {}},
    };
    for (const Case &c : cases) {
        const QVector<CSearchGroup> groups =
            GroupKindsIntoSearches(c.kinds, c.product_type, TagChoiceRed);
        ASSERT_EQ(groups.size(), c.groups.size()) << c.name;
        for (int i = 0; i < groups.size(); ++i) {
            EXPECT_EQ(groups[i].search_type, c.groups[i].type) << c.name << " #" << i;
            EXPECT_EQ(groups[i].kinds, c.groups[i].kinds) << c.name << " #" << i;
            EXPECT_EQ(groups[i].label_type, c.groups[i].label_type) << c.name << " #" << i;
            EXPECT_EQ(groups[i].event_type, c.groups[i].event_type) << c.name << " #" << i;
        }
    }
}

TEST(ApplySearchGroup, CarriesEachSearchsFilterAndNoOther)
{
    teskplaycontroller::CCameraVideoSearchCondition base;
    base.SetVal_tesk_camera_info(QVector<teskplaycontroller::CTeskCameraInfo>(2));
    for (const CSearchGroup &group : GroupKindsIntoSearches(
             {RegularVideo, TagVideo, PersonDetectVideo, LockVideo}, 2, TagTypeManual)) {
        teskplaycontroller::CCameraVideoSearchCondition condition(base.GetData());
        ApplySearchGroup(group, condition);
        EXPECT_EQ(condition.GetVal_search_type(), group.search_type);
        const bool tag = group.search_type == teskplaycontroller::VideoSearchTag;
        const bool person = group.search_type == teskplaycontroller::VideoSearchPersonVehicle;
        ASSERT_EQ(condition.GetVal_ptr_label_extra() != nullptr, tag);
        ASSERT_EQ(condition.GetVal_ptr_person_vehicle_extra() != nullptr, person);
        if (tag) {
            EXPECT_EQ(condition.GetVal_ptr_label_extra()->GetVal_label_type(), group.label_type);
        }
        if (person) {
            EXPECT_EQ(condition.GetVal_ptr_person_vehicle_extra()->GetVal_event_type(),
                      group.event_type);
            EXPECT_EQ(condition.GetVal_event_type(), group.event_type);
        }
        for (const auto &camera : condition.GetVal_tesk_camera_info())
            EXPECT_EQ(camera.GetVal_camera_type_code(), tag ? 254 : 0);
    }
}
