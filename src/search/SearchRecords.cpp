#include "search/SearchRecords.h"

#include <mutex>

namespace TeskVideoSearch {

void RegisterSearchMetaTypes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        qRegisterMetaType<ClipSearchEvent>("ClipSearchEvent");
        qRegisterMetaType<std::shared_ptr<TimeSliderFile>>("std::shared_ptr<TimeSliderFile>");
        qRegisterMetaType<CCameraBaseInfo>("CCameraBaseInfo");
        qRegisterMetaType<teskplaycontroller::CCameraVideoSearchObserver::Param>(
            "teskplaycontroller::CCameraVideoSearchObserver::Param");
        qRegisterMetaType<teskplaycontroller::CVCAIncrementalObserver::Param>(
            "teskplaycontroller::CVCAIncrementalObserver::Param");
    });
}

ClipSearchEvent::ClipSearchEvent()
    : QEvent(kEventType)
{
    RegisterSearchMetaTypes();
}

ClipSearchEvent::ClipSearchEvent(const teskplaycontroller::CCameraVideoSearchObserver::Param &param)
    : QEvent(kEventType)
{
    RegisterSearchMetaTypes();
    data_.SetVal_event_type_(SwitchStateTypeToEventType(param));
}

ClipSearchEvent::ClipSearchEvent(const teskplaycontroller::CVCAIncrementalObserver::Param &param)
    : QEvent(kEventType)
{
    RegisterSearchMetaTypes();
    data_.SetVal_event_type_(SwitchStateTypeToEventType(param));
}

ClipSearchEvent::ClipSearchEvent(const ClipSearchEvent &other)
    : QEvent(other)
    , data_(other.data_)
{}

ClipSearchEvent &ClipSearchEvent::operator=(const ClipSearchEvent &other)
{
    QEvent::operator=(other);
    data_ = other.data_;
    return *this;
}

ClipSearchEvent::~ClipSearchEvent() = default;

ClipSearchEventType ClipSearchEvent::SwitchStateTypeToEventType(
    const teskplaycontroller::CCameraVideoSearchObserver::Param &param)
{
    switch (param.state_type) {
    case teskplaycontroller::CameraStateFailed:
        return ClipSearchFailed;
    case teskplaycontroller::CameraStateDone:
        return ClipSearchDataArrived;
    case teskplaycontroller::CameraStateFinished:
        return ClipSearchFinished;
    case teskplaycontroller::CameraStateInterrupted:
        return ClipSearchInterrupted;
    default:
        return ClipSearchNone;
    }
}

ClipSearchEventType ClipSearchEvent::SwitchStateTypeToEventType(
    const teskplaycontroller::CVCAIncrementalObserver::Param &param)
{
    switch (param.state_type) {
    case teskplaycontroller::VCAStateData:
        return ClipSearchDataArrived;
    case teskplaycontroller::VCAStateFailed:
        return ClipSearchFailed;
    case teskplaycontroller::VCAStateFinished:
        return ClipSearchFinished;
    default:
        return ClipSearchNone;
    }
}

TimeSliderFile::TimeSliderFile()
    : data_(std::make_shared<Fields>())
{}

TimeSliderFile::TimeSliderFile(std::string file_index, std::string file_name, int64_t begin,
                               int64_t end, TimeSliderFileType type, std::string source_camera_id)
    : data_(std::make_shared<Fields>())
{
    data_->file_index = std::move(file_index);
    data_->file_name = std::move(file_name);
    data_->begin = begin;
    data_->end = end;
    data_->file_type = type;
    data_->source_camera_id = std::move(source_camera_id);
}

TimeSliderFile::TimeSliderFile(const TimeSliderFile &other) = default;

TimeSliderFile &TimeSliderFile::operator=(const TimeSliderFile &other)
{
    if (this != &other)
        *data_ = *other.data_;
    return *this;
}

TimeSliderFile::~TimeSliderFile() = default;

} // namespace TeskVideoSearch
