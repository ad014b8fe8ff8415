#pragma once

// Platform services reached through CSingleton must be one instance per process, also when the
// module that asks for them is built with hidden visibility: both the template and the service
// class then need default visibility, or each library gets its own copy of the instance.
#define TESK_PLATFORM_VISIBLE __attribute__((visibility("default")))

namespace Quor::Base {

// Process-wide instance created on first use. C++11 guarantees that the function-local
// static is initialised exactly once even when several threads race to the first call.
// A class with a private constructor befriends CSingleton<Self>.
template<class T>
class TESK_PLATFORM_VISIBLE CSingleton
{
public:
    static T &Instance()
    {
        static T instance;
        return instance;
    }

protected:
    CSingleton() = default;
    ~CSingleton() = default;

public:
    CSingleton(const CSingleton &) = delete;
    CSingleton &operator=(const CSingleton &) = delete;
};

} // namespace Quor::Base
