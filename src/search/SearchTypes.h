#pragma once

#include "TeskVideoSearchExport.h"

#include <cstdint>

// The kinds and enumerations that every subsystem of the module shares.
namespace TeskVideoSearch {

// The kind of recordings a result page shows. The underlying type is fixed because hosts and
// the pages pass kinds as plain ints: an out-of-range value must reach the range checks, not be
// undefined.
enum VideoDataType : int {
    RegularVideo = 0,
    PersonDetectVideo = 1,
    VehicleDetectVideo = 2,
    EventAlarmVideo = 3,
    TagVideo = 4,
    LockVideo = 5,
    OtherVideo = 6,
    AllCameraFileVideo = 7, // every file of a camera; no page of its own
    VcaSearchVideo = 8,
};

// The kinds whose results are tags (and share one tag search and one controller).
inline bool IsTagKind(int kind)
{
    return kind == EventAlarmVideo || kind == TagVideo || kind == OtherVideo;
}

enum VideoSearchTagType {
    TagTypeAll = 100,
    TagTypeManual = 101,
    TagTypeEventLinkage = 102,
    TagTypeOther = 103,
    // Tag choices of the simple condition; none of them filters by tag kind.
    TagChoiceAll = 200,
    TagChoiceRed = 201,
    TagChoiceBlue = 202,
    TagChoiceGreen = 203,
    TagChoiceYellow = 204,
    TagTypeInvalid = -1,
};

enum ClipSearchEventType {
    ClipSearchNone = 0,
    ClipSearchFailed = 1,
    ClipSearchDataArrived = 2,
    ClipSearchFinished = 3,
    ClipSearchInterrupted = 4,
    // The VCA service's notices A (7) and B (8) of a search other than the running one.
    ClipSearchOtherVcaNoticeA = 6,
    ClipSearchOtherVcaNoticeB = 7,
};

enum FileSortType {
    SortStored = 0,
    SortBeginAscending = 1,
    SortNewestFirst = 2,
};

enum SearchResultShowType {
    ShowThumbnail = 0,
    ShowList = 1,
};

enum TimeSliderFileType {
    SliderRegular = 0,
    SliderAlarm = 1,
    SliderMotion = 2,
    SliderTag = 3,
    SliderLock = 4,
    SliderIntelligent = 7,
};

enum ProgressBarDragState {
    DragNone = -1,
    DragPressed = 0,
    DragMoving = 1,
    DragDwell = 2,
    DragReleased = 3,
};

enum AbstractDelegateType : int {
    RecordFileDelegate = 0,
};

enum MultiPageMoreTipState {
    MoreTipText = 0,
    MoreTipLoading = 1,
};

enum OperationType {
    OperationPlay = 0,
    OperationSecondSearch = 1,
    OperationSplit = 2,
};

// Segment lengths of a second split: 10800, 1800, 1200, 600, 300, 120 and 60 seconds.
enum SecondSplitTimeType {
    SplitThreeHours = 0,
    SplitHalfHour = 1,
    SplitTwentyMinutes = 2,
    SplitTenMinutes = 3,
    SplitFiveMinutes = 4,
    SplitTwoMinutes = 5,
    SplitOneMinute = 6,
};

enum TimeRangeType {
    RangeLastSixHours = 0,
    RangeToday = 1,
    RangeYesterday = 2,
    RangeLastSevenDays = 3,
    RangeCustom = 4,
};

enum TagDisplayType {
    TagDisplaySimple = 0,
    TagDisplayFull = 1,
};

// Passed through to the data manager and the extraction unchanged.
enum FilterVCADataType {
    FilterVcaNone = 0,
    FilterVcaPerson = 1,
    FilterVcaVehicle = 2,
};

// The host's sub-stream capability values.
enum NoSupportSubStreamType {
    SubStreamSupported = 0,
    SubStreamUnsupported = 1,
};

} // namespace TeskVideoSearch
