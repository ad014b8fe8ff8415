#pragma once

#include "TeskVideoSearchExport.h"

#include "playcontroller/RecordChange.h"

#include <QEvent>
#include <QMetaType>
#include <QString>

#include <cstdint>

namespace TeskVideoSearch {

// What a tag or lock request ended with.
enum TagLockOperateType : int32_t {
    OperateNone = 0,
    TagModifySuccess = 1,
    TagModifyFail = 2,
    TagDeleteSuccess = 3,
    TagDeleteFail = 4,
    UnlockSuccess = 5,
    UnlockFail = 6,
};

// The outcome of a tag or lock request, carried by value from the service's thread to the
// user-interface thread through a queued signal. Copies share nothing.
class TESKVIDEOSEARCH_EXPORT CTagLockOperateEvent : public QEvent
{
public:
    static constexpr QEvent::Type kEventType = QEvent::User;

    // Registers the meta-type as well, so that a queued signal can carry the event.
    CTagLockOperateEvent();
    CTagLockOperateEvent(const CTagLockOperateEvent &other);
    CTagLockOperateEvent &operator=(const CTagLockOperateEvent &other);
    ~CTagLockOperateEvent() override;

    // The service's error text of a failure; empty otherwise.
    QString GetErrorInfo() const { return error_info_; }
    void SetErrorInfo(const QString &text) { error_info_ = text; }
    TagLockOperateType GetOperateType() const
    {
        return static_cast<TagLockOperateType>(operate_type_);
    }
    void SetOperateType(TagLockOperateType type) { operate_type_ = type; }
    // For lock outcomes: the request that the outcome answers.
    teskplaycontroller::CLockRecordFileParam GetLockParam() const { return lock_param_; }
    void SetLockParam(const teskplaycontroller::CLockRecordFileParam &param);

private:
    QString error_info_;
    int32_t operate_type_ = OperateNone;
    teskplaycontroller::CLockRecordFileParam lock_param_;
};

} // namespace TeskVideoSearch

Q_DECLARE_METATYPE(TeskVideoSearch::CTagLockOperateEvent)
