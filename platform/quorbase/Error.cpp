#include "Error.h"

namespace Quor::Base::Error {

namespace {
thread_local ErrorCode last_error;
}

ErrorCode GetLastError()
{
    return last_error;
}

void SetLastError(const ErrorCode &code)
{
    last_error = code;
}

} // namespace Quor::Base::Error
