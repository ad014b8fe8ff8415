#pragma once

#include "quorbase/Observer.h"
#include "quorbase/ValueClass.h"

#include <QMetaType>

#include <cstdint>
#include <string>

namespace teskplaycontroller {

// The operation field of a tag request.
enum LabelOperationType : int {
    LabelOperationAdd = 1,
    LabelOperationModify = 2,
    LabelOperationDelete = 3,
};

// The operation field of a lock request.
enum LockOperationType : int {
    LockOperationUnlock = 0,
    LockOperationLock = 1,
};

// The state of a tag notification: a failure and a success per operation.
enum LabelStateType : int {
    LabelStateAddFail = 0,
    LabelStateAddSuccess = 1,
    LabelStateModifyFail = 2,
    LabelStateModifySuccess = 3,
    LabelStateDeleteFail = 4,
    LabelStateDeleteSuccess = 5,
};

// The state of a lock notification.
enum LockStateType : int {
    LockStateLockFail = 0,
    LockStateLockSuccess = 1,
    LockStateUnlockFail = 2,
    LockStateUnlockSuccess = 3,
};

// A tag to add, modify or delete. The camera is named by its identifier and its site (or its
// workstation, which names the site on recorders that serve one site each). A modification
// sets the name, description, type and, when `begin_time` is positive, the span.
// `operator_name` is who asks, for the recorder's audit; empty: the account running the client.
#define TESK_FIELDS_OperatLabelParam(F)                                                            \
    F(int, operation_type, LabelOperationModify)                                                   \
    F(std::string, label_id, {})                                                                   \
    F(std::string, camera_id, {})                                                                  \
    F(std::string, workstation_id, {})                                                             \
    F(std::string, site_id, {})                                                                    \
    F(std::string, label_name, {})                                                                 \
    F(std::string, label_desc, {})                                                                 \
    F(int, label_type, 101)                                                                        \
    F(int64_t, begin_time, 0)                                                                      \
    F(int64_t, end_time, 0)                                                                        \
    F(int, time_type, 0)                                                                           \
    F(int, location_type, 0)                                                                       \
    F(int, stream_type, 0)                                                                         \
    F(std::string, operator_name, {})
TESK_VALUE_CLASS(, COperatLabelParam, OperatLabelParam, TESK_FIELDS_OperatLabelParam)

// A recording span to lock or unlock; the span is that of the locked file as a search found it.
#define TESK_FIELDS_LockRecordFileParam(F)                                                         \
    F(std::string, camera_id, {})                                                                  \
    F(std::string, workstation_id, {})                                                             \
    F(int64_t, begin_time, 0)                                                                      \
    F(int64_t, end_time, 0)                                                                        \
    F(int, operation_type, LockOperationUnlock)                                                    \
    F(int, location_type, 0)                                                                       \
    F(std::string, site_id, {})                                                                    \
    F(std::string, operator_name, {})
TESK_VALUE_CLASS(, CLockRecordFileParam, LockRecordFileParam, TESK_FIELDS_LockRecordFileParam)

#define TESK_FIELDS_LabelMgrObserverParam(F)                                                       \
    F(int, state_type, LabelStateModifyFail)                                                       \
    F(std::string, str_error_code, {})                                                             \
    F(COperatLabelParam, label_param, {})
TESK_VALUE_CLASS(, CLabelMgrObserverParam, LabelMgrObserverParam, TESK_FIELDS_LabelMgrObserverParam)

#define TESK_FIELDS_LockMgrObserverParam(F)                                                        \
    F(int, state_type, LockStateUnlockFail)                                                        \
    F(std::string, str_error_code, {})                                                             \
    F(CLockRecordFileParam, lock_param, {})
TESK_VALUE_CLASS(, CLockMgrObserverParam, LockMgrObserverParam, TESK_FIELDS_LockMgrObserverParam)

// Outcomes of tag requests, delivered on the tag service's thread.
class CLabelMgrObserver : public Quor::Base::IBaseObserver
{
public:
    virtual void UpdateLabelOperateState(const CLabelMgrObserverParam &param) = 0;
};

// Outcomes of lock requests, delivered on the lock service's thread.
class CLockMgrObserver : public Quor::Base::IBaseObserver
{
public:
    virtual void UpdateLockOperateState(const CLockMgrObserverParam &param) = 0;
};

} // namespace teskplaycontroller

Q_DECLARE_METATYPE(teskplaycontroller::CLockRecordFileParam)
Q_DECLARE_METATYPE(teskplaycontroller::COperatLabelParam)
