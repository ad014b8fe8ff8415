#pragma once

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>

#include <atomic>
#include <memory>
#include <type_traits>

namespace PlexaControl {

// Process-wide instance of a user-interface service, created on the first Instance() call and
// kept until the process ends (a QObject until the application object goes). A class with a private
// constructor befriends CUiSingleton<Self>. Default visibility keeps one instance per process also
// for modules built with hidden visibility; the service class needs the same mark.
template<class T>
class __attribute__((visibility("default"))) CUiSingleton
{
public:
    static T &Instance()
    {
        // Double-checked: the lock is taken only while the instance does not exist yet.
        T *instance = published_.load(std::memory_order_acquire);
        if (instance)
            return *instance;
        QMutexLocker locker(&mutex_);
        // Acquire also here: the mutex is opaque to race checkers, the atomic is not.
        instance = published_.load(std::memory_order_acquire);
        if (!instance) {
            instance_.reset(new T);
            instance = instance_.get();
            published_.store(instance, std::memory_order_release);
            ReleaseWithApplication();
        }
        return *instance;
    }

    CUiSingleton(const CUiSingleton &) = delete;
    CUiSingleton &operator=(const CUiSingleton &) = delete;

protected:
    CUiSingleton() = default;
    ~CUiSingleton() = default;

private:
    // A QObject (above all a widget) must go while the application object still exists:
    // deleted by static destruction it would outlive the window system.
    static void ReleaseWithApplication()
    {
        if constexpr (std::is_base_of_v<QObject, T>) {
            if (QCoreApplication::instance())
                qAddPostRoutine(&Release);
        }
    }

    static void Release()
    {
        std::unique_ptr<T> released;
        {
            QMutexLocker locker(&mutex_);
            published_.store(nullptr, std::memory_order_release);
            released = std::move(instance_);
        }
        // Destroyed unlocked, in case its destruction asks for a singleton.
    }

    static inline std::unique_ptr<T> instance_;
    static inline std::atomic<T *> published_{nullptr};
    static inline QMutex mutex_;
};

} // namespace PlexaControl
