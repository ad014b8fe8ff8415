#include "quorbase/Observer.h"
#include "quorbase/Singleton.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

class ICounterObserver : public Quor::Base::IBaseObserver
{
public:
    virtual void OnCount(int value) = 0;
};

class CounterService : public Quor::Base::CObserverableWrap<ICounterObserver>
{
public:
    void Fire(int value)
    {
        NotifyObservers([value](ICounterObserver *o) { o->OnCount(value); });
    }
};

class RecordingObserver : public ICounterObserver
{
public:
    void OnCount(int value) override
    {
        // A call after unregistration would touch a dead object: flagged here and by ASan.
        EXPECT_FALSE(dead.load());
        calls.fetch_add(1);
        last = value;
    }
    std::atomic<bool> dead{false};
    std::atomic<int> calls{0};
    std::atomic<int> last{0};
};

TEST(Observer, NotifiesRegisteredObserversOnce)
{
    CounterService service;
    RecordingObserver a, b;
    service.RegisterObserver(&a);
    service.RegisterObserver(&a);
    service.RegisterObserver(&b);
    service.Fire(7);
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(b.calls, 1);
    service.SyncUnregisterObserver(&a);
    service.Fire(8);
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(b.last, 8);
}

// Notifications keep arriving from another thread while the observer unregisters: after
// SyncUnregisterObserver returns, no call may start or still be running.
TEST(Observer, SyncUnregisterWaitsForRunningNotificationAndBlocksLaterOnes)
{
    for (int round = 0; round < 50; ++round) {
        CounterService service;
        auto observer = std::make_unique<RecordingObserver>();
        service.RegisterObserver(observer.get());
        std::atomic<bool> stop{false};
        std::atomic<int> fired{0};
        std::thread producer([&] {
            while (!stop.load()) {
                service.Fire(fired.fetch_add(1));
            }
        });
        while (observer->calls.load() < 3)
            std::this_thread::yield();
        service.SyncUnregisterObserver(observer.get());
        const int calls_at_unregister = observer->calls.load();
        observer->dead = true;
        const int fired_at_unregister = fired.load();
        while (fired.load() < fired_at_unregister + 3)
            std::this_thread::yield();
        EXPECT_EQ(observer->calls.load(), calls_at_unregister);
        stop = true;
        producer.join();
    }
}

class SelfRemovingObserver : public ICounterObserver
{
public:
    explicit SelfRemovingObserver(CounterService &service)
        : service_(service)
    {}
    void OnCount(int) override
    {
        ++calls;
        service_.SyncUnregisterObserver(this);
    }
    int calls = 0;

private:
    CounterService &service_;
};

TEST(Observer, ObserverMayUnregisterItselfFromItsNotification)
{
    CounterService service;
    SelfRemovingObserver observer(service);
    service.RegisterObserver(&observer);
    service.Fire(1);
    service.Fire(2);
    EXPECT_EQ(observer.calls, 1);
}

class Counted : public Quor::Base::CSingleton<Counted>
{
public:
    static std::atomic<int> constructions;

private:
    friend class Quor::Base::CSingleton<Counted>;
    Counted() { constructions.fetch_add(1); }
};
std::atomic<int> Counted::constructions{0};

TEST(Singleton, ConcurrentFirstUseConstructsOnce)
{
    std::vector<std::thread> threads;
    std::vector<Counted *> seen(8);
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] { seen[i] = &Counted::Instance(); });
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(Counted::constructions, 1);
    for (Counted *p : seen)
        EXPECT_EQ(p, seen.front());
}

} // namespace
