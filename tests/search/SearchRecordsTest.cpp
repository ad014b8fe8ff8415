#include "search/SearchRecords.h"
#include "search/VideoSearchController.h"
#include "search/WidgetRecords.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>

#include <type_traits>

using namespace TeskVideoSearch;

namespace {

// A host writes the documented signatures with the 64-bit names of its own compiler.
static_assert(std::is_same<__int64, int64_t>::value, "__int64");
static_assert(std::is_same<unsigned __int64, uint64_t>::value, "unsigned __int64");
[[maybe_unused]] void (CVideoSearchController::*const kHostDeleteUnlock)(
    CResourceKey &, const __int64 &, const __int64 &) = &CVideoSearchController::DeleteUnlockFile;

class Emitter : public QObject
{
    Q_OBJECT
signals:
    void Event(TeskVideoSearch::ClipSearchEvent event);
    void Slider(std::shared_ptr<TeskVideoSearch::TimeSliderFile> file);
};

class Receiver : public QObject
{
    Q_OBJECT
public:
    ClipSearchEvent event;
    std::shared_ptr<TimeSliderFile> slider;
    Qt::HANDLE thread = nullptr;
public slots:
    void OnEvent(TeskVideoSearch::ClipSearchEvent e)
    {
        event = e;
        thread = QThread::currentThreadId();
    }
    void OnSlider(std::shared_ptr<TeskVideoSearch::TimeSliderFile> f) { slider = f; }
};

TEST(MetaTypes, QueuedSignalsCarryRecordsAcrossThreads)
{
    RegisterSearchMetaTypes();
    EXPECT_NE(QMetaType::type("ClipSearchEvent"), 0);
    EXPECT_NE(QMetaType::type("std::shared_ptr<TimeSliderFile>"), 0);
    EXPECT_NE(QMetaType::type("teskplaycontroller::CCameraVideoSearchObserver::Param"), 0);
    EXPECT_NE(QMetaType::type("teskplaycontroller::CVCAIncrementalObserver::Param"), 0);

    Emitter emitter;
    Receiver receiver;
    QObject::connect(&emitter, &Emitter::Event, &receiver, &Receiver::OnEvent,
                     Qt::QueuedConnection);
    QObject::connect(&emitter, &Emitter::Slider, &receiver, &Receiver::OnSlider,
                     Qt::QueuedConnection);
    QThread *worker = QThread::create([&] {
        teskplaycontroller::CCameraVideoSearchObserver::Param param;
        param.state_type = 3;
        ClipSearchEvent event(param);
        CClipSearchEventData data = event.GetEventData();
        data.SetVal_max_data(true);
        data.SetVal_current_data_num_(5000);
        emit emitter.Event(event);
        emit emitter.Slider(std::make_shared<TimeSliderFile>("0-1", "f", 1, 2, SliderLock, "c"));
    });
    worker->start();
    worker->wait();
    delete worker;
    ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.slider != nullptr; }, 10000));
    EXPECT_EQ(receiver.thread, QThread::currentThreadId());
    EXPECT_EQ(receiver.event.GetEventType(), ClipSearchFinished);
    EXPECT_TRUE(receiver.event.GetEventData().GetVal_max_data());
    EXPECT_EQ(receiver.event.GetEventData().GetVal_current_data_num_(), 5000);
    EXPECT_EQ(receiver.slider->GetFileType(), SliderLock);
}

} // namespace

#include "SearchRecordsTest.moc"
