#include "taglock/TagLockOperateEvent.h"

#include <mutex>

namespace TeskVideoSearch {

namespace {
// The record shares its structure between copies; an event's copy gets a structure of its own.
teskplaycontroller::CLockRecordFileParam Detached(const teskplaycontroller::CLockRecordFileParam &p)
{
    return teskplaycontroller::CLockRecordFileParam(p.GetData());
}
} // namespace

CTagLockOperateEvent::CTagLockOperateEvent()
    : QEvent(kEventType)
{
    static std::once_flag once;
    std::call_once(once, [] {
        qRegisterMetaType<CTagLockOperateEvent>("CTagLockOperateEvent");
        qRegisterMetaType<CTagLockOperateEvent>("TeskVideoSearch::CTagLockOperateEvent");
    });
}

CTagLockOperateEvent::CTagLockOperateEvent(const CTagLockOperateEvent &other)
    : QEvent(other)
    , error_info_(other.error_info_)
    , operate_type_(other.operate_type_)
    , lock_param_(Detached(other.lock_param_))
{}

CTagLockOperateEvent &CTagLockOperateEvent::operator=(const CTagLockOperateEvent &other)
{
    QEvent::operator=(other);
    error_info_ = other.error_info_;
    operate_type_ = other.operate_type_;
    lock_param_ = Detached(other.lock_param_);
    return *this;
}

CTagLockOperateEvent::~CTagLockOperateEvent() = default;

void CTagLockOperateEvent::SetLockParam(const teskplaycontroller::CLockRecordFileParam &param)
{
    lock_param_ = Detached(param);
}

} // namespace TeskVideoSearch
