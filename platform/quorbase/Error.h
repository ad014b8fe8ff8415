#pragma once

#include <cstdint>

namespace Quor::Base::Error {

// The client's error record: the module that failed and its own code.
struct ErrorCode
{
    int module_code = 0;
    int error_code = 0;

    bool IsError() const { return module_code != 0 || error_code != 0; }
    friend bool operator==(const ErrorCode &a, const ErrorCode &b)
    {
        return a.module_code == b.module_code && a.error_code == b.error_code;
    }
};

// The last error of the calling thread, set by the service call that failed.
ErrorCode GetLastError();
void SetLastError(const ErrorCode &code);

} // namespace Quor::Base::Error
