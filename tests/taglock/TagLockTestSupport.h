#pragma once

#include "taglock/TagLockOperateController.h"

#include "playcontroller/LabelManager.h"
#include "playcontroller/LockManager.h"
#include "plexacontrol/ChaseDialog.h"
#include "uidatacontroller/MessageTipManager.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace TagLockTest {

inline teskplaycontroller::CLabelManager &LabelManager()
{
    return Quor::Base::CSingleton<teskplaycontroller::CLabelManager>::Instance();
}

inline teskplaycontroller::CLockManager &LockManager()
{
    return Quor::Base::CSingleton<teskplaycontroller::CLockManager>::Instance();
}

inline tesk_ui_data_controller::CMessageTipManager &Tips()
{
    return PlexaControl::CUiSingleton<tesk_ui_data_controller::CMessageTipManager>::Instance();
}

// Counts every notification the two services send, whoever asked, and those that answer a
// drain request (named kDrain); lets a test wait until a service has answered even when the
// controller ignores the answer.
class CNotificationCounter : public teskplaycontroller::CLabelMgrObserver,
                             public teskplaycontroller::CLockMgrObserver
{
public:
    CNotificationCounter()
    {
        LabelManager().RegisterObserver(this);
        LockManager().RegisterObserver(this);
    }
    ~CNotificationCounter() override
    {
        LabelManager().SyncUnregisterObserver(this);
        LockManager().SyncUnregisterObserver(this);
    }
    static constexpr const char *kDrain = "drain";

    void UpdateLabelOperateState(const teskplaycontroller::CLabelMgrObserverParam &param) override
    {
        ++count;
        if (param.GetVal_label_param().GetVal_label_id() == kDrain)
            ++drains;
    }
    void UpdateLockOperateState(const teskplaycontroller::CLockMgrObserverParam &param) override
    {
        ++count;
        if (param.GetVal_lock_param().GetVal_camera_id() == kDrain)
            ++drains;
    }

    std::atomic<int> count{0};
    std::atomic<int> drains{0};
};

// A window that hosts a controller, with the events it emitted collected on the test thread.
struct ControllerHost
{
    ControllerHost()
        : window(std::make_unique<QWidget>())
    {
        window->resize(640, 360);
        window->setObjectName(QStringLiteral("host_window"));
        window->show();
        controller = new TeskVideoSearch::CTagLockOperateController(window.get());
        // The receiver lives on this thread, so the service's emission arrives queued.
        QObject::connect(
            controller, &TeskVideoSearch::CTagLockOperateController::SignalOperateFinished,
            &receiver,
            [this](TeskVideoSearch::CTagLockOperateEvent event) { events.push_back(event); });
    }

    PlexaControl::CChaseDialog *Dialog() const
    {
        return window->findChild<PlexaControl::CChaseDialog *>();
    }

    std::unique_ptr<QWidget> window;
    TeskVideoSearch::CTagLockOperateController *controller = nullptr;
    QObject receiver;
    std::vector<TeskVideoSearch::CTagLockOperateEvent> events;
};

// Runs `action` from the event loop as soon as `dialog` shows: the dialog runs a nested loop
// of its own, so a test acts on it from there.
inline void WhenDialogShows(PlexaControl::CChaseDialog *dialog, std::function<void()> action)
{
    auto *timer = new QTimer(dialog);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, dialog, [timer, dialog, action] {
        if (!dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start();
}

constexpr int kWaitMs = 20000;

inline bool WaitFor(const std::function<bool()> &condition)
{
    return QTest::qWaitFor(condition, kWaitMs);
}

} // namespace TagLockTest
