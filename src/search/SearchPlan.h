#pragma once

#include "TeskVideoSearchExport.h"
#include "search/SearchTypes.h"

#include "playcontroller/SearchCondition.h"

#include <QString>
#include <QVector>

#include <cstdint>

// What the condition column decides before a search starts, kept out of the widgets so that
// every host (the main panel, the console host) refuses and groups the same way.
namespace TeskVideoSearch {

// A search spans at most this long; a span of exactly this length is accepted.
constexpr int64_t kMaxSearchSpanSeconds = 7 * 24 * 3600;

// True when [begin, end] can be searched; otherwise `message` says why, in the operator's
// language: an end not after the begin, or a span longer than kMaxSearchSpanSeconds.
TESKVIDEOSEARCH_EXPORT bool CheckSearchPeriod(int64_t begin, int64_t end, QString &message);

// One search of the search road: its kind code, the kinds whose pages it fills (in the order
// asked for) and the filters its condition carries.
struct CSearchGroup
{
    teskplaycontroller::VideoSearchType search_type = teskplaycontroller::VideoSearchRecord;
    QVector<VideoDataType> kinds;
    int label_type = TagTypeInvalid; // tag searches only
    int event_type = 0;              // person-vehicle searches only: 1 both, 2 person, 4 vehicle
};

// Person-vehicle event types of CPersonVehicleExtra.
enum PersonVehicleEventType {
    PersonVehicleEventBoth = 1,
    PersonVehicleEventPerson = 2,
    PersonVehicleEventVehicle = 4,
};

// The searches that serve `kinds`: all and locked each on their own, in the order asked for;
// then one tag search for the event, manual and other tags; then one person-vehicle search.
// A kind named twice is served once; kinds without a page (7, 8) are ignored. `tag_choice` is
// the label type of a manual-tag search when the product type is not 2 (the simple condition's
// tag choice).
TESKVIDEOSEARCH_EXPORT QVector<CSearchGroup>
GroupKindsIntoSearches(const QVector<VideoDataType> &kinds, int product_type = 2,
                       int tag_choice = TagTypeManual);

// Turns `condition` into the search `group` names: its kind code, and the tag filter with the
// tag searches' camera type code, or the person-vehicle event filter. The tag name, when there
// is one, is the caller's to add to the label filter.
TESKVIDEOSEARCH_EXPORT void
ApplySearchGroup(const CSearchGroup &group,
                 teskplaycontroller::CCameraVideoSearchCondition &condition);

} // namespace TeskVideoSearch
