#pragma once

#include "TeskVideoSearchExport.h"

#include "taglock/TagLockOperateEvent.h"

#include "playcontroller/RecordChange.h"

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace TeskVideoSearch {

struct TagLockOperateControllerData;

// Modifies and deletes tags and unlocks recordings through the playback controller, one
// request at a time, with a modal waiting dialog while a request runs and a tip when it ends.
// Every outcome also goes out as SignalOperateFinished, from the service's thread.
class TESKVIDEOSEARCH_EXPORT CTagLockOperateController
    : public QObject,
      public teskplaycontroller::CLockMgrObserver,
      public teskplaycontroller::CLabelMgrObserver
{
    Q_OBJECT
public:
    // `parent` owns the waiting dialog and hosts the tips.
    explicit CTagLockOperateController(QWidget *parent);
    ~CTagLockOperateController() override;

    // Both drop the request silently while another one runs.
    void StartLockOperate(const teskplaycontroller::LockRecordFileParam &param);
    void StartLabelOperate(const teskplaycontroller::OperatLabelParam &param);

    bool IsOperating() const;

signals:
    void SignalOperateFinished(CTagLockOperateEvent operate_event);

private slots:
    void OnOperateFinished(CTagLockOperateEvent operate_event);

private:
    void UpdateLockOperateState(const teskplaycontroller::CLockMgrObserverParam &param) override;
    void UpdateLabelOperateState(const teskplaycontroller::CLabelMgrObserverParam &param) override;

    void StartOperate(const char *what, const std::function<void()> &hand_over);
    void OpenChaseDialog();
    // Ends the wait of a request that ended without an outcome to report.
    void StopChaseLater();

    std::shared_ptr<TagLockOperateControllerData> d_;
};

} // namespace TeskVideoSearch
