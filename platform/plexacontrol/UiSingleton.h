#pragma once

namespace PlexaControl {

// Process-wide instance of a user-interface service, created on first use on the calling
// (user-interface) thread. A class with a private constructor befriends CUiSingleton<Self>.
// Default visibility keeps one instance per process also for modules built with hidden
// visibility; the service class needs the same mark.
template<class T>
class __attribute__((visibility("default"))) CUiSingleton
{
public:
    static T &Instance()
    {
        static T instance;
        return instance;
    }

    CUiSingleton(const CUiSingleton &) = delete;
    CUiSingleton &operator=(const CUiSingleton &) = delete;

protected:
    CUiSingleton() = default;
    ~CUiSingleton() = default;
};

} // namespace PlexaControl
