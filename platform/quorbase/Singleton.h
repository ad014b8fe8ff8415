#pragma once

namespace Quor::Base {

// Process-wide instance created on first use. C++11 guarantees that the function-local
// static is initialised exactly once even when several threads race to the first call.
// A class with a private constructor befriends CSingleton<Self>.
template<class T>
class CSingleton
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
